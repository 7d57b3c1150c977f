// Settings read-back and serial-number query against the simulator.

#include <gtest/gtest.h>

#include <cstring>

#include "event_loop.h"
#include "link/link_texts.h"
#include "link/module_answers.h"
#include "link/protocol.h"
#include "link_rig.h"
#include "model/conversion.h"
#include "model/image_layout.h"
#include "model/value_ranges.h"
#include "module_image.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::LinkRig;

// Configuration memory holding the terminator bytes 2A 31 inside the image and right
// before the answer's own terminator.
DeviceImage memoryWithTerminators()
{
    DeviceImage memory{};
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>((i * 13 + 5) % 256);
    memory[0] = '1';  // with a lead byte '*' the answer starts with "*1"
    memory[100] = '*';
    memory[101] = '1';
    memory[1698] = '*';
    memory[1699] = '1';
    memory[image::kChecksum] = headerChecksum(memory);  // a header that sums right
    return memory;
}

DeviceImage expectedImage(const DeviceImage& memory)
{
    DeviceImage image{};
    std::copy_n(memory.begin(), protocol::kReadBackImageBytes, image.begin());
    return image;
}

bool sameRecord(const SettingsRecord& a, const SettingsRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct ReadBackCase {
    const char* name;
    std::size_t pieceBytes;
};

void PrintTo(const ReadBackCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadBack : public ::testing::TestWithParam<ReadBackCase> { };

TEST_P(ReadBack, TakesLeadByteImageAndTerminatorWhateverThePieces)
{
    SimulatorOptions options;
    options.memory = memoryWithTerminators();
    options.identity.leadByte = '*';
    options.pacing.pieceBytes = GetParam().pieceBytes;
    options.pacing.pieceGap = 15ms;
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 2000);
    rig.host.record = startupSettings();
    rig.image.fill(0xEE);
    const SettingsRecord before = rig.host.record;

    rig.engine.BBloadClick();
    EXPECT_EQ(rig.engine.readBackState(), ReadBackState::Reading);
    EXPECT_TRUE(rig.host.timer.isArmed());
    ASSERT_TRUE(rig.waitForOutcome(5s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::SettingsLoaded);

    EXPECT_EQ(rig.image, expectedImage(*options.memory)) << "bytes 1700.. are zero";
    SettingsRecord converted = before;
    ImageToSettings(rig.image, converted);
    EXPECT_TRUE(sameRecord(rig.host.record, converted));
    ASSERT_EQ(rig.host.shown.size(), 1u);
    EXPECT_TRUE(sameRecord(rig.host.shown[0], converted));
    EXPECT_EQ(rig.host.list.lines(), std::vector<std::string>{"zaladowane ustawienia z eprom"});
    EXPECT_EQ(rig.engine.readBackState(), ReadBackState::Idle);
    EXPECT_FALSE(rig.host.timer.isArmed());
    EXPECT_EQ(rig.host.busyEntered, 0) << "a read-back is not busy";
    EXPECT_TRUE(rig.engine.readBackStore().empty());
    EXPECT_TRUE(rig.framer.Buffer().empty());
    EXPECT_TRUE(rig.host.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Pieces, ReadBack,
                         ::testing::Values(ReadBackCase{"OnePiece", 0},
                                           ReadBackCase{"ManyPieces", 97},
                                           // 851 + 851 + 1: the last piece is the terminator's '1'
                                           ReadBackCase{"TerminatorSplit", 851}),
                         [](const auto& param) { return std::string(param.param.name); });

// The engine converts the module's image into a copy of the host's record: the bytes no
// conversion writes (the spare bytes, the characters past a text's length) keep the host's
// values, so a settings file saved after a read-back keeps them too.
TEST(ReadBackRecord, BytesNoConversionWritesKeepTheHostsValues)
{
    ModuleSimulator sim;
    sim.start();
    LinkRig rig(sim.devicePath(), 2000);
    for (const std::uint8_t pattern : {std::uint8_t{0x00}, std::uint8_t{0x5A}}) {
        std::memset(&rig.host.record, pattern, sizeof rig.host.record);
        const SettingsRecord before = rig.host.record;
        ASSERT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);
        SettingsRecord expected = before;
        ImageToSettings(rig.image, expected);
        EXPECT_TRUE(sameRecord(rig.host.record, expected));
        EXPECT_EQ(int(rig.host.record.spare13), int(pattern));
        EXPECT_EQ(int(rig.host.record.spare85[3]), int(pattern));
        EXPECT_EQ(int(rig.host.record.csms.chars[14]), int(pattern)) << "past the number";
    }
}

// A read-back for a comparison fills the image only: the record, the controls and the
// information list stay as they were; a later ordinary read-back is ordinary again.
TEST(ReadBackEdge, ReadForComparisonLeavesRecordAndListAlone)
{
    SimulatorOptions options;
    options.memory = memoryWithTerminators();
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 2000);
    rig.host.record = startupSettings();
    const SettingsRecord before = rig.host.record;

    rig.engine.readModuleImage();
    EXPECT_TRUE(rig.engine.exchangeRunning());
    ASSERT_TRUE(rig.waitForOutcome(5s));
    EXPECT_EQ(rig.host.outcomes, std::vector<LinkOutcome>{LinkOutcome::ModuleRead});
    EXPECT_EQ(rig.image, expectedImage(*options.memory));
    EXPECT_TRUE(sameRecord(rig.host.record, before));
    EXPECT_TRUE(rig.host.shown.empty());
    EXPECT_TRUE(rig.host.list.lines().empty());
    EXPECT_FALSE(rig.host.timer.isArmed());
    EXPECT_FALSE(rig.engine.exchangeRunning());

    rig.engine.BBloadClick();
    ASSERT_TRUE(rig.waitForOutcome(5s, 2));
    EXPECT_EQ(rig.host.outcomes.back(), LinkOutcome::SettingsLoaded);
    EXPECT_EQ(rig.host.shown.size(), 1u);
}

TEST(ReadBackEdge, ShortAnswerIsRefusedAtTheTimeoutWithNothingChanged)
{
    SimulatorOptions options;
    options.memory = memoryWithTerminators();
    options.identity.readBackLength = 100;  // "*1" arrives after 101 bytes
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath());
    rig.host.record = startupSettings();
    rig.image.fill(0xEE);
    const SettingsRecord before = rig.host.record;
    const DeviceImage imageBefore = rig.image;

    rig.engine.BBloadClick();
    ASSERT_TRUE(rig.waitForOutcome(3s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::BadAnswer);
    EXPECT_EQ(rig.host.list.lines(), std::vector<std::string>{readBackLengthLine(103)});
    EXPECT_EQ(rig.image, imageBefore);
    EXPECT_TRUE(sameRecord(rig.host.record, before));
    EXPECT_TRUE(rig.host.shown.empty());
    EXPECT_EQ(rig.engine.readBackState(), ReadBackState::Idle);

    // The next read-back starts with an empty store.
    ModuleSimulator good(SimulatorOptions{.memory = memoryWithTerminators()});
    good.start();
    rig.host.port = good.devicePath();
    rig.engine.BBloadClick();
    EXPECT_TRUE(rig.engine.readBackStore().empty());
    ASSERT_TRUE(rig.waitForOutcome(3s, 2));
    EXPECT_EQ(rig.host.outcomes.back(), LinkOutcome::SettingsLoaded);
    EXPECT_EQ(rig.image, expectedImage(memoryWithTerminators()));
}

TEST(ReadBackEdge, TextLeftInTheFramerDoesNotShiftTheImage)
{
    ModuleSimulator sim(SimulatorOptions{.memory = memoryWithTerminators()});
    sim.start();
    LinkRig rig(sim.devicePath());
    rig.framer.FeedData("left over");
    ASSERT_EQ(rig.framer.Buffer(), "left over");
    rig.engine.BBloadClick();
    ASSERT_TRUE(rig.waitForOutcome(3s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::SettingsLoaded);
    EXPECT_EQ(rig.image, expectedImage(memoryWithTerminators()));
}

TEST(ReadBackEdge, WhatWasProgrammedComesBack)
{
    ModuleSimulator sim;
    sim.start();
    LinkRig rig(sim.devicePath());
    SettingsRecord programmed = startupSettings();
    programmed.nrUser[0].assign("+48601234567");
    programmed.smsWeRe[2][1].assign("Wejście 3 *1 otwarte");
    programmed.pin.assign("1234");
    programmed.pinMod.assign("abcd");
    programmed.timerPod[4] = 77;
    rig.host.controls = programmed;
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(5s));
    ASSERT_EQ(rig.host.outcomes.front(), LinkOutcome::Programmed);
    const DeviceImage sent = rig.image;

    rig.host.record = startupSettings();
    rig.engine.BBloadClick();
    ASSERT_TRUE(rig.waitForOutcome(5s, 2));
    ASSERT_EQ(rig.host.outcomes.back(), LinkOutcome::SettingsLoaded);
    EXPECT_TRUE(test::holdsProgrammedImage(rig.image, sent));
    EXPECT_EQ(rig.host.record.nrUser[0].str(), "+48601234567");
    EXPECT_EQ(rig.host.record.smsWeRe[2][1].str(), programmed.smsWeRe[2][1].str());
    EXPECT_EQ(rig.host.record.timerPod[4], 77);
    EXPECT_EQ(rig.host.record.pin.str(), "1234");
}

TEST(SerialNumber, OnePieceGivesTheNumberAndIsAddedWithoutTrimming)
{
    SimulatorOptions options;
    options.identity.serialNumber = "A123";
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath());
    for (int i = 1; i <= 7; ++i)
        rig.host.list.add("line " + std::to_string(i));
    rig.engine.BBserialClick();
    EXPECT_TRUE(rig.engine.serialQueryPending());
    EXPECT_TRUE(rig.host.timer.isArmed()) << "the query waits as long as any exchange";
    ASSERT_TRUE(rig.waitForOutcome(2s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::SerialNumber);
    ASSERT_EQ(rig.host.list.size(), 8u);
    EXPECT_EQ(rig.host.list.lines().front(), "line 1");
    EXPECT_EQ(rig.host.list.lines().back(), "serial: A123");
    EXPECT_FALSE(rig.engine.serialQueryPending());
    EXPECT_EQ(rig.host.busyEntered, 0);
}

TEST(SerialNumber, EscapeSequencesAndDirectionControlsAreNotShown)
{
    SimulatorOptions options;
    options.identity.serialNumber = "\x1b]0;pwned\x07"
                                    "A1\x1b[2J"
                                    "23\xe2\x80\xae";
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath());
    ASSERT_EQ(rig.serial(), LinkOutcome::SerialNumber);
    EXPECT_EQ(rig.host.lastLine(), "serial: A123");
    EXPECT_EQ(rig.engine.lastSerialNumber(), "A123");
}

