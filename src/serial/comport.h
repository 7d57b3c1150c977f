#pragma once

// The serial port object on a POSIX terminal device.
//
// All operations are meant for one thread, the user-interface thread. While the port
// is open an event thread waits for line events and hands each batch to that thread
// through a HandOver (see handover.h); the batch runs the dispatch operations below in
// a fixed order while the event thread waits.
//
// Port names: a bare name such as "ttyUSB0" means /dev/ttyUSB0; a name containing a
// '/' is used as the path.
//
// On a POSIX terminal:
// - Write returns once the driver has taken every byte (no tcdrain), bounded by the
//   write timeouts; Close keeps queued output so the driver still sends it. A write
//   the system takes only in part is continued, so a short count is never returned:
//   bytes the driver does not take by the write deadline raise code 2 instead.
// - A received break never enters the data (IGNBRK); evBreak and ceBreak come from
//   the line counters below.
// - A hang-up (far end gone, adapter unplugged), also one met inside a batch as EIO,
//   is reported once through OnDeviceLost after the port has closed; bytes the device
//   still gives are handed to the readers first.
// - A failed wait for line events ends the event thread like a failed hand-over: the
//   port closes and OnHandOverError gets code 21 with the system's error.
// - Code 1 (open) carries, on a second line, the system's description of the error and
//   what the user can do about it (see open_failure.h).
// - evRxFlag is reported for event characters among the bytes the port reads.
// - evError, evBreak, evRing, evCTS, evDSR and evRLSD come from the UART's interrupt
//   counters, compared at each wake-up; devices without counters (pseudo-terminals,
//   many USB adapters) report none of them, and no modem-line change wakes the thread
//   by itself. TakeLineErrors reads the same counters (empty set without them).
// - evTxEmpty follows a write once the output queue reads empty at a wake-up.
// - Open turns the driver's low-latency mode on where the driver has it (USB adapters
//   would otherwise hold short answers for up to 16 ms) and Close restores the flags;
//   where the driver has no such mode (a pseudo-terminal) nothing changes or is said.
// - The driver's queue sizes are fixed; Buffer.InputSize only sets the 80 % mark.
// - Without a termios equivalent these settings are stored but have no effect:
//   Parity.Replace/ReplaceChar, OutDSRFlow, DSRSensitivity, TxContinueOnXoff,
//   dtrHandshake and rtsToggle (both leave the line raised).
// - A line setting the driver silently drops (e.g. 7 bits on a pseudo-terminal) is
//   refused with code 7.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "posix/unique_fd.h"
#include "serial/com_error.h"
#include "serial/com_link.h"
#include "serial/com_settings.h"
#include "serial/handover.h"
#include "serial/trace.h"

