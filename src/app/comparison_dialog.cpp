#include "app/comparison_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/window_texts.h"

namespace tarnik {

using namespace window_text;

ComparisonDialog::ComparisonDialog(const std::vector<SettingComparison>& differences,
                                   const QString& otherColumn, QWidget* parent)
    : ComparisonDialog(differences, QString::fromUtf8(kWindowColumn), otherColumn, parent)
{
}

ComparisonDialog::ComparisonDialog(const std::vector<SettingComparison>& differences,
                                   const QString& firstColumn, const QString& otherColumn,
                                   QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ComparisonDialog"));
    setWindowTitle(QString::fromUtf8(kComparisonTitle));
    auto* layout = new QVBoxLayout(this);

    summary_ = new QLabel(differences.empty() ? QString::fromUtf8(kNoDifferences)
                                              : QString::fromUtf8(kDifferenceCount) +
                                                    QString::number(differences.size()),
                          this);
    layout->addWidget(summary_);

    table_ = new QTableWidget(static_cast<int>(differences.size()), 3, this);
    table_->setHorizontalHeaderLabels(
        {QString::fromUtf8(kSettingColumn), firstColumn, otherColumn});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const SettingComparison& difference = differences[static_cast<std::size_t>(row)];
        table_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(difference.label)));
        table_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(difference.valueA)));
        table_->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(difference.valueB)));
    }
    // The label as wide as it needs, the two values sharing the rest alike.
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    table_->setVisible(!differences.empty());
    layout->addWidget(table_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8(kClose), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(differences.empty() ? QSize(320, 120) : QSize(860, 420));
}

QString ComparisonDialog::summary() const
{
    return summary_->text();
}

}  // namespace tarnik
