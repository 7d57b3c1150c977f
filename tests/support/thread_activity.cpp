#include "cpu_time.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

namespace tarnik::test {

namespace {

double cpuMs(clockid_t clock)
{
    timespec t{};
    ::clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

}  // namespace

double ProcessCpuMs()
{
    return cpuMs(CLOCK_PROCESS_CPUTIME_ID);
}

double CurrentThreadCpuMs()
{
    return cpuMs(CLOCK_THREAD_CPUTIME_ID);
}

std::vector<int> ThreadIds()
{
    std::vector<int> ids;
    if (DIR* d = ::opendir("/proc/self/task")) {
        while (dirent* e = ::readdir(d))
            if (e->d_name[0] != '.')
                ids.push_back(std::atoi(e->d_name));
        ::closedir(d);
    }
    return ids;
}

double ThreadCpuMs(int tid)
{
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string line;
    std::getline(in, line);
    // Fields after the command name (which may hold spaces) start after the last ')'.
    // A thread that has just ended leaves nothing to read.
    const auto nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos || nameEnd + 2 > line.size())
        return 0;
    std::istringstream rest(line.substr(nameEnd + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14)
            utime = std::stol(field);
        if (i == 15)
            stime = std::stol(field);
    }
    return static_cast<double>(utime + stime) * 1000.0 /
           static_cast<double>(::sysconf(_SC_CLK_TCK));
}

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace tarnik::test
