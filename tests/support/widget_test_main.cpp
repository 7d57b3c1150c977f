// Test main for widget tests: a QApplication on this thread whose event loop also
// receives the serial hand-overs, as the program's does. Without a display (CTest,
// test discovery) the widgets are drawn offscreen, and no test reaches the user's
// real configuration folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "serial/messages.h"
#include "serial/qt/qt_handover.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    tarnik::initSerialMessages();
    tarnik::installQtHandOver();
    return RUN_ALL_TESTS();
}
