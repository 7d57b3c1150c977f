// The number rule at the window's doors: what the five number edits take when typed or
// pasted, and what "programuj" refuses before anything is sent, over the shared table of
// numbers.

#include <QApplication>
#include <QClipboard>
#include <QtTest>
#include <gtest/gtest.h>

#include "event_loop.h"
#include "model/settings_texts.h"
#include "number_cases.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

using namespace std::chrono_literals;

namespace tarnik {
namespace {

using test::numberCases;

// The SMS-centre number and the four user numbers.
constexpr const char* kNumberEdits[] = {"Ecsms", "Enruser1", "Enruser2", "Enruser3", "Enruser4"};

bool isCentre(const char* edit)
{
    return std::string(edit) == "Ecsms";
}

class NumberRule : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        initSerialMessages();
        installQtHandOver();
    }
};

TEST_F(NumberRule, NumberEditsTakeOnlyWhatTheModuleTakesTypedOrPasted)
{
    WindowFixture f;
    f.window().show();
    for (const char* name : kNumberEdits) {
        QLineEdit* edit = f.edit(name);
        for (const auto& c : numberCases()) {
            const QString text = QString::fromUtf8(c.text);
            edit->clear();
            edit->setFocus();
            QTest::keyClicks(edit, text);
            EXPECT_EQ(edit->text().toStdString(), c.typed) << name << " typed \"" << c.text << '"';

            edit->clear();
            QApplication::clipboard()->setText(text);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(edit->text().toStdString(), c.typed) << name << " pasted \"" << c.text << '"';
        }
    }
}

// A number the module does not take (here from a file, as no key puts it in) is refused
// by "programuj" with its line; the module gets nothing.
TEST_F(NumberRule, ProgrammingRefusesANumberTheModuleDoesNotTake)
{
    ModuleSimulator module;
    module.start();
    WindowFixture f({QString::fromStdString(module.devicePath())});
    for (const char* name : kNumberEdits) {
        for (const auto& c : numberCases()) {
            const auto& rules = isCentre(name) ? c.centreRules : c.userRules;
            if (rules.empty())
                continue;
            const char* expected = rules.front() == "numer-krajowy" ? kNotInternationalMessage
                                   : rules.front() == "numer-znaki" ? kNumberCharactersMessage
                                                                    : kNumberTooLongMessage;
            f.edit(name)->setText(QString::fromUtf8(c.text));
            f.button("Bprogramuj")->click();
            test::pumpFor(20ms);
            EXPECT_EQ(f.window().infoLines().last().toStdString(), expected)
                << name << " \"" << c.text << '"';
            EXPECT_TRUE(f.button("Bprogramuj")->isEnabled());
            f.edit(name)->clear();
        }
    }
    EXPECT_EQ(module.frameCount(), 0);
    f.window().port().Close();
    module.stop();
}

}  // namespace
}  // namespace tarnik
