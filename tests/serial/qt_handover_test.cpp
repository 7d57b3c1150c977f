// The Qt hand-over: port batches run on the thread of the Qt event loop.

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "pty_pair.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "serial/qt/qt_handover.h"

namespace tarnik {
namespace {

int argc = 1;
char arg0[] = "serial_qt_tests";
char* argv[] = {arg0, nullptr};

TEST(QtHandOver, FramerRunsOnTheEventLoopThreadOfPortsCreatedAfterInstalling)
{
    QCoreApplication app(argc, argv);
    installQtHandOver();
    test::PtyPair pty;
    TComPort port;  // picks up the default installed above
    port.SetPort(pty.SlavePath());
    TComDataPacket framer;
    framer.SetComPort(&port);
    framer.SetStopString("*1");
    std::string packet;
    std::thread::id ranOn;
    framer.OnPacket = [&](TComDataPacket&, const std::string& s) {
        packet = s;
        ranOn = std::this_thread::get_id();
        app.quit();
    };
    port.Open();
    pty.WriteMaster("OK*1");
    QTimer::singleShot(3000, &app, &QCoreApplication::quit);
    app.exec();
    EXPECT_EQ(packet, "OK");
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    port.Close();
    setDefaultHandOver(nullptr);
}

TEST(QtHandOver, WorkPostedAfterTheContextIsGoneIsDropped)
{
    QCoreApplication app(argc, argv);
    auto context = std::make_unique<QObject>();
    QtHandOver handOver(context.get());
    int ran = 0;
    handOver.post([&] { ++ran; });
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
    handOver.post([&] { ++ran; });  // queued, then its receiver goes
    context.reset();
    handOver.post([&] { ++ran; });  // no receiver at all
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace tarnik
