#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/conversion.h"
#include "model/image_layout.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

using namespace image;

DeviceImage toImage(const SettingsRecord& r)
{
    DeviceImage img;
    img.fill(0x55);  // proves SettingsToImage clears first
    SettingsToImage(r, img);
    return img;
}

std::string slot(const DeviceImage& img, std::size_t offset, std::size_t length)
{
    return std::string(reinterpret_cast<const char*>(img.data() + offset), length);
}

TEST(SettingsToImage, StartupSettingsGiveChecksum207AndTheirLayout)
{
    const DeviceImage img = toImage(startupSettings());
    EXPECT_EQ(img[0], 0xFF);
    EXPECT_EQ(img[1], 0xFF);
    unsigned sum = 0;
    for (std::size_t i = 2; i <= 40; ++i)
        sum += img[i];
    EXPECT_EQ(sum, 48u);
    EXPECT_EQ(img[kChecksum], 207);
    EXPECT_EQ(img[kCallingTimer], 16);
    EXPECT_EQ(img[inputPair(0, 0)], 0);        // nobody notified
    EXPECT_EQ(img[inputPair(0, 0) + 1], 128);  // no output reaction
    EXPECT_EQ(img[specialPair(5, 1) + 1], 128);
    EXPECT_EQ(img[kExitTime], 1);
    EXPECT_EQ(img[kAlarmTime], 1);
    for (std::size_t i = kPin; i < kExitTime; ++i)
        ASSERT_EQ(img[i], 0) << "byte " << i;
    for (std::size_t i = kContentEnd; i < kImageSize; ++i)
        ASSERT_EQ(img[i], 0) << "byte " << i;
}

TEST(SettingsToImage, CallingTimerTravelsWithFifteenAddedModulo256)
{
    SettingsRecord r{};
    r.callingTimer = 240;
    EXPECT_EQ(toImage(r)[kCallingTimer], 255);
    r.callingTimer = 1;
    EXPECT_EQ(toImage(r)[kCallingTimer], 16);
    r.callingTimer = 250;
    EXPECT_EQ(toImage(r)[kCallingTimer], 9);

    DeviceImage img{};
    img[kCallingTimer] = 10;
    ImageToSettings(img, r);
    EXPECT_EQ(r.callingTimer, 251);
}

TEST(SettingsToImage, SmsAttemptsWrittenTwiceAndReadFromTheCopy)
{
    SettingsRecord r = startupSettings();
    r.smsAttempts = 7;
    DeviceImage img = toImage(r);
    EXPECT_EQ(img[kSmsAttempts], 7);
    EXPECT_EQ(img[kSmsAttemptsCopy], 7);

    img[kSmsAttempts] = 99;
    SettingsRecord back = r;
    ImageToSettings(img, back);
    EXPECT_EQ(back.smsAttempts, 7);
    img[kSmsAttemptsCopy] = 3;
    ImageToSettings(img, back);
    EXPECT_EQ(back.smsAttempts, 3);
}

TEST(SettingsToImage, PairsPutNotificationBeforeOutputReaction)
{
    SettingsRecord r{};
    r.workWeRe[2][1] = 0x11;  // input 3, reaction 2
    r.numberWeRe[2][1] = 0x22;
    r.workSpecWeRe[4][0] = 0x33;  // blocking input, reaction 1
    r.numberSpecWeRe[4][0] = 0x44;
    const DeviceImage img = toImage(r);
    EXPECT_EQ(img[56 + 2 * 3], 0x11);
    EXPECT_EQ(img[57 + 2 * 3], 0x22);
    EXPECT_EQ(img[72 + 2 * 5], 0x33);
    EXPECT_EQ(img[73 + 2 * 5], 0x44);
}

