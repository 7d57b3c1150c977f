#include "model/value_ranges.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "model/conversion.h"
#include "model/image_layout.h"
#include "model/phone_numbers.h"

namespace tarnik {

namespace {

constexpr int kPinMaxLength = 4;  // SIM PIN and SMS access code
constexpr int kUserNumberMaxLength = static_cast<int>(kNumberMaxLength);
constexpr int kSmsTextMaxLength = 35;
constexpr int kOutputCodeLength = 2;

constexpr std::array kSpinLimits = std::to_array<SpinLimits>({
    {"SEcallingTimer", 1, 240, 3, 1, offsetof(SettingsRecord, callingTimer)},
    {"SECALL_TIMER", 1, 255, 3, 1, offsetof(SettingsRecord, callTimer)},
    {"SEInNONCSTAT18", 10, 255, 3, 10, offsetof(SettingsRecord, smsConfirmTimer)},
    {"SEInONstat916", 1, 10, 2, 1, offsetof(SettingsRecord, smsAttempts)},
    {"SEtestokr", 1, 24, 2, 1, offsetof(SettingsRecord, testOkr)},
    {"SE1190", 1, 255, 3, 1, offsetof(SettingsRecord, exitTime)},
    {"SE1191", 1, 255, 3, 1, offsetof(SettingsRecord, entryTime)},
    {"SE1192", 1, 255, 3, 1, offsetof(SettingsRecord, alarmTime)},
    {"SEtimerPod1", 1, 255, 3, 1, offsetof(SettingsRecord, timerPod) + 0},
    {"SEtimerPod2", 1, 255, 3, 1, offsetof(SettingsRecord, timerPod) + 1},
    {"SEtimerPod3", 1, 255, 3, 1, offsetof(SettingsRecord, timerPod) + 2},
    {"SEtimerPod4", 1, 255, 3, 1, offsetof(SettingsRecord, timerPod) + 3},
    {"SEtimerPod5", 1, 255, 3, 1, offsetof(SettingsRecord, timerPod) + 4},
    {"SEtimerPod6", 1, 255, 3, 1, offsetof(SettingsRecord, timerPod) + 5},
    {"SEtimerPod7", 1, 255, 3, 1, offsetof(SettingsRecord, timerPod) + 6},
    {"SEtimerPod8", 1, 255, 3, 1, offsetof(SettingsRecord, timerPod) + 7},
    {"SEtimerTorBuf1", 1, 255, 3, 1, offsetof(SettingsRecord, timerTorBuf) + 0},
    {"SEtimerTorBuf2", 1, 255, 3, 1, offsetof(SettingsRecord, timerTorBuf) + 1},
    {"SEtimerTorBuf3", 1, 255, 3, 1, offsetof(SettingsRecord, timerTorBuf) + 2},
    {"SEtimerTorBuf4", 1, 255, 3, 1, offsetof(SettingsRecord, timerTorBuf) + 3},
    {"SEtimerTorBuf5", 1, 255, 3, 1, offsetof(SettingsRecord, timerTorBuf) + 4},
    {"SEtimerTorBuf6", 1, 255, 3, 1, offsetof(SettingsRecord, timerTorBuf) + 5},
    {"SEtimerTorBuf7", 1, 255, 3, 1, offsetof(SettingsRecord, timerTorBuf) + 6},
    {"SEtimerTorBuf8", 1, 255, 3, 1, offsetof(SettingsRecord, timerTorBuf) + 7},
    {"SEWy_offTimer1", 1, 255, 3, 1, offsetof(SettingsRecord, wyOffTimer) + 0},
    {"SEWy_offTimer2", 1, 255, 3, 1, offsetof(SettingsRecord, wyOffTimer) + 1},
});

// The spare special entries 4 and 6 have hidden text edits without a limit.
constexpr std::array kEditLimits = std::to_array<EditLimits>({
    {"EPin", kPinMaxLength},
    {"EPINMOD", kPinMaxLength},
    {"Ecsms", kUserNumberMaxLength},
    {"Enruser1", kUserNumberMaxLength},
    {"Enruser2", kUserNumberMaxLength},
    {"Enruser3", kUserNumberMaxLength},
    {"Enruser4", kUserNumberMaxLength},
    {"Eosoba1", kNoMaxLength},
    {"Eosoba2", kNoMaxLength},
    {"Eosoba3", kNoMaxLength},
    {"Eosoba4", kNoMaxLength},
    {"Muser1", kNoMaxLength},
    {"Muser2", kNoMaxLength},
    {"Muser3", kNoMaxLength},
    {"Muser4", kNoMaxLength},
    {"EZalWy1", kOutputCodeLength},
    {"EwylWy1", kOutputCodeLength},
    {"EZalWy2", kOutputCodeLength},
    {"EwylWy2", kOutputCodeLength},
    {"ETSMS_We1_Re1", kSmsTextMaxLength},
    {"ETSMS_We1_Re2", kSmsTextMaxLength},
    {"ETSMS_We2_Re1", kSmsTextMaxLength},
    {"ETSMS_We2_Re2", kSmsTextMaxLength},
    {"ETSMS_We3_Re1", kSmsTextMaxLength},
    {"ETSMS_We3_Re2", kSmsTextMaxLength},
    {"ETSMS_We4_Re1", kSmsTextMaxLength},
    {"ETSMS_We4_Re2", kSmsTextMaxLength},
    {"ETSMS_We5_Re1", kSmsTextMaxLength},
    {"ETSMS_We5_Re2", kSmsTextMaxLength},
    {"ETSMS_We6_Re1", kSmsTextMaxLength},
    {"ETSMS_We6_Re2", kSmsTextMaxLength},
    {"ETSMS_We7_Re1", kSmsTextMaxLength},
    {"ETSMS_We7_Re2", kSmsTextMaxLength},
    {"ETSMS_We8_Re1", kSmsTextMaxLength},
    {"ETSMS_We8_Re2", kSmsTextMaxLength},
    {"ETSpecSMS_We1_Re1", kSmsTextMaxLength},
    {"ETSpecSMS_We1_Re2", kSmsTextMaxLength},
    {"ETSpecSMS_We2_Re1", kSmsTextMaxLength},
    {"ETSpecSMS_We2_Re2", kSmsTextMaxLength},
    {"ETSpecSMS_We3_Re1", kSmsTextMaxLength},
    {"ETSpecSMS_We3_Re2", kSmsTextMaxLength},
    {"ETSpecSMS_We4_Re1", kNoMaxLength},
    {"ETSpecSMS_We4_Re2", kNoMaxLength},
    {"ETSpecSMS_We5_Re1", kSmsTextMaxLength},
    {"ETSpecSMS_We5_Re2", kSmsTextMaxLength},
    {"ETSpecSMS_We6_Re1", kNoMaxLength},
    {"ETSpecSMS_We6_Re2", kNoMaxLength},
});

static_assert(std::all_of(kSpinLimits.begin(), kSpinLimits.end(), [](const SpinLimits& s) {
    return s.minimum <= s.initial && s.initial <= s.maximum && s.maximum <= 255 &&
           s.recordOffset < sizeof(SettingsRecord);
}));

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::span<const SpinLimits> spinLimits()
{
    return kSpinLimits;
}
std::span<const EditLimits> editLimits()
{
    return kEditLimits;
}

const SpinLimits* findSpinLimits(std::string_view name)
{
    for (const auto& limits : kSpinLimits)
        if (sameName(limits.name, name))
            return &limits;
    return nullptr;
}

const SpinLimits* spinLimitsAt(std::size_t recordOffset)
{
    for (const auto& limits : kSpinLimits)
        if (limits.recordOffset == recordOffset)
            return &limits;
    return nullptr;
}

std::optional<int> editMaxLength(std::string_view name)
{
    for (const auto& limits : kEditLimits)
        if (sameName(limits.name, name))
            return limits.maxLength;
    return std::nullopt;
}

std::uint8_t& spinField(SettingsRecord& record, const SpinLimits& limits)
{
    return reinterpret_cast<std::uint8_t*>(&record)[limits.recordOffset];
}

std::uint8_t spinField(const SettingsRecord& record, const SpinLimits& limits)
{
    return reinterpret_cast<const std::uint8_t*>(&record)[limits.recordOffset];
}

SettingsRecord startupSettings()
{
    SettingsRecord record{};
    SetDefaults(record);
    for (const auto& limits : kSpinLimits) {
        std::uint8_t& field = spinField(record, limits);
        field = static_cast<std::uint8_t>(std::clamp<int>(field, limits.minimum, limits.maximum));
    }
    return record;
}

}  // namespace tarnik
