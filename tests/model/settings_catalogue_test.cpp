// The catalogue of settings: it covers every byte the image or the window uses, and
// comparisons built on it find each kind of difference once.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>

#include "model/conversion.h"
#include "model/image_layout.h"
#include "model/setting_comparison.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

std::uint8_t* bytesOf(SettingsRecord& record)
{
    return reinterpret_cast<std::uint8_t*>(&record);
}

// Every short string at its longest, so that each character byte reaches the image.
SettingsRecord fullRecord()
{
    SettingsRecord record = startupSettings();
    record.flags = 0x20;  // programming by SMS allowed, so the access code is sent
    record.pinMod.assign("1234");
    record.pin.assign("1234567");
    record.csms.assign("+48601000310");
    for (auto& number : record.nrUser)
        number.assign("+48601000310");
    for (auto& input : record.smsWeRe)
        for (auto& text : input)
            text.assign(std::string(36, 'x'));
    for (auto& entry : record.smsSpecWeRe)
        for (auto& text : entry)
            text.assign(std::string(36, 'y'));
    return record;
}

TEST(SettingsCatalogue, CoversEveryRecordByteTheImageOrTheWindowUses)
{
    std::vector<bool> covered(sizeof(SettingsRecord), false);
    std::vector<bool> coveredUsers(sizeof(UserDirectory), false);
    for (const SettingEntry& entry : settingsCatalogue()) {
        auto& map = entry.home == SettingHome::Settings ? covered : coveredUsers;
        ASSERT_LE(entry.offset + entry.width, map.size()) << entry.key;
        for (std::size_t i = entry.offset; i < entry.offset + entry.width; ++i) {
            EXPECT_FALSE(map[i]) << entry.key << " overlaps another entry at " << i;
            map[i] = true;
        }
    }
    // A byte the image uses: changing it changes the image.
    const SettingsRecord base = fullRecord();
    DeviceImage baseImage{};
    SettingsToImage(base, baseImage);
    for (std::size_t i = 0; i < sizeof(SettingsRecord); ++i) {
        SettingsRecord changed = base;
        bytesOf(changed)[i] ^= 0x01;
        DeviceImage image{};
        SettingsToImage(changed, image);
        if (image != baseImage) {
            EXPECT_TRUE(covered[i]) << "record byte " << i << " reaches the image";
        }
    }
    // Bytes the window's spin edits show.
    for (const SpinLimits& spin : spinLimits())
        EXPECT_TRUE(covered[spin.recordOffset]) << spin.name;
    // The window shows every name and note.
    for (std::size_t i = 0; i < sizeof(UserDirectory); ++i)
        EXPECT_TRUE(coveredUsers[i]) << "user directory byte " << i;
}

TEST(SettingsCatalogue, KeysAreUniqueAndImagePlacesDoNotOverlap)
{
    std::set<std::string> keys;
    std::vector<bool> carried(kImageSize, false);
    for (const SettingEntry& entry : settingsCatalogue()) {
        EXPECT_TRUE(keys.insert(entry.key).second) << entry.key;
        EXPECT_EQ(findSetting(entry.key), &entry);
        for (const ImageSpan& span : entry.image)
            for (std::size_t i = span.offset; i < span.offset + span.width; ++i) {
                ASSERT_LT(i, 1193u) << entry.key;
                EXPECT_FALSE(carried[i]) << entry.key << " at image byte " << i;
                carried[i] = true;
            }
    }
    EXPECT_EQ(findSetting("numberWeRe[9][1]"), nullptr);
    // The index convention and a label as the window writes it.
    const SettingEntry* entry = findSetting("numberWeRe[3][2]");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->label, "Wejścia / Wejście 3 / zanik masy / Reakcja wyjść");
    EXPECT_EQ(entry->offset, offsetof(SettingsRecord, numberWeRe) + 2 * 2 + 1);
}

