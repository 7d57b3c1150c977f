#pragma once

// The conversions the bindings share between controls and record fields: texts
// in code page 1250 cut to their field, spin values as bytes, rows of check
// boxes as bit sets.

#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/short_string.h"

class QCheckBox;
class QLineEdit;

namespace tarnik {

class SpinEdit;

// The text an edit box or memo shows for stored bytes: up to the first zero byte, as
// a Windows edit box holds it. A field of zero bytes (an SMS access code read back
// from a blank module) shows, and is collected, as empty.
QString shownText(std::string_view bytes);

// An edit shows the stored characters whole, even past its typing limit, up to the
// first zero byte.
void showTextBytes(QLineEdit* edit, std::string_view bytes);
std::string textBytes(const QLineEdit* edit);

template <std::size_t N>
void showText(QLineEdit* edit, const ShortString<N>& field)
{
    showTextBytes(edit, field.str());
}
template <std::size_t N>
void collectText(const QLineEdit* edit, ShortString<N>& field)
{
    field.assign(textBytes(edit));
}
// A PIN or access code: every character byte of the field reaches the module, so
// the bytes past the collected text are cleared rather than kept.
template <std::size_t N>
void collectCodeText(const QLineEdit* edit, ShortString<N>& field)
{
    field.assignCleared(textBytes(edit));
}

// The spin clamps the value into its range.
void showSpin(SpinEdit* spin, std::uint8_t value);
std::uint8_t collectSpin(SpinEdit* spin);

// Box i takes bit i, in that order (each change fires the box's handler).
void showBit(QCheckBox* box, bool set);
bool isTicked(const QCheckBox* box);
template <std::size_t N>
void showBits(const std::array<QCheckBox*, N>& boxes, std::uint8_t bits)
{
    for (std::size_t i = 0; i < N; ++i)
        showBit(boxes[i], ((bits >> i) & 1) != 0);
}
template <std::size_t N>
std::uint8_t collectBits(const std::array<QCheckBox*, N>& boxes)
{
    unsigned bits = 0;
    for (std::size_t i = 0; i < N; ++i)
        if (isTicked(boxes[i]))
            bits |= 1u << i;
    return static_cast<std::uint8_t>(bits);
}

}  // namespace tarnik
