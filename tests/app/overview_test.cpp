// "Przegląd konfiguracji" on the program's own main window: the table shows what
// the window shows, follows its edits, and leads back to the dialog that edits a row.

#include <gtest/gtest.h>

#include <array>
#include <set>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "app/focus_setting.h"
#include "app/main_window_overview.h"
#include "app/overview_view.h"
#include "editor/binding/settings_binding.h"
#include "editor/dialogs/reaction_target.h"
#include "modal_watcher.h"
#include "model/effective_settings.h"
#include "model/reaction_bits.h"
#include "model/reaction_overview.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"
#include "random_records.h"
#include "window_fixture.h"

namespace tarnik {
namespace {

using C = OverviewColumns;
using test::ModalWatcher;

class OverviewTest : public ::testing::Test {
protected:
    std::unique_ptr<WindowFixture> fixture_;

    TGlownaF& window() { return fixture_->window(); }
    OverviewWindow& view() { return *window().overview().view(); }

    void SetUp() override
    {
        fixture_ = std::make_unique<WindowFixture>();
        window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        fixture_->action("PrzegladKonfiguracji")->trigger();
        ASSERT_NE(window().overview().view(), nullptr);
        ASSERT_TRUE(view().isVisible());
    }
    void TearDown() override { fixture_.reset(); }

    // Lets the overview catch up with the window.
    void settle()
    {
        QApplication::processEvents();
        QApplication::processEvents();
    }

    // Double-clicks a cell of the table and records the title of the dialog it
    // opens, closing it with `change` applied and OK, or with "Anuluj".
    QString doubleClick(int row, int column, bool ok = false,
                        const std::function<void(QWidget*)>& change = {})
    {
        QTableView* table = view().table();
        const QModelIndex index = table->model()->index(row, column);
        table->scrollTo(index);
        // The events are the rows' headings.
        QWidget* clicked = table->viewport();
        QPoint at = table->visualRect(index).center();
        if (column == C::kEvent) {
            clicked = table->verticalHeader()->viewport();
            at =
                QPoint(clicked->width() / 2, table->verticalHeader()->sectionViewportPosition(row) +
                                                 table->verticalHeader()->sectionSize(row) / 2);
        }
        QString title;
        ModalWatcher watcher([&](QWidget* dialog) {
            title = dialog->windowTitle();
            if (change)
                change(dialog);
            test::closeReactionDialog(dialog, ok);
        });
        QTest::mouseClick(clicked, Qt::LeftButton, {}, at);
        QTest::mouseDClick(clicked, Qt::LeftButton, {}, at);
        settle();
        return watcher.fired() ? title : QString();
    }

    int rowOf(OverviewEvent event, int entry, int reaction)
    {
        const auto& rows = view().overview().rows;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].event == event && rows[i].entry == entry && rows[i].reaction == reaction)
                return static_cast<int>(i);
        return -1;
    }

    QString cellText(int row, int column)
    {
        const QAbstractItemModel* model = view().table()->model();
        return model->data(model->index(row, column)).toString();
    }
};

TEST_F(OverviewTest, TableShowsTheWindowsSettingsCellByCell)
{
    test::RecordGenerator draw(20);
    for (int round = 0; round < 8; ++round) {
        const SettingsRecord record = draw.record();
        UserDirectory users{};
        users.entries[round % kUsers].osoba.assign("Osoba " + std::to_string(round));
        window().users() = users;
        window().binding().ShowUserDirectory(users);
        window().showSettings(record);
        settle();

        const ReactionOverview expected = reactionOverview(effectiveSettings(record), users);
        const QAbstractItemModel* model = view().table()->model();
        ASSERT_EQ(model->rowCount(), static_cast<int>(expected.rows.size()));
        ASSERT_EQ(model->columnCount(), C::kCount);
        for (int c = 0; c < C::kCount; ++c) {
            QStringList lines;
            for (const std::string& line : overviewHeadingLines(expected, c))
                lines << QString::fromStdString(line);
            EXPECT_EQ(model->headerData(c, Qt::Horizontal).toString(), lines.join('\n'))
                << round << " column " << c;
        }
        for (int r = 0; r < model->rowCount(); ++r) {
            const OverviewRow& row = expected.rows[static_cast<std::size_t>(r)];
            // The codes stay masked until "Pokaż kody" is ticked.
            for (int c = 0; c < C::kCount; ++c)
                EXPECT_EQ(model->data(model->index(r, c)).toString().toStdString(),
                          overviewCell(row, c, false))
                    << round << " " << row.label << " column " << c;
            EXPECT_EQ(model->headerData(r, Qt::Vertical).toString().toStdString(), row.label);
            if (!row.active) {
                EXPECT_EQ(model->headerData(r, Qt::Vertical, Qt::ForegroundRole),
                          QVariant(view().palette().brush(QPalette::Disabled, QPalette::Text)))
                    << round << " " << row.label;
            }
        }
        // The events head the rows, so that they stay when the table scrolls sideways.
        EXPECT_TRUE(view().table()->isColumnHidden(C::kEvent));
        EXPECT_TRUE(view().table()->verticalHeader()->isVisible());
    }
}

