// tarnik-cli's outputs and ports: an output never lands on an input, devices and FIFOs are
// written through, links are kept, a port is served once, and nothing is programmed by
// accident.

#include <QFile>

#include <algorithm>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include "cli_fixture.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "posix/unique_fd.h"
#include "pty_pair.h"
#include "simulator/module_behaviours.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;

mode_t typeOf(const std::string& path, bool followLinks = true)
{
    struct stat info { };
    const int result = followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    return result == 0 ? (info.st_mode & S_IFMT) : 0;
}

// Everything waiting in a FIFO held open for reading and writing (so opening it never
// blocks and an emptied one reads as "nothing more" rather than blocking).
std::string drain(int fd)
{
    std::string bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, static_cast<std::size_t>(n));
    return bytes;
}

bool holds(const ModuleSimulator& module, const SettingsRecord& record)
{
    DeviceImage expected{};
    SettingsToImage(record, expected);
    const DeviceImage memory = module.memory();
    return std::equal(memory.begin(), memory.begin() + 1195, expected.begin());
}

class CliOutputs : public Cli {
protected:
    void SetUp() override
    {
        record = startupSettings();
        record.nrUser[1].assign("+48600700800");
        zvn = saveSettings("site.zvn", record);
        const CliResult exported = run({"export", zvn, "-o", path("site.json")});
        ASSERT_EQ(exported.status, 0) << exported.err;
        json = path("site.json");
    }

    // A command that writes one output: its arguments up to -o, and its input.
    struct Writer {
        const char* name;
        std::vector<std::string> args;
        std::string input;
    };

    std::vector<Writer> writers() const
    {
        return {{"export", {"export", zvn}, zvn},
                {"image", {"image", zvn}, zvn},
                {"import", {"import", json}, json}};
    }

    static std::vector<std::string> with(std::vector<std::string> args,
                                         std::vector<std::string> more)
    {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    // A null device of the test's own where one can be made (as root), so that a writer
    // that wrongly replaced it would harm only the temporary folder; otherwise /dev/null,
    // which then cannot be replaced either.
    std::string nullDevice() const
    {
        const std::string own = path("null");
        if (::mknod(own.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
            if (UniqueFd(::open(own.c_str(), O_WRONLY | O_CLOEXEC)))
                return own;
            ::unlink(own.c_str());  // a folder on a file system without devices
        }
        return "/dev/null";
    }

    SettingsRecord record{};
    std::string zvn, json;
};

TEST_F(CliOutputs, OutputOntoAnInputIsRefusedBeforeAnythingIsWritten)
{
    ASSERT_EQ(::symlink(zvn.c_str(), path("zvn-link").c_str()), 0);
    ASSERT_EQ(::link(zvn.c_str(), path("zvn-hard").c_str()), 0);
    ASSERT_EQ(::symlink(json.c_str(), path("json-link").c_str()), 0);
    const std::string zvnBefore = readFile(zvn), jsonBefore = readFile(json);
    struct Case {
        std::vector<std::string> args;
        const char* why;
    };
    const Case cases[] = {
        {{"export", zvn, "-o", zvn}, "-o the input itself"},
        {{"export", zvn, "-o", path("zvn-link")}, "-o a link to the input"},
        {{"export", zvn, "-o", path("zvn-hard")}, "-o a hard link to the input"},
        {{"export", path("zvn-link"), "-o", zvn}, "the input given through a link"},
        {{"image", zvn, "-o", path("./site.zvn")}, "another spelling of the input"},
        {{"import", json, "-o", path("json-link")}, "import onto its document"},
        {{"export", zvn, "-o", path("out.json"), "--trace", zvn}, "the trace onto the input"},
        {{"export", zvn, "-o", path("zvn-link"), "--trace", path("t.txt")}, "with a trace"},
        {{"diff", zvn, path("zvn-link"), "--trace", zvn}, "diff's trace onto an input"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("to ten sam plik co wejście"), std::string::npos) << r.err;
        EXPECT_EQ(readFile(zvn), zvnBefore);
        EXPECT_EQ(readFile(json), jsonBefore);
        EXPECT_EQ(typeOf(path("zvn-link"), false), S_IFLNK);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path("out.json"))));
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path("t.txt"))));
    }
}

