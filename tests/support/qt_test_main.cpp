// Test main for tests that play the user-interface thread: a QCoreApplication whose event
// loop receives the serial hand-overs.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "serial/qt/qt_handover.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    tarnik::InstallQtHandOver();
    return RUN_ALL_TESTS();
}
