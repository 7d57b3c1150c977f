#include "serial/comport.h"

#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "serial/event_session.h"
#include "serial/open_failure.h"
#include "serial/tty_io.h"

namespace tarnik {

TCustomComPort::TCustomComPort() : handOver_(defaultHandOver()), trace_(defaultTraceSink())
{
}

TCustomComPort::~TCustomComPort()
{
    destroying_ = true;
    try {
        Close();
    } catch (...) {
        TraceSwallowed("close at destruction");
        CloseAfterFailure();
    }
    for (TComLink* link : std::vector<TComLink*>(links_)) {
        if (link->PortDestroyedHandler) {
            try {
                link->PortDestroyedHandler(*this);
            } catch (...) {
                TraceSwallowed("link told of the port's end");
            }
        }
    }
    links_.clear();
}

std::string TCustomComPort::DevicePath() const
{
    return port_.find('/') == std::string::npos ? "/dev/" + port_ : port_;
}

void TCustomComPort::SetPort(const std::string& name)
{
    if (name == port_)
        return;
    port_ = name;
    if (Connected()) {
        Close();
        Open();
    }
}

void TCustomComPort::SetConnected(bool connected)
{
    if (connected == Connected())
        return;
    if (connected)
        Open();
    else
        Close();
}

// --- settings: a real change is put into force at once while open ---

void TCustomComPort::SetBaudRate(TBaudRate rate)
{
    if (rate == baudRate_)
        return;
    baudRate_ = rate;
    if (Connected())
        ApplyLineSettings();
}

void TCustomComPort::SetCustomBaudRate(std::int32_t rate)
{
    if (rate == customBaudRate_)
        return;
    customBaudRate_ = rate;
    if (Connected())
        ApplyLineSettings();
}

void TCustomComPort::SetDataBits(TDataBits bits)
{
    if (bits == dataBits_)
        return;
    dataBits_ = bits;
    if (Connected())
        ApplyLineSettings();
}

void TCustomComPort::SetStopBits(TStopBits bits)
{
    if (bits == stopBits_)
        return;
    stopBits_ = bits;
    if (Connected())
        ApplyLineSettings();
}

void TCustomComPort::SetParity(const TComParity& parity)
{
    if (parity == parity_)
        return;
    parity_ = parity;
    if (Connected())
        ApplyLineSettings();
}

void TCustomComPort::SetDiscardNull(bool discard)
{
    if (discard == discardNull_)
        return;
    discardNull_ = discard;
    if (Connected())
        ApplyLineSettings();
}

void TCustomComPort::SetEventChar(std::uint8_t ch)
{
    if (ch == eventChar_)
        return;
    eventChar_ = ch;
    if (Connected())
        ApplyLineSettings();
}

void TCustomComPort::SetEvents(TComEvents events)
{
    events_ = events;
}

void TCustomComPort::SetBuffer(const TComBuffer& buffer)
{
    TComBuffer even = buffer;
    if (even.InputSize > 0 && even.InputSize % 2 != 0)
        --even.InputSize;
    if (even.OutputSize > 0 && even.OutputSize % 2 != 0)
        --even.OutputSize;
    if (even == buffer_)
        return;
    buffer_ = even;
    if (Connected())
        ApplyBufferSizes();
}

void TCustomComPort::SetFlowControl(const TComFlowControl& flow)
{
    if (flow == flowControl_)
        return;
    flowControl_ = flow;
    if (Connected())
        ApplyLineSettings();
}

void TCustomComPort::SetTimeouts(const TComTimeouts& timeouts)
{
    if (timeouts == timeouts_)
        return;
    timeouts_ = timeouts;
    if (Connected())
        ApplyTimeoutSettings();
}

void TCustomComPort::SetSyncMethod(TSyncMethod method)
{
    if (method == syncMethod_)
        return;
    if (Connected())
        throw EComPort(errSetWhileConnected);
    syncMethod_ = method;
}

// --- open and close ---

void TCustomComPort::CreatePortHandle()
{
    const std::string path = DevicePath();
    // Code 1 with the system's error, and on a line of its own what the user can do.
    auto fail = [&path](int error) {
        throw EComPort(errOpenPort, error, openFailureAdvice(path, error));
    };
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        fail(errno);
    if (!isatty(fd.get()))
        fail(errno);
    // Exclusive like share mode 0: the lock stops a second port object even under root,
    // TIOCEXCL stops later opens (except by root). The lock comes first: the exclusive
    // flag belongs to the terminal, not to this descriptor, so setting it before a lock
    // that fails would leave the device closed to everybody but root.
    if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        fail(errno);
    if (ioctl(fd.get(), TIOCEXCL) != 0 && !detail::noModemLines(errno))
        fail(errno);
    fd_ = std::move(fd);
    serialFlagsToRestore_ = detail::enableLowLatency(fd_.get());
}

void TCustomComPort::ReleasePortHandle()
{
    if (!fd_)
        return;
    if (serialFlagsToRestore_)
        detail::restoreSerialFlags(fd_.get(), *serialFlagsToRestore_);
    serialFlagsToRestore_.reset();
    ioctl(fd_.get(), TIOCNXCL);
    fd_.reset();
}

void TCustomComPort::ApplyAllSettings()
{
    ApplyBufferSizes();
    ApplyLineSettings();
    ApplyTimeoutSettings();
}

void TCustomComPort::Open()
{
    if (Connected())
        return;
    DoBeforeOpen();
    try {
        CreatePortHandle();
    } catch (const std::exception& e) {
        TraceText(trace_tag::kError, e.what());
        throw;
    }
    TraceText(trace_tag::kOpen, DevicePath());
    try {
        ApplyAllSettings();
        TakeLineErrors();  // start counting line errors from now
        if (!events_.Empty())
            StartEventThread();
    } catch (const std::exception& e) {
        TraceText(trace_tag::kError, e.what());
        ReleasePortHandle();
        throw;
    }
    ForEachLink([this](TComLink& l) {
        if (l.ConnectionHandler)
            l.ConnectionHandler(*this, true);
    });
    DoAfterOpen();
    ReportLinesOpened();
}

void TCustomComPort::Close()
{
    if (!Connected() || closing_)
        return;
    closing_ = true;
    std::exception_ptr batchError;
    try {
        ReportLinesClosing();
        DoBeforeClose();
        batchError = StopEventThread();
    } catch (...) {
        closing_ = false;
        throw;
    }
    const bool lost = batchError && IsDeviceLoss(batchError);
    // Unread input is dropped; output already queued is left for the driver to send,
    // so the last command written before a close still reaches the device.
    tcflush(fd_.get(), TCIFLUSH);
    ReleasePortHandle();
    closing_ = false;
    // A batch that ran while the thread was being stopped failed: tell the owner.
    if (batchError && !destroying_) {
        if (lost)
            NotifyDeviceLost();
        else
            ReportHandOverError(batchError);
    }
    TraceText(trace_tag::kClose, DevicePath());
    ForEachLink([this](TComLink& l) {
        if (l.ConnectionHandler)
            l.ConnectionHandler(*this, false);
    });
    DoAfterClose();
}

void TCustomComPort::StartEventThread()
{
    const int threshold = buffer_.InputSize > 0 ? buffer_.InputSize / 10 * 8 : 0;
    auto handOver = syncMethod_ == smNone ? nullptr : handOver_;
    auto session =
        std::make_shared<detail::EventSession>(this, fd_.get(), events_, handOver, threshold);
    try {
        session->Start();
    } catch (const std::system_error& e) {
        throw EComPort(errOpenPort, e.code().value());
    }
    session_ = std::move(session);
}

std::exception_ptr TCustomComPort::StopEventThread()
{
    if (!session_)
        return nullptr;
    auto session = std::move(session_);
    session_.reset();
    auto error = session->Stop();
    session->DetachPort();
    return error;
}

void TCustomComPort::CloseAfterFailure() noexcept
{
    try {
        Close();
        return;
    } catch (...) {
        TraceSwallowed("close after a failure");
    }
    // A close notification failed: end the thread and release the device anyway.
    try {
        closing_ = false;
        StopEventThread();
    } catch (...) {
        TraceSwallowed("event thread stop");
    }
    ReleasePortHandle();
}

bool TCustomComPort::IsDeviceLoss(std::exception_ptr error) const noexcept
{
    if (fd_ && detail::hungUp(fd_.get()))
        return true;
    try {
        std::rethrow_exception(error);
    } catch (const EComPort& e) {
        return e.DeviceGone();
    } catch (...) {
    }
    return false;
}

void TCustomComPort::FailFromHandOver(std::exception_ptr error) noexcept
{
    // A batch that failed because the device went away is a lost device, not a port
    // error: the user is told the connection ended, not an errno.
    if (IsDeviceLoss(error)) {
        ReportDeviceLost();
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (...) {
        TraceSwallowed("hand-over");
    }
    CloseAfterFailure();
    ReportHandOverError(error);
}

void TCustomComPort::ReportHandOverError(std::exception_ptr error) noexcept
{
    if (!OnHandOverError || !error)
        return;
    try {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            OnHandOverError(e);
        } catch (...) {
            OnHandOverError(std::runtime_error("unknown error"));
        }
    } catch (...) {
        // The report itself failed; only the trace is left to tell.
        TraceSwallowed("hand-over error report");
    }
}

void TCustomComPort::ReportDeviceLost() noexcept
{
    CloseAfterFailure();
    NotifyDeviceLost();
}

void TCustomComPort::NotifyDeviceLost() noexcept
{
    TraceText(trace_tag::kLost, DevicePath());
    if (!OnDeviceLost)
        return;
    try {
        OnDeviceLost();
    } catch (...) {
        TraceSwallowed("device-lost report");
    }
}

// --- trace ---

void TCustomComPort::TraceNote(std::string_view tag, std::string_view text) noexcept
{
    TraceText(tag, text);
}

void TCustomComPort::MaskInTrace(TraceDirection direction, ByteRanges ranges)
{
    SecretBytes& secrets = traceSecrets_[static_cast<int>(direction)];
    secrets.ranges = std::move(ranges);
    secrets.position = 0;
    secrets.note.clear();
}

void TCustomComPort::MaskAllInTrace(TraceDirection direction, std::string note)
{
    SecretBytes& secrets = traceSecrets_[static_cast<int>(direction)];
    secrets.ranges = {{0, kAllBytes}};
    secrets.position = 0;
    secrets.note = std::move(note);
}

void TCustomComPort::TraceCheckedBytes(std::string_view tag, const void* data, std::size_t count,
                                       const ByteRanges& masked) noexcept
{
    if (trace_ && count > 0)
        trace_->TraceBytes(port_, tag, static_cast<const char*>(data), static_cast<int>(count),
                           masked);
}

void TCustomComPort::TraceText(std::string_view tag, std::string_view text) noexcept
{
    if (trace_)
        trace_->Trace(port_, tag, text);
}

void TCustomComPort::TraceBytes(std::string_view tag, const char* data, int count) noexcept
{
    if (count <= 0)
        return;
    // The secret ranges count every byte in their direction, traced or not.
    SecretBytes& secrets = traceSecrets_[static_cast<int>(
        tag == trace_tag::kSent ? TraceDirection::Sent : TraceDirection::Received)];
    const std::size_t first = secrets.position;
    const std::size_t last = first + static_cast<std::size_t>(count);
    if (!secrets.ranges.empty())
        secrets.position = last;
    if (!trace_)
        return;
    try {
        ByteRanges masked;
        for (const ByteRange& range : secrets.ranges) {
            const std::size_t begin = std::max(range.begin, first);
            const std::size_t end = std::min(range.end, last);
            if (begin < end)
                masked.push_back({begin - first, end - first});
        }
        trace_->TraceBytes(port_, tag, data, count, masked, secrets.note);
    } catch (...) {
        // Out of memory while tracing: the trace loses the transfer, the port goes on.
    }
}

void TCustomComPort::TraceSwallowed(std::string_view where) noexcept
{
    if (!trace_)
        return;
    try {
        std::string what = "unknown error";
        try {
            if (const auto current = std::current_exception())
                std::rethrow_exception(current);
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        TraceText(trace_tag::kError, std::string(where) + ": " + what);
    } catch (...) {
    }
}

}  // namespace tarnik
