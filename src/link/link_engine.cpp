#include "link/link_engine.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "link/link_trace.h"
#include "link/no_answer_timer.h"
#include "link/protocol.h"
#include "model/conversion.h"
#include "model/image_layout.h"
#include "model/programming_refusal.h"
#include "serial/comport.h"
#include "serial/datapacket.h"

namespace tarnik {

namespace {

using protocol::kOk;
using protocol::kSerialEnd;
using protocol::kTerminator;

bool contains(const std::string& text, std::string_view what)
{
    return text.find(what) != std::string::npos;
}

// SendImageChunk takes a chunk's size as its data bytes plus 5; a frame is one byte
// shorter than that: '*', the command, the data and the terminator.
constexpr int chunkSize(std::size_t dataBytes)
{
    return static_cast<int>(dataBytes + protocol::kChunkFrameOverhead + 1);
}
constexpr int kMaxChunkSize = 90;  // the frame assembly area holds 85 data bytes
static_assert(chunkSize(protocol::kChunkBytes) <= kMaxChunkSize);
// Where the image bytes of the read-back answer end: after the lead byte and 1700 bytes.
constexpr std::size_t kReadBackDataEnd =
    protocol::kReadBackLeadBytes + protocol::kReadBackImageBytes;

}  // namespace

LinkEngine::LinkEngine(LinkHost& host, DeviceImage& image, TComPort& port, TComDataPacket& framer)
    : host_(host), image_(image), port_(port), framer_(framer)
{
}

LinkEngine::~LinkEngine() = default;

bool LinkEngine::exchangeRunning() const
{
    return programmingState_ != ProgrammingState::Idle || readBackState_ != ReadBackState::Idle ||
           serialQueryPending_;
}

// ---- button handlers ---------------------------------------------------------------

void LinkEngine::BprogramujClick()
{
    note("programming requested");
    if (!host_.checkUserNumbers()) {
        addLine(link_text::kNotInternational);
        finish(LinkOutcome::Refused);
        return;
    }
    const SettingsRecord collected = host_.collectSettings();
    if (refuseProgramming(collected))
        return;

    // "programuj" stays enabled during a read-back. A read-back still waiting for its
    // answer is given up here: taken later, that answer would replace the image being
    // sent and the settings just collected, and the module would get its old settings.
    if (readBackState_ == ReadBackState::Reading) {
        readBackState_ = ReadBackState::Idle;
        readBackStore_.clear();
        host_.disarmNoAnswerTimer();  // the run gets a whole period of its own
    }
    giveUpSerialQuery();

    setBusy(true);
    SettingsToImage(collected, image_);
    try {
        openPortNamedByHost();
        uploadOffset_ = 0;
        // A read-back given up half-way leaves its secret ranges ahead of what comes now.
        port_.MaskInTrace(TComPort::TraceDirection::Received, {});
        port_.WriteText(protocol::kStartFrame);
        programmingState_ = ProgrammingState::AwaitStart;
        host_.armNoAnswerTimer();
    } catch (...) {
        abandonExchange();
        finish(LinkOutcome::PortError);
        throw;
    }
}

void LinkEngine::BBloadClick()
{
    note("read-back requested");
    startReadBack(false);
}

void LinkEngine::readModuleImage()
{
    note("read-back for a comparison requested");
    startReadBack(true);
}

void LinkEngine::startReadBack(bool forComparison)
{
    try {
        port_.Close();
        openPortNamedByHost();
        // Text left from an earlier exchange would shift the image by its length.
        framer_.DiscardBuffer();
        readBackStore_.clear();
        giveUpSerialQuery();
        readBackState_ = ReadBackState::Reading;
        readBackForComparison_ = forComparison;
        // The answer is every byte received from here on, as the store takes it.
        port_.MaskInTrace(TComPort::TraceDirection::Received, secretReadBackBytes());
        port_.WriteText(protocol::kReadFrame);
        host_.armNoAnswerTimer();
    } catch (...) {
        abandonExchange();
        finish(LinkOutcome::PortError);
        throw;
    }
}

void LinkEngine::BBserialClick()
{
    if (!serialQueryAllowed())
        return;
    note("serial number requested");
    try {
        openPortNamedByHost();
        port_.PurgeBuffers(true, true);
        serialQueryPending_ = true;
        port_.MaskInTrace(TComPort::TraceDirection::Received, {});
        port_.WriteText(protocol::kSerialFrame);
    } catch (...) {
        // The query never reached the module: nothing is pending.
        serialQueryPending_ = false;
        finish(LinkOutcome::PortError);
        throw;
    }
}

void LinkEngine::Timer1Timer()
{
    addLine(link_text::kNoAnswer);
    host_.disarmNoAnswerTimer();
    programmingState_ = ProgrammingState::Idle;
    readBackState_ = ReadBackState::Idle;
    setBusy(false);
    finish(LinkOutcome::NoAnswer);
}

// ---- answer handler ----------------------------------------------------------------

void LinkEngine::ComDataPacket2CustomStop(TComDataPacket&, const std::string& str, int&)
{
    try {
        if (programmingState_ == ProgrammingState::AwaitStart) {
            if (awaitStartStep(str))
                return;
        }
        const auto starOne = str.find(kTerminator);
        if (programmingState_ == ProgrammingState::Sending && starOne != std::string::npos &&
            starOne >= 1) {
            sendingStep();
        } else if (programmingState_ == ProgrammingState::AwaitFinish && contains(str, kOk)) {
            successStep();
        } else if (programmingState_ == ProgrammingState::AwaitFinish &&
                   starOne != std::string::npos) {
            port_.WriteText(protocol::kFinishFrame);
        } else {
            if (serialQueryPending_ && contains(str, kOk))
                serialNumberStep(str);
            if (readBackState_ == ReadBackState::Reading)
                readBackStep(str);
        }
    } catch (const EComPort& e) {
        // A write that met the unplugged adapter says so, as the port's own report would.
        failInsideHandOver(e.DeviceGone() ? link_text::kDeviceLost : e.what());
    } catch (const std::exception& e) {
        failInsideHandOver(e.what());
    } catch (...) {
        failInsideHandOver("unknown error");
    }
}

bool LinkEngine::awaitStartStep(const std::string& str)
{
    addLine(link_text::kStart);
    progressLine_ = host_.addInfoLine(link_text::kProgressInitial, true);
    progressBar_.clear();
    if (!contains(str, kOk))
        return false;
    programmingState_ = ProgrammingState::Sending;
    chunkCounter_ = 0;
    discardAnsweredText();
    SendImageChunk(uploadOffset_, chunkSize(protocol::kFirstChunkBytes));
    return true;
}

void LinkEngine::sendingStep()
{
    host_.disarmNoAnswerTimer();
    discardAnsweredText();
    SendImageChunk(uploadOffset_, chunkSize(protocol::kChunkBytes));
    ++chunkCounter_;
    progressBar_ += "##";
    host_.replaceInfoLine(progressLine_,
                          std::string(link_text::kProgress) +
                              std::to_string(chunkCounter_ * 100 / protocol::kChunksOf45) + "% " +
                              progressBar_);
    if (static_cast<std::size_t>(uploadOffset_) > protocol::kLastChunkAfter)
        programmingState_ = ProgrammingState::AwaitFinish;
}

// One answer moves the transfer on by one frame. The framer presents its buffer again
// after cutting each "*1", so text that came before the answer and held a "*1" of its
// own (a late read-back, noise) would otherwise send the next chunk, and then the one
// after, without the module having answered them; the run would even report success
// before the module confirmed the last chunk. What the buffer holds now has been
// answered: drop it.
void LinkEngine::discardAnsweredText()
{
    framer_.DiscardBuffer();
}

void LinkEngine::successStep()
{
    programmingState_ = ProgrammingState::Idle;
    addLine(link_text::kDone);
    setBusy(false);
    host_.disarmNoAnswerTimer();
    finish(LinkOutcome::Programmed);
}

void LinkEngine::readBackStep(const std::string& str)
{
    // Every piece is taken and dropped from the framer, so the store holds the answer
    // exactly once and in order, whatever the pieces were. The answer ends at the first
    // "*1" after the lead byte and the 1700 image bytes: image data may hold 2A 31, and
    // a terminator split across two pieces is still found.
    for (char c : str)
        StoreReceivedByte(static_cast<std::uint8_t>(c));
    framer_.DiscardBuffer();
    if (readBackStore_.size() < kReadBackDataEnd + kTerminator.size())
        return;
    const auto* begin = readBackStore_.data() + kReadBackDataEnd;
    const auto* end = readBackStore_.data() + readBackStore_.size();
    if (std::search(begin, end, kTerminator.begin(), kTerminator.end()) == end)
        return;
    TakeReadBackImage();
    readBackState_ = ReadBackState::Idle;
    if (readBackForComparison_) {
        host_.disarmNoAnswerTimer();
        finish(LinkOutcome::ModuleRead);
        return;
    }
    SettingsRecord loaded = host_.settingsRecord();
    ImageToSettings(image_, loaded);
    host_.showSettings(loaded);
    addLine(link_text::kLoaded);
    host_.disarmNoAnswerTimer();
    finish(LinkOutcome::SettingsLoaded);
}

void LinkEngine::serialNumberStep(const std::string& str)
{
    const auto at = str.find(kSerialEnd);
    const std::string number = at == std::string::npos ? std::string() : str.substr(0, at);
    serialNumber_ = number;
    host_.addInfoLine(link_text::kSerial + number, false);
    serialQueryPending_ = false;
    finish(LinkOutcome::SerialNumber);
}

// ---- transfer pieces ---------------------------------------------------------------

void LinkEngine::SendImageChunk(std::int32_t& uploadOffset, int s)
{
    if (s < chunkSize(1) || s > kMaxChunkSize)
        throw std::invalid_argument("image chunk size out of range");
    const int n = s - chunkSize(0);
    if (uploadOffset < 0 ||
        static_cast<std::size_t>(uploadOffset) + static_cast<std::size_t>(n) > image_.size())
        throw std::out_of_range("image chunk beyond the image");
    std::array<std::uint8_t, kMaxChunkSize> frame{};
    auto end = frame.begin();
    *end++ = protocol::kFrameStart;
    *end++ = protocol::kChunkCommand;
    end = std::copy_n(image_.begin() + uploadOffset, n, end);
    end = std::copy(protocol::kTerminator.begin(), protocol::kTerminator.end(), end);
    port_.MaskInTrace(
        TComPort::TraceDirection::Sent,
        secretChunkBytes(static_cast<std::size_t>(uploadOffset), static_cast<std::size_t>(n)));
    uploadOffset += n;
    port_.Write(frame.data(), static_cast<int>(end - frame.begin()));
    host_.armNoAnswerTimer();
}

void LinkEngine::StoreReceivedByte(std::uint8_t byte)
{
    readBackStore_.push_back(byte);
}

void LinkEngine::TakeReadBackImage()
{
    std::fill(image_.begin(), image_.end(), std::uint8_t{0});
    // Store bytes 2..1701 (1-based); a shorter store gives what it has.
    const std::size_t available = readBackStore_.size() > 1 ? readBackStore_.size() - 1 : 0;
    const std::size_t count = std::min(available, protocol::kReadBackImageBytes);
    std::copy_n(readBackStore_.begin() + 1, count, image_.begin());
    readBackStore_.clear();
}

// ---- validation, failures ----------------------------------------------------------

bool LinkEngine::refuseProgramming(const SettingsRecord& collected)
{
    // The model's rules for what is sent: numbers the module takes whole (a longer one
    // would reach it cut short, a quote would end its slot), and no PIN or SMS access
    // code of 1 to 3 characters (padded with whatever bytes followed it).
    const std::optional<ProgrammingRefusal> refusal = programmingRefusal(collected);
    if (!refusal)
        return false;
    addLine(refusal->message);
    finish(LinkOutcome::Refused);
    return true;
}

void LinkEngine::openPortNamedByHost()
{
    port_.SetPort(host_.portName());
    port_.Open();
}

void LinkEngine::setBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    host_.setBusy(busy);
}

