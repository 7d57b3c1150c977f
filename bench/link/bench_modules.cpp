// Several modules programmed at once by tarnik-cli's runner, each simulator pacing its
// line at 115200 baud: the wall time of eight at once over the time of one alone.
// Prints key=value figures (medians over the runs).

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>
#include <sstream>
#include <vector>

#include "cli/cli_modules.h"
#include "model/value_ranges.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_simulator.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace tarnik;

constexpr int kBaud = 115200;
constexpr int kModules = 8;
constexpr int kTimeoutMs = 6000;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Programs the modules on `ports` at once; returns the wall time in milliseconds.
double programAtOnce(const std::vector<std::string>& ports)
{
    std::ostringstream out, err;
    const auto begin = Clock::now();
    const int status = cli::runOnModules(ports, cli::ModuleTask::Program,
                                         effectiveSettings(startupSettings()), kTimeoutMs, out, err)
                           .status;
    const auto end = Clock::now();
    if (status != 0) {
        std::fprintf(stderr, "programming failed (%d): %s\n", status, err.str().c_str());
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(end - begin).count();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    installQtHandOver();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    SimulatorOptions options;
    options.pacing.baudRate = kBaud;
    std::vector<std::unique_ptr<ModuleSimulator>> modules;
    std::vector<std::string> ports;
    for (int i = 0; i < kModules; ++i) {
        modules.push_back(std::make_unique<ModuleSimulator>(options));
        modules.back()->start();
        ports.push_back(modules.back()->devicePath());
    }

    std::vector<double> one, all;
    for (int i = 0; i < runs; ++i) {
        one.push_back(programAtOnce({ports.front()}));
        all.push_back(programAtOnce(ports));
    }
    const double single = median(one), eight = median(all);
    std::printf("modules_one_ms=%.2f modules_eight_ms=%.2f modules_ratio=%.3f runs=%d\n", single,
                eight, eight / single, runs);
    return 0;
}
