// The window's link controls against the module simulator: "programuj", "Odczyt
// ustawień." and "Numer seryjny modułu" are offered only while no exchange waits for the
// module's answer, so a second press never starts a second exchange; an answer the link
// refuses leaves the window as it was.

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "event_loop.h"
#include "link/link_engine.h"
#include "link/module_answers.h"
#include "link/no_answer_timer.h"
#include "serial/comport.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

namespace {

using tarnik::ModuleSimulator;
using tarnik::SimulatorOptions;

using tarnik::test::pumpFor;
using tarnik::test::pumpUntil;
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
    pumpFor(100ms);
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
    ASSERT_TRUE(pumpUntil([&] { return f.window().infoLines().contains("serial: A123"); }));
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
    ASSERT_TRUE(pumpUntil(
        [&] { return f.window().infoLines().contains("zaladowane ustawienia z eprom"); }));
    EXPECT_TRUE(f.action("serialNumberAction")->isEnabled());
    f.window().port().Close();
}

// A double click on "Odczyt ustawień." (80 ms apart) and "programuj" pressed during the
// read-back send nothing more: one command reaches the module, one line ends it.
TEST(LinkButtons, DisabledWhileAReadBackRunsSoASecondPressSendsNothing)
{
    ModuleSimulator module{[] {
        SimulatorOptions options;
        options.pacing.answerDelay = 150ms;
        return options;
    }()};
    module.start();
    WindowFixture f({QString::fromStdString(module.devicePath())});
    QTest::mouseDClick(f.button("BBload"), Qt::LeftButton);
    f.button("BBload")->click();
    EXPECT_FALSE(f.button("BBload")->isEnabled());
    EXPECT_FALSE(f.button("Bprogramuj")->isEnabled());
    f.button("Bprogramuj")->click();
    ASSERT_TRUE(pumpUntil(
        [&] { return f.window().infoLines().contains("zaladowane ustawienia z eprom"); }));
    pumpFor(300ms);
    EXPECT_EQ(module.frameCount(), 1);
    EXPECT_EQ(f.window().infoLines(), QStringList{"zaladowane ustawienia z eprom"});
    EXPECT_TRUE(f.button("BBload")->isEnabled());
    EXPECT_TRUE(f.button("Bprogramuj")->isEnabled());
    f.window().port().Close();
}

// One stray byte ahead of the answer: refused with a line saying what came; the pages,
// the unsaved mark and the title stay as they were.
TEST(LinkButtons, ARefusedAnswerLeavesTheWindowAsItWas)
{
    ModuleSimulator module{[] {
        SimulatorOptions options;
        options.behaviours.push_back(tarnik::behaviour::BytesAhead('3', std::string(1, '\0')));
        return options;
    }()};
    module.start();
    WindowFixture f({QString::fromStdString(module.devicePath())});
    f.window().show();
    QTest::keyClicks(f.edit("Enruser2"), "+48600100200");
    const QString title = f.window().windowTitle();
    ASSERT_TRUE(f.window().hasUnsavedEdits());
    f.button("BBload")->click();
    EXPECT_EQ(f.chooser->questions, 1) << "asked before the edits could be lost";
    const QString refused = QString::fromStdString(tarnik::readBackLengthLine(1704));
    ASSERT_TRUE(pumpUntil([&] { return f.window().infoLines().contains(refused); }));
    EXPECT_EQ(f.edit("Enruser2")->text(), QStringLiteral("+48600100200"));
    EXPECT_TRUE(f.window().hasUnsavedEdits());
    EXPECT_EQ(f.window().windowTitle(), title);
    EXPECT_TRUE(f.button("BBload")->isEnabled());
    EXPECT_TRUE(f.errors.isEmpty());
    f.window().port().Close();
}

}  // namespace
