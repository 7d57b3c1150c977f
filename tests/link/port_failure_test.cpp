// Port failures at each step of an exchange: nothing stays busy, the timer stops, the
// states return to idle and the message reaches the user.

#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "event_loop.h"
#include "link_rig.h"
#include "model/value_ranges.h"
#include "serial/com_error.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::LinkRig;

void expectIdle(LinkRig& rig)
{
    EXPECT_FALSE(rig.host.busy);
    EXPECT_FALSE(rig.host.timer.isArmed());
    EXPECT_EQ(rig.engine.programmingState(), ProgrammingState::Idle);
    EXPECT_EQ(rig.engine.readBackState(), ReadBackState::Idle);
    EXPECT_FALSE(rig.engine.serialQueryPending());
}

template <typename Click>
void expectOpenFailure(Click click)
{
    LinkRig rig("/nonexistent/tarnik-port");
    rig.host.controls = startupSettings();
    try {
        click(rig.engine);
        FAIL() << "no error raised";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorCode(), 1);
        EXPECT_NE(std::string(e.what()).find("Unable to open com port"), std::string::npos);
    }
    expectIdle(rig);
    EXPECT_EQ(rig.host.outcomes, std::vector<LinkOutcome>{LinkOutcome::PortError});
    EXPECT_TRUE(rig.host.errors.empty()) << "the caller's boundary shows the rethrown error";
    test::pumpFor(350ms);  // past the rig's 300 ms no-answer period
    EXPECT_TRUE(rig.host.list.lines().empty()) << "no late timeout line";
}

TEST(PortFailure, OpeningAMissingPortEndsEachExchangeAndRethrows)
{
    expectOpenFailure([](LinkEngine& e) { e.BprogramujClick(); });
    expectOpenFailure([](LinkEngine& e) { e.BBloadClick(); });
    expectOpenFailure([](LinkEngine& e) { e.BBserialClick(); });
}

TEST(PortFailure, BusyStateIsEnteredAndLeftOnceOnAnOpenFailure)
{
    LinkRig rig("/nonexistent/tarnik-port");
    rig.host.controls = startupSettings();
    EXPECT_THROW(rig.engine.BprogramujClick(), EComPort);
    EXPECT_EQ(rig.host.busyEntered, 1);
    EXPECT_FALSE(rig.host.busy);
    EXPECT_FALSE(rig.engine.busy());
}

TEST(PortFailure, DeviceDroppedMidRunEndsTheRunWithAMessage)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::HangUpAt(6));  // the 6th frame is never answered
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 2000);
    rig.host.controls = startupSettings();
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(10s));
    // A port error, not NoAnswer: the loss ended the run, not the no-answer timer.
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::PortError);
    EXPECT_EQ(rig.host.errors, std::vector<std::string>{"Połączenie z modułem zostało przerwane."});
    expectIdle(rig);
    EXPECT_FALSE(rig.port.Connected());
    test::pumpFor(100ms);
    EXPECT_NE(rig.host.list.lines().back(), "Brak oprowiedzi z modułu.");
}

TEST(PortFailure, DeviceDroppedDuringReadBack)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::HangUpAt(1));
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 2000);
    rig.engine.BBloadClick();
    ASSERT_TRUE(rig.waitForOutcome(10s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::PortError);
    EXPECT_EQ(rig.host.errors.size(), 1u);
    expectIdle(rig);
}

TEST(PortFailure, LineDroppedRightAfterAnAnswerEndsTheRun)
{
    // The module answers the first chunk, then the line goes while the tool is sending
    // the next one. The run ends with a message and the port closed.
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::HangUpAt(2, true));
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 2000);
    rig.host.controls = startupSettings();
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(10s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::PortError);
    // Whether the port's thread or the chunk's write meets the hang-up first, the user
    // reads that the connection ended, not an errno.
    EXPECT_EQ(rig.host.errors, std::vector<std::string>{link_text::kDeviceLost});
    expectIdle(rig);
    EXPECT_FALSE(rig.port.Connected());
}

TEST(PortFailure, AFailureInsideTheAnswerHandlerIsReportedAndClosesThePort)
{
    // Drive the handler directly with the port closed under it: dropping the bytes waiting
    // before the chunk, the first port call of the step, fails.
    ModuleSimulator sim;
    sim.start();
    LinkRig rig(sim.devicePath(), 2000);
    rig.host.controls = startupSettings();
    rig.engine.BprogramujClick();
    ASSERT_TRUE(test::pumpUntil(
        [&] { return rig.engine.programmingState() == ProgrammingState::Sending; }, 1s));
    // The next answers would come through the port; close it and answer by hand.
    rig.port.Close();
    int pos = -1;
    rig.engine.ComDataPacket2CustomStop(rig.framer, "OK*1", pos);
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(rig.host.outcomes, std::vector<LinkOutcome>{LinkOutcome::PortError});
    ASSERT_EQ(rig.host.errors.size(), 1u);
    EXPECT_NE(rig.host.errors[0].find("PurgeComm function failed"), std::string::npos)
        << rig.host.errors[0];
    expectIdle(rig);
}

