// The event thread and its hand-over: ordering, stopping, lost devices, failures,
// and the absence of busy waiting.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "hand_over_loop.h"
#include "pty_pair.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "thread_activity.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;
using test::UiLoop;

// Keeps posted work until the test runs it by hand.
class HeldHandOver : public HandOver {
public:
    void post(std::function<void()> task) override
    {
        std::lock_guard lock(mutex);
        tasks.push_back(std::move(task));
    }
    size_t Count()
    {
        std::lock_guard lock(mutex);
        return tasks.size();
    }
    void RunAll()
    {
        std::deque<std::function<void()>> now;
        {
            std::lock_guard lock(mutex);
            now.swap(tasks);
        }
        for (auto& t : now)
            t();
    }
    std::mutex mutex;
    std::deque<std::function<void()>> tasks;
};

// Wake-ups a waiting thread may have while nothing happens: a stray one is harmless, a
// thread that polls has hundreds.
constexpr long kFewWakeUps = 3;

// The thread ids that appeared since `before`.
std::vector<int> newThreads(const std::vector<int>& before)
{
    std::vector<int> now = test::threadIds(), added;
    for (int id : now)
        if (std::find(before.begin(), before.end(), id) == before.end())
            added.push_back(id);
    return added;
}

// A port on a fresh pseudo-terminal whose hand-overs run on the test's thread.
class EventThread : public ::testing::Test {
protected:
    EventThread()
    {
        port.SetHandOver(ui.handOver);
        port.SetPort(pty.SlavePath());
    }

    PtyPair pty;
    UiLoop ui;
    TComPort port;
};

TEST_F(EventThread, CloseRunsAPendingBatchInsteadOfDeadlocking)
{
    auto held = std::make_shared<HeldHandOver>();
    std::string received;
    {
        // A port of its own, with work held until the test runs it.
        TComPort heldPort;
        heldPort.SetHandOver(held);
        heldPort.SetPort(pty.SlavePath());
        TComLink reader;
        reader.RxBufferHandler = [&](TCustomComPort&, const char* b, int n) {
            received.append(b, static_cast<size_t>(n));
        };
        heldPort.AttachLink(&reader);
        heldPort.Open();
        pty.WriteMaster("OK*1");
        ASSERT_TRUE(test::waitUntil(
            [&] { return held->Count() == 1; }));  // the event thread now waits on us

        heldPort.Close();  // must return, running the batch itself
        EXPECT_EQ(received, "OK*1");
        EXPECT_FALSE(heldPort.Connected());
        heldPort.DetachLink(&reader);
    }
    // The callable posted before the close finds nothing to do, even with the port gone.
    held->RunAll();
    EXPECT_EQ(received, "OK*1");
}

TEST_F(EventThread, BytesNobodyReadsDoNotKeepTheThreadBusy)
{
    std::vector<int> counts;
    port.OnRxChar = [&](TCustomComPort&, int n) { counts.push_back(n); };
    const auto before = test::threadIds();
    port.Open();
    const auto added = newThreads(before);
    ASSERT_EQ(added.size(), 1u);
    const int eventThread = added[0];

    pty.WriteMaster("abc");
    ASSERT_TRUE(ui.pumpUntil([&] { return !counts.empty(); }));
    // With the bytes still unread the thread goes back to sleep and is not woken again:
    // a thread that spins never sleeps, one that polls wakes up over and over.
    ASSERT_TRUE(ui.pumpUntil([&] { return test::threadSleeps(eventThread); }))
        << "the event thread never sleeps";
    const long wakeUps = test::threadWakeUps(eventThread);
    ui.pumpFor(400ms);
    EXPECT_LE(test::threadWakeUps(eventThread) - wakeUps, kFewWakeUps);
    EXPECT_LE(counts.size(), 2u);  // one report per arrival, not one per wake-up

    // New bytes wake it again; the count covers everything waiting.
    const size_t reports = counts.size();
    pty.WriteMaster("de");
    ASSERT_TRUE(ui.pumpUntil([&] { return counts.size() > reports && counts.back() == 5; }));
}

TEST_F(EventThread, IdleOpenPortCostsNoCpu)
{
    const auto before = test::threadIds();
    port.Open();
    const auto added = newThreads(before);
    ASSERT_EQ(added.size(), 1u);
    ASSERT_TRUE(test::waitUntil([&] { return test::threadSleeps(added[0]); }))
        << "the event thread never sleeps";
    const long wakeUps = test::threadWakeUps(added[0]);
    std::this_thread::sleep_for(500ms);
    EXPECT_LE(test::threadWakeUps(added[0]) - wakeUps, kFewWakeUps);
}

