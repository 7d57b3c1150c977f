// One judgement of a configuration: for records of every kind a file can bring (stale
// bytes past a zero, bits without a box, damaged lengths, control characters), the
// configuration check that `tarnik-cli check` runs, the warnings under the window's
// overview and the report's warnings section find the same, and none of them carries a
// control character taken from the record.

#include <QListWidget>
#include <QRegularExpression>
#include <QtTest>
#include <gtest/gtest.h>

#include "app/main_window_overview.h"
#include "app/overview_view.h"
#include "editor/binding/settings_binding.h"
#include "model/configuration_check.h"
#include "model/reaction_overview.h"
#include "random_records.h"
#include "report/configuration_report.h"
#include "window_fixture.h"

namespace tarnik {
namespace {

// The report's warnings, one line each as `check` prints them: "PLACE: SENTENCE [ID]".
std::vector<std::string> reportWarnings(const QString& html)
{
    const qsizetype from = html.indexOf(QStringLiteral("<h2>Ostrzeżenia</h2>"));
    const qsizetype to = html.indexOf(QStringLiteral("<h2>"), from + 1);
    const QString section = html.mid(from, to < 0 ? -1 : to - from);
    std::vector<std::string> lines;
    static const QRegularExpression item(QStringLiteral("<li>(.*?)</li>"));
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    for (auto match = item.globalMatch(section); match.hasNext();) {
        // The markup off, and the four characters QString::toHtmlEscaped escapes back.
        QString line = match.next().captured(1).remove(tag);
        line.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        lines.push_back(line.toStdString());
    }
    return lines;
}

// The first line where two lists of warnings part, or empty when they are equal.
std::string firstDifference(const std::vector<std::string>& a, const std::vector<std::string>& b)
{
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i)
        if (i >= a.size() || i >= b.size() || a[i] != b[i])
            return "line " + std::to_string(i) + ":\n  " + (i < a.size() ? a[i] : "(none)") +
                   "\n  " + (i < b.size() ? b[i] : "(none)");
    return {};
}

bool holdsControlCharacter(const std::string& line)
{
    return std::any_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

TEST(OneJudgement, CheckOverviewAndReportFindTheSameForEveryRecord)
{
    WindowFixture fixture;
    TGlownaF& window = fixture.window();
    window.show();
    fixture.action("PrzegladKonfiguracji")->trigger();
    OverviewWindow* view = window.overview().view();
    ASSERT_NE(view, nullptr);

    test::RecordGenerator draw(23);
    int warned = 0;
    for (int round = 0; round < 60; ++round) {
        const SettingsRecord record = draw.record();
        const UserDirectory users = draw.users();
        window.users() = users;
        window.binding().ShowUserDirectory(users);
        window.showSettings(record);
        view->refresh();

        std::vector<std::string> checked;
        for (const CheckWarning& warning : checkConfiguration(effectiveSettings(record), users))
            checked.push_back(warningLine(warning));
        std::vector<std::string> overview;
        QListWidget* list = view->warningList();
        for (int i = 0; i < list->count(); ++i)
            overview.push_back(list->item(i)->text().toStdString());
        const QString html = reportHtml(effectiveSettings(record), users, {});
        const std::vector<std::string> report = reportWarnings(html);

        EXPECT_EQ(firstDifference(overview, checked), "") << "overview, round " << round;
        EXPECT_EQ(firstDifference(report, checked), "") << "report, round " << round;
        for (const std::string& line : checked)
            EXPECT_FALSE(holdsControlCharacter(line)) << "round " << round << ": " << line;
        // The overview's table (its copy) and the whole report: the table's own tabs
        // and line ends, the report's line ends after its tags, and nothing else.
        for (const QString& row : view->tableText().split(QLatin1Char('\n'))) {
            const std::string cells = row.toStdString();
            // Every column, and the mark of the active rows after the event.
            EXPECT_EQ(std::count(cells.begin(), cells.end(), '\t'),
                      row.isEmpty() ? 0 : OverviewColumns::kCount)
                << "round " << round << ": " << cells;
            std::string rest = cells;
            std::erase(rest, '\t');
            EXPECT_FALSE(holdsControlCharacter(rest)) << "round " << round << ": " << cells;
        }
        std::string page = html.toStdString();
        std::erase(page, '\n');
        EXPECT_FALSE(holdsControlCharacter(page)) << "round " << round;
        warned += checked.empty() ? 0 : 1;
    }
    EXPECT_GT(warned, 50);  // the generator's records are far from clean
}

}  // namespace
}  // namespace tarnik
