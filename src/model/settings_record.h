#pragma once

// The Settings record and the User directory: fixed-layout byte records that the
// settings file stores byte for byte, so every offset and width below is binding.

#include <array>
#include <cstddef>
#include <cstdint>

#include "model/short_string.h"

namespace tarnik {

inline constexpr int kInputs = 8;  // ordinary inputs 1..8
inline constexpr int kSpecialEntries =
    6;  // 1,2 output confirmations, 3 tamper, 5 blocking, 4,6 spare
inline constexpr int kReactions =
    2;  // 1: ground applied / switched on, 2: ground removed / switched off
inline constexpr int kUsers = 4;
inline constexpr int kOutputs = 2;

// Arrays below are 0-based in code: field[k - 1][r - 1] is item [k][r].
struct SettingsRecord {
    std::uint8_t timerPod[kInputs];                            // 0
    std::uint8_t wyOffTimer[kOutputs];                         // 8
    std::uint8_t callingTimer;                                 // 10
    std::uint8_t callTimer;                                    // 11
    std::uint8_t flags;                                        // 12
    std::uint8_t spare13;                                      // 13
    std::uint8_t smsConfirmTimer;                              // 14
    std::uint8_t smsAttempts;                                  // 15
    std::uint8_t timerTorBuf[kInputs];                         // 16
    std::uint8_t testOkr;                                      // 24
    std::uint8_t zalWyCode[kOutputs][2];                       // 25
    std::uint8_t wylWyCode[kOutputs][2];                       // 29
    ShortString<4> pinMod;                                     // 33
    std::uint8_t clipVerif;                                    // 38
    std::uint8_t clipNotVerif;                                 // 39
    std::uint8_t spare40;                                      // 40
    std::uint8_t numberWeRe[kInputs][kReactions];              // 41
    std::uint8_t workWeRe[kInputs][kReactions];                // 57
    std::uint8_t numberSpecWeRe[kSpecialEntries][kReactions];  // 73
    std::uint8_t spare85[4];                                   // 85
    std::uint8_t workSpecWeRe[kSpecialEntries][kReactions];    // 89
    ShortString<7> pin;                                        // 101
    ShortString<15> csms;                                      // 109
    ShortString<15> nrUser[kUsers];                            // 125
    ShortString<36> smsWeRe[kInputs][kReactions];              // 189
    ShortString<36> smsSpecWeRe[kSpecialEntries][kReactions];  // 781
    std::uint8_t exitTime;                                     // 1225
    std::uint8_t entryTime;                                    // 1226
    std::uint8_t alarmTime;                                    // 1227
};

struct UserEntry {
    ShortString<30> osoba;   // name
    ShortString<250> uwagi;  // notes, CR LF between lines
};

struct UserDirectory {
    UserEntry entries[kUsers];
};

static_assert(sizeof(SettingsRecord) == 1228);
static_assert(alignof(SettingsRecord) == 1);
static_assert(sizeof(UserEntry) == 282);
static_assert(sizeof(UserDirectory) == 1128);
static_assert(offsetof(SettingsRecord, wyOffTimer) == 8);
static_assert(offsetof(SettingsRecord, callingTimer) == 10);
static_assert(offsetof(SettingsRecord, flags) == 12);
static_assert(offsetof(SettingsRecord, smsConfirmTimer) == 14);
static_assert(offsetof(SettingsRecord, timerTorBuf) == 16);
static_assert(offsetof(SettingsRecord, testOkr) == 24);
static_assert(offsetof(SettingsRecord, zalWyCode) == 25);
static_assert(offsetof(SettingsRecord, wylWyCode) == 29);
static_assert(offsetof(SettingsRecord, pinMod) == 33);
static_assert(offsetof(SettingsRecord, clipVerif) == 38);
static_assert(offsetof(SettingsRecord, spare40) == 40);
static_assert(offsetof(SettingsRecord, numberWeRe) == 41);
static_assert(offsetof(SettingsRecord, workWeRe) == 57);
static_assert(offsetof(SettingsRecord, numberSpecWeRe) == 73);
static_assert(offsetof(SettingsRecord, spare85) == 85);
static_assert(offsetof(SettingsRecord, workSpecWeRe) == 89);
static_assert(offsetof(SettingsRecord, pin) == 101);
static_assert(offsetof(SettingsRecord, csms) == 109);
static_assert(offsetof(SettingsRecord, nrUser) == 125);
static_assert(offsetof(SettingsRecord, smsWeRe) == 189);
static_assert(offsetof(SettingsRecord, smsSpecWeRe) == 781);
static_assert(offsetof(SettingsRecord, exitTime) == 1225);
static_assert(offsetof(SettingsRecord, alarmTime) == 1227);
static_assert(offsetof(UserEntry, uwagi) == 31);

// The module's configuration memory as it crosses the serial line.
inline constexpr std::size_t kImageSize = 2048;
using DeviceImage = std::array<std::uint8_t, kImageSize>;

}  // namespace tarnik
