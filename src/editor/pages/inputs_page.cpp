#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "editor/editor_texts.h"
#include "editor/pages/page_builders.h"
#include "editor/pages/row_widgets.h"
#include "editor/widgets/spin_edit.h"
#include "model/settings_record.h"

namespace tarnik {

namespace {

enum Column { RowLabel, ReactionTime, BlockTime, OutputButtons, NotifyButtons, SmsTexts };

// One input k takes two grid rows (reaction 1 above reaction 2) and a line.
void addInputRow(QWidget* box, QGridLayout* grid, int k)
{
    const int top = 1 + (k - 1) * 3;
    const QString n = QString::number(k);
    grid->addWidget(makeLabel(box, QString::fromUtf8(editor_text::kInput).arg(k)), top, RowLabel, 2,
                    1);
    grid->addWidget(makeSpin(box, QStringLiteral("SEtimerPod") + n), top, ReactionTime, 2, 1);
    grid->addWidget(makeSpin(box, QStringLiteral("SEtimerTorBuf") + n), top, BlockTime, 2, 1);
    for (int r = 1; r <= kReactions; ++r) {
        const QString re = QStringLiteral("Re") + QString::number(r);
        const int row = top + r - 1;
        grid->addWidget(makeButton(box, QStringLiteral("BB_ConfigNumerWe") + n + re,
                                   QString::fromUtf8(r == 1 ? editor_text::kGroundApplied
                                                            : editor_text::kGroundRemoved)),
                        row, OutputButtons);
        grid->addWidget(makeButton(box, QStringLiteral("BBConfigWorkWe") + n + re,
                                   QString::fromUtf8(editor_text::kNotifyInput)),
                        row, NotifyButtons);
        grid->addWidget(makeEdit(box, QStringLiteral("ETSMS_We") + n + QStringLiteral("_") + re),
                        row, SmsTexts);
    }
    if (k < kInputs)
        grid->addWidget(makeLine(box), top + 2, RowLabel, 1, SmsTexts + 1);
}

}  // namespace

QWidget* buildInputsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QStringLiteral("ScrollBox1Area"));
    scroll->setWidgetResizable(true);
    auto* box = new QWidget;
    box->setObjectName(QStringLiteral("ScrollBox1"));

    auto* grid = new QGridLayout(box);
    grid->addWidget(makeHeading(box, QString::fromUtf8(editor_text::kReactionTimeHeading)), 0,
                    ReactionTime);
    grid->addWidget(makeHeading(box, QString::fromUtf8(editor_text::kBlockTimeHeading)), 0,
                    BlockTime);
    grid->addWidget(makeHeading(box, QString::fromUtf8(editor_text::kOutputsHeading)), 0,
                    OutputButtons);
    grid->addWidget(makeHeading(box, QString::fromUtf8(editor_text::kNotifyHeading)), 0,
                    NotifyButtons);
    grid->addWidget(makeHeading(box, QString::fromUtf8(editor_text::kSmsTextHeading)), 0, SmsTexts);
    for (int k = 1; k <= kInputs; ++k)
        addInputRow(box, grid, k);
    grid->setColumnStretch(SmsTexts, 1);
    grid->setRowStretch(grid->rowCount(), 1);

    scroll->setWidget(box);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    return page;
}

}  // namespace tarnik
