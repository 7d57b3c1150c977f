// The module simulator, spoken to directly over its pseudo-terminal.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <numeric>
#include <thread>

#include "link/protocol.h"
#include "pty_pair.h"
#include "simulator/line_timetable.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::PtyClient;
using Clock = std::chrono::steady_clock;

// Data bytes of the c-th chunk of a programming run.
std::size_t chunkSize(int c)
{
    return c == 0 ? protocol::kFirstChunkBytes : protocol::kChunkBytes;
}

std::string chunk(const std::string& data)
{
    return "*0" + data + "*1";
}

// Image-like data holding the terminator bytes 2A 31 among others.
std::string chunkData(std::size_t n, int seed)
{
    std::string data(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        data[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(seed)) & 0xFF);
    data[3] = '*';
    data[4] = '1';
    return data;
}

DeviceImage patternMemory()
{
    DeviceImage memory{};
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>(255 - i % 251);
    return memory;
}

// A simulator on a fresh pseudo-terminal, and its line opened as the tool opens it.
class SimulatorLine : public ::testing::Test {
protected:
    void start(SimulatorOptions options = {})
    {
        line.reset();
        sim = std::make_unique<ModuleSimulator>(std::move(options));
        sim->start();
        line = std::make_unique<PtyClient>(sim->devicePath());
    }

    std::unique_ptr<ModuleSimulator> sim;
    std::unique_ptr<PtyClient> line;
};
class SimulatorCommands : public SimulatorLine { };
class SimulatorHook : public SimulatorLine { };
class SimulatorPacing : public SimulatorLine { };
class SimulatorSwitches : public SimulatorLine { };

// Sends `frame` and reads `answerBytes` bytes of answer, then checks that no byte reached
// the tool before the line's timetable lets it: the timetable of a frame read the moment
// it was sent, the earliest the simulator's line can have read it. A line that sends early
// (unpaced, or not charging the frame its own line time) fails; one slowed by a busy
// machine only sends later. How close to the line time the simulator comes is measured by
// bench_link, not here.
void expectPacedAnswer(PtyClient& line, const LinePacing& pacing, const std::string& frame,
                       std::size_t answerBytes, const std::string& expected = {})
{
    LineTimetable timetable(pacing);
    const auto sentAt = Clock::now();
    line.send(frame);
    const auto received = line.readBytesTimed(answerBytes, 2s);
    ASSERT_EQ(received.size(), answerBytes);
    std::string answer;
    for (const auto& r : received)
        answer.push_back(r.byte);
    if (!expected.empty()) {
        EXPECT_EQ(answer, expected);
    }
    const auto due = timetable.answer(answer, timetable.arrival(sentAt, frame.size()));
    ASSERT_EQ(due.size(), answerBytes);
    for (std::size_t i = 0; i < answerBytes; ++i)
        ASSERT_GE(received[i].at, due[i].at) << "byte " << i << " of " << answerBytes << " came "
                                             << (due[i].at - received[i].at).count() << " ns early";
}

TEST_F(SimulatorCommands, AnswersEveryCommandAsTheModuleDoes)
{
    SimulatorOptions options;
    options.identity.serialNumber = "ZX81";
    options.identity.leadByte = 0x7E;
    options.memory = patternMemory();
    start(options);

    line->send("*2*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
    line->send("*5*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
    line->send("*7*1");
    EXPECT_EQ(line->readBytes(10, 1s), "ZX81*1OK*1");

    line->send("*3*1");
    const std::string answer = line->readBytes(protocol::kReadBackAnswerBytes, 2s);
    ASSERT_EQ(answer.size(), protocol::kReadBackAnswerBytes);
    EXPECT_EQ(static_cast<std::uint8_t>(answer[0]), 0x7E);
    EXPECT_EQ(answer.substr(1 + protocol::kReadBackImageBytes), "*1");
    const DeviceImage memory = patternMemory();
    EXPECT_EQ(answer.substr(1, protocol::kReadBackImageBytes),
              std::string(memory.begin(), memory.begin() + protocol::kReadBackImageBytes));

    const auto frames = sim->frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].command, '2');
    EXPECT_EQ(frames[3].command, '3');
}

