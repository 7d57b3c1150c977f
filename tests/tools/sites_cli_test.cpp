// tarnik-cli sites and the module commands with --site, on a real SQLite library in a
// temporary folder and simulated modules on pseudo-terminals.

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

#include "cli_fixture.h"
#include "model/effective_settings.h"
#include "model/value_ranges.h"
#include "module_image.h"
#include "simulator/module_behaviours.h"

namespace tarnik {
namespace {

using Rows = std::vector<std::vector<std::string>>;

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// Settings whose raw record is not what the module would receive: the calling time is
// past its maximum (240), so the library must store it clamped.
SettingsRecord settingsWithCallingTime(int seconds)
{
    SettingsRecord record = startupSettings();
    record.callingTimer = static_cast<std::uint8_t>(seconds);
    return record;
}

bool sameRecord(const SettingsRecord& a, const SettingsRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class SitesCli : public Cli {
protected:
    // A command on the test's own library.
    CliResult withLibrary(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--library", path("lib.sqlite")});
        return run(args);
    }
    CliResult sites(std::vector<std::string> args)
    {
        args.insert(args.begin(), "sites");
        return withLibrary(args);
    }
    Rows rows(const std::vector<std::string>& args)
    {
        const CliResult r = sites(args);
        EXPECT_EQ(r.status, 0) << r.err;
        Rows result;
        for (const std::string& line : r.lines())
            result.push_back(splitTabs(line));
        return result;
    }
    // The record `sites get` writes for the site (the latest entry, or `entry`).
    SettingsRecord stored(const std::string& site, const std::string& entry = {})
    {
        std::vector<std::string> args{"get", site, "-o", path("got.zvn")};
        if (!entry.empty())
            args.insert(args.end(), {"--entry", entry});
        const CliResult r = sites(args);
        EXPECT_EQ(r.status, 0) << r.err;
        SettingsRecord record{};
        UserDirectory users{};
        LoadSettingsFile(QString::fromStdString(path("got.zvn")), record, users);
        return record;
    }
};

TEST_F(SitesCli, AddListSearchShowEditGetAndRemove)
{
    const SettingsRecord raw = settingsWithCallingTime(250);
    ASSERT_FALSE(sameRecord(raw, effectiveSettings(raw).record()));
    const std::string file = saveSettings("dom.zvn", raw);
    ASSERT_EQ(sites({"add", "Dom Nowaków", file, "--address", "Łódź, Długa 5", "--serial", "SN-77",
                     "--phone", "+48600100200", "--contact", "Anna"})
                  .status,
              0);
    ASSERT_EQ(sites({"add", "Sklep", file, "--address", "Kraków"}).status, 0);

    EXPECT_EQ(rows({"list"}),
              (Rows{{"Dom Nowaków", "Łódź, Długa 5", "SN-77", "+48600100200", "-", "-"},
                    {"Sklep", "Kraków", "", "", "-", "-"}}));
    EXPECT_EQ(rows({"list", "LODZ"}).size(), 1u) << "case and diacritics ignored";
    EXPECT_TRUE(rows({"list", "Warszawa"}).empty());
    EXPECT_TRUE(sameRecord(stored("Dom Nowaków"), effectiveSettings(raw).record()));

    ASSERT_EQ(sites({"edit", "Dom Nowaków", "--name", "Dom", "--phone", "+48600999999"}).status, 0);
    const CliResult show = sites({"show", "Dom"});
    EXPECT_EQ(show.status, 0) << show.err;
    for (const char* line : {"Nazwa: Dom\n", "Adres: Łódź, Długa 5\n", "Kontakt: Anna\n",
                             "Numer telefonu modułu: +48600999999\n", "Wpisy w historii: 1\n"})
        EXPECT_NE(show.out.find(line), std::string::npos) << line << "\n" << show.out;

    const CliResult removed = sites({"remove", "Sklep", "--yes"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(rows({"list"}).size(), 1u);
}

TEST_F(SitesCli, AValueWithATabOrALineBreakKeepsItsLine)
{
    const std::string file = saveSettings("a.zvn", startupSettings());
    ASSERT_EQ(sites({"add", "Hala", file, "--address", "Polna 1\tbrama 2\npiętro 3"}).status, 0);
    EXPECT_EQ(rows({"list"}), (Rows{{"Hala", "Polna 1\\tbrama 2\\npiętro 3", "", "", "-", "-"}}));
}

TEST_F(SitesCli, UsageAndLibraryErrorsAndTheirStatuses)
{
    const std::string file = saveSettings("a.zvn", startupSettings());
    SettingsRecord national = startupSettings();
    national.nrUser[0].assign("600100200");  // programming refuses a national number
    const std::string refused = saveSettings("refused.zvn", national);
    ASSERT_EQ(sites({"add", "Dom", file}).status, 0);
    QFile notSettings(QString::fromStdString(path("notes.zvn")));
    ASSERT_TRUE(notSettings.open(QIODevice::WriteOnly));
    notSettings.write("no settings here");
    notSettings.close();

    const struct {
        std::vector<std::string> args;
        int status;
        const char* said;
    } cases[] = {
        {{"sites", "show", "Nieznany"}, 2, ""},
        {{"sites", "add", "Dom", file}, 2, ""},
        {{"sites", "add", "a/b", file}, 2, ""},
        {{"sites", "remove", "Dom"}, 2, "--yes"},
        {{"sites", "edit", "Dom"}, 2, "--name"},
        {{"sites", "get", "Dom", "--entry", "9", "-o", path("x.zvn")}, 2, ""},
        {{"sites", "get", "Dom"}, 2, "-o"},
        {{"sites", "get", "Dom", "-o", path("lib.sqlite")}, 2, "lib.sqlite"},
        {{"sites", "list", "--yes"}, 2, "--yes"},
        {{"sites", "frob"}, 2, "frob"},
        {{"sites", "add", "Inny", refused}, 2, "refused.zvn"},
        {{"sites", "save", "Dom", path("notes.zvn")}, 4, "notes.zvn"},
        {{"program", "--site", "Dom", "--port", "a", "--port", "b"}, 2, "--port"},
        {{"read", "--site", "Nieznany", "--port", "a"}, 2, ""},
    };
    for (const auto& c : cases) {
        const CliResult r = withLibrary(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1] << " " << r.err;
        EXPECT_TRUE(r.err.starts_with("tarnik-cli")) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << c.said << ": " << r.err;
    }
    EXPECT_EQ(rows({"list"}).size(), 1u) << "nothing refused was added";
}

TEST_F(SitesCli, ADamagedLibraryIsRefusedAndLeftAsItWas)
{
    const std::string damaged(3000, '\x5a');
    QFile lib(QString::fromStdString(path("lib.sqlite")));
    ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
    lib.write(damaged.data(), static_cast<qint64>(damaged.size()));
    lib.close();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"list"},
          {"add", "Dom", saveSettings("a.zvn", startupSettings())}}) {
        const CliResult r = sites(args);
        EXPECT_EQ(r.status, 4) << r.err;
        EXPECT_TRUE(r.err.starts_with("tarnik-cli: ")) << r.err;
    }
    EXPECT_EQ(readFile(path("lib.sqlite")), damaged);
}

TEST_F(SitesCli, ImportAFolderAndExportTheLibrary)
{
    QDir(QString::fromStdString(path(""))).mkdir(QStringLiteral("in"));
    const std::vector<std::pair<std::string, SettingsRecord>> files{
        {"in/Biuro.zvn", settingsWithCallingTime(250)},
        {"in/Garaż.zvn", settingsWithCallingTime(30)},
    };
    for (const auto& [name, record] : files)
        saveSettings(name, record);
    QFile broken(QString::fromStdString(path("in/Zepsuty.zvn")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a settings file");
    broken.close();

    const CliResult first = sites({"import", path("in")});
    EXPECT_EQ(first.status, 4) << "a file that is no settings file";
    EXPECT_NE(first.err.find("Zepsuty.zvn"), std::string::npos) << first.err;
    EXPECT_EQ(first.lines().size(), 3u) << first.out;
    for (const auto& [name, record] : files) {
        const std::string site =
            QFileInfo(QString::fromStdString(name)).completeBaseName().toStdString();
        EXPECT_TRUE(sameRecord(stored(site), effectiveSettings(record).record())) << site;
    }

    QFile::remove(QString::fromStdString(path("in/Zepsuty.zvn")));
    const CliResult again = sites({"import", path("in")});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(rows({"history", "Biuro"}).size(), 1u) << "equal settings add nothing";
    saveSettings("in/Biuro.zvn", settingsWithCallingTime(45));
    EXPECT_EQ(sites({"import", path("in")}).status, 0);
    const Rows history = rows({"history", "Biuro"});
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[1][6], "1") << "one change: the calling time";

    const CliResult exported = sites({"export", path("out/nested")});
    EXPECT_EQ(exported.status, 0) << exported.err;
    for (const std::string site : {"Biuro", "Garaż"}) {
        const std::string base = path("out/nested/" + site);
        stored(site);
        EXPECT_EQ(readFile(base + ".zvn"), readFile(path("got.zvn"))) << site;
        EXPECT_EQ(readFile(base + ".json"), run({"export", path("got.zvn")}).out) << site;
        std::istringstream jsonl(readFile(base + ".history.jsonl"));
        std::size_t count = 0;
        for (std::string line; std::getline(jsonl, line); ++count) {
            const QJsonObject entry =
                QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
            EXPECT_EQ(entry.value(QStringLiteral("number")).toInt(), count + 1) << line;
            EXPECT_EQ(entry.value(QStringLiteral("kind")).toString(), QStringLiteral("zapis"));
            EXPECT_TRUE(entry.value(QStringLiteral("ok")).toBool()) << line;
        }
        EXPECT_EQ(count, rows({"history", site}).size()) << site;
    }
}

// The history's last entry: kind, port, result.
std::vector<std::string> lastEntry(const Rows& history)
{
    return history.empty()
               ? std::vector<std::string>{}
               : std::vector<std::string>{history.back()[2], history.back()[3], history.back()[5]};
}

TEST_F(SitesCli, ProgramVerifyAndReadRecordEachExchange)
{
    const SettingsRecord record = settingsWithCallingTime(3);
    ASSERT_EQ(sites({"add", "Dom", saveSettings("dom.zvn", record)}).status, 0);
    auto& module = simulator();
    const std::string port = module.devicePath();

    const CliResult never = withLibrary({"read", "--site", "Dom", "--port", port});
    EXPECT_EQ(never.status, 0) << never.err;
    EXPECT_NE(never.out.find("nie był jeszcze programowany"), std::string::npos) << never.out;

    const CliResult program = withLibrary({"program", "--site", "Dom", "--port", port});
    EXPECT_EQ(program.status, 0) << program.err;
    EXPECT_TRUE(test::holdsProgrammedImage(module.memory(), record));
    EXPECT_EQ(lastEntry(rows({"history", "Dom"})),
              (std::vector<std::string>{"programowanie", port, "OK"}));

    EXPECT_EQ(withLibrary({"verify", "--site", "Dom", "--port", port}).status, 0);
    EXPECT_EQ(lastEntry(rows({"history", "Dom"})),
              (std::vector<std::string>{"weryfikacja", port, "OK"}));

    const CliResult same = withLibrary({"read", "--site", "Dom", "--port", port});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.lines().back(), "Brak zmian od ostatniego programowania.");
    EXPECT_TRUE(sites({"save", "Dom", path("dom.zvn")}).out.starts_with("Bez zmian: "))
        << "a read-back of what was programmed equals the file";

    // Changed behind the library's back: programmed directly from another file.
    ASSERT_EQ(
        run({"program", "--port", port, saveSettings("inny.zvn", settingsWithCallingTime(30))})
            .status,
        0);
    const CliResult changed = withLibrary({"read", "--site", "Dom", "--port", port});
    EXPECT_EQ(changed.status, 1) << changed.err;
    const std::string heading = "Zmiany od ostatniego programowania:\n  ";
    ASSERT_NE(changed.out.find(heading), std::string::npos) << changed.out;
    const std::string change = changed.out.substr(changed.out.find(heading) + heading.size());
    EXPECT_TRUE(change.starts_with("Podstawowe / Ustawienia clipa / Dzwoń przez [s]")) << change;
    EXPECT_EQ(lastEntry(rows({"history", "Dom"})),
              (std::vector<std::string>{"odczyt", port, "OK"}));
    EXPECT_EQ(stored("Dom").callingTimer, 30) << "the read-back entry holds what the module holds";

    const CliResult differs = withLibrary({"verify", "--site", "Dom", "--port", port});
    EXPECT_EQ(differs.status, 5);
    EXPECT_EQ(lastEntry(rows({"history", "Dom"})),
              (std::vector<std::string>{"weryfikacja", port, "moduł różni się od ustawień"}));
}

TEST_F(SitesCli, FailedExchangesAreRecordedToo)
{
    const SettingsRecord record = startupSettings();
    ASSERT_EQ(sites({"add", "Dom", saveSettings("dom.zvn", record)}).status, 0);

    SimulatorOptions silentOptions;
    silentOptions.behaviours.push_back(behaviour::SilentAfter(0));
    const std::string silent = anotherSimulator(silentOptions).devicePath();
    for (const std::string command : {"program", "verify", "read"}) {
        const CliResult r =
            withLibrary({command, "--site", "Dom", "--port", silent, "--timeout-ms", "300"});
        EXPECT_EQ(r.status, 1) << command;
    }
    const Rows history = rows({"history", "Dom"});
    ASSERT_EQ(history.size(), 4u);
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(history[i][5], "brak odpowiedzi z modułu") << history[i][2];

    // Programmed, then silent for the read-back: a programming that succeeded, unchecked.
    auto& counting = simulator();
    ASSERT_EQ(
        run({"program", "--port", counting.devicePath(), saveSettings("x.zvn", record)}).status, 0);
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(counting.frameCount()));
    const std::string port = anotherSimulator(options).devicePath();
    EXPECT_EQ(
        withLibrary({"program", "--site", "Dom", "--verify", "--port", port, "--timeout-ms", "500"})
            .status,
        1);
    const std::vector<std::string> last = lastEntry(rows({"history", "Dom"}));
    ASSERT_EQ(last.size(), 3u);
    EXPECT_EQ(last[0], "programowanie");
    EXPECT_TRUE(last[2].starts_with("OK")) << last[2];
}

}  // namespace
}  // namespace tarnik
