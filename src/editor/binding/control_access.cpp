#include "editor/binding/control_access.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "editor/lookup/control_lookup.h"
#include "editor/widgets/spin_edit.h"
#include "model/codepage.h"

namespace tarnik {

QString shownText(std::string_view bytes)
{
    return fromCp1250(bytes.substr(0, bytes.find('\0')));
}

QLineEdit* ControlAccess::edit(const QString& name) const
{
    return findControl<QLineEdit>(root_, name);
}
QCheckBox* ControlAccess::check(const QString& name) const
{
    return findControl<QCheckBox>(root_, name);
}
QComboBox* ControlAccess::combo(const QString& name) const
{
    return findControl<QComboBox>(root_, name);
}
QPlainTextEdit* ControlAccess::memo(const QString& name) const
{
    return findControl<QPlainTextEdit>(root_, name);
}

void ControlAccess::setTextBytes(const QString& name, const std::string& bytes) const
{
    edit(name)->setText(shownText(bytes));
}

std::string ControlAccess::textBytes(const QString& name) const
{
    return toCp1250(edit(name)->text());
}

void ControlAccess::setSpin(const QString& name, std::uint8_t value) const
{
    findControl<SpinEdit>(root_, name)->setValue(value);
}

std::uint8_t ControlAccess::getSpin(const QString& name) const
{
    // The ranges lie within 0..255, so the clamped value fits a byte.
    return static_cast<std::uint8_t>(findControl<SpinEdit>(root_, name)->readValue());
}

void ControlAccess::setBits(const QString& prefix, int count, std::uint8_t bits) const
{
    for (int i = 0; i < count; ++i)
        check(prefix + QString::number(i))->setChecked(((bits >> i) & 1) != 0);
}

std::uint8_t ControlAccess::getBits(const QString& prefix, int count) const
{
    unsigned bits = 0;
    for (int i = 0; i < count; ++i)
        if (check(prefix + QString::number(i))->isChecked())
            bits |= 1u << i;
    return static_cast<std::uint8_t>(bits);
}

}  // namespace tarnik
