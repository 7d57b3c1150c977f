// Faults found when the window was tried as a user would: the information list, edit
// boxes that hold zero bytes, pasting into limited and filtered edits, notes that travel
// byte for byte, and where the window and the about box open.

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "about/about_box.h"
#include "editor/binding/settings_binding.h"
#include "window_fixture.h"

namespace {

using tarnik::SettingsRecord;

// How many rows of the list lie wholly in its viewport.
int wholeRowsShown(QListWidget* list)
{
    int shown = 0;
    for (int i = 0; i < list->count(); ++i)
        if (list->viewport()->rect().contains(list->visualItemRect(list->item(i))))
            ++shown;
    return shown;
}

struct ShownWindow : WindowFixture {
    ShownWindow()
    {
        window().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
    }
    QListWidget* list() { return get<QListWidget>("ListBox1"); }
};

// ---- the information list

TEST(InfoList, ShowsTheNewestSevenLinesAndTheSerialLine)
{
    ShownWindow f;
    for (int i = 1; i <= 9; ++i)
        f.window().addInfoLine("wiersz " + std::to_string(i), true);
    f.window().addInfoLine("serial: A123", false);
    ASSERT_EQ(f.list()->count(), 8);
    EXPECT_EQ(wholeRowsShown(f.list()), 8);
}

TEST(InfoList, AlwaysScrollsToItsNewestLine)
{
    ShownWindow f;
    for (int i = 1; i <= 20; ++i) {
        f.window().addInfoLine("serial: " + std::to_string(i), false);
        QListWidgetItem* newest = f.list()->item(f.list()->count() - 1);
        ASSERT_TRUE(f.list()->viewport()->rect().contains(f.list()->visualItemRect(newest)))
            << "line " << i;
    }
}

}  // namespace
