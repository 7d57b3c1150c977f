#pragma once

// The module link as the program runs it: a real port and framer on a pseudo-terminal,
// the link engine, a host that records what the user would see, and a real no-answer
// timer. The test's thread is the user-interface thread and runs the Qt event loop while
// it waits: a QCoreApplication with the Qt hand-over must exist (qt_test_main.cpp).

#include <chrono>
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

using namespace std::chrono_literals;

class RecordingHost : public LinkHost {
public:
    explicit RecordingHost(int timeoutMs);

    int addInfoLine(const std::string& text, bool trim) override;
    void replaceInfoLine(int index, const std::string& text) override;
    void setBusy(bool busy) override;
    void armNoAnswerTimer() override { timer.arm(); }
    void disarmNoAnswerTimer() override { timer.disarm(); }
    SettingsRecord settingsRecord() override { return record; }
    SettingsRecord collectSettings() override;
    void showSettings(const SettingsRecord& shownRecord) override;
    bool checkUserNumbers() override { return numbersInternational; }
    std::string portName() override { return port; }
    void reportError(const std::string& message) override { errors.push_back(message); }
    void linkFinished(LinkOutcome outcome) override { outcomes.push_back(outcome); }

    std::string lastLine() const;
    std::optional<LinkOutcome> lastOutcome() const;

    InfoList list;
    NoAnswerTimer timer;
    std::string port;
    SettingsRecord record{};                 // the host's record, as the window owns its own
    std::optional<SettingsRecord> controls;  // what collectSettings collects, if set
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
    LinkRig(const LinkRig&) = delete;
    LinkRig& operator=(const LinkRig&) = delete;

    // Presses a button and runs the event loop until the exchange reports its end or
    // `limit` passes; returns the outcome, if one came. A failure the press throws is
    // recorded with the host's errors, as the window's error boundary would show it.
    std::optional<LinkOutcome> program(std::chrono::milliseconds limit = 10s);
    std::optional<LinkOutcome> readBack(std::chrono::milliseconds limit = 10s);
    std::optional<LinkOutcome> serial(std::chrono::milliseconds limit = 10s);

    // Runs until the first (or the n-th) outcome arrives.
    bool waitForOutcome(std::chrono::milliseconds limit, std::size_t count = 1);

    TComPort port;
    TComDataPacket framer;
    DeviceImage image{};
    RecordingHost host;
    LinkEngine engine;

private:
    template <typename Press>
    std::optional<LinkOutcome> exchange(Press press, std::chrono::milliseconds limit);
};

}  // namespace tarnik::test
