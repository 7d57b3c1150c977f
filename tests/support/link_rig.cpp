#include "link_rig.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <stdexcept>
#include <thread>

namespace tarnik::test {

RecordingHost::RecordingHost(int timeoutMs) : timer(nullptr, timeoutMs)
{
}

int RecordingHost::addInfoLine(const std::string& text, bool trim)
{
    return list.add(text, trim);
}

void RecordingHost::replaceInfoLine(int index, const std::string& text)
{
    if (failProgressLine)
        throw std::runtime_error("progress line failed");
    progressTexts.push_back(text);
    list.replace(index, text);
}

void RecordingHost::setBusy(bool nowBusy)
{
    busy = nowBusy;
    if (nowBusy)
        ++busyEntered;
}

void RecordingHost::collectSettings(SettingsRecord& record)
{
    if (controls)
        record = *controls;
}

LinkRig::LinkRig(const std::string& portPath, int timeoutMs)
    : host(timeoutMs), engine(host, record, image, port, framer)
{
    host.port = portPath;
    ConfigureModuleLink(port, framer, engine);
    host.timer.setOnTimeout([this] { engine.Timer1Timer(); });
}

LinkRig::~LinkRig()
{
    try {
        port.Close();
    } catch (...) {
    }
    // Let hand-overs posted before the close run (they find the port gone).
    QCoreApplication::processEvents();
}

bool LinkRig::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    if (done())
        return true;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done() || std::chrono::steady_clock::now() >= deadline)
            loop.quit();
    });
    check.start(1);
    loop.exec();
    return done();
}

bool LinkRig::waitForOutcome(std::chrono::milliseconds timeout, std::size_t count)
{
    return runUntil([&] { return host.outcomes.size() >= count; }, timeout);
}

void LinkRig::runFor(std::chrono::milliseconds time)
{
    runUntil([] { return false; }, time);
}

}  // namespace tarnik::test
