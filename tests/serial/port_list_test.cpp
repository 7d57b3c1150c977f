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
