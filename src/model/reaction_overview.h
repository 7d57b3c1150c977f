#pragma once

// The reaction overview: every event the module reacts to, one row each, with
// what the event does to the two outputs, which users it tells by SMS or by a
// call, and the SMS text it sends. The rows follow the window's pages: the
// inputs, the special inputs, the confirmations of the outputs, the two CLIP
// groups, the SMS control of the outputs, the periodic report and the
// forwarding of unidentified SMS.
//
// Built from the record the module would receive (the effective record) and the
// User directory as the window collects it; every
// value is read through the settings catalogue, texts with their control
// characters escaped.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/effective_settings.h"

namespace tarnik {

// What an event does to one output; more than one at once only in a record
// the window cannot produce (a foreign file).
struct OutputEffect {
    bool on = false;      // switched on
    bool off = false;     // switched off
    bool toggle = false;  // its state changed

    bool any() const { return on || off || toggle; }
    bool operator==(const OutputEffect&) const = default;
};

enum class OverviewEvent {
    Input,            // entry: input 1..8, reaction: 1 "podanie masy", 2 "zanik masy"
    SpecialInput,     // entry: special entry 3 (tamper) or 5 (blocking), reaction 1 or 2
    Confirmation,     // entry: output 1 or 2, reaction: 1 "załączone", 2 "wyłączone"
    ClipFromUser,     // "Clip od użytkownika"
    ClipFromUnknown,  // "Clip od nieznanego numeru"
    SmsControl,       // entry: output 1 or 2, switched by its SMS codes
    PeriodicReport,   // the report to user 1 every so many hours
    UnidentifiedSms,  // unrecognised SMS forwarded to user 1
};

struct OverviewRow {
    OverviewEvent event = OverviewEvent::Input;
    int entry = 0;      // see OverviewEvent; 0 where it has none
    int reaction = 0;   // 1 or 2 for the reactions of inputs and confirmations; else 0
    std::string label;  // UTF-8, "Wejście 3: zanik masy"
    std::string page;   // the page that holds its settings: "Wejścia"
    // The catalogue keys of the settings the row shows, the one edited first
    // leading (numberWeRe[3][2], workWeRe[3][2], smsWeRe[3][2]).
    std::vector<std::string> keys;

    // Which columns the row's event has at all; the others stay empty.
    bool hasOutputs = false;  // the output effects and the unavailable boxes
    bool hasSms = false;
    bool hasClip = false;

    std::array<OutputEffect, kOutputs> outputs{};
    // Boxes captioned "Opcja niedostępna" that the dialog shows for this event
    // and that are ticked. They are reported as they are, with no meaning.
    int unavailableTicked = 0;
    std::array<bool, kUsers> sms{};
    std::array<bool, kUsers> clip{};
    // The SMS text (UTF-8); for the periodic report its interval. Empty for SMS
    // control, whose codes are below.
    std::string text;
    // SMS control: the switch-on and switch-off codes (UTF-8), empty when unset.
    std::string onCode;
    std::string offCode;

    // The event does something: it switches an output, tells a user or is
    // switched on as an option.
    bool active = false;
};

// The heading of a user's columns: the name from the User directory, or
// "Użytkownik n" when it has none, and the phone number (may be empty).
struct OverviewUser {
    std::string name;
    std::string number;
};

struct ReactionOverview {
    std::array<OverviewUser, kUsers> users;
    std::vector<OverviewRow> rows;
};

ReactionOverview reactionOverview(const EffectiveSettings& record, const UserDirectory& users);

// Symbols of the output columns, explained by overviewLegend().
inline constexpr const char* kSymbolOn = "▲";
inline constexpr const char* kSymbolOff = "▼";
inline constexpr const char* kSymbolToggle = "⇅";
inline constexpr const char* kSymbolUnavailable = "☒";
inline constexpr const char* kSymbolTold = "✓";

// The columns of the overview as a table of text, shared by the window, its
// copy and the printed report.
struct OverviewColumns {
    static constexpr int kEvent = 0;
    static constexpr int kOutput1 = 1;
    static constexpr int kOutput2 = 2;
    static constexpr int kUnavailable = 3;
    static constexpr int kFirstUser = 4;  // SMS of user 1, then CLIP of user 1, ...
    static constexpr int kText = kFirstUser + 2 * kUsers;
    static constexpr int kCount = kText + 1;
};

// A setting a cell shows: its catalogue key and, for a bit set, the bits of it
// the cell shows (0: the whole setting).
struct OverviewSetting {
    std::string key;
    std::uint8_t bits = 0;

    // Whether a finding about `settingKey` (about `someBits` of it, or the whole
    // setting when 0) concerns what this cell shows.
    bool concerns(const std::string& settingKey, std::uint8_t someBits) const
    {
        return key == settingKey && (bits == 0 || someBits == 0 || (bits & someBits) != 0);
    }
    bool operator==(const OverviewSetting&) const = default;
};

// The settings behind a cell, the one that edits it leading; empty for a column
// the row's event does not have. The event column stands for the whole row: the
// settings of its other cells, in column order.
std::vector<OverviewSetting> overviewCellSettings(const OverviewRow& row, int column);

// The heading of a column, in one line ("Jan Nowak +48601000000: SMS").
std::string overviewHeading(const ReactionOverview& overview, int column);
// The heading of a column in lines, for a table header.
std::vector<std::string> overviewHeadingLines(const ReactionOverview& overview, int column);
// A cell's text. Codes are shown as "****" unless `showSecrets`.
std::string overviewCell(const OverviewRow& row, int column, bool showSecrets = true);
// The symbols and what they mean, one line each.
std::vector<std::string> overviewLegend();
// The table as tab-separated lines, the headings first, each line ending in "\n".
std::string overviewAsText(const ReactionOverview& overview, bool showSecrets = true);

// What a copy of the table holds, beyond the plain table.
struct OverviewTextOptions {
    bool showSecrets = true;
    // A column after the event's telling whether the event does something
    // (kActiveHeading: "tak" / "nie").
    bool markActive = false;
    // The rows (indices into the overview's rows) and the columns after the
    // event's, in order; all of them when not given.
    std::optional<std::vector<std::size_t>> rows;
    std::optional<std::vector<int>> columns;
};
inline constexpr const char* kActiveHeading = "Aktywne";
inline constexpr const char* kActiveYes = "tak";
inline constexpr const char* kActiveNo = "nie";
std::string overviewAsText(const ReactionOverview& overview, const OverviewTextOptions& options);

}  // namespace tarnik
