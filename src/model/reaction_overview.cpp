#include "model/reaction_overview.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "model/codepage.h"
#include "model/effective_settings.h"
#include "model/reaction_bits.h"
#include "model/settings_catalogue.h"

namespace tarnik {

namespace {

constexpr const char* kEventHeading = "Zdarzenie";
constexpr const char* kOutputHeading = "Wyjście ";
constexpr const char* kUserFallback = "Użytkownik ";
constexpr const char* kNoNumber = "brak numeru";
constexpr const char* kSmsHeading = "SMS";
constexpr const char* kClipHeading = "CLIP";
constexpr const char* kReportText = "raport";
constexpr const char* kHidden = "****";

// A catalogue label's parts: "Wejścia / Wejście 3 / zanik masy / ..." gives
// {"Wejścia", "Wejście 3", "zanik masy", ...}.
std::vector<std::string> labelPartsOf(const std::string& settingKey)
{
    return labelParts(settingEntry(settingKey).label);
}

// The last caption of the place a bit's box is found in.
std::string boxGroup(const char* settingKey, std::uint8_t mask)
{
    const SettingEntry& entry = settingEntry(settingKey);
    for (const BitMeaning& meaning : entry.bits)
        if (1u << meaning.bit == mask)
            return labelParts(boxPlace(entry, meaning)).back();
    throw std::logic_error(std::string("no box for a bit of ") + settingKey);
}

// The parts between the page and the column: where on its page a reaction is.
std::string placeOnPage(const std::string& settingKey)
{
    const std::vector<std::string> parts = labelPartsOf(settingKey);
    std::string place;
    for (std::size_t i = 1; i + 1 < parts.size(); ++i)
        place += (place.empty() ? "" : kLabelSeparator) + parts[i];
    return place;
}

std::string lastPart(const std::string& settingKey)
{
    return labelPartsOf(settingKey).back();
}

class Reader {
public:
    Reader(const SettingsRecord& record, const UserDirectory& users)
        : record_(record), users_(users)
    {
    }

    std::uint8_t byte(const std::string& settingKey) const
    {
        return static_cast<std::uint8_t>(
            std::get<int>(readSetting(record_, users_, settingEntry(settingKey))));
    }

