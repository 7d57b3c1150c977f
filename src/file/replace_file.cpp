#include "file/replace_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "posix/unique_fd.h"

namespace tarnik {

namespace {

[[noreturn]] void fail(int error)
{
    throw std::system_error(error, std::generic_category());
}

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file a path names with its links followed, also when the last one dangles (the
// name it points to, which a write then creates); the path itself when it is no link.
std::string resolved(const std::string& path)
{
    // As many links as the system follows itself before it gives up with ELOOP.
    constexpr int kMaxLinks = 40;
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        char buffer[PATH_MAX];
        if (::realpath(current.c_str(), buffer) != nullptr)
            return buffer;
        const ssize_t n = ::readlink(current.c_str(), buffer, sizeof buffer);
        if (n < 0)
            return current;  // no link, or a folder on the way is missing
        const std::string target(buffer, static_cast<std::size_t>(n));
        current = target.starts_with('/') ? target : directoryOf(current) + "/" + target;
    }
    fail(ELOOP);
}

// True when the existing file `path` may not be written: its mode bits for the
// superuser (every permission check passes for it), the check itself for anyone else.
bool writeProtected(const std::string& path, const struct stat& info)
{
    if (::geteuid() == 0)
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

std::string baseNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new file with a random name in `directory`; mode 0666 (0600 for the owner
// alone) less umask, as a plain create would give.
UniqueFd createTemporary(const std::string& directory, const std::string& base, std::string& name,
                         NewFileAccess access)
{
    const mode_t mode = access == NewFileAccess::OwnerOnly ? 0600 : 0666;
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(8, ' ');
        for (char& c : suffix)
            c = kLetters[pick(random)];
        name = directory + "/." + base + "." + suffix + ".tmp";
        UniqueFd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (fd || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return UniqueFd();
}

void writeAll(int fd, std::span<const std::uint8_t> content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
}

// Makes the rename itself durable, so that after a power loss the name holds the new
// content rather than the old. The file is already complete either way, so a
// directory that cannot be synced is no reason to report the save as failed.
void syncDirectory(const std::string& directory)
{
    const UniqueFd fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd)
        ::fsync(fd.get());
}

}  // namespace

ReadOnlyFileError::ReadOnlyFileError()
    : std::system_error(EACCES, std::generic_category(), "read-only file")
{
}

void replaceFileContent(const std::string& path, std::span<const std::uint8_t> content,
                        NewFileAccess access)
{
    const std::string target = resolved(path);
    struct stat existing { };
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        fail(EISDIR);
    if (exists && writeProtected(target, existing))
        throw ReadOnlyFileError();

    std::string temporary;
    UniqueFd fd = createTemporary(directoryOf(target), baseNameOf(target), temporary, access);
    if (!fd)
        fail(errno);
    try {
        if (exists && ::fchmod(fd.get(), existing.st_mode & 07777) != 0)
            fail(errno);
        writeAll(fd.get(), content);
        if (::fsync(fd.get()) != 0)
            fail(errno);
    } catch (...) {
        fd.reset();
        ::unlink(temporary.c_str());
        throw;
    }
    if (fd.close() != 0 || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail(error);
    }
    syncDirectory(directoryOf(target));
}

void writeOutputFile(const std::string& path, std::span<const std::uint8_t> content,
                     NewFileAccess access)
{
    struct stat existing { };
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode)) {
        // No O_CREAT: should the node vanish meanwhile, nothing new is made in its place.
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
        if (!fd)
            fail(errno);
        struct stat opened { };
        if (::fstat(fd.get(), &opened) != 0)
            fail(errno);
        if (!S_ISREG(opened.st_mode)) {
            writeAll(fd.get(), content);
            if (fd.close() != 0)
                fail(errno);
            return;
        }
        // A regular file took the node's place between the two looks: replace it whole.
    }
    replaceFileContent(path, content, access);
}

}  // namespace tarnik
