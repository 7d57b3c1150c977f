// "Edycja → Kopiuj ustawienia wejścia ..." and "Edycja → Powiadamiaj jak ..." driven
// through the real menu, dialogs and reaction buttons: the controls show the copied
// values, the window is marked unsaved, and every byte the copy stored is one the
// reaction dialogs keep when confirmed untouched.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "app/window_copy.h"
#include "app/window_texts.h"
#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/reaction_target.h"
#include "file/settings_file.h"
#include "modal_watcher.h"
#include "model/reaction_bits.h"
#include "model/settings_copy.h"
#include "model/value_ranges.h"
#include "window_fixture.h"

namespace {

using tarnik::InputPlace;
using tarnik::SettingsRecord;

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class WindowCopyTest : public ::testing::Test {
protected:
    // The window showing `record` from a file, on the page whose tab is `tab`.
    void open(const SettingsRecord& record, const char* tab,
              const tarnik::UserDirectory& users = {})
    {
        const QString path = folder.filePath(QStringLiteral("dom.zvn"));
        tarnik::SaveSettingsFile(record, users, path);
        f.window().show();
        f.window().openSettingsFile(path);
        auto* pages = f.get<QTabWidget>("PageControl2");
        for (int i = 0; i < pages->count(); ++i)
            if (pages->tabText(i) == QString::fromUtf8(tab))
                pages->setCurrentIndex(i);
        QApplication::processEvents();
        ASSERT_FALSE(f.window().hasUnsavedEdits());
    }

    // The item of the "Edycja" menu captioned `caption`, checking the menu's place.
    QAction* editItem(const char* caption)
    {
        const QList<QAction*> menus = f.window().menuBar()->actions();
        EXPECT_GE(menus.size(), 3);
        EXPECT_EQ(menus.value(0)->text(), QStringLiteral("&Plik"));
        EXPECT_EQ(menus.value(1)->menu()->objectName(), QStringLiteral("Edycja1"));
        EXPECT_EQ(menus.value(2)->text(), QStringLiteral("Pomo&c"));
        for (QAction* item : menus.value(1)->menu()->actions())
            if (item->text() == text(caption))
                return item;
        ADD_FAILURE() << "no item " << caption;
        return nullptr;
    }

    // Triggers `item` and lets `fill` answer its dialog, which is then confirmed.
    void runDialog(QAction* item, const std::function<void(QWidget*)>& fill)
    {
        ASSERT_TRUE(item && item->isEnabled());
        tarnik::test::ModalWatcher watcher([&](QWidget* dialog) {
            fill(dialog);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
            if (ok && ok->isEnabled())
                ok->click();
            else
                dialog->close();
        });
        item->trigger();
        EXPECT_TRUE(watcher.fired());
        QApplication::processEvents();
    }

    // Opens the reaction dialog of every button whose byte differs between `before`
    // and the window's record and confirms it untouched: the byte stays.
    void expectDialogsKeepChangedBytes(const SettingsRecord& before)
    {
        for (QAbstractButton* button : f.window().findChildren<QAbstractButton*>()) {
            const auto target = tarnik::parseReactionButton(button->objectName());
            if (!target || button->isHidden())
                continue;
            SettingsRecord copy = before;
            const std::uint8_t was = tarnik::reactionByte(copy, *target);
            const std::uint8_t copied = tarnik::reactionByte(f.window().settings(), *target);
            if (was == copied)
                continue;
            tarnik::test::ModalWatcher watcher(
                [](QWidget* dialog) { tarnik::test::closeReactionDialog(dialog, true); });
            button->click();
            EXPECT_EQ(tarnik::reactionByte(f.window().settings(), *target), copied)
                << button->objectName().toStdString();
        }
    }

    static void choose(QWidget* dialog, const char* list, const QString& item)
    {
        auto* box = dialog->findChild<QComboBox*>(QString::fromLatin1(list));
        ASSERT_NE(box, nullptr) << list;
        const int index = box->findText(item, Qt::MatchStartsWith);
        ASSERT_GE(index, 0) << item.toStdString();
        box->setCurrentIndex(index);
    }

    static void tick(QWidget* dialog, const char* name)
    {
        auto* box = dialog->findChild<QCheckBox*>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr) << name;
        box->setChecked(true);
    }

    QTemporaryDir folder;
    WindowFixture f;
};

std::string name(const char* prefix, int n, const char* suffix = "")
{
    return prefix + std::to_string(n) + suffix;
}

SettingsRecord numbered(SettingsRecord record, std::initializer_list<int> users)
{
    for (int user : users)
        record.nrUser[user - 1].assign("+4860100031" + std::to_string(user));
    return record;
}

