#include "serial/trace_target.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "posix/unique_fd.h"
#include "serial/trace.h"

namespace tarnik {

namespace {

// True when the two paths name one file: the same node when both exist, otherwise the
// same name once made absolute and tidied.
bool sameFile(const std::string& a, const std::string& b)
{
    struct stat infoA { };
    struct stat infoB { };
    const bool hasA = ::stat(a.c_str(), &infoA) == 0;
    const bool hasB = ::stat(b.c_str(), &infoB) == 0;
    if (hasA && hasB)
        return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
    if (hasA != hasB)
        return false;
    std::error_code ec;
    const auto canonicalA = std::filesystem::weakly_canonical(a, ec);
    const auto canonicalB = std::filesystem::weakly_canonical(b, ec);
    return !ec && canonicalA == canonicalB;
}

// True when the regular file begins as a trace does. Opened without blocking, and only
// the first line's start is read.
bool beginsAsTrace(const std::string& path)
{
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd)
        return false;
    std::string start(kTraceFileStart.size(), '\0');
    std::size_t done = 0;
    while (done < start.size()) {
        const ssize_t n = ::read(fd.get(), start.data() + done, start.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done == start.size() && start == kTraceFileStart;
}

}  // namespace

std::string traceFileProblem(const std::string& path, const std::vector<std::string>& inputs)
{
    for (const std::string& input : inputs)
        if (sameFile(path, input))
            return "zapis transmisji nie może trafić do „" + path +
                   "”: to ten sam plik, który program wczytuje („" + input +
                   "”). Podaj inną nazwę pliku zapisu; nic nie zapisano.";
    struct stat info { };
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        !beginsAsTrace(path))
        return "zapis transmisji nie może trafić do „" + path +
               "”: ten plik istnieje i nie jest zapisem transmisji Tarnika. Podaj inną nazwę "
               "albo usuń ten plik; nic nie zapisano.";
    return {};
}

}  // namespace tarnik
