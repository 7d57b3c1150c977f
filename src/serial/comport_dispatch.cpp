// Linked readers, the event dispatch operations and the event firing.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "serial/comport.h"
#include "serial/tty_io.h"

namespace tarnik {

bool TCustomComPort::HasLink(const TComLink* link) const
{
    return std::find(links_.begin(), links_.end(), link) != links_.end();
}

void TCustomComPort::AttachLink(TComLink* link)
{
    if (link == nullptr || HasLink(link))
        throw EComPort(errLinkRegistration);
    links_.push_back(link);
    RecomputeReaderFlag();
}

void TCustomComPort::DetachLink(TComLink* link)
{
    const auto it = std::find(links_.begin(), links_.end(), link);
    if (link == nullptr || it == links_.end())
        throw EComPort(errLinkRegistration);
    links_.erase(it);
    RecomputeReaderFlag();
}

void TCustomComPort::RecomputeReaderFlag()
{
    hasRxBufferReader_ = std::any_of(links_.begin(), links_.end(), [](const TComLink* l) {
        return static_cast<bool>(l->RxBufferHandler);
    });
}

void TCustomComPort::ReportLinesOpened()
{
    const TComSignals cts = ReadModemSignals();
    ForEachLink([&](TComLink& l) {
        if (l.CTSHandler)
            l.CTSHandler(*this, cts.CTS);
    });
    DoCTSChange(cts.CTS);
    const TComSignals dsr = ReadModemSignals();
    ForEachLink([&](TComLink& l) {
        if (l.DSRHandler)
            l.DSRHandler(*this, dsr.DSR);
    });
    DoDSRChange(dsr.DSR);
    const TComSignals rlsd = ReadModemSignals();
    ForEachLink([&](TComLink& l) {
        if (l.RLSDHandler)
            l.RLSDHandler(*this, rlsd.RLSD);
    });
    DoRLSDChange(rlsd.RLSD);
}

void TCustomComPort::ReportLinesClosing()
{
    ForEachLink([this](TComLink& l) {
        if (l.CTSHandler)
            l.CTSHandler(*this, false);
    });
    ForEachLink([this](TComLink& l) {
        if (l.DSRHandler)
            l.DSRHandler(*this, false);
    });
    ForEachLink([this](TComLink& l) {
        if (l.RLSDHandler)
            l.RLSDHandler(*this, false);
    });
    DoCTSChange(false);
    DoDSRChange(false);
    DoRLSDChange(false);
}

void TCustomComPort::DispatchEvents(TComEvents batch)
{
    eventCharSeen_ = false;
    struct Step {
        TComEvent event;
        void (TCustomComPort::*call)();
    };
    static constexpr Step kOrder[] = {
        {evError, &TCustomComPort::CallError},     {evRxChar, &TCustomComPort::CallRxChar},
        {evTxEmpty, &TCustomComPort::CallTxEmpty}, {evBreak, &TCustomComPort::CallBreak},
        {evRing, &TCustomComPort::CallRing},       {evCTS, &TCustomComPort::CallCTSChange},
        {evDSR, &TCustomComPort::CallDSRChange},   {evRxFlag, &TCustomComPort::CallRxFlag},
        {evRLSD, &TCustomComPort::CallRLSDChange}, {evRx80Full, &TCustomComPort::CallRx80Full},
    };
    for (const Step& step : kOrder) {
        if (!batch.Contains(step.event))
            continue;
        // The event character is known only from the bytes the receive dispatch read.
        if (step.event == evRxFlag && !eventCharSeen_)
            continue;
        if (!Connected())
            return;  // a handler closed the port
        (this->*step.call)();
    }
}

void TCustomComPort::CallRxChar()
{
    int n = 0;
    try {
        n = InputQueueCount();
    } catch (const EComPort& e) {
        // The device went away with bytes announced: hand on what can still be read,
        // then let the failure end the batch as a lost device.
        if (detail::deviceGoneError(e.SystemErrorCode()))
            DeliverRemainingInput();
        throw;
    }
    if (n <= 0)
        return;
    ForEachLink([this](TComLink& l) {
        if (l.RxBusyHandler)
            l.RxBusyHandler(*this, true);
    });
    if (hasRxBufferReader_) {
        // One read of everything waiting, shared by every reader. The count handed on
        // is what the read delivered.
        std::vector<char> buffer(static_cast<size_t>(n));
        const int got = Read(buffer.data(), n);
        HandToReaders(buffer.data(), got);
        return;
    }
    DoRxChar(n);
}

void TCustomComPort::HandToReaders(const char* buffer, int count)
{
    if (count <= 0)
        return;
    DoRxBuf(buffer, count);
    ForEachLink([&](TComLink& l) {
        if (l.RxBufferHandler)
            l.RxBufferHandler(*this, buffer, count);
    });
}

void TCustomComPort::DeliverRemainingInput()
{
    if (!hasRxBufferReader_)
        return;
    std::vector<char> buffer;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(fd_.get(), chunk, sizeof chunk);
        if (n > 0)
            buffer.insert(buffer.end(), chunk, chunk + n);
        else if (!(n < 0 && errno == EINTR))
            break;
    }
    TraceBytes(trace_tag::kReceived, buffer.data(), static_cast<int>(buffer.size()));
    HandToReaders(buffer.data(), static_cast<int>(buffer.size()));
}

