// A module that sends a stream of noise instead of its answer, and a module whose
// answers arrive one byte at a time. Noise must not freeze the window, must end the
// exchange (refused, or by the timeout) and must change nothing; answers in single bytes
// must work as whole ones.

#include <gtest/gtest.h>

#include <random>

#include "fault_helpers.h"
#include "link/protocol.h"
#include "simulator/module_simulator.h"

namespace tarnik::proof {
namespace {

constexpr int kTimeoutMs = 1000;
constexpr auto kNoise = 2500ms;  // longer than the timeout: noise still comes after it
// What the framer may hold while noise pours in: less than one read-back answer.
constexpr std::size_t kFramerBound = 1024;

// Random bytes at line speed, with no asterisk among them, so no "*1" can end an answer.
std::function<char()> noise(unsigned seed)
{
    auto random = std::make_shared<std::mt19937>(seed);
    return [random] {
        char c;
        do
            c = static_cast<char>((*random)() & 0xFF);
        while (c == '*');
        return c;
    };
}

// Only the no-answer timer's expiry ends an exchange with NoAnswer, and the deadline it
// expired at never moved: the run lasted the whole period the noise could not extend.
void expectNoiseEndedByTimeout(LinkRig& rig, const FramerWatch& framer,
                               const DeadlineWatch& deadline)
{
    EXPECT_EQ(rig.host.lastOutcome(), LinkOutcome::NoAnswer);
    EXPECT_EQ(rig.host.lastLine(), link_text::kNoAnswer);
    EXPECT_FALSE(deadline.moved()) << "the noise restarted the no-answer period";
    expectIdle(rig);
    // The noise goes on after the timeout: nothing more may happen.
    const auto lines = rig.host.list.lines();
    const auto outcomes = rig.host.outcomes.size();
    pumpFor(kNoise - std::chrono::milliseconds(kTimeoutMs) + 200ms);
    EXPECT_EQ(rig.host.list.lines(), lines);
    EXPECT_EQ(rig.host.outcomes.size(), outcomes);
    EXPECT_LT(rig.framer.Buffer().size(), kFramerBound);
    EXPECT_LT(framer.largestBuffer(), kFramerBound) << "the framer kept the noise";
}

TEST(NoisyModule, ReadBackAnsweredWithNoiseIsRefusedAndChangesNothing)
{
    ModuleSimulator module(scripted([](CommandTurn& turn) {
        turn.answer.reset();
        if (turn.command() == protocol::kReadCommand)
            turn.stream(kNoise, noise(1));
    }));
    module.start();
    LinkRig rig(module.devicePath(), kTimeoutMs);
    rig.host.record = patternRecord();
    rig.image.fill(0x21);
    const SettingsRecord before = rig.host.record;
    const DeviceImage imageBefore = rig.image;

    // More than an answer's worth of bytes with no terminator: refused as soon as that
    // is plain, without waiting for the timeout; the noise that goes on changes nothing.
    FramerWatch framer(rig.framer);
    ASSERT_EQ(rig.readBack(5s), LinkOutcome::BadAnswer);
    EXPECT_NE(rig.host.lastLine().find("nieprawidłową długość"), std::string::npos);
    expectIdle(rig);
    const auto lines = rig.host.list.lines();
    pumpFor(kNoise);
    EXPECT_EQ(rig.host.list.lines(), lines);
    EXPECT_EQ(rig.host.outcomes.size(), 1u);
    EXPECT_LT(framer.largestBuffer(), kFramerBound) << "the framer kept the noise";
    EXPECT_TRUE(sameBytes(rig.host.record, before));
    EXPECT_EQ(rig.image, imageBefore);
    EXPECT_EQ(rig.host.shown.size(), 0u);
}

TEST(NoisyModule, ChunkAnsweredWithNoiseEndsTheRunByTheTimeout)
{
    // The start and the first two chunks are accepted; the third chunk gets noise.
    ModuleSimulator module(scripted([](CommandTurn& turn) {
        if (turn.command() == protocol::kChunkCommand && turn.index == 3) {
            turn.answer.reset();
            turn.stream(kNoise, noise(2));
        }
    }));
    module.start();
    LinkRig rig(module.devicePath(), kTimeoutMs);
    rig.host.controls = randomModuleSettings(20);

    FramerWatch framer(rig.framer);
    DeadlineWatch deadline(rig.host.timer);
    bool started = false;
    const auto handler = rig.framer.OnCustomStop;
    // The timer's period starts with the last chunk the tool sent.
    rig.framer.OnCustomStop = [&](TComDataPacket& sender, const std::string& str, int& pos) {
        handler(sender, str, pos);
        if (rig.engine.chunkCounter() == 2 && !started) {
            started = true;
            deadline.start();
        }
    };
    ASSERT_EQ(rig.program(5s), LinkOutcome::NoAnswer);
    EXPECT_EQ(rig.engine.uploadOffset(),
              static_cast<std::int32_t>(protocol::kFirstChunkBytes + 2 * protocol::kChunkBytes));
    expectNoiseEndedByTimeout(rig, framer, deadline);
    EXPECT_EQ(module.frameCount(), 4) << "the tool sent on while the module sent noise";
}

// Counts the pieces the answer handler sees.
class PieceCounter {
public:
    explicit PieceCounter(LinkRig& rig) : handler_(rig.framer.OnCustomStop)
    {
        rig.framer.OnCustomStop = [this](TComDataPacket& sender, const std::string& str, int& pos) {
            ++calls;
            handler_(sender, str, pos);
        };
    }
    int calls = 0;

private:
    TCustPacketEvent handler_;
};

SimulatorOptions oneByteAtATime()
{
    SimulatorOptions options;
    options.pacing.pieceBytes = 1;
    options.pacing.pieceGap = std::chrono::microseconds(300);
    options.memory = imageOf(randomModuleSettings(30));
    return options;
}

TEST(AnswersByteByByte, ProgrammingSucceeds)
{
    ModuleSimulator module(oneByteAtATime());
    module.start();
    LinkRig rig(module.devicePath(), 3000);
    PieceCounter pieces(rig);
    rig.host.controls = randomModuleSettings(31);

    EXPECT_EQ(rig.program(), LinkOutcome::Programmed);
    EXPECT_TRUE(holdsProgrammedImage(module.memory(), *rig.host.controls));
    EXPECT_GT(pieces.calls, 28 * 2) << "the answers did not arrive in pieces";
    expectIdle(rig);
}

TEST(AnswersByteByByte, ReadBackSucceeds)
{
    const SimulatorOptions options = oneByteAtATime();
    ModuleSimulator module(options);
    module.start();
    LinkRig rig(module.devicePath(), 3000);
    PieceCounter pieces(rig);

    EXPECT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);
    EXPECT_TRUE(std::equal(options.memory->begin(), options.memory->begin() + kReadBackImageBytes,
                           rig.image.begin()));
    EXPECT_TRUE(std::all_of(rig.image.begin() + kReadBackImageBytes, rig.image.end(),
                            [](auto b) { return b == 0; }));
    EXPECT_GT(pieces.calls, 200) << "the answer did not arrive in pieces";
}

TEST(AnswersByteByByte, SerialNumberSplitAtItsTerminatorKeepsTheNumber)
{
    // The framer cuts "A123*1" off as a packet before "OK*1" arrives; the query gathers
    // the pieces, so the number is kept. The bytes come far enough apart that a busy
    // machine cannot read two of them as one piece.
    SimulatorOptions options = oneByteAtATime();
    options.pacing.pieceGap = std::chrono::milliseconds(50);
    ModuleSimulator module(options);
    module.start();
    LinkRig rig(module.devicePath(), 3000);

    EXPECT_EQ(rig.serial(), LinkOutcome::SerialNumber);
    EXPECT_EQ(rig.host.lastLine(), std::string(link_text::kSerial) + "A123");
    EXPECT_FALSE(rig.engine.serialQueryPending());
}

}  // namespace
}  // namespace tarnik::proof
