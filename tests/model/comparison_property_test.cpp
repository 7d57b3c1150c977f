// A comparison of two files speaks of what the module receives: it finds no
// difference exactly when both files program the same image, whatever stale
// bytes, out-of-range values or foreign bits they carry.

#include <gtest/gtest.h>

#include <algorithm>

#include "model/conversion.h"
#include "model/effective_settings.h"
#include "model/image_layout.h"
#include "model/setting_comparison.h"
#include "random_records.h"

namespace tarnik {
namespace {

constexpr std::size_t kComparedImageBytes = 1195;  // what programming sends

DeviceImage programmedImage(const SettingsRecord& file)
{
    DeviceImage image{};
    SettingsToImage(effectiveSettings(file).record(), image);
    return image;
}

// Phone numbers longer than a quoted slot carries are cut by the conversion; the
// window's edits never hold one.
void keepNumbersShort(SettingsRecord& r)
{
    r.csms.len = std::min<std::uint8_t>(r.csms.len, image::kQuotedSlotMaxText);
    for (auto& number : r.nrUser)
        number.len = std::min<std::uint8_t>(number.len, image::kQuotedSlotMaxText);
}

TEST(ComparisonProperty, NoDifferenceExactlyWhenBothProgramTheSameImage)
{
    test::RecordGenerator draw(7081);
    // Bytes where a change often leaves the programmed image alike: the header's
    // numbers and option bits, the access code, the PIN.
    constexpr std::size_t kHotSpots[] = {10, 11, 12, 14, 15, 24,  25,  26,  29,  30,  33,  34,
                                         35, 36, 37, 38, 39, 101, 102, 103, 104, 105, 106, 1225};
    int alike = 0;
    int differing = 0;
    for (int round = 0; round < 3000; ++round) {
        SettingsRecord a = draw.record();
        keepNumbersShort(a);
        SettingsRecord b = a;
        auto* bytes = reinterpret_cast<std::uint8_t*>(&b);
        for (int change = 1 + draw.below(3); change > 0; --change) {
            const std::size_t at =
                draw.chance(60) ? kHotSpots[draw.below(std::size(kHotSpots))]
                                : static_cast<std::size_t>(draw.below(sizeof(SettingsRecord)));
            bytes[at] = draw.byte();
        }
        keepNumbersShort(b);
        const UserDirectory users = draw.users();

        const DeviceImage imageA = programmedImage(a);
        const DeviceImage imageB = programmedImage(b);
        const bool sameImage =
            std::equal(imageA.begin(), imageA.begin() + kComparedImageBytes, imageB.begin());
        const auto differences =
            compareSettings(effectiveSettings(a), users, effectiveSettings(b), users);
        ASSERT_EQ(differences.empty(), sameImage)
            << "round " << round << ": "
            << (differences.empty() ? std::string("no difference found")
                                    : comparisonLine(differences.front(), kTwoFiles));
        (sameImage ? alike : differing)++;
    }
    // Both outcomes occur often enough for the property to mean something.
    EXPECT_GT(alike, 300);
    EXPECT_GT(differing, 300);
}

}  // namespace
}  // namespace tarnik
