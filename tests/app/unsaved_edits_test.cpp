// The window marks unsaved edits in its title and asks once before an action would
// discard them; the program's own showing of settings marks nothing.

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

#include "app/user_conveniences.h"
#include "app/window_report.h"
#include "event_loop.h"
#include "file/settings_file.h"
#include "modal_watcher.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "qt_printers.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

using namespace std::chrono_literals;
using tarnik::SaveChanges;
using tarnik::test::pumpUntil;

namespace {

const QString kCaption = QStringLiteral("Tarnik v 1.1");

class UnsavedEditsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tarnik::initSerialMessages();
        tarnik::installQtHandOver();
    }

    QString settingsFile(const QString& name, const tarnik::SettingsRecord& record)
    {
        const QString path = folder.filePath(name);
        tarnik::SaveSettingsFile(record, tarnik::UserDirectory{}, path);
        return path;
    }

    static bool marked(WindowFixture& f)
    {
        const bool star = f.window().windowTitle().endsWith(QLatin1Char('*'));
        EXPECT_EQ(star, f.window().hasUnsavedEdits()) << f.window().windowTitle().toStdString();
        return f.window().hasUnsavedEdits();
    }

    // Opens a reaction dialog from its button, ticks a box or leaves it, and closes it.
    static void editReaction(WindowFixture& f, bool tick, bool ok)
    {
        tarnik::test::ModalWatcher watcher([tick, ok](QWidget* dialog) {
            if (tick) {
                // "Opcje nieaktywne" off, then "Załącz wyjście 1" on.
                for (const char* name : {"ChBNoActiv", "ChBONwy1IN"}) {
                    auto* box = dialog->findChild<QCheckBox*>(QString::fromLatin1(name));
                    ASSERT_NE(box, nullptr);
                    box->click();
                }
            }
            tarnik::test::closeReactionDialog(dialog, ok);
        });
        f.button("BB_ConfigNumerWe1Re1")->click();
        EXPECT_TRUE(watcher.fired());
    }

    QTemporaryDir folder;
};

TEST_F(UnsavedEditsTest, ShowingSettingsMarksNothing)
{
    WindowFixture f;
    f.window().show();
    QApplication::processEvents();
    EXPECT_FALSE(marked(f)) << "start-up";
    EXPECT_EQ(f.window().windowTitle(), kCaption);

    // Values the controls cannot show as stored (a spin out of range) are no edit either.
    tarnik::SettingsRecord record = tarnik::startupSettings();
    record.callingTimer = 250;
    record.nrUser[0].assign("+48600100200");
    f.window().openSettingsFile(settingsFile(QStringLiteral("dom.zvn"), record));
    QApplication::processEvents();
    EXPECT_FALSE(marked(f)) << "opened";
    EXPECT_EQ(f.window().windowTitle(), kCaption + QStringLiteral(" — dom.zvn"));

    // Opening the file dialog and cancelling it, or cancelling "Zapisz jako", neither.
    f.chooser->answers << QString() << QString();
    f.action("Odczytaj3")->trigger();
    f.action("Zapiszjako2")->trigger();
    EXPECT_FALSE(marked(f));
    EXPECT_EQ(f.chooser->questions, 0);
}

