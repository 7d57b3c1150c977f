// Positions the settings file and the module rely on, checked at run time
// through the fields themselves.

#include <gtest/gtest.h>

#include "model/settings_record.h"

namespace tarnik {
namespace {

std::ptrdiff_t offsetIn(const SettingsRecord& r, const void* field)
{
    return static_cast<const std::uint8_t*>(field) - reinterpret_cast<const std::uint8_t*>(&r);
}

TEST(RecordLayout, ArrayItemsLieWhereTheFileFormatPutsThem)
{
    const SettingsRecord r{};
    EXPECT_EQ(offsetIn(r, &r.numberWeRe[0][0]), 41);
    EXPECT_EQ(offsetIn(r, &r.numberWeRe[7][1]), 56);
    EXPECT_EQ(offsetIn(r, &r.workWeRe[0][0]), 57);
    EXPECT_EQ(offsetIn(r, &r.numberSpecWeRe[4][1]), 82);
    EXPECT_EQ(offsetIn(r, &r.workSpecWeRe[5][1]), 100);
    EXPECT_EQ(offsetIn(r, &r.smsWeRe[1][0]), 263);
    EXPECT_EQ(offsetIn(r, &r.smsWeRe[0][1]), 226);
    EXPECT_EQ(offsetIn(r, &r.smsSpecWeRe[5][1]), 1188);
    EXPECT_EQ(offsetIn(r, &r.nrUser[3]), 125 + 3 * 16);
    EXPECT_EQ(offsetIn(r, &r.zalWyCode[1][0]), 27);
    EXPECT_EQ(offsetIn(r, &r.wylWyCode[1][1]), 32);
    EXPECT_EQ(offsetIn(r, &r.alarmTime), 1227);
    EXPECT_EQ(offsetIn(r, &r.spare85[3]), 88);
}

TEST(RecordLayout, UserEntriesAre282BytesApart)
{
    const UserDirectory d{};
    const auto* base = reinterpret_cast<const std::uint8_t*>(&d);
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&d.entries[3].osoba) - base, 3 * 282);
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&d.entries[3].uwagi) - base, 3 * 282 + 31);
}

TEST(RecordLayout, ShortStringCutsLongTextAndKeepsBytesPastIt)
{
    ShortString<30> name{};
    name.assign(std::string(30, 'a'));
    EXPECT_EQ(name.str(), std::string(30, 'a'));

    ShortString<250> note{};
    std::string text;
    while (text.size() < 300)
        text += "line\r\n";
    note.assign(text);
    EXPECT_EQ(note.len, 250);
    EXPECT_EQ(note.str(), text.substr(0, 250));

    note.assign("ab");
    EXPECT_EQ(note.str(), "ab");
    EXPECT_EQ(note.chars[2], 'n');  // old character past the new length stays

    note.len = 255;  // damaged length byte
    EXPECT_EQ(note.str().size(), 250u);
    EXPECT_FALSE(note.lengthValid());
}

}  // namespace
}  // namespace tarnik
