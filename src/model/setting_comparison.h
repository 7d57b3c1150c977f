#pragma once

// Differences between two configurations, one per setting, with both values written
// out as a person reads them: what diff, verify and the window's comparisons show.

#include <string>
#include <string_view>
#include <vector>

#include "model/effective_settings.h"
#include "model/settings_catalogue.h"

namespace tarnik {

struct SettingComparison {
    std::string label;   // UTF-8
    std::string valueA;  // UTF-8
    std::string valueB;  // UTF-8
    // The values list the boxes of a bit set that differ, as each side has them:
    // "+ Załącz wyjście 1, − Opcje nieaktywne" (+ ticked, − not ticked).
    bool boxes = false;
    std::string key = {};  // the setting's key; empty for bytes that are no setting's
};

// What the two sides of a comparison are called in its lines.
struct ComparedSides {
    const char* a;
    const char* b;
};
inline constexpr ComparedSides kTwoFiles{"A", "B"};
inline constexpr ComparedSides kFileAndModule{"plik", "moduł"};

// A text (UTF-8) in double quotes, its quotes and backslashes escaped and its control
// characters shown as escapes ("\n", "\x00"), so that line breaks and control characters
// stay visible: how comparisons and the refusals of an import show a text. More than
// `maxCharacters` characters are cut, and an ellipsis after the closing quote says so.
std::string quotedText(std::string_view utf8, std::size_t maxCharacters = std::string::npos);

// A bit set as eight binary digits, bit 7 first ("10000000").
std::string bitSetText(int value);

// A value as text: a number in decimal, a bit set as eight binary digits (bit 7
// first), a text or code in double quotes with JSON escapes, in UTF-8.
std::string formatSettingValue(const SettingEntry& entry, const SettingValue& value);

// "LABEL: plik: 30, moduł: 1"; the boxes of a bit set as the second side has them,
// "LABEL: moduł: + SMS Użytkownik 1, − CLIP Użytkownik 2".
std::string comparisonLine(const SettingComparison& comparison, const ComparedSides& sides);

// Every setting whose value differs, in page order, between the records two files or
// the window program. A bit set gives one line for each place in the window where
// boxes differ.
std::vector<SettingComparison> compareSettings(const EffectiveSettings& recordA,
                                               const UserDirectory& usersA,
                                               const EffectiveSettings& recordB,
                                               const UserDirectory& usersB);

// What programming `record` writes against what the module holds: the image
// bytes [0, byteCount) of both compared byte for byte, one line per setting that
// carries differing bytes. Values are the record's and the module's as read from its
// image; where those read alike (or the bytes are no setting's) the differing bytes
// are shown in hexadecimal.
std::vector<SettingComparison> compareWithModuleImage(const EffectiveSettings& record,
                                                      const DeviceImage& moduleImage,
                                                      std::size_t byteCount);

}  // namespace tarnik
