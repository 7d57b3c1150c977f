// The wire trace: what a port writes to its sink, and how bytes are shown.

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "hand_over_loop.h"
#include "pty_pair.h"
#include "serial/comport.h"
#include "serial/trace.h"

namespace tarnik {
namespace {

using test::PtyPair;
using test::UiLoop;

class RecordingSink : public TraceSink {
public:
    void TraceLine(const std::string& line) noexcept override
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

std::string TagOf(const std::string& line)
{
    const std::string tag = line.substr(10, 5);
    return tag.substr(0, tag.find(' '));
}

long long MicrosOf(const std::string& line)
{
    return std::stoll(line.substr(0, 9));
}

TEST(WireTrace, BytesShowAsHexAndPrintableRowsOfSixteen)
{
    EXPECT_EQ(FormatTraceBytes("*2*1", 4), "2A 32 2A 31" + std::string(38, ' ') + "*2*1");
    const std::string twenty = std::string("OK*1\r\n") + std::string(14, '\x80');
    const std::string text = FormatTraceBytes(twenty.data(), 20);
    const auto newline = text.find('\n');
    ASSERT_NE(newline, std::string::npos);
    EXPECT_EQ(text.substr(0, newline),
              "4F 4B 2A 31 0D 0A 80 80 80 80 80 80 80 80 80 80  OK*1............");
    // The second row lines up under the first's bytes.
    EXPECT_EQ(text.substr(newline + 1),
              std::string(16, ' ') + "80 80 80 80" + std::string(38, ' ') + "....");
    EXPECT_EQ(FormatTraceLine(1234, "TX", "x"), "     1234 TX    x");
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
    ASSERT_TRUE(ui.PumpUntil([&] { return received == "OK*1"; }));
    port.TraceNote(trace_tag::kLink, "programming requested");
    port.Close();
    port.DetachLink(&reader);

    const auto lines = sink->Lines();
    std::vector<std::string> tags;
    for (const auto& line : lines)
        tags.push_back(TagOf(line));
    EXPECT_EQ(tags, (std::vector<std::string>{"OPEN", "SET", "TX", "RX", "LINK", "CLOSE"}));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].substr(16), pty.SlavePath());
    EXPECT_EQ(lines[1].substr(16),
              "115200 8N1, rtscts off, xon/xoff off/off, DTR off, RTS off, event char 0x0A");
    EXPECT_EQ(lines[2].substr(16), FormatTraceBytes("*2*1", 4));
    EXPECT_EQ(lines[3].substr(16), FormatTraceBytes("OK*1", 4));
    EXPECT_EQ(lines[4].substr(16), "programming requested");
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_LE(MicrosOf(lines[i - 1]), MicrosOf(lines[i])) << "time since open runs on";
}

TEST(WireTrace, ErrorsAreTracedWithTheirMessage)
{
    auto sink = std::make_shared<RecordingSink>();
    TComPort port;
    port.SetTraceSink(sink);
    port.SetPort("ttyNoSuchDevice7");
    EXPECT_THROW(port.Open(), EComPort);
    const auto lines = sink->Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(TagOf(lines[0]), "ERROR");
    EXPECT_EQ(lines[0].find("Unable to open com port (win error code: 2)"), 16u) << lines[0];
}

TEST(WireTrace, APortWithoutASinkTracesNothingAndWorks)
{
    // Ports made before a default is installed keep none; the default reaches later ones.
    PtyPair pty;
    TComPort before;
    auto sink = std::make_shared<RecordingSink>();
    SetDefaultTraceSink(sink);
    TComPort after;
    SetDefaultTraceSink(nullptr);
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
