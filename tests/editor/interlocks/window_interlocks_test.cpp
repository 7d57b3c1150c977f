#include <gtest/gtest.h>

#include "event_loop.h"
#include "qt_printers.h"
// The interlocks on the program's own main window, driven through the real
// ShowSettings as a read-back or an opened file does.

#include <QCheckBox>
#include <QTabWidget>
#include <QtTest>

#include "editor/binding/settings_binding.h"
#include "modal_watcher.h"
#include "window_fixture.h"

using namespace std::chrono_literals;
using tarnik::test::pumpFor;
using tarnik::test::pumpUntil;

namespace tarnik {

using test::MessageRecorder;

class WindowInterlocksTest : public ::testing::Test {
protected:
    std::unique_ptr<WindowFixture> fixture_;

    TGlownaF& window() { return fixture_->window(); }
    QCheckBox* box(const QString& name) { return findControl<QCheckBox>(&window(), name); }

    void SetUp() override
    {
        fixture_ = std::make_unique<WindowFixture>();
        ASSERT_TRUE(fixture_->showActive());
    }
    void TearDown() override { fixture_.reset(); }
};

TEST_F(WindowInterlocksTest, TwoActionsOfOneOutputShowOnlyTheLaterOne)
{
    window().settings().clipVerif = 0x05;  // switch output 1 on (bit 0) and off (bit 2)
    window().ShowSettings();
    ASSERT_TRUE(box(QStringLiteral("ChbClipVerif2"))->isChecked());
    ASSERT_TRUE(!box(QStringLiteral("ChbClipVerif0"))->isChecked());
    ASSERT_TRUE(!box(QStringLiteral("ChbClipVerif4"))->isEnabled());
    window().CollectSettings();
    ASSERT_EQ(window().settings().clipVerif, std::uint8_t{0x04});
}

TEST_F(WindowInterlocksTest, TheOtherNumbersGroupIsShownConsistentlyToo)
{
    window().settings().clipNotVerif = 0x32;  // bits 1, 4, 5
    window().ShowSettings();
    ASSERT_TRUE(box(QStringLiteral("ChBClipNotVerif4"))->isChecked());
    ASSERT_TRUE(box(QStringLiteral("ChBClipNotVerif5"))->isChecked());
    ASSERT_TRUE(!box(QStringLiteral("ChBClipNotVerif1"))->isChecked());
    ASSERT_TRUE(!box(QStringLiteral("ChBClipNotVerif3"))->isEnabled());
    ASSERT_TRUE(box(QStringLiteral("ChbClipVerif1"))->isEnabled());
}

TEST_F(WindowInterlocksTest, SmsAccessCodeIsEmptiedAndDisabledWithoutItsOption)
{
    window().settings().flags = 0x00;
    window().settings().pinMod.assign("1234");
    window().ShowSettings();
    ASSERT_TRUE(fixture_->edit("EPINMOD")->text().isEmpty());
    ASSERT_TRUE(!fixture_->edit("EPINMOD")->isEnabled());
    window().CollectSettings();
    ASSERT_TRUE(window().settings().pinMod.empty());
}

TEST_F(WindowInterlocksTest, OutputCodesFollowTheirSmsOption)
{
    window().settings().flags = 0x02;  // only output 2 may be switched by SMS
    window().settings().zalWyCode[0][0] = 'A';
    window().settings().zalWyCode[0][1] = '1';
    window().settings().zalWyCode[1][0] = 'B';
    window().settings().zalWyCode[1][1] = '2';
    window().ShowSettings();
    ASSERT_TRUE(fixture_->edit("EZalWy1")->text().isEmpty());
    ASSERT_TRUE(!fixture_->edit("EZalWy1")->isEnabled());
    ASSERT_EQ(fixture_->edit("EZalWy2")->text(), QStringLiteral("B2"));
    ASSERT_TRUE(fixture_->edit("EZalWy2")->isEnabled());
}

TEST_F(WindowInterlocksTest, LeavingAShortPinWarnsOnTheWindow)
{
    QLineEdit* pin = fixture_->edit("EPin");
    pin->setText(QStringLiteral("12"));
    pin->setFocus();
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
    MessageRecorder recorder;
    QTest::keyClick(pin, Qt::Key_Return);  // Enter moves on, which leaves the edit
    pumpUntil([&] { return !recorder.messages().empty(); }, 5s);
    pumpFor(60ms);  // time for an extra box to show
    ASSERT_EQ(recorder.messages().size(), std::size_t{1});
    ASSERT_EQ(recorder.messages()[0].text, QStringLiteral("Kod pin musi mieć 4 znaki."));
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
    ASSERT_EQ(pin->text(), QStringLiteral("12"));
}

TEST_F(WindowInterlocksTest, PinAndFirstNumberFilterTheirKeys)
{
    QLineEdit* pin = fixture_->edit("EPin");
    pin->clear();
    pin->setFocus();
    QTest::keyClicks(pin, QStringLiteral("1x2+3"));
    ASSERT_EQ(pin->text(), QStringLiteral("123"));
    QLineEdit* number = fixture_->edit("Enruser1");
    findControl<QTabWidget>(&window(), QStringLiteral("PageControl2"))->setCurrentIndex(1);
    number->clear();
    number->setFocus();
    QTest::keyClicks(number, QStringLiteral("++48 a"));
    ASSERT_EQ(number->text(), QStringLiteral("+48"));
}

}  // namespace tarnik
