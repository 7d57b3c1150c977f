#pragma once

// Reads a wire trace file back into what it records, for tests that check what a trace
// shows: the header, and the bytes of every TX, RX and ANSW (a checked answer) line
// joined per port and tag, with masked bytes kept as a marker so that lengths can be
// compared.

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tarnik::test {

struct TraceLine {
    long long micros = 0;
    std::string port;  // empty when the trace names no ports
    std::string tag;
    std::string text;
};

// A byte as the trace shows it: 0..255, or kMaskedByte.
inline constexpr int kMaskedByte = -1;

struct ReadTrace {
    std::vector<std::string> header;  // the "# " lines
    std::vector<TraceLine> lines;
    // Bytes by (port, "TX", "RX" or "ANSW"), in the order they were traced.
    std::map<std::pair<std::string, std::string>, std::vector<int>> bytes;

    // True when `sequence` appears among the bytes of any port and direction.
    bool Contains(const std::string& sequence) const
    {
        for (const auto& [key, stream] : bytes) {
            if (stream.size() < sequence.size())
                continue;
            for (std::size_t at = 0; at + sequence.size() <= stream.size(); ++at) {
                std::size_t i = 0;
                while (i < sequence.size() &&
                       stream[at + i] == static_cast<unsigned char>(sequence[i]))
                    ++i;
                if (i == sequence.size())
                    return true;
            }
        }
        return false;
    }
};

// `namedPorts`: the lines carry a port name between the time and the tag.
inline ReadTrace parseTrace(const std::string& text, bool namedPorts)
{
    ReadTrace trace;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("# ", 0) == 0) {
            trace.header.push_back(line);
            continue;
        }
        TraceLine entry;
        std::istringstream fields(line);
        fields >> entry.micros;
        if (namedPorts)
            fields >> entry.port;
        fields >> entry.tag;
        // The text starts after the tag, padded to 5, and one blank.
        const std::size_t tagAt =
            line.find(entry.tag, line.find_first_not_of(' ') + std::to_string(entry.micros).size());
        const std::size_t textAt = tagAt + std::max<std::size_t>(entry.tag.size(), 5) + 1;
        entry.text = textAt <= line.size() ? line.substr(textAt) : std::string();
        if (entry.tag == "TX" || entry.tag == "RX" || entry.tag == "ANSW") {
            // Up to 16 pairs of three characters, then the printable column.
            std::istringstream pairs(entry.text.substr(0, 16 * 3));
            auto& stream = trace.bytes[{entry.port, entry.tag}];
            for (std::string pair; pairs >> pair;)
                stream.push_back(pair == "**" ? kMaskedByte : std::stoi(pair, nullptr, 16));
        }
        trace.lines.push_back(std::move(entry));
    }
    return trace;
}

}  // namespace tarnik::test
