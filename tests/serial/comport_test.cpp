// The port on real pseudo-terminals: settings in force, transparency, exclusivity,
// open failures, links and writes.

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "hand_over_loop.h"
#include "pty_pair.h"
#include "serial/comport.h"
#include "serial/custom_baud.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;
using test::UiLoop;

// A port configured the way the tool configures it.
struct ProgramPort {
    UiLoop ui;
    TComPort port;
    explicit ProgramPort(const std::string& path)
    {
        port.SetHandOver(ui.handOver);
        port.SetPort(path);
        port.SetBaudRate(br115200);
        port.SetTimeouts({1, 0, 1, 100, 1000});
        port.SetEventChar(10);
    }
};

termios attributesOf(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    EXPECT_GE(fd, 0);
    EXPECT_EQ(tcgetattr(fd, &t), 0);
    ::close(fd);
    return t;
}

std::string commandOutput(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[512];
        while (size_t n = fread(buf, 1, sizeof buf, p))
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

template <typename F>
EComPort catchComError(F&& f)
{
    try {
        f();
    } catch (const EComPort& e) {
        return e;
    }
    ADD_FAILURE() << "no EComPort raised";
    return EComPort(0);
}

TEST(ComPortSettings, ProgramLineSettingsAreInForce)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.Open();

    const termios t = attributesOf(pty.SlavePath());
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_EQ(cfgetispeed(&t), B115200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP | INPCK), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);

    const std::string stty = commandOutput("stty -F " + pty.SlavePath() + " -a");
    for (const char* word :
         {"speed 115200 baud", "cs8", "-parenb", "-cstopb", "-crtscts", "-icanon", "-echo", "-isig",
          "-ixon", "-ixoff", "-icrnl", "-opost", "clocal", "cread"})
        EXPECT_NE(stty.find(word), std::string::npos) << word << " missing in:\n" << stty;
}

TEST(ComPortSettings, BreaksNeverEnterTheDataStream)
{
    // Without IGNBRK the terminal queues a received break as a 0x00 byte, which would
    // shift a read-back answer by one; evBreak comes from the line counters instead.
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.Open();
    termios t = attributesOf(pty.SlavePath());
    EXPECT_TRUE(t.c_iflag & IGNBRK);
    EXPECT_EQ(t.c_iflag & (BRKINT | PARMRK), 0u);

    // Every later line change keeps it.
    TComParity parity;
    parity.Check = true;
    p.port.SetParity(parity);
    t = attributesOf(pty.SlavePath());
    EXPECT_TRUE(t.c_iflag & IGNBRK);
}

TEST(ComPortSettings, ADriverWithoutLowLatencyModeOpensAndClosesQuietly)
{
    // A pseudo-terminal has no serial-driver flags: asking for low latency must change
    // nothing and report nothing.
    PtyPair pty;
    serial_struct info{};
    ASSERT_NE(ioctl(pty.Master(), TIOCGSERIAL, &info), 0);
    ProgramPort p(pty.SlavePath());
    p.port.Open();
    EXPECT_EQ(p.port.WriteText("ok"), 2);
    EXPECT_EQ(pty.ReadMaster(2), "ok");
    p.port.Close();
    p.port.Open();
    EXPECT_TRUE(p.port.Connected());
}

TEST(ComPortSettings, ChangesWhileOpenTakeEffectAtOnce)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.Open();

    p.port.SetStopBits(sbTwoStopBits);
    TComFlowControl flow;
    flow.OutCTSFlow = true;
    flow.XonXoffIn = true;
    flow.XoffChar = 0x13 + 1;
    p.port.SetFlowControl(flow);
    termios t = attributesOf(pty.SlavePath());
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    EXPECT_FALSE(t.c_iflag & IXON);
    EXPECT_EQ(t.c_cc[VSTOP], 0x14);

    // Rates without a B-constant go through the arbitrary-speed interface.
    p.port.SetBaudRate(br128000);
    const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_EQ(detail::readSpeed(fd), 128000);
    p.port.SetBaudRate(brCustom);
    p.port.SetCustomBaudRate(31250);
    EXPECT_EQ(detail::readSpeed(fd), 31250);
    ::close(fd);
}

