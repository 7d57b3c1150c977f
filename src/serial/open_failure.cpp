#include "serial/open_failure.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "serial/port_list.h"

namespace tarnik {

namespace fs = std::filesystem;

namespace {

void fill(std::string& text, const std::string& name, const std::string& value)
{
    const std::string key = "{" + name + "}";
    for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
        text.replace(at, key.size(), value);
}

// The name of the group that owns the device; empty when it cannot be told.
std::string ownerGroup(const std::string& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return {};
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return found->gr_name;
}

// Other processes that have the device open, as "name, PID n" (what fuser finds
// among the processes this user may look into).
std::string holdersOf(const std::string& path)
{
    std::error_code ec;
    const fs::path device = fs::canonical(path, ec);
    if (ec)
        return {};
    const std::string self = std::to_string(getpid());
    std::string found;
    for (fs::directory_iterator proc("/proc", ec), end; !ec && proc != end; proc.increment(ec)) {
        const std::string pid = proc->path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self)
            continue;
        std::error_code fdError;
        for (fs::directory_iterator fd(proc->path() / "fd", fdError), none; !fdError && fd != none;
             fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError) != device || linkError)
                continue;
            std::string name;
            std::getline(std::ifstream(proc->path() / "comm"), name);
            found += (found.empty() ? "" : "; ") + name + ", PID " + pid;
            break;
        }
    }
    return found;
}

std::string existingPorts(const std::string& sysRoot)
{
    std::string list;
    for (const std::string& port : ListSerialPorts(sysRoot + "/class/tty"))
        list += (list.empty() ? "" : ", ") + port;
    return list;
}

std::string hintFor(const std::string& path, int error, const std::string& sysRoot)
{
    std::string hint;
    switch (error) {
    case EACCES:
    case EPERM: {
        const std::string group = ownerGroup(path);
        hint =
            group.empty() || group == "root" ? open_hint::kAskAdministrator : open_hint::kJoinGroup;
        fill(hint, "group", group);
        break;
    }
    case EBUSY:
    case EWOULDBLOCK: {
        const std::string holders = holdersOf(path);
        hint = holders.empty() ? open_hint::kInUse : open_hint::kInUseBy;
        fill(hint, "program", holders);
        break;
    }
    case ENOENT:
    case ENODEV:
    case ENXIO: {
        const std::string ports = existingPorts(sysRoot);
        hint = ports.empty() ? open_hint::kMissingNoPorts : open_hint::kMissing;
        fill(hint, "ports", ports);
        break;
    }
    default:
        return {};
    }
    fill(hint, "path", path);
    return hint;
}

}  // namespace

std::string openFailureAdvice(const std::string& devicePath, int error, const std::string& sysRoot)
{
    try {
        std::string advice = std::error_code(error, std::generic_category()).message() + ".";
        const std::string hint = hintFor(devicePath, error, sysRoot);
        if (!hint.empty())
            advice += " " + hint;
        return advice;
    } catch (...) {
        return {};  // advice is a courtesy; the error itself is still raised
    }
}

}  // namespace tarnik
