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

namespace {

// The first line of a sysfs attribute, without surrounding blanks; empty when absent.
std::string Attribute(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    const auto first = line.find_first_not_of(" \t\r");
    const auto last = line.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

// "manufacturer product (serial)" of the USB device above `device`, if there is one.
std::string UsbDescription(const fs::path& device, const fs::path& sysRoot)
{
    for (fs::path dir = device; !dir.empty() && dir != sysRoot && dir != dir.root_path();
         dir = dir.parent_path()) {
        std::error_code ec;
        if (!fs::exists(dir / "idVendor", ec))
            continue;
        std::string text = Attribute(dir / "manufacturer");
        const std::string product = Attribute(dir / "product");
        if (!product.empty())
            text += (text.empty() ? "" : " ") + product;
        if (text.empty())
            text = "USB " + Attribute(dir / "idVendor") + ":" + Attribute(dir / "idProduct");
        const std::string serial = Attribute(dir / "serial");
        if (!serial.empty())
            text += " (" + serial + ")";
        return text;
    }
    return {};
}

// The /dev/serial/by-id names that lead to the device `name`.
std::string StableName(const fs::path& byIdDir, const std::string& name)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(byIdDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (fs::read_symlink(it->path(), linkError).filename() == name && !linkError)
            found.push_back("/dev/serial/by-id/" + it->path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found.empty() ? std::string() : found.front();
}

std::string Describe(const fs::path& root, const std::string& name)
{
    const fs::path sysRoot = root / "sys";
    const fs::path entry = sysRoot / "class" / "tty" / name;
    std::error_code ec;
    const fs::path device = fs::canonical(entry / "device", ec);
    if (ec)
        return {};
    std::string text = UsbDescription(device, sysRoot);
    const std::string stable = StableName(root / "dev" / "serial" / "by-id", name);
    if (text.empty())
        text = fs::canonical(device / "driver", ec).filename().string();
    if (!stable.empty())
        text += (text.empty() ? "" : ", ") + stable;
    return text;
}

}  // namespace

std::vector<SerialPortInfo> DescribeSerialPorts(const std::string& root)
{
    std::vector<SerialPortInfo> ports;
    for (std::string& path : ListSerialPorts((fs::path(root) / "sys" / "class" / "tty").string())) {
        std::string description;
        try {
            description = Describe(root, fs::path(path).filename().string());
        } catch (...) {
            // A port that cannot be described is still listed.
        }
        ports.push_back({std::move(path), std::move(description)});
    }
    return ports;
}

std::vector<std::string> ListSerialPorts()
{
    return ListSerialPorts("/sys/class/tty");
}

}  // namespace tarnik
