// Listing serial ports from a sysfs-like tree built by the test.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "serial/port_list.h"

namespace tarnik {
namespace {

namespace fs = std::filesystem;

class PortList : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() / ("tarnik_tty_" + std::to_string(getpid()));
    fs::path drivers = root / "drivers";

    void SetUp() override
    {
        fs::remove_all(root);
        fs::create_directories(drivers / "serial");
    }
    void TearDown() override { fs::remove_all(root); }

    // A tty entry; with a driver link when `driver`, with a `type` file when type >= 0.
    void AddTty(const std::string& name, bool driver, int type = -1)
    {
        const fs::path entry = root / "class" / name;
        fs::create_directories(entry / "device");
        if (driver)
            fs::create_directory_symlink(drivers / "serial", entry / "device" / "driver");
        if (type >= 0)
            std::ofstream(entry / "type") << type << "\n";
    }
    std::vector<std::string> List() { return ListSerialPorts((root / "class").string()); }
};

TEST_F(PortList, OnlyDevicesWithADriverAndPresentUarts)
{
    AddTty("ttyUSB0", true);
    AddTty("ttyS0", true, 4);  // a 16550A answers
    AddTty("ttyS1", true, 0);  // placeholder without hardware
    AddTty("tty1", false);     // virtual terminal
    AddTty("ttyACM0", true);
    EXPECT_EQ(List(), (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB0"}));
}

TEST_F(PortList, SortedByCharactersIgnoringCase)
{
    AddTty("ttyACM2", true);
    AddTty("ttyacm3", true);
    AddTty("ttyACM10", true);
    EXPECT_EQ(List(), (std::vector<std::string>{"/dev/ttyACM10", "/dev/ttyACM2", "/dev/ttyacm3"}));
}

TEST_F(PortList, MissingTreeGivesAnEmptyList)
{
    EXPECT_TRUE(ListSerialPorts((root / "nothing").string()).empty());
    EXPECT_NO_THROW(ListSerialPorts());
}

}  // namespace
}  // namespace tarnik

namespace tarnik {
namespace {

// A made-up machine: sysfs devices reached through relative links, as the kernel makes
// them, and the udev by-id folder.
class PortDescriptions : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() / ("tarnik_root_" + std::to_string(getpid()));

    void SetUp() override { fs::remove_all(root); }
    void TearDown() override { fs::remove_all(root); }

