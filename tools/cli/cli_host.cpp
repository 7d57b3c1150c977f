#include "cli/cli_host.h"

#include <QCoreApplication>

#include <ostream>

#include "link/link_engine.h"

namespace tarnik::cli {

CliHost::CliHost(std::ostream& out, std::ostream& err, std::string portName,
                 SettingsRecord programmed, int timeoutMs)
    : out_(out), err_(err), portName_(std::move(portName)), programmed_(programmed),
      timer_(
          [this] {
              if (onTimeout_)
                  onTimeout_();
          },
          timeoutMs)
{
    timer_.setOnError([this](const std::exception& e) { reportError(e.what()); });
}

int CliHost::addInfoLine(const std::string& text, bool trim)
{
    out_ << text << std::endl;
    return list_.add(text, trim);
}

void CliHost::replaceInfoLine(int index, const std::string& text)
{
    out_ << text << std::endl;
    list_.replace(index, text);
}

bool CliHost::checkUserNumbers()
{
    for (const auto& number : programmed_.nrUser) {
        if (!IsInternationalNumber(number.str()))
            return false;
    }
    return true;
}

void CliHost::reportError(const std::string& message)
{
    err_ << "tarnik-cli: " << message << std::endl;
}

void CliHost::linkFinished(LinkOutcome outcome)
{
    if (!outcome_)
        outcome_ = outcome;
    QCoreApplication::quit();
}

}  // namespace tarnik::cli
