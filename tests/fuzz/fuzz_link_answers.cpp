// The packet framer and the module link's answer dispatch on arbitrary piece sequences,
// started in every link state. The engine runs through its real API on a real port
// opened on a pseudo-terminal; the framer is fed the pieces exactly as the port's
// receive dispatch would, and the line's far end is drained so writes never stall.
//
// Input: one byte picks the starting state, then a sequence of steps. A step byte
// below 0xF0 is a piece of (byte + 1) bytes; 0xF0 is a long piece whose length is in
// the next two bytes; 0xF1..0xF5 are the timeout, a lost device and the three buttons.

#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "link/link_engine.h"
#include "link/no_answer_timer.h"
#include "link/protocol.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "serial/handover.h"

namespace tarnik::fuzz {
namespace {

constexpr std::size_t kFramerLimit = 1024;
constexpr std::size_t kUploadEnd = protocol::kSentImageBytes;

// Records what the engine asks of its host and checks the pairing of its calls.
class RecordingHost : public LinkHost {
public:
    explicit RecordingHost(std::string port) : port_(std::move(port)) { }

    SettingsRecord record{};  // the host's own, as the window owns its record

    int addInfoLine(const std::string& text, bool trim) override
    {
        require(!text.empty(), "empty information line");
        if (trim && lines_ >= 7)
            --lines_;
        return lines_++;
    }
    void replaceInfoLine(int index, const std::string&) override
    {
        require(index >= 0 && index < lines_, "progress line out of the list",
                static_cast<std::size_t>(index));
    }
    void setBusy(bool busy) override
    {
        require(busy != busy_, "busy state entered or left twice");
        busy_ = busy;
    }
    void armNoAnswerTimer() override { armed_ = true; }
    void disarmNoAnswerTimer() override { armed_ = false; }
    SettingsRecord settingsRecord() override { return record; }
    SettingsRecord collectSettings() override { return record = startupSettings(); }
    void showSettings(const SettingsRecord& shown) override
    {
        record = shown;
        ++shown_;
    }
    bool checkUserNumbers() override { return true; }
    std::string portName() override { return port_; }
    void reportError(const std::string&) override { ++errors_; }
    void linkFinished(LinkOutcome outcome) override { last_ = outcome; }

