#pragma once

// The module link: one engine for the programming transfer, the settings read-back and
// the serial-number query. It owns the link state and works on the Device image, the
// port and the packet framer given to it; the Settings record is the host's, handed over
// as a copy to program or to convert a read-back into. Everything else (information list,
// busy state, Timer1, the editor) goes through the LinkHost.
// All calls come on the user-interface thread.

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "link/link_host.h"
#include "link/link_texts.h"
#include "link/protocol.h"
#include "model/settings_record.h"

namespace tarnik {

class NoAnswerTimer;
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
    LinkEngine(LinkHost& host, DeviceImage& image, TComPort& port, TComDataPacket& framer);
    ~LinkEngine();
    LinkEngine(const LinkEngine&) = delete;
    LinkEngine& operator=(const LinkEngine&) = delete;

    // Button handlers. One exchange runs at a time: a press while one runs (a double
    // click, "programuj" during a read-back) starts nothing and changes nothing. Before
    // each command the bytes already waiting on the line are dropped, so that nothing an
    // earlier exchange left is read as part of this one's answer. A port failure ends the
    // exchange (busy left, timer stopped, states idle) and is rethrown for the caller's
    // error boundary to show.
    //
    // "programuj" asks the host's CheckUserNumbers first, then takes the host's collected
    // record and checks it, which is what would be programmed: an SMS centre or user
    // number over 12 characters, or a PIN or SMS access code of 1 to 3 characters, is
    // refused with a line in the information list. A refusal sends nothing and enters no
    // busy state.
    void BprogramujClick();
    // The read-back takes the answer only when it is exactly one (see module_answers.h);
    // another answer is refused with a line saying what came (LinkOutcome::BadAnswer) and
    // the image, the record and the controls stay as they were.
    void BBloadClick();
    // A read-back for a comparison: the module's configuration lands in the Device image
    // only; the Settings record and the controls stay as they are and no line is added.
    // Ends with linkFinished(ModuleRead), or as a read-back does on a timeout or failure.
    void readModuleImage();
    // The serial-number query, under the same rules; it waits Timer1's period for its
    // answer like every other exchange. Refused (nothing sent, nothing changes) unless
    // serialQueryAllowed().
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
    void deviceLost();
    // The port's OnHandOverError: the port is already closed; ends any exchange and
    // reports the error.
    void handOverFailed(const std::exception& error);

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
    bool serialQueryPending() const { return serialQueryPending_; }
    // The serial number the module last gave; empty until it answers a query.
    const std::string& lastSerialNumber() const { return serialNumber_; }
    const std::vector<std::uint8_t>& readBackStore() const { return readBackStore_; }
    // An exchange waits for the module: no other may start.
    bool exchangeRunning() const;
    bool busy() const { return busy_; }

private:
    // Returns true when the module accepted the start (the first chunk is then sent).
    bool awaitStartStep(const std::string& str);
    void sendingStep();
    // Drops what the framer holds once an answer moved the transfer on.
    void discardAnsweredText();
    void successStep();
    void readBackStep(const std::string& str);
    // The answer is taken: the image, then the record or the comparison.
    void takeReadBack();
    void startReadBack(bool forComparison);
    void serialNumberStep(const std::string& str);
    // Ends the exchange on an answer that is not the one asked for.
    void refuseAnswer(const std::string& line, const std::string& why);
    // True (and a trace note) when an exchange runs, so `what` must not start.
    bool refusedWhileRunning(const char* what);
    // Drops the bytes waiting in the driver and in the framer before a command.
    void dropWaitingBytes();

    bool refuseProgramming(const SettingsRecord& collected);
    void openPortNamedByHost();
    // Tells the host only on a change, so enter and leave always pair up.
    void setBusy(bool busy);
    // Returns the link to idle after a failure or loss; true when an exchange was running.
    bool abandonExchange();
    void failInsideHandOver(const std::string& message);
    void addLine(const std::string& text) { host_.addInfoLine(text, true); }
    // Tells the host how the exchange ended; the outcome also goes to the wire trace.
    void finish(LinkOutcome outcome);
    // A step of the link in the port's wire trace (nothing when no trace runs).
    void note(const std::string& text);

    LinkHost& host_;
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
    std::string serialAnswer_;  // received since "*7*1"
    std::string serialNumber_;
    bool busy_ = false;
    bool closingAfterFailure_ = false;  // a loss reported while closing is the failure itself
};

// Puts the module link together the one way every host runs it: the port gets the
// module's line settings (115200 baud, read timeouts 1/0/1, event character 10) and
// reports its loss and hand-over errors to the engine; the framer reads the port, cuts at
// "*1" and hands every answer to the engine; the no-answer timer's expiry runs the
// engine's Timer1Timer. Every other port and framer setting keeps its default. The timer's
// interval and error handler stay its owner's.
void wireModuleLink(TComPort& port, TComDataPacket& framer, LinkEngine& engine,
                    NoAnswerTimer& timer);
// The line-settings part of wireModuleLink alone, for a port that only describes them
// (the wire trace's header).
void applyModuleLineSettings(TComPort& port);

}  // namespace tarnik
