#include <gtest/gtest.h>

#include "qt_printers.h"
// The reaction buttons on the program's own main window, as start-up wires them.

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

#include "editor/binding/settings_binding.h"
#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/fconfig_work_we_re.h"
#include "editor/dialogs/reaction_target.h"
#include "modal_watcher.h"
#include "window_fixture.h"

namespace tarnik {

using test::ModalWatcher;

class WindowReactionTest : public ::testing::Test {
protected:
    std::unique_ptr<WindowFixture> fixture_;

    TGlownaF& window() { return fixture_->window(); }

    // Presses a reaction button of the window, looks at the dialog, changes
    // it with `change` and closes it with OK or "Anuluj".
    QString press(const char* button, bool ok, const std::function<void(QWidget*)>& change = {})
    {
        QString title;
        ModalWatcher watcher([&](QWidget* dialog) {
            title = dialog->windowTitle();
            if (change)
                change(dialog);
            test::closeReactionDialog(dialog, ok);
        });
        fixture_->get<QAbstractButton>(button)->click();
        if (!watcher.fired())
            qFatal("no dialog opened for %s", button);
        return title;
    }

    static QCheckBox* box(QWidget* dialog, const char* name)
    {
        return dialog->findChild<QCheckBox*>(QString::fromLatin1(name));
    }

    void SetUp() override
    {
        fixture_ = std::make_unique<WindowFixture>();
        window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    }
    void TearDown() override { fixture_.reset(); }
};

TEST_F(WindowReactionTest, EveryVisibleReactionButtonOpensADialog)
{
    // Visible on its own page: the spare rows of special entries 4 and 6 are not.
    const auto onItsPage = [](QWidget* w) {
        QWidget* page = w;
        while (page->parentWidget() && !qobject_cast<QStackedWidget*>(page->parentWidget()))
            page = page->parentWidget();
        return w->isVisibleTo(page);
    };
    int opened = 0;
    for (QAbstractButton* button : window().findChildren<QAbstractButton*>()) {
        const auto target = parseReactionButton(button->objectName());
        if (!target || !onItsPage(button))
            continue;
        ++opened;
        ModalWatcher watcher([](QWidget* dialog) { test::closeReactionDialog(dialog, false); });
        button->click();
        ASSERT_TRUE(watcher.fired()) << qPrintable(button->objectName());
    }
    ASSERT_EQ(opened, 16 + 16 + 4 + 4 + 4);
}

TEST_F(WindowReactionTest, InputSevenReactionTwoIsEditedAndTitled)
{
    window().settings().numberWeRe[6][1] = 0x80;
    const SettingsRecord before = window().settings();
    const QString title = press("BB_ConfigNumerWe7Re2", true, [](QWidget* d) {
        box(d, "ChBNoActiv")->setChecked(false);
        box(d, "ChBOFFWY2iN")->setChecked(true);
    });
    ASSERT_EQ(title, QStringLiteral("konfig wejscia 7 reakcji 2"));
    SettingsRecord expected = before;
    expected.numberWeRe[6][1] = 0x40;
    ASSERT_TRUE(std::memcmp(&expected, &window().settings(), sizeof expected) == 0);
}

TEST_F(WindowReactionTest, BlockingInputByteSurvivesTheDialogAndTheNextCollect)
{
    window().settings().numberSpecWeRe[4][1] = 0x09;
    window().ShowSettings();
    bool onlySwitchOn = true;
    press("BB_ConfigNumerSpecWe5Re2", true, [&](QWidget* d) {
        for (QCheckBox* b : d->findChildren<QCheckBox*>())
            if (b->isVisible() &&
                b->isChecked() != (b->objectName() == QStringLiteral("ChBONwy1IN")))
                onlySwitchOn = false;
    });
    ASSERT_TRUE(onlySwitchOn);
    ASSERT_EQ(window().settings().numberSpecWeRe[4][1], std::uint8_t{0x09});
    window().CollectSettings();  // CHB_funkcjaczaswy carries bit 0 back
    ASSERT_EQ(window().settings().numberSpecWeRe[4][1], std::uint8_t{0x09});
}

TEST_F(WindowReactionTest, UsersComeFromTheWindowsEditsNotTheRecord)
{
    fixture_->edit("Enruser1")->setText(QStringLiteral("+48600100200"));
    fixture_->edit("Enruser3")->clear();
    fixture_->edit("Eosoba1")->setText(QStringLiteral("Anna"));
    window().settings().workWeRe[1][0] = 0x33;  // users 1 and 3, SMS and call
    QString label;
    bool user3Enabled = true;
    press("BBConfigWorkWe2Re1", true, [&](QWidget* d) {
        label = d->findChild<QLabel*>(QStringLiteral("Luser1"))->text();
        user3Enabled = box(d, "ChBUS3SMS")->isEnabled();
    });
    ASSERT_EQ(label, QStringLiteral("Anna"));
    ASSERT_TRUE(!user3Enabled);
    ASSERT_EQ(window().settings().workWeRe[1][0], std::uint8_t{0x03});
}

TEST_F(WindowReactionTest, OutputConfirmationHidesTheClipColumnAndKeepsTheBits)
{
    fixture_->edit("Enruser3")->clear();
    window().settings().workSpecWeRe[1][0] = 0xFF;
    bool clipShown = true;
    const QString title = press("BBConfigWorkSpecWe2Re1", true, [&](QWidget* d) {
        clipShown = d->findChild<QWidget*>(QStringLiteral("Label6"))->isVisible();
    });
    ASSERT_EQ(title, QStringLiteral("Reakcja 1 wyjścia 2"));
    ASSERT_TRUE(!clipShown);
    ASSERT_EQ(window().settings().workSpecWeRe[1][0], std::uint8_t{0xFF});
    ASSERT_EQ(press("BBConfigWorkSpecWe3Re2", false),
              QStringLiteral("Reakcja 2 Wejścia sabotażowego"));
}

}  // namespace tarnik
