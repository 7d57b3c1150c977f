#pragma once

// The module link as the program runs it, for fault and soak tests: a real port and
// framer, the link engine, a host that records what the user would see, the Qt
// hand-over and a real no-answer timer. The test thread is the user-interface thread
// and runs the Qt event loop while it waits.

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

namespace tarnik::proof {

using namespace std::chrono_literals;

class RecordingHost : public LinkHost {
public:
    explicit RecordingHost(int timeoutMs);

    int addInfoLine(const std::string& text, bool trim) override;
    void replaceInfoLine(int index, const std::string& text) override;
    void setBusy(bool busy) override { busy_ = busy; }
    void armNoAnswerTimer() override { timer_.arm(); }
    void disarmNoAnswerTimer() override { timer_.disarm(); }
    void collectSettings(SettingsRecord& record) override { record = programmed; }
    void showSettings(const SettingsRecord&) override { ++shown; }
    bool checkUserNumbers() override { return true; }
    std::string portName() override { return port; }
    void reportError(const std::string& message) override { errors.push_back(message); }
    void linkFinished(LinkOutcome outcome) override { outcomes.push_back(outcome); }

    void setOnTimeout(std::function<void()> onTimeout) { onTimeout_ = std::move(onTimeout); }
    bool busy() const { return busy_; }
    bool timerArmed() const { return timer_.isArmed(); }
    const std::vector<std::string>& lines() const { return list_.lines(); }
    std::string lastLine() const
    {
        return list_.lines().empty() ? std::string() : list_.lines().back();
    }
    std::optional<LinkOutcome> lastOutcome() const
    {
        return outcomes.empty() ? std::nullopt : std::optional<LinkOutcome>(outcomes.back());
    }

    SettingsRecord programmed{};
    std::string port;
    std::vector<std::string> errors;
    std::vector<LinkOutcome> outcomes;
    int shown = 0;

private:
    InfoList list_;
    NoAnswerTimer timer_;
    std::function<void()> onTimeout_;
    bool busy_ = false;
};

struct LinkRig {
    explicit LinkRig(const std::string& portName, int timeoutMs = 1000);

    // Runs one exchange: presses the button and runs the event loop until the exchange
    // reports its end or `limit` passes. Returns the outcome, if one came.
    std::optional<LinkOutcome> program(std::chrono::milliseconds limit = 10s);
    std::optional<LinkOutcome> readBack(std::chrono::milliseconds limit = 10s);
    std::optional<LinkOutcome> serial(std::chrono::milliseconds limit = 10s);

    TComPort port;
    TComDataPacket framer;
    SettingsRecord record{};
    DeviceImage image{};
    RecordingHost host;
    LinkEngine engine;

private:
    template <typename Press>
    std::optional<LinkOutcome> exchange(Press press, std::chrono::milliseconds limit);
};

// Runs the Qt event loop until `done` holds (checked every millisecond) or `limit`
// passes; returns done().
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
// Runs the Qt event loop for the whole duration, without polling.
void RunFor(std::chrono::milliseconds duration);

// CPU time of the whole process, in milliseconds.
double ProcessCpuMs();
// Resident memory of the process, in KiB.
long ResidentKiB();

// Settings that survive the trip to the module and back: every carried field random,
// texts without quote or zero bytes, numbers of at most 12 characters, PINs of 4.
SettingsRecord RandomModuleSettings(unsigned seed);

}  // namespace tarnik::proof
