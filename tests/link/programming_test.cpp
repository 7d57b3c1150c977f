// Programming runs through the engine against the simulator on a real pseudo-terminal.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "event_loop.h"
#include "link/protocol.h"
#include "link_rig.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::LinkRig;

const std::vector<int> kPercentages = {3,  7,  11, 15, 19, 23, 26, 30, 34, 38, 42, 46, 50,
                                       53, 57, 61, 65, 69, 73, 76, 80, 84, 88, 92, 96, 100};

// Settings whose image holds the terminator bytes 2A 31 inside a chunk.
SettingsRecord settingsWithTerminatorInside()
{
    SettingsRecord record = startupSettings();
    record.smsWeRe[0][0].assign("al*1rm");
    record.nrUser[0].assign("+48601234567");
    return record;
}

// The no-answer period of these runs: long enough for any answer on a busy machine, short
// enough for the tests that end by the timeout.
constexpr int kPeriodMs = 1000;

struct Programming : ::testing::Test {
    void startSimulator(SimulatorOptions options = {}, int periodMs = kPeriodMs)
    {
        sim = std::make_unique<ModuleSimulator>(options);
        sim->start();
        rig = std::make_unique<LinkRig>(sim->devicePath(), periodMs);
        rig->host.controls = settingsWithTerminatorInside();
    }

    // Starts the simulator and presses "programuj"; returns how the run ended.
    std::optional<LinkOutcome> runProgramming(SimulatorOptions options = {})
    {
        startSimulator(std::move(options));
        return rig->program();
    }

    // The no-answer timer's own deadline around each call of the answer handler.
    struct HandlerCall {
        ProgrammingState before;
        ProgrammingState after;
        int remainingBefore;
        int remainingAfter;
        bool sentAChunkOf45;
    };
    void recordDeadlines()
    {
        const auto handler = rig->framer.OnCustomStop;
        rig->framer.OnCustomStop = [this, handler](TComDataPacket& sender, const std::string& str,
                                                   int& pos) {
            const std::int32_t chunks = rig->engine.chunkCounter();
            HandlerCall call{
                rig->engine.programmingState(), {}, rig->host.timer.remainingMs(), 0, false};
            handler(sender, str, pos);
            call.after = rig->engine.programmingState();
            call.remainingAfter = rig->host.timer.remainingMs();
            call.sentAChunkOf45 = call.before == ProgrammingState::Sending &&
                                  rig->engine.chunkCounter() == chunks + 1;
            calls.push_back(call);
        };
    }

    std::unique_ptr<ModuleSimulator> sim;
    std::unique_ptr<LinkRig> rig;
    std::vector<HandlerCall> calls;
};