TEST_F(WindowCopyTest, CopiesAnInputsSettingsToTheTickedInputs)
{
    SettingsRecord record = numbered(tarnik::startupSettings(), {1, 2});
    record.timerPod[1] = 30;
    record.timerTorBuf[1] = 4;
    record.numberWeRe[1][0] = 0x28;  // switch both outputs on
    record.numberWeRe[1][1] = 0x58;  // a file's byte: output 1 on and off at once
    record.workWeRe[1][1] = 0x5F;    // users 1 and 2; users 3 and 4, who have no number
    record.smsWeRe[1][0].assign("Alarm 2");
    record.smsWeRe[6][1].assign("Stary");
    open(record, "Wejścia");

    runDialog(editItem(tarnik::window_text::kCopyInputSettings), [&](QWidget* dialog) {
        choose(dialog, "copySource", QStringLiteral("Wejście 2"));
        tick(dialog, "copyTarget4");  // Wejście 5
        tick(dialog, "copyTarget6");  // Wejście 7
        tick(dialog, "copyTexts");
    });

    for (int n : {5, 7}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(f.get<QSpinBox>(name("SEtimerPod", n).c_str())->value(), 30);
        EXPECT_EQ(f.get<QSpinBox>(name("SEtimerTorBuf", n).c_str())->value(), 4);
        EXPECT_EQ(f.edit(name("ETSMS_We", n, "_Re1").c_str())->text(), QStringLiteral("Alarm 2"));
        EXPECT_EQ(f.edit(name("ETSMS_We", n, "_Re2").c_str())->text(), QString());
    }
    const SettingsRecord& shown = f.window().settings();
    EXPECT_EQ(shown.numberWeRe[4][0], 0x28);
    EXPECT_EQ(shown.numberWeRe[4][1], 0x48);           // switching on outweighs switching off
    EXPECT_EQ(shown.workWeRe[6][1], 0x0F);             // users without a number: not told
    EXPECT_EQ(shown.timerPod[2], record.timerPod[2]);  // not ticked: stays
    EXPECT_TRUE(f.window().hasUnsavedEdits());
    EXPECT_TRUE(f.window().windowTitle().endsWith(QLatin1Char('*')));
    expectDialogsKeepChangedBytes(record);

    // The whole copy is one step of the history, named for what it did; undone, the
    // opened file's settings are back.
    QUndoStack& history = f.window().history();
    ASSERT_EQ(history.count(), 1);
    EXPECT_EQ(history.undoText(), QStringLiteral("Kopiowanie ustawień wejścia 2"));
    history.undo();
    EXPECT_EQ(f.get<QSpinBox>(name("SEtimerPod", 5).c_str())->value(), record.timerPod[4]);
    EXPECT_EQ(f.window().settings().numberWeRe[4][0], record.numberWeRe[4][0]);
    EXPECT_FALSE(f.window().hasUnsavedEdits());
}

TEST_F(WindowCopyTest, NotifiesOneUserLikeAnother)
{
    SettingsRecord record = numbered(tarnik::startupSettings(), {1, 2, 3});
    for (auto& input : record.workWeRe)
        input[0] = 0x01;               // user 1 by SMS on every input's reaction 1
    record.workSpecWeRe[0][1] = 0x03;  // an output confirmation: SMS and a hidden call
    record.workSpecWeRe[4][0] = 0x02;  // the blocking input: a call
    tarnik::UserDirectory users{};
    users.entries[2].osoba.assign("Ochrona");
    open(record, "numery telefonów", users);

    QStringList told;
    runDialog(editItem(tarnik::window_text::kNotifyLike), [&](QWidget* dialog) {
        auto* targets = dialog->findChild<QComboBox*>(QStringLiteral("notifyTarget"));
        for (int i = 0; i < targets->count(); ++i)
            told << targets->itemText(i);
        choose(dialog, "notifyTarget", QStringLiteral("Użytkownik 3"));
        choose(dialog, "notifySource", QStringLiteral("Użytkownik 1"));
    });

    // User 4 has no number: no dialog can tell the user, so neither is it offered.
    EXPECT_EQ(told, (QStringList{QStringLiteral("Użytkownik 1"), QStringLiteral("Użytkownik 2"),
                                 QStringLiteral("Użytkownik 3 (Ochrona)")}));
    const SettingsRecord& shown = f.window().settings();
    for (int k = 0; k < tarnik::kInputs; ++k)
        EXPECT_EQ(shown.workWeRe[k][0], 0x11) << k;
    EXPECT_EQ(shown.workSpecWeRe[0][1], 0x13);  // SMS only: the call column is hidden there
    EXPECT_EQ(shown.workSpecWeRe[4][0], 0x22);
    EXPECT_TRUE(f.window().hasUnsavedEdits());
    expectDialogsKeepChangedBytes(record);
}