    static void Write(const fs::path& file, const std::string& text)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text << "\n";
    }
    // Device folder `device` (under sys/devices) for tty `name`, bound to `driver`.
    void AddPort(const std::string& name, const std::string& device, const std::string& driver)
    {
        const fs::path dir = root / "sys/devices" / device;
        fs::create_directories(dir);
        fs::create_directories(root / "sys/bus/drivers" / driver);
        fs::create_directory_symlink(fs::relative(root / "sys/bus/drivers" / driver, dir),
                                     dir / "driver");
        const fs::path entry = root / "sys/class/tty" / name;
        fs::create_directories(entry);
        fs::create_directory_symlink(fs::relative(dir, entry), entry / "device");
    }
    // A device folder on the serial-base bus (kernel 6.5 on), bound to `driver` there.
    void AddSerialBase(const std::string& device, const std::string& driver)
    {
        const fs::path dir = root / "sys/devices" / device;
        const fs::path bus = root / "sys/bus/serial-base";
        fs::create_directories(dir);
        fs::create_directories(bus / "drivers" / driver);
        fs::create_directory_symlink(fs::relative(bus, dir), dir / "subsystem");
        fs::create_directory_symlink(fs::relative(bus / "drivers" / driver, dir), dir / "driver");
    }
    // A built-in UART in the current layout: hardware `hardware` bound to `driver`, its
    // "ctrl" and "port" devices below it, and the tty below those.
    void AddBuiltInPort(const std::string& name, const std::string& hardware,
                        const std::string& driver)
    {
        const std::string id = fs::path(hardware).filename().string();
        const std::string ctrl = hardware + "/" + id + ":0";
        const std::string port = ctrl + "/" + id + ":0.0";
        fs::create_directories(root / "sys/devices" / hardware);
        fs::create_directories(root / "sys/bus/drivers" / driver);
        fs::create_directory_symlink(
            fs::relative(root / "sys/bus/drivers" / driver, root / "sys/devices" / hardware),
            root / "sys/devices" / hardware / "driver");
        AddSerialBase(ctrl, "ctrl");
        AddSerialBase(port, "port");
        const fs::path entry = root / "sys/class/tty" / name;
        fs::create_directories(entry);
        fs::create_directory_symlink(fs::relative(root / "sys/devices" / port, entry),
                                     entry / "device");
    }
    // A USB device folder with the given attribute files (absent when empty).
    void AddUsbDevice(const std::string& device, const std::string& vendor,
                      const std::string& product, const std::string& manufacturer,
                      const std::string& productName, const std::string& serial)
    {
        const fs::path dir = root / "sys/devices" / device;
        Write(dir / "idVendor", vendor);
        Write(dir / "idProduct", product);
        if (!manufacturer.empty())
            Write(dir / "manufacturer", manufacturer);
        if (!productName.empty())
            Write(dir / "product", productName);
        if (!serial.empty())
            Write(dir / "serial", serial);
    }
    void AddUdevLink(const std::string& folder, const std::string& name, const std::string& tty)
    {
        fs::create_directories(root / "dev/serial" / folder);
        fs::create_symlink("../../" + tty, root / "dev/serial" / folder / name);
    }
    std::string DescriptionOf(const std::string& path)
    {
        for (const auto& port : describeSerialPorts(root.string()))
            if (port.path == path)
                return port.description;
        ADD_FAILURE() << path << " not listed";
        return {};
    }
};

TEST_F(PortDescriptions, BuiltInPortsNameTheirHardwaresDriverInBothLayouts)
{
    struct Case {
        const char* layout;
        const char* name;
        const char* hardware;
        const char* driver;
    };
    const Case cases[] = {
        {"old", "ttyS0", "pnp0/00:01", "serial"},
        {"old", "ttyAMA0", "platform/soc/fe201000.serial", "uart-pl011"},
        {"serial-base", "ttyS1", "pnp0/00:04", "serial"},
        {"serial-base", "ttyS4", "platform/serial8250", "serial8250"},
        {"serial-base", "ttyAMA1", "platform/soc/fe201600.serial", "uart-pl011"},
    };
    for (const Case& c : cases) {
        if (std::string(c.layout) == "old")
            AddPort(c.name, c.hardware, c.driver);
        else
            AddBuiltInPort(c.name, c.hardware, c.driver);
        if (std::string(c.name).rfind("ttyS", 0) == 0)
            Write(root / "sys/class/tty" / c.name / "type", "4");
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " " + c.name);
        EXPECT_EQ(DescriptionOf(std::string("/dev/") + c.name),
                  std::string("wbudowany port szeregowy (") + c.driver + ")");
    }
}

