#pragma once

// An edit box's maximum length as the window uses it: it limits what the user
// types or pastes, never a text set by the program. QLineEdit::setMaxLength
// would cut a stored 36-character text shown in a 35-character edit; this
// limit leaves it whole, so it is shown and collected unchanged.

#include <QString>
#include <QValidator>

class QLineEdit;

namespace tarnik {

// Refuses a typed or pasted change that makes the text longer than the limit
// (QLineEdit undoes such a change but keeps an over-long text the program set).
class TypingLimitValidator : public QValidator {
    Q_OBJECT
public:
    TypingLimitValidator(int maxLength, QObject* parent);
    int maxLength() const { return maxLength_; }
    State validate(QString& input, int& pos) const override;

private:
    int maxLength_;
};

// Installs the limit on `edit` (replacing any validator it had). While the
// edit holds an over-long text set by the program, the user may shorten it
// but not lengthen it.
void setTypingLimit(QLineEdit* edit, int maxLength);

// The limit installed by setTypingLimit, or 0 for none.
int typingLimit(const QLineEdit* edit);

}  // namespace tarnik
