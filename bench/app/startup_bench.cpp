// Start-up of the window program: time from starting the process to the main
// window's first paint, and peak memory, offscreen. Runs the program several
// times and prints the medians as parseable lines:
//   startup_ms=<from spawn to the window painted, measured here>
//   startup_in_process_ms=<from main() to the paint, measured by the program>
//   peak_rss_mb=<VmHWM of the program>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double wallMs = -1;
    double inProcessMs = -1;
    double peakMb = -1;
};

double valueAfter(const std::string& text, const std::string& key)
{
    const auto at = text.find(key);
    return at == std::string::npos ? -1 : std::atof(text.c_str() + at + key.size());
}

Run runOnce(const std::string& program)
{
    int out[2];
    if (pipe(out) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {program, "--measure-startup"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return {};
    }
    Run run;
    std::string text;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
        if (run.wallMs < 0 && text.find("startup_ms=") != std::string::npos)
            run.wallMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
    }
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.inProcessMs = valueAfter(text, "startup_ms=");
    run.peakMb = valueAfter(text, "peak_rss_mb=");
    return run;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string program = argc > 1 ? argv[1] : TARNIK_PROGRAM;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<double> wall, inside, peak;
    runOnce(program);  // warm the file cache
    for (int i = 0; i < runs; ++i) {
        const Run run = runOnce(program);
        if (run.wallMs < 0) {
            std::fprintf(stderr, "the program did not report its start-up\n");
            return 1;
        }
        wall.push_back(run.wallMs);
        inside.push_back(run.inProcessMs);
        peak.push_back(run.peakMb);
    }
    std::printf("runs=%d\nstartup_ms=%.1f\nstartup_in_process_ms=%.1f\npeak_rss_mb=%.1f\n", runs,
                median(wall), median(inside), median(peak));
    std::printf("goal_startup_ms=300 goal_peak_rss_mb=60\n");
    return 0;
}