TEST_F(SimulatorCommands, ChunksAreFramedByLengthAndStoredInOrder)
{
    start();

    // A whole upload: 25 bytes, then 26 x 45, each holding 2A 31 in its data.
    std::string uploaded;
    line->send("*2*1");
    ASSERT_EQ(line->readBytes(4, 1s), "OK*1");
    for (int c = 0; c < static_cast<int>(protocol::kChunks); ++c) {
        const std::string data = chunkData(chunkSize(c), c);
        uploaded += data;
        line->send(chunk(data));
        ASSERT_EQ(line->readBytes(4, 1s), "OK*1") << "chunk " << c;
    }
    ASSERT_EQ(uploaded.size(), protocol::kSentImageBytes);
    const DeviceImage memory = sim->memory();
    EXPECT_EQ(std::string(memory.begin(), memory.begin() + protocol::kSentImageBytes), uploaded);
    EXPECT_EQ(memory[protocol::kSentImageBytes], 0);
    EXPECT_EQ(sim->skippedBytes(), 0u);

    const auto frames = sim->frames();
    ASSERT_EQ(frames.size(), 1 + protocol::kChunks);
    EXPECT_EQ(frames[1].bytes.size(), 29u);
    EXPECT_EQ(frames[2].bytes.size(), 49u);
    EXPECT_EQ(frames[2].imageOffset, 25u);
    EXPECT_EQ(frames[protocol::kChunks].imageOffset,
              protocol::kSentImageBytes - protocol::kChunkBytes);

    // What was programmed comes back in the read-back.
    line->send("*3*1");
    const std::string answer = line->readBytes(protocol::kReadBackAnswerBytes, 2s);
    ASSERT_EQ(answer.size(), protocol::kReadBackAnswerBytes);
    EXPECT_EQ(answer.substr(1, protocol::kSentImageBytes), uploaded);
}

TEST_F(SimulatorCommands, SkipsBytesThatAreNoFrameAndRecovers)
{
    start();
    line->send("xy*9*2*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
    EXPECT_EQ(sim->frameCount(), 1);
    EXPECT_EQ(sim->skippedBytes(), 4u);
}

TEST_F(SimulatorCommands, KeepsTheNewestFramesButCountsThemAll)
{
    // A long demo session must not grow the frame log without bound.
    start();
    const int total = static_cast<int>(ModuleSimulator::kFramesKept) + 10;
    for (int i = 0; i < total; ++i) {
        line->send("*7*1");
        ASSERT_EQ(line->readBytes(10, 1s).size(), 10u) << "query " << i;
    }
    line->send("*2*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
    ASSERT_TRUE(sim->waitForFrames(total + 1, 1s));
    EXPECT_EQ(sim->frameCount(), total + 1);
    const auto frames = sim->frames();
    EXPECT_LE(frames.size(), ModuleSimulator::kFramesKept);
    EXPECT_EQ(frames.back().command, '2');
}

TEST_F(SimulatorCommands, AFrameSentInPiecesIsTakenWhenComplete)
{
    start();
    line->send("*2");
    EXPECT_EQ(line->readOnce(50ms), "");
    line->send("*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
}

TEST_F(SimulatorSwitches, SplitsAnswersIntoPiecesWithAGap)
{
    SimulatorOptions options;
    options.pacing.answerPieces = 2;
    options.pacing.pieceGap = 80ms;
    start(options);
    // Where the pieces fall in time is the timetable's test; here the second piece does
    // not come before the gap has passed.
    expectPacedAnswer(*line, options.pacing, "*2*1", 4, "OK*1");
}

TEST_F(SimulatorSwitches, PiecesOfAFixedSizeCanSplitTheTerminator)
{
    SimulatorOptions options;
    options.pacing.pieceBytes = 6;
    options.pacing.pieceGap = 50ms;
    start(options);
    expectPacedAnswer(*line, options.pacing, "*7*1", 10, "A123*1OK*1");
}

TEST_F(SimulatorSwitches, FallsSilentAfterTheGivenFrames)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(1));
    start(options);
    line->send("*2*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
    line->send("*5*1");
    EXPECT_TRUE(sim->waitForFrames(2, 1s));
    EXPECT_EQ(line->readUntilQuiet(100ms), "");
}

TEST_F(SimulatorSwitches, StarOneAndGarbageAnswers)
{
    {
        SimulatorOptions options;
        options.behaviours.push_back(behaviour::StarOneAnswers());
        start(options);
        line->send("*2*1");
        EXPECT_EQ(line->readBytes(2, 1s), "*1");
        EXPECT_EQ(line->readUntilQuiet(100ms), "");
    }
    {
        SimulatorOptions options;
        options.behaviours.push_back(behaviour::GarbageAnswers());
        start(options);
        line->send("*7*1");
        std::string answer = line->readBytes(1, 1s);
        answer += line->readUntilQuiet(100ms);
        EXPECT_FALSE(answer.empty());
        EXPECT_EQ(answer.find('*'), std::string::npos);
        EXPECT_EQ(answer.find("OK"), std::string::npos);
    }
}

TEST_F(SimulatorSwitches, OnlyTheLastChunkIsAnsweredWithStarOne)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::StarOneForLastChunk());
    start(options);
    line->send("*2*1");
    ASSERT_EQ(line->readBytes(4, 1s), "OK*1");
    const int last = static_cast<int>(protocol::kChunks) - 1;
    for (int c = 0; c <= last; ++c) {
        line->send(chunk(std::string(chunkSize(c), 'x')));
        const std::string expected = c == last ? "*1" : "OK*1";
        EXPECT_EQ(line->readBytes(expected.size(), 1s), expected) << "chunk " << c;
    }
    line->send("*5*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
}

TEST_F(SimulatorSwitches, HangsUpWhenTheGivenFrameArrives)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::HangUpAt(2));
    start(options);
    line->send("*2*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
    line->send(chunk(std::string(25, 'a')));
    EXPECT_TRUE(line->hungUp(1s));
    EXPECT_FALSE(sim->running());
}

