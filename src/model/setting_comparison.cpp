#include "model/setting_comparison.h"

#include <algorithm>
#include <cstdio>

#include "model/codepage.h"
#include "model/conversion.h"
#include "model/effective_settings.h"
#include "text/control_characters.h"

namespace tarnik {

namespace {

std::string quoted(const std::string& cp1250)
{
    return quotedText(fromCp1250(cp1250).toStdString());
}

std::string hexBytes(const DeviceImage& image, const std::vector<std::size_t>& offsets)
{
    std::string text;
    for (const std::size_t at : offsets) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02X", image[at]);
        text += (text.empty() ? "" : " ") + std::string(byte);
    }
    return text;
}

// The boxes whose bits differ, grouped by the place they are found in, places in
// the order of their first box.
void addBoxDifferences(const SettingEntry& entry, int a, int b,
                       std::vector<SettingComparison>& result)
{
    const std::size_t first = result.size();
    for (const BitMeaning& meaning : entry.bits) {
        const bool inA = ((a >> meaning.bit) & 1) != 0;
        const bool inB = ((b >> meaning.bit) & 1) != 0;
        if (inA == inB)
            continue;
        const std::string& place = boxPlace(entry, meaning);
        auto line = std::find_if(result.begin() + static_cast<std::ptrdiff_t>(first), result.end(),
                                 [&](const SettingComparison& c) { return c.label == place; });
        if (line == result.end()) {
            result.push_back({place, {}, {}, true, entry.key});
            line = result.end() - 1;
        }
        const auto add = [&](std::string& value, bool ticked) {
            value +=
                (value.empty() ? "" : ", ") + std::string(ticked ? "+ " : "− ") + meaning.caption;
        };
        add(line->valueA, inA);
        add(line->valueB, inB);
    }
}

// One setting's differing values as lines: a bit set box by box.
void addDifference(const SettingEntry& entry, const SettingValue& a, const SettingValue& b,
                   std::vector<SettingComparison>& result)
{
    if (entry.kind == SettingKind::BitSet && !entry.bits.empty())
        addBoxDifferences(entry, std::get<int>(a), std::get<int>(b), result);
    else
        result.push_back({entry.label, formatSettingValue(entry, a), formatSettingValue(entry, b),
                          false, entry.key});
}

std::string offsetsText(const std::vector<std::size_t>& offsets)
{
    std::string text = offsets.size() == 1 ? "bajt " : "bajty ";
    for (std::size_t i = 0; i < offsets.size(); ++i)
        text += (i ? ", " : "") + std::to_string(offsets[i]);
    return text;
}

}  // namespace

std::string quotedText(std::string_view utf8, std::size_t maxCharacters)
{
    // Cut between characters: a lead byte and its continuation bytes stay together.
    std::size_t end = 0;
    std::size_t characters = 0;
    while (end < utf8.size() && characters < maxCharacters) {
        ++end;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
        ++characters;
    }
    // The quote and the backslash escaped, so the text's own ones cannot end it or read as
    // an escape; control characters as every other output of the tools shows them.
    std::string inner;
    for (const char c : utf8.substr(0, end)) {
        if (c == '"' || c == '\\')
            inner += '\\';
        inner += c;
    }
    return '"' + escapeControlCharacters(inner) + '"' + (end < utf8.size() ? "…" : "");
}

std::string bitSetText(int value)
{
    std::string bits;
    for (int bit = 7; bit >= 0; --bit)
        bits.push_back((value >> bit) & 1 ? '1' : '0');
    return bits;
}

std::string formatSettingValue(const SettingEntry& entry, const SettingValue& value)
{
    if (const int* number = std::get_if<int>(&value))
        return entry.kind == SettingKind::BitSet ? bitSetText(*number) : std::to_string(*number);
    return quoted(std::get<std::string>(value));
}

std::string comparisonLine(const SettingComparison& comparison, const ComparedSides& sides)
{
    if (comparison.boxes)
        return comparison.label + ": " + sides.b + ": " + comparison.valueB;
    return comparison.label + ": " + sides.a + ": " + comparison.valueA + ", " + sides.b + ": " +
           comparison.valueB;
}

std::vector<SettingComparison> compareSettings(const EffectiveSettings& effectiveA,
                                               const UserDirectory& usersA,
                                               const EffectiveSettings& effectiveB,
                                               const UserDirectory& usersB)
{
    const SettingsRecord& recordA = effectiveA.record();
    const SettingsRecord& recordB = effectiveB.record();
    std::vector<SettingComparison> result;
    for (const SettingEntry* entry : differingSettings(recordA, usersA, recordB, usersB))
        addDifference(*entry, readSetting(recordA, usersA, *entry),
                      readSetting(recordB, usersB, *entry), result);
    return result;
}

std::vector<SettingComparison> compareWithModuleImage(const EffectiveSettings& effective,
                                                      const DeviceImage& moduleImage,
                                                      std::size_t byteCount)
{
    const SettingsRecord& record = effective.record();
    DeviceImage expected{};
    SettingsToImage(record, expected);
    SettingsRecord moduleRecord = record;
    ImageToSettings(moduleImage, moduleRecord);
    const UserDirectory noUsers{};

    std::vector<SettingComparison> result;
    for (const ImageDifference& difference :
         differingImageBytes(expected, moduleImage, byteCount)) {
        SettingComparison line{difference.label, {}, {}};
        if (difference.entry) {
            line.key = difference.entry->key;
            const SettingEntry& entry = *difference.entry;
            const SettingValue ours = readSetting(record, noUsers, entry);
            const SettingValue theirs = readSetting(moduleRecord, noUsers, entry);
            if (ours != theirs) {
                addDifference(entry, ours, theirs, result);
                continue;
            }
        }
        line.label += " (" + offsetsText(difference.offsets) + ")";
        line.valueA = hexBytes(expected, difference.offsets);
        line.valueB = hexBytes(moduleImage, difference.offsets);
        result.push_back(std::move(line));
    }
    return result;
}

}  // namespace tarnik
