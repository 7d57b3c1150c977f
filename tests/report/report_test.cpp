// The report's HTML: one acceptance test per event that does something, for records of
// every kind a file can bring; times as the window's labels mean them; bit sets in
// words; the events without a reaction named in one line.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

#include "model/effective_settings.h"
#include "model/reaction_bits.h"
#include "model/reaction_overview.h"
#include "model/value_ranges.h"
#include "random_records.h"
#include "report/configuration_report.h"

namespace tarnik {
namespace {

// The section under heading `title`, up to the next heading.
QString section(const QString& html, const QString& title)
{
    const qsizetype from = html.indexOf(QStringLiteral("<h2>%1</h2>").arg(title));
    const qsizetype to = html.indexOf(QStringLiteral("<h2>"), from + 1);
    return from < 0 ? QString() : html.mid(from, to < 0 ? -1 : to - from);
}

TEST(ReportAcceptanceTests, OneRowPerEventThatDoesSomething)
{
    test::RecordGenerator draw(41);
    int withRows = 0;
    for (int round = 0; round < 150; ++round) {
        const SettingsRecord record = draw.record();
        const UserDirectory users = draw.users();
        const ReactionOverview overview = reactionOverview(effectiveSettings(record), users);
        const auto active = std::count_if(overview.rows.begin(), overview.rows.end(),
                                          [](const OverviewRow& r) { return r.active; });
        const QString tests = section(reportHtml(effectiveSettings(record), users, {}),
                                      QStringLiteral("Próby przy odbiorze"));
        ASSERT_FALSE(tests.isEmpty()) << "round " << round;
        EXPECT_EQ(tests.count(QStringLiteral("<tr class=\"test\">")), active) << "round " << round;
        // Each row says what must follow: no cell of that column is empty.
        static const QRegularExpression emptyExpected(
            QStringLiteral("<tr class=\"test\">(<td>[^<]*</td>){3}<td></td>"));
        EXPECT_FALSE(emptyExpected.match(tests).hasMatch()) << "round " << round;
        withRows += active > 0 ? 1 : 0;
    }
    EXPECT_GT(withRows, 100);
}

TEST(ReportAcceptanceTests, ActionsAndOutcomesDeriveFromTheSettings)
{
    SettingsRecord record = startupSettings();
    UserDirectory users{};
    record.nrUser[1].assign("+48601000222");
    users.entries[1].osoba.assign("Ewa");
    record.numberWeRe[2][1] = switchOnBit(1);  // input 3, "zanik masy"
    record.workWeRe[2][1] = smsBit(2) | clipBit(2);
    record.smsWeRe[2][1].assign("Alarm 3");
    record.timerPod[2] = 10;
    record.workSpecWeRe[0][0] = smsBit(2);  // output 1 switched on: confirmed by SMS
    record.smsSpecWeRe[0][0].assign("Wy1 zal");
    record.clipVerif = clipToggleBit(2);
    const QString html = reportHtml(effectiveSettings(record), users, {});
    const QString tests = section(html, QStringLiteral("Próby przy odbiorze"));
    for (const char* expected :
         {"Zdejmij masę z wejścia 3 (czas reakcji 1,0\u00a0s", "wyjście 1 załącza się",
          "SMS „Alarm 3” do: U2 (Ewa)", "połączenie (CLIP) do: U2 (Ewa)",
          "Załącz wyjście 1 (np. jak w próbie 1)", "SMS „Wy1 zal” do: U2 (Ewa)",
          "Zadzwoń z numeru użytkownika 2 (+48601000222)", "wyjście 2 zmienia stan"})
        EXPECT_TRUE(tests.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(tests.count(QStringLiteral("<tr class=\"test\">")), 3);
    // Who may switch an output by calling.
    EXPECT_TRUE(section(html, QStringLiteral("Sterowanie wyjściami"))
                    .contains(QStringLiteral("użytkownicy z numerem (U2 (Ewa)): zmienia stan")));
}

TEST(ReportReactions, EventsWithoutReactionInOneLine)
{
    SettingsRecord record = startupSettings();
    const struct {
        const char* name;
        void (*change)(SettingsRecord&);
        const char* line;
    } cases[] = {
        {"defaults", [](SettingsRecord&) {}, "<p>Żadne zdarzenie nie wywołuje reakcji.</p>"},
        {"the tamper input", [](SettingsRecord& r) { r.workSpecWeRe[2][0] = smsBit(1); },
         "Bez reakcji: Wejście 1–8, Wejście sabotażowe / zanik masy, Wejście blokujące, "
         "Potwierdzenie reakcji wyjścia / Wyjście 1, Potwierdzenie reakcji wyjścia / Wyjście 2, "
         "Clip od użytkownika, Clip od nieznanego numeru"},
        {"input 3 on ground lost", [](SettingsRecord& r) { r.numberWeRe[2][1] = switchOnBit(1); },
         "Bez reakcji: Wejście 1–2, Wejście 3 / podanie masy, Wejście 4–8, "},
        {"input 1 both",
         [](SettingsRecord& r) {
             r.numberWeRe[0][0] = switchOnBit(1);
             r.numberWeRe[0][1] = switchOnBit(1);
         },
         "Bez reakcji: Wejście 2–8, "},
    };
    for (const auto& c : cases) {
        SettingsRecord changed = record;
        c.change(changed);
        const QString reactions =
            section(reportHtml(effectiveSettings(changed), {}, {}), QStringLiteral("Reakcje"));
        EXPECT_TRUE(reactions.contains(QString::fromUtf8(c.line))) << c.name << "\n"
                                                                   << reactions.toStdString();
    }
}

TEST(ReportValues, TimesInTheUnitsOfTheWindowsLabels)
{
    SettingsRecord record = startupSettings();
    record.timerPod[0] = 10;
    record.timerPod[1] = 5;
    record.timerPod[2] = 255;
    record.timerTorBuf[0] = 6;
    record.testOkr = 24;
    record.callingTimer = 60;
    record.wyOffTimer[1] = 90;
    const QString html = reportHtml(effectiveSettings(record), {}, {});
    for (const char* time : {"1,0 s", "0,5 s", "25,5 s", "60 s", "24 h", "90 s"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(time).replace(u' ', u'\u00a0'))) << time;
    // The captions lose the unit marks the values now carry.
    for (const char* mark : {"[x 0,1s]", "[x 10s]", "[s]", "[h]"})
        EXPECT_FALSE(html.contains(QString::fromUtf8(mark))) << mark;
}

TEST(ReportValues, HiddenBitSetsInWords)
{
    SettingsRecord record = startupSettings();
    record.numberSpecWeRe[3][0] = switchOnBit(2);  // hidden special entry 4
    record.workSpecWeRe[3][0] = smsBit(3);
    const QString html = reportHtml(effectiveSettings(record), {}, {});
    EXPECT_TRUE(html.contains(QStringLiteral("Załącz wyjście 2 (pole ukryte w oknie)")));
    EXPECT_TRUE(html.contains(QStringLiteral("SMS Użytkownik 3 (pole ukryte w oknie)")));
    static const QRegularExpression rawBits(QStringLiteral("[>\\s][01]{8}[<\\s]"));
    EXPECT_FALSE(rawBits.match(html).hasMatch());
}

}  // namespace
}  // namespace tarnik
