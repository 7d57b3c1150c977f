#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "editor/editor_texts.h"
#include "editor/pages/page_builders.h"
#include "editor/pages/row_widgets.h"
#include "model/settings_record.h"

namespace tarnik {

namespace {

// One block per user: heading, number, name and notes.
QWidget* buildUserBlock(QWidget* page, int n)
{
    const QString digit = QString::number(n);
    auto* block = new QWidget(page);
    block->setObjectName(QStringLiteral("userBlock") + digit);
    auto* grid = new QGridLayout(block);
    auto* heading = makeLabel(block, QString::fromUtf8(editor_text::kUser).arg(digit));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid->addWidget(heading, 0, 0, 1, 2);
    grid->addWidget(makeLabel(block, QString::fromUtf8(editor_text::kPhoneNumber)), 1, 0);
    grid->addWidget(makeEdit(block, QStringLiteral("Enruser") + digit), 1, 1);
    grid->addWidget(makeLabel(block, QString::fromUtf8(editor_text::kUserName)), 2, 0);
    grid->addWidget(makeEdit(block, QStringLiteral("Eosoba") + digit), 2, 1);
    auto* notesLabel = makeLabel(block, QString::fromUtf8(editor_text::kUserNotes));
    notesLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(notesLabel, 3, 0);
    auto* notes = new QPlainTextEdit(block);
    notes->setObjectName(QStringLiteral("Muser") + digit);
    notes->setTabChangesFocus(true);
    grid->addWidget(notes, 3, 1);
    grid->setRowStretch(3, 1);
    return block;
}

}  // namespace

// Users 1 and 2 side by side above users 3 and 4, separated by lines.
QWidget* buildUsersPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    auto* grid = new QGridLayout(page);
    for (int n = 1; n <= kUsers; ++n) {
        const int row = (n - 1) / 2 * 2;
        const int column = (n - 1) % 2 * 2;
        grid->addWidget(buildUserBlock(page, n), row, column);
    }
    grid->addWidget(makeLine(page, false), 0, 1);
    grid->addWidget(makeLine(page, false), 2, 1);
    grid->addWidget(makeLine(page), 1, 0, 1, 3);
    return page;
}

}  // namespace tarnik
