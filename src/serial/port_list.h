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

}  // namespace tarnik
