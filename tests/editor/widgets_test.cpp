// The toolkit behaviours the window relies on: spin edits clamp instead of
// refusing, and an edit's length limit binds typing only.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "qt_printers.h"

#include "editor/widgets/spin_edit.h"
#include "editor/widgets/typing_limit.h"

using tarnik::SpinEdit;

class WidgetsTest : public ::testing::Test {
protected:
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
};

TEST_F(WidgetsTest, TypedValueAboveRangeShowsMaximumAfterLeaving)
{
    SpinFixture f(1, 255, 3);
    f.typeReplacing(QStringLiteral("300"));
    ASSERT_EQ(f.spin->text(), QStringLiteral("300"));  // not refused while typing
    f.leave();
    ASSERT_EQ(f.spin->value(), 255);
    ASSERT_EQ(f.spin->text(), QStringLiteral("255"));
}

TEST_F(WidgetsTest, TypedValueBelowRangeShowsMinimumAfterLeaving)
{
    SpinFixture f(10, 255, 3);
    f.typeReplacing(QStringLiteral("5"));
    f.leave();
    ASSERT_EQ(f.spin->value(), 10);
}

TEST_F(WidgetsTest, EmptyTextReadsAsMinimum)
{
    SpinFixture f(10, 255, 3);
    f.spin->setValue(77);
    f.spin->selectAll();
    QTest::keyClick(f.spin, Qt::Key_Delete);
    ASSERT_EQ(f.spin->readValue(), 10);
    ASSERT_EQ(f.spin->text(), QStringLiteral("10"));
}

TEST_F(WidgetsTest, LettersAndExtraDigitsAreNotTyped)
{
    SpinFixture f(1, 10, 2);
    f.typeReplacing(QStringLiteral("a1b234"));
    ASSERT_EQ(f.spin->text(), QStringLiteral("12"));
    ASSERT_EQ(f.spin->readValue(), 10);
}

TEST_F(WidgetsTest, ValueSetByProgramIsClamped)
{
    SpinEdit spin;
    spin.setLimits(1, 240, 3);
    spin.setValue(250);
    ASSERT_EQ(spin.value(), 240);
    spin.setValue(0);
    ASSERT_EQ(spin.value(), 1);
}

TEST_F(WidgetsTest, ReadValueTakesTextNotYetInterpreted)
{
    // A collect started from a menu, while the focus is still in the spin.
    SpinFixture f(1, 24, 2);
    f.typeReplacing(QStringLiteral("30"));
    ASSERT_EQ(f.spin->readValue(), 24);
}

TEST_F(WidgetsTest, ProgramTextLongerThanLimitStaysWhole)
{
    QLineEdit edit;
    tarnik::setTypingLimit(&edit, 35);
    const QString stored(36, QLatin1Char('x'));
    edit.setText(stored);
    ASSERT_EQ(edit.text(), stored);
    ASSERT_EQ(tarnik::typingLimit(&edit), 35);
}

TEST_F(WidgetsTest, TypingStopsAtLimit)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    tarnik::setTypingLimit(edit, 4);
    window.show();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("123456"));
    ASSERT_EQ(edit->text(), QStringLiteral("1234"));
    // a typed key into an over-long stored text is refused too
    edit->setText(QStringLiteral("12345"));
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_9);
    ASSERT_EQ(edit->text(), QStringLiteral("12345"));
    // but deleting works
    QTest::keyClick(edit, Qt::Key_Backspace);
    ASSERT_EQ(edit->text(), QStringLiteral("1234"));
}

TEST_F(WidgetsTest, PastingBeyondLimitInsertsThePartThatFits)
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
    ASSERT_EQ(edit->text(), QStringLiteral("1234"));
    edit->setText(QStringLiteral("12"));
    edit->end(false);
    QApplication::clipboard()->setText(QStringLiteral("34"));
    edit->paste();
    ASSERT_EQ(edit->text(), QStringLiteral("1234"));
}