TEST_F(OverviewTest, ADoubleClickOpensTheDialogThatEditsTheCell)
{
    struct Case {
        OverviewEvent event;
        int entry;
        int reaction;
        int column;
        const char* title;
    };
    const Case cases[] = {
        {OverviewEvent::Input, 3, 2, C::kOutput1, "konfig wejscia 3 reakcji 2"},
        {OverviewEvent::Input, 3, 2, C::kFirstUser + 3, "Reakcje Wejscie:3 Reakcja:2"},
        {OverviewEvent::Input, 8, 1, C::kEvent, "konfig wejscia 8 reakcji 1"},
        {OverviewEvent::SpecialInput, 5, 2, C::kOutput2, "wejście blokujące reakcja 2"},
        {OverviewEvent::SpecialInput, 3, 1, C::kFirstUser, "Reakcja 1 Wejścia sabotażowego"},
        {OverviewEvent::Confirmation, 2, 1, C::kFirstUser, "Reakcja 1 wyjścia 2"},
    };
    auto* pages = fixture_->get<QTabWidget>("PageControl2");
    for (const Case& c : cases) {
        pages->setCurrentIndex(0);
        const int row = rowOf(c.event, c.entry, c.reaction);
        ASSERT_GE(row, 0);
        EXPECT_EQ(doubleClick(row, c.column), QString::fromUtf8(c.title)) << c.title;
        EXPECT_EQ(pages->tabText(pages->currentIndex()).toStdString(),
                  view().overview().rows[static_cast<std::size_t>(row)].page);
    }
}

TEST_F(OverviewTest, AnEditInADialogShowsInTheOverview)
{
    const int row = rowOf(OverviewEvent::Input, 3, 2);
    ASSERT_EQ(cellText(row, C::kOutput1), QString());
    doubleClick(row, C::kOutput1, true, [](QWidget* dialog) {
        dialog->findChild<QCheckBox*>(QStringLiteral("ChBNoActiv"))->setChecked(false);
        dialog->findChild<QCheckBox*>(QStringLiteral("ChBONwy1IN"))->setChecked(true);
    });
    EXPECT_EQ(cellText(row, C::kOutput1), QString::fromUtf8(kSymbolOn));
    EXPECT_TRUE(view().overview().rows[static_cast<std::size_t>(row)].active);

    // An edit on a page: the text, and a user's name in the headings.
    fixture_->edit("ETSMS_We3_Re2")->setText(QStringLiteral("Alarm w garażu"));
    fixture_->edit("Eosoba2")->setText(QStringLiteral("Zenon"));
    settle();
    EXPECT_EQ(cellText(row, C::kText), QStringLiteral("Alarm w garażu"));
    EXPECT_TRUE(view()
                    .table()
                    ->model()
                    ->headerData(C::kFirstUser + 2, Qt::Horizontal)
                    .toString()
                    .startsWith(QStringLiteral("Zenon\n")));
}

TEST_F(OverviewTest, CopyGivesTheTableAsTabSeparatedTextWithTheActiveRowsMarked)
{
    window().settings().numberWeRe[1][0] = switchOnBit(1);
    window().showSettings(window().settings());
    settle();
    QApplication::clipboard()->clear();
    view().findChild<QAbstractButton*>(QStringLiteral("copyOverview"))->click();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, view().tableText());
    const QStringList lines = copied.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const auto& rows = view().overview().rows;
    ASSERT_EQ(lines.size(), 1 + static_cast<int>(rows.size()));
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Zdarzenie\tAktywne\tWyjście 1\tWyjście 2\t")));
    for (const QString& line : lines)
        EXPECT_EQ(line.count(QLatin1Char('\t')), C::kCount) << line.toStdString();
    for (std::size_t r = 0; r < rows.size(); ++r)
        EXPECT_EQ(lines[static_cast<int>(r) + 1].section(QLatin1Char('\t'), 1, 1),
                  QString::fromUtf8(rows[r].active ? kActiveYes : kActiveNo))
            << rows[r].label;
    const int input2 = rowOf(OverviewEvent::Input, 2, 1);
    EXPECT_TRUE(lines[input2 + 1].startsWith(QStringLiteral("Wejście 2 / podanie masy\ttak\t▲\t")))
        << lines[input2 + 1].toStdString();
}

