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
#include "modal_watcher.h"
#include "option_pages_fixture.h"

namespace tarnik {

using testing::MessageRecorder;
using testing::OptionPagesFixture;

namespace {

const QString kPinMessage = QStringLiteral("Kod pin musi mieć 4 znaki.");
const QString kCodeMessage = QStringLiteral("Sms sterujący musi mieć formę dwóch znaków");

// The three actions of each output in a CLIP group: on, off, toggle.
constexpr std::array<std::array<int, 3>, 2> kOutputActions{{{0, 2, 4}, {1, 3, 5}}};

}  // namespace

class InterlocksTest : public QObject {
    Q_OBJECT

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
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    // Runs the event loop long enough for a deferred check to show its box.
    static void settle() { QTest::qWait(60); }

private slots:
    void init()
    {
        window_ = std::make_unique<OptionPagesFixture>();
        interlocks_ = std::make_unique<Interlocks>(window_.get());
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup()
    {
        interlocks_.reset();
        window_.reset();
    }

    // ---- CLIP action exclusion

    void tickingAnActionExcludesTheOthersOfThatOutputInItsGroupOnly()
    {
        clip("ChbClipVerif", 2)->setChecked(true);
        clip("ChbClipVerif", 2)->setChecked(false);
        clip("ChbClipVerif", 0)->setChecked(true);
        for (int other : {2, 4}) {
            QVERIFY(!clip("ChbClipVerif", other)->isEnabled());
            QVERIFY(!clip("ChbClipVerif", other)->isChecked());
        }
        for (int digit = 0; digit <= 7; ++digit)
            QVERIFY(clip("ChBClipNotVerif", digit)->isEnabled());
        QVERIFY(clip("ChbClipVerif", 1)->isEnabled());  // output 2 is not touched
        clip("ChbClipVerif", 0)->setChecked(false);
        for (int other : {2, 4})
            QVERIFY(clip("ChbClipVerif", other)->isEnabled());
    }

    void theOtherGroupIsFoundDespiteItsNamesLetterCase()
    {
        clip("ChBClipNotVerif", 5)->setChecked(true);
        QVERIFY(!clip("ChBClipNotVerif", 1)->isEnabled());
        QVERIFY(!clip("ChBClipNotVerif", 3)->isEnabled());
        QVERIFY(clip("ChbClipVerif", 1)->isEnabled());
    }

    void reportBoxesCombineWithEverything()
    {
        showClipByte("ChbClipVerif", 0xFF);
        QVERIFY(clip("ChbClipVerif", 6)->isChecked());
        QVERIFY(clip("ChbClipVerif", 7)->isChecked());
        QVERIFY(clip("ChbClipVerif", 6)->isEnabled());
    }

    void twoActionsOfOneOutputShowTheLaterOne()
    {
        showClipByte("ChbClipVerif", 0x05);  // bits 0 and 2: switch output 1 on and off
        QVERIFY(clip("ChbClipVerif", 2)->isChecked());
        QVERIFY(!clip("ChbClipVerif", 0)->isChecked());
        QVERIFY(clip("ChbClipVerif", 2)->isEnabled());
        QVERIFY(!clip("ChbClipVerif", 0)->isEnabled());
        QVERIFY(!clip("ChbClipVerif", 4)->isEnabled());
    }

    void everyStoredByteLeavesEachOutputConsistent()
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
                            QVERIFY2(clip(group, digit)->isChecked() == (digit == winner),
                                     qPrintable(where));
                            QVERIFY2(clip(group, digit)->isEnabled() ==
                                         (winner < 0 || digit == winner),
                                     qPrintable(where));
                        }
                    }
                    QCOMPARE(collectClipByte(group), expected);
                }
    }

    // ---- Option dependencies

    void clearingSmsControlOfAnOutputEmptiesAndDisablesItsCodes()
    {
        window_->box(QStringLiteral("ChBFlags_0"))->setChecked(true);
        window_->edit(QStringLiteral("EZalWy1"))->setText(QStringLiteral("A1"));
        window_->edit(QStringLiteral("EwylWy1"))->setText(QStringLiteral("B1"));
        window_->edit(QStringLiteral("EZalWy2"))->setText(QStringLiteral("A2"));
        window_->box(QStringLiteral("ChBFlags_0"))->setChecked(false);
        for (const char* name : {"EZalWy1", "EwylWy1"}) {
            QVERIFY(window_->edit(QString::fromLatin1(name))->text().isEmpty());
            QVERIFY(!window_->edit(QString::fromLatin1(name))->isEnabled());
        }
        QVERIFY(!window_->control(QStringLiteral("Label43"))->isEnabled());
        QVERIFY(!window_->control(QStringLiteral("Label45"))->isEnabled());
        QCOMPARE(window_->edit(QStringLiteral("EZalWy2"))->text(), QStringLiteral("A2"));

        window_->box(QStringLiteral("ChBFlags_0"))->setChecked(true);
        QVERIFY(window_->edit(QStringLiteral("EZalWy1"))->isEnabled());
        QVERIFY(window_->edit(QStringLiteral("EZalWy1"))->text().isEmpty());
        QVERIFY(window_->control(QStringLiteral("Label45"))->isEnabled());
    }

    void clearingSwitchOffTimeDisablesButKeepsTheValue()
    {
        auto* spin = qobject_cast<QSpinBox*>(window_->control(QStringLiteral("SEWy_offTimer2")));
        window_->box(QStringLiteral("ChBFlags_3"))->setChecked(true);
        spin->setValue(37);
        window_->box(QStringLiteral("ChBFlags_3"))->setChecked(false);
        QVERIFY(!spin->isEnabled());
        QCOMPARE(spin->value(), 37);
        QVERIFY(!window_->control(QStringLiteral("Label25"))->isEnabled());
        QVERIFY(!window_->control(QStringLiteral("Label48"))->isEnabled());
        QVERIFY(window_->control(QStringLiteral("SEWy_offTimer1"))->isEnabled());
    }

    void handlersCalledDirectlyBringUnchangedBoxesDependantsInLine()
    {
        // All boxes start clear, so setting them clear fires nothing; showing
        // the settings calls the handlers itself.
        window_->edit(QStringLiteral("EwylWy2"))->setText(QStringLiteral("xy"));
        window_->edit(QStringLiteral("EPINMOD"))->setText(QStringLiteral("1234"));
        interlocks_->applyOption(1);
        interlocks_->applyOption(4);
        interlocks_->applyOption(5);
        QVERIFY(window_->edit(QStringLiteral("EwylWy2"))->text().isEmpty());
        QVERIFY(!window_->control(QStringLiteral("Label46"))->isEnabled());
        QVERIFY(!window_->control(QStringLiteral("SEtestokr"))->isEnabled());
        QVERIFY(window_->edit(QStringLiteral("EPINMOD"))->text().isEmpty());
        QVERIFY(!window_->edit(QStringLiteral("EPINMOD"))->isEnabled());
        QVERIFY(!window_->control(QStringLiteral("Label28"))->isEnabled());
        window_->box(QStringLiteral("ChBFlags_4"))->setChecked(true);
        QVERIFY(window_->control(QStringLiteral("SEtestokr"))->isEnabled());
    }

    void disablingAFocusedAccessCodeRaisesNoWarning()
    {
        // The code is emptied before the edit is disabled, so the focus leaving
        // it finds nothing to complain about.
        window_->box(QStringLiteral("ChBFlags_5"))->setChecked(true);
        QLineEdit* code = window_->edit(QStringLiteral("EPINMOD"));
        code->setText(QStringLiteral("12"));
        code->setFocus();
        QTRY_VERIFY(code->hasFocus());
        MessageRecorder recorder;
        window_->box(QStringLiteral("ChBFlags_5"))->setChecked(false);
        settle();
        QVERIFY(recorder.messages().empty());
        QVERIFY(code->text().isEmpty());
    }

    // ---- Exit checks

    void leavingAShortPinWarnsAndReturnsTheFocus()
    {
        QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
        pin->setText(QStringLiteral("123"));
        MessageRecorder recorder;
        leave(pin);
        settle();
        QCOMPARE(recorder.messages().size(), std::size_t{1});
        QCOMPARE(recorder.messages()[0].title, QStringLiteral("Uwaga"));
        QCOMPARE(recorder.messages()[0].text, kPinMessage);
        QCOMPARE(recorder.messages()[0].buttons, 1);
        QTRY_VERIFY(pin->hasFocus());
        QCOMPARE(pin->text(), QStringLiteral("123"));

        leave(pin);  // leaving again repeats the check
        settle();
        QCOMPARE(recorder.messages().size(), std::size_t{2});
        QTRY_VERIFY(pin->hasFocus());
    }

    void emptyAndFullPinsPass()
    {
        MessageRecorder recorder;
        QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
        leave(pin);
        pin->setText(QStringLiteral("1234"));
        leave(pin);
        settle();
        QVERIFY(recorder.messages().empty());
        QVERIFY(!pin->hasFocus());
    }

    void theAccessCodeFollowsThePinRule()
    {
        window_->box(QStringLiteral("ChBFlags_5"))->setChecked(true);
        QLineEdit* code = window_->edit(QStringLiteral("EPINMOD"));
        code->setText(QStringLiteral("1"));
        MessageRecorder recorder;
        leave(code);
        settle();
        QCOMPARE(recorder.messages().size(), std::size_t{1});
        QCOMPARE(recorder.messages()[0].text, kPinMessage);
        QTRY_VERIFY(code->hasFocus());
    }

    void smsCodesMustHaveTwoCharacters()
    {
        window_->box(QStringLiteral("ChBFlags_0"))->setChecked(true);
        window_->box(QStringLiteral("ChBFlags_1"))->setChecked(true);
        MessageRecorder recorder;
        for (const char* name : {"EZalWy1", "EwylWy1", "EZalWy2", "EwylWy2"}) {
            QLineEdit* code = window_->edit(QString::fromLatin1(name));
            code->setText(QStringLiteral("a"));
            leave(code);
            settle();
            QTRY_VERIFY2(code->hasFocus(), name);
            code->setText(QStringLiteral("ab"));
            leave(code);
            code->clear();
            leave(code);
            settle();
        }
        QCOMPARE(recorder.messages().size(), std::size_t{4});
        for (const auto& message : recorder.messages())
            QCOMPARE(message.text, kCodeMessage);
    }

    void onlyTheEditLeftFirstIsCheckedWhenTheNextOneIsAlsoWrong()
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
        QTRY_VERIFY(pin->hasFocus());
        code->setFocus(Qt::TabFocusReason);
        settle();
        QCOMPARE(recorder.messages().size(), std::size_t{1});
        QTRY_VERIFY(pin->hasFocus());
    }

    void turningToAnotherPageBringsTheRejectedEditBack()
    {
        auto* tabs = window_->findChild<QTabWidget*>(QStringLiteral("PageControl2"));
        QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
        pin->setText(QStringLiteral("12"));
        pin->setFocus();
        QTRY_VERIFY(pin->hasFocus());
        MessageRecorder recorder;
        tabs->setCurrentIndex(1);
        settle();
        QCOMPARE(recorder.messages().size(), std::size_t{1});
        QCOMPARE(tabs->currentIndex(), 0);
        QTRY_VERIFY(pin->hasFocus());
    }

    // ---- Key filters

    void thePinTakesDigitsOnly()
    {
        QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
        pin->setFocus();
        QTest::keyClicks(pin, QStringLiteral("1a+-2 b3"));
        QCOMPARE(pin->text(), QStringLiteral("123"));
        QTest::keyClick(pin, Qt::Key_Backspace);
        QCOMPARE(pin->text(), QStringLiteral("12"));
        QTest::keyClick(pin, Qt::Key_Home);  // keys that type nothing still work
        QTest::keyClicks(pin, QStringLiteral("9"));
        QCOMPARE(pin->text(), QStringLiteral("912"));
    }

    void enterMovesOnWithoutTyping()
    {
        QLineEdit* pin = window_->edit(QStringLiteral("EPin"));
        pin->setText(QStringLiteral("1234"));
        pin->setFocus();
        QTRY_VERIFY(pin->hasFocus());
        QTest::keyClick(pin, Qt::Key_Return);
        QCOMPARE(pin->text(), QStringLiteral("1234"));
        QTRY_VERIFY(window_->edit(QStringLiteral("Ecsms"))->hasFocus());

        QLineEdit* number = window_->edit(QStringLiteral("Enruser1"));
        number->setFocus();
        QTRY_VERIFY(number->hasFocus());
        QTest::keyClick(number, Qt::Key_Enter);
        QTRY_VERIFY(window_->edit(QStringLiteral("Enruser2"))->hasFocus());
        QVERIFY(number->text().isEmpty());
    }

    void theFirstUserNumberTakesOneLeadingSign()
    {
        QLineEdit* number = window_->edit(QStringLiteral("Enruser1"));
        number->setFocus();
        QTest::keyClicks(number, QStringLiteral("++48a600"));
        QCOMPARE(number->text(), QStringLiteral("+48600"));
        number->clear();
        QTest::keyClicks(number, QStringLiteral("48+"));  // caret at 2: too late for a sign
        QCOMPARE(number->text(), QStringLiteral("48"));
        number->setCursorPosition(1);
        QTest::keyClicks(number, QStringLiteral("-"));
        QCOMPARE(number->text(), QStringLiteral("4-8"));
    }

    void aNumberHoldingABlankIsStartedAfreshByTheNextKey()
    {
        QLineEdit* number = window_->edit(QStringLiteral("Enruser1"));
        number->setText(QStringLiteral("+48 600 100"));  // as pasted or read from a file
        number->setFocus();
        QTest::keyClicks(number, QStringLiteral("5"));
        QCOMPARE(number->text(), QStringLiteral("5"));
        number->setText(QStringLiteral("60 1"));
        QTest::keyClicks(number, QStringLiteral("x"));  // emptied, then the letter is dropped
        QVERIFY(number->text().isEmpty());
    }

    void otherNumbersAreNotFiltered()
    {
        QLineEdit* number = window_->edit(QStringLiteral("Enruser2"));
        number->setFocus();
        QTest::keyClicks(number, QStringLiteral("+48 abc"));
        QCOMPARE(number->text(), QStringLiteral("+48 abc"));
    }
};

}  // namespace tarnik

QTEST_MAIN(tarnik::InterlocksTest)
#include "interlocks_test.moc"