    // Control characters escaped: a text from a file shows on one line of a cell.
    std::string text(const std::string& settingKey) const
    {
        return readableText(
            std::get<std::string>(readSetting(record_, users_, settingEntry(settingKey))));
    }

private:
    const SettingsRecord& record_;
    const UserDirectory& users_;
};

OverviewRow startRow(OverviewEvent event, int entry, int reaction, std::string label,
                     std::vector<std::string> keys)
{
    OverviewRow row;
    row.event = event;
    row.entry = entry;
    row.reaction = reaction;
    row.label = std::move(label);
    row.page = labelPartsOf(keys.front()).front();
    row.keys = std::move(keys);
    return row;
}

// The output-reaction byte: bit 7 ("Opcje nieaktywne") means no reaction,
// whatever else is set.
void readOutputReaction(OverviewRow& row, std::uint8_t b, std::uint8_t unavailableShown)
{
    row.hasOutputs = true;
    if (b & kNoReaction)
        return;
    for (int n = 1; n <= kOutputs; ++n) {
        OutputEffect& effect = row.outputs[static_cast<std::size_t>(n - 1)];
        effect.on = (b & switchOnBit(n)) != 0;
        effect.off = (b & switchOffBit(n)) != 0;
    }
    row.unavailableTicked = std::popcount(static_cast<unsigned>(b & unavailableShown));
}

void readNotification(OverviewRow& row, std::uint8_t b, bool withClip)
{
    row.hasSms = true;
    row.hasClip = withClip;
    for (int u = 1; u <= kUsers; ++u) {
        const auto i = static_cast<std::size_t>(u - 1);
        row.sms[i] = (b & smsBit(u)) != 0;
        row.clip[i] = withClip && (b & clipBit(u)) != 0;
    }
}

bool anyOf(const std::array<bool, kUsers>& told)
{
    for (bool t : told)
        if (t)
            return true;
    return false;
}

bool switchesOutput(const OverviewRow& row)
{
    return row.outputs[0].any() || row.outputs[1].any();
}

// An input or special-entry reaction: its output byte, notification byte and text.
OverviewRow reactionRow(const Reader& read, OverviewEvent event, int entry, int reaction,
                        bool special, std::uint8_t unavailableShown)
{
    const std::string number =
        settingKey(special ? "numberSpecWeRe" : "numberWeRe", entry, reaction);
    const std::string work = settingKey(special ? "workSpecWeRe" : "workWeRe", entry, reaction);
    const std::string text = settingKey(special ? "smsSpecWeRe" : "smsWeRe", entry, reaction);
    OverviewRow row = startRow(event, entry, reaction, placeOnPage(work), {number, work, text});
    readOutputReaction(row, read.byte(number), unavailableShown);
    readNotification(row, read.byte(work), true);
    row.text = read.text(text);
    row.active =
        switchesOutput(row) || row.unavailableTicked > 0 || anyOf(row.sms) || anyOf(row.clip);
    return row;
}

// An output's confirmation: told by SMS only (the dialog hides its CLIP column,
// and no button edits its output byte).
OverviewRow confirmationRow(const Reader& read, int output, int reaction)
{
    const std::string work = settingKey("workSpecWeRe", output, reaction);
    const std::string text = settingKey("smsSpecWeRe", output, reaction);
    OverviewRow row =
        startRow(OverviewEvent::Confirmation, output, reaction, placeOnPage(work), {work, text});
    readNotification(row, read.byte(work), false);
    row.text = read.text(text);
    row.active = anyOf(row.sms);
    return row;
}

OverviewRow clipRow(const Reader& read, OverviewEvent event, const char* field)
{
    OverviewRow row = startRow(event, 0, 0, lastPart(field), {field});
    const std::uint8_t b = read.byte(field);
    row.hasOutputs = true;
    row.hasSms = true;
    for (int n = 1; n <= kOutputs; ++n) {
        OutputEffect& effect = row.outputs[static_cast<std::size_t>(n - 1)];
        effect.on = (b & clipSwitchOnBit(n)) != 0;
        effect.off = (b & clipSwitchOffBit(n)) != 0;
        effect.toggle = (b & clipToggleBit(n)) != 0;
    }
    // "Odeślij raport do użytkownika 1"
    row.sms[0] = (b & kClipReport) != 0;
    if (row.sms[0])
        row.text = kReportText;
    row.active = switchesOutput(row) || row.sms[0];
    return row;
}

OverviewRow smsControlRow(const Reader& read, int output)
{
    const std::string on = settingKey("zalWyCode", output);
    const std::string off = settingKey("wylWyCode", output);
    OverviewRow row =
        startRow(OverviewEvent::SmsControl, output, 0, optionCaption(smsOutputOption(output)),
                 {on, off, std::string("flags")});
    row.hasOutputs = true;
    row.onCode = read.text(on);
    row.offCode = read.text(off);
    OutputEffect& effect = row.outputs[static_cast<std::size_t>(output - 1)];
    effect.on = !row.onCode.empty();
    effect.off = !row.offCode.empty();
    row.active = (read.byte("flags") & optionBit(smsOutputOption(output))) != 0 && effect.any();
    return row;
}

OverviewRow periodicReportRow(const Reader& read)
{
    OverviewRow row =
        startRow(OverviewEvent::PeriodicReport, 0, 0, boxGroup("flags", optionBit(Option::Report)),
                 {std::string("testOkr"), std::string("flags")});
    row.hasSms = true;
    row.text = std::string(kReportText) + " co " + std::to_string(read.byte("testOkr")) + " h";
    row.active = (read.byte("flags") & optionBit(Option::Report)) != 0;
    // User 1 is told only while the option is on.
    row.sms[0] = row.active;
    return row;
}

OverviewRow unidentifiedSmsRow(const Reader& read)
{
    OverviewRow row =
        startRow(OverviewEvent::UnidentifiedSms, 0, 0, boxGroup("clipVerif", kForwardUnknownSms),
                 {std::string("clipVerif")});
    row.hasSms = true;
    row.active = (read.byte("clipVerif") & kForwardUnknownSms) != 0;
    row.sms[0] = row.active;
    return row;
}

// The "Opcja niedostępna" boxes the output-reaction dialog shows for an input's or
// a special entry's reactions (3 the tamper input, 5 the blocking input).
std::uint8_t unavailableShown(OverviewEvent event, int entry)
{
    if (event == OverviewEvent::Input)
        return kInputUnavailableShown;
    return entry == 3 ? kTamperUnavailableShown : kBlockingUnavailableShown;
}

std::string outputSymbols(const OutputEffect& effect)
{
    std::string symbols;
    if (effect.on)
        symbols += kSymbolOn;
    if (effect.off)
        symbols += kSymbolOff;
    if (effect.toggle)
        symbols += kSymbolToggle;
    return symbols;
}

std::string codeText(const std::string& code, bool showSecrets)
{
    if (code.empty())
        return "-";
    return showSecrets ? code : kHidden;
}

}  // namespace

ReactionOverview reactionOverview(const EffectiveSettings& record, const UserDirectory& users)
{
    const SettingsRecord& effective = record.record();
    const UserDirectory effectiveDirectory = effectiveUsers(users);
    const Reader read(effective, effectiveDirectory);
    ReactionOverview overview;
    for (int u = 1; u <= kUsers; ++u) {
        OverviewUser& user = overview.users[static_cast<std::size_t>(u - 1)];
        user.name = read.text(settingKey("osoba", u));
        if (user.name.empty())
            user.name = kUserFallback + std::to_string(u);
        user.number = read.text(settingKey("nrUser", u));
    }
    std::vector<OverviewRow>& rows = overview.rows;
    for (int k = 1; k <= kInputs; ++k)
        for (int r = 1; r <= kReactions; ++r)
            rows.push_back(reactionRow(read, OverviewEvent::Input, k, r, false,
                                       unavailableShown(OverviewEvent::Input, k)));
    for (int entry : {3, 5})
        for (int r = 1; r <= kReactions; ++r)
            rows.push_back(reactionRow(read, OverviewEvent::SpecialInput, entry, r, true,
                                       unavailableShown(OverviewEvent::SpecialInput, entry)));
    for (int n = 1; n <= kOutputs; ++n)
        for (int r = 1; r <= kReactions; ++r)
            rows.push_back(confirmationRow(read, n, r));
    rows.push_back(clipRow(read, OverviewEvent::ClipFromUser, "clipVerif"));
    rows.push_back(clipRow(read, OverviewEvent::ClipFromUnknown, "clipNotVerif"));
    for (int n = 1; n <= kOutputs; ++n)
        rows.push_back(smsControlRow(read, n));
    rows.push_back(periodicReportRow(read));
    rows.push_back(unidentifiedSmsRow(read));
    return overview;
}

std::vector<std::string> overviewHeadingLines(const ReactionOverview& overview, int column)
{
    using C = OverviewColumns;
    if (column == C::kEvent)
        return {kEventHeading};
    if (column == C::kOutput1 || column == C::kOutput2)
        return {kOutputHeading + std::to_string(column - C::kOutput1 + 1)};
    if (column == C::kUnavailable)
        return {kUnavailableOption};
    if (column == C::kText)
        return {lastPart(settingKey("smsWeRe", 1, 1))};
    if (column < C::kFirstUser || column >= C::kText)
        throw std::out_of_range("no overview column " + std::to_string(column));
    const int i = (column - C::kFirstUser) / 2;
    const OverviewUser& user = overview.users[static_cast<std::size_t>(i)];
    return {user.name, user.number.empty() ? kNoNumber : user.number,
            (column - C::kFirstUser) % 2 == 0 ? kSmsHeading : kClipHeading};
}

std::string overviewHeading(const ReactionOverview& overview, int column)
{
    const std::vector<std::string> lines = overviewHeadingLines(overview, column);
    if (lines.size() == 3)
        return lines[0] + " (" + lines[1] + "): " + lines[2];
    return lines.front();
}

std::string overviewCell(const OverviewRow& row, int column, bool showSecrets)
{
    using C = OverviewColumns;
    if (column == C::kEvent)
        return row.label;
    if (column == C::kOutput1 || column == C::kOutput2)
        return row.hasOutputs
                   ? outputSymbols(row.outputs[static_cast<std::size_t>(column - C::kOutput1)])
                   : std::string();
    if (column == C::kUnavailable) {
        std::string marks;
        for (int i = 0; i < row.unavailableTicked; ++i)
            marks += kSymbolUnavailable;
        return marks;
    }
    if (column == C::kText) {
        if (row.event != OverviewEvent::SmsControl)
            return row.text;
        return lastPart(settingKey("zalWyCode", row.entry)) + ": " +
               codeText(row.onCode, showSecrets) + ", " +
               lastPart(settingKey("wylWyCode", row.entry)) + ": " +
               codeText(row.offCode, showSecrets);
    }
    if (column < C::kFirstUser || column > C::kText)
        throw std::out_of_range("no overview column " + std::to_string(column));
    const auto user = static_cast<std::size_t>((column - C::kFirstUser) / 2);
    const bool smsColumn = (column - C::kFirstUser) % 2 == 0;
    const bool told = smsColumn ? row.hasSms && row.sms[user] : row.hasClip && row.clip[user];
    return told ? kSymbolTold : "";
}

std::vector<OverviewSetting> overviewCellSettings(const OverviewRow& row, int column)
{
    using C = OverviewColumns;
    if (column == C::kEvent) {
        std::vector<OverviewSetting> all;
        for (int c = C::kEvent + 1; c < C::kCount; ++c)
            for (OverviewSetting& setting : overviewCellSettings(row, c))
                if (std::find(all.begin(), all.end(), setting) == all.end())
                    all.push_back(std::move(setting));
        return all;
    }
    if (column < 0 || column >= C::kCount)
        throw std::out_of_range("no overview column " + std::to_string(column));
    const bool outputColumn = column == C::kOutput1 || column == C::kOutput2;
    const int output = column - C::kOutput1 + 1;
    const bool userColumn = column >= C::kFirstUser && column < C::kText;
    const int user = (column - C::kFirstUser) / 2 + 1;
    const bool smsColumn = userColumn && (column - C::kFirstUser) % 2 == 0;
    switch (row.event) {
    case OverviewEvent::Input:
    case OverviewEvent::SpecialInput: {
        const std::string& number = row.keys[0];
        const std::string& work = row.keys[1];
        if (outputColumn)
            return {
                {number, static_cast<std::uint8_t>(switchOnBit(output) | switchOffBit(output))}};
        if (column == C::kUnavailable) {
            const std::uint8_t shown = unavailableShown(row.event, row.entry);
            return shown == 0 ? std::vector<OverviewSetting>{}
                              : std::vector<OverviewSetting>{{number, shown}};
        }
        if (userColumn)
            return {{work, smsColumn ? smsBit(user) : clipBit(user)}};
        return {{row.keys[2]}};
    }
    case OverviewEvent::Confirmation:
        if (smsColumn)
            return {{row.keys[0], smsBit(user)}};
        if (column == C::kText)
            return {{row.keys[1]}};
        return {};
    case OverviewEvent::ClipFromUser:
    case OverviewEvent::ClipFromUnknown:
        if (outputColumn)
            return {{row.keys[0],
                     static_cast<std::uint8_t>(clipSwitchOnBit(output) | clipSwitchOffBit(output) |
                                               clipToggleBit(output))}};
        if ((smsColumn && user == 1) || column == C::kText)
            return {{row.keys[0], kClipReport}};
        return {};
    case OverviewEvent::SmsControl: {
        const OverviewSetting option{"flags", optionBit(smsOutputOption(row.entry))};
        const OverviewSetting on{settingKey("zalWyCode", row.entry)};
        const OverviewSetting off{settingKey("wylWyCode", row.entry)};
        if (outputColumn && output == row.entry)
            return {option, on, off};
        if (column == C::kText)
            return {on, off, option};
        return {};
    }
    case OverviewEvent::PeriodicReport: {
        const OverviewSetting option{"flags", optionBit(Option::Report)};
        const OverviewSetting interval{"testOkr"};
        if (smsColumn && user == 1)
            return {option, interval};
        if (column == C::kText)
            return {interval, option};
        return {};
    }
    case OverviewEvent::UnidentifiedSms:
        if ((smsColumn && user == 1) || column == C::kText)
            return {{"clipVerif", kForwardUnknownSms}};
        return {};
    }
    return {};
}

std::vector<std::string> overviewLegend()
{
    return {
        std::string(kSymbolOn) + " załącza wyjście",
        std::string(kSymbolOff) + " wyłącza wyjście",
        std::string(kSymbolToggle) + " zmienia stan wyjścia",
        std::string(kSymbolUnavailable) + " zaznaczone pole „" + kUnavailableOption + "”",
        std::string(kSymbolTold) + " użytkownik dostaje SMS lub połączenie (CLIP)",
    };
}

std::string overviewAsText(const ReactionOverview& overview, bool showSecrets)
{
    OverviewTextOptions options;
    options.showSecrets = showSecrets;
    return overviewAsText(overview, options);
}

std::string overviewAsText(const ReactionOverview& overview, const OverviewTextOptions& options)
{
    using C = OverviewColumns;
    std::vector<int> columns;
    if (options.columns)
        columns = *options.columns;
    else
        for (int c = C::kEvent + 1; c < C::kCount; ++c)
            columns.push_back(c);
    std::vector<std::size_t> rows;
    if (options.rows)
        rows = *options.rows;
    else
        for (std::size_t r = 0; r < overview.rows.size(); ++r)
            rows.push_back(r);

    // A tab or a line break inside a text would break the table apart.
    const auto flat = [](std::string cell) {
        for (char& ch : cell)
            if (ch == '\t' || ch == '\r' || ch == '\n')
                ch = ' ';
        return cell;
    };
    std::string text;
    const auto line = [&](const std::string& event, const std::string& active, auto cell) {
        text += flat(event);
        if (options.markActive)
            text += "\t" + active;
        for (int c : columns)
            text += "\t" + flat(cell(c));
        text += "\n";
    };
    line(overviewHeading(overview, C::kEvent), kActiveHeading,
         [&](int c) { return overviewHeading(overview, c); });
    for (std::size_t r : rows) {
        const OverviewRow& row = overview.rows.at(r);
        line(row.label, row.active ? kActiveYes : kActiveNo,
             [&](int c) { return overviewCell(row, c, options.showSecrets); });
    }
    return text;
}

}  // namespace tarnik
