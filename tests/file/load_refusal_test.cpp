// Files that must not load. Whatever the failure, neither the record nor the
// directory may change. A file's bytes held in memory are read or refused alike.

#include <gtest/gtest.h>

#include <QDir>
#include <cstring>

#include "file/settings_file.h"
#include "file_test_support.h"

namespace tarnik {
namespace {

using namespace test;

class SettingsFileRefusal : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::mt19937 random(5);
        saved = randomSettings(random);
        held = randomSettings(random);
        SaveSettingsFile(saved.record, saved.users, good());
        goodBytes = readBytes(good());
    }

    QString good() const { return dir.filePath("good.zvn"); }

    // Loads `file` into the held records; returns the message, "" if it loaded.
    std::string load(const QString& file)
    {
        Settings target = held;
        std::string message;
        try {
            LoadSettingsFile(file, target.record, target.users);
        } catch (const SettingsFileError& e) {
            message = e.what();
        }
        if (!message.empty()) {
            EXPECT_EQ(std::memcmp(&target.record, &held.record, sizeof held.record), 0)
                << "record changed";
            EXPECT_EQ(std::memcmp(&target.users, &held.users, sizeof held.users), 0)
                << "directory changed";
        }
        if (message.empty() || message == "Error")
            expectBytesReadAlike(readBytes(file), message, target);
        return message;
    }

    // The same bytes held in memory (as the library of sites keeps them) are read, or
    // refused, as the file was.
    void expectBytesReadAlike(const Bytes& bytes, const std::string& fileMessage,
                              const Settings& fileLoaded)
    {
        Settings target = held;
        std::string message;
        try {
            settingsFromFileBytes(bytes, target.record, target.users);
        } catch (const SettingsFileContentError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, fileMessage);
        const Settings& expected = message.empty() ? fileLoaded : held;
        EXPECT_EQ(std::memcmp(&target.record, &expected.record, sizeof held.record), 0);
        EXPECT_EQ(std::memcmp(&target.users, &expected.users, sizeof held.users), 0);
    }

    std::string loadBytes(const Bytes& bytes)
    {
        writeBytes(dir.filePath("bad.zvn"), bytes);
        return load(dir.filePath("bad.zvn"));
    }

    QTemporaryDir dir;
    Settings saved;
    Settings held;
    Bytes goodBytes;
};

TEST_F(SettingsFileRefusal, MissingFileNamesItsFullPathAndTheReason)
{
    EXPECT_EQ(load(dir.filePath("none.zvn")), "Cannot open file \"" +
                                                  dir.filePath("none.zvn").toStdString() +
                                                  "\". No such file or directory");

    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const std::string message = load("ząb.zvn");  // relative, non-ASCII: shown absolute, in UTF-8
    QDir::setCurrent(before);
    EXPECT_EQ(message, "Cannot open file \"" + dir.filePath("ząb.zvn").toStdString() +
                           "\". No such file or directory");
}

TEST_F(SettingsFileRefusal, DirectoryCannotBeOpened)
{
    EXPECT_EQ(load(dir.path()), "Nie można wczytać „" + dir.path().toStdString() +
                                    "”: to folder, a nie zwykły plik.");
}

TEST_F(SettingsFileRefusal, EmptyTextAndForeignFiles)
{
    EXPECT_EQ(loadBytes({}), "Error");
    writeText(dir.filePath("notes.txt"), "To jest plik tekstowy.\r\nDruga linia.\r\n");
    EXPECT_EQ(load(dir.filePath("notes.txt")), "Error");
    EXPECT_EQ(loadBytes(Bytes(70000, 0x78)), "Error");  // more than one read piece of junk
}

TEST_F(SettingsFileRefusal, TruncationAnywhereIsRefused)
{
    // Every cut near the header and the check value, and a spread in between.
    for (std::size_t n = 0; n < goodBytes.size();
         n += (n < 16 || n + 16 > goodBytes.size()) ? 1 : 7)
        ASSERT_EQ(
            loadBytes(Bytes(goodBytes.begin(), goodBytes.begin() + static_cast<std::ptrdiff_t>(n))),
            "Error")
            << "cut at " << n;
    EXPECT_EQ(loadBytes(goodBytes), "");
}

TEST_F(SettingsFileRefusal, DamagedHeaderDataOrCheckValue)
{
    for (std::size_t at :
         {std::size_t{0}, std::size_t{1}, goodBytes.size() / 2, goodBytes.size() - 1}) {
        Bytes damaged = goodBytes;
        damaged[at] ^= 0x5A;
        EXPECT_EQ(loadBytes(damaged), "Error") << "damaged at " << at;
    }
}

TEST_F(SettingsFileRefusal, LengthByteAboveItsFieldMaximum)
{
    auto refusedWith = [this](auto change) {
        Settings bad = saved;
        change(bad);
        SaveSettingsFile(bad.record, bad.users, dir.filePath("long.zvn"));
        return load(dir.filePath("long.zvn"));
    };
    EXPECT_EQ(refusedWith([](Settings& s) { s.record.pinMod.len = 5; }), "Error");
    EXPECT_EQ(refusedWith([](Settings& s) { s.record.pin.len = 8; }), "Error");
    EXPECT_EQ(refusedWith([](Settings& s) { s.record.csms.len = 16; }), "Error");
    EXPECT_EQ(refusedWith([](Settings& s) { s.record.nrUser[3].len = 255; }), "Error");
    EXPECT_EQ(refusedWith([](Settings& s) { s.record.smsWeRe[7][1].len = 37; }), "Error");
    EXPECT_EQ(refusedWith([](Settings& s) { s.record.smsSpecWeRe[5][1].len = 37; }), "Error");
    EXPECT_EQ(refusedWith([](Settings& s) { s.users.entries[3].osoba.len = 31; }), "Error");
    EXPECT_EQ(refusedWith([](Settings& s) { s.users.entries[0].uwagi.len = 251; }), "Error");
    // At the maximum is fine.
    EXPECT_EQ(refusedWith([](Settings& s) {
                  s.record.pin.len = 7;
                  s.users.entries[0].uwagi.len = 250;
              }),
              "");
}

}  // namespace
}  // namespace tarnik
