#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstring>
#include <sys/stat.h>

#include "file/settings_file.h"
#include "file_test_support.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

using namespace test;

class SettingsFileRoundTrip : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST_F(SettingsFileRoundTrip, EveryByteComesBackIncludingSpareAndStaleBytes)
{
    std::mt19937 random(42);
    for (int i = 0; i < 20; ++i) {
        const Settings saved = randomSettings(random);
        SaveSettingsFile(saved.record, saved.users, path("a.zvn"));
        Settings loaded = randomSettings(random);
        LoadSettingsFile(path("a.zvn"), loaded.record, loaded.users);
        ASSERT_EQ(std::memcmp(&loaded.record, &saved.record, sizeof saved.record), 0) << i;
        ASSERT_EQ(std::memcmp(&loaded.users, &saved.users, sizeof saved.users), 0) << i;
    }
}

TEST_F(SettingsFileRoundTrip, StartupSettingsWithFullNamesAndNotes)
{
    SettingsRecord record = startupSettings();
    UserDirectory users{};
    users.entries[0].osoba.assign(std::string(30, 'N'));
    users.entries[3].uwagi.assign(std::string(250, '\n'));
    SaveSettingsFile(record, users, path("start.zvn"));

    const Bytes file = readBytes(path("start.zvn"));
    ASSERT_GE(file.size(), 2u);
    EXPECT_EQ(file[0], 0x78);  // deflate, 32 KB window
    EXPECT_EQ(file[1], 0x9C);  // default level

    SettingsRecord loadedRecord{};
    UserDirectory loadedUsers{};
    LoadSettingsFile(path("start.zvn"), loadedRecord, loadedUsers);
    EXPECT_EQ(std::memcmp(&loadedRecord, &record, sizeof record), 0);
    EXPECT_EQ(loadedUsers.entries[0].osoba.str(), std::string(30, 'N'));
    EXPECT_EQ(loadedUsers.entries[3].uwagi.str(), std::string(250, '\n'));
}

TEST_F(SettingsFileRoundTrip, SavingReplacesAnExistingFileKeepingItsModeAndNoLitter)
{
    writeText(path("old.zvn"), std::string(5000, 'x'));
    ASSERT_EQ(::chmod(QFile::encodeName(path("old.zvn")).constData(), 0640), 0);
    const SettingsRecord record = startupSettings();
    const UserDirectory users{};
    SaveSettingsFile(record, users, path("old.zvn"));

    EXPECT_EQ(entriesOf(dir.path()), QStringList{"old.zvn"});
    struct stat info { };
    ASSERT_EQ(::stat(QFile::encodeName(path("old.zvn")).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    SettingsRecord loaded{};
    UserDirectory loadedUsers{};
    LoadSettingsFile(path("old.zvn"), loaded, loadedUsers);
    EXPECT_EQ(std::memcmp(&loaded, &record, sizeof record), 0);
}

TEST_F(SettingsFileRoundTrip, SavingThroughALinkReplacesTheFileItPointsTo)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    writeText(path("real/target.zvn"), "old");
    ASSERT_TRUE(QFile::link(path("real/target.zvn"), path("link.zvn")));
    SaveSettingsFile(startupSettings(), UserDirectory{}, path("link.zvn"));

    EXPECT_TRUE(QFileInfo(path("link.zvn")).isSymLink());
    EXPECT_EQ(readBytes(path("real/target.zvn")), readBytes(path("link.zvn")));
    EXPECT_NE(readBytes(path("real/target.zvn")).size(), 3u);
    EXPECT_EQ(entriesOf(path("real")), QStringList{"target.zvn"});
}

TEST_F(SettingsFileRoundTrip, RelativeNameIsTakenFromTheWorkingDirectory)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    SaveSettingsFile(startupSettings(), UserDirectory{}, "relative.zvn");
    SettingsRecord loaded{};
    UserDirectory users{};
    LoadSettingsFile("relative.zvn", loaded, users);
    QDir::setCurrent(before);
    EXPECT_TRUE(QFile::exists(path("relative.zvn")));
    EXPECT_EQ(loaded.smsConfirmTimer, 10);
}

}  // namespace
}  // namespace tarnik
