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
};

TEST_F(PortDescriptions, UsbAdaptersByMakerProductAndSerialOthersByDriver)
{
    const std::string usb = "pci0000:00/0000:00:14.0/usb1/1-2";
    Write(root / "sys/devices" / usb / "idVendor", "0403");
    Write(root / "sys/devices" / usb / "idProduct", "6001");
    Write(root / "sys/devices" / usb / "manufacturer", "FTDI");
    Write(root / "sys/devices" / usb / "product", "FT232R USB UART");
    Write(root / "sys/devices" / usb / "serial", "A1B2C3D4 ");
    AddPort("ttyUSB0", usb + "/1-2:1.0/ttyUSB0", "ftdi_sio");
    fs::create_directories(root / "dev/serial/by-id");
    fs::create_symlink("../../ttyUSB0",
                       root / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3D4-if00-port0");

    // A USB device that gives no texts is named by its numbers.
    const std::string bare = "pci0000:00/0000:00:14.0/usb1/1-3";
    Write(root / "sys/devices" / bare / "idVendor", "2341");
    Write(root / "sys/devices" / bare / "idProduct", "0043");
    AddPort("ttyACM0", bare + "/1-3:1.0", "cdc_acm");

    AddPort("ttyS0", "platform/serial8250", "serial8250");
    Write(root / "sys/class/tty/ttyS0/type", "4");

    const auto ports = DescribeSerialPorts(root.string());
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].path, "/dev/ttyACM0");
    EXPECT_EQ(ports[0].description, "USB 2341:0043");
    EXPECT_EQ(ports[1].path, "/dev/ttyS0");
    EXPECT_EQ(ports[1].description, "serial8250");
    EXPECT_EQ(ports[2].path, "/dev/ttyUSB0");
    EXPECT_EQ(ports[2].description,
              "FTDI FT232R USB UART (A1B2C3D4), "
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3D4-if00-port0");

    // Names and order are those of the plain list.
    std::vector<std::string> paths;
    for (const auto& port : ports)
        paths.push_back(port.path);
    EXPECT_EQ(paths, ListSerialPorts((root / "sys/class/tty").string()));
}

TEST_F(PortDescriptions, NoTreeNoPorts)
{
    EXPECT_TRUE(DescribeSerialPorts(root.string()).empty());
}

}  // namespace
}  // namespace tarnik
