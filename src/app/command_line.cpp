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
        QStringLiteral("Konfiguruje moduł alarmowy GSM przez port szeregowy."));
    // Help and version are our own options rather than addHelpOption's and
    // addVersionOption's, so that their descriptions are Polish even where Qt's catalogue
    // lacks them. --help-all (which addHelpOption would bring) is still taken.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Wypisz ten opis opcji i zakończ."));
    QCommandLineOption helpAllOption(QStringLiteral("help-all"),
                                     QStringLiteral("Wypisz ten opis opcji i zakończ."));
    helpAllOption.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Wypisz nazwę i wersję programu."));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Uruchom symulowany moduł na pseudoterminalu i wybierz jego port."));
    const QCommandLineOption overviewOption(
        QStringLiteral("overview"),
        QStringLiteral("Otwórz na starcie \"Przegląd konfiguracji\", po otwarciu PLIKU.zvn, "
                       "gdy jest podany."));
    const QCommandLineOption measureOption(
        QStringLiteral("measure-startup"),
        QStringLiteral("Wypisz czas do pierwszego wyświetlenia okna i zakończ."));
    const QCommandLineOption screenshotsOption(
        QStringLiteral("screenshots"),
        QStringLiteral("Zapisz obrazy stron okna w folderze <folder> i zakończ."),
        QStringLiteral("folder"));
    const QCommandLineOption traceOption(
        QStringLiteral("trace"),
        QStringLiteral("Zapisuj do pliku <plik> każdy bajt na linii, a także otwarcia, "
                       "zamknięcia, ustawienia i błędy portu."),
        QStringLiteral("plik"));
    const QCommandLineOption libraryOption(
        QStringLiteral("library"),
        QStringLiteral("Biblioteka obiektów (\"Obiekty ...\"): plik SQLite albo baza PostgreSQL "
                       "postgresql://UŻYTKOWNIK@HOST/BAZA. Ma pierwszeństwo przed "
                       "TARNIK_LIBRARY i wyborem w oknie."),
        QStringLiteral("bibl"));
    parser.addOptions({helpOption, helpAllOption, versionOption, demoOption, overviewOption,
                       measureOption, screenshotsOption, traceOption, libraryOption});
    parser.addPositionalArgument(QStringLiteral("PLIK.zvn"),
                                 QStringLiteral("Plik ustawień otwierany na starcie."),
                                 QStringLiteral("[PLIK.zvn]"));

    CommandLine line;
    line.usage = parser.helpText();
    if (!parser.parse(arguments)) {
        line.error = parser.errorText();
        return line;
    }
    line.help = parser.isSet(helpOption) || parser.isSet(helpAllOption);
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
        line.error = QStringLiteral("można otworzyć tylko jeden plik ustawień");
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
