#pragma once

// One open period of a port: the event thread, its wake-up descriptors and the
// single slot through which a batch of events crosses to the user-interface thread.
//
// The thread waits with epoll on the port (edge-triggered, so bytes nobody reads do
// not wake it again; only new arrivals do), on a stop eventfd and on a wake eventfd
// that Write pokes. Each batch is posted to the hand-over and the thread blocks
// until the batch has run. Close on the user-interface thread runs a pending batch
// itself while it waits for the thread to end, so the two can never deadlock; the
// callable posted earlier then finds the slot empty. Posted callables hold only a
// weak reference, so they are harmless after the port has gone.

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "posix/unique_fd.h"
#include "serial/com_settings.h"
#include "serial/handover.h"

namespace tarnik {
class TCustomComPort;
}

namespace tarnik::detail {

class EventSession : public std::enable_shared_from_this<EventSession> {
public:
    // handOver nullptr: batches run on the event thread itself.
    EventSession(TCustomComPort* port, int fd, TComEvents events,
                 std::shared_ptr<HandOver> handOver, int rx80Threshold);
    ~EventSession();
    EventSession(const EventSession&) = delete;
    EventSession& operator=(const EventSession&) = delete;

    // Creates the descriptors and starts the thread; throws std::system_error.
    void Start();

    // User-interface thread, from Close: ends the thread. Runs a batch still waiting
    // for the user-interface thread and returns the error it raised, if any. Called
    // from within a batch (or on the event thread) it cannot wait: the thread is told
    // to stop and left to end by itself.
    std::exception_ptr Stop();

    // A write finished: the thread checks whether the output queue is empty.
    void NotifyWrite();

    // Forget the port: later callables and the thread's last steps do nothing.
    void DetachPort() { port_.store(nullptr); }

private:
    void Loop();
    void WaitLoop();
    void HandOverBatch(TComEvents batch);
    std::exception_ptr RunPendingBatch();
    void RunPostedBatch();
    void ReportLost();
    // The thread ends on a failure of its own: the port closes and reports it.
    void ReportFailure(std::exception_ptr error);
    bool InsideOwnBatch() const;

    std::atomic<TCustomComPort*> port_;
    const int fd_;
    const TComEvents events_;
    const std::shared_ptr<HandOver> handOver_;
    const int rx80Threshold_;
    UniqueFd stopFd_;
    UniqueFd wakeFd_;
    UniqueFd epollFd_;
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> txPending_{false};

    std::mutex mutex_;
    std::condition_variable cv_;
    bool hasPending_ = false;  // a batch waits in the slot
    TComEvents pending_;
    bool batchDone_ = false;  // the batch last posted has run
    bool threadEnded_ = false;
    bool runningOnUi_ = false;  // a batch is running right now ...
    std::thread::id runner_;    // ... on this thread
};

}  // namespace tarnik::detail
