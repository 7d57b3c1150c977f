// A second copy of the tool started on a port the first one holds: it is refused with
// the port's "Unable to open com port" and the first one's run goes on undisturbed.

#include <gtest/gtest.h>

#include <QProcess>

#include "fault_helpers.h"
#include "simulator/module_simulator.h"

namespace tarnik::proof {
namespace {

struct CliResult {
    int exitCode = -1;
    std::string standardError;
};

// Runs tarnik-cli while the event loop keeps serving the first tool's exchange.
CliResult runCli(const QStringList& arguments)
{
    QProcess cli;
    cli.start(TARNIK_CLI_PATH, arguments);
    EXPECT_TRUE(cli.waitForStarted(5000));
    pumpUntil([&] { return cli.state() == QProcess::NotRunning; }, 10s);
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1,
            cli.readAllStandardError().toStdString()};
}

TEST(SecondInstance, IsRefusedWhileTheFirstProgramsAndTheFirstFinishes)
{
    SimulatorOptions slow;
    slow.pacing.answerDelay = std::chrono::milliseconds(25);  // a run lasts about 0.7 s
    ModuleSimulator module(slow);
    module.start();
    LinkRig rig(module.devicePath(), 6000);
    rig.host.controls = randomModuleSettings(40);

    rig.engine.BprogramujClick();
    ASSERT_TRUE(pumpUntil([&] { return module.frameCount() >= 3; }, 5s));

    const CliResult second =
        runCli({"program", "--port", QString::fromStdString(module.devicePath()), "--defaults"});
    EXPECT_EQ(second.exitCode, 3);
    EXPECT_NE(second.standardError.find("Unable to open com port"), std::string::npos)
        << second.standardError;

    ASSERT_TRUE(pumpUntil([&] { return !rig.host.outcomes.empty(); }, 10s));
    EXPECT_EQ(rig.host.lastOutcome(), LinkOutcome::Programmed);
    EXPECT_EQ(module.frameCount(), 28) << "the second tool reached the module";
    EXPECT_EQ(module.skippedBytes(), 0u);
    EXPECT_TRUE(holdsProgrammedImage(module.memory(), *rig.host.controls));
}

TEST(SecondInstance, IsRefusedWhileTheFirstHoldsTheOpenPort)
{
    ModuleSimulator module;
    module.start();
    LinkRig rig(module.devicePath(), 6000);
    ASSERT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);
    ASSERT_TRUE(rig.port.Connected());

    QTemporaryDir dir;
    const QString out = dir.filePath("read.zvn");
    const CliResult second =
        runCli({"read", "--port", QString::fromStdString(module.devicePath()), "-o", out});
    EXPECT_EQ(second.exitCode, 3);
    EXPECT_NE(second.standardError.find("Unable to open com port"), std::string::npos)
        << second.standardError;
    EXPECT_FALSE(QFileInfo::exists(out));

    // The first tool still has its port and its module.
    EXPECT_EQ(rig.readBack(), LinkOutcome::SettingsLoaded);
    EXPECT_EQ(module.frameCount(), 2);
}

}  // namespace
}  // namespace tarnik::proof
