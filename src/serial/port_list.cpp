#include "serial/port_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

namespace tarnik {

namespace fs = std::filesystem;

namespace {

bool startsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

// A legacy 8250-style port is listed only when a UART answers behind it; the driver
// creates ttyS0..ttyS31 whether or not the hardware exists, and marks the absent ones
// with type 0 (PORT_UNKNOWN).
bool uartPresent(const fs::path& entry)
{
    std::ifstream in(entry / "type");
    int type = 0;
    return static_cast<bool>(in >> type) && type != 0;
}

bool caseInsensitiveLess(const std::string& a, const std::string& b)
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
            if (startsWith(name, "ttyS") && !uartPresent(entry))
                continue;
            ports.push_back("/dev/" + name);
        }
        std::stable_sort(ports.begin(), ports.end(), caseInsensitiveLess);
    } catch (...) {
        // Listing never fails: whatever was found so far is the list.
    }
    return ports;
}

namespace {

// The first line of a sysfs attribute, made safe to show, without surrounding blanks;
// empty when absent.
std::string attribute(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    line = sanitizeDeviceText(line);
    const auto first = line.find_first_not_of(' ');
    const auto last = line.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

// The name of the folder a sysfs link such as "driver" or "subsystem" leads to; empty
// when there is no such link.
std::string linkTarget(const fs::path& link)
{
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    return ec ? std::string() : target.filename().string();
}

struct UsbDevice {
    fs::path dir;
    std::string serial;
};

// The USB device above `device`, if there is one.
std::optional<UsbDevice> findUsbDevice(const fs::path& device, const fs::path& sysRoot)
{
    for (fs::path dir = device; !dir.empty() && dir != sysRoot && dir != dir.root_path();
         dir = dir.parent_path()) {
        std::error_code ec;
        if (fs::exists(dir / "idVendor", ec))
            return UsbDevice{dir, attribute(dir / "serial")};
    }
    return std::nullopt;
}

// `texts` then `tail` within kDeviceTextMax characters: the device's texts give way
// first (cut, with an ellipsis), so that the ids and the stable name, which tell a port
// apart, stay whole while they fit.
std::string fitDescription(const std::string& texts, const std::string& tail)
{
    static constexpr std::string_view kEllipsis = "…";
    const std::size_t tailLength = characterCount(tail);
    if (characterCount(texts) + tailLength <= kDeviceTextMax)
        return texts + tail;
    if (tailLength + 1 < kDeviceTextMax)
        return sanitizeDeviceText(texts, kDeviceTextMax - tailLength - 1) + std::string(kEllipsis) +
               tail;
    return sanitizeDeviceText(texts + tail, kDeviceTextMax - 1) + std::string(kEllipsis);
}

// "manufacturer product (serial), USB vvvv:pppp[, STABLE NAME]"; the numbers alone when
// the device gives no texts.
std::string usbDescription(const UsbDevice& usb, const std::string& stable)
{
    std::string text = attribute(usb.dir / "manufacturer");
    const std::string product = attribute(usb.dir / "product");
    if (!product.empty())
        text += (text.empty() ? "" : " ") + product;
    if (!usb.serial.empty())
        text += (text.empty() ? "" : " ") + ("(" + usb.serial + ")");
    std::string tail =
        "USB " + attribute(usb.dir / "idVendor") + ":" + attribute(usb.dir / "idProduct");
    if (!stable.empty())
        tail += ", " + stable;
    return text.empty() ? fitDescription({}, tail) : fitDescription(text, ", " + tail);
}

// The first (by name) link in the udev folder `dir` that leads to the device `name`, as
// a /dev path; empty when there is none.
std::string udevName(const fs::path& dir, const std::string& devDir, const std::string& name)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (fs::read_symlink(it->path(), linkError).filename() == name && !linkError)
            found.push_back(devDir + sanitizeDeviceText(it->path().filename().string()));
    }
    std::sort(found.begin(), found.end());
    return found.empty() ? std::string() : found.front();
}

// The device that does the work for a terminal: the tty's own device in the old layout;
// from kernel 6.5 on the tty hangs below a "port" and a "ctrl" device of the serial-base
// bus, and the real device (the one whose driver names the hardware) is above them.
fs::path hardwareDevice(const fs::path& ttyDevice, const fs::path& sysRoot)
{
    fs::path dir = ttyDevice;
    while (linkTarget(dir / "subsystem") == "serial-base" && dir.has_parent_path() &&
           dir.parent_path() != sysRoot && dir.parent_path() != dir.root_path())
        dir = dir.parent_path();
    return dir;
}

std::string describe(const fs::path& root, const std::string& name)
{
    const fs::path sysRoot = root / "sys";
    const fs::path entry = sysRoot / "class" / "tty" / name;
    std::error_code ec;
    const fs::path device = fs::canonical(entry / "device", ec);
    if (ec)
        return {};
    const auto usb = findUsbDevice(device, sysRoot);
    if (!usb) {
        const std::string driver =
            sanitizeDeviceText(linkTarget(hardwareDevice(device, sysRoot) / "driver"));
        return driver.empty() ? std::string(kBuiltInPort)
                              : fitDescription(std::string(kBuiltInPort) + " (" + driver, ")");
    }
    // Two identical adapters without serial numbers share their by-id name; only the
    // socket they are plugged into (by-path) tells them apart.
    const fs::path udev = root / "dev" / "serial";
    const std::string byId = udevName(udev / "by-id", "/dev/serial/by-id/", name);
    const std::string byPath = udevName(udev / "by-path", "/dev/serial/by-path/", name);
    std::string stable = usb->serial.empty() ? byPath : byId;
    if (stable.empty())
        stable = usb->serial.empty() ? byId : byPath;
    return usbDescription(*usb, stable);
}

}  // namespace

std::vector<SerialPortInfo> describeSerialPorts(const std::string& root)
{
    std::vector<SerialPortInfo> ports;
    for (std::string& path : ListSerialPorts((fs::path(root) / "sys" / "class" / "tty").string())) {
        std::string description;
        try {
            description = describe(root, fs::path(path).filename().string());
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