TEST(SettingsToImage, CodesAndAccessCodeTravelAsRawBytes)
{
    SettingsRecord r{};
    r.zalWyCode[0][0] = 'A';
    r.zalWyCode[1][1] = 'B';
    r.wylWyCode[1][1] = 'C';
    r.pinMod.assign("12");
    r.pinMod.chars[2] = 'x';  // past the length, still sent
    r.pinMod.chars[3] = 'y';
    const DeviceImage img = toImage(r);
    EXPECT_EQ(img[27], 'A');
    EXPECT_EQ(img[30], 'B');
    EXPECT_EQ(img[34], 'C');
    EXPECT_EQ(slot(img, kPinMod, 4), "12xy");

    SettingsRecord back{};
    ImageToSettings(img, back);
    EXPECT_EQ(back.pinMod.str(), "12xy");

    DeviceImage zeros{};
    ImageToSettings(zeros, back);
    EXPECT_EQ(back.pinMod.len, 4);
    EXPECT_EQ(back.pinMod.str(), std::string(4, '\0'));
}

TEST(SettingsToImage, PinIsEmptyOrQuotedFourCharacters)
{
    SettingsRecord r{};
    DeviceImage img = toImage(r);
    for (std::size_t i = kPin; i < kPin + kPinSlotLength; ++i)
        EXPECT_EQ(img[i], 0);
    r.pin.assign("9999");
    ImageToSettings(img, r);
    EXPECT_TRUE(r.pin.empty());

    r.pin.assign("1234567");  // the module gets the first four only
    img = toImage(r);
    EXPECT_EQ(slot(img, kPin, 7), std::string("\"1234\"\0", 7));
    SettingsRecord back{};
    ImageToSettings(img, back);
    EXPECT_EQ(back.pin.str(), "1234");
}

TEST(SettingsToImage, TwelveCharacterNumberFillsItsSlot)
{
    SettingsRecord r{};
    r.nrUser[1].assign("+48123456789");
    const DeviceImage img = toImage(r);
    EXPECT_EQ(slot(img, userNumberSlot(1), 15), std::string("\"+48123456789\"\0", 15));
    SettingsRecord back{};
    ImageToSettings(img, back);
    EXPECT_EQ(back.nrUser[1].str(), "+48123456789");
}

TEST(SettingsToImage, LongerNumberIsCutToTwelveAndSparesTheNextSlot)
{
    SettingsRecord r{};
    r.csms.assign("+4860200000012345");  // 17 characters, cut to 15 in the record
    r.nrUser[0].assign("+48111");
    r.nrUser[3].assign("123456789012345");
    r.smsWeRe[0][0].assign("text");
    const DeviceImage img = toImage(r);
    EXPECT_EQ(slot(img, kCsms, 15), std::string("\"+48602000000\"\0", 15));
    EXPECT_EQ(slot(img, userNumberSlot(0), 9), std::string("\"+48111\"\0", 9));
    EXPECT_EQ(slot(img, userNumberSlot(3), 15), std::string("\"123456789012\"\0", 15));
    EXPECT_EQ(slot(img, kSmsTexts, 5), std::string("text\0", 5));

    SettingsRecord back{};
    ImageToSettings(img, back);
    EXPECT_EQ(back.csms.str(), "+48602000000");
    EXPECT_EQ(back.nrUser[0].str(), "+48111");
}

TEST(ImageToSettings, QuotedSlotWithoutClosingQuoteGivesFifteenCharacters)
{
    DeviceImage img{};
    img[kCsms] = kQuote;
    for (std::size_t i = 1; i < kQuotedSlotLength; ++i)
        img[kCsms + i] = static_cast<std::uint8_t>('0' + i % 10);
    img[kNrUser] = 'X';  // first byte of the next slot, no quote
    SettingsRecord r{};
    ImageToSettings(img, r);
    EXPECT_EQ(r.csms.str(), "12345678901234X");
    EXPECT_TRUE(r.nrUser[0].empty());  // slot does not start with a quote
}

