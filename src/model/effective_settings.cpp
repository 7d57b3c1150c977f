#include "model/effective_settings.h"

#include <algorithm>
#include <array>

#include "model/bit_meanings.h"
#include "model/value_ranges.h"

namespace tarnik {

namespace {

// The three CLIP actions on one output, in box order: switch on, switch off,
// change state. Each box's interlock clears the other two when it is ticked, and
// the boxes are set in box order, so the last ticked one stays.
constexpr std::array<std::array<int, 3>, kOutputs> kClipActionsOfOutput{{{0, 2, 4}, {1, 3, 5}}};

// A text as its edit shows it and collects it back: the characters up to the
// first zero byte. The characters past that keep their bytes, as collecting does.
template <std::size_t N>
void cutAtZero(ShortString<N>& text)
{
    const std::size_t length = std::min<std::size_t>(text.len, N);
    text.len =
        static_cast<std::uint8_t>(std::find(text.chars, text.chars + length, 0) - text.chars);
}

// A code or PIN as the window stores it: cut at the first zero, zeros after it.
template <std::size_t N>
void clearPastText(ShortString<N>& text)
{
    cutAtZero(text);
    std::fill(text.chars + text.len, text.chars + N, std::uint8_t{0});
}

// An output code shows only when both bytes are set, and is emptied while SMS
// control of its output is off.
void effectiveCode(std::uint8_t (&code)[2], bool controlOn)
{
    if (!controlOn || code[0] == 0 || code[1] == 0)
        code[0] = code[1] = 0;
}

}  // namespace

std::span<const CodeOption> codeOptions()
{
    static const CodeOption kOptions[] = {
        {"pinMod", kSmsProgrammingBit, optionCaption(Option::SmsProgram)},
        {"zalWyCode[1]", kSmsOutputControlBit[0], optionCaption(smsOutputOption(1))},
        {"wylWyCode[1]", kSmsOutputControlBit[0], optionCaption(smsOutputOption(1))},
        {"zalWyCode[2]", kSmsOutputControlBit[1], optionCaption(smsOutputOption(2))},
        {"wylWyCode[2]", kSmsOutputControlBit[1], optionCaption(smsOutputOption(2))},
    };
    return kOptions;
}

std::uint8_t effectiveClipBits(std::uint8_t bits)
{
    unsigned result = bits;
    for (const auto& actions : kClipActionsOfOutput) {
        bool kept = false;  // a later box of this output stays ticked
        for (auto it = actions.rbegin(); it != actions.rend(); ++it) {
            const unsigned bit = 1u << *it;
            if (kept)
                result &= ~bit;
            else
                kept = (result & bit) != 0;
        }
    }
    return static_cast<std::uint8_t>(result);
}

EffectiveSettings effectiveSettings(const SettingsRecord& record)
{
    SettingsRecord r = record;
    for (const SpinLimits& limits : spinLimits()) {
        std::uint8_t& value = spinField(r, limits);
        value = static_cast<std::uint8_t>(std::clamp<int>(value, limits.minimum, limits.maximum));
    }

    r.flags &= kOptionBitsMask;
    r.clipVerif = effectiveClipBits(r.clipVerif);
    r.clipNotVerif = effectiveClipBits(r.clipNotVerif);
    for (int n = 0; n < kOutputs; ++n) {
        const bool controlOn = (r.flags & kSmsOutputControlBit[n]) != 0;
        effectiveCode(r.zalWyCode[n], controlOn);
        effectiveCode(r.wylWyCode[n], controlOn);
    }

    clearPastText(r.pin);
    clearPastText(r.pinMod);
    if ((r.flags & kSmsProgrammingBit) == 0)
        r.pinMod.assignCleared({});

    cutAtZero(r.csms);
    for (auto& number : r.nrUser)
        cutAtZero(number);
    for (auto& reactions : r.smsWeRe)
        for (auto& text : reactions)
            cutAtZero(text);
    for (auto& reactions : r.smsSpecWeRe)
        for (auto& text : reactions)
            cutAtZero(text);
    return EffectiveSettings(r);
}

UserDirectory effectiveUsers(const UserDirectory& users)
{
    UserDirectory u = users;
    for (auto& entry : u.entries) {
        cutAtZero(entry.osoba);
        cutAtZero(entry.uwagi);
    }
    return u;
}

}  // namespace tarnik