TEST_F(OverviewTest, CodesAreMaskedInTheTableAndItsCopyUntilShown)
{
    fixture_->get<QCheckBox>("ChBFlags_1")->setChecked(true);  // "załącz/wyłącz wyjście 2 SMSsem"
    fixture_->edit("EZalWy2")->setText(QStringLiteral("Q7"));
    fixture_->edit("EwylWy2")->setText(QStringLiteral("J3"));
    settle();
    const int row = rowOf(OverviewEvent::SmsControl, 2, 0);
    QCheckBox* show = view().showCodesBox();
    ASSERT_FALSE(show->isChecked());
    struct Step {
        bool shown;
        const char* cell;
    };
    for (const Step& step : {Step{false, "Kod załączenia: ****, Kod wyłączenia: ****"},
                             Step{true, "Kod załączenia: Q7, Kod wyłączenia: J3"},
                             Step{false, "Kod załączenia: ****, Kod wyłączenia: ****"}}) {
        show->setChecked(step.shown);
        EXPECT_EQ(cellText(row, C::kText), QString::fromUtf8(step.cell));
        view().copyTable();
        const QString copied = QApplication::clipboard()->text();
        EXPECT_TRUE(copied.contains(QString::fromUtf8(step.cell))) << step.cell;
        EXPECT_EQ(copied.contains(QStringLiteral("Q7")), step.shown);
        EXPECT_EQ(copied.contains(QStringLiteral("J3")), step.shown);
    }
}

TEST_F(OverviewTest, TheSwitchHidesEventsWithoutReactionAndUsersWithoutNumber)
{
    SettingsRecord record = startupSettings();
    for (int u = 0; u < kUsers; ++u)
        record.nrUser[u].assign(u == 0 ? "+48601000001" : "");
    record.numberWeRe[0][0] = switchOnBit(1);  // active
    record.workWeRe[1][0] = smsBit(1);         // active
    // User 3 has no number but is told: a warning, so its columns stay.
    record.workWeRe[2][1] = smsBit(3);
    record.smsWeRe[2][1].assign("Alarm");
    // No reaction, yet contradictory: a warning, so its row stays.
    record.numberWeRe[3][0] = kNoReaction | switchOffBit(2);
    window().showSettings(record);
    settle();
    QTableView* table = view().table();
    const auto& rows = view().overview().rows;
    const auto shownRows = [&] {
        std::vector<std::string> shown;
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (!table->isRowHidden(static_cast<int>(r)))
                shown.push_back(rows[r].label);
        return shown;
    };
    const auto shownUsers = [&] {
        std::vector<int> users;
        for (int u = 1; u <= kUsers; ++u) {
            const int sms = C::kFirstUser + 2 * (u - 1);
            EXPECT_EQ(table->isColumnHidden(sms), table->isColumnHidden(sms + 1)) << u;
            if (!table->isColumnHidden(sms))
                users.push_back(u);
        }
        return users;
    };
    ASSERT_EQ(shownRows().size(), rows.size());

    view().hideUnusedBox()->setChecked(true);
    std::vector<std::string> expected;
    for (const OverviewRow& row : rows)
        if (row.active ||
            (row.event == OverviewEvent::Input && row.entry == 4 && row.reaction == 1))
            expected.push_back(row.label);
    EXPECT_EQ(shownRows(), expected);
    EXPECT_EQ(shownUsers(), (std::vector<int>{1, 3}));
    // The copy holds what the table shows.
    const QStringList lines = view().tableText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + static_cast<int>(expected.size()));
    EXPECT_EQ(lines[0].count(QLatin1Char('\t')), C::kCount - 4);
    EXPECT_TRUE(lines.last().startsWith(QString::fromStdString(expected.back() + "\t")));

    // An edit that gives user 2 a number shows its columns at once.
    fixture_->edit("Enruser2")->setText(QStringLiteral("+48601000002"));
    settle();
    EXPECT_EQ(shownUsers(), (std::vector<int>{1, 2, 3}));

    view().hideUnusedBox()->setChecked(false);
    EXPECT_EQ(shownRows().size(), rows.size());
    EXPECT_EQ(shownUsers(), (std::vector<int>{1, 2, 3, 4}));
}

