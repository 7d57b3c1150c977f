#include "link/link_trace.h"

#include <algorithm>
#include <string_view>

#include "link/link_engine.h"
#include "link/protocol.h"
#include "model/image_layout.h"
#include "model/settings_catalogue.h"
#include "serial/comport.h"
#include "serial/port_list.h"

namespace tarnik {

namespace {

ByteRanges collectSecretImageBytes()
{
    ByteRanges ranges;
    for (const SettingEntry& entry : settingsCatalogue()) {
        if (!isSecretCode(entry.key) && !isPhoneNumber(entry.key))
            continue;
        for (const ImageSpan& span : entry.image)
            ranges.push_back({span.offset, span.offset + span.width});
    }
    // The header's checksum sums the output codes and the access code with bytes the
    // trace shows: left visible, it would give away their sum.
    ranges.push_back({image::kChecksum, image::kChecksum + 1});
    std::sort(ranges.begin(), ranges.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.begin < b.begin; });
    return ranges;
}

// The secret image bytes within [first, first + count), moved to start at `at`.
ByteRanges shifted(std::size_t first, std::size_t count, std::size_t at)
{
    ByteRanges out;
    for (const ByteRange& range : secretImageBytes()) {
        const std::size_t begin = std::max(range.begin, first);
        const std::size_t end = std::min(range.end, first + count);
        if (begin < end)
            out.push_back({begin - first + at, end - first + at});
    }
    return out;
}

}  // namespace

const ByteRanges& secretImageBytes()
{
    static const ByteRanges ranges = collectSecretImageBytes();
    return ranges;
}

ByteRanges secretChunkBytes(std::size_t imageOffset, std::size_t dataBytes)
{
    return shifted(imageOffset, dataBytes, 2);  // after '*' and the command character
}

ByteRanges secretReadBackBytes()
{
    return shifted(0, protocol::kReadBackImageBytes, protocol::kReadBackLeadBytes);
}

TraceHeader moduleTraceHeader(const std::string& program, const std::vector<std::string>& ports,
                              bool secretsShown)
{
    TraceHeader header;
    header.program = program;
    header.secretsShown = secretsShown;
    TComPort port;  // never opened: it only turns names and settings into text
    applyModuleLineSettings(port);
    header.lineSettings = port.LineSettingsText();
    const std::vector<SerialPortInfo> machine = describeSerialPorts();
    for (const std::string& name : ports) {
        port.SetPort(name);
        const auto known =
            std::find_if(machine.begin(), machine.end(), [&](const SerialPortInfo& info) {
                return info.path == port.DevicePath();
            });
        header.ports.emplace_back(name,
                                  known == machine.end() ? std::string() : known->description);
    }
    return header;
}

}  // namespace tarnik