TEST_F(Programming, AWholeRunSendsImageBytes0To1194InChunksOf25Then45)
{
    startSimulator();
    rig->engine.BprogramujClick();
    EXPECT_TRUE(rig->host.busy);
    ASSERT_TRUE(rig->waitForOutcome(5s));
    EXPECT_EQ(rig->host.outcomes.front(), LinkOutcome::Programmed);

    // The record was collected and converted; the module holds its first 1195 bytes.
    DeviceImage expected{};
    SettingsToImage(settingsWithTerminatorInside(), expected);
    EXPECT_EQ(rig->image, expected);
    EXPECT_EQ(0, std::memcmp(&rig->host.record, &*rig->host.controls, sizeof(SettingsRecord)));

    const auto frames = sim->frames();
    ASSERT_EQ(frames.size(), 1 + protocol::kChunks);
    EXPECT_EQ(std::string(frames[0].bytes.begin(), frames[0].bytes.end()), "*2*1");
    std::size_t offset = 0;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        const std::size_t n = i == 1 ? protocol::kFirstChunkBytes : protocol::kChunkBytes;
        const auto& bytes = frames[i].bytes;
        ASSERT_EQ(bytes.size(), n + 4) << "chunk " << i;
        EXPECT_EQ(bytes[0], '*');
        EXPECT_EQ(bytes[1], '0');
        EXPECT_TRUE(std::equal(bytes.begin() + 2, bytes.end() - 2,
                               expected.begin() + static_cast<long>(offset)))
            << "chunk " << i;
        EXPECT_EQ(bytes[n + 2], '*');
        EXPECT_EQ(bytes[n + 3], '1');
        offset += n;
    }
    EXPECT_EQ(offset, protocol::kSentImageBytes);
    const DeviceImage memory = sim->memory();
    EXPECT_TRUE(
        std::equal(memory.begin(), memory.begin() + protocol::kSentImageBytes, expected.begin()));
    EXPECT_EQ(memory[protocol::kSentImageBytes], 0) << "byte 1195 and later are never sent";

    // One progress line, replaced once per 45-byte chunk.
    ASSERT_EQ(rig->host.progressTexts.size(), protocol::kChunksOf45);
    for (std::size_t k = 0; k < protocol::kChunksOf45; ++k) {
        const std::string expectedText =
            "Postęp: " + std::to_string(kPercentages[k]) + "% " + std::string(2 * (k + 1), '#');
        EXPECT_EQ(rig->host.progressTexts[k], expectedText);
    }
    const std::vector<std::string> lines = {"Rozpoczęcie programowania.",
                                            "Postęp: 100% " + std::string(52, '#'),
                                            "Programowanie zakończone pomyślnie."};
    EXPECT_EQ(rig->host.list.lines(), lines);

    EXPECT_FALSE(rig->host.busy);
    EXPECT_EQ(rig->host.busyEntered, 1);
    EXPECT_FALSE(rig->host.timer.isArmed());
    EXPECT_EQ(rig->engine.programmingState(), ProgrammingState::Idle);
    EXPECT_EQ(rig->engine.uploadOffset(), static_cast<std::int32_t>(protocol::kSentImageBytes));
    EXPECT_EQ(rig->engine.chunkCounter(), 26);
    EXPECT_TRUE(rig->host.errors.empty());
}

TEST_F(Programming, LastChunkAnsweredWithStarOneOnlyFinishesWithStar5)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::StarOneForLastChunk());
    ASSERT_EQ(runProgramming(options), LinkOutcome::Programmed);
    const auto frames = sim->frames();
    ASSERT_EQ(frames.size(), 2 + protocol::kChunks);
    EXPECT_EQ(std::string(frames.back().bytes.begin(), frames.back().bytes.end()), "*5*1");
    EXPECT_EQ(rig->host.list.lines().back(), "Programowanie zakończone pomyślnie.");
    EXPECT_FALSE(rig->host.busy);
}

TEST_F(Programming, StartAnswerInTwoPiecesAddsTheStartLinesTwice)
{
    SimulatorOptions options;
    options.pacing.answerPieces = 2;  // "OK", then "*1"
    options.pacing.pieceGap = 30ms;
    ASSERT_EQ(runProgramming(options), LinkOutcome::Programmed);
    const std::vector<std::string> lines = {
        "Rozpoczęcie programowania.", "postęp: ", "Rozpoczęcie programowania.",
        "Postęp: 100% " + std::string(52, '#'), "Programowanie zakończone pomyślnie."};
    EXPECT_EQ(rig->host.list.lines(), lines);
}

TEST_F(Programming, StartLinesPushTheOldestLinesOutOfAFullList)
{
    startSimulator();
    for (int i = 1; i <= 7; ++i)
        rig->host.list.add("old " + std::to_string(i));
    rig->engine.BprogramujClick();
    ASSERT_TRUE(rig->waitForOutcome(5s));
    const std::vector<std::string> lines = {"old 4",
                                            "old 5",
                                            "old 6",
                                            "old 7",
                                            "Rozpoczęcie programowania.",
                                            "Postęp: 100% " + std::string(52, '#'),
                                            "Programowanie zakończone pomyślnie."};
    EXPECT_EQ(rig->host.list.lines(), lines);
}

TEST_F(Programming, ChunkAnsweredWithStarOneAloneDoesNotAdvance)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::StarOneForChunks());
    ASSERT_EQ(runProgramming(options), LinkOutcome::NoAnswer);
    EXPECT_EQ(sim->frameCount(), 2);  // "*2*1" and the first chunk only
    EXPECT_TRUE(rig->host.progressTexts.empty());
    EXPECT_EQ(rig->host.list.lines().back(), "Brak oprowiedzi z modułu.");
    EXPECT_FALSE(rig->host.busy);
    EXPECT_EQ(rig->engine.programmingState(), ProgrammingState::Idle);
}

