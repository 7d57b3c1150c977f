// tarnik-cli's workflows end to end: diff, verify, export and import, and several
// modules at once, against simulators on pseudo-terminals.

#include <QFile>

#include <algorithm>
#include <random>

#include "cli_fixture.h"
#include "model/codepage.h"
#include "model/conversion.h"
#include "model/image_layout.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"
#include "module_image.h"
#include "simulator/module_behaviours.h"

namespace tarnik {
namespace {

std::string cp1250(const char* utf8)
{
    return toCp1250(QString::fromUtf8(utf8));
}

using test::holdsProgrammedImage;
using test::imageOf;

::testing::AssertionResult holds(const ModuleSimulator& module, const SettingsRecord& record)
{
    return holdsProgrammedImage(module.memory(), record);
}

// Random bytes everywhere, with every text's length within its maximum (a file with a
// longer one is refused on opening).
std::pair<SettingsRecord, UserDirectory> randomSettings(std::mt19937& random)
{
    SettingsRecord record{};
    UserDirectory users{};
    auto fill = [&random](void* data, std::size_t size) {
        auto* bytes = static_cast<std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(random());
    };
    fill(&record, sizeof record);
    fill(&users, sizeof users);
    for (const SettingEntry& entry : settingsCatalogue()) {
        if (entry.kind != SettingKind::Text)
            continue;
        auto* base = entry.home == SettingHome::Settings ? reinterpret_cast<std::uint8_t*>(&record)
                                                         : reinterpret_cast<std::uint8_t*>(&users);
        base[entry.offset] = static_cast<std::uint8_t>(random() % (entry.maxLength() + 1));
    }
    // Numbers the module takes (a document holding any other is refused by import).
    const auto number = [&random](auto& field) {
        std::string digits = random() % 2 ? "+" : "";
        digits.resize(random() % 12, '0');
        for (std::size_t i = digits.starts_with('+') ? 1 : 0; i < digits.size(); ++i)
            digits[i] = static_cast<char>('0' + random() % 10);
        field.assign(digits == "+" ? "" : digits);
    };
    number(record.csms);
    for (auto& user : record.nrUser)
        number(user);
    return {record, users};
}

TEST_F(Cli, VersionHelpAndUnknownOptions)
{
    const CliResult version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tarnik-cli 1.1\n");
    const CliResult unknown = run({"diff", "--frobnicate", "a", "b"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("Użycie: tarnik-cli"), std::string::npos) << unknown.err;
    for (const char* command : {"verify", "diff", "export", "import"}) {
        const CliResult help = run({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find(std::string("tarnik-cli ") + command), std::string::npos);
    }
    EXPECT_EQ(run({"read", "--port", "a", "--port", "b", "-o", path("x.zvn")}).status, 2)
        << "read serves one module";
    EXPECT_EQ(run({"verify", "--port", "a"}).status, 2) << "no file";
    EXPECT_EQ(run({"import", path("a.json")}).status, 2) << "no -o";
}

TEST_F(Cli, DiffListsEachDifferingSettingInPageOrder)
{
    SettingsRecord a = startupSettings();
    UserDirectory users{};
    a.flags = 0x01;  // SMS control of output 1 on, so its codes are programmed
    a.smsWeRe[6][1].assign("Zalanie");
    const std::string fileA = saveSettings("a.zvn", a, users);

    SettingsRecord same = a;
    same.smsWeRe[6][1].chars[20] = 'x';  // past the text's length
    same.spare85[2] = 3;                 // no setting's byte
    const CliResult equal = run({"diff", fileA, saveSettings("same.zvn", same, users)});
    EXPECT_EQ(equal.status, 0) << equal.err;
    EXPECT_TRUE(equal.out.empty()) << equal.out;

    SettingsRecord b = a;
    UserDirectory usersB{};
    b.wylWyCode[0][0] = 'W';
    b.wylWyCode[0][1] = '1';
    b.numberWeRe[2][1] = 0x28;
    b.smsWeRe[6][1].assign("Zalanie piwnicy");
    b.callingTimer = 30;
    usersB.entries[0].osoba.assign(cp1250("Żaneta"));
    const CliResult differ = run({"diff", fileA, saveSettings("b.zvn", b, usersB)});
    EXPECT_EQ(differ.status, 1);
    EXPECT_EQ(differ.lines(),
              (std::vector<std::string>{
                  "Podstawowe / Ustawienia clipa / Dzwoń przez [s]: A: 1, B: 30",
                  "numery telefonów / Użytkownik 1 / Nazwa: A: \"\", B: \"Żaneta\"",
                  "Wejścia / Wejście 3 / zanik masy / Reakcja wyjść: B: − Opcje nieaktywne, + "
                  "Załącz wyjście 2, + Załącz wyjście 1",
                  "Wejścia / Wejście 7 / zanik masy / Treść wiadomości SMS: A: \"Zalanie\", B: "
                  "\"Zalanie piwnicy\"",
                  "Wyjścia / Wyjście 1 / Kod wyłączenia: A: \"\", B: \"W1\"",
              }));

    const CliResult missing = run({"diff", fileA, path("none.zvn")});
    EXPECT_EQ(missing.status, 4);
    EXPECT_NE(missing.err.find(path("none.zvn")), std::string::npos) << missing.err;
    std::ofstream(path("text.zvn")) << "not a settings file";
    const CliResult damaged = run({"diff", path("text.zvn"), fileA});
    EXPECT_EQ(damaged.status, 4);
    EXPECT_NE(damaged.err.find(path("text.zvn")), std::string::npos) << damaged.err;
    EXPECT_EQ(run({"diff", fileA}).status, 2);
}

TEST_F(Cli, VerifyComparesTheModuleWithTheFile)
{
    SettingsRecord record = startupSettings();
    record.nrUser[0].assign("+48600100200");
    record.smsSpecWeRe[2][0].assign(cp1250("Sabotaż!"));
    const std::string file = saveSettings("site.zvn", record);

    SimulatorOptions holding;
    holding.memory = imageOf(record);
    auto& good = simulator(holding);
    const CliResult ok = run({"verify", "--port", good.devicePath(), file});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.lines(), std::vector<std::string>{"Moduł zawiera ustawienia z pliku."});
    EXPECT_EQ(good.frames().back().command, '3') << "read back, nothing written";

    // The module holds the file but for one byte inside the tamper input's text.
    DeviceImage almost = imageOf(record);
    almost[image::specialTextSlot(2, 0) + 3] = 'X';
    SimulatorOptions oneByte;
    oneByte.memory = almost;
    auto& off = anotherSimulator(oneByte);
    const CliResult differs = run({"verify", "--port", off.devicePath(), file});
    EXPECT_EQ(differs.status, 5);
    EXPECT_EQ(differs.lines(), (std::vector<std::string>{
                                   "Wejścia specjalne / Wejście sabotażowe / podanie masy / "
                                   "Treść wiadomości SMS: plik: \"Sabotaż!\", moduł: \"SabXtaż!\"",
                                   "Moduł różni się od pliku: 1 różnica."}));

    SimulatorOptions silentOptions;
    silentOptions.behaviours.push_back(behaviour::SilentAfter(0));
    auto& silent = anotherSimulator(silentOptions);
    const CliResult none =
        run({"verify", "--port", silent.devicePath(), "--timeout-ms", "300", file});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.lines(), std::vector<std::string>{"Brak oprowiedzi z modułu."});

    EXPECT_EQ(run({"verify", "--port", "/nonexistent/tty", file}).status, 3);
    EXPECT_EQ(run({"verify", "--port", good.devicePath(), path("none.zvn")}).status, 4);
}

TEST_F(Cli, ProgramWithVerifyReadsTheModuleBack)
{
    SettingsRecord record = startupSettings();
    record.timerTorBuf[3] = 120;
    const std::string file = saveSettings("p.zvn", record);
    auto& module = simulator();
    const CliResult r = run({"program", "--verify", "--port", module.devicePath(), file});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = r.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Programowanie zakończone pomyślnie.");
    EXPECT_EQ(lines.back(), "Weryfikacja: moduł zawiera zaprogramowane ustawienia.");
    EXPECT_EQ(module.frames().back().command, '3');
    EXPECT_TRUE(holds(module, record));
}

TEST_F(Cli, ExportAndImportRoundTrip)
{
    std::mt19937 random(1250);
    std::vector<std::pair<SettingsRecord, UserDirectory>> cases;
    SettingsRecord defaults{};
    SetDefaults(defaults);
    cases.push_back({defaults, UserDirectory{}});
    for (int i = 0; i < 3; ++i)
        cases.push_back(randomSettings(random));
    int n = 0;
    for (const auto& [record, users] : cases) {
        const std::string name = "case" + std::to_string(n++);
        const std::string original = saveSettings(name + ".zvn", record, users);
        const CliResult exported = run({"export", original});
        ASSERT_EQ(exported.status, 0) << exported.err;
        EXPECT_EQ(
            exported.out.rfind("{\n    \"format\": \"tarnik-settings\",\n    \"version\": 1,", 0),
            0u);
        std::ofstream(path(name + ".json"), std::ios::binary) << exported.out;
        const CliResult imported =
            run({"import", path(name + ".json"), "-o", path(name + "-back.zvn")});
        ASSERT_EQ(imported.status, 0) << imported.err;
        const CliResult diff = run({"diff", original, path(name + "-back.zvn")});
        EXPECT_EQ(diff.status, 0) << diff.out;
        const CliResult again =
            run({"export", path(name + "-back.zvn"), "-o", path(name + "-again.json")});
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(readFile(path(name + "-again.json")), exported.out) << name;
    }
}

TEST_F(Cli, ImportRefusesAndWritesNothing)
{
    SettingsRecord record = startupSettings();
    const std::string original = saveSettings("o.zvn", record);
    ASSERT_EQ(run({"export", original, "-o", path("o.json")}).status, 0);
    std::string json = readFile(path("o.json"));
    const std::string key = "\"timerPod[4]\": 1";
    json.replace(json.find(key), key.size(), "\"timerPod[4]\": 256");
    std::ofstream(path("bad.json"), std::ios::binary) << json;
    const std::string out = path("never.zvn");
    const CliResult r = run({"import", path("bad.json"), "-o", out});
    EXPECT_EQ(r.status, 2) << "a refused document is refused settings";
    EXPECT_NE(r.err.find("timerPod[4]: wartość 256 poza zakresem 1..255"), std::string::npos)
        << r.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
    std::ofstream(path("broken.json"), std::ios::binary) << json.substr(0, json.size() / 2);
    EXPECT_EQ(run({"import", path("broken.json"), "-o", out}).status, 2) << "not even JSON";
    EXPECT_EQ(run({"import", path("missing.json"), "-o", out}).status, 4) << "unreadable";
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
}

TEST_F(Cli, TwoModulesAtOnce)
{
    SettingsRecord record = startupSettings();
    record.smsWeRe[0][0].assign("Wejście 1");
    const std::string file = saveSettings("two.zvn", record);
    auto& first = simulator();
    auto& second = anotherSimulator();
    const std::string p1 = first.devicePath(), p2 = second.devicePath();
    const CliResult r = run({"program", "--port", p1, "--port", p2, file});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = r.lines();
    for (const std::string& line : lines)
        EXPECT_TRUE(line.rfind(p1 + ": ", 0) == 0 || line.rfind(p2 + ": ", 0) == 0) << line;
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], p1 + ": OK (0)");
    EXPECT_EQ(lines.back(), p2 + ": OK (0)");
    for (const std::string& port : {p1, p2})
        EXPECT_NE(
            std::find(lines.begin(), lines.end(), port + ": Programowanie zakończone pomyślnie."),
            lines.end());
    EXPECT_TRUE(holds(first, record));
    EXPECT_TRUE(holds(second, record));

