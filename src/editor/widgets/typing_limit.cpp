#include "editor/widgets/typing_limit.h"

#include <QLineEdit>

namespace tarnik {

TypingLimitValidator::TypingLimitValidator(int maxLength, QObject *parent)
    : QValidator(parent), maxLength_(maxLength) {}

// QLineEdit undoes a typed or pasted change that makes the text Invalid, but
// keeps an Invalid text that the program set.
QValidator::State TypingLimitValidator::validate(QString &input, int &) const {
    return input.size() > maxLength_ ? Invalid : Acceptable;
}

void setTypingLimit(QLineEdit *edit, int maxLength) {
    edit->setValidator(new TypingLimitValidator(maxLength, edit));
}

int typingLimit(const QLineEdit *edit) {
    const auto *limit = qobject_cast<const TypingLimitValidator *>(edit->validator());
    return limit ? limit->maxLength() : 0;
}

}  // namespace tarnik