TEST_F(CliOutputs, EveryWriterGoesToStandardOutputDevicesFifosAndThroughLinks)
{
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    ASSERT_EQ(::symlink(path("pipe").c_str(), path("pipe-link").c_str()), 0);
    const std::string null = nullDevice();
    ASSERT_EQ(::symlink(null.c_str(), path("null-link").c_str()), 0);
    test::PtyPair terminal;
    termios raw{};
    ASSERT_EQ(::tcgetattr(terminal.Master(), &raw), 0);
    ::cfmakeraw(&raw);
    ASSERT_EQ(::tcsetattr(terminal.Master(), TCSANOW, &raw), 0);
    const UniqueFd pipe(::open(path("pipe").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(pipe);

    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.name);
        const CliResult toStdout = run(with(w.args, {"-o", "-"}));
        ASSERT_EQ(toStdout.status, 0) << toStdout.err;
        const std::string expected = toStdout.out;
        ASSERT_FALSE(expected.empty());
        ASSERT_LT(expected.size(), 65536u) << "must fit the FIFO's buffer";

        // Into a new file, and over an existing one, as "-o -" gave.
        const std::string fresh = path(std::string(w.name) + ".new");
        EXPECT_EQ(run(with(w.args, {"-o", fresh})).status, 0);
        EXPECT_EQ(readFile(fresh), expected);
        std::ofstream(fresh) << "old";
        EXPECT_EQ(run(with(w.args, {"-o", fresh})).status, 0);
        EXPECT_EQ(readFile(fresh), expected);

        // Devices stay devices.
        for (const std::string& device : {null, path("null-link")}) {
            const CliResult r = run(with(w.args, {"-o", device}));
            EXPECT_EQ(r.status, 0) << device << ": " << r.err;
            EXPECT_EQ(typeOf(null), S_IFCHR);
        }
        EXPECT_EQ(typeOf(path("null-link"), false), S_IFLNK);
        {
            // A terminal is a character device whose far end sees every byte.
            std::string seen;
            std::thread reader([&] { seen = terminal.ReadMaster(expected.size(), 10s); });
            const CliResult r = run(with(w.args, {"-o", terminal.SlavePath()}));
            reader.join();
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(seen, expected);
            EXPECT_EQ(typeOf(terminal.SlavePath()), S_IFCHR);
        }

        // A FIFO, directly and through a link, is written through.
        for (const std::string& fifo : {path("pipe"), path("pipe-link")}) {
            const CliResult r = run(with(w.args, {"-o", fifo}));
            EXPECT_EQ(r.status, 0) << fifo << ": " << r.err;
            EXPECT_EQ(drain(pipe.get()), expected) << fifo;
            EXPECT_EQ(typeOf(path("pipe")), S_IFIFO);
        }
        EXPECT_EQ(typeOf(path("pipe-link"), false), S_IFLNK);

        // A link to a regular file replaces the file and stays a link.
        const std::string target = path(std::string(w.name) + ".target");
        const std::string link = path(std::string(w.name) + ".link");
        std::ofstream(target) << "old";
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        EXPECT_EQ(run(with(w.args, {"-o", link})).status, 0);
        EXPECT_EQ(typeOf(link, false), S_IFLNK);
        EXPECT_EQ(readFile(target), expected);
    }

    // What import writes is a settings file holding what was exported.
    const CliResult same = run({"diff", zvn, path("import.new")});
    EXPECT_EQ(same.status, 0) << same.out << same.err;
}

