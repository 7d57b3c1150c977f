#pragma once

// The wire trace: every open, close, setting, transfer and error of a port as one line
// of text, handed to a sink that the program supplies (the Qt side writes it to a
// logging category, a file and a memory of recent lines). Without a sink the port
// formats nothing: tracing that is off costs one pointer test per operation.
//
// Lines read "<microseconds since the port opened> <tag> <text>", for example
//   "     1234 TX    2A 32 2A 31                                      *2*1".

#include <memory>
#include <string>
#include <string_view>

namespace tarnik {

class TraceSink {
public:
    virtual ~TraceSink() = default;
    // One complete line without its line end. Called on the thread of the operation
    // traced (the user-interface thread, or the event thread with smNone); must not
    // throw.
    virtual void TraceLine(const std::string& line) noexcept = 0;
};

// The sink given to every port constructed from now on (nullptr: none).
void SetDefaultTraceSink(std::shared_ptr<TraceSink> sink);
std::shared_ptr<TraceSink> DefaultTraceSink();

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
}  // namespace trace_tag

// "<micros right-aligned in 9> <tag padded to 5> <text>".
std::string FormatTraceLine(long long micros, std::string_view tag, std::string_view text);
// Bytes as hexadecimal pairs, 16 to a row, each row followed by its printable
// characters ('.' for the others); rows after the first start on a new line indented
// under the first.
std::string FormatTraceBytes(const char* data, int count);

}  // namespace tarnik
