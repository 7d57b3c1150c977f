#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/value_ranges.h"

namespace tarnik {
namespace {

TEST(SpinLimits, LookupIgnoresCaseAndKnowsEverySpin)
{
    const SpinLimits* calling = findSpinLimits("secallingtimer");
    ASSERT_NE(calling, nullptr);
    EXPECT_EQ(calling->name, "SEcallingTimer");
    EXPECT_EQ(calling->minimum, 1);
    EXPECT_EQ(calling->maximum, 240);
    EXPECT_EQ(findSpinLimits("SEcallingTimerX"), nullptr);
    EXPECT_EQ(findSpinLimits(""), nullptr);

    const SpinLimits* confirm = findSpinLimits("SEInNONCSTAT18");
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->minimum, 10);
    EXPECT_EQ(confirm->initial, 10);
    EXPECT_EQ(findSpinLimits("SEInONstat916")->maxLength, 2);
    EXPECT_EQ(findSpinLimits("SEtestokr")->maximum, 24);

    EXPECT_EQ(spinLimits().size(), 26u);  // 8 single spins, 8 + 8 per input, 2 per output
    std::set<std::string> names;
    for (const auto& s : spinLimits())
        names.insert(std::string(s.name));
    EXPECT_EQ(names.size(), spinLimits().size());
}

TEST(SpinLimits, EachSpinEditsItsOwnRecordByte)
{
    SettingsRecord r{};
    spinField(r, *findSpinLimits("SEtimerPod3")) = 33;
    spinField(r, *findSpinLimits("SEtimerTorBuf8")) = 88;
    spinField(r, *findSpinLimits("SEWy_offTimer2")) = 22;
    spinField(r, *findSpinLimits("SE1191")) = 91;
    spinField(r, *findSpinLimits("SECALL_TIMER")) = 5;
    EXPECT_EQ(r.timerPod[2], 33);
    EXPECT_EQ(r.timerTorBuf[7], 88);
    EXPECT_EQ(r.wyOffTimer[1], 22);
    EXPECT_EQ(r.entryTime, 91);
    EXPECT_EQ(r.callTimer, 5);

    std::set<std::size_t> offsets;
    for (const auto& s : spinLimits())
        offsets.insert(s.recordOffset);
    EXPECT_EQ(offsets.size(), spinLimits().size());
}

TEST(EditLimits, MaximumLengths)
{
    EXPECT_EQ(editMaxLength("EPin"), 4);
    EXPECT_EQ(editMaxLength("epinmod"), 4);
    EXPECT_EQ(editMaxLength("Enruser4"), 12);
    EXPECT_EQ(editMaxLength("ETSMS_We8_Re2"), 35);
    EXPECT_EQ(editMaxLength("ETSpecSMS_We5_Re1"), 35);
    EXPECT_EQ(editMaxLength("ETSpecSMS_We4_Re1"), kNoMaxLength);
    EXPECT_EQ(editMaxLength("Ecsms"), 12);
    EXPECT_EQ(editMaxLength("EwylWy2"), 2);
    EXPECT_EQ(editMaxLength("Muser1"), kNoMaxLength);
    EXPECT_FALSE(editMaxLength("ETSMS_We9_Re1").has_value());
}

}  // namespace
}  // namespace tarnik
