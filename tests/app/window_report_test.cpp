// "Plik → Drukuj raport ...": the report of what the window shows, its secrets masked
// unless the tick asks for them, and its PDF.

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>

#include "app/window_report.h"
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
