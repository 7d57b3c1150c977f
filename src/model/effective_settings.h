#pragma once

// The settings one file stands for. A settings file may hold values no control of
// the window can show: a spin value outside its range, option bits without a check
// box, two excluding CLIP actions ticked at once, characters after a text's first
// zero byte, old characters behind a shortened code. The window brings all of them
// into line when it shows the file, so what it programs is not the file's raw
// record. effectiveSettings gives that record without any window, so that the
// command line programs, verifies, compares and exports what the window would.

#include <cstdint>
#include <span>

#include "model/reaction_bits.h"
#include "model/settings_record.h"

namespace tarnik {

// The record the window would program, and the only record the functions that judge
// or describe a configuration (the check, the reaction overview, the report, the
// comparisons) take: a raw record read from a file or collected from controls has to
// pass through effectiveSettings first, and the compiler sees to it, since nothing
// else can make one.
class EffectiveSettings {
public:
    const SettingsRecord& record() const { return record_; }

private:
    explicit EffectiveSettings(const SettingsRecord& record) : record_(record) { }
    friend EffectiveSettings effectiveSettings(const SettingsRecord& record);

    SettingsRecord record_;
};

// The record the window programs after opening a file holding `record` and the
// user touching nothing: every spin value clamped into its range, the option and
// CLIP bits as their check boxes and interlocks leave them, output codes as their
// edits collect them, texts up to their first zero byte, the SIM PIN and the SMS
// access code with zero bytes past their length. Bytes no control shows (the
// reaction bit sets, the spare bytes, characters past a text's length) are kept.
EffectiveSettings effectiveSettings(const SettingsRecord& record);

// The User directory as the window collects it after showing `users`: names and notes
// up to their first zero byte.
UserDirectory effectiveUsers(const UserDirectory& users);

// The CLIP bits the two check-box groups leave after showing `bits`: of the three
// actions on one output (switch on, switch off, change state) only the one whose
// box comes last stays ticked.
std::uint8_t effectiveClipBits(std::uint8_t bits);

// The option bits the window has check boxes for: bits 0 to 5.
inline constexpr std::uint8_t kOptionBitsMask = 0x3F;
// The option bit that allows programming by SMS; clear, the access code is emptied.
inline constexpr std::uint8_t kSmsProgrammingBit = optionBit(Option::SmsProgram);
// The option bits that allow switching output 1 or 2 by SMS; clear, its codes are emptied.
inline constexpr std::uint8_t kSmsOutputControlBit[kOutputs] = {optionBit(smsOutputOption(1)),
                                                                optionBit(smsOutputOption(2))};

// A code the window empties while its option is off: the setting's key, the option
// bit in `flags` and the caption of that option's check box.
struct CodeOption {
    const char* key;
    std::uint8_t flagBit;
    const char* caption;
};
std::span<const CodeOption> codeOptions();

}  // namespace tarnik
