// tarnik-cli's inputs and outputs that must not hang, flood or hurt: FIFOs, folders and
// devices refused as inputs, a JSON document's size limit, a trace that would overwrite a
// file, options a command does not take, a full standard output, links, read-only files,
// files holding secrets, the image programming sends and a module's text on a terminal.

#include <sys/stat.h>
#include <unistd.h>

#include "cli_fixture.h"
#include "model/conversion.h"
#include "model/effective_settings.h"
#include "model/reaction_bits.h"
#include "model/value_ranges.h"
#include "module_image.h"

namespace tarnik {
namespace {

mode_t modeOf(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class CliIntegrity : public Cli {
protected:
    void SetUp() override
    {
        SettingsRecord record = startupSettings();
        record.workWeRe[2][1] = smsBit(1);  // an SMS to a user without a number: check warns
        zvn = saveSettings("site.zvn", record);
        SettingsRecord other = record;
        other.callingTimer = 30;
        otherZvn = saveSettings("other.zvn", other);
        const CliResult exported = run({"export", zvn, "-o", path("site.json")});
        ASSERT_EQ(exported.status, 0) << exported.err;
        json = path("site.json");
    }

    std::string zvn, otherZvn, json;
};

TEST_F(CliIntegrity, FifosFoldersAndDevicesAreRefusedAsInputsAtOnce)
{
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);  // no writer: an open would block
    ASSERT_EQ(::symlink(path("fifo").c_str(), path("fifo-link").c_str()), 0);
    ASSERT_EQ(::mkdir(path("folder").c_str(), 0755), 0);
    struct Kind {
        std::string path;
        const char* what;
    };
    const Kind kinds[] = {{path("fifo"), "to potok (FIFO)"},
                          {path("fifo-link"), "to potok (FIFO)"},
                          {path("folder"), "to folder"},
                          {"/dev/zero", "to urządzenie"}};
    for (const Kind& kind : kinds) {
        const std::string& in = kind.path;
        const std::vector<std::vector<std::string>> commands = {
            {"import", in, "-o", path("out.zvn")},
            {"export", in},
            {"image", in},
            {"diff", zvn, in},
            {"check", in},
            {"report", in, "-o", path("out.html")},
            {"verify", "--port", path("no-port"), in},
            {"program", "--port", path("no-port"), in},
            {"read", "--port", path("no-port"), "--base", in, "-o", path("out.zvn")},
        };
        for (const auto& args : commands) {
            SCOPED_TRACE(args[0] + " " + in);
            const CliResult r = run(args);
            EXPECT_EQ(r.status, 4) << r.err;
            EXPECT_TRUE(contains(r.err, kind.what + std::string(", a nie zwykły plik."))) << r.err;
            EXPECT_FALSE(QFile::exists(QString::fromStdString(path("out.zvn"))));
        }
    }
}

TEST_F(CliIntegrity, AJsonDocumentAboveOneMebibyteIsAFileError)
{
    const std::string document = readFile(json);
    struct Case {
        std::size_t size;  // padded with spaces after the document
        int status;
    };
    const Case cases[] = {{1024 * 1024, 0}, {1024 * 1024 + 1, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::ofstream(path("big.json"), std::ios::binary)
            << document << std::string(c.size - document.size(), ' ');
        const CliResult r = run({"import", path("big.json"), "-o", path("big.zvn")});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(contains(r.err, "jest za duży: wczytywane są pliki do 1048576 bajtów."),
                  c.status == 4)
            << r.err;
    }
}

TEST_F(CliIntegrity, ATraceNeverOverwritesAnInputOrAFileThatIsNoTrace)
{
    ASSERT_EQ(::symlink(zvn.c_str(), path("zvn-link").c_str()), 0);
    std::ofstream(path("notes.txt")) << "Notatki z wizyty.\n";
    std::ofstream(path("empty.txt"));
    // An earlier trace of this tool.
    ASSERT_EQ(run({"--trace", path("old.trace"), "diff", zvn, zvn}).status, 0);
    const std::string zvnBefore = readFile(zvn);
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;  // in the refusal
    };
    const Case cases[] = {
        {{"--trace", zvn, "diff", zvn, otherZvn}, 2, "to ten sam plik"},
        {{"--trace", path("zvn-link"), "check", zvn}, 2, "to ten sam plik"},
        {{"--trace", zvn, "program", "--port", path("no-port"), zvn}, 2, "to ten sam plik"},
        {{"--trace", zvn, "read", "--port", path("no-port"), "--base", zvn, "-o", "-"},
         2,
         "to ten sam plik"},
        {{"--trace", path("notes.txt"), "diff", zvn, zvn}, 2, "nie jest zapisem transmisji"},
        {{"--trace", path("old.trace"), "diff", zvn, zvn}, 0, nullptr},
        {{"--trace", path("empty.txt"), "diff", zvn, zvn}, 0, nullptr},
        {{"--trace", "/dev/null", "diff", zvn, zvn}, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.args[2]);
        const std::string notesBefore = readFile(path("notes.txt"));
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.says) {
            EXPECT_TRUE(contains(r.err, c.says)) << r.err;
        }
        EXPECT_EQ(readFile(zvn), zvnBefore);
        EXPECT_EQ(readFile(path("notes.txt")), notesBefore);
    }
    EXPECT_EQ(readFile(path("empty.txt")).rfind("# Tarnik wire trace, started ", 0), 0u);
}

TEST_F(CliIntegrity, AnOptionACommandDoesNotTakeIsAUsageError)
{
    const std::vector<std::vector<std::string>> cases = {
        {"diff", "-o", path("d.txt"), zvn, otherZvn},
        {"check", "--output", path("c.txt"), zvn},
        {"export", zvn, "--base", zvn},
        {"image", zvn, "--show-secrets"},
        {"ports", "--port", "ttyUSB0"},
        {"serial", "--port", "ttyUSB0", "--verify"},
        {"import", json, "-o", path("i.zvn"), "--defaults"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0]);
        const CliResult r = run(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_TRUE(contains(r.err, "polecenie " + args[0] + " nie przyjmuje opcji")) << r.err;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("d.txt"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("i.zvn"))));
}

