// "Plik → Drukuj raport ...": the report of what the window shows, its secrets masked
// unless the tick asks for them, and its PDF.

#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>

#include "app/window_report.h"
#include "modal_watcher.h"
#include "window_fixture.h"

TEST(WindowReportTest, ReportsWhatTheWindowShowsWithSecretsOnlyWhenAsked)
{
    WindowFixture f;
    ASSERT_NE(f.action("DrukujRaport"), nullptr);
    f.edit("EPin")->setText(QStringLiteral("8642"));
    f.edit("Enruser2")->setText(QStringLiteral("+48601777888"));
    f.edit("Eosoba2")->setText(QStringLiteral("Żaneta Łęcka"));
    const struct {
        bool showSecrets;
        bool pinShown;
    } cases[] = {{false, false}, {true, true}};
    for (const auto& c : cases) {
        const QString html = f.window().report().reportHtml(c.showSecrets);
        EXPECT_TRUE(html.contains(QStringLiteral("+48601777888")));
        EXPECT_TRUE(html.contains(QStringLiteral("Żaneta Łęcka")));
        EXPECT_EQ(html.contains(QStringLiteral("8642")), c.pinShown);
        EXPECT_EQ(html.contains(QStringLiteral("****")), !c.pinShown);
    }
    // Nothing the window shows changes.
    EXPECT_EQ(f.edit("EPin")->text(), QStringLiteral("8642"));

    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("raport.pdf"));
    f.window().report().saveReportPdf(pdf, false);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
}

// "Zapisz jako PDF ..." heads the preview's tool bar, so a laptop's screen never hides it
// in the overflow; the dialog offers the settings file's name with ".pdf", and a name typed
// without the extension gets it.
TEST(WindowReportTest, SavePdfIsInReachAndNamesTheFile)
{
    WindowFixture f;
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("szkoła.zvn"));
    f.window().saveSettingsFile(file);
    f.window().setDialogFolder(folder.path());
    EXPECT_EQ(f.window().report().suggestedPdfName(),
              folder.filePath(QStringLiteral("szkoła.pdf")));
    // A site named in the hand-over details names the PDF, with no folder hidden in it.
    const struct {
        const char* site;
        const char* pdf;
    } sites[] = {{"Szkoła nr 3", "Szkoła nr 3.pdf"},
                 {"Dom/Kowalskich\\stary\tbudynek", "Dom_Kowalskich_stary_budynek.pdf"},
                 {"   ", "szkoła.pdf"}};
    for (const auto& c : sites) {
        f.window().report().setHandOverDetails(QString::fromUtf8(c.site), {}, {});
        EXPECT_EQ(f.window().report().suggestedPdfName(), folder.filePath(QString::fromUtf8(c.pdf)))
            << c.site;
    }
    f.window().report().setHandOverDetails({}, {}, {});

    // The hand-over details come first; the preview follows them.
    bool reachable = false;
    std::unique_ptr<tarnik::test::ModalWatcher> previewWatcher;
    const auto previewAction = [&](QWidget* preview) {
        preview->resize(1366, 768);
        auto* tools = preview->findChild<QToolBar*>();
        ASSERT_NE(tools, nullptr);
        QAction* pdf = preview->findChild<QAction*>(QStringLiteral("savePdf"));
        ASSERT_NE(pdf, nullptr);
        EXPECT_EQ(tools->actions().value(0), pdf);
        QWidget* button = tools->widgetForAction(pdf);
        reachable = button && button->isVisible() && tools->rect().contains(button->geometry());
        preview->close();
    };
    tarnik::test::ModalWatcher details([&](QWidget* dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("handOverDetails"));
        dialog->findChild<QLineEdit*>(QStringLiteral("site"))->setText(QStringLiteral("Szkoła"));
        dialog->findChild<QLineEdit*>(QStringLiteral("installer"))
            ->setText(QStringLiteral("Jan Kowalski"));
        previewWatcher = std::make_unique<tarnik::test::ModalWatcher>(previewAction);
        static_cast<QDialog*>(dialog)->accept();
    });
    f.action("DrukujRaport")->trigger();
    EXPECT_TRUE(details.fired());
    ASSERT_NE(previewWatcher, nullptr);
    EXPECT_TRUE(previewWatcher->fired());
    EXPECT_TRUE(reachable);
    // The details are in the report, with the file's name and date.
    const QString html = f.window().report().reportHtml(false);
    EXPECT_TRUE(html.contains(QStringLiteral("Obiekt: <b>Szkoła</b>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Instalator: <b>Jan Kowalski</b>")));
    EXPECT_TRUE(html.contains(QStringLiteral("szkoła.zvn (zapisany ")));

    // Cancelled details open no preview.
    std::unique_ptr<tarnik::test::ModalWatcher> unexpected;
    tarnik::test::ModalWatcher cancel([&](QWidget* dialog) {
        unexpected = std::make_unique<tarnik::test::ModalWatcher>([](QWidget* w) { w->close(); });
        static_cast<QDialog*>(dialog)->reject();
    });
    f.action("DrukujRaport")->trigger();
    EXPECT_TRUE(cancel.fired());
    EXPECT_FALSE(unexpected && unexpected->fired());

    const struct {
        const char* typed;
        const char* saved;
    } names[] = {{"raport", "raport.pdf"},
                 {"raport.pdf", "raport.pdf"},
                 {"raport.PDF", "raport.PDF"},
                 {"raport.zvn", "raport.zvn.pdf"}};
    for (const auto& n : names)
        EXPECT_EQ(tarnik::withPdfExtension(QString::fromUtf8(n.typed)), QString::fromUtf8(n.saved));
}
