// Lines that misbehave as real lines and real hands do: bytes ahead of an answer, an
// answer of another command, a second press, noise, an answer cut short. An answer is
// taken only when it is exactly the one asked for; anything else is refused with a line
// that says what came, the image, the record and the controls stay as they were, and no
// secret of the module appears in the wire trace, however the bytes arrive.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

#include "configured_settings.h"
#include "event_loop.h"
#include "link/link_texts.h"
#include "link_rig.h"
#include "memory_trace.h"
#include "model/conversion.h"
#include "model/effective_settings.h"
#include "model/value_ranges.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"
#include "trace_reader.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;
using test::LinkRig;

// The module holds a fully configured image: PIN, access code, output codes, SMS
// centre and four user numbers.
SettingsRecord moduleSettings()
{
    return effectiveSettings(test::fullyConfigured().record).record();
}

std::vector<std::string> secretsOf(const SettingsRecord& r)
{
    const auto raw = [](const std::uint8_t* bytes, std::size_t count) {
        return std::string(reinterpret_cast<const char*>(bytes), count);
    };
    std::vector<std::string> secrets = {r.pin.str(), raw(r.pinMod.chars, 4), r.csms.str()};
    for (const auto& number : r.nrUser)
        secrets.push_back(number.str());
    for (int n = 0; n < 2; ++n) {
        secrets.push_back(raw(r.zalWyCode[n], 2));
        secrets.push_back(raw(r.wylWyCode[n], 2));
    }
    std::erase_if(secrets, [](const std::string& s) {
        return s.find_first_not_of('\0') == std::string::npos;
    });
    return secrets;
}

enum class Press { ReadBack, ReadBackTwice, ProgramDuringReadBack, Serial, SerialTwice };

struct OutOfStepCase {
    const char* name;
    std::function<void(SimulatorOptions&)> module;
    Press press;
    LinkOutcome outcome;
    std::string line;  // the last line of the information list
    int commandsSent;  // frames the module got
};