TEST_F(Programming, StarOneAloneNeverStartsTheTransfer)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::StarOneAnswers());
    ASSERT_EQ(runProgramming(options), LinkOutcome::NoAnswer);
    EXPECT_EQ(sim->frameCount(), 1);
    // Each call of the handler in AwaitStart adds both lines: '*1', then the empty rest.
    const auto& lines = rig->host.list.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Rozpoczęcie programowania.");
    EXPECT_EQ(lines[3], "postęp: ");
    EXPECT_EQ(lines[4], "Brak oprowiedzi z modułu.");
}

// Silence from frame N on: the run ends by the timeout wherever it stands.
class ProgrammingTimeout : public Programming, public ::testing::WithParamInterface<int> { };

TEST_P(ProgrammingTimeout, SilenceEndsTheRunByTheTimeout)
{
    const int answered = GetParam();
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(answered));
    ASSERT_EQ(runProgramming(options), LinkOutcome::NoAnswer);
    EXPECT_EQ(sim->frameCount(), answered + 1);
    EXPECT_EQ(rig->host.list.lines().back(), "Brak oprowiedzi z modułu.");
    EXPECT_FALSE(rig->host.busy);
    EXPECT_FALSE(rig->host.timer.isArmed());
    EXPECT_EQ(rig->engine.programmingState(), ProgrammingState::Idle);
    EXPECT_EQ(rig->host.progressTexts.size(), static_cast<std::size_t>(std::max(0, answered - 1)));

    // The port stays usable: a second run against an answering module succeeds.
    ModuleSimulator good;
    good.start();
    rig->host.port = good.devicePath();
    rig->engine.BprogramujClick();
    ASSERT_TRUE(rig->waitForOutcome(5s, 2));
    EXPECT_EQ(rig->host.outcomes.back(), LinkOutcome::Programmed);
}

// 0: no answer to "*2*1"; 1: none to the first chunk; 14: mid-run; 27: none after the
// last chunk.
INSTANTIATE_TEST_SUITE_P(AtEachStage, ProgrammingTimeout, ::testing::Values(0, 1, 14, 27));

// The timer's own deadline tells whether a period was restarted: a restart moves it
// later; a busy machine only ever brings it nearer.
TEST_F(Programming, FirstChunkDoesNotRestartThePeriodOfTheStartCommand)
{
    SimulatorOptions options;
    options.pacing.answerDelay = 20ms;
    startSimulator(options);
    recordDeadlines();
    rig->engine.BprogramujClick();
    ASSERT_TRUE(rig->waitForOutcome(10s));
    EXPECT_EQ(rig->host.outcomes.front(), LinkOutcome::Programmed);
    const auto first = std::find_if(calls.begin(), calls.end(), [](const HandlerCall& c) {
        return c.before == ProgrammingState::AwaitStart && c.after == ProgrammingState::Sending;
    });
    ASSERT_NE(first, calls.end());
    // The start's answer took at least 20 ms of the period; sending the first chunk
    // leaves the rest as it was (1 ms for the rounding of the remaining time).
    EXPECT_LE(first->remainingBefore, kPeriodMs - 20 + 1);
    EXPECT_LE(first->remainingAfter, first->remainingBefore + 1);
}

TEST_F(Programming, EveryLaterChunkStartsAFreshPeriod)
{
    SimulatorOptions options;
    options.pacing.answerDelay = 20ms;
    startSimulator(options);
    recordDeadlines();
    rig->engine.BprogramujClick();
    ASSERT_TRUE(rig->waitForOutcome(10s));
    EXPECT_EQ(rig->host.outcomes.front(), LinkOutcome::Programmed);
    int chunksOf45 = 0;
    for (const HandlerCall& call : calls) {
        if (!call.sentAChunkOf45)
            continue;
        ++chunksOf45;
        // At least 20 ms of the old period went by waiting for the answer; the next chunk
        // starts a whole new one.
        EXPECT_GT(call.remainingAfter, call.remainingBefore) << "chunk " << chunksOf45;
    }
    EXPECT_EQ(chunksOf45, static_cast<int>(protocol::kChunksOf45));
}