TEST(ComPortSettings, ASettingTheDeviceRefusesRaisesCode7AndThePortStaysOpen)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.Open();
    // A pseudo-terminal carries 8-bit characters only.
    const EComPort e = catchComError([&] { p.port.SetDataBits(dbSeven); });
    EXPECT_EQ(e.ErrorCode(), 7);
    EXPECT_EQ(e.SystemErrorCode(), EINVAL);
    EXPECT_TRUE(p.port.Connected());
    EXPECT_EQ(p.port.WriteText("ok"), 2);
}

TEST(ComPortSettings, ARefusedSettingMakesOpenFailAndLeavesThePortClosed)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.SetDataBits(dbSix);
    EXPECT_EQ(catchComError([&] { p.port.Open(); }).ErrorCode(), 7);
    EXPECT_FALSE(p.port.Connected());
    p.port.SetDataBits(dbEight);
    p.port.Open();  // the device was released: it opens again
    EXPECT_TRUE(p.port.Connected());
}

TEST(ComPortSettings, OddQueueSizesAreStoredEven)
{
    TComPort port;
    port.SetBuffer({1025, 7});
    EXPECT_EQ(port.Buffer().InputSize, 1024);
    EXPECT_EQ(port.Buffer().OutputSize, 6);
    port.SetBuffer({-3, 0});
    EXPECT_EQ(port.Buffer().InputSize, -3);
}

TEST(ComPortSettings, SyncMethodIsRefusedWhileOpen)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.SetSyncMethod(smNone);  // closed: stored
    EXPECT_EQ(p.port.SyncMethod(), smNone);
    p.port.Open();
    const EComPort e = catchComError([&] { p.port.SetSyncMethod(smThreadSync); });
    EXPECT_EQ(e.ErrorCode(), 14);
    EXPECT_EQ(e.SystemErrorCode(), -1);
    EXPECT_STREQ(e.what(), "Cannot set property while connected");
}

TEST(ComPortTransfer, EveryByteValuePassesUnchangedBothWays)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    std::string received;
    TComLink reader;
    reader.RxBufferHandler = [&](TCustomComPort&, const char* b, int n) {
        received.append(b, static_cast<size_t>(n));
    };
    p.port.AttachLink(&reader);
    p.port.Open();

    const std::string all = test::allByteValues();
    EXPECT_EQ(p.port.Write(all.data(), static_cast<int>(all.size())), 256);
    EXPECT_EQ(pty.ReadMaster(256), all);

    pty.WriteMaster(all);
    ASSERT_TRUE(p.ui.pumpUntil([&] { return received.size() >= 256; }));
    EXPECT_EQ(received, all);
    p.port.DetachLink(&reader);
}

TEST(ComPortTransfer, BurstReachesEveryReaderAsOneBlock)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    std::vector<std::string> first, second;
    TComLink a, b, notReading;
    a.RxBufferHandler = [&](TCustomComPort&, const char* buf, int n) {
        first.emplace_back(buf, static_cast<size_t>(n));
    };
    b.RxBufferHandler = [&](TCustomComPort&, const char* buf, int n) {
        second.emplace_back(buf, static_cast<size_t>(n));
    };
    int rxChar = 0;
    p.port.OnRxChar = [&](TCustomComPort&, int) { ++rxChar; };
    p.port.AttachLink(&notReading);
    p.port.AttachLink(&a);
    p.port.AttachLink(&b);
    p.port.Open();

    const std::string burst(500, 'x');
    pty.WriteMaster(burst);
    // Let every byte reach the port's queue before the user-interface thread runs.
    test::waitUntil([&] { return p.port.InputQueueCount() >= 500; }, 2s);
    p.ui.pumpFor(200ms);

    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0], burst);
    EXPECT_EQ(second, first);
    EXPECT_EQ(rxChar, 0);  // readers took the bytes
}

TEST(ComPortTransfer, WriteTextSendsItsBytesAndNothingWhenEmpty)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.Open();
    EXPECT_EQ(p.port.WriteText(""), 0);
    EXPECT_EQ(p.port.WriteText("*2*1"), 4);
    EXPECT_EQ(pty.ReadMaster(10, 200ms), "*2*1");
}

