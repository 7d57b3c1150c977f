// Programming run and read-back against the simulator pacing the line at 115200 baud and
// answering at once. Prints each median time over its line-time limit:
//   programming: 1419 bytes on the line, read-back: 1707 bytes, 10 bits a byte.
// bench_link [RUNS] [--trace FILE]: with --trace the wire trace runs as `tarnik --trace`
// runs it (every line to FILE, the newest kept in memory), to measure what it costs.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "link/link_engine.h"
#include "link/no_answer_timer.h"
#include "model/value_ranges.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "serial/qt/qt_handover.h"
#include "serial/qt/qt_trace.h"
#include "simulator/module_simulator.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace tarnik;

constexpr int kBaud = 115200;
constexpr double kProgramLineMs = 1419.0 * 10.0 * 1000.0 / kBaud;
constexpr double kReadLineMs = 1707.0 * 10.0 * 1000.0 / kBaud;

class BenchHost : public LinkHost {
public:
    int addInfoLine(const std::string&, bool) override { return 0; }
    void replaceInfoLine(int, const std::string&) override { }
    void setBusy(bool) override { }
    void armNoAnswerTimer() override { timer.arm(); }
    void disarmNoAnswerTimer() override { timer.disarm(); }
    SettingsRecord settingsRecord() override { return startupSettings(); }
    SettingsRecord collectSettings() override { return startupSettings(); }
    void showSettings(const SettingsRecord&) override { }
    bool checkUserNumbers() override { return true; }
    std::string portName() override { return port; }
    void reportError(const std::string& message) override
    {
        std::fprintf(stderr, "error: %s\n", message.c_str());
    }
    void linkFinished(LinkOutcome o) override
    {
        finishedAt = Clock::now();
        outcome = o;
        if (loop)
            loop->quit();
    }

    NoAnswerTimer timer{nullptr};
    std::string port;
    std::optional<LinkOutcome> outcome;
    Clock::time_point finishedAt;
    QEventLoop* loop = nullptr;
};

// Runs the event loop until the exchange ends; returns the elapsed milliseconds.
template <typename Start>
double timeExchange(BenchHost& host, Start start, LinkOutcome expected)
{
    host.outcome.reset();
    QEventLoop loop;
    host.loop = &loop;
    const auto begin = Clock::now();
    start();
    if (!host.outcome)
        loop.exec();
    host.loop = nullptr;
    if (host.outcome != expected) {
        std::fprintf(stderr, "exchange failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(host.finishedAt - begin).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    installQtHandOver();
    int runs = 11;
    const char* traceFile = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--trace" && i + 1 < argc)
            traceFile = argv[++i];
        else
            runs = std::max(1, std::atoi(argv[i]));
    }
    if (traceFile != nullptr) {
        QString error;
        if (!installQtTrace()->writeTo(QString::fromLocal8Bit(traceFile), &error)) {
            std::fprintf(stderr, "cannot write the trace: %s\n", qPrintable(error));
            return 1;
        }
    }

    SimulatorOptions options;
    options.pacing.baudRate = kBaud;
    ModuleSimulator sim(options);
    sim.start();

    TComPort port;
    TComDataPacket framer;
    DeviceImage image{};
    BenchHost host;
    host.port = sim.devicePath();
    LinkEngine engine(host, image, port, framer);
    wireModuleLink(port, framer, engine, host.timer);

    std::vector<double> program, read;
    for (int i = 0; i < runs; ++i) {
        program.push_back(timeExchange(
            host, [&] { engine.BprogramujClick(); }, LinkOutcome::Programmed));
        read.push_back(timeExchange(
            host, [&] { engine.BBloadClick(); }, LinkOutcome::SettingsLoaded));
    }
    const double p = median(program), r = median(read);
    std::printf("program_ms=%.2f program_line_ms=%.2f program_ratio=%.3f\n", p, kProgramLineMs,
                p / kProgramLineMs);
    std::printf("read_ms=%.2f read_line_ms=%.2f read_ratio=%.3f\n", r, kReadLineMs,
                r / kReadLineMs);
    std::printf("runs=%d trace=%s program_min_ms=%.2f read_min_ms=%.2f\n", runs,
                traceFile != nullptr ? "on" : "off",
                *std::min_element(program.begin(), program.end()),
                *std::min_element(read.begin(), read.end()));
    return 0;
}