TEST_F(Programming, NumbersNotInInternationalFormAreRefused)
{
    startSimulator();
    rig->host.numbersInternational = false;
    const SettingsRecord before = rig->host.record;
    rig->engine.BprogramujClick();
    EXPECT_EQ(rig->host.list.lines(),
              std::vector<std::string>{
                  "numery użytkowników muszą być zapisane w formie międzynarodowej tzn "
                  "zawierać numer kierunkowy na kraj"});
    EXPECT_EQ(rig->host.outcomes, std::vector<LinkOutcome>{LinkOutcome::Refused});
    EXPECT_EQ(rig->host.busyEntered, 0);
    EXPECT_FALSE(rig->host.timer.isArmed());
    EXPECT_FALSE(rig->port.Connected());
    EXPECT_EQ(0, std::memcmp(&before, &rig->host.record, sizeof before));
    test::pumpFor(50ms);
    EXPECT_EQ(sim->frameCount(), 0);
}

struct RefusedInput {
    const char* what;
    void (*spoil)(SettingsRecord&);
    const char* message;
};

void PrintTo(const RefusedInput& input, std::ostream* out)
{
    *out << input.what;
}

class ProgrammingRefusal : public Programming,
                           public ::testing::WithParamInterface<RefusedInput> { };

TEST_P(ProgrammingRefusal, RefusesWithALineAndSendsNothing)
{
    startSimulator();
    SettingsRecord controls = *rig->host.controls;
    GetParam().spoil(controls);
    rig->host.controls = controls;
    const DeviceImage before = rig->image;
    rig->engine.BprogramujClick();
    EXPECT_EQ(rig->host.list.lines(), std::vector<std::string>{GetParam().message});
    EXPECT_EQ(rig->host.outcomes, std::vector<LinkOutcome>{LinkOutcome::Refused});
    EXPECT_EQ(rig->host.busyEntered, 0);
    EXPECT_FALSE(rig->port.Connected());
    EXPECT_EQ(before, rig->image) << "refused settings were converted for sending";
    test::pumpFor(50ms);
    EXPECT_EQ(sim->frameCount(), 0);
}

constexpr const char* kTooLong =
    "numer centrum sms i numery użytkowników mogą mieć najwyżej 12 znaków";
constexpr const char* kPin = "Kod pin musi mieć 4 znaki.";
constexpr const char* kCharacters = "numer centrum sms i numery użytkowników mogą zawierać tylko "
                                    "cyfry, przed którymi może stać znak +";

INSTANTIATE_TEST_SUITE_P(
    Inputs, ProgrammingRefusal,
    ::testing::Values(
        RefusedInput{"sms centre of 13", [](SettingsRecord& r) { r.csms.assign("+481234567890"); },
                     kTooLong},
        RefusedInput{"user 4 of 15",
                     [](SettingsRecord& r) { r.nrUser[3].assign("+48123456789012"); }, kTooLong},
        RefusedInput{"sms centre with a quote",
                     [](SettingsRecord& r) { r.csms.assign("+48\"601"); }, kCharacters},
        RefusedInput{"user 2 with a dash", [](SettingsRecord& r) { r.nrUser[1].assign("+48-60"); },
                     kCharacters},
        RefusedInput{"pin of 1", [](SettingsRecord& r) { r.pin.assign("1"); }, kPin},
        RefusedInput{"pin of 3", [](SettingsRecord& r) { r.pin.assign("123"); }, kPin},
        RefusedInput{"access code of 2", [](SettingsRecord& r) { r.pinMod.assign("ab"); }, kPin}),
    [](const auto& param) {
        // "sms centre of 13" gives Sms_centre_of_13: test names start with a capital.
        std::string name = param.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        return name;
    });

TEST_F(Programming, LimitsThatStillPass)
{
    startSimulator();
    SettingsRecord controls = *rig->host.controls;
    controls.csms.assign("+48601000310");  // 12 characters
    controls.nrUser[1].assign("+48601000311");
    controls.pin.assign("1234");
    controls.pinMod.assign("");
    rig->host.controls = controls;
    rig->engine.BprogramujClick();
    ASSERT_TRUE(rig->waitForOutcome(5s));
    EXPECT_EQ(rig->host.outcomes.front(), LinkOutcome::Programmed);
}

}  // namespace
}  // namespace tarnik
