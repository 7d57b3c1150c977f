#pragma once

// The wire trace: every open, close, setting, transfer and error of a port as lines of
// text, handed to a sink that the program supplies (the Qt side writes them to a logging
// category, a file and a memory of recent lines). Without a sink the port formats
// nothing: tracing that is off costs one pointer test per operation.
//
// One sink is one clock: every line carries the microseconds since the sink was made,
// so the lines of several ports sharing it interleave in order. When the sink names
// ports, the port's name follows the time:
//   "     1234 TX    2A 32 2A 31                                      *2*1"
//   "     1234 ttyUSB1 TX    2A 32 2A 31                                      *2*1"
// Every line stands alone: a transfer of more than 16 bytes takes one line per row of
// 16, each with the time and tag, and line breaks inside a message are escaped.
//
// Bytes the port's owner marks as secret (codes, phone numbers) show as "**" in the
// hexadecimal column and '*' in the printable one, unless the sink shows secrets.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnik {

// Bytes [begin, end) of a transfer or of a stream of transfers.
struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};
using ByteRanges = std::vector<ByteRange>;
// The end of a range that reaches to the end of whatever is traced.
inline constexpr std::size_t kAllBytes = static_cast<std::size_t>(-1);

class TraceSink {
public:
    TraceSink() = default;
    virtual ~TraceSink() = default;
    TraceSink(const TraceSink&) = delete;
    TraceSink& operator=(const TraceSink&) = delete;

    // One entry of the port `port` (empty: the line names none) with this sink's time.
    void Trace(std::string_view port, std::string_view tag, std::string_view text) noexcept;
    // Bytes sent or received; the bytes in `masked` (offsets into `data`) are hidden
    // unless ShowsSecrets(). A `maskNote` follows every row that hides bytes, to say why.
    void TraceBytes(std::string_view port, std::string_view tag, const char* data, int count,
                    const ByteRanges& masked, std::string_view maskNote = {}) noexcept;

    // Lines name their port (for a trace of more than one port). Off at first.
    void SetNamePorts(bool name) { namePorts_ = name; }
    bool NamesPorts() const { return namePorts_; }
    // Secret bytes shown in clear. Off at first; only for a user who asked for it.
    void SetShowSecrets(bool show) { showSecrets_ = show; }
    bool ShowsSecrets() const { return showSecrets_; }

    // Microseconds since the sink was made.
    long long Elapsed() const;

protected:
    // One complete line without its line end, and the tag it carries. Called on the
    // thread of the operation traced (the user-interface thread, or the event thread
    // with smNone); must not throw.
    virtual void TraceLine(std::string_view tag, const std::string& line) noexcept = 0;

private:
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::atomic<bool> namePorts_{false};
    std::atomic<bool> showSecrets_{false};
};

// The sink given to every port constructed from now on (nullptr: none).
void setDefaultTraceSink(std::shared_ptr<TraceSink> sink);
std::shared_ptr<TraceSink> defaultTraceSink();

// Tags of the lines, by what they record.
namespace trace_tag {
inline constexpr std::string_view kOpen = "OPEN";
inline constexpr std::string_view kClose = "CLOSE";
inline constexpr std::string_view kSettings = "SET";
inline constexpr std::string_view kSent = "TX";
inline constexpr std::string_view kReceived = "RX";
inline constexpr std::string_view kError = "ERROR";
inline constexpr std::string_view kLost = "LOST";
inline constexpr std::string_view kLink = "LINK";
// An answer of the module once the link has checked it, its secret bytes masked.
inline constexpr std::string_view kAnswer = "ANSW";
}  // namespace trace_tag

// "<micros right-aligned in 9> [<port> ]<tag padded to 5> <text>", the text escaped
// by escapeControlCharacters (text/control_characters.h).
std::string formatTraceLine(long long micros, std::string_view port, std::string_view tag,
                            std::string_view text);
// Bytes as rows of up to 16 hexadecimal pairs, each row followed by its printable
// characters ('.' for the others); a masked byte is "**" and '*'. Every byte of a range
// may lie past `count` (a range to the end of a stream: {0, kAllBytes}).
std::vector<std::string> formatTraceBytes(const char* data, int count,
                                          const ByteRanges& masked = {});

// How a trace file begins: its first line is this, then the time it started.
inline constexpr std::string_view kTraceFileStart = "# Tarnik wire trace, started ";

// What a trace file says before its first line.
struct TraceHeader {
    std::string program;                                     // name and version
    std::vector<std::pair<std::string, std::string>> ports;  // name, description
    std::string lineSettings;
    bool secretsShown = false;
};
// Lines beginning with "# ": the start as ISO 8601 local time with its offset, the
// program, each port, the line settings and whether codes and numbers are masked.
std::vector<std::string> formatTraceHeader(const TraceHeader& header, std::time_t started);

namespace trace_text {
inline constexpr const char* kMasked =
    "PIN, SMS access code, output switch codes and phone numbers are masked: each of their "
    "bytes shows as ** (hex) and * (text), so lengths are kept. Received bytes are all masked "
    "until checked; a checked answer follows as ANSW with only those settings masked.";
inline constexpr const char* kShown =
    "WARNING: PIN, SMS access code, output switch codes and phone numbers are shown in "
    "clear (--trace-secrets). Do not pass this file on.";
}  // namespace trace_text

}  // namespace tarnik
