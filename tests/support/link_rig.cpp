#include "link_rig.h"

#include <QCoreApplication>

#include <stdexcept>

#include "event_loop.h"

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

SettingsRecord RecordingHost::collectSettings()
{
    if (controls)
        record = *controls;
    return record;
}

void RecordingHost::showSettings(const SettingsRecord& shownRecord)
{
    record = shownRecord;
    shown.push_back(shownRecord);
}

std::string RecordingHost::lastLine() const
{
    return list.lines().empty() ? std::string() : list.lines().back();
}

std::optional<LinkOutcome> RecordingHost::lastOutcome() const
{
    if (outcomes.empty())
        return std::nullopt;
    return outcomes.back();
}

LinkRig::LinkRig(const std::string& portPath, int timeoutMs)
    : host(timeoutMs), engine(host, image, port, framer)
{
    host.port = portPath;
    wireModuleLink(port, framer, engine, host.timer);
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

template <typename Press>
std::optional<LinkOutcome> LinkRig::exchange(Press press, std::chrono::milliseconds limit)
{
    const std::size_t before = host.outcomes.size();
    try {
        press();
    } catch (const std::exception& e) {
        host.errors.push_back(e.what());
    }
    if (!waitForOutcome(limit, before + 1))
        return std::nullopt;
    return host.outcomes.back();
}

std::optional<LinkOutcome> LinkRig::program(std::chrono::milliseconds limit)
{
    return exchange([this] { engine.BprogramujClick(); }, limit);
}

std::optional<LinkOutcome> LinkRig::readBack(std::chrono::milliseconds limit)
{
    return exchange([this] { engine.BBloadClick(); }, limit);
}

std::optional<LinkOutcome> LinkRig::serial(std::chrono::milliseconds limit)
{
    return exchange([this] { engine.BBserialClick(); }, limit);
}

bool LinkRig::waitForOutcome(std::chrono::milliseconds limit, std::size_t count)
{
    return pumpUntil([&] { return host.outcomes.size() >= count; }, limit);
}

}  // namespace tarnik::test