TEST(SettingsCatalogue, TextsCompareByContentAndEveryKindIsFound)
{
    SettingsRecord a = startupSettings();
    UserDirectory users{};
    a.flags = 0x02;  // SMS control of output 2 on, so its codes count
    a.smsWeRe[0][0].assign("abc");
    SettingsRecord b = a;
    // Bytes past a text's length do not count, nor do spare bytes.
    b.smsWeRe[0][0].chars[5] = 'Q';
    b.spare40 = 7;
    EXPECT_TRUE(differingSettings(a, users, b, users).empty());

    b.timerPod[2] = 9;                      // number
    b.clipVerif = 0x81;                     // bit set
    b.smsSpecWeRe[4][1].assign("Blokada");  // text
    b.zalWyCode[1][0] = 'A';                // code
    b.zalWyCode[1][1] = 'B';
    UserDirectory otherUsers{};
    otherUsers.entries[3].uwagi.assign("linia 1\r\nlinia 2");
    const auto differences =
        compareSettings(effectiveSettings(a), users, effectiveSettings(b), otherUsers);
    std::vector<std::string> lines;
    for (const SettingComparison& difference : differences)
        lines.push_back(comparisonLine(difference, kTwoFiles));
    // Page order: Podstawowe, numery telefonów, Wejścia, Wejścia specjalne, Wyjścia; a bit
    // set box by box, one line for each place its boxes are found.
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "Podstawowe / Ustawienia clipa / Clip od użytkownika: B: + Załącz Wy 1",
                  "Podstawowe / Niezidentyfikowany SMS: B: + Odsyłaj nierozpoznane SMSy do "
                  "Użytkownika 1",
                  "numery telefonów / Użytkownik 4 / Uwagi: A: \"\", B: \"linia 1\\r\\nlinia 2\"",
                  "Wejścia / Wejście 3 / Czas reakcji [x 0,1s]: A: 1, B: 9",
                  "Wejścia specjalne / Wejście blokujące / zanik masy / Treść wiadomości SMS: A: "
                  "\"\", B: \"Blokada\"",
                  "Wyjścia / Wyjście 2 / Kod załączenia: A: \"\", B: \"AB\""}));
}

TEST(SettingsCatalogue, WriteThenReadGivesTheValueBack)
{
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        SettingsRecord record{};
        UserDirectory users{};
        std::vector<SettingValue> written;
        for (const SettingEntry& entry : settingsCatalogue()) {
            SettingValue value;
            if (entry.kind == SettingKind::Number || entry.kind == SettingKind::BitSet) {
                value = static_cast<int>(random() % 256);
            } else {
                // At most the characters the module receives: the others do not count.
                const std::size_t longest =
                    entry.receivedLength ? entry.receivedLength : entry.maxLength();
                std::string text(random() % (longest + 1), '\0');
                for (char& c : text)
                    c = static_cast<char>(1 + random() % 255);  // a code stops at a zero
                value = text;
            }
            writeSetting(record, users, entry, value);
            written.push_back(value);
        }
        std::size_t i = 0;
        for (const SettingEntry& entry : settingsCatalogue())
            EXPECT_EQ(readSetting(record, users, entry), written[i++]) << entry.key;
    }
}

TEST(SettingsCatalogue, ImageDifferencesAreReportedOncePerSettingWithBothValues)
{
    const SettingsRecord record = fullRecord();
    DeviceImage image{};
    SettingsToImage(record, image);
    EXPECT_TRUE(compareWithModuleImage(effectiveSettings(record), image, 1195).empty());

    DeviceImage module = image;
    const std::size_t slot = image::inputTextSlot(1, 0);  // input 2, reaction 1
    module[slot + 3] = 'z';
    module[slot + 4] = 'z';               // same setting: one line
    module[image::kSmsAttempts] ^= 0x01;  // the copy the read direction skips
    module[image::kChecksum] ^= 0xFF;     // follows the header byte above: not listed
    module[image::kTimerPod + 7] = 42;    // input 8 reaction time
    module[image::kContentEnd + 1] = 5;   // empty, but sent
    module[1300] = 9;                     // beyond what programming sends
    const auto differences = compareWithModuleImage(effectiveSettings(record), module, 1195);
    ASSERT_EQ(differences.size(), 4u);
    EXPECT_EQ(differences[0].label,
              "Podstawowe / Ustawienia SMS / ilość prób wysłania sms-a (bajt 16)");
    EXPECT_EQ(differences[0].valueA, "01");
    EXPECT_EQ(differences[0].valueB, "00");
    EXPECT_EQ(comparisonLine(differences[1], kFileAndModule),
              "Wejścia / Wejście 2 / podanie masy / Treść wiadomości SMS: plik: \"" +
                  std::string(36, 'x') + "\", moduł: \"xxxzz" + std::string(31, 'x') + "\"");
    EXPECT_EQ(comparisonLine(differences[2], kFileAndModule),
              "Wejścia / Wejście 8 / Czas reakcji [x 0,1s]: plik: 1, moduł: 42");
    EXPECT_EQ(comparisonLine(differences[3], kFileAndModule),
              "Obraz modułu / bajty puste (bajt 1194): plik: 00, moduł: 05");

    // A checksum that differs on its own is a fault of its own.
    DeviceImage badSum = image;
    badSum[image::kChecksum] ^= 0x10;
    badSum[0] = 0;
    const auto sum = compareWithModuleImage(effectiveSettings(record), badSum, 1195);
    ASSERT_EQ(sum.size(), 2u);
    EXPECT_EQ(sum[0].label, "Obraz modułu / nagłówek (bajt 0)");
    EXPECT_EQ(sum[1].label, "Obraz modułu / suma kontrolna (bajt 41)");
}

}  // namespace
}  // namespace tarnik
