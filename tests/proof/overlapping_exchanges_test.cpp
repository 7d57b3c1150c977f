// "programuj" pressed while a read-back still waits for its answer (the button stays
// enabled during a read-back). The module must get the settings being programmed, and
// the read-back's late answer must not replace them in the editor.

#include <gtest/gtest.h>

#include "fault_helpers.h"
#include "link/protocol.h"
#include "simulator/module_simulator.h"

namespace tarnik::proof {
namespace {

TEST(OverlappingExchanges, ProgrammingStartedDuringAReadBackSendsTheNewSettings)
{
    SimulatorOptions slow;
    slow.pacing.answerDelay = std::chrono::milliseconds(50);
    const SettingsRecord old = RandomModuleSettings(50);
    slow.memory = ImageOf(old);
    ModuleSimulator module(slow);
    module.start();
    LinkRig rig(module.devicePath(), 3000);
    rig.host.controls = RandomModuleSettings(51);

    rig.engine.BBloadClick();
    ASSERT_EQ(rig.program(), LinkOutcome::Programmed);
    // The read-back's late answer ends with "*1" just before the module's "OK*1": taken
    // twice, that one answer would send two chunks, and the run would report success
    // while the last chunk is still on its way.
    EXPECT_EQ(module.frameCount(), 2 + static_cast<int>(protocol::kChunks))
        << "success reported before the last chunk arrived";
    EXPECT_TRUE(HoldsProgrammedImage(module.memory(), *rig.host.controls))
        << "the module got its old settings back";
    EXPECT_TRUE(sameBytes(rig.host.record, *rig.host.controls));
    EXPECT_EQ(rig.host.shown.size(), 0u) << "the late read-back replaced the settings being edited";
    expectIdle(rig);

    // Nothing of the abandoned read-back comes back later.
    PumpFor(300ms);
    EXPECT_EQ(rig.host.shown.size(), 0u);
    EXPECT_EQ(rig.host.lastLine(), link_text::kDone);
}

}  // namespace
}  // namespace tarnik::proof
