// The configuration check: each rule on a hand-made record that breaks only it, the
// places that the window does not show, and the warnings' order and wording.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <set>
#include <utility>

#include "model/configuration_check.h"
#include "model/reaction_bits.h"
#include "model/settings_catalogue.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

struct Configuration {
    SettingsRecord record = startupSettings();
    UserDirectory users{};
};

// Users 1 and 2 have numbers, 3 and 4 none; inputs 1 and 2, the tamper input and
// output 1's confirmation tell user 2 by SMS with a text; input 1 switches output 1
// on, a known caller toggles output 2, and output 1 is switched by SMS with codes.
Configuration cleanConfiguration()
{
    Configuration c;
    SettingsRecord& r = c.record;
    r.nrUser[0].assign("+48601000310");
    r.nrUser[1].assign("+48601000320");
    c.users.entries[0].osoba.assign("Jan");
    r.numberWeRe[0][0] = switchOnBit(1);
    for (int k : {0, 1}) {
        r.workWeRe[k][0] = smsBit(2) | clipBit(2);
        r.smsWeRe[k][0].assign("Alarm");
    }
    r.workSpecWeRe[2][1] = smsBit(2);
    r.smsSpecWeRe[2][1].assign("Sabotaz");
    r.workSpecWeRe[0][0] = smsBit(1);
    r.smsSpecWeRe[0][0].assign("Brama otwarta");
    r.clipVerif = clipToggleBit(2) | kClipReport | kForwardUnknownSms;
    r.flags =
        optionBit(Option::SmsOutput1) | optionBit(Option::SmsProgram) | optionBit(Option::Report);
    r.zalWyCode[0][0] = 'Z';
    r.zalWyCode[0][1] = '1';
    r.wylWyCode[0][0] = 'W';
    r.wylWyCode[0][1] = '1';
    r.pinMod.assign("4321");
    r.pin.assign("1234");
    return c;
}

using Found = std::vector<std::pair<std::string, std::string>>;  // id, key

Found found(const Configuration& c)
{
    Found result;
    for (const CheckWarning& warning : checkConfiguration(effectiveSettings(c.record), c.users))
        result.emplace_back(warning.id, warning.key);
    return result;
}

struct RuleCase {
    const char* name;
    std::function<void(Configuration&)> change;
    Found expected;
};

void PrintTo(const RuleCase& c, std::ostream* os)
{
    *os << c.name;
}

class Rules : public ::testing::TestWithParam<RuleCase> { };

TEST_P(Rules, RaiseExactlyTheExpectedWarnings)
{
    Configuration c = cleanConfiguration();
    GetParam().change(c);
    EXPECT_EQ(found(c), GetParam().expected);
}