void LinkEngine::giveUpSerialQuery()
{
    // The query has no time limit, so a module that ignored "*7*1" would leave it waiting
    // for good. A programming run or a read-back gives it up: an "OK*1" taken from their
    // answers would add a false serial-number line, and in a read-back the late serial
    // answer would be stored as image bytes.
    if (serialQueryPending_) {
        serialQueryPending_ = false;
        note("serial-number query given up");
    }
}

bool LinkEngine::abandonExchange()
{
    const bool wasRunning = exchangeRunning();
    host_.disarmNoAnswerTimer();
    programmingState_ = ProgrammingState::Idle;
    readBackState_ = ReadBackState::Idle;
    serialQueryPending_ = false;
    setBusy(false);
    return wasRunning;
}

void LinkEngine::failInsideHandOver(const std::string& message)
{
    abandonExchange();
    // Closed so that the next exchange opens the port afresh. A loss the port still had
    // to report is this same failure, which is being reported here.
    const bool wasClosingAfterFailure = std::exchange(closingAfterFailure_, true);
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{closingAfterFailure_, wasClosingAfterFailure};
    try {
        port_.Close();
    } catch (const std::exception& e) {
        note(std::string("closing after the failure failed too: ") + e.what());
    } catch (...) {
        note("closing after the failure failed too");
    }
    note("failed: " + message);
    host_.reportError(message);
    finish(LinkOutcome::PortError);
}

