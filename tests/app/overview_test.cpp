// "Przegląd konfiguracji" on the program's own main window: the table shows what
// the window shows, follows its edits, and leads back to the dialog that edits a row.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QListWidget>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "app/overview_window.h"
#include "app/window_overview.h"
#include "editor/binding/settings_binding.h"
#include "modal_watcher.h"
#include "model/effective_settings.h"
#include "model/reaction_overview.h"
#include "model/settings_catalogue.h"
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
        QString title;
        ModalWatcher watcher([&](QWidget* dialog) {
            title = dialog->windowTitle();
            if (change)
                change(dialog);
            test::closeReactionDialog(dialog, ok);
        });
        const QPoint at = table->visualRect(index).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
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
            for (int c = 0; c < C::kCount; ++c)
                EXPECT_EQ(model->data(model->index(r, c)).toString().toStdString(),
                          overviewCell(row, c))
                    << round << " " << row.label << " column " << c;
            EXPECT_EQ(model->data(model->index(r, 0), Qt::ForegroundRole).isValid(), !row.active)
                << round << " " << row.label;
        }
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

TEST_F(OverviewTest, CopyGivesTheTableAsTabSeparatedText)
{
    QApplication::clipboard()->clear();
    view().findChild<QAbstractButton*>(QStringLiteral("copyOverview"))->click();
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, view().tableText());
    const QStringList lines = copied.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + static_cast<int>(view().overview().rows.size()));
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Zdarzenie\tWyjście 1\tWyjście 2\t")));
    for (const QString& line : lines)
        EXPECT_EQ(line.count(QLatin1Char('\t')), C::kCount - 1) << line.toStdString();
}

TEST_F(OverviewTest, ChoosingAWarningShowsItsPage)
{
    // A user told by SMS without a number: its page is "Wejścia".
    fixture_->edit("Enruser2")->clear();
    window().settings().workWeRe[0][0] = 0x04;
    window().showSettings(window().settings());
    settle();
    QListWidget* list = view().warningList();
    ASSERT_GT(list->count(), 0);
    auto* pages = fixture_->get<QTabWidget>("PageControl2");
    for (int i = 0; i < list->count(); ++i) {
        pages->setCurrentIndex(1);
        const std::string key = view().shownWarnings()[static_cast<std::size_t>(i)].key;
        const std::string label = findSetting(key)->label;
        list->setCurrentRow(i);
        emit list->itemActivated(list->item(i));
        EXPECT_EQ(pages->tabText(pages->currentIndex()).toStdString(),
                  label.substr(0, label.find(" / ")))
            << key;
    }
}

}  // namespace
}  // namespace tarnik
