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

using testing::ModalWatcher;

class WindowReactionTest : public QObject {
    Q_OBJECT

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
            dialog
                ->findChild<QAbstractButton*>(ok ? QStringLiteral("BitBtn1")
                                                 : QStringLiteral("BitBtn2"))
                ->click();
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

private slots:
    void init()
    {
        fixture_ = std::make_unique<WindowFixture>();
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
    }

    void cleanup() { fixture_.reset(); }

    void everyVisibleReactionButtonOpensADialog()
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
            ModalWatcher watcher([](QWidget* dialog) {
                dialog->findChild<QAbstractButton*>(QStringLiteral("BitBtn2"))->click();
            });
            button->click();
            QVERIFY2(watcher.fired(), qPrintable(button->objectName()));
        }
        QCOMPARE(opened, 16 + 16 + 4 + 4 + 4);
    }

    void inputSevenReactionTwoIsEditedAndTitled()
    {
        window().settings().numberWeRe[6][1] = 0x80;
        const SettingsRecord before = window().settings();
        const QString title = press("BB_ConfigNumerWe7Re2", true, [](QWidget* d) {
            box(d, "ChBNoActiv")->setChecked(false);
            box(d, "ChBOFFWY2iN")->setChecked(true);
        });
        QCOMPARE(title, QStringLiteral("konfig wejscia 7 reakcji 2"));
        SettingsRecord expected = before;
        expected.numberWeRe[6][1] = 0x40;
        QVERIFY(std::memcmp(&expected, &window().settings(), sizeof expected) == 0);
    }

    void blockingInputByteSurvivesTheDialogAndTheNextCollect()
    {
        window().settings().numberSpecWeRe[4][1] = 0x09;
        window().binding().ShowSettings();
        bool onlySwitchOn = true;
        press("BB_ConfigNumerSpecWe5Re2", true, [&](QWidget* d) {
            for (QCheckBox* b : d->findChildren<QCheckBox*>())
                if (b->isVisible() &&
                    b->isChecked() != (b->objectName() == QStringLiteral("ChBONwy1IN")))
                    onlySwitchOn = false;
        });
        QVERIFY(onlySwitchOn);
        QCOMPARE(window().settings().numberSpecWeRe[4][1], std::uint8_t{0x09});
        window().binding().CollectSettings();  // CHB_funkcjaczaswy carries bit 0 back
        QCOMPARE(window().settings().numberSpecWeRe[4][1], std::uint8_t{0x09});
    }

    void usersComeFromTheWindowsEditsNotTheRecord()
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
        QCOMPARE(label, QStringLiteral("Anna"));
        QVERIFY(!user3Enabled);
        QCOMPARE(window().settings().workWeRe[1][0], std::uint8_t{0x03});
    }

    void outputConfirmationHidesTheClipColumnAndKeepsTheBits()
    {
        fixture_->edit("Enruser3")->clear();
        window().settings().workSpecWeRe[1][0] = 0xFF;
        bool clipShown = true;
        const QString title = press("BBConfigWorkSpecWe2Re1", true, [&](QWidget* d) {
            clipShown = d->findChild<QWidget*>(QStringLiteral("Label6"))->isVisible();
        });
        QCOMPARE(title, QStringLiteral("Reakcja 1 wyjścia 2"));
        QVERIFY(!clipShown);
        QCOMPARE(window().settings().workSpecWeRe[1][0], std::uint8_t{0xFF});
        QCOMPARE(press("BBConfigWorkSpecWe3Re2", false),
                 QStringLiteral("Reakcja 2 Wejścia sabotażowego"));
    }
};

}  // namespace tarnik

QTEST_MAIN(tarnik::WindowReactionTest)
#include "window_reaction_test.moc"
