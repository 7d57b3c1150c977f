// The toolkit behaviours the window relies on: spin edits clamp instead of
// refusing, and an edit's length limit binds typing only.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include "editor/widgets/spin_edit.h"
#include "editor/widgets/typing_limit.h"

using tarnik::SpinEdit;

class WidgetsTest : public QObject {
    Q_OBJECT

    // A spin in a window with a second control to move the focus to.
    struct SpinFixture {
        QWidget window;
        SpinEdit* spin = new SpinEdit(&window);
        QLineEdit* other = new QLineEdit(&window);
        SpinFixture(int minimum, int maximum, int maxLength)
        {
            spin->setLimits(minimum, maximum, maxLength);
            spin->move(0, 0);
            other->move(0, 40);
            window.show();
            QApplication::setActiveWindow(&window);
            spin->setFocus();
        }
        void typeReplacing(const QString& text)
        {
            spin->selectAll();
            QTest::keyClicks(spin, text);
        }
        void leave()
        {
            other->setFocus();
            QApplication::processEvents();
        }
    };

private slots:
    void typedValueAboveRangeShowsMaximumAfterLeaving()
    {
        SpinFixture f(1, 255, 3);
        f.typeReplacing(QStringLiteral("300"));
        QCOMPARE(f.spin->text(), QStringLiteral("300"));  // not refused while typing
        f.leave();
        QCOMPARE(f.spin->value(), 255);
        QCOMPARE(f.spin->text(), QStringLiteral("255"));
    }

    void typedValueBelowRangeShowsMinimumAfterLeaving()
    {
        SpinFixture f(10, 255, 3);
        f.typeReplacing(QStringLiteral("5"));
        f.leave();
        QCOMPARE(f.spin->value(), 10);
    }

    void emptyTextReadsAsMinimum()
    {
        SpinFixture f(10, 255, 3);
        f.spin->setValue(77);
        f.spin->selectAll();
        QTest::keyClick(f.spin, Qt::Key_Delete);
        QCOMPARE(f.spin->readValue(), 10);
        QCOMPARE(f.spin->text(), QStringLiteral("10"));
    }

    void lettersAndExtraDigitsAreNotTyped()
    {
        SpinFixture f(1, 10, 2);
        f.typeReplacing(QStringLiteral("a1b234"));
        QCOMPARE(f.spin->text(), QStringLiteral("12"));
        QCOMPARE(f.spin->readValue(), 10);
    }

    void valueSetByProgramIsClamped()
    {
        SpinEdit spin;
        spin.setLimits(1, 240, 3);
        spin.setValue(250);
        QCOMPARE(spin.value(), 240);
        spin.setValue(0);
        QCOMPARE(spin.value(), 1);
    }

    void readValueTakesTextNotYetInterpreted()
    {
        // A collect started from a menu, while the focus is still in the spin.
        SpinFixture f(1, 24, 2);
        f.typeReplacing(QStringLiteral("30"));
        QCOMPARE(f.spin->readValue(), 24);
    }

    void programTextLongerThanLimitStaysWhole()
    {
        QLineEdit edit;
        tarnik::setTypingLimit(&edit, 35);
        const QString stored(36, QLatin1Char('x'));
        edit.setText(stored);
        QCOMPARE(edit.text(), stored);
        QCOMPARE(tarnik::typingLimit(&edit), 35);
    }

    void typingStopsAtLimit()
    {
        QWidget window;
        auto* edit = new QLineEdit(&window);
        tarnik::setTypingLimit(edit, 4);
        window.show();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("123456"));
        QCOMPARE(edit->text(), QStringLiteral("1234"));
        // a typed key into an over-long stored text is refused too
        edit->setText(QStringLiteral("12345"));
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_9);
        QCOMPARE(edit->text(), QStringLiteral("12345"));
        // but deleting works
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("1234"));
    }

    void pastingBeyondLimitIsRefused()
    {
        QWidget window;
        auto* edit = new QLineEdit(&window);
        tarnik::setTypingLimit(edit, 4);
        window.show();
        edit->setFocus();
        edit->setText(QStringLiteral("12"));
        edit->end(false);
        QApplication::clipboard()->setText(QStringLiteral("345"));
        edit->paste();
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QApplication::clipboard()->setText(QStringLiteral("34"));
        edit->paste();
        QCOMPARE(edit->text(), QStringLiteral("1234"));
    }
};

QTEST_MAIN(WidgetsTest)
#include "test_widgets.moc"
