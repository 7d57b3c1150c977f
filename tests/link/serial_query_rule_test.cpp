// The serial-number query writes "*7*1" into the line after purging it, so it must
// never reach a line on which another exchange is waiting for the module's answer.

#include <gtest/gtest.h>

#include "event_loop.h"
#include "link_rig.h"
#include "model/conversion.h"
#include "module_image.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::LinkRig;

// A module that takes frames but answers none, so an exchange stays waiting.
struct SilentModule {
    ModuleSimulator sim{[] {
        SimulatorOptions options;
        options.behaviours.push_back(behaviour::SilentAfter(0));
        return options;
    }()};
    SilentModule() { sim.start(); }
};

// Presses the query and checks that nothing left the tool and nothing changed.
void expectRefused(LinkRig& rig, ModuleSimulator& sim, int framesBefore)
{
    const ProgrammingState programming = rig.engine.programmingState();
    const ReadBackState reading = rig.engine.readBackState();
    const bool pending = rig.engine.serialQueryPending();
    EXPECT_FALSE(rig.engine.serialQueryAllowed());
    rig.engine.BBserialClick();
    test::pumpFor(100ms);
    EXPECT_EQ(sim.frameCount(), framesBefore) << "no frame may be written";
    EXPECT_EQ(rig.engine.programmingState(), programming);
    EXPECT_EQ(rig.engine.readBackState(), reading);
    EXPECT_EQ(rig.engine.serialQueryPending(), pending);
    EXPECT_TRUE(rig.host.outcomes.empty());
}

TEST(SerialQueryRule, AllowedWhenNothingRuns)
{
    LinkRig rig("/nonexistent/port");
    EXPECT_TRUE(rig.engine.serialQueryAllowed());
}

TEST(SerialQueryRule, RefusedWhileProgrammingWaitsForTheStart)
{
    SilentModule m;
    LinkRig rig(m.sim.devicePath(), 10000);
    rig.engine.BprogramujClick();
    ASSERT_TRUE(m.sim.waitForFrames(1, 2s));
    ASSERT_EQ(rig.engine.programmingState(), ProgrammingState::AwaitStart);
    expectRefused(rig, m.sim, 1);
}

TEST(SerialQueryRule, RefusedWhileAReadBackIsPending)
{
    SilentModule m;
    LinkRig rig(m.sim.devicePath(), 10000);
    rig.engine.BBloadClick();
    ASSERT_TRUE(m.sim.waitForFrames(1, 2s));
    ASSERT_EQ(rig.engine.readBackState(), ReadBackState::Reading);
    expectRefused(rig, m.sim, 1);
}

TEST(SerialQueryRule, RefusedWhileAnEarlierQueryIsPending)
{
    SilentModule m;
    LinkRig rig(m.sim.devicePath(), 10000);
    rig.engine.BBserialClick();
    ASSERT_TRUE(m.sim.waitForFrames(1, 2s));
    ASSERT_TRUE(rig.engine.serialQueryPending());
    expectRefused(rig, m.sim, 1);
}

// Pressed at every answer of a whole run, the query changes nothing: the module gets
// exactly the image, and success comes only after the module confirmed the end.
TEST(SerialQueryRule, QueryPressedThroughoutAProgrammingRunLeavesItWhole)
{
    ModuleSimulator sim;
    sim.start();
    LinkRig rig(sim.devicePath(), 10000);
    rig.engine.BprogramujClick();
    ASSERT_TRUE(test::pumpUntil(
        [&] {
            if (!rig.host.outcomes.empty())
                return true;
            rig.engine.BBserialClick();
            return false;
        },
        20s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::Programmed);
    for (const SimulatorFrame& frame : sim.frames())
        EXPECT_NE(frame.command, '7');
    EXPECT_TRUE(test::holdsProgrammedImage(sim.memory(), rig.host.record));
    EXPECT_TRUE(rig.engine.serialQueryAllowed());
}

TEST(SerialQueryRule, QueryPressedThroughoutAReadBackLeavesTheImageWhole)
{
    SimulatorOptions options;
    DeviceImage memory{};
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>(i * 7 + 3);
    options.memory = memory;
    options.pacing.pieceBytes = 64;
    options.pacing.pieceGap = 2ms;
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 10000);
    rig.engine.BBloadClick();
    ASSERT_TRUE(test::pumpUntil(
        [&] {
            if (!rig.host.outcomes.empty())
                return true;
            rig.engine.BBserialClick();
            return false;
        },
        20s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::SettingsLoaded);
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 1700, rig.image.begin()));
    EXPECT_EQ(sim.frameCount(), 1);
}

}  // namespace
}  // namespace tarnik