// Settings that raise one warning each, and where the overview shows it.
struct WarningCase {
    const char* rule;
    const char* key;
    std::function<void(SettingsRecord&)> set;
    // The cells marked for it: the row's event, entry and reaction, and the column.
    std::vector<std::array<int, 4>> cells;
    // What fixes it: the control focused, or the reaction dialog activation opens.
    const char* control;
    const char* dialog = nullptr;
    // The columns whose heading is marked (a user's number).
    std::vector<int> headings = {};
};

std::array<int, 4> cell(OverviewEvent event, int entry, int reaction, int column)
{
    return {static_cast<int>(event), entry, reaction, column};
}

const std::vector<WarningCase>& warningCases()
{
    using E = OverviewEvent;
    static const std::vector<WarningCase> cases = {
        {"brak-numeru",
         "workWeRe[1][1]",
         [](SettingsRecord& r) {
             r.nrUser[1].assign("");
             r.workWeRe[0][0] = smsBit(2) | clipBit(2);
             r.smsWeRe[0][0].assign("Alarm");
         },
         {cell(E::Input, 1, 1, C::kFirstUser + 2), cell(E::Input, 1, 1, C::kFirstUser + 3)},
         "BBConfigWorkWe1Re1",
         "Reakcje Wejscie:1 Reakcja:1"},
        {"sprzeczne-wyjscie",
         "numberWeRe[3][2]",
         [](SettingsRecord& r) { r.numberWeRe[2][1] = switchOnBit(1) | switchOffBit(1); },
         {cell(E::Input, 3, 2, C::kOutput1)},
         "BB_ConfigNumerWe3Re2",
         "konfig wejscia 3 reakcji 2"},
        {"otwarty-clip",
         "clipNotVerif",
         [](SettingsRecord& r) { r.clipNotVerif = clipToggleBit(2); },
         {cell(E::ClipFromUnknown, 0, 0, C::kOutput2)},
         "ChBClipNotVerif5"},
        {"raport-bez-numeru",
         "clipVerif",
         [](SettingsRecord& r) {
             r.nrUser[0].assign("");
             r.clipVerif = kForwardUnknownSms;
         },
         {cell(E::UnidentifiedSms, 0, 0, C::kFirstUser), cell(E::UnidentifiedSms, 0, 0, C::kText)},
         "ChbClipVerif7"},
        {"pusty-sms",
         "smsWeRe[5][1]",
         [](SettingsRecord& r) {
             r.workWeRe[4][0] = smsBit(1);
             r.smsWeRe[4][0].assign("");
         },
         {cell(E::Input, 5, 1, C::kText)},
         "ETSMS_We5_Re1"},
        {"kod-sms",
         "zalWyCode[2]",
         [](SettingsRecord& r) {
             r.flags |= optionBit(Option::SmsOutput2);
             r.zalWyCode[1][0] = 'A';
             r.zalWyCode[1][1] = 0;
             r.wylWyCode[1][0] = 'B';
             r.wylWyCode[1][1] = 'C';
         },
         {cell(E::SmsControl, 2, 0, C::kOutput2), cell(E::SmsControl, 2, 0, C::kText)},
         "EZalWy2"},
        {"numer-krajowy",
         "nrUser[3]",
         [](SettingsRecord& r) { r.nrUser[2].assign("601000003"); },
         {},
         "Enruser3",
         nullptr,
         {C::kFirstUser + 4, C::kFirstUser + 5}},
        {"pin", "pin", [](SettingsRecord& r) { r.pin.assign("12"); }, {}, "EPin"},
    };
    return cases;
}

class OverviewWarningTest : public OverviewTest {
protected:
    // Shows the case's settings (on numbered users with no other warning) and
    // returns the index of its warning in the list.
    int raise(const WarningCase& c)
    {
        SettingsRecord record = startupSettings();
        for (int u = 0; u < kUsers; ++u)
            record.nrUser[u].assign("+4860100000" + std::to_string(u + 1));
        c.set(record);
        window().showSettings(record);
        settle();
        const auto& warnings = view().shownWarnings();
        for (std::size_t i = 0; i < warnings.size(); ++i)
            if (warnings[i].rule == c.rule && warnings[i].key == c.key)
                return static_cast<int>(i);
        ADD_FAILURE() << "no warning " << c.rule << " on " << c.key;
        return -1;
    }

