#include "file/input_file.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/polish_plural.h"

namespace tarnik {

namespace {

// What a file that is not a regular one is, in the words of the refusal.
const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "to folder";
    if (S_ISFIFO(mode))
        return "to potok (FIFO)";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "to urządzenie";
    if (S_ISSOCK(mode))
        return "to gniazdo";
    return "to plik specjalny";
}

void refuseUnlessRegular(const std::string& path, mode_t mode)
{
    if (!S_ISREG(mode))
        throw InputFileError("Nie można wczytać „" + path + "”: " + kindOf(mode) +
                             ", a nie zwykły plik.");
}

[[noreturn]] void refuseTooLarge(const std::string& path, std::size_t maxBytes)
{
    throw InputFileError("Plik „" + path + "” jest za duży: wczytywane są pliki do " +
                         countedNoun(static_cast<long long>(maxBytes), "bajt", "bajty", "bajtów") +
                         ".");
}

[[noreturn]] void fail(int error)
{
    throw std::system_error(error, std::generic_category());
}

}  // namespace

UniqueFd openInputFile(const std::string& path)
{
    // A look before the open: a device is never opened (opening one may already act, as a
    // serial port raising its control lines does).
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        fail(errno);
    refuseUnlessRegular(path, info.st_mode);
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd)
        fail(errno);
    // The name may have been given to another file between the look and the open.
    if (::fstat(fd.get(), &info) != 0)
        fail(errno);
    refuseUnlessRegular(path, info.st_mode);
    return fd;
}

std::string readInputFile(const std::string& path, std::size_t maxBytes)
{
    const UniqueFd fd = openInputFile(path);
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0)
        fail(errno);
    if (static_cast<unsigned long long>(info.st_size) > maxBytes)
        refuseTooLarge(path, maxBytes);
    // One byte past the limit is asked for, so that a file grown since fstat is seen.
    std::string content(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == content.size()) {
            if (content.size() > maxBytes)
                refuseTooLarge(path, maxBytes);
            content.resize(std::min(maxBytes + 1, content.size() * 2));
        }
        const ssize_t n = ::read(fd.get(), content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    content.resize(done);
    return content;
}

}  // namespace tarnik