// A copy that would change nothing, or is not asked for, is no edit.
TEST_F(WindowCopyTest, CopyingNothingMarksNothing)
{
    struct Case {
        const char* what;
        const char* tab;
        const char* item;
        std::function<void(QWidget*)> fill;
        const char* message;  // the message box shown instead of a dialog
    };
    const Case cases[] = {
        {"onto an input already alike", "Wejścia", tarnik::window_text::kCopyInputSettings,
         [](QWidget* dialog) { tick(dialog, "copyTarget1"); }, nullptr},
        {"no target ticked", "Wejścia", tarnik::window_text::kCopyInputSettings, [](QWidget*) {},
         nullptr},
        {"no user with a number", "numery telefonów", tarnik::window_text::kNotifyLike, nullptr,
         tarnik::window_text::kNoUserWithNumber},
    };
    SettingsRecord record = tarnik::startupSettings();
    record.timerPod[1] = record.timerPod[0];
    record.timerTorBuf[1] = record.timerTorBuf[0];
    for (int r = 0; r < tarnik::kReactions; ++r) {
        record.numberWeRe[1][r] = record.numberWeRe[0][r];
        record.workWeRe[1][r] = record.workWeRe[0][r];
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open(record, c.tab);
        const SettingsRecord before = f.window().settings();
        if (c.message) {
            tarnik::test::SeenMessage seen;
            const auto watcher = tarnik::test::acceptNextMessage(seen);
            editItem(c.item)->trigger();
            EXPECT_EQ(seen.text, text(c.message));
        } else {
            runDialog(editItem(c.item), c.fill);
        }
        EXPECT_FALSE(f.window().hasUnsavedEdits());
        EXPECT_EQ(std::memcmp(&before, &f.window().settings(), sizeof before), 0);
    }
}

TEST_F(WindowCopyTest, ARowsContextMenuCopiesThatRow)
{
    open(tarnik::startupSettings(), "Wejścia");
    auto& copying = f.window().copying();
    struct Case {
        const char* control;
        QWidget* grid;
        InputPlace entry;
    };
    const Case cases[] = {
        {"BB_ConfigNumerWe3Re2", copying.inputsGrid(), {false, 3}},
        {"ETSMS_We1_Re1", copying.inputsGrid(), {false, 1}},
        {"SEtimerPod4", copying.inputsGrid(), {false, 4}},
        {"BB_ConfigNumerSpecWe5Re1", copying.specialGrid(), {true, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        auto* pages = f.get<QTabWidget>("PageControl2");
        pages->setCurrentIndex(c.entry.special ? 3 : 2);
        QApplication::processEvents();
        QWidget* control = f.get<QWidget>(c.control);
        const auto found =
            tarnik::WindowCopy::entryAt(c.grid, control->mapTo(c.grid, control->rect().center()));
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(*found, c.entry);
    }
    // Above the first row no row is meant.
    EXPECT_FALSE(tarnik::WindowCopy::entryAt(copying.inputsGrid(), QPoint(1, -5)).has_value());

    // The row's item opens the dialog with that row as the source, among the rows its
    // page shows.
    QStringList offered;
    QString source;
    tarnik::test::ModalWatcher watcher([&](QWidget* dialog) {
        auto* sources = dialog->findChild<QComboBox*>(QStringLiteral("copySource"));
        for (int i = 0; i < sources->count(); ++i)
            offered << sources->itemText(i);
        source = sources->currentText();
        dialog->close();
    });
    copying.copyInputClick(InputPlace{true, 5});
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Wejście sabotażowe"),
                                    QStringLiteral("Wejście blokujące")}));
    EXPECT_EQ(source, QStringLiteral("Wejście blokujące"));
}

// The copy's rules for output-reaction bytes are the dialog's: opened on any byte and
// confirmed untouched, it stores what confirmedOutputReaction says.
TEST_F(WindowCopyTest, OutputReactionRuleIsTheDialogs)
{
    tarnik::TFconfigNumberWeRe& dialog = *f.forms.FconfigNumberWeRe;
    for (int b = 0; b < 256; ++b) {
        const auto stored = static_cast<std::uint8_t>(b);
        dialog.setFromByte(stored);
        EXPECT_EQ(dialog.resultByte(), tarnik::confirmedOutputReaction(stored)) << b;
    }
}

}  // namespace
