#include "app/command_line.h"

#include <QCommandLineParser>
#include <QFile>

#include <string>
#include <vector>

#include "serial/trace_target.h"

namespace tarnik {

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configures a GSM alarm module over a serial port."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Start a simulated module on a pseudo-terminal and choose its line."));
    const QCommandLineOption overviewOption(
        QStringLiteral("overview"),
        QStringLiteral("Open the configuration overview (\"Przegląd konfiguracji\") at start, "
                       "after FILE.zvn when one is given."));
    const QCommandLineOption measureOption(
        QStringLiteral("measure-startup"),
        QStringLiteral("Print the time to the window's first picture, then end."));
    const QCommandLineOption screenshotsOption(
        QStringLiteral("screenshots"),
        QStringLiteral("Save pictures of the window's pages into <dir>, then end."),
        QStringLiteral("dir"));
    const QCommandLineOption traceOption(
        QStringLiteral("trace"),
        QStringLiteral("Write every byte on the wire, with the port's opens, closes, settings and "
                       "errors, to <file>."),
        QStringLiteral("file"));
    const QCommandLineOption libraryOption(
        QStringLiteral("library"),
        QStringLiteral("The library of sites (\"Obiekty ...\"): a SQLite file, or a PostgreSQL "
                       "database as postgresql://USER@HOST/DB. Before TARNIK_LIBRARY and the "
                       "window's setting."),
        QStringLiteral("lib"));
    parser.addOptions(
        {demoOption, overviewOption, measureOption, screenshotsOption, traceOption, libraryOption});
    parser.addPositionalArgument(QStringLiteral("FILE.zvn"),
                                 QStringLiteral("A settings file to open at start."),
                                 QStringLiteral("[FILE.zvn]"));

    CommandLine line;
    line.usage = parser.helpText();
    if (!parser.parse(arguments)) {
        line.error = parser.errorText();
        return line;
    }
    // addHelpOption also brings --help-all (Qt's own options too).
    line.help = parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"));
    line.version = parser.isSet(versionOption);
    line.demo = parser.isSet(demoOption);
    line.overview = parser.isSet(overviewOption);
    line.measureStartup = parser.isSet(measureOption);
    line.screenshotFolder = parser.value(screenshotsOption);
    line.traceFile = parser.value(traceOption);
    if (parser.isSet(libraryOption))
        line.library = parser.value(libraryOption);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        line.error = QStringLiteral("only one settings file can be opened");
    else if (!files.isEmpty())
        line.settingsFile = files.constFirst();
    // The trace file is made before the settings file is opened: it must not be that file,
    // nor any other file than a trace.
    if (line.error.isEmpty() && !line.traceFile.isEmpty()) {
        std::vector<std::string> inputs;
        if (!line.settingsFile.isEmpty())
            inputs.push_back(QFile::encodeName(line.settingsFile).toStdString());
        line.error = QString::fromStdString(
            traceFileProblem(QFile::encodeName(line.traceFile).toStdString(), inputs));
    }
    return line;
}

}  // namespace tarnik