TEST_F(UnsavedEditsTest, EachKindOfUserEditMarks)
{
    struct Case {
        const char* what;
        std::function<void(WindowFixture&)> edit;
        bool marks;
    };
    const Case cases[] = {
        {"a number typed", [](WindowFixture& f) { QTest::keyClicks(f.edit("Enruser1"), "+48"); },
         true},
        {"an SMS text typed",
         [](WindowFixture& f) { QTest::keyClicks(f.edit("ETSMS_We1_Re1"), "x"); }, true},
        {"a spin stepped", [](WindowFixture& f) { f.get<QSpinBox>("SEtimerPod2")->stepBy(1); },
         true},
        {"a check box ticked", [](WindowFixture& f) { f.get<QCheckBox>("ChBFlags_0")->click(); },
         true},
        {"an SMS centre chosen",
         [](WindowFixture& f) {
             // As the user chooses from the list: the choice fills in the centre's number.
             auto* centres = f.get<QComboBox>("CBcentrum");
             const int preset = centres->currentIndex() == 0 ? 1 : 0;
             centres->setCurrentIndex(preset);
             emit centres->activated(preset);
         },
         true},
        {"a user's name typed",
         [](WindowFixture& f) { QTest::keyClicks(f.edit("Eosoba1"), "Jan"); }, true},
        {"a user's notes typed",
         [](WindowFixture& f) { QTest::keyClicks(f.get<QPlainTextEdit>("Muser1"), "n"); }, true},
        {"a reaction changed and accepted", [](WindowFixture& f) { editReaction(f, true, true); },
         true},
        {"a reaction accepted unchanged", [](WindowFixture& f) { editReaction(f, false, true); },
         false},
        {"a reaction changed and cancelled", [](WindowFixture& f) { editReaction(f, true, false); },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowFixture f;
        f.window().show();
        QApplication::processEvents();
        ASSERT_FALSE(marked(f));
        c.edit(f);
        QApplication::processEvents();
        EXPECT_EQ(marked(f), c.marks);
        if (c.marks) {
            EXPECT_EQ(f.window().windowTitle(), kCaption + QStringLiteral("*"));
        }
    }
}

TEST_F(UnsavedEditsTest, AsksOnceBeforeAnActionWouldDiscardEdits)
{
    const QString other = settingsFile(QStringLiteral("biuro.zvn"), tarnik::startupSettings());
    struct Action {
        const char* what;
        // Runs the action; true when it went ahead (the window closed or the file opened).
        std::function<bool(WindowFixture&)> run;
    };
    const Action actions[] = {
        {"Wyjscie",
         [](WindowFixture& f) {
             f.action("Wyjscie1")->trigger();
             return !f.window().isVisible();
         }},
        {"closing the window", [](WindowFixture& f) { return f.window().close(); }},
        {"Odczytaj ...",
         [other](WindowFixture& f) {
             f.chooser->answers << other;
             f.action("Odczytaj3")->trigger();
             return f.window().windowTitle().contains(QStringLiteral("biuro.zvn"));
         }},
        {"a recent file",
         [other](WindowFixture& f) {
             f.window().openChosenFile(other);
             return f.window().windowTitle().contains(QStringLiteral("biuro.zvn"));
         }},
    };
    struct Answer {
        SaveChanges choice;
        bool saveDialogCancelled;
        bool goesAhead;
        bool saved;
    };
    const Answer answers[] = {
        {SaveChanges::Save, false, true, true},
        {SaveChanges::Save, true, false, false},  // a cancelled save cancels the action
        {SaveChanges::Discard, false, true, false},
        {SaveChanges::Cancel, false, false, false},
    };
    int n = 0;
    for (const Action& action : actions) {
        for (const Answer& answer : answers) {
            SCOPED_TRACE(std::string(action.what) + ", answer " +
                         std::to_string(static_cast<int>(answer.choice)) +
                         (answer.saveDialogCancelled ? ", save dialog cancelled" : ""));
            WindowFixture f;
            f.window().show();
            QTest::keyClicks(f.edit("Enruser2"), "+4860");
            ASSERT_TRUE(marked(f));
            const QString saveAs = folder.filePath(QStringLiteral("saved%1.zvn").arg(n++));
            f.chooser->saveAnswers << answer.choice;
            if (answer.choice == SaveChanges::Save)
                f.chooser->answers << (answer.saveDialogCancelled ? QString() : saveAs);

            EXPECT_EQ(action.run(f), answer.goesAhead);
            EXPECT_EQ(f.chooser->questions, 1);
            EXPECT_EQ(QFile::exists(saveAs), answer.saved);
            if (answer.saved) {
                tarnik::SettingsRecord saved{};
                tarnik::UserDirectory users{};
                tarnik::LoadSettingsFile(saveAs, saved, users);
                EXPECT_EQ(saved.nrUser[1].str(), "+4860");
            }
            if (!answer.goesAhead) {
                EXPECT_TRUE(marked(f)) << "the edits are still there";
                EXPECT_EQ(f.edit("Enruser2")->text(), QStringLiteral("+4860"));
            }
            EXPECT_TRUE(f.errors.isEmpty()) << f.errors.join(QLatin1Char('\n')).toStdString();
        }
    }
}

// Programming never asks: it discards nothing. A read-back replaces the settings shown,
// so with unsaved edits it asks first, as opening a file does; "Anuluj" sends nothing.
// Afterwards the title names the port the settings came from, not the file.
TEST_F(UnsavedEditsTest, ProgrammingNeverAsksAndAReadBackAsksFirst)
{
    tarnik::ModuleSimulator module;
    module.start();
    {
        WindowFixture f({QString::fromStdString(module.devicePath())});
        f.window().show();
        f.window().openSettingsFile(
            settingsFile(QStringLiteral("dom.zvn"), tarnik::startupSettings()));
        QTest::keyClicks(f.edit("Enruser1"), "+48600100200");
        f.button("Bprogramuj")->click();
        ASSERT_TRUE(pumpUntil(
            [&] {
                return f.window().infoLines().contains(
                    QStringLiteral("Programowanie zakończone pomyślnie."));
            },
            10s));
        EXPECT_TRUE(marked(f)) << "programmed, but not saved in a file";
        EXPECT_EQ(f.chooser->questions, 0);

        // Cancelled: nothing reaches the module, the edits and the title stay.
        const int framesBefore = module.frameCount();
        f.chooser->saveAnswers << SaveChanges::Cancel;
        f.button("BBload")->click();
        EXPECT_EQ(f.chooser->questions, 1);
        tarnik::test::pumpFor(200ms);
        EXPECT_EQ(module.frameCount(), framesBefore);
        EXPECT_TRUE(marked(f));
        EXPECT_EQ(f.window().windowTitle(), kCaption + QStringLiteral(" — dom.zvn*"));

        // Discarded: the module's settings are shown, under the port's name.
        f.chooser->saveAnswers << SaveChanges::Discard;
        f.button("BBload")->click();
        EXPECT_EQ(f.chooser->questions, 2);
        ASSERT_TRUE(pumpUntil(
            [&] {
                return f.window().infoLines().contains(
                    QStringLiteral("zaladowane ustawienia z eprom"));
            },
            10s));
        EXPECT_FALSE(marked(f));
        EXPECT_EQ(f.edit("Enruser1")->text(), QStringLiteral("+48600100200"));
        const QString fromPort =
            kCaption + QStringLiteral(" — odczyt z ") + QString::fromStdString(module.devicePath());
        EXPECT_EQ(f.window().windowTitle(), fromPort);
        EXPECT_TRUE(f.window().report().reportHtml(false).contains(
            QString::fromStdString(module.devicePath())));
        EXPECT_FALSE(f.window().report().reportHtml(false).contains(QStringLiteral("dom.zvn")));

        // Nothing unsaved: no question. A name typed before a read-back is not in the
        // module: it is asked about, and stays unsaved.
        f.button("BBload")->click();
        EXPECT_EQ(f.chooser->questions, 2);
        ASSERT_TRUE(pumpUntil(
            [&] {
                return f.window().infoLines().count(
                           QStringLiteral("zaladowane ustawienia z eprom")) == 2;
            },
            10s));
        QTest::keyClicks(f.edit("Eosoba1"), "Portiernia");
        f.button("BBload")->click();
        EXPECT_EQ(f.chooser->questions, 3);
        ASSERT_TRUE(pumpUntil(
            [&] {
                return f.window().infoLines().count(
                           QStringLiteral("zaladowane ustawienia z eprom")) == 3;
            },
            10s));
        EXPECT_TRUE(marked(f));
        EXPECT_EQ(f.window().windowTitle(), fromPort + QLatin1Char('*'));
        EXPECT_TRUE(f.errors.isEmpty()) << f.errors.join(QLatin1Char('\n')).toStdString();

        // Saving names the file again.
        f.chooser->answers << folder.filePath(QStringLiteral("po_odczycie.zvn"));
        f.action("Zapiszjako2")->trigger();
        EXPECT_FALSE(marked(f));
        EXPECT_EQ(f.window().windowTitle(), kCaption + QStringLiteral(" — po_odczycie.zvn"));
        f.window().port().Close();
    }
    module.stop();
}

TEST_F(UnsavedEditsTest, TheQuestionOffersSaveDiscardAndCancel)
{
    struct Case {
        const char* button;  // empty: the box is closed with Escape
        SaveChanges choice;
    };
    const Case cases[] = {{"Zapisz", SaveChanges::Save},
                          {"Nie zapisuj", SaveChanges::Discard},
                          {"Anuluj", SaveChanges::Cancel},
                          {"", SaveChanges::Cancel}};
    WindowFixture f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        QString text;
        QStringList buttons;
        tarnik::test::ModalWatcher watcher([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            text = box->text();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            if (*c.button == '\0') {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QString::fromUtf8(c.button))
                    b->click();
        });
        tarnik::DialogFileChooser real;
        EXPECT_EQ(real.askSaveChanges(&f.window()), c.choice);
        EXPECT_EQ(text, QStringLiteral("Zapisać zmiany w ustawieniach?"));
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{QStringLiteral("Anuluj"), QStringLiteral("Nie zapisuj"),
                                        QStringLiteral("Zapisz")}));
    }
}

}  // namespace
