// The main window and the overview on a common laptop screen, 1366 x 768, at 100 % and 125 %
// display scaling (the screen comes from the offscreen platform's configuration; the scale expected
// is given in TARNIK_TEST_SCALE). The window must open inside the screen's available area and can
// be made smaller; the COM box, both buttons, the tabs and at least three rows of the information
// list always stay in view, while the pages scroll inside the tab control.

#include <QCheckBox>
#include <QHeaderView>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "app/main_window_overview.h"
#include "app/overview_view.h"
#include "app/window_fit.h"
#include "window_fixture.h"

namespace {

double expectedScale()
{
    const QByteArray scale = qgetenv("TARNIK_TEST_SCALE");
    return scale.isEmpty() ? 1.0 : scale.toDouble();
}

class WindowFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window()));
    }

    QRect available() { return f.window().screen()->availableGeometry(); }

    // `widget`'s rectangle on the screen, cut to what its window and every
    // enclosing scroll area leave visible.
    static QRect visiblePart(const QWidget* widget)
    {
        QRect visible = widget->rect();
        for (const QWidget* w = widget; !w->isWindow(); w = w->parentWidget()) {
            visible.translate(w->pos());
            visible &= w->parentWidget()->rect();
        }
        return visible.translated(widget->window()->geometry().topLeft());
    }

    void expectInView(const char* name)
    {
        const QWidget* widget = f.get<QWidget>(name);
        const QRect onScreen(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        EXPECT_EQ(visiblePart(widget), onScreen) << name << " is cut";
        EXPECT_TRUE(available().contains(onScreen)) << name << " is off the available area";
    }

    int infoRowsShown()
    {
        auto* list = f.get<QListWidget>("ListBox1");
        f.window().addInfoLine("wiersz", true);
        const int rows = list->viewport()->height() / list->sizeHintForRow(0);
        return rows;
    }

    void expectControlsInView()
    {
        for (const char* name : {"CBcom", "Bprogramuj", "BBload", "ListBox1"})
            expectInView(name);
        auto* tabs = f.get<QTabWidget>("PageControl2");
        const QTabBar* bar = tabs->tabBar();
        const QRect barOnScreen(bar->mapToGlobal(QPoint(0, 0)), bar->size());
        EXPECT_TRUE(available().contains(barOnScreen)) << "tabs off the available area";
        EXPECT_EQ(visiblePart(bar), barOnScreen) << "tabs cut";
        EXPECT_GE(infoRowsShown(), 3);
    }

    WindowFixture f;
};

TEST_F(WindowFit, ScreenIsTheConfiguredLaptop)
{
    const QSize expected(qRound(1366 / expectedScale()), qRound(768 / expectedScale()));
    const QSize screen = f.window().screen()->geometry().size();
    EXPECT_LE(std::abs(screen.width() - expected.width()), 1) << screen.width();
    EXPECT_LE(std::abs(screen.height() - expected.height()), 1) << screen.height();
}

TEST_F(WindowFit, OpensInsideTheAvailableArea)
{
    EXPECT_TRUE(available().contains(f.window().frameGeometry()))
        << f.window().frameGeometry().width() << "x" << f.window().frameGeometry().height();
    expectControlsInView();
}

TEST_F(WindowFit, CanBeMadeSmallerAndKeepsItsControlsInView)
{
    const QSize opened = f.window().size();
    f.window().resize(1, 1);  // as small as it goes
    QApplication::processEvents();
    const QSize smallest = f.window().size();
    EXPECT_LT(smallest.width(), opened.width());
    EXPECT_LT(smallest.height(), opened.height());
    expectControlsInView();
    // the page in front scrolls instead of being cut
    auto* tabs = f.get<QTabWidget>("PageControl2");
    auto* page = qobject_cast<QScrollArea*>(tabs->currentWidget());
    ASSERT_NE(page, nullptr);
    EXPECT_GT(page->verticalScrollBar()->maximum(), 0);
    EXPECT_GE(page->widget()->height(), page->widget()->minimumSizeHint().height());
}

