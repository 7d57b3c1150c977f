#pragma once

// The catalogue of settings: one entry for every setting of the Settings record and
// the User directory, in the order the window's pages show them. Each entry names
// the setting (a stable key and the label the window gives it), says what kind of
// value it holds and where that value lives in its record and in the Device image.
// Comparing, verifying, exporting and importing all go through it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/bit_meanings.h"
#include "model/settings_record.h"

namespace tarnik {

enum class SettingKind {
    Number,  // one byte, 0..255
    BitSet,  // one byte of option bits
    Text,    // a short string: a length byte, then up to maxLength characters
    Code,    // two raw characters; zero bytes mean no code
};

enum class SettingHome { Settings, Users };

// The end of the label of a setting that no control the window shows holds.
inline constexpr const char* kHiddenInWindow = " (niewidoczne w oknie)";

// A run of Device image bytes that carries (part of) a setting.
struct ImageSpan {
    std::size_t offset = 0;
    std::size_t width = 0;
};

struct SettingEntry {
    std::string key;  // the record's field name, 1-based indices: numberWeRe[3][2]
    // UTF-8, the captions leading to it in the window: "Wejścia / Wejście 3 / ...";
    // ending in kHiddenInWindow when no control the window shows holds it.
    std::string label;
    SettingKind kind = SettingKind::Number;
    SettingHome home = SettingHome::Settings;
    std::size_t offset = 0;        // first byte in its record
    std::size_t width = 0;         // bytes in its record (a text: the length byte and characters)
    std::vector<ImageSpan> image;  // empty when the Device image does not carry it
    // Characters of a Text the module receives, when fewer than the field holds (the
    // SIM PIN: four of seven); 0 when it receives them all.
    std::size_t receivedLength = 0;
    // A BitSet's bits, in the order the window shows their boxes.
    BitMeanings bits{};
    bool hidden = false;  // no control the window shows holds it

    // Characters a Text or Code holds at most; 0 for the one-byte kinds.
    std::size_t maxLength() const;
};

// Every setting, in page order.
std::span<const SettingEntry> settingsCatalogue();
const SettingEntry* findSetting(const std::string& key);

// The codes that traces, logs, the history and reports show as "****" unless the user asks:
// the SIM PIN, the SMS access code and the output codes ("zalWyCode[1]").
bool isSecretCode(std::string_view key);
// The phone numbers, which traces and logs hide too: the users' and the SMS centre's.
bool isPhoneNumber(std::string_view key);
// The setting of a key the program itself composes; a missing one is a
// programming error and throws std::logic_error.
const SettingEntry& settingEntry(const std::string& key);
// "numberWeRe[3]", "numberWeRe[3][2]": a key with 1-based indices.
std::string settingKey(const char* field, int i);
std::string settingKey(const char* field, int i, int j);
// A key's parts: the field and its 1-based indices (0 where the key has fewer):
// "numberWeRe[3][2]" gives {"numberWeRe", 3, 2}, "pin" gives {"pin", 0, 0}.
struct SettingKeyParts {
    std::string field;
    int i = 0;
    int j = 0;
};
SettingKeyParts settingKeyParts(const std::string& key);

// Labels are captions joined by kLabelSeparator, the page first.
inline constexpr const char* kLabelSeparator = " / ";
std::vector<std::string> labelParts(const std::string& label);
// Where the window shows a bit's box: its own place, or its setting's label.
const std::string& boxPlace(const SettingEntry& entry, const BitMeaning& meaning);

// A setting's value: a byte for Number and BitSet, the characters (code page 1250)
// for Text and Code.
using SettingValue = std::variant<int, std::string>;

// Texts and codes count only their characters before the first zero byte, as the
// window shows them; texts only up to their length, and only the characters the
// module receives.
SettingValue readSetting(const SettingsRecord& record, const UserDirectory& users,
                         const SettingEntry& entry);
// Stores a value that fits the entry (a byte, or at most maxLength characters).
void writeSetting(SettingsRecord& record, UserDirectory& users, const SettingEntry& entry,
                  const SettingValue& value);

// The entries whose values differ, in page order.
std::vector<const SettingEntry*> differingSettings(const SettingsRecord& recordA,
                                                   const UserDirectory& usersA,
                                                   const SettingsRecord& recordB,
                                                   const UserDirectory& usersB);

// Device image bytes that differ within [0, byteCount), once per setting that carries
// them (in page order) and then once per part of the image that is no setting's (its
// lead-in, checksum and empty bytes, `entry` null). A differing checksum is left out
// when a header byte it sums differs too.
struct ImageDifference {
    const SettingEntry* entry = nullptr;
    std::string label;                 // the setting's label, or the image part's
    std::vector<std::size_t> offsets;  // the differing image bytes
};
std::vector<ImageDifference> differingImageBytes(const DeviceImage& expected,
                                                 const DeviceImage& actual, std::size_t byteCount);

}  // namespace tarnik
