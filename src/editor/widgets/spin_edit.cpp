#include "editor/widgets/spin_edit.h"

#include <QLineEdit>

namespace tarnik {

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
    setAccelerated(true);
}

void SpinEdit::setLimits(int minimum, int maximum, int maxLength)
{
    setRange(minimum, maximum);
    lineEdit()->setMaxLength(maxLength);
}

int SpinEdit::clampedValueOf(const QString& text) const
{
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    if (!ok)
        return minimum();
    return static_cast<int>(std::clamp<qlonglong>(number, minimum(), maximum()));
}

int SpinEdit::readValue()
{
    interpretText();
    return value();
}

QValidator::State SpinEdit::validate(QString& input, int&) const
{
    // Digits only (a minus sign where the range allows negatives); a number
    // outside the range is let through and clamped later by fixup().
    const QString text = input.trimmed();
    if (text.isEmpty() || (text == QLatin1String("-") && minimum() < 0))
        return QValidator::Intermediate;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit())
            continue;
        if (i == 0 && c == QLatin1Char('-') && minimum() < 0)
            continue;
        return QValidator::Invalid;
    }
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok || number < minimum() || number > maximum())
        return QValidator::Intermediate;
    return QValidator::Acceptable;
}

void SpinEdit::fixup(QString& input) const
{
    input = QString::number(clampedValueOf(input));
}

int SpinEdit::valueFromText(const QString& text) const
{
    return clampedValueOf(text);
}

}  // namespace tarnik