TEST_F(EventThread, FarEndHangUpClosesThePortAndTellsTheOwnerOnce)
{
    int lost = 0, afterClose = 0;
    port.OnDeviceLost = [&] { ++lost; };
    port.OnAfterClose = [&](TCustomComPort&) { ++afterClose; };
    const auto before = test::threadIds();
    port.Open();
    const auto added = newThreads(before);
    ASSERT_EQ(added.size(), 1u);

    // The user-interface side is busy elsewhere meanwhile: the event thread handles the
    // hang-up and then waits asleep (or ends) rather than spinning on the dead line.
    const int eventThread = added[0];
    ASSERT_TRUE(test::waitUntil([&] { return test::threadSleeps(eventThread); }));
    const long asleep = test::threadWakeUps(eventThread);
    pty.CloseMaster();
    EXPECT_TRUE(test::waitUntil([&] {
        return test::threadEnded(eventThread) ||
               (test::threadWakeUps(eventThread) > asleep && test::threadSleeps(eventThread));
    })) << "the event thread spins after the hang-up";
    const long wakeUps = test::threadWakeUps(eventThread);
    std::this_thread::sleep_for(300ms);
    EXPECT_LE(test::threadWakeUps(eventThread) - wakeUps, kFewWakeUps)
        << "the event thread keeps waking up after the hang-up";

    ASSERT_TRUE(ui.pumpUntil([&] { return lost == 1; }));
    ui.pumpFor(100ms);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(afterClose, 1);
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(test::waitUntil([&] { return newThreads(before).empty(); }))
        << "event thread still running";

    // The next exchange tries afresh and reports the missing device.
    try {
        port.Open();
        FAIL() << "opened a device that is gone";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorCode(), 1);
    }
}

// A port whose owner counts the two end-of-connection reports.
struct WatchedPort {
    TComPort port;
    TComLink reader;
    std::string received;
    int lost = 0;
    std::vector<std::string> errors;
    WatchedPort(const std::string& path, std::shared_ptr<HandOver> handOver)
    {
        port.SetHandOver(std::move(handOver));
        port.SetPort(path);
        port.OnDeviceLost = [this] { ++lost; };
        port.OnHandOverError = [this](const std::exception& e) { errors.emplace_back(e.what()); };
        reader.RxBufferHandler = [this](TCustomComPort&, const char* b, int n) {
            received.append(b, static_cast<size_t>(n));
        };
        port.AttachLink(&reader);
    }
    ~WatchedPort() { port.DetachLink(&reader); }
};

TEST(EventThreadEnd, HangUpWithBytesQueuedIsALostDevice)
{
    // The batch for the bytes is posted, then the far end hangs up before the
    // user-interface thread runs it: the queue query meets EIO.
    {
        PtyPair pty;
        auto held = std::make_shared<HeldHandOver>();
        WatchedPort w(pty.SlavePath(), held);
        w.port.Open();
        pty.WriteMaster("OK*1");
        ASSERT_TRUE(test::waitUntil([&] { return held->Count() == 1; }));
        pty.CloseMaster();
        ASSERT_TRUE(test::waitUntil([&] {
            held->RunAll();
            return w.lost == 1;
        }));
        usleep(50 * 1000);
        held->RunAll();
        EXPECT_EQ(w.lost, 1);
        EXPECT_TRUE(w.errors.empty()) << w.errors.front();
        EXPECT_FALSE(w.port.Connected());
        // Whatever the kernel still gave is delivered whole and in order.
        EXPECT_EQ(std::string("OK*1").substr(0, w.received.size()), w.received);
    }
    // The hang-up a few milliseconds after the last bytes, as a module being unplugged.
    for (int round = 0; round < 5; ++round) {
        PtyPair pty;
        UiLoop ui;
        WatchedPort w(pty.SlavePath(), ui.handOver);
        w.port.Open();
        pty.WriteMaster("OK*1");
        usleep(2000);
        pty.CloseMaster();
        ASSERT_TRUE(ui.pumpUntil([&] { return w.lost == 1 || !w.errors.empty(); }));
        ui.pumpFor(50ms);
        EXPECT_EQ(w.lost, 1) << "round " << round;
        EXPECT_TRUE(w.errors.empty()) << w.errors.front();
        EXPECT_FALSE(w.port.Connected());
    }
}

TEST_F(EventThread, AnErrorInAHandOverClosesThePortAndIsReportedOnce)
{
    std::vector<std::string> errors;
    port.OnHandOverError = [&](const std::exception& e) { errors.emplace_back(e.what()); };
    bool fail = true;
    std::string received;
    TComLink reader;
    reader.RxBufferHandler = [&](TCustomComPort&, const char* b, int n) {
        received.append(b, static_cast<size_t>(n));
        if (fail)
            throw std::runtime_error("handler failed");
    };
    port.AttachLink(&reader);
    port.Open();

    pty.WriteMaster("x");
    ASSERT_TRUE(ui.pumpUntil([&] { return !errors.empty(); }));
    ui.pumpFor(100ms);
    EXPECT_EQ(errors, std::vector<std::string>{"handler failed"});
    EXPECT_FALSE(port.Connected());

    // Reopened, the port receives again.
    fail = false;
    port.Open();
    pty.WriteMaster("y");
    EXPECT_TRUE(ui.pumpUntil([&] { return received == "xy"; }));
    port.DetachLink(&reader);
}

