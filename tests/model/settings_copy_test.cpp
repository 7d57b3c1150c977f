// Copying one input's settings to others and one user's notifications to another: which
// fields follow, which stay, and the dialogs' rules kept. That the bytes stored are the
// real dialogs' own is checked through the window (tests/app/window_copy_test.cpp).

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "model/reaction_bits.h"
#include "model/settings_catalogue.h"
#include "model/settings_copy.h"
#include "model/value_ranges.h"

namespace tarnik {
namespace {

using Copy = std::function<SettingsRecord(const SettingsRecord&)>;

Copy inputs(InputPlace from, InputPlace to, bool withTexts = false)
{
    return [=](const SettingsRecord& record) {
        const InputPlace targets[] = {to};
        return copyInputSettings(record, from, targets, withTexts);
    };
}

Copy user(int from, int to)
{
    return [=](const SettingsRecord& record) { return copyUserNotifications(record, from, to); };
}

constexpr InputPlace in(int k)
{
    return {false, k};
}
constexpr InputPlace special(int k)
{
    return {true, k};
}

// Every input alike, every special entry alike, no text, every user with a number:
// a copy then changes nothing but what a row sets up.
SettingsRecord uniformRecord()
{
    SettingsRecord record = startupSettings();
    for (int k = 0; k < kInputs; ++k) {
        record.timerPod[k] = 5;
        record.timerTorBuf[k] = 1;
        for (int r = 0; r < kReactions; ++r) {
            record.numberWeRe[k][r] = kNoReaction;
            record.workWeRe[k][r] = 0;
            record.smsWeRe[k][r].assign("");
        }
    }
    for (int k = 0; k < kSpecialEntries; ++k)
        for (int r = 0; r < kReactions; ++r) {
            record.numberSpecWeRe[k][r] = kNoReaction;
            record.workSpecWeRe[k][r] = 0;
            record.smsSpecWeRe[k][r].assign("");
        }
    for (auto& number : record.nrUser)
        number.assign("+48601000310");
    return record;
}

struct CopyCase {
    const char* what;
    Copy copy;
    const char* sourceKey;  // null: the copy reads the target's own setting
    SettingValue source;
    const char* targetKey;
    SettingValue before;
    SettingValue after;
    int withoutNumber = 0;  // a user whose phone number is empty
};

const std::vector<CopyCase>& copyCases()
{
    static const std::vector<CopyCase> cases{
        // ---- which fields follow between ordinary inputs
        {"reaction time", inputs(in(1), in(2)), "timerPod[1]", 50, "timerPod[2]", 5, 50},
        {"blocking time", inputs(in(1), in(8)), "timerTorBuf[1]", 9, "timerTorBuf[8]", 1, 9},
        {"outputs, reaction 1", inputs(in(3), in(4)), "numberWeRe[3][1]", 0x28, "numberWeRe[4][1]",
         0x80, 0x28},
        {"notification, reaction 2", inputs(in(2), in(1)), "workWeRe[2][2]", 0x41, "workWeRe[1][2]",
         0x3C, 0x41},
        {"report box the inputs offer", inputs(in(1), in(2)), "numberWeRe[1][1]", 0x01,
         "numberWeRe[2][1]", 0x80, 0x01},
        {"text stays without the tick", inputs(in(1), in(2)), "smsWeRe[1][1]", "Alarm",
         "smsWeRe[2][1]", "Stary", "Stary"},
        {"text of reaction 1 with the tick", inputs(in(1), in(2), true), "smsWeRe[1][1]", "Alarm",
         "smsWeRe[2][1]", "Stary", "Alarm"},
        {"onto itself: nothing", inputs(in(5), in(5)), nullptr, 0, "timerPod[5]", 7, 7},
        // ---- the output-reaction dialog's rules
        {"\"Opcje nieaktywne\" outweighs the rest", inputs(in(1), in(2)), "numberWeRe[1][1]", 0x88,
         "numberWeRe[2][1]", 0x08, 0x80},
        {"switching on outweighs switching off", inputs(in(1), in(2)), "numberWeRe[1][1]", 0x58,
         "numberWeRe[2][1]", 0x80, 0x48},
        {"nothing ticked is \"Opcje nieaktywne\"", inputs(in(1), in(2)), "numberWeRe[1][1]", 0x00,
         "numberWeRe[2][1]", 0x08, 0x80},
        {"a byte shown alike is left as it was", inputs(in(1), in(2)), "numberWeRe[1][1]", 0x08,
         "numberWeRe[2][1]", 0x18, 0x18},
        // ---- users without a number
        {"input: a user without a number is not told", inputs(in(1), in(2)), "workWeRe[1][1]", 0x0F,
         "workWeRe[2][1]", 0x00, 0x03, 2},
        {"special entry: that user keeps the target's bits", inputs(special(3), special(5)),
         "workSpecWeRe[3][1]", 0x0F, "workSpecWeRe[5][1]", 0x08, 0x0B, 2},
        // ---- special entries: the boxes each dialog shows
        {"tamper to blocking: outputs follow", inputs(special(3), special(5)),
         "numberSpecWeRe[3][1]", 0x20, "numberSpecWeRe[5][1]", 0x80, 0x20},
        {"blocking hides the report box: the target's stays", inputs(special(3), special(5)),
         "numberSpecWeRe[3][1]", 0x08, "numberSpecWeRe[5][1]", 0x81, 0x09},
        {"blocking hides timed switch-off: it does not follow", inputs(special(5), special(3)),
         "numberSpecWeRe[5][2]", 0x0A, "numberSpecWeRe[3][2]", 0x84, 0x0C},
        {"special entries' texts with the tick", inputs(special(5), special(3), true),
         "smsSpecWeRe[5][2]", "Blokada", "smsSpecWeRe[3][2]", "", "Blokada"},
        {"special entries have no times: inputs' stay", inputs(special(3), special(5)), nullptr, 0,
         "timerPod[5]", 7, 7},
        {"no dialog reaches the output confirmations' outputs", inputs(special(3), special(1)),
         "numberSpecWeRe[3][1]", 0x08, "numberSpecWeRe[1][1]", 0x80, 0x80},
        // ---- "Powiadamiaj jak"
        {"user 1's SMS to user 3", user(1, 3), nullptr, 0, "workWeRe[4][2]", 0x21, 0x11},
        {"user 2's call and SMS to user 4", user(2, 4), nullptr, 0, "workWeRe[8][1]", 0x0C, 0xCC},
        {"user 4 to user 1 on a special entry", user(4, 1), nullptr, 0, "workSpecWeRe[5][1]", 0x83,
         0x82},
        {"confirmations: SMS follows, hidden CLIP stays", user(1, 3), nullptr, 0,
         "workSpecWeRe[1][1]", 0x23, 0x33},
        {"hidden special entries stay", user(1, 3), nullptr, 0, "workSpecWeRe[4][1]", 0x03, 0x03},
        {"input: from a user without a number is never", user(2, 1), nullptr, 0, "workWeRe[1][1]",
         0x0F, 0x00, 2},
        {"special: from a user without a number as shown", user(2, 1), nullptr, 0,
         "workSpecWeRe[3][1]", 0x0C, 0x0F, 2},
        {"the same user: nothing", user(2, 2), nullptr, 0, "workWeRe[1][1]", 0x04, 0x04},
    };
    return cases;
}

TEST(SettingsCopy, FieldsFollowOrStayAsTheDialogsAllow)
{
    UserDirectory users{};
    for (const CopyCase& c : copyCases()) {
        SCOPED_TRACE(c.what);
        SettingsRecord record = uniformRecord();
        if (c.withoutNumber)
            record.nrUser[c.withoutNumber - 1].assign("");
        if (c.sourceKey)
            writeSetting(record, users, settingEntry(c.sourceKey), c.source);
        const SettingEntry& target = settingEntry(c.targetKey);
        writeSetting(record, users, target, c.before);

        const SettingsRecord copied = c.copy(record);

        EXPECT_EQ(readSetting(copied, users, target), c.after);
        // Nothing else changes: every other setting of the record is as it was.
        for (const SettingEntry& entry : settingsCatalogue()) {
            if (&entry != &target) {
                EXPECT_EQ(readSetting(copied, users, entry), readSetting(record, users, entry))
                    << entry.key;
            }
        }
    }
}

TEST(SettingsCopy, RefusesPlacesAndUsersOutOfRange)
{
    const SettingsRecord record = uniformRecord();
    const InputPlace ninth[] = {in(9)};
    const InputPlace seventh[] = {special(7)};
    EXPECT_THROW(copyInputSettings(record, in(1), ninth, false), std::out_of_range);
    EXPECT_THROW(copyInputSettings(record, in(0), {}, false), std::out_of_range);
    EXPECT_THROW(copyInputSettings(record, special(3), seventh, false), std::out_of_range);
    EXPECT_THROW(copyUserNotifications(record, 0, 1), std::out_of_range);
    EXPECT_THROW(copyUserNotifications(record, 1, 5), std::out_of_range);
    SettingsRecord noNumber = record;
    noNumber.nrUser[1].assign("");
    EXPECT_THROW(copyUserNotifications(noNumber, 1, 2), std::invalid_argument);
}

}  // namespace
}  // namespace tarnik
