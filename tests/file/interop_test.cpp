// The file is a plain zlib stream: an independent implementation (Python's
// zlib) must read ours and write files we read.

#include <gtest/gtest.h>

#include <cstring>

#include "file/settings_file.h"
#include "file_test_support.h"

namespace tarnik {
namespace {

using namespace test;

// python3 -c SCRIPT IN OUT [ARGS]: OUT = f(IN)
constexpr const char* kCompress =
    "import sys, zlib\n"
    "data = open(sys.argv[1], 'rb').read()\n"
    "c = zlib.compressobj(int(sys.argv[3]), zlib.DEFLATED, int(sys.argv[4]))\n"
    "open(sys.argv[2], 'wb').write(c.compress(data) + c.flush() + bytes.fromhex(sys.argv[5]))\n";
constexpr const char* kDecompress =
    "import sys, zlib\n"
    "open(sys.argv[2], 'wb').write(zlib.decompress(open(sys.argv[1], 'rb').read()))\n";

class SettingsFileInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::mt19937 random(99);
        settings = randomSettings(random);
    }

    // Compresses `content` with Python into a file and returns its path.
    QString pythonFile(const Bytes& content, int level, int windowBits = 15,
                       const char* trailingHex = "")
    {
        writeBytes(dir.filePath("plain.bin"), content);
        const QString out = dir.filePath(QString("py%1.zvn").arg(++files));
        runPython(kCompress, {dir.filePath("plain.bin"), out, QString::number(level),
                              QString::number(windowBits), trailingHex});
        return out;
    }

    void expectLoads(const QString& file, const Settings& expected)
    {
        SettingsRecord record{};
        UserDirectory users{};
        ASSERT_NO_THROW(LoadSettingsFile(file, record, users));
        EXPECT_EQ(std::memcmp(&record, &expected.record, sizeof record), 0);
        EXPECT_EQ(std::memcmp(&users, &expected.users, sizeof users), 0);
    }

    void expectRefused(const QString& file)
    {
        SettingsRecord record{};
        UserDirectory users{};
        try {
            LoadSettingsFile(file, record, users);
            ADD_FAILURE() << "loaded " << file.toStdString();
        } catch (const SettingsFileError& e) {
            EXPECT_STREQ(e.what(), "Error");
        }
        const SettingsRecord zeroRecord{};
        const UserDirectory zeroUsers{};
        EXPECT_EQ(std::memcmp(&record, &zeroRecord, sizeof record), 0);
        EXPECT_EQ(std::memcmp(&users, &zeroUsers, sizeof users), 0);
    }

    QTemporaryDir dir;
    Settings settings;
    int files = 0;
};

TEST_F(SettingsFileInterop, PythonDecompressesOurFileToRecordThenDirectory)
{
    SaveSettingsFile(settings.record, settings.users, dir.filePath("ours.zvn"));
    runPython(kDecompress, {dir.filePath("ours.zvn"), dir.filePath("out.bin")});
    EXPECT_EQ(readBytes(dir.filePath("out.bin")), contentOf(settings.record, settings.users));
}

TEST_F(SettingsFileInterop, WeReadStreamsOfAnyLevel)
{
    const Bytes content = contentOf(settings.record, settings.users);
    expectLoads(pythonFile(content, 1), settings);
    expectLoads(pythonFile(content, 9), settings);
    expectLoads(pythonFile(content, 0), settings);  // stored blocks
}

TEST_F(SettingsFileInterop, DataAfterTheStreamOrTheContentIsIgnored)
{
    Bytes content = contentOf(settings.record, settings.users);
    expectLoads(pythonFile(content, 6, 15, "00ff00ff112233"), settings);
    content.resize(content.size() + 70000, 0xAB);
    expectLoads(pythonFile(content, 6), settings);
}

TEST_F(SettingsFileInterop, ShortContentIsRefused)
{
    Bytes content = contentOf(settings.record, settings.users);
    content.pop_back();
    expectRefused(pythonFile(content, 6));
    expectRefused(pythonFile({}, 6));
}

TEST_F(SettingsFileInterop, RawDeflateAndGzipAreNotZlibStreams)
{
    const Bytes content = contentOf(settings.record, settings.users);
    expectRefused(pythonFile(content, 6, -15));
    expectRefused(pythonFile(content, 6, 31));
}

}  // namespace
}  // namespace tarnik
