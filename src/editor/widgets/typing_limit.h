#pragma once

// An edit box's maximum length as the window uses it: it limits what the user
// types or pastes, never a text set by the program. QLineEdit::setMaxLength
// would cut a stored 36-character text shown in a 35-character edit; this
// limit leaves it whole, so it is shown and collected unchanged.
//
// Every change the user makes (typing, pasting, dropping, undoing) is looked at
// once it happened: the characters it inserted are put through the edit's
// inserted-text filter, if any, as if typed one by one, and then as many of them
// as fit under the limit are kept. A paste longer than the room left inserts its
// beginning, as a Windows edit box with a maximum length does.

#include <QChar>
#include <QString>
#include <functional>

class QLineEdit;

namespace tarnik {

// Decides for one inserted character whether it may enter `text` at `caret`;
// may change the text and the caret first (a number holding a blank is started
// afresh). Returns the character to insert, or QChar() to drop it.
using InsertedCharFilter = std::function<QChar(QString& text, int& caret, QChar key)>;

// Installs the limit on `edit`. While the edit holds an over-long text set by
// the program, the user may shorten it but not lengthen it.
void setTypingLimit(QLineEdit* edit, int maxLength);

// The limit installed by setTypingLimit, or 0 for none.
int typingLimit(const QLineEdit* edit);

// Puts every character the user inserts into `edit` through `filter`, before
// the limit is applied. Control characters of an insertion are dropped: typing
// never inserts one.
void setInsertedCharFilter(QLineEdit* edit, InsertedCharFilter filter);

// Where a user's change to a text happened, told from the texts before and
// after it and the caret after it (which stands at the end of what was
// inserted): `removed` characters at `at` were replaced by `inserted`.
struct TextChange {
    int at = 0;
    int removed = 0;
    QString inserted;
};
TextChange userChange(const QString& before, const QString& after, int caretAfter);

}  // namespace tarnik
