// tarnik-cli end to end: the real program against the simulator, exit status and output.

#include <cstring>

#include "cli_fixture.h"
#include "link/protocol.h"
#include "model/configuration_check.h"
#include "model/conversion.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"
#include "module_image.h"
#include "simulator/module_behaviours.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;

using test::holdsProgrammedImage;
using test::imageOf;

TEST_F(Cli, ProgramPrintsEveryLineAndProgressTextAndExitsZero)
{
    auto& module = simulator();
    const CliResult r = run({"program", "--port", module.devicePath(), "--defaults"});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto lines = r.lines();
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[0], "Rozpoczęcie programowania.");
    EXPECT_EQ(lines[1], "postęp: ");
    EXPECT_EQ(lines[2], "Postęp: 3% ##");
    EXPECT_EQ(lines[27], "Postęp: 100% " + std::string(52, '#'));
    EXPECT_EQ(lines[28], "Programowanie zakończone pomyślnie.");
    // Without a file the start-up settings are programmed.
    EXPECT_TRUE(holdsProgrammedImage(module.memory(), startupSettings()));
}

TEST_F(Cli, ProgramsTheRecordOfAFileAsStored)
{
    SettingsRecord record = startupSettings();
    record.nrUser[2].assign("+48222333444");
    record.smsSpecWeRe[2][0].assign("Sabotaż");
    const std::string file = saveSettings("a.zvn", record);
    auto& module = simulator();
    const CliResult r = run({"program", "--port", module.devicePath(), file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(holdsProgrammedImage(module.memory(), record));
}

TEST_F(Cli, ProgramWithoutAnswerExitsOne)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(0));
    auto& module = simulator(options);
    const CliResult r =
        run({"program", "--port", module.devicePath(), "--defaults", "--timeout-ms", "200"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.lines().back(), "Brak oprowiedzi z modułu.");
}

TEST_F(Cli, ProgramRefusesNumbersNotInInternationalFormWithStatusTwo)
{
    SettingsRecord record = startupSettings();
    record.nrUser[1].assign("48601234567");
    const std::string file = saveSettings("national.zvn", record);
    auto& module = simulator();
    const CliResult r = run({"program", "--port", module.devicePath(), file});
    EXPECT_EQ(r.status, 2);
    const std::string label = settingEntry("nrUser[2]").label;
    EXPECT_EQ(r.err, "tarnik-cli: " + file + ": " + label +
                         ": numery użytkowników muszą być "
                         "zapisane w formie międzynarodowej tzn zawierać numer kierunkowy na "
                         "kraj\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(module.frameCount(), 0);

    record.nrUser[1].assign("+4860123456789");
    const std::string longFile = saveSettings("long.zvn", record);
    const CliResult tooLong = run({"program", "--port", module.devicePath(), longFile});
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_EQ(tooLong.err, "tarnik-cli: " + longFile + ": " + label +
                               ": numer centrum sms i numery "
                               "użytkowników mogą mieć najwyżej 12 znaków\n");
    EXPECT_EQ(module.frameCount(), 0);
}

TEST_F(Cli, PortAndFileErrors)
{
    const CliResult missingPort = run({"program", "--port", "/nonexistent/tty", "--defaults"});
    EXPECT_EQ(missingPort.status, 3);
    EXPECT_NE(missingPort.err.find("Unable to open com port"), std::string::npos)
        << missingPort.err;
    EXPECT_TRUE(missingPort.out.empty());

    auto& module = simulator();
    const CliResult missingFile = run({"program", "--port", module.devicePath(), path("none.zvn")});
    EXPECT_EQ(missingFile.status, 4);
    EXPECT_NE(missingFile.err.find("Nie można otworzyć pliku „" + path("none.zvn") +
                                   "”: nie ma takiego pliku"),
              std::string::npos)
        << missingFile.err;
    EXPECT_EQ(module.frameCount(), 0);

    std::ofstream(path("text.zvn")) << "not a settings file";
    EXPECT_EQ(run({"image", path("text.zvn")}).status, 4);
}

// A damaged file is named with what was wrong, by every command that reads one.
TEST_F(Cli, DamagedFileIsNamed)
{
    const std::string damaged = path("damaged.zvn");
    std::ofstream(damaged) << "not a settings file";
    const std::string told = damaged + ": to nie jest plik ustawień (Error)";
    auto& module = simulator();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"image", damaged},
          std::vector<std::string>{"program", "--port", module.devicePath(), damaged},
          std::vector<std::string>{"read", "--port", module.devicePath(), "--base", damaged, "-o",
                                   path("out.zvn")},
          std::vector<std::string>{"verify", "--port", module.devicePath(), damaged},
          std::vector<std::string>{"diff", damaged, damaged},
          std::vector<std::string>{"export", damaged},
          std::vector<std::string>{"check", damaged}}) {
        const CliResult r = run(args);
        EXPECT_EQ(r.status, 4) << args.front();
        EXPECT_NE(r.err.find(told), std::string::npos) << r.err;
    }
    EXPECT_EQ(module.frameCount(), 0);
}

