// "Edycja → Cofnij / Ponów" and the window's one change signal: every change of the
// settings shown, through any control, a reaction dialog or applySettingsEdit, is told
// once and is one step of the history; undoing walks back through exactly the states
// the edits left, redoing forward again.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "configured_settings.h"
#include "event_loop.h"
#include "file/settings_file.h"
#include "modal_watcher.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

using namespace std::chrono_literals;

namespace tarnik {
namespace {

class UndoHistoryTest : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        initSerialMessages();
        installQtHandOver();
    }

    void SetUp() override
    {
        fixture_ = std::make_unique<WindowFixture>();
        ASSERT_TRUE(fixture_->showActive());
    }
    void TearDown() override { fixture_.reset(); }

    WindowFixture& f() { return *fixture_; }
    TGlownaF& window() { return fixture_->window(); }
    ShownSettings shown() { return {window().editableSettings(), window().shownUsers()}; }

    // Opens a fully configured site's file.
    void openConfigured()
    {
        const test::ConfiguredSettings configured = test::fullyConfigured();
        const QString path = folder_.filePath(QStringLiteral("szkola.zvn"));
        SaveSettingsFile(configured.record, configured.users, path);
        window().openSettingsFile(path);
    }

    // Types into a field as the user does: focus in, keys, focus out. Returns how many
    // keys changed the field's text (a full field takes none).
    int typeInto(QWidget* field, const QString& text)
    {
        const auto fieldText = [field] {
            auto* notes = qobject_cast<QPlainTextEdit*>(field);
            return notes ? notes->toPlainText() : qobject_cast<QLineEdit*>(field)->text();
        };
        field->setFocus(Qt::OtherFocusReason);
        int changed = 0;
        for (const QChar c : text) {
            const QString before = fieldText();
            QTest::keyClick(field, c.toLatin1());
            changed += fieldText() != before ? 1 : 0;
        }
        f().get<QWidget>("ListBox1")->setFocus(Qt::OtherFocusReason);
        return changed;
    }

    // Opens a reaction dialog from its button, clicks the boxes `named`, or else its
    // `nth` enabled box (counted around), and closes it with OK.
    void editReaction(const QString& button, int nth, const QStringList& named = {})
    {
        test::ModalWatcher watcher([nth, named](QWidget* dialog) {
            QList<QCheckBox*> boxes;
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
                if (box->isVisibleTo(dialog) && box->isEnabled())
                    boxes << box;
            for (const QString& name : named)
                dialog->findChild<QCheckBox*>(name)->click();
            if (named.isEmpty() && !boxes.isEmpty())
                boxes[nth % boxes.size()]->click();
            test::closeReactionDialog(dialog, true);
        });
        findControl<QAbstractButton>(&window(), button)->click();
        EXPECT_TRUE(watcher.fired()) << button.toStdString();
    }

    QString undoText() { return f().action("Cofnij1")->text(); }

    std::unique_ptr<WindowFixture> fixture_;
    QTemporaryDir folder_;
};

class RandomEditsTest : public UndoHistoryTest, public ::testing::WithParamInterface<unsigned> { };
INSTANTIATE_TEST_SUITE_P(Seeds, RandomEditsTest, ::testing::Values(24u, 7u, 1999u));