    void click(int warning, bool twice)
    {
        QListWidget* list = view().warningList();
        list->scrollToItem(list->item(warning));
        const QPoint at = list->visualItemRect(list->item(warning)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        settle();
    }
};

TEST_F(OverviewWarningTest, CellsBehindAWarningAreMarkedAndTellItsRule)
{
    const QAbstractItemModel* model = view().table()->model();
    for (const WarningCase& c : warningCases()) {
        const int warning = raise(c);
        ASSERT_GE(warning, 0);
        const OverviewWarning& shown = view().shownWarnings()[static_cast<std::size_t>(warning)];
        const QString tip = QString::fromStdString(shown.sentence + " [" + c.rule + "]");
        std::set<std::array<int, 4>> marked;
        std::set<int> markedRows;
        for (int r = 0; r < model->rowCount(); ++r)
            for (int col = C::kEvent + 1; col < C::kCount; ++col) {
                const QModelIndex index = model->index(r, col);
                const QString cellTip = model->data(index, Qt::ToolTipRole).toString();
                // Marked exactly where some warning is told.
                EXPECT_EQ(model->data(index, Qt::BackgroundRole).isValid(), !cellTip.isEmpty());
                if (cellTip.contains(tip)) {
                    const OverviewRow& row = view().overview().rows[static_cast<std::size_t>(r)];
                    marked.insert(cell(row.event, row.entry, row.reaction, col));
                    markedRows.insert(r);
                }
            }
        const std::set<std::array<int, 4>> expected(c.cells.begin(), c.cells.end());
        EXPECT_EQ(marked, expected) << c.rule;
        std::vector<int> headings;
        for (int col = C::kEvent + 1; col < C::kCount; ++col)
            if (model->headerData(col, Qt::Horizontal, Qt::ToolTipRole).toString().contains(tip)) {
                headings.push_back(col);
                EXPECT_TRUE(model->headerData(col, Qt::Horizontal, Qt::BackgroundRole).isValid());
            }
        EXPECT_EQ(headings, c.headings) << c.rule;
        // The event heading of a marked row tells it too.
        for (int r : markedRows)
            EXPECT_TRUE(
                model->headerData(r, Qt::Vertical, Qt::ToolTipRole).toString().contains(tip))
                << c.rule;
    }
}

TEST_F(OverviewWarningTest, ChoosingAWarningFocusesTheControlThatFixesIt)
{
    auto* pages = fixture_->get<QTabWidget>("PageControl2");
    for (const WarningCase& c : warningCases()) {
        const int warning = raise(c);
        ASSERT_GE(warning, 0);
        pages->setCurrentIndex(pages->count() - 1);
        fixture_->edit("Eosoba1")->setFocus();
        // A click: the page, and the control (a reaction byte's button) focused.
        click(warning, false);
        QWidget* focused = window().focusWidget();
        ASSERT_NE(focused, nullptr) << c.rule;
        EXPECT_EQ(focused->objectName().toLower(), QString::fromLatin1(c.control).toLower())
            << c.rule;
        EXPECT_TRUE(pages->currentWidget()->isAncestorOf(focused)) << c.rule;
        if (!c.dialog)
            continue;
        // Activated: the reaction dialog that edits the byte opens.
        QString title;
        ModalWatcher watcher([&](QWidget* dialog) {
            title = dialog->windowTitle();
            test::closeReactionDialog(dialog, false);
        });
        click(warning, true);
        EXPECT_EQ(title, QString::fromUtf8(c.dialog)) << c.rule;
    }
}

// Every setting the window shows has a control that edits it: its own, the box of
// each of its bits, or the button of its reaction dialog.
TEST_F(OverviewTest, EveryShownSettingHasTheControlThatEditsIt)
{
    for (const SettingEntry& entry : settingsCatalogue()) {
        if (entry.hidden)
            continue;
        QWidget* control = settingEditor(window(), entry.key, 0);
        ASSERT_NE(control, nullptr) << entry.key;
        if (const auto target = reactionTargetOfSetting(entry.key)) {
            EXPECT_EQ(parseReactionButton(control->objectName()).has_value(), true) << entry.key;
            EXPECT_EQ(reactionButtonName(*parseReactionButton(control->objectName())),
                      reactionButtonName(*target))
                << entry.key;
            continue;
        }
        if (entry.kind != SettingKind::BitSet)
            continue;
        for (const BitMeaning& meaning : entry.bits) {
            if (!meaning.shown)
                continue;
            auto* box = qobject_cast<QCheckBox*>(
                settingEditor(window(), entry.key, static_cast<std::uint8_t>(1u << meaning.bit)));
            ASSERT_NE(box, nullptr) << entry.key << " bit " << meaning.bit;
            EXPECT_EQ(box->text().trimmed().toStdString(), meaning.caption)
                << entry.key << " bit " << meaning.bit;
        }
    }
}

}  // namespace
}  // namespace tarnik