    void reset()
    {
        lines_ = 0;
        busy_ = armed_ = false;
        shown_ = errors_ = 0;
        last_.reset();
    }
    bool busy() const { return busy_; }
    std::optional<LinkOutcome> takeOutcome()
    {
        auto o = last_;
        last_.reset();
        return o;
    }

private:
    std::string port_;
    int lines_ = 0;
    bool busy_ = false;
    bool armed_ = false;
    int shown_ = 0;
    int errors_ = 0;
    std::optional<LinkOutcome> last_;
};

// The line: the engine's port on the slave, the master drained after every step.
struct Rig {
    Rig()
    {
        int slave = -1;
        char name[256] = {};
        require(::openpty(&master, &slave, name, nullptr, nullptr) == 0, "openpty");
        termios tio{};
        ::tcgetattr(slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
        ::close(slave);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        host = std::make_unique<RecordingHost>(name);
        port.SetHandOver(handOver);
    }

    // Takes what the engine wrote to the line and checks it frame by frame.
    void drain()
    {
        std::array<char, 4096> piece;
        ssize_t n;
        while ((n = ::read(master, piece.data(), piece.size())) > 0)
            sent.append(piece.data(), static_cast<std::size_t>(n));
        chunksThisStep = 0;
        checkSentFrames();
        // Stop and wait: one piece of answer moves the transfer on by one chunk at most.
        require(chunksThisStep <= 1, "several chunks sent for one answer", chunksThisStep);
        handOver->RunPending();
    }

    // Every byte on the line belongs to a whole command or image chunk, and every chunk
    // carries the image of the settings being programmed, in order from offset 0.
    void checkSentFrames()
    {
        for (;;) {
            if (sent.size() < 2)
                return;
            require(sent[0] == '*', "line bytes outside a frame");
            const char command = sent[1];
            const std::size_t length = command == '0' ? (chunkOffset == 0 ? 29 : 49) : 4;
            require(command == '0' || command == '2' || command == '3' || command == '5' ||
                        command == '7',
                    "unknown command on the line");
            if (sent.size() < length)
                return;
            require(sent[length - 2] == '*' && sent[length - 1] == '1',
                    "frame without its terminator");
            if (command == '2') {
                chunkOffset = 0;
            } else if (command == '0') {
                const std::size_t n = length - 4;
                require(chunkOffset + n <= kUploadEnd, "chunk past the sent part of the image",
                        chunkOffset);
                require(std::memcmp(sent.data() + 2, programmedImage.data() + chunkOffset, n) == 0,
                        "chunk does not carry the programmed settings", chunkOffset);
                chunkOffset += n;
                ++chunksThisStep;
            }
            sent.erase(0, length);
        }
    }

    int master = -1;
    std::shared_ptr<TaskQueueHandOver> handOver = std::make_shared<TaskQueueHandOver>();
    TComPort port;
    TComDataPacket framer;
    std::unique_ptr<RecordingHost> host;
    NoAnswerTimer timer{nullptr};  // never armed: the host keeps the armed state itself
    DeviceImage image{};
    std::string sent;             // written by the engine, not yet checked
    std::size_t chunkOffset = 0;  // image offset of the next chunk on the line
    std::size_t chunksThisStep = 0;
    DeviceImage programmedImage{};  // what the collected settings make
};

Rig& rig()
{
    static Rig r;
    return r;
}

void checkInvariants(Rig& r, LinkEngine& engine, std::size_t fedSoFar)
{
    require(r.framer.Buffer().size() < kFramerLimit, "framer buffer reached its limit",
            r.framer.Buffer().size());
    require(engine.uploadOffset() >= 0 &&
                static_cast<std::size_t>(engine.uploadOffset()) <= kUploadEnd,
            "upload offset past the image's sent part",
            static_cast<std::size_t>(engine.uploadOffset()));
    require(engine.chunkCounter() >= 0 && engine.chunkCounter() <= 26, "chunk counter");
    require(engine.readBackStore().size() <= fedSoFar,
            "read-back store holds bytes never received");
    require(engine.busy() == r.host->busy(), "engine and host disagree on busy");
    require(engine.busy() == (engine.programmingState() != ProgrammingState::Idle),
            "busy without a programming run, or a run without busy");
    const auto outcome = r.host->takeOutcome();
    if (outcome == LinkOutcome::Programmed)
        require(r.chunkOffset == kUploadEnd, "success reported before every chunk was sent",
                r.chunkOffset);
    if (outcome == LinkOutcome::SettingsLoaded) {
        for (std::size_t i = protocol::kReadBackImageBytes; i < kImageSize; ++i)
            require(r.image[i] == 0, "read-back left bytes past 1699", i);
        require(engine.readBackStore().empty(), "store kept after the image was taken");
    }
}

// Feeds the answer "OK*1" as one piece, as a module accepting every frame would.
void acceptFrames(Rig& r, int count)
{
    for (int i = 0; i < count; ++i) {
        r.framer.FeedData("OK*1");
        r.drain();
    }
}

// Runs a button handler; a port failure is its caller's to show and ends nothing else.
template <typename F>
void press(F handler)
{
    try {
        handler();
    } catch (const std::exception&) {
    }
}

void run(const std::uint8_t* data, std::size_t size)
{
    Rig& r = rig();
    r.host->reset();
    r.host->record = startupSettings();
    r.image.fill(0);
    r.sent.clear();
    r.chunkOffset = 0;
    SettingsToImage(startupSettings(), r.programmedImage);
    LinkEngine engine(*r.host, r.image, r.port, r.framer);
    wireModuleLink(r.port, r.framer, engine, r.timer);
    r.port.SetHandOver(r.handOver);  // kept across the reopen of every read-back
    r.framer.DiscardBuffer();

    Reader in(data, size);
    switch (in.byte() % 8) {
    case 0:  // idle
        break;
    case 1:  // awaiting the start
        press([&] { engine.BprogramujClick(); });
        break;
    case 2:  // sending, after some chunks
        press([&] { engine.BprogramujClick(); });
        acceptFrames(r, 1 + in.byte() % 26);
        break;
    case 3:  // awaiting the finish
        press([&] { engine.BprogramujClick(); });
        acceptFrames(r, 27);
        break;
    case 4:  // reading
        press([&] { engine.BBloadClick(); });
        break;
    case 5:  // serial query pending
        press([&] { engine.BBserialClick(); });
        break;
    case 6:  // serial query pending and reading
        press([&] { engine.BBserialClick(); });
        press([&] { engine.BBloadClick(); });
        break;
    case 7:  // serial query pending during a programming run
        press([&] { engine.BBserialClick(); });
        press([&] { engine.BprogramujClick(); });
        break;
    }
    r.drain();
    checkInvariants(r, engine, 0);

    std::size_t fed = 0;
    while (!in.done()) {
        const std::uint8_t step = in.byte();
        if (step < 0xF0) {
            const std::string piece = in.take(static_cast<std::size_t>(step) + 1);
            fed += piece.size();
            r.framer.FeedData(piece);
        } else if (step == 0xF0) {
            const std::size_t n = (static_cast<std::size_t>(in.byte()) << 8 | in.byte()) % 4096 + 1;
            const std::string piece = in.take(n);
            fed += piece.size();
            r.framer.FeedData(piece);
        } else if (step == 0xF1) {
            engine.Timer1Timer();
        } else if (step == 0xF2) {
            r.port.Close();
            engine.deviceLost();
        } else if (step == 0xF3 && !engine.busy()) {
            press([&] { engine.BBloadClick(); });
            fed = engine.readBackStore().size();
        } else if (step == 0xF4) {
            press([&] { engine.BBserialClick(); });
        } else if (step == 0xF5 && !engine.busy()) {
            press([&] { engine.BprogramujClick(); });
        }
        r.drain();
        checkInvariants(r, engine, fed);
    }
    // The next input starts from a closed port and an idle link.
    r.port.Close();
    r.framer.OnCustomStop = nullptr;
    r.port.OnDeviceLost = nullptr;
    r.port.OnHandOverError = nullptr;
}

}  // namespace
}  // namespace tarnik::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tarnik::fuzz::run(data, size);
    return 0;
}