void LinkEngine::deviceLost()
{
    if (closingAfterFailure_)
        return;
    if (!abandonExchange()) {
        // Between exchanges nobody waits for an answer: one line in the information
        // list, no message box. The next exchange opens the port afresh.
        addLine(link_text::kDeviceLost);
        return;
    }
    host_.reportError(link_text::kDeviceLost);
    finish(LinkOutcome::PortError);
}

void LinkEngine::handOverFailed(const std::exception& error)
{
    const bool wasRunning = abandonExchange();
    host_.reportError(error.what());
    if (wasRunning)
        finish(LinkOutcome::PortError);
}

namespace {

// A switch rather than a table, so that a new outcome cannot be named by its neighbour's name.
const char* outcomeName(LinkOutcome outcome)
{
    switch (outcome) {
    case LinkOutcome::Programmed:
        return "programmed";
    case LinkOutcome::SettingsLoaded:
        return "settings loaded";
    case LinkOutcome::ModuleRead:
        return "module image read";
    case LinkOutcome::SerialNumber:
        return "serial number";
    case LinkOutcome::NoAnswer:
        return "no answer";
    case LinkOutcome::PortError:
        return "port error";
    case LinkOutcome::Refused:
        return "refused";
    }
    return "unknown";
}

}  // namespace

