#include <gtest/gtest.h>

#include "event_loop.h"
#include "qt_printers.h"
// The option interlocks on a window of named controls: CLIP exclusions, option
// dependencies, exit checks and key filters.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>
#include <array>

#include "editor/interlocks/interlocks.h"
#include "editor/lookup/control_table.h"
#include "modal_watcher.h"
#include "option_pages_fixture.h"

using namespace std::chrono_literals;
using tarnik::test::pumpFor;
using tarnik::test::pumpUntil;

namespace tarnik {

using test::MessageRecorder;
using test::OptionPagesFixture;

namespace {

const QString kPinMessage = QStringLiteral("Kod pin musi mieć 4 znaki.");
const QString kCodeMessage = QStringLiteral("Sms sterujący musi mieć formę dwóch znaków");

// The three actions of each output in a CLIP group: on, off, toggle.
constexpr std::array<std::array<int, 3>, 2> kOutputActions{{{0, 2, 4}, {1, 3, 5}}};

}  // namespace

class InterlocksTest : public ::testing::Test {
protected:
    std::unique_ptr<OptionPagesFixture> window_;
    std::unique_ptr<Interlocks> interlocks_;

    QCheckBox* clip(const char* group, int digit)
    {
        return window_->box(QString::fromLatin1(group) + QString::number(digit));
    }

    // Sets a group's boxes 0..7 from a byte in box order, as showing the
    // settings does.
    void showClipByte(const char* group, int byte)
    {
        for (int digit = 0; digit <= 7; ++digit)
            clip(group, digit)->setChecked((byte >> digit) & 1);
    }

    int collectClipByte(const char* group)
    {
        int byte = 0;
        for (int digit = 0; digit <= 7; ++digit)
            if (clip(group, digit)->isChecked())
                byte |= 1 << digit;
        return byte;
    }

