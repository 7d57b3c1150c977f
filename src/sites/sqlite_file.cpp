#include "sites/sqlite_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "posix/unique_fd.h"
#include "sites/library_failures.h"

namespace tarnik::sites {

namespace {

constexpr char kSqliteHeader[16] = "SQLite format 3";  // and its closing zero byte

QString errnoText(int error)
{
    return QString::fromStdString(std::error_code(error, std::generic_category()).message());
}

bool permissionError(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

[[noreturn]] void throwFileError(const LibraryLocation& location, const QString& what, int error)
{
    const QString reason = what + QStringLiteral(": ") + errnoText(error);
    if (permissionError(error))
        throwReadOnly(location, reason);
    throwFailed(location, reason);
}

// Creates the folder and any missing folders above it, each owner-only.
void makeFolders(const LibraryLocation& location, const QString& folder)
{
    const QString parent = QFileInfo(folder).path();
    if (QFileInfo::exists(folder))
        return;
    if (parent != folder)
        makeFolders(location, parent);
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        throwFileError(location, QStringLiteral("nie można utworzyć folderu „%1”").arg(folder),
                       errno);
}

}  // namespace

void prepareSqliteFile(const LibraryLocation& location)
{
    const QString folder = QFileInfo(location.path).absolutePath();
    makeFolders(location, folder);
    const QByteArray path = QFile::encodeName(location.path);

    const int created = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (created >= 0) {
        ::close(created);
        return;
    }
    if (errno != EEXIST)
        throwFileError(location, QStringLiteral("nie można utworzyć pliku"), errno);

    struct stat status { };
    if (::stat(path.constData(), &status) != 0)
        throwFileError(location, QStringLiteral("nie można odczytać pliku"), errno);
    if (!S_ISREG(status.st_mode))
        throwDamaged(location);

    if (status.st_size > 0) {
        const UniqueFd file(::open(path.constData(), O_RDONLY | O_CLOEXEC));
        if (file.get() < 0)
            throwFileError(location, QStringLiteral("nie można odczytać pliku"), errno);
        std::array<char, sizeof kSqliteHeader> header{};
        const ssize_t n = ::read(file.get(), header.data(), header.size());
        if (n < 0)
            throwFileError(location, QStringLiteral("nie można odczytać pliku"), errno);
        if (n != static_cast<ssize_t>(header.size()) ||
            std::memcmp(header.data(), kSqliteHeader, header.size()) != 0)
            throwDamaged(location);
    }

    // SQLite writes the file and, beside it, its write-ahead log.
    if (::access(path.constData(), W_OK) != 0)
        throwReadOnly(location, QStringLiteral("plik jest tylko do odczytu"));
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        throwReadOnly(location, QStringLiteral("folder „%1” jest tylko do odczytu").arg(folder));
}

}  // namespace tarnik::sites
