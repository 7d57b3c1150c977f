// Test main for the tests that run the module link as the program does: a Qt
// application on this thread, and the Qt hand-over installed before any port exists.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "serial/messages.h"
#include "serial/qt/qt_handover.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    tarnik::initSerialMessages();
    tarnik::installQtHandOver();
    return RUN_ALL_TESTS();
}
