// sites: the library of sites from the command line, one site or the whole library at a
// time.

#include "cli/cli_sites.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <ostream>
#include <span>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_library.h"
#include "cli/cli_outputs.h"
#include "file/replace_file.h"
#include "file/settings_file.h"
#include "file/settings_json.h"
#include "model/polish_plural.h"

namespace tarnik::cli {

namespace {

using sites::EntryKind;
using sites::LibraryError;
using sites::SiteLibrary;

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

// The site's name: the first plain argument after the sites command's own word.
QString siteName(const Arguments& args)
{
    return fromStd(args.positional.at(1));
}

// The details --name, --address, --contact, --notes, --serial and --phone give, over
// `details`. True when any was given.
bool applyDetails(const Arguments& args, sites::SiteDetails& details)
{
    bool given = false;
    for (const auto& [value, field] :
         {std::pair{&args.name, &details.name}, std::pair{&args.address, &details.address},
          std::pair{&args.contact, &details.contact}, std::pair{&args.notes, &details.notes},
          std::pair{&args.serial, &details.serialNumber},
          std::pair{&args.phone, &details.modulePhone}})
        if (*value) {
            *field = fromStd(**value);
            given = true;
        }
    return given;
}

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

int runAdd(const Arguments& args, std::ostream& out, std::ostream& err)
{
    int status = kExitOk;
    const auto settings = loadForLibrary(args.positional[2], err, status);
    if (!settings)
        return status;
    sites::SiteDetails details;
    applyDetails(args, details);
    details.name = siteName(args);
    const auto library = openLibrary(args);
    library->addSite(details, *settings);
    out << "Dodano obiekt " << quotedName(details.name) << "." << std::endl;
    return kExitOk;
}

int runEdit(const Arguments& args, std::ostream& out, std::ostream&)
{
    sites::SiteDetails unchanged;
    if (!applyDetails(args, unchanged))
        throw UsageError("podaj, co zmienić: --name, --address, --contact, --notes, --serial "
                         "albo --phone");
    const auto library = openLibrary(args);
    sites::SiteDetails details = library->site(siteName(args)).details;
    applyDetails(args, details);
    const sites::SiteSummary edited = library->editSite(siteName(args), details);
    out << "Zmieniono dane obiektu " << quotedName(edited.details.name) << "." << std::endl;
    return kExitOk;
}

int runRemove(const Arguments& args, std::ostream& out, std::ostream&)
{
    if (!args.yes)
        throw UsageError("usunięcie obiektu wraz z całą historią trzeba potwierdzić: dodaj --yes");
    const auto library = openLibrary(args);
    const QString name = library->site(siteName(args)).details.name;
    library->removeSite(name);
    out << "Usunięto obiekt " << quotedName(name) << " wraz z historią." << std::endl;
    return kExitOk;
}

int runList(const Arguments& args, std::ostream& out, std::ostream&)
{
    const QString search = args.positional.size() > 1 ? siteName(args) : QString();
    const auto library = openLibrary(args);
    for (const sites::SiteSummary& site : library->listSites(search)) {
        const sites::SiteDetails& d = site.details;
        out << lineValue(d.name) << '\t' << lineValue(d.address) << '\t'
            << lineValue(d.serialNumber) << '\t' << lineValue(d.modulePhone) << '\t'
            << localDate(site.lastProgrammed) << '\t' << localDate(site.lastVerified) << '\n';
    }
    out.flush();
    return kExitOk;
}

int runShow(const Arguments& args, std::ostream& out, std::ostream&)
{
    const auto library = openLibrary(args);
    const sites::SiteSummary site = library->site(siteName(args));
    const std::vector<sites::HistoryEntry> history = library->history(site.details.name);
    const auto count = [&history](std::initializer_list<EntryKind> kinds) {
        return std::ranges::count_if(history, [&kinds](const sites::HistoryEntry& entry) {
            return std::ranges::find(kinds, entry.kind) != kinds.end();
        });
    };
    const auto time = [](const std::optional<QDateTime>& at) {
        return at ? localTime(*at) : std::string("-");
    };
    const sites::SiteDetails& d = site.details;
    out << "Nazwa: " << lineValue(d.name) << '\n'
        << "Adres: " << lineValue(d.address) << '\n'
        << "Kontakt: " << lineValue(d.contact) << '\n'
        << "Uwagi: " << lineValue(d.notes) << '\n'
        << "Numer seryjny modułu: " << lineValue(d.serialNumber) << '\n'
        << "Numer telefonu modułu: " << lineValue(d.modulePhone) << '\n'
        << "Rewizja: " << site.revision << '\n'
        << "Wpisy w historii: " << history.size() << '\n'
        << "Zapisy: " << count({EntryKind::Saved}) << '\n'
        << "Programowania: " << count({EntryKind::Programmed, EntryKind::ProgrammedAndVerified})
        << '\n'
        << "Odczyty: " << count({EntryKind::ReadBack}) << '\n'
        << "Weryfikacje: " << count({EntryKind::Verified}) << '\n'
        << "Ostatnie programowanie: " << time(site.lastProgrammed) << '\n'
        << "Ostatnia weryfikacja: " << time(site.lastVerified) << '\n';
    out.flush();
    return kExitOk;
}

int runHistory(const Arguments& args, std::ostream& out, std::ostream&)
{
    const auto library = openLibrary(args);
    for (const sites::HistoryEntry& entry : library->history(siteName(args)))
        out << entry.number << '\t' << localTime(entry.time) << '\t'
            << lineValue(sites::entryKindText(entry.kind)) << '\t'
            << (entry.port.isEmpty() ? std::string("-") : lineValue(entry.port)) << '\t'
            << lineValue(entry.login) << '\t' << lineValue(entry.result) << '\t'
            << entry.changes.size() << '\n';
    out.flush();
    return kExitOk;
}

int runGet(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (!args.output || args.output->empty())
        throw UsageError("podaj plik wyjściowy: -o PLIK.zvn (\"-\": standardowe wyjście)");
    const auto library = openLibrary(args);
    refuseOutputOverLibrary(*library, args.output);
    const sites::StoredSettings settings = library->entrySettings(
        siteName(args), args.entry ? std::optional(*args.entry) : std::nullopt);
    return writeSettingsOutput(args.output, settings.record, settings.users, out, err);
}

int runSave(const Arguments& args, std::ostream& out, std::ostream& err)
{
    int status = kExitOk;
    const std::string& file = args.positional[2];
    const auto settings = loadForLibrary(file, err, status);
    if (!settings)
        return status;
    const auto library = openLibrary(args);
    printSaved(out, siteName(args), file, library->saveSettings(siteName(args), *settings));
    return kExitOk;
}

// A site of every settings file in the folder, named after the file.
int runImportFolder(const Arguments& args, std::ostream& out, std::ostream& err)
{
    const QString folder = siteName(args);
    const QDir dir(folder);
    if (!QFileInfo(folder).isDir()) {
        err << "tarnik-cli: Nie można otworzyć folderu „" << folder.toStdString() << "”: "
            << (QFileInfo::exists(folder) ? "to nie jest folder" : "nie ma takiego folderu")
            << std::endl;
        return kExitFileError;
    }
    const auto library = openLibrary(args);
    int status = kExitOk;
    const auto failed = [&status](int fileStatus) {
        if (status == kExitOk)
            status = fileStatus;
    };
    for (const QFileInfo& info :
         dir.entryInfoList({QStringLiteral("*.zvn")}, QDir::Files, QDir::Name)) {
        const std::string file = lineValue(info.fileName());
        const QString name = info.fileName().chopped(4);
        int fileStatus = kExitOk;
        const auto settings = loadForLibrary(info.filePath().toStdString(), err, fileStatus);
        if (!settings) {
            out << file << ": pominięto" << std::endl;
            failed(fileStatus);
            continue;
        }
        try {
            if (library->findSite(name)) {
                const auto entry = library->saveSettings(name, *settings);
                if (entry)
                    out << file << ": nowy wpis " << entry->number << " obiektu "
                        << quotedName(name) << " ("
                        << countedNoun(entry->changes.size(), "zmiana", "zmiany", "zmian") << ")"
                        << std::endl;
                else
                    out << file << ": bez zmian w obiekcie " << quotedName(name) << std::endl;
            } else {
                sites::SiteDetails details;
                details.name = name;
                library->addSite(details, *settings);
                out << file << ": dodano obiekt " << quotedName(name) << std::endl;
            }
        } catch (const LibraryError& e) {
            // A name no site may have skips this file alone; a failing library stops all.
            if (e.kind() != LibraryError::Kind::BadName &&
                e.kind() != LibraryError::Kind::NameTaken)
                throw;
            err << "tarnik-cli: " << file << ": " << e.what() << std::endl;
            out << file << ": pominięto" << std::endl;
            failed(libraryExitStatus(e.kind()));
        }
    }
    return status;
}

QByteArray historyJsonLines(const std::vector<sites::HistoryEntry>& history)
{
    QByteArray lines;
    for (const sites::HistoryEntry& entry : history) {
        const QJsonObject object{
            {QStringLiteral("number"), entry.number},
            {QStringLiteral("time"), QString::fromStdString(localTime(entry.time))},
            {QStringLiteral("kind"), sites::entryKindText(entry.kind)},
            {QStringLiteral("port"),
             entry.port.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(entry.port)},
            {QStringLiteral("login"), entry.login},
            {QStringLiteral("ok"), entry.ok},
            {QStringLiteral("result"), entry.result},
            {QStringLiteral("changes"), QJsonArray::fromStringList(entry.changes)},
        };
        lines += QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    }
    return lines;
}

// Per site NAME.zvn (the latest settings), NAME.json (as export writes it) and
// NAME.history.jsonl, each replacing an earlier one whole.
int runExportFolder(const Arguments& args, std::ostream& out, std::ostream& err)
{
    const QString folder = siteName(args);
    if (!QDir().mkpath(folder)) {
        err << "tarnik-cli: Nie można utworzyć folderu „" << folder.toStdString() << "”"
            << std::endl;
        return kExitFileError;
    }
    const auto library = openLibrary(args);
    int status = kExitOk;
    long long exported = 0;
    for (const sites::SiteSummary& site : library->listSites()) {
        const QString& name = site.details.name;
        const sites::StoredSettings settings = library->entrySettings(name);
        const QByteArray json = exportSettingsJson(settings.record, settings.users);
        const QByteArray history = historyJsonLines(library->history(name));
        bool written = true;
        const auto write = [&](const QString& suffix, std::span<const std::uint8_t> bytes) {
            const std::string path = QDir(folder).filePath(name + suffix).toStdString();
            try {
                replaceFileContent(path, bytes);
            } catch (const std::system_error& e) {
                err << "tarnik-cli: Nie można zapisać pliku „" << lineValue(fromStd(path))
                    << "”: " << systemErrorText(e.code().value()) << std::endl;
                written = false;
            }
        };
        try {
            write(QStringLiteral(".zvn"), settingsFileBytes(settings.record, settings.users));
        } catch (const SettingsFileError& e) {
            err << "tarnik-cli: " << quotedName(name) << ": " << e.what() << std::endl;
            written = false;
        }
        write(QStringLiteral(".json"), bytesOf(json));
        write(QStringLiteral(".history.jsonl"), bytesOf(history));
        if (written)
            ++exported;
        else
            status = kExitFileError;
    }
    out << "Zapisano " << countedNoun(exported, "obiekt", "obiekty", "obiektów") << " w folderze "
        << lineValue(folder) << "." << std::endl;
    return status;
}

struct Subcommand {
    const char* name;
    std::size_t arguments;  // plain arguments after the word, the optional one included
    bool lastOptional;
    std::vector<std::string_view> options;
    int (*run)(const Arguments&, std::ostream&, std::ostream&);
};

const Subcommand kSubcommands[] = {
    {"add", 2, false, {"address", "contact", "notes", "serial", "phone"}, runAdd},
    {"edit", 1, false, {"name", "address", "contact", "notes", "serial", "phone"}, runEdit},
    {"remove", 1, false, {"yes"}, runRemove},
    {"list", 1, true, {}, runList},
    {"show", 1, false, {}, runShow},
    {"history", 1, false, {}, runHistory},
    {"get", 1, false, {"entry", "output"}, runGet},
    {"save", 2, false, {}, runSave},
    {"import", 1, false, {}, runImportFolder},
    {"export", 1, false, {}, runExportFolder},
};

}  // namespace

const std::vector<std::string_view>& sitesOptions()
{
    static const std::vector<std::string_view> kOptions{
        "address", "contact", "notes", "serial", "phone", "name", "entry", "yes", "output"};
    return kOptions;
}

int runSites(const Arguments& args, std::ostream& out, std::ostream& err)
{
    if (args.positional.empty())
        throw UsageError("podaj polecenie biblioteki: add, edit, remove, list, show, history, "
                         "get, save, import albo export");
    const std::string& word = args.positional.front();
    const auto command = std::ranges::find_if(
        kSubcommands, [&word](const Subcommand& sub) { return word == sub.name; });
    if (command == std::end(kSubcommands))
        throw UsageError("nieznane polecenie biblioteki " + word);
    const std::size_t given = args.positional.size() - 1;
    if (given > command->arguments || given < command->arguments - (command->lastOptional ? 1 : 0))
        throw UsageError(std::string("sites ") + command->name + ": " +
                         (given > command->arguments
                              ? "nieoczekiwany argument " + args.positional[command->arguments + 1]
                              : std::string("brak argumentu")));
    for (const std::string& option : args.given) {
        if (std::ranges::find(sitesOptions(), option) == sitesOptions().end())
            continue;  // an option of every command
        if (std::ranges::find(command->options, option) == command->options.end())
            throw UsageError(std::string("sites ") + command->name + " nie przyjmuje opcji " +
                             (option == "output" ? "-o/--" : "--") + option);
    }
    return command->run(args, out, err);
}

std::string sitesUsageText()
{
    return "Użycie: tarnik-cli sites POLECENIE ... [--library LIB]\n"
           "Biblioteka obiektów: każdy obiekt (moduł u klienta) z danymi i historią\n"
           "konfiguracji, czyli każdym zapisem, programowaniem, odczytem i weryfikacją.\n"
           "  add NAZWA PLIK.zvn [--address A] [--contact K] [--notes T] [--serial S]\n"
           "      [--phone P]\n"
           "      nowy obiekt z ustawieniami z pliku\n"
           "  edit NAZWA [--name N] [--address A] [--contact K] [--notes T]\n"
           "      [--serial S] [--phone P]\n"
           "      zmienia tylko podane dane\n"
           "  remove NAZWA --yes\n"
           "      usuwa obiekt wraz z historią\n"
           "  list [TEKST]\n"
           "      obiekty, jeden w wierszu, pola rozdzielone tabulatorem: nazwa, adres,\n"
           "      numer seryjny, telefon modułu, data ostatniego programowania i ostatniej\n"
           "      weryfikacji (RRRR-MM-DD albo -); TEKST szuka w nazwie, adresie,\n"
           "      kontakcie, numerze seryjnym, telefonie oraz w nazwach i numerach\n"
           "      użytkowników, bez względu na wielkość liter i polskie znaki\n"
           "  show NAZWA\n"
           "      dane obiektu, „Etykieta: wartość” w wierszu\n"
           "  history NAZWA\n"
           "      historia: numer, czas, rodzaj, port, użytkownik, wynik, liczba zmian,\n"
           "      rozdzielone tabulatorem\n"
           "  get NAZWA [--entry N] -o PLIK.zvn\n"
           "      zapisuje ustawienia wpisu N (bez --entry: ostatniego); -o - to\n"
           "      standardowe wyjście\n"
           "  save NAZWA PLIK.zvn\n"
           "      dodaje wpis z ustawieniami pliku i wypisuje zmiany; „Bez zmian: ...”,\n"
           "      gdy są takie jak w ostatnim wpisie\n"
           "  import FOLDER\n"
           "      każdy plik *.zvn folderu staje się obiektem nazwanym jak plik;\n"
           "      istniejący obiekt dostaje wpis, gdy ustawienia się różnią\n"
           "  export FOLDER\n"
           "      dla każdego obiektu NAZWA.zvn, NAZWA.json (jak export)\n"
           "      i NAZWA.history.jsonl (wpis historii w wierszu)\n"
           "Moduł obiektu (dokładnie jeden --port); każda wymiana trafia do historii,\n"
           "także nieudana:\n"
           "  program --site NAZWA --port PORT [--verify] [PLIK.zvn]\n"
           "      programuje ustawienia obiektu z jego ostatniego zapisu lub\n"
           "      programowania; PLIK zapisuje się najpierw w obiekcie\n"
           "  verify --site NAZWA --port PORT\n"
           "      porównuje moduł z tymi ustawieniami (odczyt zapisuje w historii, co\n"
           "      moduł zawiera, ale nie zmienia tego, co ma zawierać)\n"
           "  read --site NAZWA --port PORT [-o WYJŚCIE]\n"
           "      odczytuje moduł i wypisuje „Zmiany od ostatniego programowania:”\n"
           "Przechowywane są ustawienia takie, jakie otrzyma moduł; plik, którego\n"
           "programowanie zostałoby odrzucone, jest odrzucany.\n"
           "--library LIB: plik SQLite albo\n"
           "postgresql://UŻYTKOWNIK@HOST/BAZA?host=FOLDER; bez niej zmienna\n"
           "TARNIK_LIBRARY, a bez niej $XDG_DATA_HOME/Tarnik/obiekty.sqlite.\n"
           "Hasło do serwera tylko przez ~/.pgpass, nigdy w LIB.\n"
           "Kod wyjścia: 0 wykonano, 1 read --site: moduł różni się od tego, co\n"
           "biblioteka ostatnio w nim zaprogramowała, 2 błąd użycia (nieznany obiekt\n"
           "lub wpis, nazwa zajęta lub niedozwolona, brak --yes), 4 błąd pliku lub\n"
           "biblioteki (serwer nieosiągalny, biblioteka uszkodzona, z nowszej wersji,\n"
           "tylko do odczytu, obiekt zmieniony w międzyczasie); program, verify i read\n"
           "poza tym jak bez --site.\n";
}

}  // namespace tarnik::cli
