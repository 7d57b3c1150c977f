// Serial hand-over figures: latency from a frame written at the far end of a
// pseudo-terminal to the framer's OnCustomStop on the Qt user-interface thread, and
// the CPU an open but idle port costs.
//
// Prints one parseable line:
//   latency_median_us=.. latency_p99_us=.. latency_max_us=.. round_trips=.. idle_cpu_ms_per_10s=..
// Optional arguments: round trips (default 10000), idle seconds (default 10).

#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "serial/comport.h"
#include "serial/datapacket.h"
#include "serial/qt/qt_handover.h"

namespace {

using Clock = std::chrono::steady_clock;

double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int idleSeconds = argc > 2 ? std::atoi(argv[2]) : 10;

    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    ::close(slave);

    tarnik::installQtHandOver();
    tarnik::TComPort port;
    port.SetPort(name);
    port.SetBaudRate(tarnik::br115200);
    port.SetTimeouts({1, 0, 1, 100, 1000});
    port.SetEventChar(10);
    tarnik::TComDataPacket framer;
    framer.SetComPort(&port);
    framer.SetStopString("*1");

    std::vector<double> latencies;
    latencies.reserve(static_cast<size_t>(rounds));
    Clock::time_point sent;
    bool waiting = false;

    auto sendNext = [&] {
        waiting = true;
        sent = Clock::now();
        if (::write(master, "A*1", 3) != 3) {
            std::fprintf(stderr, "far-end write failed\n");
            app.exit(1);
        }
    };
    framer.OnCustomStop = [&](tarnik::TComDataPacket&, const std::string&, int&) {
        if (!waiting)
            return;  // the empty call after the packet was cut
        latencies.push_back(std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
        waiting = false;
        if (static_cast<int>(latencies.size()) < rounds)
            QTimer::singleShot(0, &app, sendNext);
        else
            QTimer::singleShot(0, &app, [&] { app.exit(0); });
    };
    port.OnHandOverError = [&](const std::exception& e) {
        std::fprintf(stderr, "hand-over error: %s\n", e.what());
        app.exit(1);
    };

    try {
        port.Open();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    QTimer::singleShot(0, &app, sendNext);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &app, [&] {
        std::fprintf(stderr, "stalled after %zu round trips\n", latencies.size());
        app.exit(2);
    });
    watchdog.start(120000);
    if (const int rc = app.exec(); rc != 0)
        return rc;
    watchdog.stop();

    // Idle: the port stays open, the loop runs, nothing arrives.
    const double cpuBefore = cpuMs();
    QTimer::singleShot(idleSeconds * 1000, &app, [&] { app.exit(0); });
    app.exec();
    const double idleCpu = (cpuMs() - cpuBefore) * 10.0 / idleSeconds;

    port.Close();
    ::close(master);

    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) {
        return latencies[std::min(latencies.size() - 1,
                                  static_cast<size_t>(q * static_cast<double>(latencies.size())))];
    };
    std::printf("latency_median_us=%.1f latency_p99_us=%.1f latency_max_us=%.1f round_trips=%zu "
                "idle_cpu_ms_per_10s=%.2f\n",
                at(0.5), at(0.99), latencies.back(), latencies.size(), idleCpu);
    return 0;
}
