// Test main for GoogleTest suites that drive widgets: a QApplication whose event loop
// also receives the serial hand-overs.

#include <QApplication>

#include <gtest/gtest.h>

#include "serial/messages.h"
#include "serial/qt/qt_handover.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    tarnik::InitSerialMessages();
    tarnik::InstallQtHandOver();
    return RUN_ALL_TESTS();
}
