#pragma once

// The module link: one engine for the programming transfer, the settings read-back and
// the serial-number query. It owns the link state and works on the Settings record,
// the Device image, the port and the packet framer given to it; everything else
// (information list, busy state, Timer1, the editor) goes through the LinkHost.
// All calls come on the user-interface thread.

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "link/link_host.h"
#include "link/protocol.h"
#include "model/settings_record.h"

namespace tarnik {

class TComPort;
class TComDataPacket;

enum class ProgrammingState : std::int32_t {
    Idle = 0,
    AwaitStart = 1,
    Sending = 2,
    AwaitFinish = 3
};
enum class ReadBackState : std::int32_t { Idle = 0, Reading = 2 };

class LinkEngine {
public:
    LinkEngine(LinkHost& host, SettingsRecord& record, DeviceImage& image, TComPort& port,
               TComDataPacket& framer);
    ~LinkEngine();
    LinkEngine(const LinkEngine&) = delete;
    LinkEngine& operator=(const LinkEngine&) = delete;

    // Button handlers. A port failure ends the exchange (busy left, timer stopped,
    // states idle) and is rethrown for the caller's error boundary to show.
    //
    // "programuj" asks the host's CheckUserNumbers first, then collects the controls into
    // a copy of the record and checks that copy, which is what would be programmed: an
    // SMS centre or user number over 12 characters, or a PIN or SMS access code of 1 to
    // 3 characters, is refused with a line in the information list. A refusal sends
    // nothing, enters no busy state and leaves the engine's record as it was.
    void BprogramujClick();
    void BBloadClick();
    // A read-back for a comparison: the module's configuration lands in the Device image
    // only; the Settings record and the controls stay as they are and no line is added.
    // Ends with linkFinished(ModuleRead), or as a read-back does on a timeout or failure.
    void ReadModuleImage();
    // The query purges the line and writes "*7*1" into it, which would corrupt an
    // exchange the module is answering: it is refused (nothing sent, nothing changes)
    // unless serialQueryAllowed(). Every host offers or refuses it by that rule.
    void BBserialClick();
    // No programming run, no read-back and no serial query waits for an answer.
    bool serialQueryAllowed() const { return !exchangeRunning(); }

    // The no-answer timeout; the host's timer calls it on expiry.
    void Timer1Timer();

    // The framer's OnCustomStop handler: routes every received text. Never throws: a
    // port failure met here ends the exchange, closes the port and goes to
    // LinkHost::reportError.
    void ComDataPacket2CustomStop(TComDataPacket& sender, const std::string& str, int& pos);

    // The port's OnDeviceLost: ends a running exchange with a message; between
    // exchanges the loss is one line in the information list. Either way the port
    // reopens at the next exchange.
    void DeviceLost();
    // The port's OnHandOverError: the port is already closed; ends any exchange and
    // reports the error.
    void HandOverFailed(const std::exception& error);

    // Builds and writes one image chunk of s - 5 data bytes from `uploadOffset`, which
    // advances past them, then arms Timer1. 6 <= s <= 90.
    void SendImageChunk(std::int32_t& uploadOffset, int s);

    void StoreReceivedByte(std::uint8_t byte);
    // Zeroes the image, copies the store's bytes 2..1701 (1-based) into image bytes
    // 0..1699 and empties the store.
    void TakeReadBackImage();

    // Link state, for the hosts and the tests.
    ProgrammingState programmingState() const { return programmingState_; }
    ReadBackState readBackState() const { return readBackState_; }
    std::int32_t uploadOffset() const { return uploadOffset_; }
    std::int32_t chunkCounter() const { return chunkCounter_; }
    const std::string& progressBarText() const { return progressBar_; }
    int progressLine() const { return progressLine_; }
    bool serialQueryPending() const { return serialQueryPending_; }
    const std::vector<std::uint8_t>& readBackStore() const { return readBackStore_; }
    bool exchangeRunning() const;
    // A programming run or a read-back waits for the module. A pending serial query does
    // not count: it has no time limit, and a read-back may run beside it.
    bool transferRunning() const
    {
        return programmingState_ != ProgrammingState::Idle || readBackState_ != ReadBackState::Idle;
    }
    bool busy() const { return busy_; }