namespace tarnik {

class TCustomComPort;

using TNotifyEvent = std::function<void(TCustomComPort& sender)>;
using TRxCharEvent = std::function<void(TCustomComPort& sender, int count)>;
using TRxBufEvent = std::function<void(TCustomComPort& sender, const char* buffer, int count)>;
using TComSignalEvent = std::function<void(TCustomComPort& sender, bool onOff)>;
using TComErrorEvent = std::function<void(TCustomComPort& sender, TComErrors errors)>;

// States of the four modem input lines.
struct TComSignals {
    bool CTS = false;
    bool DSR = false;
    bool Ring = false;
    bool RLSD = false;
};

namespace detail {
class EventSession;
}

// Not polymorphic: nothing overrides its steps, so the destructor's Close runs exactly
// the code written here. Destroy a port as the type it was made as.
class TCustomComPort {
public:
    TCustomComPort();
    ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    // --- settings (a change while open is put into force at once) ---
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& name);
    // The device path that Port() names.
    std::string DevicePath() const;

    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate rate);
    std::int32_t CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(std::int32_t rate);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits bits);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits bits);
    const TComParity& Parity() const { return parity_; }
    void SetParity(const TComParity& parity);
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool discard);
    std::uint8_t EventChar() const { return eventChar_; }
    void SetEventChar(std::uint8_t ch);
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents events);  // takes effect at the next Open
    const TComBuffer& Buffer() const { return buffer_; }
    void SetBuffer(const TComBuffer& buffer);
    const TComFlowControl& FlowControl() const { return flowControl_; }
    void SetFlowControl(const TComFlowControl& flow);
    const TComTimeouts& Timeouts() const { return timeouts_; }
    void SetTimeouts(const TComTimeouts& timeouts);
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void SetSyncMethod(TSyncMethod method);  // code 14 while open

    // The hand-over used from the next Open (initially the process-wide default).
    // With none, batches run on the event thread, as with smNone.
    std::shared_ptr<tarnik::HandOver> HandOver() const { return handOver_; }
    void SetHandOver(std::shared_ptr<tarnik::HandOver> handOver)
    {
        handOver_ = std::move(handOver);
    }

    // The wire trace's sink (initially the process-wide default; nullptr: no trace).
    const std::shared_ptr<TraceSink>& Trace() const { return trace_; }
    void SetTraceSink(std::shared_ptr<TraceSink> sink) { trace_ = std::move(sink); }
    // Adds a line of the port's owner (the module link's steps) to the trace.
    void TraceNote(std::string_view tag, std::string_view text) noexcept;
    // Marks bytes of what is sent (or received) from now on as secret: the ranges count
    // from the next byte in that direction, across transfers, and replace the ones
    // marked before. The trace shows those bytes masked (see trace.h).
    enum class TraceDirection { Sent = 0, Received = 1 };
    void MaskInTrace(TraceDirection direction, ByteRanges ranges);
    // Masks every byte in that direction from now on, until the next MaskInTrace; each
    // row of them says `note` (why they are hidden). For bytes the owner cannot tell
    // apart before it has checked them.
    void MaskAllInTrace(TraceDirection direction, std::string note);
    // Adds bytes the port's owner has checked (a whole answer) to the trace under `tag`,
    // `masked` (offsets into `data`) hidden unless the sink shows secrets.
    void TraceCheckedBytes(std::string_view tag, const void* data, std::size_t count,
                           const ByteRanges& masked) noexcept;
    // The line settings as the trace shows them: "115200 8N1, rtscts off, ...".
    std::string LineSettingsText() const;

    bool Connected() const { return fd_.valid(); }
    void SetConnected(bool connected);

    // --- operations ---
    void Open();
    void Close();
    int Write(const void* buffer, int count);
    int WriteText(std::string_view text);
    // Waits as the read timeouts say. When the line hangs up (or the device goes) after
    // some bytes came, those bytes are returned and the next call raises code 3; with
    // none yet the call raises it at once.
    int Read(void* buffer, int count);
    int InputQueueCount();
    int OutputQueueCount();
    void PurgeBuffers(bool input, bool output);
    TComSignals ReadModemSignals();
    TComErrors TakeLineErrors();
    void AttachLink(TComLink* link);
    void DetachLink(TComLink* link);
    bool HasLink(const TComLink* link) const;

    // --- dispatch operations, one per event kind (run by the event thread's hand-over) ---
    void CallRxChar();
    void CallTxEmpty();
    void CallRxFlag();
    void CallError();
    void CallBreak();
    void CallRing();
    void CallCTSChange();
    void CallDSRChange();
    void CallRLSDChange();
    void CallRx80Full();
    // Runs the dispatch operations of a batch in the fixed order evError, evRxChar,
    // evTxEmpty, evBreak, evRing, evCTS, evDSR, evRxFlag, evRLSD, evRx80Full. evRxFlag
    // is added when the receive dispatch read the event character. Stops early when a
    // handler closed the port.
    void DispatchEvents(TComEvents batch);

    // --- events (each optional) ---
    TNotifyEvent OnBeforeOpen, OnAfterOpen, OnBeforeClose, OnAfterClose;
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
    TComSignalEvent OnCTSChange, OnDSRChange, OnRLSDChange;
    TComErrorEvent OnError;
    // The device went away (hang-up, read error): reported once on the user-interface
    // thread after the port has been closed. The next Open tries afresh.
    std::function<void()> OnDeviceLost;
    // An error escaped a hand-over: reported once on the user-interface thread after
    // the port has been closed, so the next exchange reopens it.
    std::function<void(const std::exception&)> OnHandOverError;

