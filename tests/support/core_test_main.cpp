// Test main for tests of Qt code without a window or a port: a QCoreApplication on this
// thread (Qt SQL loads its drivers through it).

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
