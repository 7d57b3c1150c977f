#pragma once

// An edit box's maximum length as the window uses it: it limits what the user
// types or pastes, never a text set by the program. QLineEdit::setMaxLength
// would cut a stored 36-character text shown in a 35-character edit; this
// validator leaves it whole, so it is shown and collected unchanged.

#include <QValidator>

class QLineEdit;

namespace tarnik {

class TypingLimitValidator : public QValidator {
    Q_OBJECT
public:
    TypingLimitValidator(int maxLength, QObject *parent);
    int maxLength() const { return maxLength_; }
    State validate(QString &input, int &pos) const override;

private:
    int maxLength_;
};

// Installs the limit on `edit` (replacing any validator it had).
void setTypingLimit(QLineEdit *edit, int maxLength);

// The limit installed by setTypingLimit, or 0 for none.
int typingLimit(const QLineEdit *edit);

}  // namespace tarnik