void LinkEngine::finish(LinkOutcome outcome)
{
    note(std::string("finished: ") + outcomeName(outcome));
    host_.linkFinished(outcome);
}

void LinkEngine::note(const std::string& text)
{
    port_.TraceNote(trace_tag::kLink, text);
}

// ---- wiring ------------------------------------------------------------------------

void applyModuleLineSettings(TComPort& port)
{
    port.SetBaudRate(br115200);
    TComTimeouts timeouts = port.Timeouts();
    timeouts.ReadInterval = 1;
    timeouts.ReadTotalMultiplier = 0;
    timeouts.ReadTotalConstant = 1;
    port.SetTimeouts(timeouts);
    port.SetEventChar(10);
}

void wireModuleLink(TComPort& port, TComDataPacket& framer, LinkEngine& engine,
                    NoAnswerTimer& timer)
{
    applyModuleLineSettings(port);
    port.OnDeviceLost = [&engine] { engine.deviceLost(); };
    port.OnHandOverError = [&engine](const std::exception& e) { engine.handOverFailed(e); };

    framer.SetComPort(&port);
    framer.SetStopString(std::string(kTerminator));
    framer.OnCustomStop = [&engine](TComDataPacket& sender, const std::string& str, int& pos) {
        engine.ComDataPacket2CustomStop(sender, str, pos);
    };

    timer.setOnTimeout([&engine] { engine.Timer1Timer(); });
}

}  // namespace tarnik
