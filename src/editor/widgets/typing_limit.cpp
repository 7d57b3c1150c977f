#include "editor/widgets/typing_limit.h"

#include <QLineEdit>
#include <algorithm>

namespace tarnik {

TextChange userChange(const QString& before, const QString& after, int caretAfter)
{
    const auto beforeSize = static_cast<int>(before.size());
    const auto afterSize = static_cast<int>(after.size());
    caretAfter = std::clamp(caretAfter, 0, afterSize);
    // What follows the caret was not touched...
    int suffix = afterSize - caretAfter;
    if (suffix > beforeSize ||
        QStringView(before).right(suffix) != QStringView(after).right(suffix)) {
        // ...unless the caret was put elsewhere: then the longest common end.
        suffix = 0;
        while (suffix < std::min(beforeSize, afterSize) &&
               before.at(beforeSize - 1 - suffix) == after.at(afterSize - 1 - suffix))
            ++suffix;
    }
    // ...and neither was the longest common beginning before the change.
    int prefix = 0;
    while (prefix < beforeSize - suffix && prefix < afterSize - suffix &&
           before.at(prefix) == after.at(prefix))
        ++prefix;
    return {prefix, beforeSize - suffix - prefix, after.mid(prefix, afterSize - suffix - prefix)};
}

namespace {

class UserEditGuard : public QObject {
    Q_OBJECT
public:
    explicit UserEditGuard(QLineEdit* edit) : QObject(edit), edit_(edit), settled_(edit->text())
    {
        setObjectName(kName);
        // textEdited (user changes only) arrives before textChanged.
        connect(edit, &QLineEdit::textEdited, this,
                [this](const QString& text) { onEdited(text); });
        connect(edit, &QLineEdit::textChanged, this, [this] { settled_ = edit_->text(); });
    }

    static UserEditGuard* of(const QLineEdit* edit)
    {
        return edit->findChild<UserEditGuard*>(kName, Qt::FindDirectChildrenOnly);
    }
    static UserEditGuard* install(QLineEdit* edit)
    {
        UserEditGuard* guard = of(edit);
        return guard ? guard : new UserEditGuard(edit);
    }

    int limit = 0;
    InsertedCharFilter filter;

private:
    static constexpr const char* kName = "tarnikUserEditGuard";

    void onEdited(const QString& after)
    {
        const TextChange change = userChange(settled_, after, edit_->cursorPosition());
        if (change.inserted.isEmpty())
            return;  // only removed: always allowed
        QString text = settled_;
        text.remove(change.at, change.removed);
        int caret = change.at;
        for (QChar key : change.inserted) {
            if (filter) {
                if (key.unicode() < 0x20)
                    continue;
                key = filter(text, caret, key);
                if (key.isNull())
                    continue;
            }
            if (limit > 0 && text.size() >= limit)
                break;
            text.insert(caret++, key);
        }
        if (text == after)
            return;
        edit_->setText(text);
        edit_->setCursorPosition(caret);
    }

    QLineEdit* edit_;
    QString settled_;
};

}  // namespace

void setTypingLimit(QLineEdit* edit, int maxLength)
{
    UserEditGuard::install(edit)->limit = maxLength;
}

int typingLimit(const QLineEdit* edit)
{
    const UserEditGuard* guard = UserEditGuard::of(edit);
    return guard ? guard->limit : 0;
}

void setInsertedCharFilter(QLineEdit* edit, InsertedCharFilter filter)
{
    UserEditGuard::install(edit)->filter = std::move(filter);
}

}  // namespace tarnik

#include "typing_limit.moc"