TEST_F(Cli, DeviceLostDuringProgrammingExitsThree)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::HangUpAt(4));
    auto& module = simulator(options);
    const CliResult r = run({"program", "--port", module.devicePath(), "--defaults"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("Połączenie z modułem zostało przerwane."), std::string::npos) << r.err;
}

TEST_F(Cli, ReadSavesTheModuleSettingsOntoTheBaseRecord)
{
    SettingsRecord programmed = startupSettings();
    programmed.nrUser[0].assign("+48111222333");
    programmed.timerPod[7] = 99;
    SimulatorOptions options;
    options.memory = imageOf(programmed);
    auto& module = simulator(options);

    const std::string out = path("read.zvn");
    const CliResult r = run({"read", "--port", module.devicePath(), "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines(), std::vector<std::string>{"zaladowane ustawienia z eprom"});
    SettingsRecord loaded{};
    UserDirectory users{};
    LoadSettingsFile(QString::fromStdString(out), loaded, users);
    SettingsRecord expected{};
    SetDefaults(expected);
    ImageToSettings(imageOf(programmed), expected);
    EXPECT_EQ(0, std::memcmp(&loaded, &expected, sizeof loaded));
    const UserDirectory empty{};
    EXPECT_EQ(0, std::memcmp(&users, &empty, sizeof users));

    // With a base file its User directory and the fields the module lacks are kept.
    UserDirectory baseUsers{};
    baseUsers.entries[1].osoba.assign("Jan");
    SettingsRecord base = startupSettings();
    base.spare40 = 0x5A;
    const std::string baseFile = saveSettings("base.zvn", base, baseUsers);
    const CliResult withBase =
        run({"read", "--port", module.devicePath(), "-o", out, "--base", baseFile});
    EXPECT_EQ(withBase.status, 0) << withBase.err;
    LoadSettingsFile(QString::fromStdString(out), loaded, users);
    EXPECT_EQ(users.entries[1].osoba.str(), "Jan");
    EXPECT_EQ(loaded.spare40, 0x5A);
    EXPECT_EQ(loaded.timerPod[7], 99);
}

TEST_F(Cli, ReadWithoutAnswerExitsOneAndWritesNothing)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(0));
    auto& module = simulator(options);
    const std::string out = path("never.zvn");
    const CliResult r =
        run({"read", "--port", module.devicePath(), "-o", out, "--timeout-ms", "200"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.lines(), std::vector<std::string>{"Brak oprowiedzi z modułu."});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
}

TEST_F(Cli, SerialWithoutAnswerExitsOne)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(0));
    auto& module = simulator(options);
    const CliResult r = run({"serial", "--port", module.devicePath(), "--timeout-ms", "200"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Brak oprowiedzi z modułu.\n");
}

TEST_F(Cli, TraceRecordsTheExchangeOnTheWire)
{
    auto& module = simulator();
    const std::string trace = path("trace.txt");
    const CliResult r = run({"serial", "--port", module.devicePath(), "--trace", trace});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string text = readFile(trace);
    const auto has = [&](const std::string& tag, const std::string& what) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            if (line.compare(10, tag.size() + 1, tag + " ") == 0 &&
                line.find(what) != std::string::npos)
                return true;
        return false;
    };
    EXPECT_TRUE(has("OPEN", module.devicePath())) << text;
    EXPECT_TRUE(has("SET ", "115200 8N1")) << text;
    EXPECT_TRUE(has("TX  ", "2A 37 2A 31")) << text;
    EXPECT_TRUE(has("RX  ", "** ** ** ** ** ** ** ** ** **")) << text;
    EXPECT_TRUE(has("ANSW", "A123*1OK*1")) << text;
    EXPECT_TRUE(has("LINK", "finished: serial number")) << text;
    EXPECT_TRUE(has("CLOSE", module.devicePath())) << text;

    // A trace file that cannot be made is a file error before anything is sent.
    const CliResult bad =
        run({"serial", "--port", module.devicePath(), "--trace", path("no/such/dir/t.txt")});
    EXPECT_EQ(bad.status, 4);
    EXPECT_NE(bad.err.find("nie można zapisać zapisu transmisji"), std::string::npos) << bad.err;
}

