#include "link/link_engine.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

#include "link/link_trace.h"
#include "link/module_answers.h"
#include "link/no_answer_timer.h"
#include "link/protocol.h"
#include "model/conversion.h"
#include "model/image_layout.h"
#include "model/programming_refusal.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "serial/device_text.h"

namespace tarnik {

namespace {

using protocol::kOk;
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
    if (refusedWhileRunning("programming"))
        return;
    if (!host_.checkUserNumbers()) {
        addLine(link_text::kNotInternational);
        finish(LinkOutcome::Refused);
        return;
    }
    const SettingsRecord collected = host_.collectSettings();
    if (refuseProgramming(collected))
        return;

    setBusy(true);
    SettingsToImage(collected, image_);
    try {
        openPortNamedByHost();
        uploadOffset_ = 0;
        dropWaitingBytes();
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
    if (refusedWhileRunning("read-back"))
        return;
    try {
        port_.Close();
        openPortNamedByHost();
        dropWaitingBytes();
        readBackStore_.clear();
        readBackState_ = ReadBackState::Reading;
        readBackForComparison_ = forComparison;
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
    if (refusedWhileRunning("serial-number query"))
        return;
    note("serial number requested");
    try {
        openPortNamedByHost();
        port_.PurgeBuffers(true, true);
        framer_.DiscardBuffer();
        serialAnswer_.clear();
        serialQueryPending_ = true;
        port_.WriteText(protocol::kSerialFrame);
        // Without a limit a module that ignored "*7*1" would hold every other exchange
        // off for good.
        host_.armNoAnswerTimer();
    } catch (...) {
        // The query never reached the module: nothing is pending.
        serialQueryPending_ = false;
        finish(LinkOutcome::PortError);
        throw;
    }
}

void LinkEngine::Timer1Timer()
{
    // Bytes that came without an end are an answer cut short, not silence.
    std::string line = link_text::kNoAnswer;
    if (readBackState_ == ReadBackState::Reading && !readBackStore_.empty())
        line = readBackLengthLine(readBackStore_.size());
    else if (serialQueryPending_ && !serialAnswer_.empty())
        line = link_text::kSerialRefused;
    const bool answered = line != link_text::kNoAnswer;
    if (answered)
        note("answer cut short: " + std::to_string(readBackStore_.size() + serialAnswer_.size()) +
             " bytes");
    addLine(line);
    host_.disarmNoAnswerTimer();
    programmingState_ = ProgrammingState::Idle;
    readBackState_ = ReadBackState::Idle;
    readBackStore_.clear();
    serialQueryPending_ = false;
    serialAnswer_.clear();
    setBusy(false);
    finish(answered ? LinkOutcome::BadAnswer : LinkOutcome::NoAnswer);
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
            discardAnsweredText();
            port_.WriteText(protocol::kFinishFrame);
        } else if (serialQueryPending_) {
            serialNumberStep(str);
        } else if (readBackState_ == ReadBackState::Reading) {
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
    dropWaitingBytes();
}

void LinkEngine::dropWaitingBytes()
{
    port_.PurgeBuffers(true, false);
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
    // Every piece is taken and dropped from the framer, so the store holds what came
    // exactly once and in order, whatever the pieces were; a terminator split across two
    // pieces is still found.
    for (char c : str)
        StoreReceivedByte(static_cast<std::uint8_t>(c));
    framer_.DiscardBuffer();
    const ReadBackJudgement judged = judgeReadBackAnswer(readBackStore_);
    if (judged.verdict == AnswerVerdict::Incomplete)
        return;
    if (judged.verdict == AnswerVerdict::Refused) {
        refuseAnswer(readBackLengthLine(judged.received),
                     "read-back answer of " + std::to_string(judged.received) + " bytes");
        return;
    }
    takeReadBack();
}

void LinkEngine::takeReadBack()
{
    // Checked, the answer's bytes are known: the trace shows them with the secret ones
    // masked.
    note("read-back answer taken: " + std::to_string(readBackStore_.size()) + " bytes");
    port_.TraceCheckedBytes(trace_tag::kAnswer, readBackStore_.data(), readBackStore_.size(),
                            secretReadBackBytes());
    TakeReadBackImage();
    readBackState_ = ReadBackState::Idle;
    host_.disarmNoAnswerTimer();
    // Byte 41 sums the header: a mismatch means a damaged memory or line, yet the rest
    // may be right, so the settings are taken and the user is warned.
    const bool checksumRight = image_[image::kChecksum] == headerChecksum(image_);
    if (readBackForComparison_) {
        if (!checksumRight)
            addLine(link_text::kChecksumWarning);
        finish(LinkOutcome::ModuleRead);
        return;
    }
    SettingsRecord loaded = host_.settingsRecord();
    ImageToSettings(image_, loaded);
    host_.showSettings(loaded);
    addLine(link_text::kLoaded);
    if (!checksumRight)
        addLine(link_text::kChecksumWarning);
    finish(LinkOutcome::SettingsLoaded);
}

void LinkEngine::serialNumberStep(const std::string& str)
{
    // Gathered like the read-back, so an answer in two pieces keeps its number.
    serialAnswer_ += str;
    framer_.DiscardBuffer();
    SerialJudgement judged = judgeSerialAnswer(serialAnswer_);
    if (judged.verdict == AnswerVerdict::Incomplete)
        return;
    if (judged.verdict == AnswerVerdict::Refused) {
        refuseAnswer(link_text::kSerialRefused,
                     "serial-number answer of " + std::to_string(serialAnswer_.size()) + " bytes");
        return;
    }
    port_.TraceCheckedBytes(trace_tag::kAnswer, serialAnswer_.data(), serialAnswer_.size(), {});
    serialAnswer_.clear();
    // The module's bytes reach the information list, the report and terminals: nothing
    // in them may move a cursor or reorder what is shown.
    serialNumber_ = sanitizeDeviceText(judged.number);
    serialQueryPending_ = false;
    host_.disarmNoAnswerTimer();
    host_.addInfoLine(link_text::kSerial + serialNumber_, false);
    finish(LinkOutcome::SerialNumber);
}

void LinkEngine::refuseAnswer(const std::string& line, const std::string& why)
{
    note("answer refused: " + why);
    host_.disarmNoAnswerTimer();
    readBackState_ = ReadBackState::Idle;
    readBackStore_.clear();
    serialQueryPending_ = false;
    serialAnswer_.clear();
    addLine(line);
    finish(LinkOutcome::BadAnswer);
}

bool LinkEngine::refusedWhileRunning(const char* what)
{
    if (!exchangeRunning())
        return false;
    note(std::string(what) + " not started: another exchange is running");
    return true;
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

bool LinkEngine::abandonExchange()
{
    const bool wasRunning = exchangeRunning();
    host_.disarmNoAnswerTimer();
    programmingState_ = ProgrammingState::Idle;
    readBackState_ = ReadBackState::Idle;
    readBackStore_.clear();
    serialQueryPending_ = false;
    serialAnswer_.clear();
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
    case LinkOutcome::BadAnswer:
        return "answer refused";
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
    // Received bytes are traced as they come, before the link can tell an answer from
    // noise or a late answer that holds secrets: all are masked, and an answer once
    // checked is traced again with only its secret bytes masked (ANSW).
    port.MaskAllInTrace(TComPort::TraceDirection::Received, "(masked until checked)");
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