TEST(ComPortTransfer, TxLinksSeeTheWriteAndItsCopy)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    std::vector<std::string> log;
    TComLink link;
    link.TxBusyHandler = [&](TCustomComPort&, bool on) { log.push_back(on ? "busy" : "idle"); };
    link.TxBufferHandler = [&](TCustomComPort&, const char* b, int n) {
        log.emplace_back(b, static_cast<size_t>(n));
    };
    p.port.AttachLink(&link);
    p.port.Open();
    p.port.WriteText("*5*1");
    EXPECT_EQ(log, (std::vector<std::string>{"busy", "*5*1"}));
    // The queue empties: the event thread reports it on the user-interface thread.
    int txEmpty = 0;
    p.port.OnTxEmpty = [&](TCustomComPort&) { ++txEmpty; };
    EXPECT_TRUE(p.ui.pumpUntil([&] { return txEmpty == 1; }));
    EXPECT_EQ(log.back(), "idle");
    p.port.DetachLink(&link);
}

TEST(ComPortTransfer, WriteGivesUpAfterTheWriteTimeout)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.SetTimeouts({1, 0, 1, 0, 150});  // 150 ms for the whole write
    p.port.Open();
    // The far end never reads; the pty's queues fill long before a megabyte. The write
    // returning at all is the point (without a bound it would wait for ever); it gives up
    // with a timeout, not a port error, and not before its deadline.
    const std::string big(1 << 20, 'a');
    // Waits are whole milliseconds, so the last one may end up to 1 ms short.
    const auto earliest = std::chrono::steady_clock::now() + 150ms - 1ms;
    const EComPort e =
        catchComError([&] { p.port.Write(big.data(), static_cast<int>(big.size())); });
    EXPECT_GE(std::chrono::steady_clock::now(), earliest);
    EXPECT_EQ(e.ErrorCode(), 2);
    EXPECT_EQ(e.SystemErrorCode(), ETIMEDOUT);
    EXPECT_TRUE(p.port.Connected());
}

TEST(ComPortTransfer, PurgeDropsWaitingInput)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.SetEvents({});  // no event thread: bytes stay queued
    p.port.Open();
    pty.WriteMaster("stale");
    test::waitUntil([&] { return p.port.InputQueueCount() >= 5; }, 2s);
    ASSERT_EQ(p.port.InputQueueCount(), 5);
    p.port.PurgeBuffers(false, false);
    EXPECT_EQ(p.port.InputQueueCount(), 5);
    p.port.PurgeBuffers(true, true);
    EXPECT_EQ(p.port.InputQueueCount(), 0);
}

TEST(ComPortTransfer, ReadWithAnIntervalReturnsWhatCame)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    p.port.SetEvents({});
    p.port.Open();
    pty.WriteMaster("abc");
    char buf[16];
    // 1 ms total: returns with what is there. Nothing more ever comes, so a read that
    // waited for all 16 bytes would not return.
    const int n = p.port.Read(buf, 16);
    EXPECT_LE(n, 3);
    std::string got(buf, static_cast<size_t>(n));
    while (got.size() < 3) {
        const int more = p.port.Read(buf, 16);
        got.append(buf, static_cast<size_t>(more));
    }
    EXPECT_EQ(got, "abc");
}