TEST_F(PortDescriptions, UsbAdaptersByMakerProductSerialAndIdsAndAStableName)
{
    const std::string hub = "pci0000:00/0000:00:14.0/usb1/";
    // With a serial number: the by-id name is unique.
    AddUsbDevice(hub + "1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A1B2C3D4 ");
    AddPort("ttyUSB0", hub + "1-2/1-2:1.0/ttyUSB0", "ftdi_sio");
    AddUdevLink("by-id", "usb-FTDI_FT232R_USB_UART_A1B2C3D4-if00-port0", "ttyUSB0");
    AddUdevLink("by-path", "pci-0000:00:14.0-usb-0:2:1.0-port0", "ttyUSB0");
    // Two identical adapters without serial numbers: only the socket tells them apart.
    for (const char* socket : {"3", "4"}) {
        const std::string usb = hub + "1-" + socket;
        const std::string tty = std::string("ttyUSB") + (socket[0] == '3' ? "1" : "2");
        AddUsbDevice(usb, "1a86", "7523", "", "USB Serial", "");
        AddPort(tty, usb + "/1-" + socket + ":1.0/" + tty, "ch341-uart");
        AddUdevLink("by-path", std::string("pci-0000:00:14.0-usb-0:") + socket + ":1.0-port0", tty);
    }
    AddUdevLink("by-id", "usb-1a86_USB_Serial-if00-port0", "ttyUSB2");
    // A USB device that gives no texts is named by its numbers.
    AddUsbDevice(hub + "1-5", "2341", "0043", "", "", "");
    AddPort("ttyACM0", hub + "1-5/1-5:1.0", "cdc_acm");

    const auto ports = describeSerialPorts(root.string());
    std::vector<std::string> paths;
    for (const auto& port : ports)
        paths.push_back(port.path);
    EXPECT_EQ(paths, ListSerialPorts((root / "sys/class/tty").string()))
        << "names and order are those of the plain list";

    EXPECT_EQ(DescriptionOf("/dev/ttyACM0"), "USB 2341:0043");
    EXPECT_EQ(DescriptionOf("/dev/ttyUSB0"),
              "FTDI FT232R USB UART (A1B2C3D4), USB 0403:6001, "
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3D4-if00-port0");
    EXPECT_EQ(DescriptionOf("/dev/ttyUSB1"),
              "USB Serial, USB 1a86:7523, /dev/serial/by-path/pci-0000:00:14.0-usb-0:3:1.0-port0");
    EXPECT_EQ(DescriptionOf("/dev/ttyUSB2"),
              "USB Serial, USB 1a86:7523, /dev/serial/by-path/pci-0000:00:14.0-usb-0:4:1.0-port0");
}

TEST_F(PortDescriptions, TextsFromDevicesAreCutAndFreeOfControlCharacters)
{
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/1-2";
    AddUsbDevice(usb, "0403", "6001",
                 "\x1B[2J\x1B]0;pwned\x07"
                 "Evil\x1B[31m Co\x7F",
                 "Widget" + std::string(4000, 'x'),
                 "S\x01N\xC2\x9B"
                 "1");
    AddPort("ttyUSB0", usb + "/1-2:1.0/ttyUSB0", "ftdi_sio");
    const std::string description = DescriptionOf("/dev/ttyUSB0");
    // The whole description keeps to 127 characters: the maker's texts give way, the ids stay.
    const std::string tail = "…, USB 0403:6001";
    EXPECT_EQ(description, "Evil Co Widget" + std::string(127 - 14 - 16, 'x') + tail);
    EXPECT_EQ(characterCount(description), 127u);
}

TEST(DeviceText, ControlsAndEscapeSequencesGoAndLengthCountsCharacters)
{
    struct Case {
        std::string in;
        std::size_t max;
        std::string out;
    };
    const Case cases[] = {
        {"plain", 127, "plain"},
        {"a\tb\r\nc", 127, "abc"},
        {"\x1B[1;31mred\x1B[0m", 127, "red"},
        {"\x1B]2;title\x1B\\rest", 127, "rest"},
        {"\x1B"
         "cx",
         127, "x"},
        {"\x1B[", 127, ""},                             // a sequence cut off at the end
        {"\xC2\x85next\xC2\xA0", 127, "next\xC2\xA0"},  // C1 control goes, NBSP stays
        {"zażółć", 3, "zaż"},                           // cut between characters, not bytes
        {std::string(200, 'y'), 127, std::string(127, 'y')},
        // Strings up to BEL, ESC \ or the C1 ST; charset choices with their intermediates.
        {"\x1BPq#0;1\x1B\\a\x1B_x\xC2\x9C"
         "b\x1B(Bc\x1B#8d",
         127, "abcd"},
        {"\x1B[?1049h\x1B[38;5;196mX", 127, "X"},
        // Direction controls, zero-width and other format characters go.
        {"abc\u202Efed\u202C", 127, "abcfed"},
        {"\u2066x\u2069\u200Ey\u200F\u061C", 127, "xy"},
        {"\uFEFFa\u200Bb\u200Dc\u2060d\u00ADe\U000E0041f", 127, "abcdef"},
        {"line\u2028sep\u2029", 127, "linesep"},
        // Bytes of no UTF-8 character are shown as U+FFFD, never passed on.
        {"a\x9B"
         "31mb\xFF\xC3",
         127,
         "a\uFFFD"
         "31mb\uFFFD\uFFFD"},
        {"\xED\xA0\x80", 127, "\uFFFD\uFFFD\uFFFD"},  // an encoded surrogate
        {"\u202E\u202E\u202Eabcd", 2, "ab"},          // removed characters do not count
    };
    for (const Case& c : cases)
        EXPECT_EQ(sanitizeDeviceText(c.in, c.max), c.out) << c.in;
}

TEST_F(PortDescriptions, NoTreeNoPorts)
{
    EXPECT_TRUE(describeSerialPorts(root.string()).empty());
}

}  // namespace
}  // namespace tarnik
