#pragma once

// The machine's serial ports, read from sysfs: terminal devices with a real driver
// (ttyS* only when a UART is present), as /dev paths, sorted case-insensitively by
// characters (ttyS10 before ttyS2). Never opens a port, never throws; duplicates stay.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "serial/device_text.h"

namespace tarnik {

std::vector<std::string> ListSerialPorts();
// Same, reading `ttyClassDir` in place of /sys/class/tty.
std::vector<std::string> ListSerialPorts(const std::string& ttyClassDir);

// A port with what the system tells about it, for people choosing among several.
struct SerialPortInfo {
    std::string path;         // as ListSerialPorts gives it
    std::string description;  // empty when nothing is known
};

// The ports of ListSerialPorts, same names and order, each described. A USB adapter: its
// manufacturer, product and serial number, its vendor and product ids ("USB 0403:6001"),
// and a stable /dev/serial name: by-id when it has a serial number, by-path when it has
// none (identical adapters without one share their by-id name). Any other port is a
// built-in UART: kBuiltInPort and its hardware's driver, "wbudowany port szeregowy
// (serial8250)", found in the old sysfs layout and in the one with serial-base devices.
// Texts that come from devices pass through sanitizeDeviceText; a whole description is
// at most kDeviceTextMax characters (the device's texts are cut first).
// `root` is where "sys/class/tty" and "dev/serial" are read ("/" normally).
std::vector<SerialPortInfo> describeSerialPorts(const std::string& root = "/");

inline constexpr std::string_view kBuiltInPort = "wbudowany port szeregowy";

}  // namespace tarnik
