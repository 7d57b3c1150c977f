#include "app/command_line.h"

namespace tarnik {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--screenshots")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--screenshots needs a folder");
                break;
            }
            line.screenshotFolder = arguments.at(++i);
        } else if (argument == QLatin1String("--trace")) {
            if (i + 1 >= arguments.size()) {
                line.error = QStringLiteral("--trace needs a file");
                break;
            }
            line.traceFile = arguments.at(++i);
        } else if (argument == QLatin1String("--demo")) {
            line.demo = true;
        } else if (argument == QLatin1String("--measure-startup")) {
            line.measureStartup = true;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            line.error = QStringLiteral("unknown option: ") + argument;
        } else if (line.settingsFile.isEmpty()) {
            line.settingsFile = argument;
        } else {
            line.error = QStringLiteral("only one settings file can be opened");
        }
    }
    return line;
}

}  // namespace tarnik