    // Gives `edit` the focus, then moves it on with Tab, as leaving it does.
    void leave(QLineEdit* edit)
    {
        edit->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(pumpUntil([&] { return bool(edit->hasFocus()); }, 5s));
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    // Runs the event loop long enough for a deferred check to show its box.
    static void settle() { pumpFor(60ms); }
    // Waits for the n-th message box (however slow the machine), then settles, so that an
    // extra box would be seen too.
    static void awaitMessages(const MessageRecorder& recorder, std::size_t n)
    {
        pumpUntil([&] { return recorder.messages().size() >= n; }, 5s);
        settle();
    }

    void SetUp() override
    {
        window_ = std::make_unique<OptionPagesFixture>();
        interlocks_ = std::make_unique<Interlocks>(ControlTable(window_.get()), window_.get());
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
    void TearDown() override
    {
        interlocks_.reset();
        window_.reset();
    }
};

// ---- CLIP action exclusion
TEST_F(InterlocksTest, TickingAnActionExcludesTheOthersOfThatOutputInItsGroupOnly)
{
    clip("ChbClipVerif", 2)->setChecked(true);
    clip("ChbClipVerif", 2)->setChecked(false);
    clip("ChbClipVerif", 0)->setChecked(true);
    for (int other : {2, 4}) {
        ASSERT_TRUE(!clip("ChbClipVerif", other)->isEnabled());
        ASSERT_TRUE(!clip("ChbClipVerif", other)->isChecked());
    }
    for (int digit = 0; digit <= 7; ++digit) {
        ASSERT_TRUE(clip("ChBClipNotVerif", digit)->isEnabled());
    }
    ASSERT_TRUE(clip("ChbClipVerif", 1)->isEnabled());  // output 2 is not touched
    clip("ChbClipVerif", 0)->setChecked(false);
    for (int other : {2, 4}) {
        ASSERT_TRUE(clip("ChbClipVerif", other)->isEnabled());
    }
}

TEST_F(InterlocksTest, TheOtherGroupIsFoundDespiteItsNamesLetterCase)
{
    clip("ChBClipNotVerif", 5)->setChecked(true);
    ASSERT_TRUE(!clip("ChBClipNotVerif", 1)->isEnabled());
    ASSERT_TRUE(!clip("ChBClipNotVerif", 3)->isEnabled());
    ASSERT_TRUE(clip("ChbClipVerif", 1)->isEnabled());
}

TEST_F(InterlocksTest, ReportBoxesCombineWithEverything)
{
    showClipByte("ChbClipVerif", 0xFF);
    ASSERT_TRUE(clip("ChbClipVerif", 6)->isChecked());
    ASSERT_TRUE(clip("ChbClipVerif", 7)->isChecked());
    ASSERT_TRUE(clip("ChbClipVerif", 6)->isEnabled());
}

TEST_F(InterlocksTest, TwoActionsOfOneOutputShowTheLaterOne)
{
    showClipByte("ChbClipVerif", 0x05);  // bits 0 and 2: switch output 1 on and off
    ASSERT_TRUE(clip("ChbClipVerif", 2)->isChecked());
    ASSERT_TRUE(!clip("ChbClipVerif", 0)->isChecked());
    ASSERT_TRUE(clip("ChbClipVerif", 2)->isEnabled());
    ASSERT_TRUE(!clip("ChbClipVerif", 0)->isEnabled());
    ASSERT_TRUE(!clip("ChbClipVerif", 4)->isEnabled());
}

TEST_F(InterlocksTest, EveryStoredByteLeavesEachOutputConsistent)
{
    // Whatever was shown before, showing a byte leaves per output the last
    // of its set actions ticked and enabled, the other two clear and
    // disabled (all three enabled when none is set); the report boxes
    // follow their bits.
    for (const char* group : {"ChbClipVerif", "ChBClipNotVerif"})
        for (int previous : {0x00, 0x15, 0x2A, 0xFF})
            for (int byte = 0; byte < 256; ++byte) {
                showClipByte(group, previous);
                showClipByte(group, byte);
                int expected = byte & 0xC0;
                for (const auto& actions : kOutputActions) {
                    int winner = -1;
                    for (int digit : actions)
                        if ((byte >> digit) & 1)
                            winner = digit;
                    if (winner >= 0)
                        expected |= 1 << winner;
                    for (int digit : actions) {
                        const QString where = QStringLiteral("%1 %2 after %3, box %4")
                                                  .arg(group)
                                                  .arg(byte)
                                                  .arg(previous)
                                                  .arg(digit);
                        ASSERT_TRUE(clip(group, digit)->isChecked() == (digit == winner))
                            << qPrintable(where);
                        ASSERT_TRUE(clip(group, digit)->isEnabled() ==
                                    (winner < 0 || digit == winner))
                            << qPrintable(where);
                    }
                }
                ASSERT_EQ(collectClipByte(group), expected);
            }
}

// ---- Option dependencies
TEST_F(InterlocksTest, ClearingSmsControlOfAnOutputEmptiesAndDisablesItsCodes)
{
    window_->box(QStringLiteral("ChBFlags_0"))->setChecked(true);
    window_->edit(QStringLiteral("EZalWy1"))->setText(QStringLiteral("A1"));
    window_->edit(QStringLiteral("EwylWy1"))->setText(QStringLiteral("B1"));
    window_->edit(QStringLiteral("EZalWy2"))->setText(QStringLiteral("A2"));
    window_->box(QStringLiteral("ChBFlags_0"))->setChecked(false);
    for (const char* name : {"EZalWy1", "EwylWy1"}) {
        ASSERT_TRUE(window_->edit(QString::fromLatin1(name))->text().isEmpty());
        ASSERT_TRUE(!window_->edit(QString::fromLatin1(name))->isEnabled());
    }
    ASSERT_TRUE(!window_->control(QStringLiteral("Label43"))->isEnabled());
    ASSERT_TRUE(!window_->control(QStringLiteral("Label45"))->isEnabled());
    ASSERT_EQ(window_->edit(QStringLiteral("EZalWy2"))->text(), QStringLiteral("A2"));

    window_->box(QStringLiteral("ChBFlags_0"))->setChecked(true);
    ASSERT_TRUE(window_->edit(QStringLiteral("EZalWy1"))->isEnabled());
    ASSERT_TRUE(window_->edit(QStringLiteral("EZalWy1"))->text().isEmpty());
    ASSERT_TRUE(window_->control(QStringLiteral("Label45"))->isEnabled());
}

TEST_F(InterlocksTest, ClearingSwitchOffTimeDisablesButKeepsTheValue)
{
    auto* spin = qobject_cast<QSpinBox*>(window_->control(QStringLiteral("SEWy_offTimer2")));
    window_->box(QStringLiteral("ChBFlags_3"))->setChecked(true);
    spin->setValue(37);
    window_->box(QStringLiteral("ChBFlags_3"))->setChecked(false);
    ASSERT_TRUE(!spin->isEnabled());
    ASSERT_EQ(spin->value(), 37);
    ASSERT_TRUE(!window_->control(QStringLiteral("Label25"))->isEnabled());
    ASSERT_TRUE(!window_->control(QStringLiteral("Label48"))->isEnabled());
    ASSERT_TRUE(window_->control(QStringLiteral("SEWy_offTimer1"))->isEnabled());
}

TEST_F(InterlocksTest, HandlersCalledDirectlyBringUnchangedBoxesDependantsInLine)
{
    // All boxes start clear, so setting them clear fires nothing; showing
    // the settings calls the handlers itself.
    window_->edit(QStringLiteral("EwylWy2"))->setText(QStringLiteral("xy"));
    window_->edit(QStringLiteral("EPINMOD"))->setText(QStringLiteral("1234"));
    interlocks_->applyOption(Option::SmsOutput2);
    interlocks_->applyOption(Option::Report);
    interlocks_->applyOption(Option::SmsProgram);
    ASSERT_TRUE(window_->edit(QStringLiteral("EwylWy2"))->text().isEmpty());
    ASSERT_TRUE(!window_->control(QStringLiteral("Label46"))->isEnabled());
    ASSERT_TRUE(!window_->control(QStringLiteral("SEtestokr"))->isEnabled());
    ASSERT_TRUE(window_->edit(QStringLiteral("EPINMOD"))->text().isEmpty());
    ASSERT_TRUE(!window_->edit(QStringLiteral("EPINMOD"))->isEnabled());
    ASSERT_TRUE(!window_->control(QStringLiteral("Label28"))->isEnabled());
    window_->box(QStringLiteral("ChBFlags_4"))->setChecked(true);
    ASSERT_TRUE(window_->control(QStringLiteral("SEtestokr"))->isEnabled());
}

TEST_F(InterlocksTest, DisablingAFocusedAccessCodeRaisesNoWarning)
{
    // The code is emptied before the edit is disabled, so the focus leaving
    // it finds nothing to complain about.
    window_->box(QStringLiteral("ChBFlags_5"))->setChecked(true);
    QLineEdit* code = window_->edit(QStringLiteral("EPINMOD"));
    code->setText(QStringLiteral("12"));
    code->setFocus();
    ASSERT_TRUE(pumpUntil([&] { return bool(code->hasFocus()); }, 5s));
    MessageRecorder recorder;
    window_->box(QStringLiteral("ChBFlags_5"))->setChecked(false);
    settle();
    ASSERT_TRUE(recorder.messages().empty());
    ASSERT_TRUE(code->text().isEmpty());
}

// ---- Exit checks
TEST_F(InterlocksTest, LeavingAShortPinWarnsAndReturnsTheFocus)
{
    QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
    pin->setText(QStringLiteral("123"));
    MessageRecorder recorder;
    leave(pin);
    awaitMessages(recorder, 1);
    ASSERT_EQ(recorder.messages().size(), std::size_t{1});
    ASSERT_EQ(recorder.messages()[0].title, QStringLiteral("Uwaga"));
    ASSERT_EQ(recorder.messages()[0].text, kPinMessage);
    ASSERT_EQ(recorder.messages()[0].buttons, 1);
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
    ASSERT_EQ(pin->text(), QStringLiteral("123"));

    leave(pin);  // leaving again repeats the check
    awaitMessages(recorder, 2);
    ASSERT_EQ(recorder.messages().size(), std::size_t{2});
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
}

TEST_F(InterlocksTest, EmptyAndFullPinsPass)
{
    MessageRecorder recorder;
    QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
    leave(pin);
    pin->setText(QStringLiteral("1234"));
    leave(pin);
    settle();
    ASSERT_TRUE(recorder.messages().empty());
    ASSERT_TRUE(!pin->hasFocus());
}

TEST_F(InterlocksTest, TheAccessCodeFollowsThePinRule)
{
    window_->box(QStringLiteral("ChBFlags_5"))->setChecked(true);
    QLineEdit* code = window_->edit(QStringLiteral("EPINMOD"));
    code->setText(QStringLiteral("1"));
    MessageRecorder recorder;
    leave(code);
    awaitMessages(recorder, 1);
    ASSERT_EQ(recorder.messages().size(), std::size_t{1});
    ASSERT_EQ(recorder.messages()[0].text, kPinMessage);
    ASSERT_TRUE(pumpUntil([&] { return bool(code->hasFocus()); }, 5s));
}

TEST_F(InterlocksTest, SmsCodesMustHaveTwoCharacters)
{
    window_->box(QStringLiteral("ChBFlags_0"))->setChecked(true);
    window_->box(QStringLiteral("ChBFlags_1"))->setChecked(true);
    MessageRecorder recorder;
    for (const char* name : {"EZalWy1", "EwylWy1", "EZalWy2", "EwylWy2"}) {
        QLineEdit* code = window_->edit(QString::fromLatin1(name));
        const std::size_t messagesBefore = recorder.messages().size();
        code->setText(QStringLiteral("a"));
        leave(code);
        awaitMessages(recorder, messagesBefore + 1);
        ASSERT_TRUE(pumpUntil([&] { return bool(code->hasFocus()); }, 5s)) << name;
        code->setText(QStringLiteral("ab"));
        leave(code);
        code->clear();
        leave(code);
        settle();
    }
    ASSERT_EQ(recorder.messages().size(), std::size_t{4});
    for (const auto& message : recorder.messages()) {
        ASSERT_EQ(message.text, kCodeMessage);
    }
}

TEST_F(InterlocksTest, OnlyTheEditLeftFirstIsCheckedWhenTheNextOneIsAlsoWrong)
{
    // The focus goes from a short PIN into a short access code; putting it
    // back must not count as leaving the access code.
    window_->box(QStringLiteral("ChBFlags_5"))->setChecked(true);
    QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
    QLineEdit* code = window_->edit(QStringLiteral("EPINMOD"));
    pin->setText(QStringLiteral("1"));
    code->setText(QStringLiteral("2"));
    MessageRecorder recorder;
    pin->setFocus();
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
    code->setFocus(Qt::TabFocusReason);
    awaitMessages(recorder, 1);
    ASSERT_EQ(recorder.messages().size(), std::size_t{1});
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
}

TEST_F(InterlocksTest, TurningToAnotherPageBringsTheRejectedEditBack)
{
    auto* tabs = window_->findChild<QTabWidget*>(QStringLiteral("PageControl2"));
    QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
    pin->setText(QStringLiteral("12"));
    pin->setFocus();
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
    MessageRecorder recorder;
    tabs->setCurrentIndex(1);
    awaitMessages(recorder, 1);
    ASSERT_EQ(recorder.messages().size(), std::size_t{1});
    ASSERT_EQ(tabs->currentIndex(), 0);
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
}

// ---- Key filters
TEST_F(InterlocksTest, ThePinTakesDigitsOnly)
{
    QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
    pin->setFocus();
    QTest::keyClicks(pin, QStringLiteral("1a+-2 b3"));
    ASSERT_EQ(pin->text(), QStringLiteral("123"));
    QTest::keyClick(pin, Qt::Key_Backspace);
    ASSERT_EQ(pin->text(), QStringLiteral("12"));
    QTest::keyClick(pin, Qt::Key_Home);  // keys that type nothing still work
    QTest::keyClicks(pin, QStringLiteral("9"));
    ASSERT_EQ(pin->text(), QStringLiteral("912"));
}

TEST_F(InterlocksTest, EnterMovesOnWithoutTyping)
{
    QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
    pin->setText(QStringLiteral("1234"));
    pin->setFocus();
    ASSERT_TRUE(pumpUntil([&] { return bool(pin->hasFocus()); }, 5s));
    QTest::keyClick(pin, Qt::Key_Return);
    ASSERT_EQ(pin->text(), QStringLiteral("1234"));
    ASSERT_TRUE(
        pumpUntil([&] { return bool(window_->edit(QStringLiteral("Ecsms"))->hasFocus()); }, 5s));

    QLineEdit* number = window_->edit(QStringLiteral("Enruser1"));
    number->setFocus();
    ASSERT_TRUE(pumpUntil([&] { return bool(number->hasFocus()); }, 5s));
    QTest::keyClick(number, Qt::Key_Enter);
    ASSERT_TRUE(
        pumpUntil([&] { return bool(window_->edit(QStringLiteral("Enruser2"))->hasFocus()); }, 5s));
    ASSERT_TRUE(number->text().isEmpty());
}

TEST_F(InterlocksTest, ANumberTakesOneLeadingPlusAndDigits)
{
    QLineEdit* number = window_->edit(QStringLiteral("Enruser1"));
    number->setFocus();
    QTest::keyClicks(number, QStringLiteral("++48a-600"));
    ASSERT_EQ(number->text(), QStringLiteral("+48600"));
    number->clear();
    QTest::keyClicks(number, QStringLiteral("48+"));  // a sign only in front
    ASSERT_EQ(number->text(), QStringLiteral("48"));
    number->setCursorPosition(0);
    QTest::keyClicks(number, QStringLiteral("+"));
    ASSERT_EQ(number->text(), QStringLiteral("+48"));
    // A selection replaced by a digit: judged on the text the key makes.
    number->setText(QStringLiteral("+48603456789"));
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("5"));
    ASSERT_EQ(number->text(), QStringLiteral("5"));
}

TEST_F(InterlocksTest, ANumberHoldingABlankIsStartedAfreshByTheNextKey)
{
    QLineEdit* number = window_->edit(QStringLiteral("Enruser1"));
    number->setText(QStringLiteral("+48 600 100"));  // as pasted or read from a file
    number->setFocus();
    QTest::keyClicks(number, QStringLiteral("5"));
    ASSERT_EQ(number->text(), QStringLiteral("5"));
    number->setText(QStringLiteral("60 1"));
    QTest::keyClicks(number, QStringLiteral("x"));  // emptied, then the letter is dropped
    ASSERT_TRUE(number->text().isEmpty());
}

TEST_F(InterlocksTest, EveryNumberEditMovesOnWithEnter)
{
    QLineEdit* centre = window_->edit(QStringLiteral("Ecsms"));
    centre->setFocus();
    ASSERT_TRUE(pumpUntil([&] { return bool(centre->hasFocus()); }, 5s));
    QTest::keyClick(centre, Qt::Key_Enter);
    ASSERT_TRUE(
        pumpUntil([&] { return bool(window_->edit(QStringLiteral("EPINMOD"))->hasFocus()); }, 5s));
}

}  // namespace tarnik