void TCustomComPort::CallTxEmpty()
{
    ForEachLink([this](TComLink& l) {
        if (l.TxBusyHandler)
            l.TxBusyHandler(*this, false);
    });
    ForEachLink([this](TComLink& l) {
        if (l.TxEmptyHandler)
            l.TxEmptyHandler(*this);
    });
    DoTxEmpty();
}

void TCustomComPort::CallRxFlag()
{
    ForEachLink([this](TComLink& l) {
        if (l.RxFlagHandler)
            l.RxFlagHandler(*this);
    });
    DoRxFlag();
}

void TCustomComPort::CallError()
{
    const TComErrors errors = TakeLineErrors();
    if (!errors.Empty())
        DoError(errors);
}

void TCustomComPort::CallBreak()
{
    DoBreak();
}

void TCustomComPort::CallRing()
{
    ForEachLink([this](TComLink& l) {
        if (l.RingHandler)
            l.RingHandler(*this);
    });
    DoRing();
}

void TCustomComPort::CallCTSChange()
{
    const bool on = ReadModemSignals().CTS;
    ForEachLink([&](TComLink& l) {
        if (l.CTSHandler)
            l.CTSHandler(*this, on);
    });
    DoCTSChange(on);
}

void TCustomComPort::CallDSRChange()
{
    const bool on = ReadModemSignals().DSR;
    ForEachLink([&](TComLink& l) {
        if (l.DSRHandler)
            l.DSRHandler(*this, on);
    });
    DoDSRChange(on);
}

void TCustomComPort::CallRLSDChange()
{
    const bool on = ReadModemSignals().RLSD;
    ForEachLink([&](TComLink& l) {
        if (l.RLSDHandler)
            l.RLSDHandler(*this, on);
    });
    DoRLSDChange(on);
}

void TCustomComPort::CallRx80Full()
{
    DoRx80Full();
}

// --- firing the events ---

void TCustomComPort::DoAfterClose()
{
    if (OnAfterClose)
        OnAfterClose(*this);
}
void TCustomComPort::DoAfterOpen()
{
    if (OnAfterOpen)
        OnAfterOpen(*this);
}
void TCustomComPort::DoBeforeClose()
{
    if (OnBeforeClose)
        OnBeforeClose(*this);
}
void TCustomComPort::DoBeforeOpen()
{
    if (OnBeforeOpen)
        OnBeforeOpen(*this);
}
void TCustomComPort::DoRxChar(int count)
{
    if (OnRxChar)
        OnRxChar(*this, count);
}
void TCustomComPort::DoRxBuf(const char* buffer, int count)
{
    if (OnRxBuf)
        OnRxBuf(*this, buffer, count);
}
void TCustomComPort::DoTxEmpty()
{
    if (OnTxEmpty)
        OnTxEmpty(*this);
}
void TCustomComPort::DoBreak()
{
    if (OnBreak)
        OnBreak(*this);
}
void TCustomComPort::DoRing()
{
    if (OnRing)
        OnRing(*this);
}
void TCustomComPort::DoRxFlag()
{
    if (OnRxFlag)
        OnRxFlag(*this);
}
void TCustomComPort::DoCTSChange(bool onOff)
{
    if (OnCTSChange)
        OnCTSChange(*this, onOff);
}
void TCustomComPort::DoDSRChange(bool onOff)
{
    if (OnDSRChange)
        OnDSRChange(*this, onOff);
}
void TCustomComPort::DoError(TComErrors errors)
{
    if (OnError)
        OnError(*this, errors);
}
void TCustomComPort::DoRLSDChange(bool onOff)
{
    if (OnRLSDChange)
        OnRLSDChange(*this, onOff);
}
void TCustomComPort::DoRx80Full()
{
    if (OnRx80Full)
        OnRx80Full(*this);
}

}  // namespace tarnik
