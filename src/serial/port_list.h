#pragma once

// The machine's serial ports, read from sysfs: terminal devices with a real driver
// (ttyS* only when a UART is present), as /dev paths, sorted case-insensitively by
// characters (ttyS10 before ttyS2). Never opens a port, never throws; duplicates stay.

#include <string>
#include <vector>

namespace tarnik {

std::vector<std::string> ListSerialPorts();
// Same, reading `ttyClassDir` in place of /sys/class/tty.
std::vector<std::string> ListSerialPorts(const std::string& ttyClassDir);

// A port with what the system tells about it, for people choosing among several.
struct SerialPortInfo {
    std::string path;         // as ListSerialPorts gives it
    std::string description;  // empty when nothing is known
};

// The ports of ListSerialPorts, same names and order, each described: a USB adapter by
// its manufacturer, product and serial number, followed by its stable
// /dev/serial/by-id name when there is one; any other port by its driver's name.
// `root` is where "sys/class/tty" and "dev/serial/by-id" are read ("/" normally).
std::vector<SerialPortInfo> DescribeSerialPorts(const std::string& root = "/");

}  // namespace tarnik
