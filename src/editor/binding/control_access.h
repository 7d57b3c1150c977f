#pragma once

// Typed access to the window's controls by name, with the conversions the
// bindings share: texts in code page 1250 cut to their field, spin values as
// bytes, rows of check boxes as bit sets.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/short_string.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tarnik {

// The text an edit box or memo shows for stored bytes: up to the first zero byte, as
// a Windows edit box holds it. A field of zero bytes (an SMS access code read back
// from a blank module) shows, and is collected, as empty.
QString shownText(std::string_view bytes);

class ControlAccess {
public:
    explicit ControlAccess(QWidget* root) : root_(root) { }

    QLineEdit* edit(const QString& name) const;
    QCheckBox* check(const QString& name) const;
    QComboBox* combo(const QString& name) const;
    QPlainTextEdit* memo(const QString& name) const;

    // An edit shows the stored characters whole, even past its typing limit, up to the
    // first zero byte.
    void setTextBytes(const QString& name, const std::string& bytes) const;
    std::string textBytes(const QString& name) const;

    template <std::size_t N>
    void setText(const QString& name, const ShortString<N>& field) const
    {
        setTextBytes(name, field.str());
    }
    template <std::size_t N>
    void getText(const QString& name, ShortString<N>& field) const
    {
        field.assign(textBytes(name));
    }

    // The spin clamps the value into its range.
    void setSpin(const QString& name, std::uint8_t value) const;
    std::uint8_t getSpin(const QString& name) const;

    // Boxes prefix + "0" .. prefix + (count - 1) take bits 0 .. count - 1, in
    // that order (each change fires the box's handler).
    void setBits(const QString& prefix, int count, std::uint8_t bits) const;
    std::uint8_t getBits(const QString& prefix, int count) const;

private:
    QWidget* root_;
};

}  // namespace tarnik
