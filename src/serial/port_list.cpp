#include "serial/port_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace tarnik {

namespace fs = std::filesystem;

namespace {

bool StartsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

// A legacy 8250-style port is listed only when a UART answers behind it; the driver
// creates ttyS0..ttyS31 whether or not the hardware exists, and marks the absent ones
// with type 0 (PORT_UNKNOWN).
bool UartPresent(const fs::path& entry)
{
    std::ifstream in(entry / "type");
    int type = 0;
    return static_cast<bool>(in >> type) && type != 0;
}

bool CaseInsensitiveLess(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::vector<std::string> ListSerialPorts(const std::string& ttyClassDir)
{
    std::vector<std::string> ports;
    try {
        std::error_code ec;
        for (fs::directory_iterator it(ttyClassDir, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path entry = it->path();
            const std::string name = entry.filename().string();
            std::error_code linkError;
            // Virtual terminals, ptys and the console have no driver behind a device.
            if (!fs::exists(entry / "device" / "driver", linkError))
                continue;
            if (StartsWith(name, "ttyS") && !UartPresent(entry))
                continue;
            ports.push_back("/dev/" + name);
        }
        std::stable_sort(ports.begin(), ports.end(), CaseInsensitiveLess);
    } catch (...) {
        // Listing never fails: whatever was found so far is the list.
    }
    return ports;
}

std::vector<std::string> ListSerialPorts()
{
    return ListSerialPorts("/sys/class/tty");
}

}  // namespace tarnik
