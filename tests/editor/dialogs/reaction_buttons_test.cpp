#include <gtest/gtest.h>

#include "event_loop.h"
#include "qt_printers.h"
// The reaction buttons of the main window: which byte each edits, what the
// dialogs show for each caller, and that only OK stores.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>
#include <functional>

#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/fconfig_work_we_re.h"
#include "editor/dialogs/output_reaction_bits.h"
#include "editor/dialogs/reaction_buttons.h"
#include "editor/lookup/control_table.h"
#include "modal_watcher.h"
#include "model/settings_catalogue.h"
#include "reaction_pages_fixture.h"

using namespace std::chrono_literals;
using tarnik::test::pumpFor;

namespace tarnik {

using test::ModalWatcher;
using test::ReactionPagesFixture;

namespace {

const QString kUnavailable = QStringLiteral("Opcja niedostępna");
QString unavailable(int blanks)
{
    return kUnavailable + QString(blanks, QLatin1Char(' '));
}

// What the dialog looked like while it was open.
struct Seen {
    QString title;
    std::map<QString, bool> checked, enabled, visible;
    std::map<QString, QString> text;
    QPoint centre;
};

Seen look(QWidget* dialog)
{
    Seen seen;
    seen.title = dialog->windowTitle();
    seen.centre = dialog->frameGeometry().center();
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
        seen.checked[box->objectName()] = box->isChecked();
        seen.enabled[box->objectName()] = box->isEnabled();
        seen.visible[box->objectName()] = box->isVisible();
        seen.text[box->objectName()] = box->text();
    }
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        seen.visible[label->objectName()] = label->isVisible();
        seen.text[label->objectName()] = label->text();
    }
    return seen;
}

}  // namespace

class ReactionButtonsTest : public ::testing::Test {
protected:
    std::unique_ptr<ReactionPagesFixture> window_;
    SettingsRecord record_{};
    TFconfigNumberWeRe* numberDialog_ = nullptr;
    TFConfigWorkWeRe* workDialog_ = nullptr;
    std::unique_ptr<ReactionButtons> buttons_;

    // Presses `button` (through its connection, as a click does), lets
    // `change` act on the open dialog, then presses OK or "Anuluj".
    Seen press(const QString& button, bool ok, const std::function<void(QWidget*)>& change = {})
    {
        Seen seen;
        ModalWatcher watcher([&](QWidget* dialog) {
            seen = look(dialog);
            if (change)
                change(dialog);
            test::closeReactionDialog(dialog, ok);
        });
        window_->button(button)->click();
        if (!watcher.fired())
            qFatal("no dialog opened for %s", qPrintable(button));
        return seen;
    }

    static void tick(QWidget* dialog, const char* name, bool on)
    {
        dialog->findChild<QCheckBox*>(QString::fromLatin1(name))->setChecked(on);
    }