private:
    friend class detail::EventSession;
    // Steps of Open and Close.
    void CreatePortHandle();
    void ReleasePortHandle();
    void ApplyAllSettings();
    void ApplyLineSettings();
    void ApplyTimeoutSettings();
    void ApplyBufferSizes();
    // Firing of the events (each only when assigned).
    void DoAfterClose();
    void DoAfterOpen();
    void DoBeforeClose();
    void DoBeforeOpen();
    void DoRxChar(int count);
    void DoRxBuf(const char* buffer, int count);
    void DoTxEmpty();
    void DoBreak();
    void DoRing();
    void DoRxFlag();
    void DoCTSChange(bool onOff);
    void DoDSRChange(bool onOff);
    void DoError(TComErrors errors);
    void DoRLSDChange(bool onOff);
    void DoRx80Full();

    void StartEventThread();
    std::exception_ptr StopEventThread();
    void CloseAfterFailure() noexcept;
    void FailFromHandOver(std::exception_ptr error) noexcept;
    void ReportHandOverError(std::exception_ptr error) noexcept;
    void ReportDeviceLost() noexcept;  // closes, then NotifyDeviceLost
    void NotifyDeviceLost() noexcept;
    bool IsDeviceLoss(std::exception_ptr error) const noexcept;
    void ReportLinesOpened();
    void ReportLinesClosing();
    void RecomputeReaderFlag();
    // Write and Read without their trace lines.
    int WriteAll(const void* buffer, int count);
    int ReadUpTo(void* buffer, int count);
    // Trace lines; each does nothing without a sink.
    void TraceText(std::string_view tag, std::string_view text) noexcept;
    void TraceBytes(std::string_view tag, const char* data, int count) noexcept;
    // A failure swallowed where nothing can report it goes to the trace instead.
    void TraceSwallowed(std::string_view where) noexcept;
    // Fires OnRxBuf and every reader's RxBufferHandler with one block (count > 0).
    void HandToReaders(const char* buffer, int count);
    // Reads whatever a departing device still gives and hands it to the readers.
    void DeliverRemainingInput();
    // Calls `call` for every link in attach order; a link detached by an earlier
    // call is skipped.
    void ForEachLink(const std::function<void(TComLink&)>& call);

    std::string port_ = "COM1";
    TBaudRate baudRate_ = br9600;
    std::int32_t customBaudRate_ = 9600;
    TDataBits dataBits_ = dbEight;
    TStopBits stopBits_ = sbOneStopBit;
    TComParity parity_;
    bool discardNull_ = false;
    std::uint8_t eventChar_ = 0;
    TComEvents events_ = kAllComEvents;
    TComBuffer buffer_;
    TComFlowControl flowControl_;
    TComTimeouts timeouts_;
    TSyncMethod syncMethod_ = smThreadSync;
    std::shared_ptr<tarnik::HandOver> handOver_;

    UniqueFd fd_;
    std::shared_ptr<TraceSink> trace_;
    struct SecretBytes {
        ByteRanges ranges;         // counted from the first byte after MaskInTrace
        std::size_t position = 0;  // bytes traced since then
        std::string note;          // said on every row that hides bytes
    };
    SecretBytes traceSecrets_[2];              // by TraceDirection
    std::optional<int> serialFlagsToRestore_;  // set when Open turned low latency on
    std::vector<TComLink*> links_;
    bool hasRxBufferReader_ = false;
    std::shared_ptr<detail::EventSession> session_;
    bool eventCharSeen_ = false;  // set by Read, consumed by DispatchEvents
    bool closing_ = false;
    std::uint32_t errorBaseline_[5]{};  // frame, parity, overrun, break, queue overrun
    bool destroying_ = false;
};

// The port the program instantiates: the same object with everything public.
class TComPort final : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};

}  // namespace tarnik
