#pragma once

// Texts that come from a device or a module (a serial-number answer, a USB adapter's
// maker and product, a driver's name), made safe to show on a terminal and in a label:
// nothing in them can move the cursor, recolour, retitle or reorder what is shown.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnik {

// The characters a device's text is shown with at most (a port's whole description too).
inline constexpr std::size_t kDeviceTextMax = 127;

// `text` (UTF-8) with every terminal escape sequence removed whole (ESC [ ... final byte,
// ESC ] / P / X / ^ / _ ... BEL or ST, ESC and its intermediates and final character),
// every other control character removed (C0, DEL, C1), every format character removed
// (Unicode category Cf: the direction controls U+200E/U+200F, U+202A-U+202E,
// U+2066-U+2069, the zero-width characters U+200B-U+200D, U+2060, U+FEFF and the others),
// as are the line and paragraph separators U+2028/U+2029; a byte that is no part of a
// valid UTF-8 character becomes U+FFFD. Cut to `maxCharacters` characters, never inside
// one.
std::string sanitizeDeviceText(std::string_view text, std::size_t maxCharacters = kDeviceTextMax);

// The number of UTF-8 characters of `text` (continuation bytes do not count).
std::size_t characterCount(std::string_view text);

}  // namespace tarnik