    void SetUp() override
    {
        window_ = std::make_unique<ReactionPagesFixture>();
        numberDialog_ = new TFconfigNumberWeRe(window_.get());
        workDialog_ = new TFConfigWorkWeRe(window_.get());
        record_ = SettingsRecord{};
        buttons_ = std::make_unique<ReactionButtons>(ControlTable(window_.get()), window_.get(),
                                                     record_, *numberDialog_, *workDialog_);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override
    {
        buttons_.reset();
        window_.reset();
    }
};

TEST_F(ReactionButtonsTest, EveryReactionButtonIsConnectedAndTheHiddenOutputButtonsAreNot)
{
    // 16 + 16 input buttons, 8 + 8 special-entry buttons (hidden spare
    // rows included), 4 output confirmations.
    ASSERT_EQ(buttons_->connectedButtons(), 52);
    record_.numberSpecWeRe[0][0] = 0x55;
    QSignalSpy finished(numberDialog_, &QDialog::finished);
    window_->button(QStringLiteral("BB_ConfigNumerSpecWy1Re1"))->click();
    ASSERT_EQ(finished.count(), 0);
}

TEST_F(ReactionButtonsTest, InputButtonEditsItsOwnByteAndTitlesTheDialog)
{
    record_.numberWeRe[6][1] = 0x80;
    const SettingsRecord before = record_;
    const Seen seen = press(QStringLiteral("BB_ConfigNumerWe7Re2"), true, [](QWidget* d) {
        tick(d, "ChBNoActiv", false);
        tick(d, "ChBONwy1IN", true);
    });
    ASSERT_EQ(seen.title, QStringLiteral("konfig wejscia 7 reakcji 2"));
    ASSERT_EQ(record_.numberWeRe[6][1], std::uint8_t{0x08});
    SettingsRecord expected = before;
    expected.numberWeRe[6][1] = 0x08;
    ASSERT_TRUE(std::memcmp(&expected, &record_, sizeof record_) == 0);
}

TEST_F(ReactionButtonsTest, InputDialogOffersTheThreeExtraBoxesAsUnavailable)
{
    const Seen seen = press(QStringLiteral("BB_ConfigNumerWe1Re1"), false);
    for (const char* name : {"ChBTimeRaport", "ChBTimeOFFWy1", "ChBTimeOFFWy2"}) {
        ASSERT_TRUE(seen.visible.at(QString::fromLatin1(name))) << name;
        ASSERT_TRUE(seen.enabled.at(QString::fromLatin1(name))) << name;
    }
    ASSERT_EQ(seen.text.at(QStringLiteral("ChBTimeRaport")), unavailable(14));
    ASSERT_EQ(seen.text.at(QStringLiteral("ChBTimeOFFWy1")), unavailable(6));
    ASSERT_EQ(seen.text.at(QStringLiteral("ChBTimeOFFWy2")), unavailable(4));
}

TEST_F(ReactionButtonsTest, StoredZeroShowsAllClearAndOkStoresNoReaction)
{
    record_.numberWeRe[2][0] = 0x00;
    const Seen seen = press(QStringLiteral("BB_ConfigNumerWe3Re1"), true);
    for (const auto& [name, checked] : seen.checked) {
        ASSERT_TRUE(!checked) << qPrintable(name);
    }
    ASSERT_EQ(record_.numberWeRe[2][0], std::uint8_t{0x80});
}

TEST_F(ReactionButtonsTest, BlockingInputKeepsTheBitsOfItsHiddenBoxes)
{
    record_.numberSpecWeRe[4][1] = 0x09;  // "Załącz wyjście 1" and the report bit
    const Seen seen = press(QStringLiteral("BB_ConfigNumerSpecWe5Re2"), true);
    ASSERT_EQ(seen.title, QStringLiteral("wejście blokujące reakcja 2"));
    ASSERT_TRUE(!seen.visible.at(QStringLiteral("ChBTimeRaport")));
    ASSERT_TRUE(!seen.visible.at(QStringLiteral("ChBTimeOFFWy1")));
    ASSERT_TRUE(!seen.visible.at(QStringLiteral("ChBTimeOFFWy2")));
    ASSERT_EQ(seen.text.at(QStringLiteral("ChBTimeRaport")), unavailable(15));
    for (const auto& [name, checked] : seen.checked)
        if (seen.visible.at(name)) {
            ASSERT_EQ(checked, name == QStringLiteral("ChBONwy1IN"));
        }
    ASSERT_EQ(record_.numberSpecWeRe[4][1], std::uint8_t{0x09});
}

TEST_F(ReactionButtonsTest, TamperInputHidesOnlyTheReportBox)
{
    press(QStringLiteral("BB_ConfigNumerSpecWe5Re1"), false);  // hides the timed boxes
    record_.numberSpecWeRe[2][0] = 0x06;
    const Seen seen = press(QStringLiteral("BB_ConfigNumerSpecWe3Re1"), true);
    ASSERT_EQ(seen.title, QStringLiteral("wejście sabotażowe reakcja 1"));
    ASSERT_TRUE(!seen.visible.at(QStringLiteral("ChBTimeRaport")));
    ASSERT_TRUE(seen.visible.at(QStringLiteral("ChBTimeOFFWy1")));
    ASSERT_TRUE(seen.visible.at(QStringLiteral("ChBTimeOFFWy2")));
    ASSERT_EQ(seen.text.at(QStringLiteral("ChBTimeOFFWy1")), unavailable(6));
    ASSERT_EQ(seen.text.at(QStringLiteral("ChBTimeOFFWy2")), unavailable(4));
    ASSERT_TRUE(seen.checked.at(QStringLiteral("ChBTimeOFFWy1")));
    ASSERT_EQ(record_.numberSpecWeRe[2][0], std::uint8_t{0x06});

    // Reaction 2 leaves the report box's caption as it was.
    const Seen second = press(QStringLiteral("BB_ConfigNumerSpecWe3Re2"), false);
    ASSERT_EQ(second.title, QStringLiteral("wejście sabotażowe reakcja 2"));
    ASSERT_EQ(second.text.at(QStringLiteral("ChBTimeRaport")), unavailable(15));
}

TEST_F(ReactionButtonsTest, InputOpenedAfterASpecialEntryShowsTheExtraBoxesAgain)
{
    press(QStringLiteral("BB_ConfigNumerSpecWe5Re1"), false);
    const Seen seen = press(QStringLiteral("BB_ConfigNumerWe2Re2"), false);
    ASSERT_TRUE(seen.visible.at(QStringLiteral("ChBTimeRaport")));
    ASSERT_TRUE(seen.visible.at(QStringLiteral("ChBTimeOFFWy1")));
    ASSERT_TRUE(seen.visible.at(QStringLiteral("ChBTimeOFFWy2")));
}

TEST_F(ReactionButtonsTest, CancelChangesNothingAndReopeningShowsTheStoredByte)
{
    record_.numberWeRe[0][0] = 0x20;
    record_.workWeRe[0][0] = 0x03;
    window_->userNumber(1)->setText(QStringLiteral("+48600000001"));
    const SettingsRecord before = record_;
    press(QStringLiteral("BB_ConfigNumerWe1Re1"), false, [](QWidget* d) {
        tick(d, "ChBonWy2In", false);
        tick(d, "ChBNoActiv", true);
    });
    press(QStringLiteral("BBConfigWorkWe1Re1"), false,
          [](QWidget* d) { tick(d, "ChBUS1SMS", false); });
    ASSERT_TRUE(std::memcmp(&before, &record_, sizeof record_) == 0);
    const Seen seen = press(QStringLiteral("BB_ConfigNumerWe1Re1"), false);
    ASSERT_TRUE(seen.checked.at(QStringLiteral("ChBonWy2In")));
    ASSERT_TRUE(!seen.checked.at(QStringLiteral("ChBNoActiv")));
}

TEST_F(ReactionButtonsTest, InputNotificationClearsUsersWithoutANumber)
{
    for (int n = 1; n <= 4; ++n)
        window_->userNumber(n)->setText(QStringLiteral("+4860000000%1").arg(n));
    window_->userNumber(3)->clear();
    window_->userName(2)->setText(QStringLiteral("Jan Kowalski"));
    record_.workWeRe[3][0] = 0xFF;
    const Seen seen = press(QStringLiteral("BBConfigWorkWe4Re1"), true);
    ASSERT_EQ(seen.title, QStringLiteral("Reakcje Wejscie:4 Reakcja:1"));
    ASSERT_EQ(seen.text.at(QStringLiteral("Luser1")), QStringLiteral("Użytkownik 1"));
    ASSERT_EQ(seen.text.at(QStringLiteral("Luser2")), QStringLiteral("Jan Kowalski"));
    ASSERT_EQ(seen.text.at(QStringLiteral("Luser4")), QStringLiteral("Użytkownik 4"));
    ASSERT_TRUE(!seen.enabled.at(QStringLiteral("ChBUS3SMS")));
    ASSERT_TRUE(!seen.checked.at(QStringLiteral("ChBUS3SMS")));
    ASSERT_TRUE(!seen.checked.at(QStringLiteral("ChBUS3Clip")));
    ASSERT_TRUE(seen.enabled.at(QStringLiteral("ChBUS4Clip")));
    ASSERT_TRUE(seen.visible.at(QStringLiteral("Label6")));
    ASSERT_EQ(record_.workWeRe[3][0], std::uint8_t{0xCF});
}

TEST_F(ReactionButtonsTest, OutputConfirmationKeepsBitsOfUsersWithoutANumberAndOfHiddenClipBoxes)
{
    for (int n = 1; n <= 4; ++n)
        window_->userNumber(n)->setText(QStringLiteral("+4860000000%1").arg(n));
    window_->userNumber(3)->clear();
    record_.workSpecWeRe[0][1] = 0xFF;
    const Seen seen = press(QStringLiteral("BBConfigWorkSpecWe1Re2"), true);
    ASSERT_EQ(seen.title, QStringLiteral("Reakcja 2 wyjścia 1"));
    ASSERT_TRUE(!seen.visible.at(QStringLiteral("Label6")));
    for (int n = 1; n <= 4; ++n) {
        ASSERT_TRUE(!seen.visible.at(QStringLiteral("ChBUS%1Clip").arg(n)));
    }
    ASSERT_TRUE(!seen.enabled.at(QStringLiteral("ChBUS3SMS")));
    ASSERT_TRUE(seen.checked.at(QStringLiteral("ChBUS3SMS")));
    ASSERT_EQ(record_.workSpecWeRe[0][1], std::uint8_t{0xFF});

    // A ticked SMS box of a user with a number still changes.
    press(QStringLiteral("BBConfigWorkSpecWe2Re1"), true,
          [](QWidget* d) { tick(d, "ChBUS1SMS", true); });
    ASSERT_EQ(record_.workSpecWeRe[1][0], std::uint8_t{0x01});
}

TEST_F(ReactionButtonsTest, ClipColumnReturnsForInputsAfterAnOutputConfirmation)
{
    press(QStringLiteral("BBConfigWorkSpecWe2Re2"), false);
    const Seen input = press(QStringLiteral("BBConfigWorkWe1Re2"), false);
    ASSERT_TRUE(input.visible.at(QStringLiteral("Label6")));
    for (int n = 1; n <= 4; ++n) {
        ASSERT_TRUE(input.visible.at(QStringLiteral("ChBUS%1Clip").arg(n)));
    }
    press(QStringLiteral("BBConfigWorkSpecWe1Re1"), false);
    const Seen special = press(QStringLiteral("BBConfigWorkSpecWe5Re2"), false);
    ASSERT_EQ(special.title, QStringLiteral("Reakcja 2 Wejścia blokującego"));
    ASSERT_TRUE(special.visible.at(QStringLiteral("ChBUS2Clip")));
    ASSERT_EQ(press(QStringLiteral("BBConfigWorkSpecWe3Re1"), false).title,
              QStringLiteral("Reakcja 1 Wejścia sabotażowego"));
}

TEST_F(ReactionButtonsTest, DialogOpensCentredOnTheMainWindow)
{
    window_->move(40, 30);
    pumpFor(20ms);
    const Seen seen = press(QStringLiteral("BBConfigWorkWe2Re1"), false);
    const QPoint offset = seen.centre - window_->frameGeometry().center();
    ASSERT_TRUE(offset.manhattanLength() <= 4)
        << qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y()));
}