// A read waiting for more keeps what it already has when the far end hangs up: with the
// modes that wait for the whole count or for a gap the read would otherwise lose it.
TEST(ComPortTransfer, ReadReturnsWhatCameWhenTheLineHangsUpMidWait)
{
    struct Case {
        const char* name;
        TComTimeouts timeouts;
    };
    const Case cases[] = {
        {"waits for the whole count", {0, 0, 0, 100, 1000}},
        {"total bound far off", {0, 0, 60000, 100, 1000}},
        {"interval after the first byte", {60000, 0, 0, 100, 1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtyPair pty;
        ProgramPort p(pty.SlavePath());
        p.port.SetEvents({});
        p.port.SetTimeouts(c.timeouts);
        p.port.Open();
        pty.WriteMaster("abc");
        // The hang-up comes while the read waits for the rest (if it comes earlier the
        // read meets it on its next attempt; the outcome must be the same).
        std::thread farEnd([&] {
            std::this_thread::sleep_for(50ms);
            pty.CloseMaster();
        });
        char buf[16];
        int n = -1;
        EXPECT_NO_THROW(n = p.port.Read(buf, 16));
        farEnd.join();
        EXPECT_EQ(std::string(buf, static_cast<size_t>(std::max(n, 0))), "abc");
        // The next read reports the loss.
        EXPECT_THROW(p.port.Read(buf, 16), EComPort);
    }
}

TEST(ComPortOpen, SecondOpenerIsRefused)
{
    PtyPair pty;
    ProgramPort first(pty.SlavePath());
    first.port.Open();

    ProgramPort second(pty.SlavePath());
    const EComPort e = catchComError([&] { second.port.Open(); });
    EXPECT_EQ(e.ErrorCode(), 1);
    EXPECT_TRUE(e.SystemErrorCode() == EWOULDBLOCK || e.SystemErrorCode() == EBUSY)
        << e.SystemErrorCode();
    EXPECT_FALSE(second.port.Connected());

    const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {  // root may open it past TIOCEXCL, but not lock it
        EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
        ::close(fd);
    } else {
        EXPECT_EQ(errno, EBUSY);
    }

    first.port.Close();
    second.port.Open();  // a later Open tries again
    EXPECT_TRUE(second.port.Connected());
}

TEST(ComPortOpen, MissingDeviceRaisesCodeOneWithTheSystemError)
{
    TComPort port;
    int beforeOpen = 0, afterOpen = 0;
    port.OnBeforeOpen = [&](TCustomComPort&) { ++beforeOpen; };
    port.OnAfterOpen = [&](TCustomComPort&) { ++afterOpen; };
    port.SetPort("ttyNoSuchDevice7");
    EXPECT_EQ(port.DevicePath(), "/dev/ttyNoSuchDevice7");
    const EComPort e = catchComError([&] { port.Open(); });
    EXPECT_EQ(e.ErrorCode(), 1);
    EXPECT_EQ(e.SystemErrorCode(), ENOENT);
    const std::string message = e.what();
    EXPECT_EQ(message.substr(0, message.find('\n')), "Unable to open com port (win error code: 2)");
    EXPECT_EQ(beforeOpen, 1);
    EXPECT_EQ(afterOpen, 0);
    EXPECT_FALSE(port.Connected());
}

TEST(ComPortOpen, RegularFileIsNotAPort)
{
    const auto path = std::filesystem::temp_directory_path() / "tarnik_not_a_tty";
    std::ofstream(path) << "x";
    TComPort port;
    port.SetPort(path.string());
    const EComPort e = catchComError([&] { port.Open(); });
    EXPECT_EQ(e.ErrorCode(), 1);
    EXPECT_EQ(e.SystemErrorCode(), ENOTTY);
    EXPECT_FALSE(port.Connected());
    std::filesystem::remove(path);
}

TEST(ComPortOpen, OpenAndCloseNotifyInOrderAndOnlyOnChange)
{
    PtyPair pty;
    ProgramPort p(pty.SlavePath());
    std::vector<std::string> log;
    TComLink link;
    link.ConnectionHandler = [&](TCustomComPort&, bool on) {
        log.push_back(on ? "link+" : "link-");
    };
    link.CTSHandler = [&](TCustomComPort&, bool on) { log.push_back(on ? "cts+" : "cts-"); };
    link.DSRHandler = [&](TCustomComPort&, bool on) { log.push_back(on ? "dsr+" : "dsr-"); };
    link.RLSDHandler = [&](TCustomComPort&, bool on) { log.push_back(on ? "rlsd+" : "rlsd-"); };
    p.port.OnBeforeOpen = [&](TCustomComPort&) { log.push_back("beforeOpen"); };
    p.port.OnAfterOpen = [&](TCustomComPort&) { log.push_back("afterOpen"); };
    p.port.OnBeforeClose = [&](TCustomComPort&) { log.push_back("beforeClose"); };
    p.port.OnAfterClose = [&](TCustomComPort&) { log.push_back("afterClose"); };
    p.port.OnCTSChange = [&](TCustomComPort&, bool) { log.push_back("onCts"); };
    p.port.AttachLink(&link);

    p.port.SetConnected(true);
    p.port.Open();  // already open: nothing
    p.port.SetConnected(false);
    p.port.Close();  // already closed: nothing
    // A pty has no modem lines: every line reads as off.
    EXPECT_EQ(log, (std::vector<std::string>{"beforeOpen", "link+", "afterOpen", "cts-", "onCts",
                                             "dsr-", "rlsd-", "cts-", "dsr-", "rlsd-", "onCts",
                                             "beforeClose", "link-", "afterClose"}));
    p.port.DetachLink(&link);
}

TEST(ComPortOpen, DestroyingAnOpenPortClosesItWithNoOverridableStep)
{
    // Nothing can intercept the close a destructor runs: the class has no virtual
    // operation, and the port the program makes cannot be derived from.
    static_assert(!std::is_polymorphic_v<TCustomComPort>);
    static_assert(!std::has_virtual_destructor_v<TCustomComPort>);
    static_assert(std::is_final_v<TComPort>);

    PtyPair pty;
    std::vector<std::string> log;
    {
        ProgramPort p(pty.SlavePath());
        p.port.OnBeforeClose = [&](TCustomComPort&) { log.push_back("beforeClose"); };
        p.port.OnAfterClose = [&](TCustomComPort&) { log.push_back("afterClose"); };
        p.port.Open();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"beforeClose", "afterClose"}));
    // The device was released: another port opens it.
    TComPort again;
    again.SetPort(pty.SlavePath());
    again.Open();
    EXPECT_TRUE(again.Connected());
}

