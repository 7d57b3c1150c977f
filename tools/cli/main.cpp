// tarnik-cli: the module link without the window.

#include <QCoreApplication>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/cli_commands.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    QCoreApplication app(argc, argv);
    tarnik::InitSerialMessages();
    tarnik::InstallQtHandOver();

    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        return tarnik::cli::RunCommand(tarnik::cli::ParseArguments(args), std::cout, std::cerr);
    } catch (const tarnik::cli::UsageError& e) {
        std::cerr << "tarnik-cli: " << e.what() << "\n"
                  << tarnik::cli::UsageText(args.empty() ? "" : args[0]);
        return tarnik::cli::kExitUsage;
    } catch (const std::exception& e) {
        std::cerr << "tarnik-cli: " << e.what() << std::endl;
        return tarnik::cli::kExitPortError;
    }
}
