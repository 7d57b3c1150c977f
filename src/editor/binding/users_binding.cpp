// The steps for the page "numery telefonów": numbers in the Settings record,
// names and notes in the User directory.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include "editor/binding/control_access.h"
#include "editor/binding/settings_binding.h"
#include "model/codepage.h"

namespace tarnik {

namespace {

QString numberEdit(int n)
{
    return QStringLiteral("Enruser%1").arg(n);
}

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

void SettingsBinding::ShowUserNumbers()
{
    ControlAccess c(root_);
    for (int n = 1; n <= kUsers; ++n)
        c.setText(numberEdit(n), record_.nrUser[n - 1]);
}

void SettingsBinding::CollectUserNumbers()
{
    ControlAccess c(root_);
    for (int n = 1; n <= kUsers; ++n)
        c.getText(numberEdit(n), record_.nrUser[n - 1]);
}

// Notes are stored with CR LF between lines; the memo shows them as lines.
void SettingsBinding::ShowUserDirectory()
{
    ControlAccess c(root_);
    for (int n = 1; n <= kUsers; ++n) {
        const UserEntry& entry = users_.entries[n - 1];
        c.setText(QStringLiteral("Eosoba%1").arg(n), entry.osoba);
        QString notes = shownText(entry.uwagi.str());
        notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        notes.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        c.memo(QStringLiteral("Muser%1").arg(n))->setPlainText(notes);
    }
}

void SettingsBinding::CollectUserDirectory()
{
    ControlAccess c(root_);
    for (int n = 1; n <= kUsers; ++n) {
        UserEntry& entry = users_.entries[n - 1];
        c.getText(QStringLiteral("Eosoba%1").arg(n), entry.osoba);
        entry.uwagi.assign(toCp1250(memoText(*c.memo(QStringLiteral("Muser%1").arg(n)))));
    }
}

bool SettingsBinding::CheckUserNumbers() const
{
    ControlAccess c(root_);
    bool international = true;
    for (int n = 1; n <= kUsers; ++n) {
        const QString number = c.edit(numberEdit(n))->text();
        if (number.size() > 2 && !number.startsWith(QLatin1Char('+')))
            international = false;
    }
    return international;
}

}  // namespace tarnik