    const CliResult verified = run({"verify", "--port", p1, "--port", p2, file});
    EXPECT_EQ(verified.status, 0) << verified.err;
}

TEST_F(Cli, FourModulesWithOneSilentAndOneUnpluggedMidRun)
{
    SettingsRecord record = startupSettings();
    record.csms.assign("+48601000310");
    const std::string file = saveSettings("four.zvn", record);
    SimulatorOptions silentOptions;
    silentOptions.behaviours.push_back(behaviour::SilentAfter(0));
    SimulatorOptions unpluggedOptions;
    unpluggedOptions.behaviours.push_back(behaviour::HangUpAt(6));
    auto& a = simulator();
    auto& silent = anotherSimulator(silentOptions);
    auto& b = anotherSimulator();
    auto& unplugged = anotherSimulator(unpluggedOptions);
    const std::vector<std::string> ports = {a.devicePath(), silent.devicePath(), b.devicePath(),
                                            unplugged.devicePath()};
    const CliResult r = run({"program", "--port", ports[0], "--port", ports[1], "--port", ports[2],
                             "--port", ports[3], "--timeout-ms", "3000", file});
    EXPECT_EQ(r.status, 1) << "the silent port is the first, in order, that failed";
    const auto lines = r.lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{ports[0] + ": OK (0)",
                                        ports[1] + ": brak odpowiedzi z modułu (1)",
                                        ports[2] + ": OK (0)", ports[3] + ": błąd portu (3)"}));
    EXPECT_NE(r.err.find(ports[3] + ": Połączenie z modułem zostało przerwane."), std::string::npos)
        << r.err;
    EXPECT_TRUE(holds(a, record));
    EXPECT_TRUE(holds(b, record));

    // verify one healthy and the silent module, the silent one first.
    const CliResult v =
        run({"verify", "--port", ports[1], "--port", ports[0], "--timeout-ms", "1000", file});
    EXPECT_EQ(v.status, 1) << v.out << v.err;
    const auto vlines = v.lines();
    ASSERT_GE(vlines.size(), 2u);
    EXPECT_EQ(vlines[vlines.size() - 2], ports[1] + ": brak odpowiedzi z modułu (1)");
    EXPECT_EQ(vlines.back(), ports[0] + ": OK (0)");
}

}  // namespace
}  // namespace tarnik