TEST_F(SimulatorSwitches, HangsUpAfterAnsweringWhenAsked)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::HangUpAt(1, true));
    start(options);
    line->send("*2*1");
    EXPECT_EQ(line->readBytes(4, 1s), "OK*1");
    EXPECT_TRUE(line->hungUp(1s));
}

TEST_F(SimulatorSwitches, AnswerDelay)
{
    SimulatorOptions options;
    options.pacing.answerDelay = 150ms;
    start(options);
    expectPacedAnswer(*line, options.pacing, "*2*1", 4, "OK*1");
}

TEST_F(SimulatorHook, SeesEveryCommandInOrderAndCanRewriteOrWithholdTheAnswer)
{
    struct Seen {
        char command;
        int index;
        std::string answer;
    };
    std::mutex mutex;
    std::vector<Seen> seen;
    SimulatorOptions options;
    options.behaviours.push_back([&](CommandTurn& turn) {
        std::lock_guard lock(mutex);
        seen.push_back({turn.command(), turn.index, turn.answer.value_or("")});
        if (turn.command() == protocol::kSerialCommand)
            turn.answer = "B7*1OK*1";
        if (turn.command() == protocol::kFinishCommand) {
            turn.answer.reset();
            turn.write("straight");  // the script's own bytes, in place of the answer
        }
    });
    // A later behaviour sees what the earlier one made of the answer.
    options.behaviours.push_back(behaviour::SilentAfter(2));
    start(options);

    line->send("*7*1");
    EXPECT_EQ(line->readBytes(8, 1s), "B7*1OK*1");
    line->send("*5*1");
    EXPECT_EQ(line->readBytes(8, 1s), "straight");
    line->send("*2*1");
    ASSERT_TRUE(sim->waitForFrames(3, 1s));
    EXPECT_EQ(line->readUntilQuiet(100ms), "") << "the third frame falls after SilentAfter(2)";

    std::lock_guard lock(mutex);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].command, '7');
    EXPECT_EQ(seen[0].answer, "A123*1OK*1");
    EXPECT_EQ(seen[1].command, '5');
    EXPECT_EQ(seen[1].index, 1);
    EXPECT_EQ(seen[2].answer, "OK*1");
    EXPECT_EQ(seen[2].index, 2);
}

TEST_F(SimulatorHook, OnlyTheChunkThatCompletesTheSentImageIsTheLastChunk)
{
    std::vector<bool> last;
    SimulatorOptions options;
    options.behaviours.push_back([&](CommandTurn& turn) {
        if (turn.command() == protocol::kChunkCommand)
            last.push_back(turn.isLastChunk());
    });
    start(options);
    for (int run = 0; run < 2; ++run) {
        line->send("*2*1");
        ASSERT_EQ(line->readBytes(4, 1s), "OK*1");
        for (int c = 0; c < static_cast<int>(protocol::kChunks); ++c) {
            line->send(chunk(std::string(chunkSize(c), 'q')));
            ASSERT_EQ(line->readBytes(4, 1s), "OK*1");
        }
    }
    sim->stop();
    ASSERT_EQ(last.size(), 2 * protocol::kChunks);
    for (std::size_t i = 0; i < last.size(); ++i)
        EXPECT_EQ(last[i], i % protocol::kChunks == protocol::kChunks - 1) << "chunk " << i;
}

TEST_F(SimulatorPacing, ReadBackTakesItsLineTime)
{
    SimulatorOptions options;
    options.pacing.baudRate = 115200;  // 4 bytes in, 1703 out: 148.2 ms on the line
    start(options);
    expectPacedAnswer(*line, options.pacing, "*3*1", protocol::kReadBackAnswerBytes);
}

TEST_F(SimulatorPacing, IncomingBytesAreChargedTheirLineTimeBeforeTheAnswer)
{
    SimulatorOptions options;
    options.pacing.baudRate = 9600;  // 1.04 ms a byte: 29 bytes in, 4 out: 34.4 ms
    start(options);
    line->send("*2*1");
    ASSERT_EQ(line->readBytes(4, 1s), "OK*1");
    expectPacedAnswer(*line, options.pacing, chunk(std::string(25, 'z')), 4, "OK*1");
}