// The descriptors of this process that are epoll instances.
std::vector<int> epollDescriptors()
{
    std::vector<int> fds;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const auto target = std::filesystem::read_symlink(entry.path(), ec);
        if (!ec && target.string() == "anon_inode:[eventpoll]")
            fds.push_back(std::stoi(entry.path().filename().string()));
    }
    return fds;
}

TEST(EventThreadEnd, AFailedWaitClosesThePortAndReportsTheError)
{
    PtyPair pty;
    UiLoop ui;
    WatchedPort w(pty.SlavePath(), ui.handOver);
    w.port.Open();
    const auto epolls = epollDescriptors();
    ASSERT_EQ(epolls.size(), 1u);
    // Put a descriptor that is no epoll instance in its place: the thread's next wait
    // fails with EINVAL.
    const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(dup2(null, epolls[0]), 0);
    ::close(null);
    pty.WriteMaster("x");  // wakes the thread for one more pass

    ASSERT_TRUE(ui.pumpUntil([&] { return !w.errors.empty(); }));
    ui.pumpFor(50ms);
    EXPECT_EQ(w.errors, std::vector<std::string>{"WaitForEvent method failed (win error code: " +
                                                 std::to_string(EINVAL) + ")"});
    EXPECT_EQ(w.lost, 0);
    EXPECT_FALSE(w.port.Connected());

    // The next exchange opens a working port again.
    w.port.Open();
    pty.WriteMaster("y");
    EXPECT_TRUE(ui.pumpUntil([&] { return w.received.find('y') != std::string::npos; }));
}

TEST_F(EventThread, EventCharacterIsReportedAfterTheBytes)
{
    port.SetEventChar(10);
    std::vector<std::string> log;
    TComLink link;
    link.RxBufferHandler = [&](TCustomComPort&, const char* b, int n) {
        log.emplace_back(b, static_cast<size_t>(n));
    };
    link.RxFlagHandler = [&](TCustomComPort&) { log.push_back("flag"); };
    port.OnRxFlag = [&](TCustomComPort&) { log.push_back("onRxFlag"); };
    port.AttachLink(&link);
    port.Open();

    pty.WriteMaster("no line feed");
    ASSERT_TRUE(ui.pumpUntil([&] { return !log.empty(); }));
    ui.pumpFor(50ms);
    EXPECT_EQ(log, std::vector<std::string>{"no line feed"});

    log.clear();
    pty.WriteMaster("line\n");
    ASSERT_TRUE(ui.pumpUntil([&] { return log.size() >= 3; }));
    EXPECT_EQ(log, (std::vector<std::string>{"line\n", "flag", "onRxFlag"}));
    port.DetachLink(&link);
}

TEST_F(EventThread, HandlerClosingThePortInsideABatchDoesNotDeadlock)
{
    TComDataPacket framer;
    framer.SetComPort(&port);
    framer.SetStopString("*1");
    int stops = 0;
    framer.OnCustomStop = [&](TComDataPacket&, const std::string& s, int&) {
        ++stops;
        if (s.find("*1") != std::string::npos)
            port.Close();
    };
    port.Open();
    pty.WriteMaster("A*1");
    ASSERT_TRUE(ui.pumpUntil([&] { return !port.Connected(); }));
    ui.pumpFor(50ms);
    EXPECT_GE(stops, 1);
    port.Open();  // a fresh period works
    EXPECT_TRUE(port.Connected());
}

TEST_F(EventThread, NoneSyncRunsBatchesOnTheEventThread)
{
    port.SetSyncMethod(smNone);
    std::mutex m;
    std::thread::id ranOn;
    std::string received;
    TComLink reader;
    reader.RxBufferHandler = [&](TCustomComPort&, const char* b, int n) {
        std::lock_guard lock(m);
        ranOn = std::this_thread::get_id();
        received.append(b, static_cast<size_t>(n));
    };
    port.AttachLink(&reader);
    port.Open();
    pty.WriteMaster("hi");
    ASSERT_TRUE(test::waitUntil([&] {
        std::lock_guard lock(m);
        return received == "hi";
    }));
    {
        std::lock_guard lock(m);
        EXPECT_NE(ranOn, std::this_thread::get_id());
    }
    port.Close();
    port.DetachLink(&reader);
}

TEST_F(EventThread, EmptyEventSetStartsNoThread)
{
    port.SetEvents({});
    const auto before = test::threadIds();
    port.Open();
    EXPECT_TRUE(newThreads(before).empty());
}

}  // namespace
}  // namespace tarnik
