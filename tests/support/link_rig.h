#pragma once

// A link engine hosted by a recording test host, with a real port and framer on the
// simulator's pseudo-terminal. The test's thread is the user-interface thread: a
// QCoreApplication with the Qt hand-over must exist (see qt_test_main.cpp).

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/info_list.h"
#include "link/link_engine.h"
#include "link/link_host.h"
#include "link/no_answer_timer.h"
#include "serial/comport.h"
#include "serial/datapacket.h"

namespace tarnik::test {

class RecordingHost : public LinkHost {
public:
    explicit RecordingHost(int timeoutMs);

    int addInfoLine(const std::string& text, bool trim) override;
    void replaceInfoLine(int index, const std::string& text) override;
    void setBusy(bool busy) override;
    void armNoAnswerTimer() override { timer.arm(); }
    void disarmNoAnswerTimer() override { timer.disarm(); }
    void collectSettings(SettingsRecord& record) override;
    void showSettings(const SettingsRecord& record) override { shown.push_back(record); }
    bool checkUserNumbers() override { return numbersInternational; }
    std::string portName() override { return port; }
    void reportError(const std::string& message) override { errors.push_back(message); }
    void linkFinished(LinkOutcome outcome) override { outcomes.push_back(outcome); }

    InfoList list;
    NoAnswerTimer timer;
    std::string port;
    std::optional<SettingsRecord> controls;  // what collectSettings hands over, if set
    bool numbersInternational = true;
    bool failProgressLine = false;  // replaceInfoLine throws, as a broken host might
    bool busy = false;
    int busyEntered = 0;
    std::vector<std::string> progressTexts;  // every text given to replaceInfoLine
    std::vector<SettingsRecord> shown;
    std::vector<std::string> errors;
    std::vector<LinkOutcome> outcomes;
};

struct LinkRig {
    explicit LinkRig(const std::string& portPath, int timeoutMs = 300);
    ~LinkRig();

    // Runs the event loop until `done` holds or the time is up; returns `done()`.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Runs until the first (or the n-th) outcome arrives.
    bool waitForOutcome(std::chrono::milliseconds timeout, std::size_t count = 1);
    // Runs the event loop for a while.
    void runFor(std::chrono::milliseconds time);

    TComPort port;
    TComDataPacket framer;
    SettingsRecord record{};
    DeviceImage image{};
    RecordingHost host;
    LinkEngine engine;
};

}  // namespace tarnik::test