TEST(SettingsToImage, SmsTextSlotsPutAllReactionOneTextsFirst)
{
    SettingsRecord r{};
    r.smsWeRe[1][0].assign("in2 r1");
    r.smsWeRe[0][1].assign("in1 r2");
    r.smsSpecWeRe[2][1].assign("tamper r2");
    const DeviceImage img = toImage(r);
    EXPECT_EQ(slot(img, 180 + 36, 6), "in2 r1");
    EXPECT_EQ(slot(img, 180 + 36 * 8, 6), "in1 r2");
    EXPECT_EQ(slot(img, 756 + 36 * (6 + 2), 9), "tamper r2");
}

TEST(SettingsToImage, ThirtyFiveAndThirtySixCharacterTexts)
{
    SettingsRecord r{};
    r.smsWeRe[7][1].assign(std::string(35, 'a'));
    r.smsSpecWeRe[5][1].assign(std::string(36, 'b'));
    r.exitTime = 77;
    const DeviceImage img = toImage(r);
    const std::size_t a = inputTextSlot(7, 1);
    EXPECT_EQ(slot(img, a, 35), std::string(35, 'a'));
    EXPECT_EQ(img[a + 35], 0);
    const std::size_t b = specialTextSlot(5, 1);
    EXPECT_EQ(slot(img, b, 36), std::string(36, 'b'));
    EXPECT_EQ(img[b + 36], 0);  // 1188: untouched
    EXPECT_EQ(img[kExitTime], 77);

    SettingsRecord back{};
    ImageToSettings(img, back);
    EXPECT_EQ(back.smsWeRe[7][1].str(), std::string(35, 'a'));
    EXPECT_EQ(back.smsSpecWeRe[5][1].str(), std::string(36, 'b'));
}

TEST(SettingsToImage, DamagedLengthBytesNeverReachPastAField)
{
    SettingsRecord r{};
    r.csms.len = 255;
    std::memset(r.csms.chars, '7', sizeof r.csms.chars);
    r.smsWeRe[7][1].len = 200;
    std::memset(r.smsWeRe[7][1].chars, 'z', sizeof r.smsWeRe[7][1].chars);
    r.pin.len = 99;
    const DeviceImage img = toImage(r);
    EXPECT_EQ(slot(img, kCsms, 15), "\"777777777777\"" + std::string(1, '\0'));
    EXPECT_EQ(img[kNrUser], 0);
    EXPECT_EQ(slot(img, inputTextSlot(7, 1), 36), std::string(36, 'z'));
    EXPECT_EQ(img[kSpecSmsTexts], 0);
    EXPECT_EQ(img[kPin], kQuote);
}

TEST(ImageToSettings, KeepsWhatTheImageDoesNotCarry)
{
    SettingsRecord r{};
    r.spare13 = 13;
    r.spare40 = 40;
    r.spare85[2] = 85;
    r.nrUser[2].assign("+48999888777");
    DeviceImage img{};
    img[userNumberSlot(2)] = kQuote;
    img[userNumberSlot(2) + 1] = '5';
    img[userNumberSlot(2) + 2] = kQuote;
    ImageToSettings(img, r);
    EXPECT_EQ(r.spare13, 13);
    EXPECT_EQ(r.spare40, 40);
    EXPECT_EQ(r.spare85[2], 85);
    EXPECT_EQ(r.nrUser[2].str(), "5");
    EXPECT_EQ(r.nrUser[2].chars[1], '4');  // old characters past the new length stay
    EXPECT_EQ(r.pinMod.len, 4);
}

TEST(ImageToSettings, ReadsNothingPastTheContent)
{
    DeviceImage img{};
    for (std::size_t i = kContentEnd; i < kImageSize; ++i)
        img[i] = 0xEE;
    SettingsRecord a{};
    ImageToSettings(img, a);
    img.fill(0);
    SettingsRecord b{};
    ImageToSettings(img, b);
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
}

}  // namespace
}  // namespace tarnik
