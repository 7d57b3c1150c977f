#include "editor/binding/control_access.h"

#include <QCheckBox>
#include <QLineEdit>

#include "editor/widgets/spin_edit.h"
#include "model/codepage.h"

namespace tarnik {

QString shownText(std::string_view bytes)
{
    return fromCp1250(bytes.substr(0, bytes.find('\0')));
}

void showTextBytes(QLineEdit* edit, std::string_view bytes)
{
    edit->setText(shownText(bytes));
}

std::string textBytes(const QLineEdit* edit)
{
    return toCp1250(edit->text());
}

void showSpin(SpinEdit* spin, std::uint8_t value)
{
    spin->setValue(value);
}

std::uint8_t collectSpin(SpinEdit* spin)
{
    // The ranges lie within 0..255, so the clamped value fits a byte.
    return static_cast<std::uint8_t>(spin->readValue());
}

void showBit(QCheckBox* box, bool set)
{
    box->setChecked(set);
}

bool isTicked(const QCheckBox* box)
{
    return box->isChecked();
}

}  // namespace tarnik
