// A save that fails must say why and leave whatever was at the target as it was,
// with no temporary file left behind. Tests run as root, so the failures are
// ones permissions cannot explain away.

#include <gtest/gtest.h>

#include <QDir>
#include <csignal>
#include <sys/resource.h>

#include "file/settings_file.h"
#include "file_test_support.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

using namespace test;

class SettingsFileSaveFailure : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::mt19937 random(11);
        settings = randomSettings(random);
    }

    std::string save(const QString& file)
    {
        try {
            SaveSettingsFile(settings.record, settings.users, file);
        } catch (const SettingsFileError& e) {
            return e.what();
        }
        return "";
    }

    QTemporaryDir dir;
    Settings settings;
};

TEST_F(SettingsFileSaveFailure, TargetIsADirectory)
{
    const QString target = dir.filePath("folder.zvn");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.zvn"));
    writeText(target + "/inside", "kept");
    EXPECT_EQ(save(target), "Cannot create file \"" + target.toStdString() + "\". Is a directory");
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(entriesOf(target), QStringList{"inside"});
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"folder.zvn"});
}

TEST_F(SettingsFileSaveFailure, ParentIsARegularFile)
{
    writeText(dir.filePath("plain"), "kept");
    const QString target = dir.filePath("plain/x.zvn");
    EXPECT_EQ(save(target), "Cannot create file \"" + target.toStdString() + "\". Not a directory");
    EXPECT_EQ(readBytes(dir.filePath("plain")), Bytes({'k', 'e', 'p', 't'}));
}

TEST_F(SettingsFileSaveFailure, ParentDoesNotExist)
{
    const QString target = dir.filePath("missing/x.zvn");
    EXPECT_EQ(save(target),
              "Cannot create file \"" + target.toStdString() + "\". No such file or directory");
    EXPECT_EQ(entriesOf(dir.path()), QStringList{});
}

// A file size limit makes the write itself fail part-way, even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(SettingsFileSaveFailure, WriteFailingPartWayKeepsTheOldFile)
{
    const QString target = dir.filePath("keep.zvn");
    SaveSettingsFile(startupSettings(), UserDirectory{}, target);
    const Bytes before = readBytes(target);
    ASSERT_LT(before.size(), 100u);  // the old file fits under the limit; the new one does not

    std::string message;
    {
        FileSizeLimit limit(100);
        message = save(target);
    }
    EXPECT_EQ(message, "Cannot create file \"" + target.toStdString() + "\". File too large");
    EXPECT_EQ(readBytes(target), before);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"keep.zvn"});
}

}  // namespace
}  // namespace tarnik
