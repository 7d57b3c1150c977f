#include "serial/trace.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace tarnik {

namespace {
std::mutex defaultMutex;
std::shared_ptr<TraceSink> defaultSink;

constexpr int kBytesPerRow = 16;
// Where the text starts on a line: 9 digits, a blank, a 5-wide tag, a blank.
constexpr int kTextColumn = 16;
}  // namespace

void SetDefaultTraceSink(std::shared_ptr<TraceSink> sink)
{
    std::lock_guard lock(defaultMutex);
    defaultSink = std::move(sink);
}

std::shared_ptr<TraceSink> DefaultTraceSink()
{
    std::lock_guard lock(defaultMutex);
    return defaultSink;
}

std::string FormatTraceLine(long long micros, std::string_view tag, std::string_view text)
{
    char head[48];
    std::snprintf(head, sizeof head, "%9lld %-5.*s ", micros, static_cast<int>(tag.size()),
                  tag.data());
    return std::string(head).append(text);
}

std::string FormatTraceBytes(const char* data, int count)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (int row = 0; row < count; row += kBytesPerRow) {
        if (row > 0)
            out.append("\n").append(kTextColumn, ' ');
        const int end = std::min(count, row + kBytesPerRow);
        std::string printable;
        for (int i = row; i < end; ++i) {
            const auto byte = static_cast<unsigned char>(data[i]);
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
            out += ' ';
            printable += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
        }
        out.append(static_cast<size_t>(kBytesPerRow - (end - row)) * 3 + 1, ' ');
        out += printable;
    }
    return out;
}

}  // namespace tarnik
