// A module that stops answering at any point of an exchange: the no-answer timer ends
// the exchange with "Brak oprowiedzi z modułu.", the window leaves its busy state, a
// read-back changes nothing, and the same tool goes on to the next exchange.

#include <gtest/gtest.h>

#include "fault_helpers.h"
#include "link/module_answers.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"

namespace tarnik::proof {
namespace {

// Long enough for every answer the module does give to come in time on a busy machine.
constexpr int kTimeoutMs = 500;

// Frames of a full run: the start, 27 chunks, and "*5*1" when the last chunk is
// answered with "*1" alone.
constexpr int kStartAndChunks = 28;

// NoAnswer comes only from the no-answer timer's expiry: the run waited its whole period.
void expectTimedOut(const LinkRig& rig)
{
    EXPECT_EQ(rig.host.lastOutcome(), LinkOutcome::NoAnswer);
    EXPECT_EQ(rig.host.lastLine(), link_text::kNoAnswer);
    expectIdle(rig);
}

TEST(SilentModule, ProgrammingEndsByTheTimeoutAtEveryStage)
{
    LinkRig rig("", kTimeoutMs);
    rig.host.controls = randomModuleSettings(10);
    // Silent after `answered` frames: 0 leaves "*2*1" unanswered, 27 the last chunk,
    // 28 (with the last chunk answered "*1" alone) the finishing "*5*1".
    for (int answered = 0; answered <= kStartAndChunks; ++answered) {
        SCOPED_TRACE("answered frames: " + std::to_string(answered));
        SimulatorOptions options;
        options.behaviours.push_back(behaviour::SilentAfter(answered));
        if (answered == kStartAndChunks)
            options.behaviours.push_back(behaviour::StarOneForLastChunk());
        ModuleSimulator module(options);
        module.start();
        rig.host.port = module.devicePath();

        ASSERT_EQ(rig.program(3s), LinkOutcome::NoAnswer);
        expectTimedOut(rig);
        // On a busy machine the last frame may reach the module after the short timeout.
        module.waitForFrames(answered + 1, 5s);
        const auto frames = module.frames();
        ASSERT_EQ(static_cast<int>(frames.size()), answered + 1)
            << "the tool sent on without an answer";
        if (answered == kStartAndChunks) {
            EXPECT_EQ(frames.back().command, '5');
        }
        // The module stays silent: the port is closed so the next run opens the next module.
        rig.port.Close();
    }
    // After all those timeouts a module that answers is programmed as usual.
    ModuleSimulator module;
    module.start();
    rig.host.port = module.devicePath();
    EXPECT_EQ(rig.program(), LinkOutcome::Programmed);
    EXPECT_TRUE(holdsProgrammedImage(module.memory(), *rig.host.controls));
}

TEST(SilentModule, ReadBackWithoutAnswerChangesNothing)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(0));
    ModuleSimulator module(options);
    module.start();
    LinkRig rig(module.devicePath(), kTimeoutMs);
    rig.host.record = patternRecord();
    const SettingsRecord before = rig.host.record;
    const DeviceImage imageBefore = rig.image;

    EXPECT_EQ(rig.readBack(3s), LinkOutcome::NoAnswer);
    expectTimedOut(rig);
    EXPECT_TRUE(sameBytes(rig.host.record, before));
    EXPECT_EQ(rig.image, imageBefore);
    EXPECT_EQ(rig.host.shown.size(), 0u);
}

TEST(SilentModule, ReadBackCutShortIsRefusedAtTheTimeoutAndChangesNothing)
{
    SimulatorOptions options;
    options.identity.readBackLength =
        800;  // the answer ends with "*1" long before 1700 image bytes
    ModuleSimulator module(options);
    module.start();
    LinkRig rig(module.devicePath(), kTimeoutMs);
    rig.host.record = patternRecord();
    const SettingsRecord before = rig.host.record;

    // The module did answer, only not whole: the line says what came.
    EXPECT_EQ(rig.readBack(3s), LinkOutcome::BadAnswer);
    EXPECT_EQ(rig.host.lastLine(), readBackLengthLine(803));
    expectIdle(rig);
    EXPECT_TRUE(sameBytes(rig.host.record, before));
    EXPECT_EQ(rig.host.shown.size(), 0u);

    // The next read-back starts from an empty store and takes a whole answer.
    SimulatorOptions whole;
    whole.memory = imageOf(randomModuleSettings(11));
    ModuleSimulator next(whole);
    next.start();
    rig.host.port = next.devicePath();
    EXPECT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);
    EXPECT_TRUE(std::equal(whole.memory->begin(), whole.memory->begin() + kReadBackImageBytes,
                           rig.image.begin()));
}

TEST(SilentModule, SerialQueryWithoutAnswerEndsByTheTimeout)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(0));
    ModuleSimulator module(options);
    module.start();
    LinkRig rig(module.devicePath(), kTimeoutMs);

    EXPECT_EQ(rig.serial(3s), LinkOutcome::NoAnswer);
    expectTimedOut(rig);
    EXPECT_FALSE(rig.engine.serialQueryPending());
    EXPECT_TRUE(rig.host.errors.empty());
}

}  // namespace
}  // namespace tarnik::proof