TEST_F(ReactionButtonsTest, HandlerRefusesAButtonOfAnotherFamily)
{
    ASSERT_THROW(
        buttons_->BB_ConfigNumerWe1Re1Click(window_->button(QStringLiteral("BBConfigWorkWe1Re1"))),
        std::invalid_argument);
    ASSERT_THROW(buttons_->BBConfigWorkSpecWe1Re1Click(nullptr), std::invalid_argument);
}

TEST_F(ReactionButtonsTest, AMissingUserEditIsReportedInAMessageBoxNotThrownIntoTheEventLoop)
{
    delete window_->userName(2);
    test::SeenMessage message;
    auto closer = test::acceptNextMessage(message);
    window_->button(QStringLiteral("BBConfigWorkWe1Re1"))->click();
    ASSERT_TRUE(closer->fired());
    ASSERT_TRUE(message.text.contains(QStringLiteral("Eosoba2")));
}

// Comparisons name a reaction's boxes by the catalogue's words: each is the caption
// of a box the dialog shows for that reaction, and a bit marked hidden has no
// visible box there.
TEST_F(ReactionButtonsTest, CatalogueCaptionsAreTheBoxesTheDialogShows)
{
    const std::pair<const char*, const char*> reactions[] = {
        {"BB_ConfigNumerWe3Re2", "numberWeRe[3][2]"},
        {"BB_ConfigNumerSpecWe3Re1", "numberSpecWeRe[3][1]"},
        {"BB_ConfigNumerSpecWe5Re2", "numberSpecWeRe[5][2]"},
        {"BBConfigWorkWe1Re1", "workWeRe[1][1]"},
        {"BBConfigWorkSpecWe3Re1", "workSpecWeRe[3][1]"},
        {"BBConfigWorkSpecWe1Re2", "workSpecWeRe[1][2]"},
    };
    for (const auto& [button, key] : reactions) {
        const SettingEntry* entry = findSetting(key);
        ASSERT_NE(entry, nullptr) << key;
        const Seen seen = press(QString::fromLatin1(button), false);
        const bool outputs = std::string_view(key).starts_with("number");
        for (const BitMeaning& meaning : entry->bits) {
            QString box;
            QString caption;
            if (outputs) {
                for (const ReactionBox& reaction : kOutputReactionBoxes)
                    if (reaction.mask == 1u << meaning.bit)
                        box = QString::fromLatin1(reaction.name);
                caption = seen.text.at(box).trimmed();
            } else {
                const int user = meaning.bit / 2 + 1;
                const bool clip = meaning.bit % 2 != 0;
                box = QStringLiteral("ChBUS%1%2").arg(user).arg(clip ? "Clip" : "SMS");
                caption = seen.text.at(clip ? QStringLiteral("Label6") : QStringLiteral("Label5")) +
                          QLatin1Char(' ') + seen.text.at(QStringLiteral("Luser%1").arg(user));
            }
            EXPECT_EQ(seen.visible.at(box), meaning.shown) << key << " bit " << meaning.bit;
            if (meaning.shown) {
                EXPECT_TRUE(QString::fromStdString(meaning.caption).startsWith(caption))
                    << key << " bit " << meaning.bit << ": " << meaning.caption << " / "
                    << caption.toStdString();
            }
        }
    }
}

}  // namespace tarnik
