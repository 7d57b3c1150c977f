// A save killed part-way never damages the file it replaces: a child process saves two
// different settings in turn, again and again, and is killed at random moments; after
// every kill the file must open and hold one of the two, byte for byte.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstring>
#include <random>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "file/settings_file.h"

namespace tarnik {
namespace {

struct Settings {
    SettingsRecord record{};
    UserDirectory users{};
};

Settings filled(std::uint8_t seed)
{
    Settings s;
    std::mt19937 random(seed);
    auto* bytes = reinterpret_cast<std::uint8_t*>(&s.record);
    for (std::size_t i = 0; i < sizeof s.record; ++i)
        bytes[i] = static_cast<std::uint8_t>(random());
    // Texts of every length, so the two files differ in size as well as content.
    s.record.pinMod.assign("1234");
    s.record.pin.assign("");
    s.record.csms.assign(std::string(seed % 16, 'c'));
    for (auto& n : s.record.nrUser)
        n.assign(std::string(seed % 16, '9'));
    for (auto& row : s.record.smsWeRe)
        for (auto& t : row)
            t.assign(std::string(seed % 37, static_cast<char>('a' + seed % 26)));
    for (auto& row : s.record.smsSpecWeRe)
        for (auto& t : row)
            t.assign(std::string(36 - seed % 37, 'z'));
    for (auto& e : s.users.entries) {
        e.osoba.assign(std::string(seed % 31, 'o'));
        e.uwagi.assign(std::string(static_cast<std::size_t>(seed) * 3 % 251, 'u'));
    }
    return s;
}

bool holds(const Settings& loaded, const Settings& expected)
{
    return std::memcmp(&loaded.record, &expected.record, sizeof expected.record) == 0 &&
           std::memcmp(&loaded.users, &expected.users, sizeof expected.users) == 0;
}

TEST(InterruptedSave, KilledAtRandomMomentsTheFileHoldsTheOldOrTheNewContent)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("settings.zvn");
    const Settings first = filled(7);
    const Settings second = filled(200);
    SaveSettingsFile(first.record, first.users, target);

    // How long a save takes here, so the kills spread over whole saves.
    const auto t0 = std::chrono::steady_clock::now();
    constexpr int kTimed = 20;
    for (int i = 0; i < kTimed; ++i)
        SaveSettingsFile(first.record, first.users, dir.filePath("timing.zvn"));
    const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - t0) /
                        kTimed;
    QFile::remove(dir.filePath("timing.zvn"));

    std::mt19937 random(12345);
    std::uniform_int_distribution<long> delay(0, std::max<long>(3 * saveUs.count(), 200));
    int sawFirst = 0;
    int sawSecond = 0;
    constexpr int kKills = 150;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned n = 0;; ++n) {
                const Settings& s = (n % 2 == 0) ? second : first;
                try {
                    SaveSettingsFile(s.record, s.users, target);
                } catch (...) {
                    ::_exit(3);
                }
            }
        }
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself: " << status;

        Settings loaded;
        try {
            LoadSettingsFile(target, loaded.record, loaded.users);
        } catch (const SettingsFileError& e) {
            FAIL() << "kill " << kill << " left a file that does not open: " << e.what();
        }
        if (holds(loaded, first))
            ++sawFirst;
        else if (holds(loaded, second))
            ++sawSecond;
        else
            FAIL() << "kill " << kill << " left a file holding neither content";
    }
    // Kills landed both between and within saves of either content.
    EXPECT_GT(sawFirst, 0);
    EXPECT_GT(sawSecond, 0);
    // A killed save may leave its unfinished temporary file beside the target; it never
    // takes the target's name.
    const QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(names.contains("settings.zvn"));
    std::printf(
        "interrupted saves: %d kills, old content %d, new content %d, %lld temporary files left\n",
        kKills, sawFirst, sawSecond, static_cast<long long>(names.size() - 1));
}

// Runs one save of `s` over `target` in a child process whose files may not grow past
// `limit` bytes, so the write fails exactly there. Returns the child's exit status:
// 0 when the save failed with "File too large", 1 when it succeeded, 2 otherwise.
int saveWithSizeLimit(const Settings& s, const QString& target, rlim_t limit)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit r{};
        ::getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &r);
        try {
            SaveSettingsFile(s.record, s.users, target);
        } catch (const SettingsFileError& e) {
            ::_exit(std::string(e.what()).find("File too large") != std::string::npos ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

TEST(InterruptedSave, AWriteFailingAtAnyByteKeepsTheOldFileAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("settings.zvn");
    const Settings old = filled(3);
    const Settings next = filled(150);
    SaveSettingsFile(old.record, old.users, target);
    // The size of the new file: the failures are placed on every byte up to it.
    SaveSettingsFile(next.record, next.users, dir.filePath("size.zvn"));
    const auto newSize = static_cast<rlim_t>(QFileInfo(dir.filePath("size.zvn")).size());
    QFile::remove(dir.filePath("size.zvn"));
    ASSERT_GT(newSize, 0u);

    for (rlim_t limit = 0; limit < newSize; ++limit) {
        SCOPED_TRACE("write fails after byte " + std::to_string(limit));
        ASSERT_EQ(saveWithSizeLimit(next, target, limit), 0);
        Settings loaded;
        LoadSettingsFile(target, loaded.record, loaded.users);
        ASSERT_TRUE(holds(loaded, old));
        ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"settings.zvn"});
    }
    // With room enough the same save goes through.
    ASSERT_EQ(saveWithSizeLimit(next, target, newSize), 1);
    Settings loaded;
    LoadSettingsFile(target, loaded.record, loaded.users);
    EXPECT_TRUE(holds(loaded, next));
}

}  // namespace
}  // namespace tarnik
