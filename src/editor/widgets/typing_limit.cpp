#include "editor/widgets/typing_limit.h"

#include <QLineEdit>

namespace tarnik {

TypingLimitValidator::TypingLimitValidator(int maxLength, QObject* parent)
    : QValidator(parent), maxLength_(maxLength)
{
}

QValidator::State TypingLimitValidator::validate(QString& input, int&) const
{
    return input.size() > maxLength_ ? Invalid : Acceptable;
}

namespace {

// QLineEdit only undoes an invalid change when the text before it was valid,
// so a program-set over-long text needs this second guard: a user change that
// makes such a text longer still is taken back.
class OverlongTextGuard : public QObject {
public:
    OverlongTextGuard(QLineEdit* edit, int maxLength)
        : QObject(edit), edit_(edit), maxLength_(maxLength)
    {
        settled_ = edit->text();
        // textEdited (user changes only) arrives before textChanged.
        connect(edit, &QLineEdit::textEdited, this,
                [this](const QString& text) { onEdited(text); });
        connect(edit, &QLineEdit::textChanged, this, [this] { settled_ = edit_->text(); });
    }

private:
    void onEdited(const QString& text)
    {
        if (text.size() <= maxLength_ || text.size() <= settled_.size())
            return;
        const int cursor =
            edit_->cursorPosition() - static_cast<int>(text.size() - settled_.size());
        edit_->setText(settled_);
        edit_->setCursorPosition(std::max(0, cursor));
    }

    QLineEdit* edit_;
    int maxLength_;
    QString settled_;
};

}  // namespace

void setTypingLimit(QLineEdit* edit, int maxLength)
{
    edit->setValidator(new TypingLimitValidator(maxLength, edit));
    new OverlongTextGuard(edit, maxLength);
}

int typingLimit(const QLineEdit* edit)
{
    const auto* limit = qobject_cast<const TypingLimitValidator*>(edit->validator());
    return limit ? limit->maxLength() : 0;
}

}  // namespace tarnik