TEST(ComPortOpen, ChangingThePortWhileOpenReopensOnTheNewDevice)
{
    PtyPair a, b;
    ProgramPort p(a.SlavePath());
    int closes = 0, opens = 0;
    p.port.OnAfterClose = [&](TCustomComPort&) { ++closes; };
    p.port.OnAfterOpen = [&](TCustomComPort&) { ++opens; };
    p.port.Open();

    p.port.SetPort(a.SlavePath());  // same text: nothing
    EXPECT_EQ(closes, 0);
    p.port.SetPort(b.SlavePath());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(opens, 2);
    ASSERT_TRUE(p.port.Connected());
    p.port.WriteText("B");
    EXPECT_EQ(b.ReadMaster(1, 500ms), "B");
    EXPECT_EQ(a.ReadMaster(1, 50ms), "");

    // A failed reopen leaves the port closed under the new name.
    EXPECT_THROW(p.port.SetPort("/dev/ttyNoSuchDevice7"), EComPort);
    EXPECT_FALSE(p.port.Connected());
    EXPECT_EQ(p.port.Port(), "/dev/ttyNoSuchDevice7");
}

TEST(ComPortLinks, AttachTwiceOrDetachUnknownRaisesCode18)
{
    TComPort port;
    TComLink link;
    port.AttachLink(&link);
    const EComPort twice = catchComError([&] { port.AttachLink(&link); });
    EXPECT_EQ(twice.ErrorCode(), 18);
    EXPECT_EQ(twice.SystemErrorCode(), -1);
    EXPECT_STREQ(twice.what(), "Link (un)registration failed");
    port.DetachLink(&link);
    EXPECT_EQ(catchComError([&] { port.DetachLink(&link); }).ErrorCode(), 18);
}

TEST(ComPortLinks, OperationsOnAClosedPortRaiseTheirCodes)
{
    TComPort port;
    char c = 'x';
    EXPECT_EQ(catchComError([&] { port.Write(&c, 1); }).ErrorCode(), 2);
    EXPECT_EQ(catchComError([&] { port.Read(&c, 1); }).ErrorCode(), 3);
    EXPECT_EQ(catchComError([&] { port.InputQueueCount(); }).ErrorCode(), 10);
    EXPECT_EQ(catchComError([&] { port.PurgeBuffers(true, false); }).ErrorCode(), 5);
    EXPECT_EQ(catchComError([&] { port.ReadModemSignals(); }).ErrorCode(), 11);
}

}  // namespace
}  // namespace tarnik
