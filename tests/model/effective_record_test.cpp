// The functions that judge or describe a configuration take only the record the
// window would program: a raw record from a file does not compile there, and the one
// way to the wrapper is effectiveSettings, which brings the record into line.

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

#include "model/configuration_check.h"
#include "model/effective_settings.h"
#include "model/reaction_overview.h"
#include "model/setting_comparison.h"
#include "model/value_ranges.h"
#include "report/configuration_report.h"

namespace tarnik {
namespace {

// Refused: a raw record in place of the effective one, in every judging function.
static_assert(!std::is_invocable_v<decltype(&checkConfiguration), const SettingsRecord&,
                                   const UserDirectory&>);
static_assert(
    !std::is_invocable_v<decltype(&reactionOverview), const SettingsRecord&, const UserDirectory&>);
static_assert(!std::is_invocable_v<decltype(&reportHtml), const SettingsRecord&,
                                   const UserDirectory&, const ReportOptions&>);
static_assert(
    !std::is_invocable_v<decltype(&compareSettings), const SettingsRecord&, const UserDirectory&,
                         const SettingsRecord&, const UserDirectory&>);
static_assert(
    !std::is_invocable_v<decltype(&compareSettings), const EffectiveSettings&, const UserDirectory&,
                         const SettingsRecord&, const UserDirectory&>);
static_assert(!std::is_invocable_v<decltype(&compareWithModuleImage), const SettingsRecord&,
                                   const DeviceImage&, std::size_t>);
// Taken: the effective record (the checks above would pass on a misspelt signature).
static_assert(std::is_invocable_v<decltype(&checkConfiguration), const EffectiveSettings&,
                                  const UserDirectory&>);
static_assert(std::is_invocable_v<decltype(&reactionOverview), const EffectiveSettings&,
                                  const UserDirectory&>);
static_assert(std::is_invocable_v<decltype(&reportHtml), const EffectiveSettings&,
                                  const UserDirectory&, const ReportOptions&>);
static_assert(
    std::is_invocable_v<decltype(&compareSettings), const EffectiveSettings&, const UserDirectory&,
                        const EffectiveSettings&, const UserDirectory&>);
static_assert(std::is_invocable_v<decltype(&compareWithModuleImage), const EffectiveSettings&,
                                  const DeviceImage&, std::size_t>);
// Nothing but effectiveSettings makes one: not from a record, not from nothing.
static_assert(!std::is_constructible_v<EffectiveSettings, const SettingsRecord&>);
static_assert(!std::is_constructible_v<EffectiveSettings>);
static_assert(!std::is_convertible_v<SettingsRecord, EffectiveSettings>);

// The wrapper holds the record brought into line, not the bytes it was made from.
TEST(EffectiveRecord, TheWrapperHoldsTheRecordBroughtIntoLine)
{
    SettingsRecord raw = startupSettings();
    raw.flags = 0xFF;        // bits 6 and 7 have no box
    raw.callingTimer = 255;  // above its spin's range
    raw.smsWeRe[0][0].assign(std::string("ab\0cd", 5));
    const EffectiveSettings effective = effectiveSettings(raw);
    EXPECT_EQ(effective.record().flags, kOptionBitsMask);
    EXPECT_LT(effective.record().callingTimer, 255);
    EXPECT_EQ(effective.record().smsWeRe[0][0].str(), "ab");
    // Made again from its own record, nothing changes.
    const EffectiveSettings again = effectiveSettings(effective.record());
    EXPECT_EQ(std::memcmp(&again.record(), &effective.record(), sizeof(SettingsRecord)), 0);
}

}  // namespace
}  // namespace tarnik
