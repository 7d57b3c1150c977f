// The SQLite library's file: created owner-only with its write-ahead log on; a file that
// is no library, or that the user may not write, refused and left byte for byte as it was.
// The read-only cases run as an unprivileged user too (see CMakeLists.txt): permissions do
// not bind root.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

#include "sites/library_connection.h"
#include "sites/site_library.h"
#include "test_library.h"

namespace tarnik::sites {
namespace {

mode_t modeOf(const QString& path)
{
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

SiteDetails named(const char* name)
{
    SiteDetails details;
    details.name = QString::fromUtf8(name);
    return details;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::optional<LibraryError::Kind> refusalOf(const QString& path)
{
    try {
        SiteLibrary library(parseLibraryLocation(path));
    } catch (const LibraryError& e) {
        return e.kind();
    }
    return std::nullopt;
}

class SqliteFile : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(SqliteFile, ANewLibraryIsOwnerOnlyWithItsWriteAheadLogOn)
{
    const QString file = path(QStringLiteral("dane/Tarnik/obiekty.sqlite"));
    const mode_t umask = ::umask(0);  // even a permissive umask leaves others out
    {
        SiteLibrary library(parseLibraryLocation(file));
        library.addSite(named("Dom"), test::sampleSettings(1));
    }
    ::umask(umask);
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(modeOf(path(QStringLiteral("dane/Tarnik"))), 0700u);
    EXPECT_EQ(modeOf(path(QStringLiteral("dane"))), 0700u);

    LibraryConnection raw(parseLibraryLocation(file));
    raw.open();
    EXPECT_EQ(raw.value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    EXPECT_EQ(SiteLibrary(parseLibraryLocation(file)).listSites().size(), 1u);
}

TEST_F(SqliteFile, AFileThatIsNoLibraryIsRefusedUntouched)
{
    std::mt19937 random(7);
    QByteArray noise(8192, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    QByteArray headerThenNoise = QByteArray("SQLite format 3", 16) + noise;
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"random bytes", noise},
        {"text", QByteArray("obiekt;adres\nDom;Polna 1\n")},
        {"short", QByteArray("SQLite")},
        {"SQLite header, then noise", headerThenNoise},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const QString file = path(QString::fromLatin1(f.name));
        write(file, f.bytes);
        EXPECT_EQ(refusalOf(file), LibraryError::Kind::Damaged);
        EXPECT_EQ(bytesOf(file), f.bytes);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).filter(QStringLiteral("-wal")),
                  QStringList());
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    EXPECT_EQ(refusalOf(path(QStringLiteral("folder"))), LibraryError::Kind::Damaged);
}

TEST_F(SqliteFile, ALibraryTheUserMayNotWriteIsRefusedUntouched)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root passes every permission check";
    const QString file = path(QStringLiteral("obiekty.sqlite"));
    SiteLibrary(parseLibraryLocation(file)).addSite(named("Dom"), test::sampleSettings(1));
    const QByteArray before = bytesOf(file);

    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0400), 0);
    EXPECT_EQ(refusalOf(file), LibraryError::Kind::ReadOnly);
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0600), 0);

    // SQLite writes its log beside the file: the folder must be writable too.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0500), 0);
    EXPECT_EQ(refusalOf(file), LibraryError::Kind::ReadOnly);
    EXPECT_EQ(refusalOf(path(QStringLiteral("nowa.sqlite"))), LibraryError::Kind::ReadOnly);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0700), 0);
    EXPECT_EQ(bytesOf(file), before);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("nowa.sqlite"))));
}

}  // namespace
}  // namespace tarnik::sites