void PrintTo(const OutOfStepCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string lengthLine(const char* count)
{
    return std::string(link_text::kAnswerLength) + count + " zamiast 1703" +
           link_text::kAnswerNotTaken;
}

const OutOfStepCase kCases[] = {
    {"StrayNullAhead",
     [](SimulatorOptions& o) {
         o.behaviours.push_back(behaviour::BytesAhead('3', std::string(1, '\0')));
     },
     Press::ReadBack, LinkOutcome::BadAnswer, lengthLine("1704 bajty"), 1},
    {"RingAhead",
     [](SimulatorOptions& o) {
         o.behaviours.push_back(behaviour::BytesAhead('3', "\r\nRING\r\n"));
     },
     Press::ReadBack, LinkOutcome::BadAnswer, lengthLine("1711 bajtów"), 1},
    {"LateSerialAnswerAhead",
     [](SimulatorOptions& o) { o.behaviours.push_back(behaviour::BytesAhead('3', "A123*1OK*1")); },
     Press::ReadBack, LinkOutcome::BadAnswer, lengthLine("1713 bajtów"), 1},
    {"ShortAnswer", [](SimulatorOptions& o) { o.identity.readBackLength = 1000; }, Press::ReadBack,
     LinkOutcome::BadAnswer, lengthLine("1003 bajty"), 1},
    {"TwoSecondsOfNoise",
     [](SimulatorOptions& o) {
         o.behaviours.push_back([](CommandTurn& turn) {
             if (turn.command() != '3')
                 return;
             turn.answer.reset();
             auto random = std::make_shared<std::mt19937>(7);
             turn.stream(2s, [random] { return static_cast<char>((*random)() & 0xFF); });
         });
     },
     Press::ReadBack, LinkOutcome::BadAnswer, "", 1},
    {"DoublePress", [](SimulatorOptions&) {}, Press::ReadBackTwice, LinkOutcome::SettingsLoaded,
     link_text::kLoaded, 1},
    {"ProgrammingPressedDuringReadBack", [](SimulatorOptions&) {}, Press::ProgramDuringReadBack,
     LinkOutcome::SettingsLoaded, link_text::kLoaded, 1},
    {"SerialAnswerBehindAnAcknowledgement",
     [](SimulatorOptions& o) { o.behaviours.push_back(behaviour::BytesAhead('7', "OK*1")); },
     Press::Serial, LinkOutcome::BadAnswer, link_text::kSerialRefused, 1},
    {"SerialPressedTwice", [](SimulatorOptions&) {}, Press::SerialTwice, LinkOutcome::SerialNumber,
     "serial: A123", 1},
};

class OutOfStep : public ::testing::TestWithParam<OutOfStepCase> { };

TEST_P(OutOfStep, NeverTakesAShiftedAnswerNorTracesASecret)
{
    const OutOfStepCase& c = GetParam();
    const SettingsRecord held = moduleSettings();
    SimulatorOptions options;
    options.memory.emplace();
    SettingsToImage(held, *options.memory);
    options.pacing.pieceBytes = 200;  // answers arrive in pieces, as over a real adapter
    c.module(options);
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 1500);
    auto trace = std::make_shared<test::MemoryTraceSink>();
    rig.port.SetTraceSink(trace);
    rig.host.record = startupSettings();
    rig.host.controls = startupSettings();
    rig.image.fill(0xEE);
    const SettingsRecord recordBefore = rig.host.record;
    const DeviceImage imageBefore = rig.image;

    switch (c.press) {
    case Press::ReadBack:
        rig.engine.BBloadClick();
        break;
    case Press::ReadBackTwice:
        rig.engine.BBloadClick();
        test::pumpFor(80ms);
        rig.engine.BBloadClick();
        break;
    case Press::ProgramDuringReadBack:
        rig.engine.BBloadClick();
        rig.engine.BprogramujClick();
        EXPECT_FALSE(rig.engine.busy()) << "no programming run starts";
        break;
    case Press::Serial:
        rig.engine.BBserialClick();
        break;
    case Press::SerialTwice:
        rig.engine.BBserialClick();
        rig.engine.BBserialClick();
        break;
    }
    ASSERT_TRUE(rig.waitForOutcome(5s));
    test::pumpFor(100ms);  // a second exchange, had one started, would end here
    ASSERT_EQ(rig.host.outcomes.size(), 1u);
    EXPECT_EQ(rig.host.outcomes.front(), c.outcome);
    EXPECT_EQ(sim.frameCount(), c.commandsSent);
    if (!c.line.empty()) {
        EXPECT_EQ(rig.host.lastLine(), c.line);
    }
    EXPECT_FALSE(rig.engine.exchangeRunning());
    EXPECT_FALSE(rig.host.timer.isArmed());

    if (c.outcome == LinkOutcome::SettingsLoaded) {
        ASSERT_EQ(rig.host.shown.size(), 1u);
        EXPECT_EQ(rig.host.shown.front().pin.str(), held.pin.str());
        EXPECT_EQ(rig.host.shown.front().nrUser[3].str(), held.nrUser[3].str());
    } else {
        EXPECT_TRUE(rig.host.shown.empty());
        EXPECT_EQ(std::memcmp(&rig.host.record, &recordBefore, sizeof recordBefore), 0);
        if (c.press != Press::Serial && c.press != Press::SerialTwice) {
            EXPECT_EQ(rig.image, imageBefore);
        }
    }

    const test::ReadTrace read = test::parseTrace(trace->Text(), false);
    ASSERT_FALSE(read.bytes.empty());
    for (const std::string& secret : secretsOf(held))
        EXPECT_FALSE(read.Contains(secret)) << "secret in the trace: " << secret;
    EXPECT_EQ(trace->Text().find(held.nrUser[0].str()), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Lines, OutOfStep, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

// Received bytes are traced before they are checked: all masked, each row saying so; the
// answer once taken is traced whole with only its secret bytes masked, so the trace
// still shows what the module holds apart from its secrets.
TEST(OutOfStepTrace, ATakenAnswerIsTracedWithOnlyItsSecretsMasked)
{
    const SettingsRecord held = moduleSettings();
    SimulatorOptions options;
    options.memory.emplace();
    SettingsToImage(held, *options.memory);
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 1500);
    auto trace = std::make_shared<test::MemoryTraceSink>();
    rig.port.SetTraceSink(trace);
    ASSERT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);

    const test::ReadTrace read = test::parseTrace(trace->Text(), false);
    const auto& received = read.bytes.at({"", "RX"});
    const auto& answer = read.bytes.at({"", "ANSW"});
    EXPECT_EQ(received.size(), 1703u);
    EXPECT_EQ(std::count(received.begin(), received.end(), test::kMaskedByte), 1703);
    ASSERT_EQ(answer.size(), 1703u);
    EXPECT_LT(std::count(answer.begin(), answer.end(), test::kMaskedByte), 200);
    EXPECT_EQ(answer[1703 - 2], '*');
    EXPECT_EQ(answer[1703 - 1], '1');
    for (const test::TraceLine& line : read.lines) {
        if (line.tag == "RX") {
            EXPECT_NE(line.text.find("(masked until checked)"), std::string::npos) << line.text;
        }
    }
    for (const std::string& secret : secretsOf(held))
        EXPECT_FALSE(read.Contains(secret)) << secret;

    // Asked for, the secrets show: the user's own trace.
    trace->SetShowSecrets(true);
    ASSERT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);
    EXPECT_TRUE(test::parseTrace(trace->Text(), false).Contains(held.pin.str()));
}

// The header checksum (image byte 41) sums the header: an answer whose checksum does not
// fit its bytes is taken, with a warning.
TEST(OutOfStepTrace, AWrongHeaderChecksumIsTakenWithAWarning)
{
    SimulatorOptions options;
    options.memory.emplace();
    SettingsToImage(moduleSettings(), *options.memory);
    (*options.memory)[41] ^= 0x5A;
    ModuleSimulator sim(options);
    sim.start();
    LinkRig rig(sim.devicePath(), 1500);
    ASSERT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);
    EXPECT_EQ(rig.host.list.lines(),
              (std::vector<std::string>{link_text::kLoaded, link_text::kChecksumWarning}));
}

}  // namespace
}  // namespace tarnik
