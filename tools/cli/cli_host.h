#pragma once

// The command-line host of the link engine: information lines and progress texts go to
// standard output one a line (after a prefix naming the port when several modules are
// served at once), errors to standard error, and each outcome goes to a callback.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "link/info_list.h"
#include "link/link_host.h"
#include "link/no_answer_timer.h"

namespace tarnik::cli {

class CliHost : public LinkHost {
public:
    // `record` is what "programuj" sends, and the base a read-back converts into.
    CliHost(std::ostream& out, std::ostream& err, std::string portName, SettingsRecord record,
            int timeoutMs, std::string linePrefix = {});

    // The no-answer timer the host arms; its expiry is wired to the engine.
    NoAnswerTimer& timer() { return timer_; }
    // Runs for every outcome the engine reports, inside its answer handler.
    void setOnFinished(std::function<void(LinkOutcome)> onFinished)
    {
        onFinished_ = std::move(onFinished);
    }
    // Writes one line to standard output, after the prefix.
    void printLine(const std::string& text);

    int addInfoLine(const std::string& text, bool trim) override;
    void replaceInfoLine(int index, const std::string& text) override;
    void setBusy(bool busy) override { busy_ = busy; }
    void armNoAnswerTimer() override { timer_.arm(); }
    void disarmNoAnswerTimer() override { timer_.disarm(); }
    SettingsRecord settingsRecord() override { return record_; }
    SettingsRecord collectSettings() override { return record_; }
    void showSettings(const SettingsRecord& record) override { record_ = record; }
    bool checkUserNumbers() override;
    std::string portName() override { return portName_; }
    void reportError(const std::string& message) override;
    void linkFinished(LinkOutcome outcome) override;

    // The host's record: after a read-back, the module's settings.
    const SettingsRecord& record() const { return record_; }
    // The latest outcome reported, if any.
    std::optional<LinkOutcome> outcome() const { return outcome_; }
    bool busy() const { return busy_; }

private:
    std::ostream& out_;
    std::ostream& err_;
    std::string portName_;
    SettingsRecord record_;
    InfoList list_;
    NoAnswerTimer timer_;
    std::function<void(LinkOutcome)> onFinished_;
    std::string prefix_;
    std::optional<LinkOutcome> outcome_;
    bool busy_ = false;
};

}  // namespace tarnik::cli