// A random sequence of edits through the real controls and dialogs, from an opened file:
// each edit that changes the settings is told once and makes one step, one that changes
// nothing is neither; undone step by step the window shows the state before each edit,
// redone the final one.
TEST_P(RandomEditsTest, UndoAndRedoThroughEveryStateOnce)
{
    openConfigured();
    std::mt19937 random(GetParam());
    const auto below = [&random](int n) { return static_cast<int>(random() % unsigned(n)); };
    const QStringList words{QStringLiteral("alarm"), QStringLiteral("brama"), QStringLiteral("7")};
    // Each edit returns how many changes it made when it counts them (typing: one a key),
    // or -1 when it makes one change or none.
    const std::function<int()> edits[] = {
        [&] {
            return typeInto(f().edit(qPrintable(QStringLiteral("ETSMS_We%1_Re%2")
                                                    .arg(1 + below(kInputs))
                                                    .arg(1 + below(kReactions)))),
                            words[below(3)]);
        },
        [&] {
            return typeInto(f().edit(qPrintable(QStringLiteral("Eosoba%1").arg(1 + below(4)))),
                            words[0]);
        },
        [&] {
            return typeInto(
                f().get<QPlainTextEdit>(qPrintable(QStringLiteral("Muser%1").arg(1 + below(4)))),
                words[1]);
        },
        [&] {
            return typeInto(f().edit(qPrintable(QStringLiteral("Enruser%1").arg(1 + below(4)))),
                            QStringLiteral("5"));
        },
        [&] {
            const char* groups[] = {"ChBFlags_%1", "ChbClipVerif%1", "ChBClipNotVerif%1"};
            f().get<QCheckBox>(qPrintable(QString::fromLatin1(groups[below(3)]).arg(below(6))))
                ->click();
            return -1;
        },
        [&] {
            f().get<QSpinBox>(qPrintable(QStringLiteral("SEtimerPod%1").arg(1 + below(kInputs))))
                ->stepBy(below(2) == 0 ? 1 : -1);
            return -1;
        },
        [&] {
            // A centre chosen as the user chooses it, which fills in its number.
            QTest::keyClick(f().get<QComboBox>("CBcentrum"),
                            below(2) == 0 ? Qt::Key_Down : Qt::Key_Up);
            return -1;
        },
        [&] {
            const int k = 1 + below(kInputs);
            const int r = 1 + below(kReactions);
            editReaction(below(2) == 0 ? QStringLiteral("BB_ConfigNumerWe%1Re%2").arg(k).arg(r)
                                       : QStringLiteral("BBConfigWorkWe%1Re%2").arg(k).arg(r),
                         below(12));
            return -1;
        },
        [&] {
            SettingsRecord changed = window().editableSettings();
            changed.numberWeRe[below(kInputs)][below(kReactions)] ^= std::uint8_t(1u << below(8));
            window().applySettingsEdit(changed, QStringLiteral("Kopiuj ustawienia wejścia"));
            return -1;
        },
    };

    std::vector<ShownSettings> states{shown()};
    EXPECT_FALSE(window().hasUnsavedEdits());
    EXPECT_EQ(window().history().count(), 0) << "opening a file starts a new history";
    QSignalSpy changes(&window(), &TGlownaF::settingsChanged);
    // Each change told shows settings other than the change before it.
    ShownSettings told = states.back();
    int repeated = 0;
    QObject::connect(&window(), &TGlownaF::settingsChanged, &window(), [&] {
        const ShownSettings now = shown();
        repeated += now == told ? 1 : 0;
        told = now;
    });
    for (int n = 0; n < 60; ++n) {
        const int kind = below(static_cast<int>(std::size(edits)));
        SCOPED_TRACE("edit " + std::to_string(n) + " of kind " + std::to_string(kind));
        changes.clear();
        const int counted = edits[kind]();
        const ShownSettings now = shown();
        const bool changed = !(now == states.back());
        EXPECT_EQ(changes.count(), counted >= 0 ? counted : changed ? 1 : 0);
        EXPECT_EQ(repeated, 0);
        if (changed)
            states.push_back(now);
        ASSERT_EQ(window().history().index(), static_cast<int>(states.size()) - 1);
    }
    ASSERT_GT(states.size(), 30u) << "too few edits changed anything to test the history";
    EXPECT_TRUE(window().hasUnsavedEdits());
    EXPECT_TRUE(f().errors.isEmpty()) << f().errors.join(QLatin1Char('\n')).toStdString();

    for (std::size_t i = states.size() - 1; i > 0; --i) {
        SCOPED_TRACE("undo back to state " + std::to_string(i - 1));
        ASSERT_TRUE(undoText().startsWith(QStringLiteral("Cofnij: "))) << undoText().toStdString();
        changes.clear();
        f().action("Cofnij1")->trigger();
        EXPECT_EQ(changes.count(), 1);
        ASSERT_TRUE(shown() == states[i - 1]);
    }
    EXPECT_FALSE(window().hasUnsavedEdits()) << "back at the file as opened";
    EXPECT_FALSE(f().action("Cofnij1")->isEnabled());
    EXPECT_EQ(undoText(), QStringLiteral("Cofnij"));

    changes.clear();
    while (f().action("Ponow1")->isEnabled())
        f().action("Ponow1")->trigger();
    EXPECT_EQ(changes.count(), static_cast<int>(states.size()) - 1);
    EXPECT_TRUE(shown() == states.back());
    EXPECT_TRUE(window().hasUnsavedEdits());
}

