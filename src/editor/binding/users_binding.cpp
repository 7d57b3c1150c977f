// The steps for the page "numery telefonów": numbers in the Settings record,
// names and notes in the User directory.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "editor/binding/control_access.h"
#include "editor/binding/settings_binding.h"
#include "model/codepage.h"
#include "model/phone_numbers.h"

namespace tarnik {

namespace {

// The memo's text with CR LF between lines and every other character as typed.
// toPlainText would turn a non-breaking space (0xA0 in the notes) into a blank; the raw
// text keeps it and marks line ends as paragraph (Enter) or line (Shift+Enter)
// separators.
QString memoText(const QPlainTextEdit& memo)
{
    QString text = memo.document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    text.replace(QChar(QChar::LineSeparator), QStringLiteral("\r\n"));
    return text;
}

}  // namespace

void SettingsBinding::ShowUserNumbers(const SettingsRecord& record)
{
    for (int n = 0; n < kUsers; ++n)
        showText(c_.userNumbers[n], record.nrUser[n]);
}

void SettingsBinding::CollectUserNumbers(SettingsRecord& record) const
{
    for (int n = 0; n < kUsers; ++n)
        collectText(c_.userNumbers[n], record.nrUser[n]);
}

// Notes are stored with CR LF between lines; the memo shows them as lines.
void SettingsBinding::ShowUserDirectory(const UserDirectory& users)
{
    for (int n = 0; n < kUsers; ++n) {
        const UserEntry& entry = users.entries[n];
        showText(c_.userNames[n], entry.osoba);
        QString notes = shownText(entry.uwagi.str());
        notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        notes.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        c_.userNotes[n]->setPlainText(notes);
    }
}

void SettingsBinding::CollectUserDirectory(UserDirectory& users) const
{
    for (int n = 0; n < kUsers; ++n) {
        UserEntry& entry = users.entries[n];
        collectText(c_.userNames[n], entry.osoba);
        entry.uwagi.assign(toCp1250(memoText(*c_.userNotes[n])));
    }
}

bool SettingsBinding::CheckUserNumbers() const
{
    bool international = true;
    for (const QLineEdit* edit : c_.userNumbers)
        if (!isInternationalNumber(textBytes(edit)))
            international = false;
    return international;
}

}  // namespace tarnik
