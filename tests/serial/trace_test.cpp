// The wire trace: what a port writes to its sink, and how bytes are shown.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <mutex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "hand_over_loop.h"
#include "pty_pair.h"
#include "serial/comport.h"
#include "serial/trace.h"
#include "text/control_characters.h"

namespace tarnik {
namespace {

using test::PtyPair;
using test::UiLoop;

class RecordingSink : public TraceSink {
public:
    void TraceLine(std::string_view, const std::string& line) noexcept override
    {
        std::lock_guard lock(mutex);
        lines.push_back(line);
    }
    std::vector<std::string> Lines()
    {
        std::lock_guard lock(mutex);
        return lines;
    }
    std::mutex mutex;
    std::vector<std::string> lines;
};

std::string tagOf(const std::string& line)
{
    const std::string tag = line.substr(10, 5);
    return tag.substr(0, tag.find(' '));
}

long long microsOf(const std::string& line)
{
    return std::stoll(line.substr(0, 9));
}

TEST(WireTrace, BytesShowAsHexAndPrintableRowsOfSixteen)
{
    EXPECT_EQ(formatTraceBytes("*2*1", 4),
              std::vector<std::string>{"2A 32 2A 31" + std::string(38, ' ') + "*2*1"});
    const std::string twenty = std::string("OK*1\r\n") + std::string(14, '\x80');
    const auto rows = formatTraceBytes(twenty.data(), 20);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "4F 4B 2A 31 0D 0A 80 80 80 80 80 80 80 80 80 80  OK*1............");
    EXPECT_EQ(rows[1], "80 80 80 80" + std::string(38, ' ') + "....");
    EXPECT_EQ(formatTraceLine(1234, "", "TX", "x"), "     1234 TX    x");
    EXPECT_EQ(formatTraceLine(1234, "ttyUSB1", "ERROR", "x"), "     1234 ttyUSB1 ERROR x");
}

TEST(WireTrace, MaskedBytesKeepTheirPlaceInBothColumns)
{
    struct Case {
        const char* name;
        std::string bytes;
        ByteRanges masked;
        std::vector<std::string> rows;
    };
    const std::string pad = std::string(3 * 8 + 2, ' ');
    const Case cases[] = {
        {"none", "*0\"1234\"", {}, {"2A 30 22 31 32 33 34 22" + pad + "*0\"1234\""}},
        {"inner", "*0\"1234\"", {{3, 7}}, {"2A 30 22 ** ** ** ** 22" + pad + "*0\"****\""}},
        {"two ranges, one past the end",
         "*0\"1234\"",
         {{0, 1}, {7, 40}},
         {"** 30 22 31 32 33 34 **" + pad + "*0\"1234*"}},
        {"across a row break",
         std::string(15, 'a') + "+48",
         {{15, 18}},
         {"61 61 61 61 61 61 61 61 61 61 61 61 61 61 61 **  aaaaaaaaaaaaaaa*",
          "** **" + std::string(3 * 14 + 2, ' ') + "**"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatTraceBytes(c.bytes.data(), static_cast<int>(c.bytes.size()), c.masked),
                  c.rows)
            << c.name;
}

TEST(WireTrace, MessagesTakeOneLine)
{
    EXPECT_EQ(escapeControlCharacters("Unable to open\nPermission denied.\r\t\x1B[2J"),
              "Unable to open\\nPermission denied.\\r\\t\\x1B[2J");
    RecordingSink sink;
    sink.SetNamePorts(true);
    sink.Trace("tty\nX", trace_tag::kError, "first\nsecond");
    ASSERT_EQ(sink.Lines().size(), 1u);
    EXPECT_EQ(sink.Lines()[0].find('\n'), std::string::npos);
    EXPECT_NE(sink.Lines()[0].find("tty\\nX ERROR first\\nsecond"), std::string::npos)
        << sink.Lines()[0];
}

TEST(WireTrace, HeaderSaysWhenWhatWhereHowAndThatSecretsAreMasked)
{
    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    setenv("TZ", "XYZ-02:30", 1);  // 2 h 30 min east of UTC
    tzset();
    TraceHeader header;
    header.program = "tarnik-cli 1.1";
    header.ports = {{"ttyUSB0", "FTDI FT232R USB UART (A1B2C3D4), USB 0403:6001"},
                    {"/dev/ttyS0", ""}};
    header.lineSettings = "115200 8N1";
    const auto masked = formatTraceHeader(header, 1796708400);  // 2026-12-08 05:40 UTC
    header.secretsShown = true;
    const auto shown = formatTraceHeader(header, 1796708400);
    if (previous)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();

    EXPECT_EQ(masked, (std::vector<std::string>{
                          "# Tarnik wire trace, started 2026-12-08T08:10:00+02:30",
                          "# program: tarnik-cli 1.1",
                          "# port: ttyUSB0 (FTDI FT232R USB UART (A1B2C3D4), USB 0403:6001)",
                          "# port: /dev/ttyS0",
                          "# line: 115200 8N1",
                          std::string("# ") + trace_text::kMasked,
                      }));
    EXPECT_EQ(shown.back(), std::string("# ") + trace_text::kShown);
}

TEST(WireTrace, AnExchangeIsTracedFromOpenToClose)
{
    PtyPair pty;
    UiLoop ui;
    auto sink = std::make_shared<RecordingSink>();
    TComPort port;
    port.SetTraceSink(sink);
    port.SetHandOver(ui.handOver);
    port.SetPort(pty.SlavePath());
    port.SetBaudRate(br115200);
    port.SetEventChar(10);
    std::string received;
    TComLink reader;
    reader.RxBufferHandler = [&](TCustomComPort&, const char* b, int n) {
        received.append(b, static_cast<size_t>(n));
    };
    port.AttachLink(&reader);

    port.Open();
    port.WriteText("*2*1");
    pty.WriteMaster("OK*1");
    ASSERT_TRUE(ui.pumpUntil([&] { return received == "OK*1"; }));
    port.TraceNote(trace_tag::kLink, "programming requested");
    port.Close();
    port.DetachLink(&reader);

    const auto lines = sink->Lines();
    std::vector<std::string> tags;
    for (const auto& line : lines)
        tags.push_back(tagOf(line));
    EXPECT_EQ(tags, (std::vector<std::string>{"OPEN", "SET", "TX", "RX", "LINK", "CLOSE"}));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].substr(16), pty.SlavePath());
    EXPECT_EQ(lines[1].substr(16),
              "115200 8N1, rtscts off, xon/xoff off/off, DTR off, RTS off, event char 0x0A");
    EXPECT_EQ(lines[2].substr(16), formatTraceBytes("*2*1", 4).front());
    EXPECT_EQ(lines[3].substr(16), formatTraceBytes("OK*1", 4).front());
    EXPECT_EQ(lines[4].substr(16), "programming requested");
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_LE(microsOf(lines[i - 1]), microsOf(lines[i])) << "the sink's clock runs on";
}

TEST(WireTrace, ErrorsAreTracedWithTheirMessage)
{
    auto sink = std::make_shared<RecordingSink>();
    TComPort port;
    port.SetTraceSink(sink);
    port.SetPort("ttyNoSuchDevice7");
    EXPECT_THROW(port.Open(), EComPort);
    const auto lines = sink->Lines();
    ASSERT_EQ(lines.size(), 1u) << "the advice on its own line is escaped into the entry";
    EXPECT_EQ(tagOf(lines[0]), "ERROR");
    EXPECT_EQ(lines[0].find("Unable to open com port (win error code: 2)\\nNo such file"), 16u)
        << lines[0];
}

// Two ports on one sink: one clock, so the lines come in order, and each line names its
// port, whatever it records.
TEST(WireTrace, TwoPortsShareOneClockAndNameTheirPortOnEveryLine)
{
    PtyPair ptyA, ptyB;
    UiLoop ui;
    auto sink = std::make_shared<RecordingSink>();
    sink->SetNamePorts(true);
    TComPort a, b;
    for (auto [port, pty] : {std::pair{&a, &ptyA}, std::pair{&b, &ptyB}}) {
        port->SetTraceSink(sink);
        port->SetHandOver(ui.handOver);
        port->SetEvents({});
        port->SetPort(pty->SlavePath());
    }
    a.TraceNote(trace_tag::kLink, "before any open");
    a.Open();
    b.Open();
    b.WriteText("*7*1");
    a.WriteText(std::string(20, 'x'));
    b.Close();
    a.Close();

    const auto lines = sink->Lines();
    std::vector<std::string> seen;
    long long previous = -1;
    for (const std::string& line : lines) {
        std::istringstream fields(line);
        long long micros = 0;
        std::string port, tag;
        fields >> micros >> port >> tag;
        EXPECT_GE(micros, previous) << line;
        previous = micros;
        EXPECT_TRUE(port == ptyA.SlavePath() || port == ptyB.SlavePath()) << line;
        seen.push_back((port == ptyA.SlavePath() ? "A " : "B ") + tag);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"A LINK", "A OPEN", "A SET", "B OPEN", "B SET",
                                              "B TX", "A TX", "A TX", "B CLOSE", "A CLOSE"}));
}

