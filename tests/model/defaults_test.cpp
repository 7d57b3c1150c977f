#include <gtest/gtest.h>

#include <cstring>

#include "model/conversion.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

const std::uint8_t* bytesOf(const SettingsRecord& r)
{
    return reinterpret_cast<const std::uint8_t*>(&r);
}

bool in(std::size_t i, std::size_t first, std::size_t last)
{
    return i >= first && i <= last;
}

TEST(Defaults, ExactBytesOnAZeroRecord)
{
    SettingsRecord r{};
    SetDefaults(r);
    const std::uint8_t* b = bytesOf(r);
    for (std::size_t i = 0; i < sizeof r; ++i) {
        std::uint8_t expected = 0;
        if (in(i, 0, 7) || in(i, 16, 23) || in(i, 1225, 1227))
            expected = 1;
        if (in(i, 41, 56) || in(i, 73, 84))
            expected = 128;
        ASSERT_EQ(b[i], expected) << "byte " << i;
    }
}

TEST(Defaults, WriteOnlyTheFieldsThatHaveADefault)
{
    SettingsRecord r;
    std::memset(&r, 0xAA, sizeof r);
    SetDefaults(r);
    EXPECT_EQ(r.callingTimer, 0xAA);
    EXPECT_EQ(r.wyOffTimer[1], 0xAA);
    EXPECT_EQ(r.flags, 0xAA);
    EXPECT_EQ(r.spare13, 0xAA);
    EXPECT_EQ(r.spare85[0], 0xAA);
    EXPECT_EQ(r.clipVerif, 0xAA);
    EXPECT_EQ(r.csms.len, 0xAA);      // the SMS centre has no default
    EXPECT_EQ(r.pin.chars[0], 0xAA);  // only length bytes are written
    EXPECT_EQ(r.pin.len, 0);
    EXPECT_EQ(r.pinMod.len, 0);
    EXPECT_EQ(r.nrUser[3].len, 0);
    EXPECT_EQ(r.smsSpecWeRe[5][1].len, 0);
    EXPECT_EQ(r.smsSpecWeRe[5][1].chars[0], 0xAA);
    EXPECT_EQ(r.zalWyCode[1][1], 0);
    EXPECT_EQ(r.wylWyCode[0][0], 0);
    EXPECT_EQ(r.workSpecWeRe[5][1], 0);
    EXPECT_EQ(r.numberSpecWeRe[5][1], 128);
    EXPECT_EQ(r.alarmTime, 1);
}

TEST(Defaults, StartupSettingsHoldWhatTheSpinEditsShow)
{
    const SettingsRecord r = startupSettings();
    EXPECT_EQ(r.wyOffTimer[0], 1);
    EXPECT_EQ(r.wyOffTimer[1], 1);
    EXPECT_EQ(r.callingTimer, 1);
    EXPECT_EQ(r.callTimer, 1);
    EXPECT_EQ(r.smsConfirmTimer, 10);
    EXPECT_EQ(r.smsAttempts, 1);
    EXPECT_EQ(r.testOkr, 1);

    // Apart from those, exactly the defaults.
    SettingsRecord expected{};
    SetDefaults(expected);
    expected.wyOffTimer[0] = expected.wyOffTimer[1] = 1;
    expected.callingTimer = expected.callTimer = expected.smsAttempts = expected.testOkr = 1;
    expected.smsConfirmTimer = 10;
    EXPECT_EQ(std::memcmp(&r, &expected, sizeof r), 0);
}

}  // namespace
}  // namespace tarnik
