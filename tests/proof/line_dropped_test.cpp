// The line dropped in the middle of an exchange (an unplugged adapter): the run ends
// at once with a message instead of waiting for the timeout, nothing spins afterwards,
// the settings are untouched, and the next exchange after the module is back works.

#include <gtest/gtest.h>

#include <thread>

#include "fault_helpers.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"

namespace tarnik::proof {
namespace {

// Wake-ups of all the process's threads together in a second when nothing is going on:
// a few for the test's own timer; a thread left polling every few milliseconds has
// hundreds.
constexpr long kIdleWakeUpsPerSecond = 50;

// Nothing spins after the drop: every other thread is seen asleep, and none keeps
// waking up while the window's thread runs its event loop for a second.
void expectQuietSecond()
{
    const long wakeUpsBefore = processWakeUps();
    pumpFor(1000ms);
    EXPECT_LE(processWakeUps() - wakeUpsBefore, kIdleWakeUpsPerSecond)
        << "wake-ups in the second after the drop";
    EXPECT_EQ(threadsNeverAsleep(), std::vector<int>{}) << "threads that never sleep";
}

TEST(LineDropped, DuringProgrammingEndsTheRunAndTheNextRunSucceeds)
{
    StablePortName name;
    SimulatorOptions dropping;
    dropping.behaviours.push_back(
        behaviour::HangUpAt(6));  // the start and five chunks arrive, then the line goes
    ModuleSimulator first(dropping);
    first.start();
    name.pointAt(first.devicePath());

    LinkRig rig(name.path(), 6000);
    rig.host.controls = randomModuleSettings(1);
    // A port error, not the 6 s timeout: the drop is noticed, not waited out.
    EXPECT_EQ(rig.program(), LinkOutcome::PortError);
    ASSERT_FALSE(rig.host.errors.empty());
    EXPECT_EQ(rig.host.errors.back(), link_text::kDeviceLost);
    expectIdle(rig);
    expectQuietSecond();

    ModuleSimulator back;
    back.start();
    name.pointAt(back.devicePath());
    EXPECT_EQ(rig.program(), LinkOutcome::Programmed);
    EXPECT_EQ(rig.host.lastLine(), link_text::kDone);
    EXPECT_TRUE(holdsProgrammedImage(back.memory(), *rig.host.controls));
}

TEST(LineDropped, DuringReadBackKeepsTheSettingsAndTheNextReadBackSucceeds)
{
    StablePortName name;
    ModuleSimulator dropping(scripted([](CommandTurn& turn) {
        if (turn.command() != protocol::kReadCommand)
            return;
        turn.write(std::string(1, '\0') + std::string(800, 'x'));  // half an answer
        std::this_thread::sleep_for(20ms);
        turn.hangUp = CommandTurn::HangUp::BeforeAnswer;
    }));
    dropping.start();
    name.pointAt(dropping.devicePath());

    LinkRig rig(name.path(), 6000);
    rig.host.record = patternRecord();
    rig.image.fill(0x33);
    const SettingsRecord before = rig.host.record;
    const DeviceImage imageBefore = rig.image;
    EXPECT_EQ(rig.readBack(), LinkOutcome::PortError);  // not the timeout's NoAnswer
    ASSERT_FALSE(rig.host.errors.empty());
    EXPECT_EQ(rig.host.errors.back(), link_text::kDeviceLost);
    EXPECT_TRUE(sameBytes(rig.host.record, before));
    EXPECT_EQ(rig.image, imageBefore);
    EXPECT_EQ(rig.host.shown.size(), 0u);
    expectIdle(rig);
    expectQuietSecond();

    SimulatorOptions returned;
    returned.memory = imageOf(randomModuleSettings(2));
    ModuleSimulator back(returned);
    back.start();
    name.pointAt(back.devicePath());
    EXPECT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);
    EXPECT_TRUE(std::equal(returned.memory->begin(), returned.memory->begin() + kReadBackImageBytes,
                           rig.image.begin()));
    EXPECT_EQ(rig.host.shown.size(), 1u);
    EXPECT_EQ(rig.host.lastLine(), link_text::kLoaded);
}

TEST(LineDropped, WhileNoExchangeRunsIsNoticedAtTheNextExchange)
{
    StablePortName name;
    ModuleSimulator first;
    first.start();
    name.pointAt(first.devicePath());
    LinkRig rig(name.path(), 6000);
    rig.host.controls = randomModuleSettings(3);
    ASSERT_EQ(rig.program(), LinkOutcome::Programmed);

    // The port stays open between runs; the module goes away while nothing runs.
    const std::size_t errorsBefore = rig.host.errors.size();
    first.hangUp();
    pumpFor(200ms);
    EXPECT_EQ(rig.host.errors.size(), errorsBefore)
        << "a drop between runs is not an error to show";
    expectQuietSecond();

    ModuleSimulator back;
    back.start();
    name.pointAt(back.devicePath());
    EXPECT_EQ(rig.program(), LinkOutcome::Programmed);
    EXPECT_TRUE(holdsProgrammedImage(back.memory(), *rig.host.controls));
}

}  // namespace
}  // namespace tarnik::proof
