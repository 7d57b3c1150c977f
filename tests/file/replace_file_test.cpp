// A file that may not be written is never replaced: by its mode bits for root (whom
// permission checks never stop), by the permission check for anyone else (this test also
// runs as an unprivileged user, see CMakeLists.txt).

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

#include "file/replace_file.h"

namespace tarnik {
namespace {

std::span<const std::uint8_t> bytesOf(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string contentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

mode_t modeOf(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class ReplaceFile : public ::testing::Test {
protected:
    std::string path(const std::string& name) const
    {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    QTemporaryDir dir;
};

TEST_F(ReplaceFile, AReadOnlyFileIsNeverReplaced)
{
    const std::string file = path("kept.zvn");
    std::ofstream(file) << "old";
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    ASSERT_EQ(::symlink(file.c_str(), path("link").c_str()), 0);
    for (const std::string& target : {file, path("link")}) {
        SCOPED_TRACE(target);
        EXPECT_THROW(replaceFileContent(target, bytesOf("new")), ReadOnlyFileError);
        EXPECT_THROW(writeOutputFile(target, bytesOf("new")), ReadOnlyFileError);
        EXPECT_EQ(contentOf(file), "old");
        EXPECT_EQ(modeOf(file), 0444u);
    }
    // Written again once writable.
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    writeOutputFile(file, bytesOf("new"));
    EXPECT_EQ(contentOf(file), "new");
}

}  // namespace
}  // namespace tarnik
