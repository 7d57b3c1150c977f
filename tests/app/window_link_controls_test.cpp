// The window's link controls against the module simulator: "Numer seryjny modułu" is
// offered only while no exchange waits for the module's answer.

#include <QAction>
#include <QPushButton>

#include <gtest/gtest.h>

#include "event_loop.h"
#include "link/link_engine.h"
#include "link/no_answer_timer.h"
#include "serial/comport.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

namespace {

using tarnik::ModuleSimulator;
using tarnik::SimulatorOptions;

using tarnik::test::PumpFor;
using tarnik::test::PumpUntil;
using namespace std::chrono_literals;

struct SilentModuleWindow {
    ModuleSimulator module{[] {
        SimulatorOptions options;
        options.behaviours.push_back(tarnik::behaviour::SilentAfter(0));
        return options;
    }()};
    std::unique_ptr<WindowFixture> f;

    SilentModuleWindow()
    {
        module.start();
        f = std::make_unique<WindowFixture>(
            QStringList{QString::fromStdString(module.devicePath())});
        f->window().timer1().setIntervalMs(60000);
    }
    ~SilentModuleWindow() { f->window().port().Close(); }
    QAction* serialItem() { return f->action("serialNumberAction"); }
};

TEST(SerialMenuItem, EnabledAtStartUp)
{
    WindowFixture f;
    EXPECT_TRUE(f.action("serialNumberAction")->isEnabled());
}

TEST(SerialMenuItem, DisabledWhileProgrammingAndBackAfterTheTimeout)
{
    SilentModuleWindow w;
    w.f->button("Bprogramuj")->click();
    ASSERT_TRUE(w.f->window().busy());
    EXPECT_FALSE(w.serialItem()->isEnabled());
    w.f->window().Timer1Timer();
    EXPECT_TRUE(w.serialItem()->isEnabled());
}

TEST(SerialMenuItem, DisabledWhileAReadBackIsPending)
{
    SilentModuleWindow w;
    w.f->button("BBload")->click();
    ASSERT_EQ(w.f->window().engine().readBackState(), tarnik::ReadBackState::Reading);
    EXPECT_FALSE(w.serialItem()->isEnabled());
    // Triggered anyway (a shortcut, a stale menu), the query sends nothing.
    w.f->window().BBserialClick();
    ASSERT_TRUE(w.module.waitForFrames(1, std::chrono::seconds(2)));
    PumpFor(100ms);
    EXPECT_EQ(w.module.frameCount(), 1);
    EXPECT_FALSE(w.f->window().engine().serialQueryPending());
}

TEST(SerialMenuItem, DisabledWhileAQueryIsPendingAndBackWhenItIsAnswered)
{
    ModuleSimulator module;
    module.start();
    WindowFixture f({QString::fromStdString(module.devicePath())});
    QAction* item = f.action("serialNumberAction");
    item->trigger();
    EXPECT_FALSE(item->isEnabled());
    ASSERT_TRUE(PumpUntil([&] { return f.window().infoLines().contains("serial: A123"); }));
    EXPECT_TRUE(item->isEnabled());
    f.window().port().Close();
}

TEST(SerialMenuItem, BackAfterAReadBackCompletes)
{
    ModuleSimulator module;
    module.start();
    WindowFixture f({QString::fromStdString(module.devicePath())});
    f.button("BBload")->click();
    EXPECT_FALSE(f.action("serialNumberAction")->isEnabled());
    ASSERT_TRUE(PumpUntil(
        [&] { return f.window().infoLines().contains("zaladowane ustawienia z eprom"); }));
    EXPECT_TRUE(f.action("serialNumberAction")->isEnabled());
    f.window().port().Close();
}

}  // namespace
