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

// The first line of a sysfs attribute, made safe to show, without surrounding blanks;
// empty when absent.
std::string Attribute(const fs::path& file)
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
std::string LinkTarget(const fs::path& link)
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
std::optional<UsbDevice> FindUsbDevice(const fs::path& device, const fs::path& sysRoot)
{
    for (fs::path dir = device; !dir.empty() && dir != sysRoot && dir != dir.root_path();
         dir = dir.parent_path()) {
        std::error_code ec;
        if (fs::exists(dir / "idVendor", ec))
            return UsbDevice{dir, Attribute(dir / "serial")};
    }
    return std::nullopt;
}

// "manufacturer product (serial), USB vvvv:pppp"; the numbers alone when the device
// gives no texts.
std::string UsbDescription(const UsbDevice& usb)
{
    std::string text = Attribute(usb.dir / "manufacturer");
    const std::string product = Attribute(usb.dir / "product");
    if (!product.empty())
        text += (text.empty() ? "" : " ") + product;
    if (!usb.serial.empty())
        text += (text.empty() ? "" : " ") + ("(" + usb.serial + ")");
    const std::string ids =
        "USB " + Attribute(usb.dir / "idVendor") + ":" + Attribute(usb.dir / "idProduct");
    return text.empty() ? ids : text + ", " + ids;
}

// The first (by name) link in the udev folder `dir` that leads to the device `name`, as
// a /dev path; empty when there is none.
std::string UdevName(const fs::path& dir, const std::string& devDir, const std::string& name)
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
fs::path HardwareDevice(const fs::path& ttyDevice, const fs::path& sysRoot)
{
    fs::path dir = ttyDevice;
    while (LinkTarget(dir / "subsystem") == "serial-base" && dir.has_parent_path() &&
           dir.parent_path() != sysRoot && dir.parent_path() != dir.root_path())
        dir = dir.parent_path();
    return dir;
}

std::string Describe(const fs::path& root, const std::string& name)
{
    const fs::path sysRoot = root / "sys";
    const fs::path entry = sysRoot / "class" / "tty" / name;
    std::error_code ec;
    const fs::path device = fs::canonical(entry / "device", ec);
    if (ec)
        return {};
    const auto usb = FindUsbDevice(device, sysRoot);
    if (!usb) {
        const std::string driver =
            sanitizeDeviceText(LinkTarget(HardwareDevice(device, sysRoot) / "driver"));
        return driver.empty() ? std::string(kBuiltInPort)
                              : std::string(kBuiltInPort) + " (" + driver + ")";
    }
    // Two identical adapters without serial numbers share their by-id name; only the
    // socket they are plugged into (by-path) tells them apart.
    const fs::path udev = root / "dev" / "serial";
    const std::string byId = UdevName(udev / "by-id", "/dev/serial/by-id/", name);
    const std::string byPath = UdevName(udev / "by-path", "/dev/serial/by-path/", name);
    std::string stable = usb->serial.empty() ? byPath : byId;
    if (stable.empty())
        stable = usb->serial.empty() ? byId : byPath;
    std::string text = UsbDescription(*usb);
    if (!stable.empty())
        text += ", " + stable;
    return text;
}

}  // namespace

std::string sanitizeDeviceText(std::string_view text, std::size_t maxCharacters)
{
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == 0x1B) {
            // An escape sequence goes whole: ESC [ parameters final, ESC ] text BEL or
            // ESC \, or ESC and one character.
            ++i;
            if (i < text.size() && text[i] == '[') {
                ++i;
                while (i < text.size() && !(static_cast<unsigned char>(text[i]) >= 0x40 &&
                                            static_cast<unsigned char>(text[i]) <= 0x7E))
                    ++i;
                ++i;
            } else if (i < text.size() && text[i] == ']') {
                while (i < text.size() && text[i] != '\a' && text[i] != '\x1B')
                    ++i;
                i += i < text.size() && text[i] == '\x1B' ? 2 : 1;
            } else {
                ++i;
            }
            continue;
        }
        // Other C0 controls and DEL go; so do the C1 controls (U+0080..U+009F, C2 80..9F
        // in UTF-8).
        if (byte < 0x20 || byte == 0x7F) {
            ++i;
            continue;
        }
        if (byte == 0xC2 && i + 1 < text.size() &&
            static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            i += 2;
            continue;
        }
        // A character is a lead byte and its continuation bytes.
        std::size_t length = 1;
        while (i + length < text.size() &&
               (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
            ++length;
        if (characters == maxCharacters)
            break;
        out.append(text.substr(i, length));
        ++characters;
        i += length;
    }
    return out;
}

std::vector<SerialPortInfo> describeSerialPorts(const std::string& root)
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
