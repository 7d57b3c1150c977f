#include "serial/trace.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "text/control_characters.h"

namespace tarnik {

namespace {
std::mutex defaultMutex;
std::shared_ptr<TraceSink> defaultSink;

constexpr int kBytesPerRow = 16;

bool isMasked(const ByteRanges& masked, std::size_t offset)
{
    return std::any_of(masked.begin(), masked.end(), [offset](const ByteRange& r) {
        return offset >= r.begin && offset < r.end;
    });
}
}  // namespace

void setDefaultTraceSink(std::shared_ptr<TraceSink> sink)
{
    std::lock_guard lock(defaultMutex);
    defaultSink = std::move(sink);
}

std::shared_ptr<TraceSink> defaultTraceSink()
{
    std::lock_guard lock(defaultMutex);
    return defaultSink;
}

long long TraceSink::Elapsed() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

void TraceSink::Trace(std::string_view port, std::string_view tag, std::string_view text) noexcept
{
    try {
        TraceLine(tag,
                  formatTraceLine(Elapsed(), namePorts_ ? port : std::string_view(), tag, text));
    } catch (...) {
        // Out of memory while tracing: the trace loses a line, the port goes on.
    }
}

void TraceSink::TraceBytes(std::string_view port, std::string_view tag, const char* data, int count,
                           const ByteRanges& masked, std::string_view maskNote) noexcept
{
    try {
        const long long micros = Elapsed();
        const std::string_view named = namePorts_ ? port : std::string_view();
        const ByteRanges& hidden = showSecrets_ ? ByteRanges{} : masked;
        std::string note;
        if (!hidden.empty() && !maskNote.empty())
            note.append("  ").append(maskNote);
        for (const std::string& row : formatTraceBytes(data, count, hidden))
            TraceLine(tag, formatTraceLine(micros, named, tag, row + note));
    } catch (...) {
    }
}

std::string formatTraceLine(long long micros, std::string_view port, std::string_view tag,
                            std::string_view text)
{
    char head[48];
    std::snprintf(head, sizeof head, "%9lld ", micros);
    std::string line(head);
    if (!port.empty())
        line.append(escapeControlCharacters(port)).append(1, ' ');
    line.append(tag).append(tag.size() < 5 ? 5 - tag.size() : 0, ' ').append(1, ' ');
    return line.append(escapeControlCharacters(text));
}

std::vector<std::string> formatTraceBytes(const char* data, int count, const ByteRanges& masked)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::vector<std::string> rows;
    for (int row = 0; row < count; row += kBytesPerRow) {
        const int end = std::min(count, row + kBytesPerRow);
        std::string out;
        std::string printable;
        for (int i = row; i < end; ++i) {
            const auto byte = static_cast<unsigned char>(data[i]);
            if (isMasked(masked, static_cast<std::size_t>(i))) {
                out += "** ";
                printable += '*';
                continue;
            }
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
            out += ' ';
            printable += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
        }
        out.append(static_cast<size_t>(kBytesPerRow - (end - row)) * 3 + 1, ' ');
        rows.push_back(out + printable);
    }
    return rows;
}

std::vector<std::string> formatTraceHeader(const TraceHeader& header, std::time_t started)
{
    char when[40] = "";
    std::tm local{};
    if (localtime_r(&started, &local) != nullptr)
        std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::string time = when;
    // strftime gives the offset as +hhmm; ISO 8601's extended form is +hh:mm.
    if (time.size() >= 5)
        time.insert(time.size() - 2, 1, ':');
    std::vector<std::string> lines;
    lines.push_back(std::string(kTraceFileStart) + time);
    lines.push_back("# program: " + escapeControlCharacters(header.program));
    for (const auto& [name, description] : header.ports)
        lines.push_back(
            "# port: " + escapeControlCharacters(name) +
            (description.empty() ? "" : " (" + escapeControlCharacters(description) + ")"));
    if (!header.lineSettings.empty())
        lines.push_back("# line: " + escapeControlCharacters(header.lineSettings));
    lines.push_back(std::string("# ") +
                    (header.secretsShown ? trace_text::kShown : trace_text::kMasked));
    return lines;
}

}  // namespace tarnik
