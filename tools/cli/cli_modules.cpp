#include "cli/cli_modules.h"

#include <QCoreApplication>
#include <QTimer>

#include <memory>
#include <optional>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_session.h"
#include "link/protocol.h"
#include "link/verification.h"
#include "model/setting_comparison.h"

namespace tarnik::cli {

std::string summaryOf(int status)
{
    switch (status) {
    case kExitOk:
        return "OK";
    case kExitNoAnswer:
        return "brak odpowiedzi z modułu";
    case kExitUsage:
        return "ustawienia odrzucone";
    case kExitPortError:
        return "błąd portu";
    case kExitDiffers:
        return "moduł różni się od ustawień";
    default:
        return "błąd";
    }
}

namespace {

class ModuleRun {
public:
    ModuleRun(const std::string& port, bool prefixed, ModuleTask task,
              const EffectiveSettings& settings, int timeoutMs, std::ostream& out,
              std::ostream& err, std::function<void()> onDone)
        : port_(port), prefix_(prefixed ? port + ": " : std::string()), task_(task),
          settings_(settings), err_(err), onDone_(std::move(onDone)),
          session_(out, err, port, settings.record(), timeoutMs, prefix_)
    {
        session_.host.setOnFinished([this](LinkOutcome outcome) { finished(outcome); });
    }

    void start()
    {
        startExchange([this] {
            if (task_ == ModuleTask::Verify)
                session_.engine.readModuleImage();
            else
                session_.engine.BprogramujClick();
        });
    }

    const std::string& port() const { return port_; }
    std::optional<int> status() const { return status_; }
    PortResult result() const
    {
        return {port_, status_.value_or(kExitPortError), programmed_,
                imageRead_ ? std::optional(session_.image) : std::nullopt};
    }

private:
    template <typename Start>
    void startExchange(Start start)
    {
        try {
            start();
        } catch (const std::exception& e) {
            // The engine has already reported the failure as the exchange's outcome.
            err_ << "tarnik-cli: " << prefix_ << e.what() << std::endl;
            if (!status_)
                finish(kExitPortError);
        }
    }

    void finished(LinkOutcome outcome)
    {
        if (status_)
            return;
        if (outcome == LinkOutcome::Programmed && task_ == ModuleTask::ProgramAndVerify) {
            programmed_ = true;
            verifying_ = true;
            // Inside the answer handler: the read-back reopens the port, so it starts once
            // the handler has returned.
            QTimer::singleShot(
                0, [this] { startExchange([this] { session_.engine.readModuleImage(); }); });
            return;
        }
        if (outcome == LinkOutcome::Programmed)
            programmed_ = true;
        if (outcome == LinkOutcome::ModuleRead) {
            imageRead_ = true;
            compare();
            return;
        }
        finish(exitStatusOf(outcome));
    }

    void compare()
    {
        const auto differences =
            compareWithModuleImage(settings_, session_.image, protocol::kSentImageBytes);
        for (const SettingComparison& difference : differences)
            session_.host.printLine(comparisonLine(difference, kFileAndModule));
        session_.host.printLine(task_ == ModuleTask::Verify ? fileComparisonLine(differences.size())
                                                            : verificationLine(differences.size()));
        finish(differences.empty() ? kExitOk : kExitDiffers, true);
    }

    void finish(int status, bool compared = false)
    {
        if (verifying_ && !compared)
            // The failure line above may read as if programming failed: it did not.
            session_.host.printLine(readBackFailedLine(summaryOf(status)));
        status_ = status;
        onDone_();
    }

    std::string port_;
    std::string prefix_;
    ModuleTask task_;
    EffectiveSettings settings_;
    std::ostream& err_;
    std::function<void()> onDone_;
    std::optional<int> status_;
    bool programmed_ = false;  // programming succeeded
    bool verifying_ = false;   // programming succeeded and the read-back is under way
    bool imageRead_ = false;   // the module's image came (session_.image holds it)
    Session session_;
};

}  // namespace

ModulesOutcome runOnModules(const std::vector<std::string>& ports, ModuleTask task,
                            const EffectiveSettings& settings, int timeoutMs, std::ostream& out,
                            std::ostream& err)
{
    const bool several = ports.size() > 1;
    std::vector<std::unique_ptr<ModuleRun>> runs;
    bool looping = false;
    const auto allDone = [&runs] {
        for (const auto& run : runs)
            if (!run->status())
                return false;
        return true;
    };
    const auto onDone = [&] {
        if (looping && allDone())
            QCoreApplication::quit();
    };
    for (const std::string& port : ports)
        runs.push_back(std::make_unique<ModuleRun>(port, several, task, settings, timeoutMs, out,
                                                   err, onDone));
    for (const auto& run : runs)
        run->start();
    if (!allDone()) {
        looping = true;
        QCoreApplication::exec();
        looping = false;
    }

    ModulesOutcome outcome;
    for (const auto& run : runs) {
        PortResult result = run->result();
        if (several)
            out << result.port << ": " << summaryOf(result.status) << " (" << result.status << ")"
                << std::endl;
        if (outcome.status == kExitOk)
            outcome.status = result.status;
        outcome.ports.push_back(std::move(result));
    }
    return outcome;
}

}  // namespace tarnik::cli
