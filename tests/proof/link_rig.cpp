#include "link_rig.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <fstream>
#include <random>
#include <sstream>

#include <time.h>
#include <unistd.h>

namespace tarnik::proof {

RecordingHost::RecordingHost(int timeoutMs)
    : timer_(
          [this] {
              if (onTimeout_)
                  onTimeout_();
          },
          timeoutMs)
{
}

int RecordingHost::addInfoLine(const std::string& text, bool trim)
{
    return list_.add(text, trim);
}

void RecordingHost::replaceInfoLine(int index, const std::string& text)
{
    list_.replace(index, text);
}

LinkRig::LinkRig(const std::string& portName, int timeoutMs)
    : host(timeoutMs), engine(host, record, image, port, framer)
{
    host.port = portName;
    ConfigureModuleLink(port, framer, engine);
    host.setOnTimeout([this] { engine.Timer1Timer(); });
}

template <typename Press>
std::optional<LinkOutcome> LinkRig::exchange(Press press, std::chrono::milliseconds limit)
{
    const std::size_t before = host.outcomes.size();
    try {
        press();
    } catch (const std::exception& e) {
        host.errors.push_back(e.what());
    }
    RunUntil([&] { return host.outcomes.size() > before; }, limit);
    if (host.outcomes.size() > before)
        return host.outcomes.back();
    return std::nullopt;
}

std::optional<LinkOutcome> LinkRig::program(std::chrono::milliseconds limit)
{
    return exchange([this] { engine.BprogramujClick(); }, limit);
}

std::optional<LinkOutcome> LinkRig::readBack(std::chrono::milliseconds limit)
{
    return exchange([this] { engine.BBloadClick(); }, limit);
}

std::optional<LinkOutcome> LinkRig::serial(std::chrono::milliseconds limit)
{
    return exchange([this] { engine.BBserialClick(); }, limit);
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start();
    deadline.start(static_cast<int>(limit.count()));
    loop.exec();
    return done();
}

void RunFor(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(duration.count()), &loop, &QEventLoop::quit);
    loop.exec();
}

double ProcessCpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

namespace {

template <std::size_t N>
void randomText(std::mt19937& random, ShortString<N>& s, std::size_t length)
{
    for (std::size_t i = 0; i < N; ++i)
        s.chars[i] = 0;
    for (std::size_t i = 0; i < length; ++i) {
        std::uint8_t c;
        do
            c = static_cast<std::uint8_t>(random() & 0xFF);
        while (c == 0 || c == '"');
        s.chars[i] = c;
    }
    s.len = static_cast<std::uint8_t>(length);
}

}  // namespace

SettingsRecord RandomModuleSettings(unsigned seed)
{
    std::mt19937 random(seed);
    SettingsRecord r{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&r);
    for (std::size_t i = 0; i < sizeof r; ++i)
        bytes[i] = static_cast<std::uint8_t>(random() & 0xFF);
    auto upTo = [&](std::size_t n) { return static_cast<std::size_t>(random() % (n + 1)); };
    randomText(random, r.pinMod, 4);
    randomText(random, r.pin, (random() & 1) ? 4 : 0);
    randomText(random, r.csms, upTo(12));
    for (auto& n : r.nrUser)
        randomText(random, n, upTo(12));
    for (auto& row : r.smsWeRe)
        for (auto& t : row)
            randomText(random, t, upTo(36));
    for (auto& row : r.smsSpecWeRe)
        for (auto& t : row)
            randomText(random, t, upTo(36));
    return r;
}

}  // namespace tarnik::proof