// Where the screen is wide enough for the window's preferred width (a 1366-pixel
// screen at 100 % is), no page scrolls sideways at the opening size, whether or
// not the screen cuts the height; every scroll area of every page is looked at.
TEST_F(WindowFit, NoPageScrollsSidewaysWhereTheScreenIsWideEnough)
{
    const bool wideEnough = f.window().width() >= f.window().sizeHint().width();
    if (expectedScale() == 1.0) {
        ASSERT_TRUE(wideEnough) << f.window().width() << " < " << f.window().sizeHint().width();
    }
    if (!wideEnough)
        GTEST_SKIP() << "the screen is narrower than the window's preferred width";
    auto* tabs = f.get<QTabWidget>("PageControl2");
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QTest::qWait(0);  // the page shown is laid out
        QList<QScrollArea*> areas = tabs->widget(i)->findChildren<QScrollArea*>();
        if (auto* page = qobject_cast<QScrollArea*>(tabs->widget(i)))
            areas << page;
        for (const QScrollArea* area : areas) {
            EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0)
                << tabs->tabText(i).toStdString() << ": " << area->objectName().toStdString()
                << " scrolls sideways";
        }
    }
}

// "Przegląd konfiguracji" on the same screen: inside the available area with its
// switches, buttons and at least three lines of warnings in view; at 100 % every
// one of its rows without scrolling; the events in view when it scrolls sideways.
class OverviewFit : public WindowFit {
protected:
    void SetUp() override
    {
        WindowFit::SetUp();
        f.action("PrzegladKonfiguracji")->trigger();
        view = f.window().overview().view();
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    }

    void expectWidgetInView(const QWidget* widget, const char* what)
    {
        const QRect onScreen(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        EXPECT_EQ(visiblePart(widget), onScreen) << what << " is cut";
        EXPECT_TRUE(available().contains(onScreen)) << what << " is off the available area";
    }

    tarnik::OverviewWindow* view = nullptr;
};

TEST_F(OverviewFit, OpensInsideTheAvailableAreaWithEveryRowWhereThereIsRoom)
{
    EXPECT_TRUE(available().contains(view->frameGeometry()))
        << view->frameGeometry().width() << "x" << view->frameGeometry().height();
    expectWidgetInView(view->hideUnusedBox(), "the switch");
    expectWidgetInView(view->showCodesBox(), "the codes' tick");
    expectWidgetInView(view->findChild<QPushButton*>(QStringLiteral("copyOverview")), "copy");
    QListWidget* warnings = view->warningList();
    expectWidgetInView(warnings, "the warnings");
    EXPECT_GE(warnings->viewport()->height(), 3 * warnings->fontMetrics().lineSpacing());

    // Rows as high as a line of text.
    QTableView* table = view->table();
    EXPECT_LE(table->verticalHeader()->defaultSectionSize(), table->fontMetrics().height() + 4);
    const int rows = table->model()->rowCount();
    ASSERT_EQ(rows, static_cast<int>(view->overview().rows.size()));
    if (expectedScale() == 1.0) {
        EXPECT_EQ(table->verticalScrollBar()->maximum(), 0)
            << "rows in view: " << table->viewport()->height() / table->rowHeight(0) << " of "
            << view->height() << " px, preferred " << view->preferredSize().height() << ", screen "
            << available().height();
        EXPECT_GE(table->viewport()->height(), rows * table->rowHeight(0));
    }
}

TEST_F(OverviewFit, TheEventsStayInViewWhenTheTableScrollsSideways)
{
    QTableView* table = view->table();
    // The columns as wide as a long name makes them.
    f.edit("Eosoba1")->setText(QStringLiteral("Przedsiębiorstwo Handlowo-Usługowe Kowalski"));
    QApplication::processEvents();
    QApplication::processEvents();
    ASSERT_GT(table->horizontalScrollBar()->maximum(), 0) << "the table does not scroll sideways";
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    QHeaderView* events = table->verticalHeader();
    expectWidgetInView(events, "the events");
    EXPECT_EQ(events->logicalIndexAt(QPoint(1, 1)), 0);
    EXPECT_GE(events->width(), events->sectionSizeHint(0));
}

TEST(WindowFitRule, CutsToTheRoomLeftByPanelAndFrameButNotBelowTheMinimum)
{
    const QRect belowPanel(0, 0, 1366, 728);  // a 40-pixel panel at the bottom
    const QMargins frame(4, 30, 4, 4);
    EXPECT_EQ(tarnik::fittedWindowSize({871, 722}, {400, 300}, belowPanel, frame), QSize(871, 694));
    EXPECT_EQ(tarnik::fittedWindowSize({1600, 900}, {400, 300}, belowPanel, frame),
              QSize(1358, 694));
    EXPECT_EQ(tarnik::fittedWindowSize({871, 722}, {400, 300}, QRect(0, 0, 300, 200), frame),
              QSize(400, 300));
    // centred with its frame, on an area that need not start at the origin
    EXPECT_EQ(tarnik::centredWindowPosition({800, 600}, QRect(100, 50, 1000, 700), frame),
              QPoint(100 + (1000 - 808) / 2, 50 + (700 - 634) / 2));
}

}  // namespace
