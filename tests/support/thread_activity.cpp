#include "thread_activity.h"

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace tarnik::test {

namespace {

std::string taskFile(int tid, const char* name)
{
    return "/proc/self/task/" + std::to_string(tid) + "/" + name;
}

// The state letter of /proc/.../stat ('R' running, 'S' sleeping, ...); 0 once the thread
// has ended.
char threadState(int tid)
{
    std::ifstream in(taskFile(tid, "stat"));
    std::string line;
    std::getline(in, line);
    // The state follows the command name, which may hold spaces: after the last ')'.
    const auto nameEnd = line.rfind(')');
    if (nameEnd == std::string::npos || nameEnd + 2 >= line.size())
        return 0;
    return line[nameEnd + 2];
}

}  // namespace

std::vector<int> threadIds()
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

bool threadSleeps(int tid)
{
    const char state = threadState(tid);
    return state == 'S' || state == 0;
}

bool threadEnded(int tid)
{
    return threadState(tid) == 0;
}

long threadWakeUps(int tid)
{
    std::ifstream in(taskFile(tid, "status"));
    std::string line;
    const std::string key = "voluntary_ctxt_switches:";
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return 0;
}

long processWakeUps()
{
    long sum = 0;
    for (int tid : threadIds())
        sum += threadWakeUps(tid);
    return sum;
}

std::vector<int> threadsNeverAsleep(std::chrono::milliseconds watch)
{
    const int self = static_cast<int>(::syscall(SYS_gettid));
    std::vector<int> waiting;
    for (int tid : threadIds())
        if (tid != self)
            waiting.push_back(tid);
    const auto end = std::chrono::steady_clock::now() + watch;
    while (!waiting.empty() && std::chrono::steady_clock::now() < end) {
        waiting.erase(std::remove_if(waiting.begin(), waiting.end(), threadSleeps), waiting.end());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return waiting;
}

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace tarnik::test
