// A port that cannot be opened says why and what to do, on a line after the table's
// message: denied (run as an unprivileged user), held by another program, missing.

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "pty_pair.h"
#include "serial/comport.h"
#include "serial/open_failure.h"

namespace tarnik {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::PtyPair;

// Runs `command` and returns its standard output and exit status.
std::pair<std::string, int> runCommand(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr)
        return {out, -1};
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, p))
        out.append(buf, n);
    const int status = pclose(p);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// A copy of the probe that any user may run: the build tree may lie below a folder that
// only its owner can enter. Removed with the returned folder's guard.
struct ReachableProbe {
    fs::path folder;
    fs::path program;
    ReachableProbe()
    {
        char pattern[] = "/tmp/tarnik_probe_XXXXXX";
        folder = mkdtemp(pattern);
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
        program = folder / "open_probe";
        fs::copy_file(OPEN_PROBE, program);
    }
    ~ReachableProbe()
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

std::string openError(const std::string& path)
{
    TComPort port;
    port.SetPort(path);
    try {
        port.Open();
    } catch (const EComPort& e) {
        EXPECT_EQ(e.ErrorCode(), 1);
        return e.what();
    }
    ADD_FAILURE() << path << " opened";
    return {};
}

TEST(OpenFailure, DeniedNamesTheDevicesGroupAndHowToJoinIt)
{
    PtyPair pty;
    const ReachableProbe probe;
    std::string command = probe.program.string() + " " + pty.SlavePath();
    if (geteuid() == 0) {
        // As root nothing is denied: give the device to dialout and open it as nobody.
        const group* dialout = getgrnam("dialout");
        if (dialout == nullptr)
            GTEST_SKIP() << "no dialout group";
        ASSERT_EQ(chown(pty.SlavePath().c_str(), 0, dialout->gr_gid), 0);
        ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0660), 0);
        command = "setpriv --reuid=65534 --regid=65534 --clear-groups " + command;
    } else {
        ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0), 0);
    }
    struct stat info { };
    ASSERT_EQ(stat(pty.SlavePath().c_str(), &info), 0);
    const std::string group = getgrgid(info.st_gid)->gr_name;

    const auto [out, status] = runCommand(command);
    EXPECT_EQ(status, 1) << out;
    EXPECT_EQ(out,
              "Unable to open com port (win error code: 13)\nPermission denied. Brak uprawnień "
              "do portu " +
                  pty.SlavePath() + ". Port należy do grupy " + group +
                  ": dołącz do niej poleceniem \"sudo usermod -aG " + group +
                  " $USER\", a potem wyloguj się i zaloguj ponownie.");
}

TEST(OpenFailure, HeldByAnotherProgramNamesIt)
{
    PtyPair pty;
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // The other program: holds the device locked, as a second copy of the tool would.
        const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0 || flock(fd, LOCK_EX) != 0)
            _exit(1);
        execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
        _exit(1);
    }
    // Wait until the lock is taken (a hang guard only).
    const int probe = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(probe, 0);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (flock(probe, LOCK_EX | LOCK_NB) == 0 && std::chrono::steady_clock::now() < deadline) {
        flock(probe, LOCK_UN);
        std::this_thread::sleep_for(5ms);
    }
    ::close(probe);
    // The holder has become "sleep" once its command name reads so.
    const std::string expected = "sleep, PID " + std::to_string(holder);
    std::string message;
    for (int i = 0; i < 1000 && message.find(expected) == std::string::npos; ++i) {
        message = openError(pty.SlavePath());
        std::this_thread::sleep_for(5ms);
    }
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);

    EXPECT_EQ(message.substr(0, message.find('\n')),
              "Unable to open com port (win error code: " + std::to_string(EWOULDBLOCK) + ")");
    EXPECT_NE(message.find("\nResource temporarily unavailable. Port " + pty.SlavePath() +
                           " jest używany przez inny program (" + expected +
                           "). Zamknij go i spróbuj ponownie."),
              std::string::npos)
        << message;
}

// An open refused because another program holds the lock must leave nothing behind: once
// that program lets go, any user with access opens the port (the exclusive flag of the
// terminal stops every later open but root's, so the check runs unprivileged).
TEST(OpenFailure, ARefusedOpenLeavesThePortOpenableByOthers)
{
    PtyPair pty;
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0666), 0);
    const ReachableProbe probe;
    std::string command = probe.program.string() + " " + pty.SlavePath();
    if (geteuid() == 0)
        command = "setpriv --reuid=65534 --regid=65534 --clear-groups " + command;

    // The other program takes only the lock, no exclusive flag.
    const int holder = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    const std::string refused = openError(pty.SlavePath());
    EXPECT_NE(refused.find("jest używany przez inny program"), std::string::npos) << refused;
    ::close(holder);

    const auto [out, status] = runCommand(command);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "opened");
}

TEST(OpenFailure, MissingPortAsksForTheAdapterAndListsThePortsThatExist)
{
    const std::string message = openError("ttyNoSuchDevice7");
    EXPECT_EQ(message.substr(0, message.find('\n') + 1),
              "Unable to open com port (win error code: 2)\n");
    EXPECT_NE(message.find("\nNo such file or directory. Port /dev/ttyNoSuchDevice7 nie istnieje. "
                           "Czy przejściówka jest podłączona? "),
              std::string::npos)
        << message;

    // With a tree of the machine's ports given, the ones that exist are listed.
    const fs::path root = fs::temp_directory_path() / ("tarnik_sys_" + std::to_string(getpid()));
    fs::remove_all(root);
    for (const char* name : {"ttyUSB0", "ttyACM0"}) {
        fs::create_directories(root / "class/tty" / name / "device");
        fs::create_directory_symlink(root, root / "class/tty" / name / "device/driver");
    }
    EXPECT_EQ(openFailureAdvice("/dev/ttyUSB1", ENODEV, root.string()),
              "No such device. Port /dev/ttyUSB1 nie istnieje. Czy przejściówka jest podłączona? "
              "Dostępne porty: /dev/ttyACM0, /dev/ttyUSB0.");
    fs::remove_all(root / "class/tty");
    EXPECT_EQ(openFailureAdvice("/dev/ttyUSB1", ENOENT, root.string()),
              "No such file or directory. Port /dev/ttyUSB1 nie istnieje. Czy przejściówka jest "
              "podłączona? Nie znaleziono żadnego portu szeregowego.");
    fs::remove_all(root);
}

TEST(OpenFailure, OtherErrorsCarryOnlyTheSystemsDescription)
{
    EXPECT_EQ(openFailureAdvice("/tmp/x", ENOTTY), "Inappropriate ioctl for device.");
}

}  // namespace
}  // namespace tarnik