TEST_F(Cli, ImageWritesTheDeviceImageRaw)
{
    SettingsRecord record = startupSettings();
    record.csms.assign("+48602951111");
    const std::string file = saveSettings("img.zvn", record);
    const DeviceImage expected = imageOf(record);
    const std::string expectedBytes(expected.begin(), expected.end());

    const CliResult toStdout = run({"image", file});
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_EQ(toStdout.out, expectedBytes);

    const CliResult toFile = run({"image", file, "-o", path("img.bin")});
    EXPECT_EQ(toFile.status, 0);
    EXPECT_EQ(readFile(path("img.bin")), expectedBytes);

    EXPECT_EQ(run({"image", path("missing.zvn")}).status, 4);
    EXPECT_EQ(run({"image", file, "-o", path("no/such/dir/x.bin")}).status, 4);
}

TEST_F(Cli, UsageErrorsAndHelp)
{
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"--help"}).status, 0);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({"program"}).status, 2) << "no --port";
    EXPECT_EQ(run({"program", "--port"}).status, 2) << "--port without a value";
    EXPECT_EQ(run({"program", "--port", "x", "--bogus"}).status, 2);
    EXPECT_EQ(run({"program", "--port", "x", "a.zvn", "b.zvn"}).status, 2);
    EXPECT_EQ(run({"read", "--port", "x"}).status, 2) << "no -o";
    EXPECT_EQ(run({"image"}).status, 2);
    EXPECT_EQ(run({"serial", "--port", "x", "--timeout-ms", "soon"}).status, 2);
    for (const char* command : {"ports", "program", "read", "serial", "image"}) {
        const CliResult help = run({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find(std::string("tarnik-cli ") + command), std::string::npos)
            << command;
    }
}

// The rules' list is built from checkRules(): each id heads a line of its own and its
// summary follows whole, however it was wrapped to fit 80 columns.
TEST_F(Cli, CheckHelpListsEveryRuleWhole)
{
    const CliResult help = run({"check", "--help"});
    ASSERT_EQ(help.status, 0);
    std::string joined;  // the help with every run of blanks and line ends as one blank
    for (const char c : help.out) {
        const bool blank = c == ' ' || c == '\n';
        if (!blank)
            joined += c;
        else if (!joined.empty() && joined.back() != ' ')
            joined += ' ';
    }
    for (const CheckRule& rule : checkRules()) {
        EXPECT_NE(help.out.find("\n  " + std::string(rule.id) + " "), std::string::npos) << rule.id;
        EXPECT_NE(joined.find(std::string(rule.id) + " " + rule.summary), std::string::npos)
            << rule.id;
    }
}

TEST_F(Cli, PortsListsDevicePaths)
{
    const CliResult r = run({"ports"});
    EXPECT_EQ(r.status, 0);
    for (const std::string& line : r.lines())
        EXPECT_EQ(line.rfind("/dev/", 0), 0u) << line;

    // --long: the same paths in the same order, each followed by a tab and its text.
    const CliResult described = run({"ports", "--long"});
    EXPECT_EQ(described.status, 0);
    std::vector<std::string> paths;
    for (const std::string& line : described.lines()) {
        const auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_EQ(line.find('\t', tab + 1), std::string::npos) << line;
        paths.push_back(line.substr(0, tab));
    }
    EXPECT_EQ(paths, r.lines());
}

}  // namespace
}  // namespace tarnik
