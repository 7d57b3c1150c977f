// The reaction overview: each bit of each reaction byte lands in its own cell of
// its own row, and nothing else changes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "model/reaction_overview.h"
#include "model/settings_catalogue.h"

namespace tarnik {
namespace {

using C = OverviewColumns;

// Every byte the overview reads is cleared: no output reaction, nobody told.
SettingsRecord silentRecord()
{
    SettingsRecord record{};
    for (auto& input : record.numberWeRe)
        for (auto& b : input)
            b = 0x80;
    for (auto& entry : record.numberSpecWeRe)
        for (auto& b : entry)
            b = 0x80;
    return record;
}

const OverviewRow& findRow(const ReactionOverview& overview, OverviewEvent event, int entry,
                           int reaction)
{
    for (const OverviewRow& row : overview.rows)
        if (row.event == event && row.entry == entry && row.reaction == reaction)
            return row;
    throw std::runtime_error("no such row");
}

// The cells of every row that differ from the silent record's.
std::vector<std::string> changedCells(const SettingsRecord& record)
{
    const UserDirectory users{};
    const ReactionOverview silent = reactionOverview(effectiveSettings(silentRecord()), users);
    const ReactionOverview changed = reactionOverview(effectiveSettings(record), users);
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < changed.rows.size(); ++i)
        for (int c = 0; c < C::kCount; ++c)
            if (overviewCell(changed.rows[i], c) != overviewCell(silent.rows[i], c))
                cells.push_back(changed.rows[i].label + " | " + std::to_string(c) + " | " +
                                overviewCell(changed.rows[i], c));
    return cells;
}

std::string cell(const std::string& row, int column, const std::string& text)
{
    return row + " | " + std::to_string(column) + " | " + text;
}

TEST(ReactionOverview, RowsFollowThePages)
{
    const ReactionOverview overview =
        reactionOverview(effectiveSettings(silentRecord()), UserDirectory{});
    std::vector<std::string> labels;
    for (const OverviewRow& row : overview.rows)
        labels.push_back(row.label);
    ASSERT_EQ(labels.size(), 30u);
    EXPECT_EQ(labels[0], "Wejście 1 / podanie masy");
    EXPECT_EQ(labels[15], "Wejście 8 / zanik masy");
    EXPECT_EQ(labels[16], "Wejście sabotażowe / podanie masy");
    EXPECT_EQ(labels[19], "Wejście blokujące / zanik masy");
    EXPECT_EQ(labels[20].find("Wyjście 1 / załączone") != std::string::npos, true) << labels[20];
    EXPECT_EQ(labels[23].find("Wyjście 2 / wyłączone") != std::string::npos, true) << labels[23];
    EXPECT_EQ(labels[24], "Clip od użytkownika");
    EXPECT_EQ(labels[25], "Clip od nieznanego numeru");
    EXPECT_EQ(labels[26], "załącz/wyłącz wyjście 1 SMSsem");
    EXPECT_EQ(labels[27], "załącz/wyłącz wyjście 2 SMSsem");
    EXPECT_EQ(labels[28], "Raport okresowy do użytkownika 1");
    EXPECT_EQ(labels[29], "Niezidentyfikowany SMS");
    for (const OverviewRow& row : overview.rows) {
        ASSERT_FALSE(row.keys.empty()) << row.label;
        for (const std::string& key : row.keys)
            EXPECT_NE(findSetting(key), nullptr) << key;
        EXPECT_EQ(findSetting(row.keys.front())->label.rfind(row.page + " / ", 0), 0u) << row.label;
        EXPECT_FALSE(row.active) << row.label;
    }
}

TEST(ReactionOverview, EachOutputReactionBitHasItsCell)
{
    const std::string input = "Wejście 3 / zanik masy";
    const std::string tamper = "Wejście sabotażowe / podanie masy";
    const std::string blocking = "Wejście blokujące / zanik masy";
    // {{0 for input 3's "zanik masy", else the special entry; the byte}, the cells it changes}
    const std::vector<std::pair<std::pair<int, std::uint8_t>, std::vector<std::string>>> cases = {
        {{0, 0x08}, {cell(input, C::kOutput1, "▲")}},
        {{0, 0x10}, {cell(input, C::kOutput1, "▼")}},
        {{0, 0x20}, {cell(input, C::kOutput2, "▲")}},
        {{0, 0x40}, {cell(input, C::kOutput2, "▼")}},
        {{0, 0x18}, {cell(input, C::kOutput1, "▲▼")}},  // a foreign file's contradiction
        {{0, 0x01}, {cell(input, C::kUnavailable, "☒")}},
        {{0, 0x06}, {cell(input, C::kUnavailable, "☒☒")}},
        {{0, 0x00}, {}},  // nothing chosen: no reaction
        {{0, 0xFF}, {}},  // "Opcje nieaktywne" overrides everything
        {{3, 0x01}, {}},  // the tamper input's report box is hidden
        {{3, 0x02}, {cell(tamper, C::kUnavailable, "☒")}},
        {{3, 0x28}, {cell(tamper, C::kOutput1, "▲"), cell(tamper, C::kOutput2, "▲")}},
        {{5, 0x07}, {}},  // the blocking input shows none of the three
        {{5, 0x41}, {cell(blocking, C::kOutput2, "▼")}},
    };
    for (const auto& [given, expected] : cases) {
        SettingsRecord record = silentRecord();
        const auto [special, byte] = given;
        if (special == 0)
            record.numberWeRe[2][1] = byte;
        else
            record.numberSpecWeRe[special - 1][special == 3 ? 0 : 1] = byte;
        EXPECT_EQ(changedCells(record), expected) << special << " " << int{byte};
        const ReactionOverview overview =
            reactionOverview(effectiveSettings(record), UserDirectory{});
        const OverviewRow& row = special == 0 ? findRow(overview, OverviewEvent::Input, 3, 2)
                                              : findRow(overview, OverviewEvent::SpecialInput,
                                                        special, special == 3 ? 1 : 2);
        EXPECT_EQ(row.active, !expected.empty()) << special << " " << int{byte};
    }
}

TEST(ReactionOverview, EachNotificationBitTellsItsUser)
{
    for (int bit = 0; bit < 8; ++bit) {
        const auto b = static_cast<std::uint8_t>(1u << bit);
        SettingsRecord record = silentRecord();
        record.workWeRe[7][0] = b;      // input 8, "podanie masy"
        record.workSpecWeRe[4][1] = b;  // blocking input, "zanik masy"
        record.workSpecWeRe[1][0] = b;  // output 2 "załączone": SMS only
        std::vector<std::string> expected = {
            cell("Wejście 8 / podanie masy", C::kFirstUser + bit, "✓"),
            cell("Wejście blokujące / zanik masy", C::kFirstUser + bit, "✓")};
        const ReactionOverview overview =
            reactionOverview(effectiveSettings(record), UserDirectory{});
        const OverviewRow& confirmation = findRow(overview, OverviewEvent::Confirmation, 2, 1);
        if (bit % 2 == 0)
            expected.push_back(cell(confirmation.label, C::kFirstUser + bit, "✓"));
        EXPECT_EQ(changedCells(record), expected) << bit;
        EXPECT_EQ(confirmation.active, bit % 2 == 0) << bit;
        EXPECT_TRUE(findRow(overview, OverviewEvent::Input, 8, 1).active);
    }
}

TEST(ReactionOverview, EachClipBitHasItsCell)
{
    const std::string user = "Clip od użytkownika";
    const std::string unknown = "Clip od nieznanego numeru";
    const std::vector<std::pair<int, int>> outputCells = {{C::kOutput1, 0}, {C::kOutput2, 0},
                                                          {C::kOutput1, 1}, {C::kOutput2, 1},
                                                          {C::kOutput1, 2}, {C::kOutput2, 2}};
    const char* symbols[] = {"▲", "▼", "⇅"};
    for (int bit = 0; bit < 8; ++bit) {
        const auto b = static_cast<std::uint8_t>(1u << bit);
        for (const bool fromUser : {true, false}) {
            SettingsRecord record = silentRecord();
            (fromUser ? record.clipVerif : record.clipNotVerif) = b;
            const std::string& row = fromUser ? user : unknown;
            std::vector<std::string> expected;
            if (bit < 6) {
                const auto [column, symbol] = outputCells[static_cast<std::size_t>(bit)];
                expected = {cell(row, column, symbols[symbol])};
            } else if (bit == 6) {
                expected = {cell(row, C::kFirstUser, "✓"), cell(row, C::kText, "raport")};
            } else if (fromUser) {  // unidentified SMS forwarded to user 1: the row comes alive
                expected = {cell("Niezidentyfikowany SMS", C::kFirstUser, "✓")};
            }
            EXPECT_EQ(changedCells(record), expected) << bit << fromUser;
            const ReactionOverview overview =
                reactionOverview(effectiveSettings(record), UserDirectory{});
            const auto event =
                fromUser ? OverviewEvent::ClipFromUser : OverviewEvent::ClipFromUnknown;
            EXPECT_EQ(findRow(overview, event, 0, 0).active, bit < 7) << bit << fromUser;
            EXPECT_EQ(findRow(overview, OverviewEvent::UnidentifiedSms, 0, 0).active,
                      bit == 7 && fromUser);
        }
    }
}

TEST(ReactionOverview, SmsControlAndThePeriodicReportFollowTheirOptions)
{
    SettingsRecord record = silentRecord();
    record.testOkr = 12;
    std::memcpy(record.zalWyCode[1], "Z2", 2);
    record.flags = 0x10;  // the report on, SMS control of output 2 off
    ReactionOverview overview = reactionOverview(effectiveSettings(record), UserDirectory{});
    const OverviewRow* control = &findRow(overview, OverviewEvent::SmsControl, 2, 0);
    EXPECT_FALSE(control->active);
    // The window empties the codes of an output its SMS control is off for.
    EXPECT_EQ(overviewCell(*control, C::kOutput2), "");
    EXPECT_EQ(overviewCell(*control, C::kText), "Kod załączenia: -, Kod wyłączenia: -");
    const OverviewRow& report = findRow(overview, OverviewEvent::PeriodicReport, 0, 0);
    EXPECT_TRUE(report.active);
    EXPECT_EQ(overviewCell(report, C::kText), "raport co 12 h");
    EXPECT_EQ(overviewCell(report, C::kFirstUser), "✓");

    record.flags = 0x02;
    overview = reactionOverview(effectiveSettings(record), UserDirectory{});
    control = &findRow(overview, OverviewEvent::SmsControl, 2, 0);
    EXPECT_TRUE(control->active);
    EXPECT_EQ(overviewCell(*control, C::kOutput2), "▲");
    EXPECT_EQ(overviewCell(*control, C::kOutput1), "");
    EXPECT_EQ(overviewCell(*control, C::kText), "Kod załączenia: Z2, Kod wyłączenia: -");
    EXPECT_EQ(overviewCell(*control, C::kText, false), "Kod załączenia: ****, Kod wyłączenia: -");
    EXPECT_FALSE(findRow(overview, OverviewEvent::SmsControl, 1, 0).active);  // option, no code
    EXPECT_FALSE(findRow(overview, OverviewEvent::PeriodicReport, 0, 0).active);
    // With their options off, the report and the forwarding tell user 1 nothing.
    for (OverviewEvent event : {OverviewEvent::PeriodicReport, OverviewEvent::UnidentifiedSms})
        EXPECT_EQ(overviewCell(findRow(overview, event, 0, 0), C::kFirstUser), "");
}

TEST(ReactionOverview, UsersHeadTheirColumnsAndTextsKeepPolishLetters)
{
    SettingsRecord record = silentRecord();
    record.nrUser[0].assign("+48601000001");
    record.smsWeRe[0][0].assign("W\xB9\xBF \x9Cpi\xEA\ttu");  // "Wąż śpię" and a tab, CP1250
    UserDirectory users{};
    users.entries[1].osoba.assign("J\xF3zef");
    const ReactionOverview overview = reactionOverview(effectiveSettings(record), users);
    EXPECT_EQ(overviewHeading(overview, C::kFirstUser), "Użytkownik 1 (+48601000001): SMS");
    EXPECT_EQ(overviewHeading(overview, C::kFirstUser + 3), "Józef (brak numeru): CLIP");
    EXPECT_EQ(overviewHeadingLines(overview, C::kFirstUser + 2),
              (std::vector<std::string>{"Józef", "brak numeru", "SMS"}));
    EXPECT_EQ(overview.rows[0].text, "Wąż śpię\\ttu");  // a control character escaped

    const std::string text = overviewAsText(overview);
    const std::string header = text.substr(0, text.find('\n'));
    EXPECT_EQ(std::count(header.begin(), header.end(), '\t'), C::kCount - 1);
    EXPECT_EQ(header.rfind("Zdarzenie\tWyjście 1\tWyjście 2\tOpcja niedostępna\t", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 31);
    EXPECT_NE(text.find("\tWąż śpię\\ttu\n"), std::string::npos);
}

}  // namespace
}  // namespace tarnik