const RuleCase kRuleCases[] = {
    {"Clean", [](Configuration&) {}, {}},
    {"SmsToUserWithoutNumber",
     [](Configuration& c) { c.record.workWeRe[3][1] = smsBit(3); },
     {{"brak-numeru", "workWeRe[4][2]"}, {"pusty-sms", "smsWeRe[4][2]"}}},
    {"CallToUserWithoutNumber",
     [](Configuration& c) { c.record.workSpecWeRe[2][0] = clipBit(4); },
     {{"brak-numeru", "workSpecWeRe[3][1]"}}},
    {"NumberClearedUnderActiveReactions",
     [](Configuration& c) { c.record.nrUser[1].assign(""); },
     {{"brak-numeru", "workWeRe[1][1]"},
      {"brak-numeru", "workWeRe[2][1]"},
      {"brak-numeru", "workSpecWeRe[3][2]"}}},
    {"ConfirmationCallColumnIsHidden",
     [](Configuration& c) { c.record.workSpecWeRe[1][1] = clipBit(4); },
     {}},
    {"ConfirmationSmsToUserWithoutNumber",
     [](Configuration& c) {
         c.record.workSpecWeRe[1][1] = smsBit(4);
         c.record.smsSpecWeRe[1][1].assign("Wyłączone");
     },
     {{"brak-numeru", "workSpecWeRe[2][2]"}}},
    {"HiddenSpecialEntriesNeverCount",
     [](Configuration& c) {
         for (int k : {3, 5}) {
             c.record.workSpecWeRe[k][0] = smsBit(3) | clipBit(4);
             c.record.numberSpecWeRe[k][1] = kNoReaction | switchOnBit(1) | switchOffBit(1);
         }
     },
     {}},
    {"SmsWithEmptyText",
     [](Configuration& c) { c.record.smsWeRe[1][0].assign(""); },
     {{"pusty-sms", "smsWeRe[2][1]"}}},
    {"ConfirmationSmsWithEmptyText",
     [](Configuration& c) { c.record.smsSpecWeRe[0][0].assign(""); },
     {{"pusty-sms", "smsSpecWeRe[1][1]"}}},
    {"CallOnlyNeedsNoText",
     [](Configuration& c) {
         c.record.workWeRe[6][1] = clipBit(1);
         c.record.smsWeRe[6][1].assign("");
     },
     {}},
    {"ReportsToUserOneWithoutNumber",
     [](Configuration& c) {
         c.record.nrUser[0].assign("");
         c.record.workSpecWeRe[0][0] = 0;
         c.record.clipNotVerif = kClipReport;
     },
     {{"raport-bez-numeru", "clipVerif"},
      {"raport-bez-numeru", "clipVerif"},
      {"raport-bez-numeru", "clipNotVerif"},
      {"raport-bez-numeru", "testOkr"}}},
    {"UnknownCallerSwitchesOutputs",
     [](Configuration& c) { c.record.clipNotVerif = clipSwitchOnBit(1) | clipToggleBit(2); },
     {{"otwarty-clip", "clipNotVerif"}, {"otwarty-clip", "clipNotVerif"}}},
    {"UnknownCallerOnlyAsksForReport",
     [](Configuration& c) { c.record.clipNotVerif = kClipReport; },
     {}},
    {"ShortSmsAccessCode",
     [](Configuration& c) { c.record.pinMod.assign("12"); },
     {{"kod-sms", "pinMod"}}},
    {"EmptySmsAccessCode",
     [](Configuration& c) { c.record.pinMod.assign(""); },
     {{"kod-sms", "pinMod"}}},
    {"AccessCodeUnusedWithoutSmsProgramming",
     [](Configuration& c) {
         c.record.flags &= static_cast<std::uint8_t>(~optionBit(Option::SmsProgram));
         c.record.pinMod.assign("");
     },
     {}},
    {"OutputSwitchedBySmsWithoutCodes",
     [](Configuration& c) {
         c.record.flags |= optionBit(Option::SmsOutput2);
         c.record.zalWyCode[1][0] = 'A';
     },
     {{"kod-sms", "zalWyCode[2]"}, {"kod-sms", "wylWyCode[2]"}}},
    {"OutputOnAndOffCodesTheSame",
     [](Configuration& c) {
         c.record.flags |= optionBit(Option::SmsOutput1);
         std::copy_n("Q7", 2, c.record.zalWyCode[0]);
         std::copy_n("Q7", 2, c.record.wylWyCode[0]);
     },
     {{"kody-takie-same", "wylWyCode[1]"}}},
    {"SameCodesOfAnOutputNotSwitchedBySms",
     [](Configuration& c) {
         c.record.flags &= static_cast<std::uint8_t>(~optionBit(Option::SmsOutput1));
         std::copy_n("Q7", 2, c.record.zalWyCode[0]);
         std::copy_n("Q7", 2, c.record.wylWyCode[0]);
     },
     {}},
    {"ShortPin", [](Configuration& c) { c.record.pin.assign("123"); }, {{"pin", "pin"}}},
    {"PinWithALetter",
     [](Configuration& c) { c.record.pin.assign("12a4"); },
     {{"pin-znaki", "pin"}}},
    {"ShortPinWithALetterIsOnlyTooShort",
     [](Configuration& c) { c.record.pin.assign("1a"); },
     {{"pin", "pin"}}},
    {"EmptyPin", [](Configuration& c) { c.record.pin.assign(""); }, {}},
    {"SwitchesOutputOnAndOff",
     [](Configuration& c) { c.record.numberWeRe[4][0] = switchOnBit(2) | switchOffBit(2); },
     {{"sprzeczne-wyjscie", "numberWeRe[5][1]"}}},
    {"InactiveWithActions",
     [](Configuration& c) { c.record.numberSpecWeRe[4][1] = kNoReaction | switchOnBit(1); },
     {{"sprzeczne-wyjscie", "numberSpecWeRe[5][2]"}}},
    {"ConfirmationOutputsAreHidden",
     [](Configuration& c) { c.record.numberSpecWeRe[0][0] = kNoReaction | switchOffBit(2); },
     {}},
    {"NationalNumber",
     [](Configuration& c) {
         c.record.nrUser[2].assign("601000330");
         c.record.nrUser[3].assign("12");
     },
     {{"numer-krajowy", "nrUser[3]"}}},
    {"NumberDialledWithDoubleZero",
     [](Configuration& c) { c.record.nrUser[1].assign("0048601000320"); },
     {{"numer-krajowy", "nrUser[2]"}, {"numer-za-dlugi", "nrUser[2]"}}},
    {"NumberWithAQuoteOrABlank",
     [](Configuration& c) {
         c.record.csms.assign("+48\"601");
         c.record.nrUser[1].assign("+48 601");
     },
     {{"numer-znaki", "csms"}, {"numer-znaki", "nrUser[2]"}}},
    {"NumberLongerThanTheModuleTakes",
     [](Configuration& c) { c.record.nrUser[0].assign("+486010003101"); },
     {{"numer-za-dlugi", "nrUser[1]"}}},
    // A file's raw bytes: the record the window programs is judged, so characters past a
    // zero byte and a SMS access code the window empties raise nothing.
    {"BytesTheWindowDropsRaiseNothing",
     [](Configuration& c) {
         c.record.nrUser[0].assign(std::string("+48601000310\0x\"", 15));
         c.record.flags &= static_cast<std::uint8_t>(~optionBit(Option::SmsProgram));
         c.record.pinMod.assign("12");
         c.record.pin.assign(std::string("\0"
                                         "12",
                                         3));
     },
     {}},
};