// What one step is and what the menu calls it.
TEST_F(UndoHistoryTest, StepsAreNamedAfterWhatTheyChange)
{
    struct Case {
        const char* what;
        std::function<void(UndoHistoryTest&)> edit;
        int steps;             // steps the edit adds
        const char* undoText;  // the menu item after it; null: unchanged
    };
    const Case cases[] = {
        {"typing in one field is one step",
         [](UndoHistoryTest& t) {
             t.typeInto(t.f().edit("ETSMS_We3_Re2"), QStringLiteral("Alarm"));
         },
         1, "Cofnij: Wejście 3 / zanik masy / Treść wiadomości SMS"},
        {"the focus left between two typings: two steps",
         [](UndoHistoryTest& t) {
             t.typeInto(t.f().edit("Eosoba2"), QStringLiteral("Jan"));
             t.typeInto(t.f().edit("Eosoba2"), QStringLiteral(" Nowak"));
         },
         2, "Cofnij: Użytkownik 2 / Nazwa"},
        {"typed and deleted again: no step",
         [](UndoHistoryTest& t) {
             QLineEdit* field = t.f().edit("Eosoba1");
             field->setFocus(Qt::OtherFocusReason);
             QTest::keyClicks(field, QStringLiteral("ab"));
             QTest::keyClick(field, Qt::Key_Backspace);
             QTest::keyClick(field, Qt::Key_Backspace);
         },
         0, nullptr},
        {"a reaction dialog confirmed",
         [](UndoHistoryTest& t) {
             // "Opcje nieaktywne" off, then "Załącz wyjście 1" on.
             t.editReaction(QStringLiteral("BB_ConfigNumerWe1Re1"), 0,
                            {QStringLiteral("ChBNoActiv"), QStringLiteral("ChBONwy1IN")});
         },
         1, "Cofnij: Wejście 1 / podanie masy / Reakcja wyjść"},
        {"a record applied as an edit",
         [](UndoHistoryTest& t) {
             SettingsRecord changed = t.window().editableSettings();
             changed.workWeRe[0][0] ^= 0x01;
             changed.workWeRe[1][0] ^= 0x01;
             t.window().applySettingsEdit(changed, QStringLiteral("Kopiuj ustawienia wejścia 1"));
         },
         1, "Cofnij: Kopiuj ustawienia wejścia 1"},
        {"a record equal to the one shown, applied: nothing",
         [](UndoHistoryTest& t) {
             t.window().applySettingsEdit(t.window().editableSettings(), QStringLiteral("x"));
         },
         0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();  // a window of its own, as started: empty texts, no history
        c.edit(*this);
        EXPECT_EQ(window().history().count(), c.steps);
        EXPECT_EQ(undoText().toStdString(), c.undoText ? c.undoText : "Cofnij");
        EXPECT_EQ(window().hasUnsavedEdits(), c.steps > 0);
    }
}

TEST_F(UndoHistoryTest, EditMenuSitsBetweenFileAndHelpWithItsShortcuts)
{
    QStringList menus;
    for (QAction* action : window().menuBar()->actions())
        menus << action->text().remove(QLatin1Char('&'));
    EXPECT_EQ(menus, (QStringList{QStringLiteral("Plik"), QStringLiteral("Edycja"),
                                  QStringLiteral("Pomoc")}));
    QAction* undo = f().action("Cofnij1");
    QAction* redo = f().action("Ponow1");
    // Cofnij and Ponów first; the copy actions follow them.
    EXPECT_EQ(window().editMenu()->actions().mid(0, 2), (QList<QAction*>{undo, redo}));
    EXPECT_EQ(undo->shortcuts(), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
    EXPECT_EQ(redo->shortcuts(),
              (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                   QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
    EXPECT_EQ(undo->text(), QStringLiteral("Cofnij"));
    EXPECT_EQ(redo->text(), QStringLiteral("Ponów"));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_GE(window().history().undoLimit(), 100);

    // The shortcuts reach the history from the window (no text field has the focus).
    f().get<QCheckBox>("ChBFlags_4")->click();
    f().get<QWidget>("ListBox1")->setFocus(Qt::OtherFocusReason);
    const ShownSettings ticked = shown();
    QTest::keySequence(&window(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_FALSE(shown() == ticked);
    EXPECT_TRUE(redo->text().startsWith(QStringLiteral("Ponów: ")));
    QTest::keySequence(&window(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    EXPECT_TRUE(shown() == ticked);
}

// At least 100 steps back; undoing to the state last saved clears the "*" mark.
TEST_F(UndoHistoryTest, KeepsAHundredStepsAndTheMarkFollowsTheSavedState)
{
    std::vector<ShownSettings> states{shown()};
    for (int n = 0; n < 130; ++n) {
        SettingsRecord changed = window().editableSettings();
        changed.numberWeRe[n % kInputs][0] = static_cast<std::uint8_t>(n + 1);
        window().applySettingsEdit(changed, QStringLiteral("krok %1").arg(n));
        states.push_back(shown());
    }
    const QString saved = folder_.filePath(QStringLiteral("zapis.zvn"));
    window().saveSettingsFile(saved);
    EXPECT_FALSE(window().hasUnsavedEdits());
    for (int n = 0; n < 100; ++n)
        f().action("Cofnij1")->trigger();
    EXPECT_TRUE(shown() == states[states.size() - 101]);
    EXPECT_TRUE(window().windowTitle().endsWith(QLatin1Char('*')));
    for (int n = 0; n < 100; ++n)
        f().action("Ponow1")->trigger();
    EXPECT_FALSE(window().hasUnsavedEdits()) << "back at the state saved";
    EXPECT_FALSE(window().windowTitle().endsWith(QLatin1Char('*')));
}

// A spin box counts once its value is committed; a value typed and not yet committed
// is committed, told and kept as a step before the window asks about unsaved edits.
TEST_F(UndoHistoryTest, ASpinValueTypedIsAnEditBeforeTheWindowCloses)
{
    auto* spin = f().get<QSpinBox>("SEtimerPod1");
    spin->setFocus(Qt::OtherFocusReason);
    spin->selectAll();
    QTest::keyClicks(spin, "9");
    EXPECT_EQ(window().history().count(), 0) << "not committed yet";
    f().chooser->saveAnswers << SaveChanges::Cancel;
    EXPECT_FALSE(window().close());
    EXPECT_EQ(f().chooser->questions, 1);
    EXPECT_EQ(window().history().count(), 1);
    EXPECT_EQ(window().editableSettings().timerPod[0], 9);
}

// Programming changes nothing in the history; a read-back starts a new one and is told.
TEST_F(UndoHistoryTest, ProgrammingKeepsTheHistoryAndAReadBackStartsANewOne)
{
    ModuleSimulator module;
    module.start();
    {
        fixture_ = std::make_unique<WindowFixture>(
            QStringList{QString::fromStdString(module.devicePath())});
        WindowFixture& g = f();
        ASSERT_TRUE(g.showActive());
        typeInto(g.edit("ETSMS_We2_Re1"), QStringLiteral("Drzwi"));
        g.get<QCheckBox>("ChBFlags_4")->click();
        ASSERT_EQ(g.window().history().count(), 2);
        QSignalSpy changes(&g.window(), &TGlownaF::settingsChanged);
        g.button("Bprogramuj")->click();
        ASSERT_TRUE(test::pumpUntil(
            [&] {
                return g.window().infoLines().contains(
                    QStringLiteral("Programowanie zakończone pomyślnie."));
            },
            10s));
        EXPECT_EQ(g.window().history().count(), 2);
        EXPECT_EQ(g.window().history().index(), 2);
        EXPECT_EQ(changes.count(), 0);

        g.button("BBload")->click();  // unsaved edits: the scripted answer discards them
        ASSERT_TRUE(test::pumpUntil(
            [&] {
                return g.window().infoLines().contains(
                    QStringLiteral("zaladowane ustawienia z eprom"));
            },
            10s));
        EXPECT_EQ(g.window().history().count(), 0);
        EXPECT_EQ(changes.count(), 1);
        EXPECT_EQ(g.edit("ETSMS_We2_Re1")->text(), QStringLiteral("Drzwi")) << "as programmed";
        g.window().port().Close();
        EXPECT_TRUE(g.errors.isEmpty()) << g.errors.join(QLatin1Char('\n')).toStdString();
        fixture_.reset();
    }
    module.stop();
}

}  // namespace
}  // namespace tarnik
