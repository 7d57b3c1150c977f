#pragma once

// The meaning of the bits in the Settings record's bit sets: the output-reaction
// byte and the notification byte of every reaction, the option bits of `flags` and
// the two CLIP groups. The editor's dialogs and check boxes, the configuration
// check and the overview read the bits from here.

#include <cstdint>

namespace tarnik {

// ---- output-reaction byte (numberWeRe, numberSpecWeRe) ------------------------------

inline constexpr std::uint8_t kNoReaction = 0x80;  // "Opcje nieaktywne"
inline constexpr std::uint8_t kReactionReport =
    0x01;  // "Odeślij raport"; the window offers it nowhere

// Output n (1 or 2) switched on, switched off, or switched off after its time.
constexpr std::uint8_t switchOnBit(int output)
{
    return output == 1 ? 0x08 : 0x20;
}
constexpr std::uint8_t switchOffBit(int output)
{
    return output == 1 ? 0x10 : 0x40;
}
constexpr std::uint8_t timedOffBit(int output)
{
    return output == 1 ? 0x02 : 0x04;
}

// The byte a confirmed output-reaction dialog stores for the given ticked boxes (a
// set of masks): 0x80 when "Opcje nieaktywne" is ticked or nothing else is,
// otherwise the OR of the ticked boxes. A confirmed dialog thus never stores 0.
constexpr std::uint8_t outputReactionByte(std::uint8_t ticked)
{
    if (ticked & kNoReaction)
        return kNoReaction;
    return ticked == 0 ? kNoReaction : ticked;
}

// ---- notification byte (workWeRe, workSpecWeRe) --------------------------------------

// User u (1..4) gets an SMS for bit 2(u-1) and a call for bit 2(u-1)+1.
constexpr std::uint8_t smsBit(int user)
{
    return static_cast<std::uint8_t>(1u << (2 * (user - 1)));
}
constexpr std::uint8_t clipBit(int user)
{
    return static_cast<std::uint8_t>(1u << (2 * (user - 1) + 1));
}

// ---- option bits (flags), check boxes ChBFlags_0..5 -----------------------------------

enum class Option : int {
    SmsOutput1 = 0,  // "załącz/wyłącz wyjście 1 SMSsem"
    SmsOutput2 = 1,  // "załącz/wyłącz wyjście 2 SMSsem"
    TimedOff1 = 2,   // "Czas wyłączenia wyjścia 1"
    TimedOff2 = 3,   // "Czas wyłączenia wyjścia 2"
    Report = 4,      // "Przyślij raport co:"
    SmsProgram = 5,  // "Zezwolenie na programowanie sms-em."
};

constexpr std::uint8_t optionBit(Option option)
{
    return static_cast<std::uint8_t>(1u << static_cast<int>(option));
}
constexpr Option smsOutputOption(int output)
{
    return output == 1 ? Option::SmsOutput1 : Option::SmsOutput2;
}

// ---- CLIP groups (clipVerif, clipNotVerif), check boxes ChbClipVerif<i> ----------------

constexpr std::uint8_t clipSwitchOnBit(int output)
{
    return output == 1 ? 0x01 : 0x02;
}
constexpr std::uint8_t clipSwitchOffBit(int output)
{
    return output == 1 ? 0x04 : 0x08;
}
constexpr std::uint8_t clipToggleBit(int output)
{
    return output == 1 ? 0x10 : 0x20;
}
// "Odeślij raport do użytkownika 1", in both groups.
inline constexpr std::uint8_t kClipReport = 0x40;
// clipVerif only: "Odsyłaj nierozpoznane SMSy do Użytkownika 1" (group
// "Niezidentyfikowany SMS"); the box of clipNotVerif's bit 7 is hidden.
inline constexpr std::uint8_t kForwardUnknownSms = 0x80;

// ---- the boxes of the output-reaction dialog captioned "Opcja niedostępna" -----------

// The caption the dialog gives the report and timed switch-off boxes (padded
// with blanks there) wherever it shows them.
inline constexpr const char* kUnavailableOption = "Opcja niedostępna";

// Which of those three boxes the dialog shows for the reactions of an input and
// of the special entries it is opened for (3 the tamper input, 5 the blocking
// input). Hidden boxes keep their bits.
inline constexpr std::uint8_t kInputUnavailableShown =
    timedOffBit(2) | timedOffBit(1) | kReactionReport;
inline constexpr std::uint8_t kTamperUnavailableShown = timedOffBit(2) | timedOffBit(1);
inline constexpr std::uint8_t kBlockingUnavailableShown = 0;

}  // namespace tarnik
