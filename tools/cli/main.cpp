// tarnik-cli: the module link without the window.

#include <QCoreApplication>
#include <QGuiApplication>

#include <clocale>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/cli_commands.h"
#include "config/qt_language.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"

namespace {

// The report lays out text and so needs the fonts of a QGuiApplication; it needs no
// display for that.
bool needsFonts(const std::vector<std::string>& args)
{
    try {
        return tarnik::cli::parseArguments(args).command == "report";
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool report = needsFonts(args);
    if (report && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        report ? std::make_unique<QGuiApplication>(argc, argv)
               : std::make_unique<QCoreApplication>(argc, argv);
    tarnik::installQtPolish(*app);
    tarnik::initSerialMessages();
    tarnik::installQtHandOver();

    try {
        return tarnik::cli::runCommand(tarnik::cli::parseArguments(args), std::cout, std::cerr);
    } catch (const tarnik::cli::UsageError& e) {
        std::cerr << "tarnik-cli: " << e.what() << "\n"
                  << tarnik::cli::usageText(args.empty() ? "" : args[0]);
        return tarnik::cli::kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "tarnik-cli: " << e.what() << std::endl;
        return tarnik::cli::kExitPortError;
    }
}
