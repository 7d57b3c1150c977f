#include "cli/cli_host.h"

#include <QCoreApplication>

#include <ostream>

#include "link/link_engine.h"
#include "model/phone_numbers.h"
#include "serial/device_text.h"

namespace tarnik::cli {

CliHost::CliHost(std::ostream& out, std::ostream& err, std::string portName, SettingsRecord record,
                 int timeoutMs, std::string linePrefix)
    : out_(out), err_(err), portName_(std::move(portName)), record_(record),
      timer_(nullptr, timeoutMs), prefix_(std::move(linePrefix))
{
    timer_.setOnError([this](const std::exception& e) { reportError(e.what()); });
}

void CliHost::printLine(const std::string& text)
{
    // A line may carry a module's answer (the serial number): nothing in it reaches the
    // terminal as a control.
    out_ << prefix_ << sanitizeDeviceText(text, std::string::npos) << std::endl;
}

int CliHost::addInfoLine(const std::string& text, bool trim)
{
    printLine(text);
    return list_.add(text, trim);
}

void CliHost::replaceInfoLine(int index, const std::string& text)
{
    printLine(text);
    list_.replace(index, text);
}

bool CliHost::checkUserNumbers()
{
    for (const auto& number : record_.nrUser) {
        if (!isInternationalNumber(number.str()))
            return false;
    }
    return true;
}

void CliHost::reportError(const std::string& message)
{
    err_ << "tarnik-cli: " << prefix_ << message << std::endl;
}

void CliHost::linkFinished(LinkOutcome outcome)
{
    outcome_ = outcome;
    if (onFinished_)
        onFinished_(outcome);
    else
        QCoreApplication::quit();
}

}  // namespace tarnik::cli
