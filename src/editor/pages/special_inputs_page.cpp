#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "editor/editor_texts.h"
#include "editor/pages/page_builders.h"
#include "editor/pages/row_widgets.h"
#include "model/settings_record.h"

namespace tarnik {

namespace {

enum Column { RowLabel, OutputButtons, NotifyButtons, SmsTexts };

struct SpecialRow {
    int entry;
    const char* label;
    bool visible;
};

// Entries 1 and 2 (output confirmations) live on the outputs page; 4 and 6 are
// spare rows that exist only to carry their texts between record and controls.
constexpr SpecialRow kRows[] = {
    {3, editor_text::kTamperInput, true},
    {5, editor_text::kBlockingInput, true},
    {4, editor_text::kSpecialInput4, false},
    {6, editor_text::kSpecialInput6, false},
};

// The buttons and edits are children of the page itself: the reaction
// handlers tell this page's buttons from others by their container.
void addSpecialRow(QWidget* page, QGridLayout* grid, int top, const SpecialRow& row)
{
    const QString k = QString::number(row.entry);
    QList<QWidget*> widgets;
    auto* label = makeLabel(page, QString::fromUtf8(row.label));
    grid->addWidget(label, top, RowLabel, 2, 1);
    widgets << label;
    for (int r = 1; r <= kReactions; ++r) {
        const QString re = QStringLiteral("Re") + QString::number(r);
        QString outputCaption = QString::fromUtf8(editor_text::kSpecialOutputs);
        QString notifyCaption = QString::fromUtf8(editor_text::kSpecialNotify);
        if (row.visible) {
            outputCaption = QString::fromUtf8(r == 1 ? editor_text::kGroundApplied
                                                     : editor_text::kGroundRemoved);
            notifyCaption = QString::fromUtf8(editor_text::kNotifyTamper);
        }
        auto* output =
            makeButton(page, QStringLiteral("BB_ConfigNumerSpecWe") + k + re, outputCaption);
        auto* notify =
            makeButton(page, QStringLiteral("BBConfigWorkSpecWe") + k + re, notifyCaption);
        auto* text = makeEdit(page, QStringLiteral("ETSpecSMS_We") + k + QStringLiteral("_") + re);
        grid->addWidget(output, top + r - 1, OutputButtons);
        grid->addWidget(notify, top + r - 1, NotifyButtons);
        grid->addWidget(text, top + r - 1, SmsTexts);
        widgets << output << notify << text;
    }
    if (!row.visible)
        for (QWidget* w : widgets)
            w->setVisible(false);
}

}  // namespace

QWidget* buildSpecialInputsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet4"));
    auto* grid = new QGridLayout(page);
    grid->addWidget(makeHeading(page, QString::fromUtf8(editor_text::kOutputsHeading)), 0,
                    OutputButtons);
    grid->addWidget(makeHeading(page, QString::fromUtf8(editor_text::kNotifyHeading)), 0,
                    NotifyButtons);
    grid->addWidget(makeHeading(page, QString::fromUtf8(editor_text::kSmsTextHeading)), 0,
                    SmsTexts);
    int top = 1;
    for (const SpecialRow& row : kRows) {
        addSpecialRow(page, grid, top, row);
        if (row.visible && row.entry == 3)
            grid->addWidget(makeLine(page), top + 2, RowLabel, 1, SmsTexts + 1);
        top += 3;
    }
    grid->setColumnStretch(SmsTexts, 1);
    grid->setRowStretch(top, 1);
    return page;
}

}  // namespace tarnik
