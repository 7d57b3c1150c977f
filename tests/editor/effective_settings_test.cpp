// The effective record computed without a window is what the window itself stores
// after showing a record and collecting it again, for records of every kind a file
// can bring. One window shows them one after another, as it opens file after file,
// so the check boxes start from whatever the previous record left.

#include <gtest/gtest.h>

#include <cstring>

#include "binding_fixture.h"
#include "model/effective_settings.h"
#include "random_records.h"

namespace {

using tarnik::SettingsRecord;

// Names the first differing byte, so that a failure says which field went wrong.
std::string firstDifference(const SettingsRecord& window, const SettingsRecord& effective)
{
    const auto* a = reinterpret_cast<const std::uint8_t*>(&window);
    const auto* b = reinterpret_cast<const std::uint8_t*>(&effective);
    for (std::size_t i = 0; i < sizeof window; ++i)
        if (a[i] != b[i])
            return "byte " + std::to_string(i) + ": window " + std::to_string(a[i]) +
                   ", effective " + std::to_string(b[i]);
    return {};
}

TEST(EffectiveSettings, IsWhatTheWindowStoresAfterShowingAndCollecting)
{
    BindingFixture f;
    tarnik::test::RecordGenerator draw(20240518);
    for (int round = 0; round < 400; ++round) {
        const SettingsRecord file = draw.record();
        // As opening a file does; the collect goes into the window's record, which
        // keeps the file's bytes no control shows.
        f.binding->showFrom(file, f.users);
        f.option(tarnik::Option::Report);
        SettingsRecord collected = file;
        f.binding->collectInto(collected);
        const SettingsRecord effective = tarnik::effectiveSettings(file).record();
        ASSERT_EQ(std::memcmp(&collected, &effective, sizeof effective), 0)
            << "round " << round << ", " << firstDifference(collected, effective);
        // Showing what was collected changes nothing more.
        const SettingsRecord again = tarnik::effectiveSettings(effective).record();
        ASSERT_EQ(std::memcmp(&effective, &again, sizeof effective), 0) << "round " << round;
    }
}

}  // namespace
