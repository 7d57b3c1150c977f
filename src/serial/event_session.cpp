#include "serial/event_session.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include "serial/comport.h"
#include "serial/tty_io.h"

namespace tarnik::detail {

namespace {

enum : std::uint32_t { kTagStop = 1, kTagWake = 2, kTagPort = 3 };

void watch(int epollFd, int fd, std::uint32_t events, std::uint32_t tag)
{
    epoll_event ev{};
    ev.events = events;
    ev.data.u32 = tag;
    if (epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &ev) != 0)
        throw std::system_error(errno, std::generic_category());
}

void poke(int eventFd)
{
    const std::uint64_t one = 1;
    [[maybe_unused]] auto n = write(eventFd, &one, sizeof one);
}

void drain(int eventFd)
{
    std::uint64_t value = 0;
    [[maybe_unused]] auto n = read(eventFd, &value, sizeof value);
}

}  // namespace

EventSession::EventSession(TCustomComPort* port, int fd, TComEvents events,
                           std::shared_ptr<HandOver> handOver, int rx80Threshold)
    : port_(port), fd_(fd), events_(events), handOver_(std::move(handOver)),
      rx80Threshold_(rx80Threshold)
{
}

EventSession::~EventSession() = default;

void EventSession::Start()
{
    for (UniqueFd* fd : {&stopFd_, &wakeFd_}) {
        fd->reset(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
        if (!*fd)
            throw std::system_error(errno, std::generic_category());
    }
    epollFd_.reset(epoll_create1(EPOLL_CLOEXEC));
    if (!epollFd_)
        throw std::system_error(errno, std::generic_category());
    watch(epollFd_.get(), stopFd_.get(), EPOLLIN, kTagStop);
    watch(epollFd_.get(), wakeFd_.get(), EPOLLIN, kTagWake);
    // Edge-triggered: one wake-up per arrival, however long earlier bytes stay unread.
    watch(epollFd_.get(), fd_, EPOLLIN | EPOLLOUT | EPOLLET, kTagPort);
    thread_ = std::thread([self = shared_from_this()] { self->Loop(); });
}

void EventSession::NotifyWrite()
{
    txPending_.store(true);
    poke(wakeFd_.get());
}

bool EventSession::InsideOwnBatch() const
{
    const auto me = std::this_thread::get_id();
    return me == thread_.get_id() || (runningOnUi_ && runner_ == me);
}

std::exception_ptr EventSession::Stop()
{
    stopRequested_.store(true);
    poke(stopFd_.get());
    std::unique_lock lock(mutex_);
    if (InsideOwnBatch()) {
        // The thread waits for the batch this call is part of; it ends after it.
        lock.unlock();
        if (thread_.joinable())
            thread_.detach();
        return nullptr;
    }
    std::exception_ptr firstError;
    while (!threadEnded_) {
        cv_.wait(lock, [this] { return threadEnded_ || hasPending_; });
        if (hasPending_) {
            lock.unlock();
            auto error = RunPendingBatch();
            if (error && !firstError)
                firstError = error;
            lock.lock();
        }
    }
    lock.unlock();
    if (thread_.joinable())
        thread_.join();
    return firstError;
}

std::exception_ptr EventSession::RunPendingBatch()
{
    TComEvents batch;
    {
        std::lock_guard lock(mutex_);
        if (!hasPending_)
            return nullptr;
        hasPending_ = false;
        batch = pending_;
        runningOnUi_ = true;
        runner_ = std::this_thread::get_id();
    }
    std::exception_ptr error;
    if (TCustomComPort* port = port_.load()) {
        try {
            port->DispatchEvents(batch);
        } catch (...) {
            error = std::current_exception();
            stopRequested_.store(true);  // no further batch after a failed one
        }
    }
    {
        std::lock_guard lock(mutex_);
        runningOnUi_ = false;
        batchDone_ = true;
    }
    cv_.notify_all();
    return error;
}

void EventSession::RunPostedBatch()
{
    TCustomComPort* port = port_.load();
    auto error = RunPendingBatch();
    if (error && port)
        port->FailFromHandOver(error);
}

void EventSession::HandOverBatch(TComEvents batch)
{
    if (!handOver_) {
        TCustomComPort* port = port_.load();
        if (!port)
            return;
        try {
            port->DispatchEvents(batch);
        } catch (...) {
            stopRequested_.store(true);
            port->FailFromHandOver(std::current_exception());
        }
        return;
    }
    {
        std::lock_guard lock(mutex_);
        pending_ = batch;
        hasPending_ = true;
        batchDone_ = false;
    }
    cv_.notify_all();  // a Close waiting for the thread may run it at once
    std::weak_ptr<EventSession> weak = weak_from_this();
    handOver_->post([weak] {
        if (auto self = weak.lock())
            self->RunPostedBatch();
    });
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return batchDone_; });
}