TEST_F(CliIntegrity, AFullStandardOutputFailsEveryCommandThatWritesThere)
{
    auto& module = simulator();
    const std::string port = module.devicePath();
    const std::vector<std::vector<std::string>> cases = {
        {"export", zvn},
        {"image", zvn},
        {"import", json, "-o", "-"},
        {"diff", zvn, otherZvn},
        {"check", zvn},
        {"program", "--port", port, zvn},
        {"verify", "--port", port, otherZvn},
        {"read", "--port", port, "-o", "-"},
        {"serial", "--port", port},
        {"export", "--help"},
        {"--version"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0] + " " + args[1 % args.size()]);
        // Each writes something when standard output takes it ...
        const CliResult fine = run(args);
        ASSERT_FALSE(fine.out.empty()) << fine.err;
        // ... and fails when it cannot, said on standard error.
        const CliResult full = run(args, "/dev/full");
        EXPECT_EQ(full.status, 4) << full.err;
        EXPECT_TRUE(contains(full.err, "nie można pisać na standardowe wyjście")) << full.err;
    }
}

TEST_F(CliIntegrity, OutputsFollowDanglingLinksAndNeverReplaceReadOnlyFiles)
{
    const std::string expected = run({"export", zvn}).out;
    ASSERT_EQ(::symlink("made.json", path("dangling").c_str()), 0);
    const CliResult linked = run({"export", zvn, "-o", path("dangling")});
    EXPECT_EQ(linked.status, 0) << linked.err;
    EXPECT_EQ(readFile(path("made.json")), expected);
    struct stat info { };
    ASSERT_EQ(::lstat(path("dangling").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));

    std::ofstream(path("kept.out")) << "kept";
    ASSERT_EQ(::chmod(path("kept.out").c_str(), 0444), 0);
    ASSERT_EQ(::symlink(path("kept.out").c_str(), path("kept-link").c_str()), 0);
    for (const std::string& out : {path("kept.out"), path("kept-link")}) {
        for (const auto& args :
             std::vector<std::vector<std::string>>{{"export", zvn, "-o", out},
                                                   {"image", zvn, "-o", out},
                                                   {"import", json, "-o", out}}) {
            SCOPED_TRACE(args[0] + " -o " + out);
            const CliResult r = run(args);
            EXPECT_EQ(r.status, 4) << r.err;
            EXPECT_TRUE(contains(r.err, "jest tylko do odczytu i nie został zastąpiony")) << r.err;
            EXPECT_EQ(readFile(path("kept.out")), "kept");
            EXPECT_EQ(modeOf(path("kept.out")), 0444u);
        }
    }
}

TEST_F(CliIntegrity, FilesHoldingSecretsAreTheOwnersAloneAndReplacedFilesKeepTheirMode)
{
    auto& module = simulator();
    const mode_t mask = ::umask(022);  // inherited by the tool
    std::ofstream(path("kept.html")) << "old";
    ASSERT_EQ(::chmod(path("kept.html").c_str(), 0640), 0);
    struct Case {
        std::vector<std::string> args;
        std::string file;
        mode_t mode;
    };
    const Case cases[] = {
        {{"report", zvn, "-o", path("secret.html"), "--show-secrets"}, path("secret.html"), 0600},
        {{"report", zvn, "-o", path("masked.html")}, path("masked.html"), 0644},
        {{"report", zvn, "-o", path("kept.html"), "--show-secrets"}, path("kept.html"), 0640},
        {{"--trace", path("secret.trace"), "--trace-secrets", "serial", "--port",
          module.devicePath()},
         path("secret.trace"),
         0600},
        {{"--trace", path("masked.trace"), "serial", "--port", module.devicePath()},
         path("masked.trace"),
         0644},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(modeOf(c.file), c.mode);
    }
    ::umask(mask);
}

TEST_F(CliIntegrity, ImageIsWhatTheModuleWouldReceive)
{
    // An SMS access code left behind while programming by SMS is off: the window empties
    // it, and so does programming.
    SettingsRecord record = startupSettings();
    record.flags = static_cast<std::uint8_t>(record.flags & ~kSmsProgrammingBit);
    record.pinMod.assign("ab12");
    record.callingTimer = 250;  // past its control's range
    const std::string file = saveSettings("foreign.zvn", record);
    const DeviceImage effective = test::imageOf(effectiveSettings(record).record());
    ASSERT_NE(effective, test::imageOf(record));
    const CliResult r = run({"image", file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string(effective.begin(), effective.end()));
}

TEST_F(CliIntegrity, AModulesSerialNumberReachesTheTerminalWithoutControls)
{
    SimulatorOptions options;
    options.identity.serialNumber = "\x1B]0;pwned\x07"
                                    "A1\x1B[2J\x1B[31m2\xE2\x80\xAE"
                                    "3\r\x08";
    auto& module = simulator(options);
    const CliResult r = run({"serial", "--port", module.devicePath()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines(), std::vector<std::string>{"serial: A123"}) << r.out;
}

}  // namespace
}  // namespace tarnik