// Secret ranges count the bytes of one direction across transfers, from the moment they
// are set; a sink that shows secrets shows them.
TEST(WireTrace, SecretBytesAreMaskedWhereverTheTransfersCutThem)
{
    for (const bool show : {false, true}) {
        SCOPED_TRACE(show ? "shown" : "masked");
        PtyPair pty;
        UiLoop ui;
        auto sink = std::make_shared<RecordingSink>();
        sink->SetShowSecrets(show);
        TComPort port;
        port.SetTraceSink(sink);
        port.SetHandOver(ui.handOver);
        port.SetPort(pty.SlavePath());
        std::string received;
        TComLink reader;
        reader.RxBufferHandler = [&](TCustomComPort&, const char* data, int n) {
            received.append(data, static_cast<size_t>(n));
        };
        port.AttachLink(&reader);
        port.Open();
        port.WriteText("*3*1");
        port.MaskInTrace(TComPort::TraceDirection::Sent, {{2, 6}});
        port.WriteText("ab12");
        port.WriteText("34cd");
        port.MaskInTrace(TComPort::TraceDirection::Received, {{1, 4}});
        pty.WriteMaster("x123");
        ASSERT_TRUE(ui.pumpUntil([&] { return received == "x123"; }));
        pty.WriteMaster("y");
        ASSERT_TRUE(ui.pumpUntil([&] { return received == "x123y"; }));
        port.Close();
        port.DetachLink(&reader);

        std::vector<std::string> transfers;
        for (const std::string& line : sink->Lines())
            if (tagOf(line) == "TX" || tagOf(line) == "RX")
                transfers.push_back(line.substr(16));
        const auto row = [](const char* bytes) { return formatTraceBytes(bytes, 4).front(); };
        EXPECT_EQ(transfers, (std::vector<std::string>{
                                 row("*3*1"),
                                 show ? row("ab12") : "61 62 ** **" + std::string(38, ' ') + "ab**",
                                 show ? row("34cd") : "** ** 63 64" + std::string(38, ' ') + "**cd",
                                 show ? row("x123") : "78 ** ** **" + std::string(38, ' ') + "x***",
                                 formatTraceBytes("y", 1).front(),
                             }));
    }
}

TEST(WireTrace, APortWithoutASinkTracesNothingAndWorks)
{
    // Ports made before a default is installed keep none; the default reaches later ones.
    PtyPair pty;
    TComPort before;
    auto sink = std::make_shared<RecordingSink>();
    setDefaultTraceSink(sink);
    TComPort after;
    setDefaultTraceSink(nullptr);
    EXPECT_EQ(before.Trace(), nullptr);
    EXPECT_EQ(after.Trace(), sink);
    before.SetEvents({});
    before.SetPort(pty.SlavePath());
    before.Open();
    EXPECT_EQ(before.WriteText("ok"), 2);
    before.Close();
    EXPECT_TRUE(sink->Lines().empty());
}

}  // namespace
}  // namespace tarnik