void EventSession::ReportLost()
{
    if (!handOver_) {
        if (TCustomComPort* port = port_.load())
            port->ReportDeviceLost();
        return;
    }
    std::weak_ptr<EventSession> weak = weak_from_this();
    handOver_->post([weak] {
        auto self = weak.lock();
        if (!self)
            return;
        if (TCustomComPort* port = self->port_.load())
            port->ReportDeviceLost();
    });
}

void EventSession::ReportFailure(std::exception_ptr error)
{
    // Ends the port the way a failed hand-over does: closed on the user-interface
    // thread, and the error reported to the owner there.
    if (!handOver_) {
        if (TCustomComPort* port = port_.load())
            port->FailFromHandOver(error);
        return;
    }
    std::weak_ptr<EventSession> weak = weak_from_this();
    handOver_->post([weak, error] {
        auto self = weak.lock();
        if (!self)
            return;
        if (TCustomComPort* port = self->port_.load())
            port->FailFromHandOver(error);
    });
}

void EventSession::Loop()
{
    try {
        WaitLoop();
    } catch (...) {
        // A failed wait would leave an open port that hears nothing: end it visibly,
        // unless the port is being closed anyway.
        if (!stopRequested_.load()) {
            try {
                ReportFailure(std::current_exception());
            } catch (...) {
                // Not even a report could be posted; only the trace is left.
                if (TCustomComPort* port = port_.load())
                    port->TraceSwallowed("event thread");
            }
        }
    }
    {
        std::lock_guard lock(mutex_);
        threadEnded_ = true;
    }
    cv_.notify_all();
}

void EventSession::WaitLoop()
{
    LineCounters base;
    const bool haveCounters = readLineCounters(fd_, base);
    bool above80 = false;
    epoll_event ready[4];
    for (;;) {
        const int n = epoll_wait(epollFd_.get(), ready, 4, -1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EComPort(errWaitForEvent, errno);
        }
        if (stopRequested_.load())
            return;
        bool received = false, lost = false, checkTx = false;
        for (int i = 0; i < n; ++i) {
            switch (ready[i].data.u32) {
            case kTagStop:
                return;
            case kTagWake:
                drain(wakeFd_.get());
                checkTx = true;
                break;
            default:
                if (ready[i].events & (EPOLLHUP | EPOLLERR))
                    lost = true;
                if (ready[i].events & EPOLLIN)
                    received = true;
                if (ready[i].events & EPOLLOUT)
                    checkTx = true;
            }
        }

        TComEvents batch;
        if (lost) {
            // Hand over what is still readable, then report the loss once.
            if (queuedInput(fd_) > 0)
                batch.Include(evRxChar);
        } else {
            if (received)
                batch.Include(evRxChar);
            if (checkTx && txPending_.load() && queuedOutput(fd_) == 0) {
                txPending_.store(false);
                batch.Include(evTxEmpty);
            }
            LineCounters now;
            if (haveCounters && readLineCounters(fd_, now)) {
                if (now.frame != base.frame || now.overrun != base.overrun ||
                    now.parity != base.parity || now.bufOverrun != base.bufOverrun)
                    batch.Include(evError);
                if (now.brk != base.brk)
                    batch.Include(evBreak);
                if (now.rng != base.rng)
                    batch.Include(evRing);
                if (now.cts != base.cts)
                    batch.Include(evCTS);
                if (now.dsr != base.dsr)
                    batch.Include(evDSR);
                if (now.dcd != base.dcd)
                    batch.Include(evRLSD);
                base = now;
            }
            if (events_.Contains(evRx80Full) && rx80Threshold_ > 0) {
                const bool above = queuedInput(fd_) >= rx80Threshold_;
                if (above && !above80)
                    batch.Include(evRx80Full);
                above80 = above;
            }
        }
        // evRxFlag is found by the receive dispatch in the bytes it reads.
        if (batch.Contains(evRxChar) && events_.Contains(evRxFlag))
            batch.Include(evRxFlag);
        batch = batch & events_;
        if (!batch.Empty())
            HandOverBatch(batch);
        if (stopRequested_.load())
            return;
        if (lost) {
            ReportLost();
            return;
        }
    }
}

}  // namespace tarnik::detail
