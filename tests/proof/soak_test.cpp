// Long run against the simulator on an unpaced line: programming runs and read-backs
// in turn, each with different settings. Every exchange must succeed, every read-back
// must give back exactly what was programmed, and resident memory must stay flat. The
// simulator runs as its own process (tarnik-sim), so the memory measured is the tool's.

#include <gtest/gtest.h>

#include <QProcess>

#include <cstdio>

#include "fault_helpers.h"

#ifndef TARNIK_SOAK_RUNS
#define TARNIK_SOAK_RUNS 1000
#endif

namespace tarnik::proof {
namespace {

constexpr int kRuns = TARNIK_SOAK_RUNS;
// Runs before the first memory reading: allocators and Qt settle first.
constexpr int kWarmUp = kRuns / 10;
constexpr long kAllowedGrowthKiB = 512;  // half a KiB a run would show
// AddressSanitizer holds freed memory in quarantine, so resident memory grows there by
// design; LeakSanitizer checks for leaks at exit instead.
#ifdef TARNIK_SOAK_UNDER_SANITIZERS
constexpr bool kUnderSanitizers = true;
#else
constexpr bool kUnderSanitizers = false;
#endif

// tarnik-sim on an unpaced line; prints its device path first.
class SimulatorProcess {
public:
    SimulatorProcess()
    {
        process_.start(TARNIK_SIM_PATH, QStringList{});
        process_.waitForStarted(5000);
        while (!process_.canReadLine() && process_.waitForReadyRead(5000)) { }
        path_ = process_.readLine().trimmed().toStdString();
    }
    ~SimulatorProcess()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }
    const std::string& devicePath() const { return path_; }

private:
    QProcess process_;
    std::string path_;
};

TEST(Soak, ProgrammingAndReadBackRepeated)
{
    SimulatorProcess module;
    ASSERT_FALSE(module.devicePath().empty());
    LinkRig rig(module.devicePath(), 6000);

    long firstKiB = 0;
    int programmed = 0;
    int readBack = 0;
    for (int run = 0; run < kRuns; ++run) {
        // The test host's own records grow with every run; only the link's memory counts.
        rig.host.progressTexts.clear();
        rig.host.shown.clear();
        rig.host.outcomes.clear();
        if (run == kWarmUp)
            firstKiB = residentKiB();
        rig.host.controls = randomModuleSettings(1000u + static_cast<unsigned>(run));
        const DeviceImage sent = imageOf(*rig.host.controls);

        ASSERT_EQ(rig.program(), LinkOutcome::Programmed) << "run " << run;
        ++programmed;

        rig.host.record = patternRecord();
        ASSERT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded) << "read-back " << run;
        ++readBack;
        // The module holds the 1195 bytes sent, and its memory past them from before.
        ASSERT_TRUE(holdsProgrammedImage(rig.image, sent)) << run;
        // The record read back makes the same image as the record programmed.
        ASSERT_EQ(imageOf(rig.host.record), sent) << "read-back " << run;
    }
    const long lastKiB = residentKiB();
    std::printf("soak: %d programming runs, %d read-backs; resident memory %ld KiB after %d runs, "
                "%ld KiB at the end\n",
                programmed, readBack, firstKiB, kWarmUp, lastKiB);
    RecordProperty("resident_first_kib", static_cast<int>(firstKiB));
    RecordProperty("resident_last_kib", static_cast<int>(lastKiB));
    if (!kUnderSanitizers) {
        EXPECT_LT(lastKiB - firstKiB, kAllowedGrowthKiB);
    }
}

}  // namespace
}  // namespace tarnik::proof