TEST(SerialNumber, TwoPiecesKeepTheNumber)
{
    SimulatorOptions options;
    options.identity.serialNumber = "A123";
    options.pacing.pieceBytes = 6;  // "A123*1", then "OK*1"
    options.pacing.pieceGap = 30ms;
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath());
    rig.engine.BBserialClick();
    ASSERT_TRUE(rig.waitForOutcome(2s));
    EXPECT_EQ(rig.host.list.lines(), std::vector<std::string>{"serial: A123"});
}

TEST(SerialNumber, NoAnswerEndsTheQueryByTheTimeout)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(0));
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath());
    rig.engine.BBserialClick();
    ASSERT_TRUE(sim.waitForFrames(1, 1s));
    EXPECT_TRUE(rig.engine.serialQueryPending());
    ASSERT_TRUE(rig.waitForOutcome(2s));
    EXPECT_EQ(rig.host.outcomes.front(), LinkOutcome::NoAnswer);
    EXPECT_EQ(rig.host.list.lines(), std::vector<std::string>{link_text::kNoAnswer});
    EXPECT_FALSE(rig.engine.serialQueryPending());
    EXPECT_TRUE(rig.engine.serialQueryAllowed());
}

// While the query waits, neither a read-back nor a programming run starts: a late serial
// answer would be stored as image bytes or taken as an acknowledgement.
TEST(SerialNumber, NoOtherExchangeStartsWhileTheQueryWaits)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentTo('7'));
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath());
    rig.host.controls = startupSettings();
    rig.engine.BBserialClick();
    ASSERT_TRUE(sim.waitForFrames(1, 1s));
    rig.engine.BBloadClick();
    rig.engine.BprogramujClick();
    EXPECT_TRUE(rig.engine.serialQueryPending());
    EXPECT_EQ(rig.engine.readBackState(), ReadBackState::Idle);
    EXPECT_EQ(rig.engine.programmingState(), ProgrammingState::Idle);
    ASSERT_TRUE(rig.waitForOutcome(2s));
    EXPECT_EQ(sim.frameCount(), 1);

    // Once it has ended, the others start as usual.
    rig.engine.BprogramujClick();
    ASSERT_TRUE(rig.waitForOutcome(5s, 2));
    EXPECT_EQ(rig.host.outcomes.back(), LinkOutcome::Programmed);
    EXPECT_TRUE(rig.engine.serialQueryAllowed());
}

TEST(ReadBackPieces, TakeReadBackImageNeverReadsPastTheStore)
{
    LinkRig rig("/nonexistent/port");
    rig.image.fill(0xEE);
    for (int b : {0x55, 1, 2, 3})
        rig.engine.StoreReceivedByte(static_cast<std::uint8_t>(b));
    rig.engine.TakeReadBackImage();
    DeviceImage expected{};
    expected[0] = 1;
    expected[1] = 2;
    expected[2] = 3;
    EXPECT_EQ(rig.image, expected);
    EXPECT_TRUE(rig.engine.readBackStore().empty());
    rig.engine.TakeReadBackImage();  // an empty store gives an all-zero image
    EXPECT_EQ(rig.image, DeviceImage{});
}

}  // namespace
}  // namespace tarnik