INSTANTIATE_TEST_SUITE_P(ConfigurationCheck, Rules, ::testing::ValuesIn(kRuleCases),
                         [](const ::testing::TestParamInfo<RuleCase>& param) {
                             return std::string(param.param.name);
                         });

TEST(ConfigurationCheck, DoubleZeroIsToldToBecomeAPlus)
{
    Configuration c;
    c.record.nrUser[1].assign("0048601000");
    const auto warnings = checkConfiguration(effectiveSettings(c.record), c.users);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].sentence.find("Zamień 00 na +: „+48601000”."), std::string::npos)
        << warnings[0].sentence;
}

TEST(ConfigurationCheck, FactoryDefaultsRaiseNothing)
{
    EXPECT_EQ(found(Configuration{}), Found{});
}

TEST(ConfigurationCheck, EveryRuleIsListedOnceAndRaisedByACase)
{
    std::set<std::string> listed;
    for (const CheckRule& rule : checkRules())
        EXPECT_TRUE(listed.insert(rule.id).second) << rule.id;
    std::set<std::string> raised;
    for (const RuleCase& c : kRuleCases)
        for (const auto& [id, key] : c.expected)
            raised.insert(id);
    EXPECT_EQ(raised, listed);
}

TEST(ConfigurationCheck, WarningNamesPlaceUserAndRule)
{
    Configuration c = cleanConfiguration();
    c.record.nrUser[0].assign("");
    c.record.flags = 0;
    c.record.clipVerif = 0;
    const auto warnings = checkConfiguration(effectiveSettings(c.record), c.users);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].place, findSetting("workSpecWeRe[1][1]")->label);
    EXPECT_EQ(warningLine(warnings[0]),
              warnings[0].place +
                  ": Zdarzenie wysyła SMS do użytkownika 1 („Jan”), który nie ma numeru telefonu. "
                  "Wpisz jego numer na stronie „numery telefonów” albo odznacz go w tym "
                  "powiadomieniu. [brak-numeru]");
}

TEST(ConfigurationCheck, ControlCharactersOfARecordShowEscaped)
{
    Configuration c = cleanConfiguration();
    c.record.nrUser[1].assign("+48\n60\x01");
    c.users.entries[0].osoba.assign("Jan\tNowak");
    c.record.nrUser[0].assign("");
    const auto warnings = checkConfiguration(effectiveSettings(c.record), c.users);
    ASSERT_FALSE(warnings.empty());
    std::string all;
    for (const CheckWarning& warning : warnings)
        all += warningLine(warning);
    EXPECT_NE(all.find("Numer „+48\\n60\\x01” zawiera niedozwolone znaki"), std::string::npos)
        << all;
    EXPECT_NE(all.find("(„Jan\\tNowak”)"), std::string::npos) << all;
    EXPECT_TRUE(std::none_of(all.begin(), all.end(),
                             [](char ch) { return static_cast<unsigned char>(ch) < 0x20; }));
}

}  // namespace
}  // namespace tarnik