TEST(PortFailure, AChunkWriteThatMeetsTheHangUpSaysTheConnectionEnded)
{
    ModuleSimulator sim;
    sim.start();
    const std::string device = sim.devicePath();
    LinkRig rig(device, 2000);
    rig.host.controls = startupSettings();
    rig.engine.BprogramujClick();
    ASSERT_TRUE(test::pumpUntil(
        [&] { return rig.engine.programmingState() == ProgrammingState::Sending; }, 1s));
    // The line drops; before the port's own report is run, an answer is handled and its
    // chunk's write meets the hung-up device (EIO).
    sim.hangUp();
    for (int i = 0; i < 2000 && std::filesystem::exists(device); ++i)
        usleep(1000);
    ASSERT_FALSE(std::filesystem::exists(device));
    int pos = -1;
    rig.engine.ComDataPacket2CustomStop(rig.framer, "OK*1", pos);
    EXPECT_EQ(rig.host.errors, std::vector<std::string>{link_text::kDeviceLost});
    EXPECT_EQ(rig.host.outcomes, std::vector<LinkOutcome>{LinkOutcome::PortError});
    // The port's report of the same loss adds nothing.
    test::pumpFor(100ms);
    EXPECT_EQ(rig.host.errors.size(), 1u);
    EXPECT_EQ(std::count(rig.host.list.lines().begin(), rig.host.list.lines().end(),
                         std::string(link_text::kDeviceLost)),
              0);
    expectIdle(rig);
}

TEST(PortFailure, AnErrorWhileAnAnswerIsHandledEndsTheRunInsideTheHandOver)
{
    // The error is met inside the port's hand-over: the engine closes the port from
    // there, and the next exchange opens it again.
    ModuleSimulator sim;
    sim.start();
    LinkRig rig(sim.devicePath(), 2000);
    rig.host.controls = startupSettings();
    rig.host.failProgressLine = true;
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(1s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::PortError);
    EXPECT_EQ(rig.host.errors, std::vector<std::string>{"progress line failed"});
    expectIdle(rig);
    EXPECT_FALSE(rig.port.Connected());
    // The simulator reads on its own thread: let it catch up before counting.
    sim.waitForFrames(3, 1s);
    EXPECT_EQ(sim.frameCount(), 3) << "start, first chunk, second chunk";

    rig.host.failProgressLine = false;
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(5s, 2));
    EXPECT_EQ(rig.host.outcomes.back(), LinkOutcome::Programmed);
}

TEST(PortFailure, TheNextExchangeAfterAFailureOpensThePortAfresh)
{
    SimulatorOptions dropping;
    dropping.behaviours.push_back(behaviour::HangUpAt(3));
    ModuleSimulator first(dropping);
    first.start();
    LinkRig rig(first.devicePath(), 2000);
    rig.host.controls = startupSettings();
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(10s));
    ASSERT_EQ(rig.host.outcomes.front(), LinkOutcome::PortError);

    ModuleSimulator second;
    second.start();
    rig.host.port = second.devicePath();
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(5s, 2));
    EXPECT_EQ(rig.host.outcomes.back(), LinkOutcome::Programmed);
    expectIdle(rig);
}

TEST(PortFailure, TheAdapterPluggedBackInUnderItsNameWorksAtTheNextExchange)
{
    // The port is named by a stable link, as /dev/serial/by-id names an adapter: the
    // adapter goes during a run and comes back under the same name.
    const std::filesystem::path name =
        std::filesystem::temp_directory_path() / ("tarnik_adapter_" + std::to_string(getpid()));
    std::filesystem::remove(name);
    SimulatorOptions dropping;
    dropping.behaviours.push_back(behaviour::HangUpAt(3));
    ModuleSimulator first(dropping);
    first.start();
    std::filesystem::create_symlink(first.devicePath(), name);
    LinkRig rig(name.string(), 2000);
    rig.host.controls = startupSettings();
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(10s));
    ASSERT_EQ(rig.host.outcomes.front(), LinkOutcome::PortError);
    EXPECT_EQ(rig.host.errors, std::vector<std::string>{link_text::kDeviceLost});

    ModuleSimulator second;
    second.start();
    std::filesystem::remove(name);
    std::filesystem::create_symlink(second.devicePath(), name);
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(5s, 2));
    EXPECT_EQ(rig.host.outcomes.back(), LinkOutcome::Programmed);
    EXPECT_EQ(rig.host.errors.size(), 1u);
    expectIdle(rig);
    std::filesystem::remove(name);
}

TEST(PortFailure, LossWhileIdleIsSaidOnceInTheInformationList)
{
    ModuleSimulator sim;
    sim.start();
    LinkRig rig(sim.devicePath());
    rig.engine.BBserialClick();
    ASSERT_TRUE(rig.waitForOutcome(1s));
    const auto linesBefore = rig.host.list.lines();
    sim.hangUp();
    ASSERT_TRUE(test::pumpUntil([&] { return !rig.port.Connected(); }, 1s));
    test::pumpFor(100ms);
    EXPECT_TRUE(rig.host.errors.empty()) << "no message box while nothing runs";
    EXPECT_EQ(rig.host.outcomes.size(), 1u);
    auto expected = linesBefore;
    expected.push_back(link_text::kDeviceLost);
    EXPECT_EQ(rig.host.list.lines(), expected);
}

}  // namespace
}  // namespace tarnik
