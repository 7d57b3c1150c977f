// tarnik-cli's wire trace end to end: codes and numbers masked over a whole programming
// run and a read-back, several ports in one trace, a trace file on a full disk.

#include <algorithm>

#include "cli_fixture.h"
#include "model/conversion.h"
#include "model/effective_settings.h"
#include "model/value_ranges.h"
#include "trace_reader.h"

namespace tarnik {
namespace {

using test::kMaskedByte;
using test::parseTrace;

// Settings whose codes and numbers are easy to find, each different from the others.
SettingsRecord secretSettings()
{
    SettingsRecord record = startupSettings();
    record.pin.assign("7391");
    record.pinMod.assign("5820");
    record.csms.assign("+48609111222");
    const char* numbers[] = {"+48601234567", "+48602345678", "+48603456789", "+48604567890"};
    for (int u = 0; u < 4; ++u)
        record.nrUser[u].assign(numbers[u]);
    // The codes and the access code are programmed only with their SMS functions on.
    record.flags |= kSmsProgrammingBit | kSmsOutputControlBit[0] | kSmsOutputControlBit[1];
    const char codes[4][3] = {"qZ", "wX", "eV", "rB"};
    for (int n = 0; n < 2; ++n) {
        std::copy_n(codes[n], 2, record.zalWyCode[n]);
        std::copy_n(codes[2 + n], 2, record.wylWyCode[n]);
    }
    return record;
}

const std::vector<std::string> kSecrets = {
    "7391",         "5820", "+48609111222", "+48601234567", "+48602345678", "+48603456789",
    "+48604567890", "qZ",   "wX",           "eV",           "rB",
};

std::size_t masked(const std::vector<int>& bytes)
{
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), kMaskedByte));
}

TEST_F(Cli, TraceMasksCodesAndNumbersInAProgrammingRunAndAReadBack)
{
    const std::string file = saveSettings("secret.zvn", secretSettings());
    std::size_t sentBefore = 0, receivedBefore = 0;
    for (const bool secretsShown : {false, true}) {
        SCOPED_TRACE(secretsShown ? "--trace-secrets" : "masked");
        auto& module = simulator();
        const std::string trace = path(secretsShown ? "shown.txt" : "masked.txt");
        std::vector<std::string> args = {
            "program", "--port", module.devicePath(), "--verify", "--trace", trace, file};
        if (secretsShown)
            args.push_back("--trace-secrets");
        const CliResult r = run(args);
        ASSERT_EQ(r.status, 0) << r.err;

        const auto read = parseTrace(readFile(trace), false);
        const auto& sent = read.bytes.at({"", "TX"});
        const auto& received = read.bytes.at({"", "RX"});
        const auto& answer = read.bytes.at({"", "ANSW"});
        EXPECT_GE(sent.size(), 27 * 4 + 1195u);
        EXPECT_GE(received.size(), 1703u);
        EXPECT_EQ(answer.size(), 1703u);
        for (const std::string& secret : kSecrets)
            EXPECT_EQ(read.Contains(secret), secretsShown) << secret;
        // Each secret byte masked on the way out and in the checked read-back answer: the
        // PIN slot (7), the access code (4), five number slots (15 each), four codes (2
        // each), the header checksum that sums codes (1). Received bytes are all masked
        // as they come: nothing can tell them apart before they are checked.
        const std::size_t secretBytes = 7 + 4 + 5 * 15 + 4 * 2 + 1;
        EXPECT_EQ(masked(sent), secretsShown ? 0 : secretBytes);
        EXPECT_EQ(masked(answer), secretsShown ? 0 : secretBytes);
        EXPECT_EQ(masked(received), secretsShown ? 0 : received.size());
        // Masking keeps every byte's place: the same exchange, the same counts.
        if (secretsShown) {
            EXPECT_EQ(sent.size(), sentBefore);
            EXPECT_EQ(received.size(), receivedBefore);
        }
        sentBefore = sent.size();
        receivedBefore = received.size();
        ASSERT_FALSE(read.header.empty());
        EXPECT_NE(read.header.back().find(secretsShown ? "WARNING" : "are masked"),
                  std::string::npos)
            << read.header.back();
    }
}

TEST_F(Cli, TraceFileOpensWithAHeader)
{
    auto& module = simulator();
    const std::string trace = path("trace.txt");
    const CliResult r = run({"serial", "--port", module.devicePath(), "--trace", trace});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto read = parseTrace(readFile(trace), false);
    ASSERT_EQ(read.header.size(), 5u);
    // "# Tarnik wire trace, started 2026-12-08T06:10:00+01:00"
    const std::string& started = read.header[0];
    const std::string stamp = started.substr(started.rfind(' ') + 1);
    EXPECT_EQ(stamp.size(), 25u) << started;
    EXPECT_EQ(stamp[10], 'T') << started;
    EXPECT_TRUE(stamp[19] == '+' || stamp[19] == '-') << started;
    EXPECT_EQ(stamp[22], ':') << started;
    EXPECT_EQ(read.header[1].rfind("# program: tarnik-cli ", 0), 0u) << read.header[1];
    EXPECT_EQ(read.header[2], "# port: " + module.devicePath());
    EXPECT_EQ(read.header[3].rfind("# line: 115200 8N1", 0), 0u) << read.header[3];
}

// Two modules programmed at once: one clock, so the lines are in time order, and every
// line says which port it belongs to.
TEST_F(Cli, TraceOfTwoPortsNamesThePortOnEveryLine)
{
    auto& first = simulator();
    auto& second = anotherSimulator();
    const std::string trace = path("two.txt");
    const CliResult r = run({"program", "--defaults", "--port", first.devicePath(), "--port",
                             second.devicePath(), "--trace", trace});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto read = parseTrace(readFile(trace), true);
    ASSERT_FALSE(read.lines.empty());
    long long previous = 0;
    std::map<std::string, int> linesOf;
    for (const auto& line : read.lines) {
        EXPECT_GE(line.micros, previous);
        previous = line.micros;
        ++linesOf[line.port];
    }
    EXPECT_EQ(linesOf.size(), 2u);
    EXPECT_GT(linesOf[first.devicePath()], 0);
    EXPECT_GT(linesOf[second.devicePath()], 0);
    EXPECT_EQ(read.bytes.at({first.devicePath(), "TX"}), read.bytes.at({second.devicePath(), "TX"}))
        << "the same settings sent to both";
    EXPECT_GE(read.bytes.at({first.devicePath(), "TX"}).size(), 27 * 4 + 1195u);
}

// A trace file that cannot be written is said once; the exchange goes on and its exit
// status is the exchange's.
TEST_F(Cli, TraceOnAFullDiskIsReportedOnceAndTheExchangeStands)
{
    auto& module = simulator();
    const CliResult r = run({"serial", "--port", module.devicePath(), "--trace", "/dev/full"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines().size(), 1u);
    EXPECT_EQ(r.out.rfind("serial: ", 0), 0u) << r.out;
    const std::string said =
        "tarnik-cli: nie można pisać zapisu transmisji, zapis przerwano: /dev/full: ";
    EXPECT_EQ(r.err.rfind(said, 0), 0u) << r.err;
    EXPECT_EQ(r.err.find(said, 1), std::string::npos) << "said once: " << r.err;
}

}  // namespace
}  // namespace tarnik
