#pragma once

// Byte layout of the Device image: the module's configuration memory as it
// crosses the serial line. Every image offset used by the conversions lives here.

#include <cstddef>
#include <cstdint>

#include "model/settings_record.h"

namespace tarnik::image {

inline constexpr std::uint8_t kLeadInByte = 0xFF;  // offsets 0 and 1
inline constexpr std::uint8_t kQuote = 34;         // '"' around PIN and phone numbers

inline constexpr std::size_t kLeadIn = 0;
inline constexpr std::size_t kLeadInLength = 2;
inline constexpr std::size_t kTimerPod = 2;       // 8 bytes
inline constexpr std::size_t kWyOffTimer = 10;    // 2 bytes
inline constexpr std::size_t kCallingTimer = 12;  // callingTimer + kCallingTimerBias
inline constexpr std::size_t kCallTimer = 13;
inline constexpr std::size_t kFlags = 14;
inline constexpr std::size_t kSmsConfirmTimer = 15;
inline constexpr std::size_t kSmsAttempts = 16;      // written, never read back
inline constexpr std::size_t kSmsAttemptsCopy = 17;  // written and read back
inline constexpr std::size_t kTimerTorBuf = 18;      // 8 bytes
inline constexpr std::size_t kTestOkr = 26;
inline constexpr std::size_t kZalWyCode = 27;  // 2 outputs x 2 raw bytes
inline constexpr std::size_t kWylWyCode = 31;  // 2 outputs x 2 raw bytes
inline constexpr std::size_t kPinMod = 35;     // 4 raw bytes, no length
inline constexpr std::size_t kPinModLength = 4;
inline constexpr std::size_t kClipVerif = 39;
inline constexpr std::size_t kClipNotVerif = 40;
inline constexpr std::size_t kChecksum =
    41;  // complement of the sum of kChecksumFirst..kChecksumLast
inline constexpr std::size_t kChecksumFirst = 2;
inline constexpr std::size_t kChecksumLast = 40;
inline constexpr std::size_t kInputPairs = 42;    // (notification, output reaction) per input
inline constexpr std::size_t kSpecialPairs = 74;  // the same per special entry
inline constexpr std::size_t kPin = 98;           // quote, 4 characters, quote, 0
inline constexpr std::size_t kPinSlotLength = 7;
inline constexpr std::size_t kPinCharacters = 4;
inline constexpr std::size_t kCsms = 105;    // quoted text slot
inline constexpr std::size_t kNrUser = 120;  // 4 quoted text slots
inline constexpr std::size_t kQuotedSlotLength = 15;
inline constexpr std::size_t kQuotedSlotMaxText = kQuotedSlotLength - 3;  // two quotes and a zero
inline constexpr std::size_t kQuotedReadMax = 15;  // characters taken when no closing quote comes
inline constexpr std::size_t kSmsTexts = 180;      // 16 zero-terminated text slots
inline constexpr std::size_t kSpecSmsTexts = 756;  // 12 zero-terminated text slots
inline constexpr std::size_t kTextSlotLength = 36;
inline constexpr std::size_t kExitTime = 1190;
inline constexpr std::size_t kEntryTime = 1191;
inline constexpr std::size_t kAlarmTime = 1192;
inline constexpr std::size_t kContentEnd = 1193;  // nothing is written or read from here on

inline constexpr std::uint8_t kCallingTimerBias = 15;

// k and r are 0-based (input or entry k + 1, reaction r + 1). Each pair is the
// notification byte followed by the output-reaction byte; all reaction-1 pairs
// come before the reaction-2 pairs.
constexpr std::size_t inputPair(int k, int r)
{
    return kInputPairs + 2 * kInputs * static_cast<std::size_t>(r) +
           2 * static_cast<std::size_t>(k);
}
constexpr std::size_t specialPair(int k, int r)
{
    return kSpecialPairs + 2 * kSpecialEntries * static_cast<std::size_t>(r) +
           2 * static_cast<std::size_t>(k);
}
constexpr std::size_t userNumberSlot(int u)
{
    return kNrUser + kQuotedSlotLength * static_cast<std::size_t>(u);
}
// All reaction-1 texts of the 8 inputs first, then the reaction-2 texts.
constexpr std::size_t inputTextSlot(int k, int r)
{
    return kSmsTexts +
           kTextSlotLength * (kInputs * static_cast<std::size_t>(r) + static_cast<std::size_t>(k));
}
constexpr std::size_t specialTextSlot(int k, int r)
{
    return kSpecSmsTexts + kTextSlotLength * (kSpecialEntries * static_cast<std::size_t>(r) +
                                              static_cast<std::size_t>(k));
}

static_assert(inputPair(7, 1) + 2 == kSpecialPairs);
static_assert(specialPair(5, 1) + 2 == kPin);
static_assert(kPin + kPinSlotLength == kCsms);
static_assert(kCsms + kQuotedSlotLength == kNrUser);
static_assert(userNumberSlot(3) + kQuotedSlotLength == kSmsTexts);
static_assert(inputTextSlot(7, 1) + kTextSlotLength == kSpecSmsTexts);
static_assert(specialTextSlot(5, 1) + kTextSlotLength == 1188);

}  // namespace tarnik::image