// The timetable, with made-up times: the pacing the line keeps, whatever the machine.
using Due = std::vector<LineTimetable::DueByte>;
const LineTimetable::Clock::time_point kT0{std::chrono::seconds(100)};

std::chrono::nanoseconds after(const LineTimetable::DueByte& due)
{
    return due.at - kT0;
}

TEST(SimulatorTimetable, ChargesIncomingBytesTheirLineTimeOneAfterAnother)
{
    LinePacing pacing;
    pacing.baudRate = 9600;  // 1041666 ns a byte
    LineTimetable line(pacing);
    const auto byte = line.byteTime();
    EXPECT_EQ(byte, std::chrono::nanoseconds(1'041'666));
    EXPECT_EQ(line.arrival(kT0, 29) - kT0, 29 * byte);
    // Read while the first bytes are still arriving: they queue behind them.
    EXPECT_EQ(line.arrival(kT0 + 1ms, 4) - kT0, 33 * byte);
    // Read once the line is idle: from the read on.
    EXPECT_EQ(line.arrival(kT0 + 1s, 1) - kT0, 1s + byte);
}

TEST(SimulatorTimetable, ReadBackAnswerTakesItsLineTime)
{
    LinePacing pacing;
    pacing.baudRate = 115200;
    LineTimetable line(pacing);
    const auto arrived = line.arrival(kT0, protocol::kCommandFrameBytes);
    const Due due = line.answer(std::string(protocol::kReadBackAnswerBytes, 'r'), arrived);
    ASSERT_EQ(due.size(), protocol::kReadBackAnswerBytes);
    // 4 bytes in, 1703 out: 1707 bytes of 86.8 us, 148.2 ms.
    EXPECT_EQ(after(due.back()), 1707 * line.byteTime());
    const double lastMs = std::chrono::duration<double, std::milli>(after(due.back())).count();
    EXPECT_NEAR(lastMs, 148.2, 0.05);
    for (std::size_t i = 1; i < due.size(); ++i)
        ASSERT_EQ(due[i].at - due[i - 1].at, line.byteTime()) << "byte " << i;
}

TEST(SimulatorTimetable, DelayPiecesAndGapsOnAnUnpacedLine)
{
    LinePacing pacing;
    pacing.answerDelay = 150ms;
    pacing.answerPieces = 2;
    pacing.pieceGap = 80ms;
    LineTimetable line(pacing);
    const Due due = line.answer("OK*1", kT0);
    ASSERT_EQ(due.size(), 4u);
    EXPECT_EQ(after(due[0]), 150ms);
    EXPECT_EQ(after(due[1]), 150ms);
    EXPECT_EQ(after(due[2]), 230ms);
    EXPECT_EQ(after(due[3]), 230ms);
    // The next answer waits for this one to be out, then for its own delay from arrival.
    const Due next = line.answer("OK*1", kT0 + 10ms);
    EXPECT_EQ(after(next.front()), 230ms);
    EXPECT_EQ(after(line.answer("*1", kT0 + 1s).front()), 1150ms);
}

TEST(SimulatorTimetable, PiecesOfAFixedSize)
{
    LinePacing pacing;
    pacing.baudRate = 10'000;  // 1 ms a byte
    pacing.pieceBytes = 6;
    pacing.pieceGap = 50ms;
    LineTimetable line(pacing);
    const Due due = line.answer("A123*1OK*1", kT0);
    ASSERT_EQ(due.size(), 10u);
    EXPECT_EQ(after(due[5]), 6ms);
    EXPECT_EQ(after(due[6]), 6ms + 50ms + 1ms);
    EXPECT_EQ(after(due[9]), 6ms + 50ms + 4ms);
}

TEST(SimulatorLifecycle, StopIsSafeTwiceAndFromSeveralThreads)
{
    ModuleSimulator sim;
    EXPECT_EQ(sim.devicePath(), "");
    sim.start();
    const std::string path = sim.devicePath();
    EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u);
    EXPECT_TRUE(sim.running());
    std::thread a([&] { sim.stop(); });
    std::thread b([&] { sim.stop(); });
    a.join();
    b.join();
    sim.stop();
    EXPECT_FALSE(sim.running());
}

TEST(SimulatorLifecycle, KeepsAnsweringWhenTheToolClosesAndReopens)
{
    ModuleSimulator sim;
    sim.start();
    {
        PtyClient line(sim.devicePath());
        line.send("*2*1");
        EXPECT_EQ(line.readBytes(4, 1s), "OK*1");
    }
    PtyClient again(sim.devicePath());
    again.send("*5*1");
    EXPECT_EQ(again.readBytes(4, 1s), "OK*1");
}

}  // namespace
}  // namespace tarnik
