// "programuj" pressed while a read-back still waits for its answer: one exchange runs at
// a time, so the press starts nothing. The read-back ends as it would have, and the
// module keeps its settings until "programuj" is pressed again once the line is free.

#include <gtest/gtest.h>

#include "fault_helpers.h"
#include "link/protocol.h"
#include "simulator/module_simulator.h"

namespace tarnik::proof {
namespace {

TEST(OverlappingExchanges, ProgrammingPressedDuringAReadBackStartsNothing)
{
    SimulatorOptions slow;
    slow.pacing.answerDelay = std::chrono::milliseconds(50);
    const SettingsRecord old = randomModuleSettings(50);
    slow.memory = imageOf(old);
    ModuleSimulator module(slow);
    module.start();
    LinkRig rig(module.devicePath(), 3000);
    rig.host.controls = randomModuleSettings(51);

    rig.engine.BBloadClick();
    rig.engine.BprogramujClick();
    EXPECT_FALSE(rig.host.busy);
    ASSERT_TRUE(rig.waitForOutcome(5s));
    EXPECT_EQ(rig.host.outcomes, std::vector<LinkOutcome>{LinkOutcome::SettingsLoaded});
    EXPECT_EQ(module.frameCount(), 1) << "only the read-back's command reached the module";
    EXPECT_TRUE(holdsProgrammedImage(module.memory(), old));
    ASSERT_EQ(rig.host.shown.size(), 1u);

    // Once the line is free, programming goes as usual.
    ASSERT_EQ(rig.program(), LinkOutcome::Programmed);
    EXPECT_EQ(module.frameCount(), 2 + static_cast<int>(protocol::kChunks));
    EXPECT_TRUE(holdsProgrammedImage(module.memory(), *rig.host.controls));
    expectIdle(rig);
    pumpFor(300ms);
    EXPECT_EQ(rig.host.lastLine(), link_text::kDone);
}

}  // namespace
}  // namespace tarnik::proof
