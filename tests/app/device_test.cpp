// The window with real serial adapters in mind: the COM list's descriptions.

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "app/port_combo_box.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"

namespace tarnik {
namespace {

TEST(PortComboBox, DropDownShowsDescriptionsWhileTheTextStaysThePath)
{
    PortComboBox box;
    QStringList machine{"/dev/ttyS0", "/dev/ttyUSB0"};
    QHash<QString, QString> descriptions{{"/dev/ttyUSB0", "FTDI FT232R USB UART (A1B2C3D4)"}};
    box.setPortSource([&] { return machine; });
    box.setDescriptionSource([&] { return descriptions; });
    box.refreshPorts(true);

    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.popupText(0), "/dev/ttyS0");
    EXPECT_EQ(box.popupText(1), "/dev/ttyUSB0 — FTDI FT232R USB UART (A1B2C3D4)");
    box.setCurrentIndex(1);
    EXPECT_EQ(box.currentText(), "/dev/ttyUSB0");
    EXPECT_EQ(box.lineEdit()->text(), "/dev/ttyUSB0");

    // A second adapter plugged in: the refresh on drop-down describes it too and the
    // chosen path stays.
    machine << "/dev/ttyUSB1";
    descriptions.insert("/dev/ttyUSB1", "Prolific USB-Serial Controller");
    box.refreshPorts(false);
    EXPECT_EQ(box.currentText(), "/dev/ttyUSB0");
    EXPECT_EQ(box.popupText(2), "/dev/ttyUSB1 — Prolific USB-Serial Controller");
}

}  // namespace
}  // namespace tarnik

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tarnik::InitSerialMessages();
    tarnik::InstallQtHandOver();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