TEST_F(CliOutputs, ReadWritesThroughAndNeverOntoItsInputs)
{
    auto& module = simulator();
    const std::string port = module.devicePath();
    const std::string base = zvn, baseBefore = readFile(zvn);

    for (const std::string& output : {base, port}) {
        const CliResult r = run({"read", "--port", port, "--base", base, "-o", output});
        EXPECT_EQ(r.status, 2) << output << ": " << r.err;
        EXPECT_EQ(module.frameCount(), 0) << "refused before the port was opened";
    }
    EXPECT_EQ(readFile(base), baseBefore);

    // Standard output holds the settings file alone; the information lines go to standard
    // error.
    const CliResult toFile = run({"read", "--port", port, "--base", base, "-o", path("r.zvn")});
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    const CliResult toStdout = run({"read", "--port", port, "--base", base, "-o", "-"});
    ASSERT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, readFile(path("r.zvn")));
    EXPECT_NE(toStdout.err.find("zaladowane ustawienia z eprom"), std::string::npos)
        << toStdout.err;
    EXPECT_NE(toFile.out.find("zaladowane ustawienia z eprom"), std::string::npos) << toFile.out;

    const std::string null = nullDevice();
    const CliResult toNull = run({"read", "--port", port, "--base", base, "-o", null});
    EXPECT_EQ(toNull.status, 0) << toNull.err;
    EXPECT_EQ(typeOf(null), S_IFCHR);
}

TEST_F(CliOutputs, APortGivenTwiceIsRefusedBeforeAnyIsOpened)
{
    auto& module = simulator();
    auto& other = anotherSimulator();
    const std::string p = module.devicePath(), q = other.devicePath();
    ASSERT_EQ(::symlink(p.c_str(), path("modem").c_str()), 0);
    const std::vector<std::vector<std::string>> portLists = {
        {p, p},
        {p, path("modem")},
        {path("modem"), q, p},
        {"null", "/dev/null"},  // a name without a slash is taken under /dev
    };
    for (const auto& ports : portLists) {
        for (const char* command : {"program", "verify"}) {
            std::vector<std::string> args{command, zvn};
            for (const std::string& port : ports)
                args.insert(args.end(), {"--port", port});
            SCOPED_TRACE(testing::PrintToString(args));
            const CliResult r = run(args);
            EXPECT_EQ(r.status, 2) << r.err;
            EXPECT_NE(r.err.find("podany drugi raz"), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(module.frameCount(), 0);
    EXPECT_EQ(other.frameCount(), 0);
}

TEST_F(CliOutputs, ProgramNeedsAFileOrDefaults)
{
    auto& module = simulator();
    const std::string port = module.devicePath();
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const Case refused[] = {
        {{"program", "--port", port}, 2, "--defaults"},
        {{"program", "--port", port, "--verify"}, 2, "--defaults"},
        {{"program", "--port", port, "--defaults", zvn}, 2, "nie oba"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliResult r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_EQ(module.frameCount(), 0) << "nothing reached the module";

    const CliResult defaults = run({"program", "--port", port, "--defaults"});
    EXPECT_EQ(defaults.status, 0) << defaults.err;
    EXPECT_TRUE(holds(module, startupSettings()));
}

TEST_F(CliOutputs, ProgrammedButUnansweredReadBackIsToldApart)
{
    // The module takes the whole programming run, then falls silent for the read-back.
    auto& counting = simulator();
    ASSERT_EQ(run({"program", "--port", counting.devicePath(), zvn}).status, 0);
    const int programmingFrames = counting.frameCount();
    ASSERT_GT(programmingFrames, 0);

    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(programmingFrames));
    auto& module = anotherSimulator(options);
    const CliResult r =
        run({"program", "--verify", "--port", module.devicePath(), "--timeout-ms", "500", zvn});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(holds(module, record));
    const auto lines = r.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Programowanie zakończone pomyślnie."),
              lines.end());
    EXPECT_EQ(lines.back(), "Weryfikacja: odczyt nie powiódł się (brak odpowiedzi z modułu); "
                            "ustawienia zaprogramowano, ale ich nie sprawdzono.");

    // A module silent from the start: programming itself failed, no verification line.
    SimulatorOptions silentOptions;
    silentOptions.behaviours.push_back(behaviour::SilentAfter(0));
    auto& silent = anotherSimulator(silentOptions);
    const CliResult none =
        run({"program", "--verify", "--port", silent.devicePath(), "--timeout-ms", "300", zvn});
    EXPECT_EQ(none.status, 1);
    for (const std::string& line : none.lines())
        EXPECT_EQ(line.find("Weryfikacja"), std::string::npos) << line;
}

}  // namespace
}  // namespace tarnik