    // Chunk sizes as SendImageChunk takes them (data bytes + 5), and the engine's limits.
    static constexpr int kFirstChunkS = static_cast<int>(protocol::kFirstChunkBytes) + 5;
    static constexpr int kNextChunkS = static_cast<int>(protocol::kChunkBytes) + 5;
    static constexpr int kMaxChunkS = 90;  // size of the assembly area
    static constexpr std::int32_t kLastChunkAfter =
        static_cast<std::int32_t>(protocol::kLastChunkAfter);
    static constexpr int kChunksOf45 = static_cast<int>(protocol::kChunksOf45);
    static constexpr std::size_t kReadBackImageBytes = protocol::kReadBackImageBytes;
    // Where the image bytes of the read-back answer end: after the lead byte and 1700 bytes.
    static constexpr std::size_t kReadBackDataEnd =
        protocol::kReadBackLeadBytes + kReadBackImageBytes;
    static constexpr int kMaxNumberLength = 12;
    // Device image bytes a programming run sends: 0 to 1194.
    static constexpr std::size_t kProgrammedBytes = protocol::kSentImageBytes;

private:
    // Returns true when the module accepted the start (the first chunk is then sent).
    bool awaitStartStep(const std::string& str);
    void sendingStep();
    void takeAnswer();
    void successStep();
    void readBackStep(const std::string& str);
    void startReadBack(bool forComparison);
    void serialNumberStep(const std::string& str);

    bool refuseProgramming(const SettingsRecord& collected);
    void openPortNamedByHost();
    // Tells the host only on a change, so enter and leave always pair up.
    void setBusy(bool busy);
    // Returns the link to idle after a failure or loss; true when an exchange was running.
    bool abandonExchange();
    void giveUpSerialQuery();
    void failInsideHandOver(const std::string& message);
    void addLine(const std::string& text) { host_.addInfoLine(text, true); }
    // Tells the host how the exchange ended; the outcome also goes to the wire trace.
    void finish(LinkOutcome outcome);
    // A step of the link in the port's wire trace (nothing when no trace runs).
    void note(const std::string& text);

    LinkHost& host_;
    SettingsRecord& record_;
    DeviceImage& image_;
    TComPort& port_;
    TComDataPacket& framer_;

    ProgrammingState programmingState_ = ProgrammingState::Idle;
    std::int32_t uploadOffset_ = 0;
    std::int32_t chunkCounter_ = 0;
    std::string progressBar_;
    int progressLine_ = -1;
    ReadBackState readBackState_ = ReadBackState::Idle;
    std::vector<std::uint8_t> readBackStore_;
    bool readBackForComparison_ = false;
    bool serialQueryPending_ = false;
    bool busy_ = false;
    bool closingAfterFailure_ = false;  // a loss reported while closing is the failure itself
};

// The port and framer settings the module link runs with (115200 baud, read timeouts
// 1/0/1, event character 10; framer stop string "*1" with the engine's answer handler),
// and the port's device-lost and hand-over-error reports routed to the engine.
void ConfigureModuleLink(TComPort& port, TComDataPacket& framer, LinkEngine& engine);

// The two halves a host that creates the framer itself uses: the module's line settings,
void ConfigureModulePort(TComPort& port);
// and the port's device-lost and hand-over-error reports routed to the engine.
void ConnectPortReports(TComPort& port, LinkEngine& engine);

// User-visible texts of the link, UTF-8.
namespace link_text {
inline constexpr const char* kStart = "Rozpoczęcie programowania.";
inline constexpr const char* kProgressInitial = "postęp: ";
inline constexpr const char* kProgress = "Postęp: ";
inline constexpr const char* kDone = "Programowanie zakończone pomyślnie.";
inline constexpr const char* kNoAnswer = "Brak oprowiedzi z modułu.";
inline constexpr const char* kLoaded = "zaladowane ustawienia z eprom";
inline constexpr const char* kSerial = "serial: ";
inline constexpr const char* kNotInternational =
    "numery użytkowników muszą być zapisane w formie międzynarodowej tzn zawierać numer "
    "kierunkowy na kraj";
inline constexpr const char* kNumberTooLong =
    "numer centrum sms i numery użytkowników mogą mieć najwyżej 12 znaków";
inline constexpr const char* kPinLength = "Kod pin musi mieć 4 znaki.";
inline constexpr const char* kDeviceLost = "Połączenie z modułem zostało przerwane.";
}  // namespace link_text

}  // namespace tarnik
