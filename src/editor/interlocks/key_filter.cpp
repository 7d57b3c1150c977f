#include "editor/interlocks/key_filter.h"

#include <algorithm>

#include "model/phone_numbers.h"

namespace tarnik {

QChar FilterKey(const QString& text, int caret, QChar signA, QChar signB, QChar key)
{
    const QChar dropped;
    if (key == QChar(8) || key == QChar(9) || (key >= QLatin1Char('0') && key <= QLatin1Char('9')))
        return key;
    const QChar plus = QLatin1Char('+');
    const QChar minus = QLatin1Char('-');
    const QChar none = QLatin1Char('$');  // a sign that the edit does not accept
    if (key == plus || key == minus) {
        if (text.contains(signA) || text.contains(signB) || caret >= 2)
            return dropped;
        if (key == plus && signB == none)
            return dropped;
        if (key == minus && signA == none)
            return dropped;
        return key;
    }
    return dropped;
}

QChar filterPinKey(const QString& text, int caret, QChar key)
{
    return FilterKey(text, caret, QLatin1Char('$'), QLatin1Char('$'), key);
}

QChar filterNumberKey(QString& text, int& caret, QChar key)
{
    if (!text.isEmpty() && text.contains(QLatin1Char(' '))) {
        text.clear();
        caret = 0;
    }
    if (key == QChar(8) || key == QChar(9))
        return key;
    QString made = text;
    made.insert(std::clamp(caret, 0, static_cast<int>(text.size())), key);
    return isNumberBeginning(made.toStdString()) ? key : QChar();
}

}  // namespace tarnik
