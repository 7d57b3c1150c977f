#include "app/overview_window.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/window_texts.h"

namespace tarnik {

using namespace window_text;

namespace {

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// Roles beyond the text: the catalogue key of a warning's place.
constexpr int kKeyRole = Qt::UserRole + 1;
}  // namespace

// The overview as a Qt table; inactive rows in the palette's disabled text colour.
class OverviewTableModel : public QAbstractTableModel {
public:
    explicit OverviewTableModel(QObject* parent) : QAbstractTableModel(parent) { }

    void setOverview(ReactionOverview overview, const QBrush& inactive)
    {
        const bool sameShape = overview.rows.size() == overview_.rows.size();
        if (!sameShape)
            beginResetModel();
        overview_ = std::move(overview);
        inactive_ = inactive;
        if (!sameShape) {
            endResetModel();
            return;
        }
        emit headerDataChanged(Qt::Horizontal, 0, OverviewColumns::kCount - 1);
        if (!overview_.rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, OverviewColumns::kCount - 1));
    }
    const ReactionOverview& overview() const { return overview_; }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(overview_.rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : OverviewColumns::kCount;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const OverviewRow& row = overview_.rows[static_cast<std::size_t>(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            return text(overviewCell(row, index.column()));
        case Qt::ForegroundRole:
            return row.active ? QVariant() : QVariant(inactive_);
        case Qt::TextAlignmentRole:
            return index.column() == OverviewColumns::kEvent ||
                           index.column() == OverviewColumns::kText
                       ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                       : QVariant(Qt::AlignCenter);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
            section >= OverviewColumns::kCount)
            return QAbstractTableModel::headerData(section, orientation, role);
        QStringList lines;
        for (const std::string& line : overviewHeadingLines(overview_, section))
            lines << text(line);
        return lines.join(QLatin1Char('\n'));
    }

private:
    ReactionOverview overview_;
    QBrush inactive_;
};

OverviewWindow::OverviewWindow(OverviewHost host, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(std::move(host))
{
    setObjectName(QStringLiteral("OverviewWindow"));
    setWindowTitle(QString::fromUtf8(kOverviewTitle));
    auto* layout = new QVBoxLayout(this);

    QStringList legend;
    for (const std::string& line : overviewLegend())
        legend << text(line);
    auto* legendLabel = new QLabel(legend.join(QStringLiteral("     ")), this);
    legendLabel->setObjectName(QStringLiteral("overviewLegend"));
    legendLabel->setWordWrap(true);
    layout->addWidget(legendLabel);

    model_ = new OverviewTableModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("overviewTable"));
    table_->setModel(model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 4);

    // Ctrl+C in the window and the table's context menu copy the whole table.
    auto* copyAction = new QAction(QString::fromUtf8(kCopyTable), this);
    copyAction->setObjectName(QStringLiteral("copyOverviewAction"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WindowShortcut);
    addAction(copyAction);
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);
    table_->addAction(copyAction);
    connect(copyAction, &QAction::triggered, this, &OverviewWindow::copyTable);
    connect(table_, &QAbstractItemView::activated, this, &OverviewWindow::activateCell);

    auto* buttons = new QHBoxLayout;
    auto* copyButton = new QPushButton(QString::fromUtf8(kCopyTable), this);
    copyButton->setObjectName(QStringLiteral("copyOverview"));
    connect(copyButton, &QPushButton::clicked, this, &OverviewWindow::copyTable);
    auto* closeButton = new QPushButton(QString::fromUtf8(kClose), this);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(copyButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    warningsTitle_ = new QLabel(this);
    layout->addWidget(warningsTitle_);
    warningList_ = new QListWidget(this);
    warningList_->setObjectName(QStringLiteral("overviewWarnings"));
    warningList_->setWordWrap(true);
    warningsTitle_->setBuddy(warningList_);
    layout->addWidget(warningList_, 1);
    const auto jump = [this](QListWidgetItem* item) {
        const QString key = item->data(kKeyRole).toString();
        if (!key.isEmpty() && host_.showSetting)
            host_.showSetting(key.toStdString());
    };
    connect(warningList_, &QListWidget::itemActivated, this, jump);
    connect(warningList_, &QListWidget::itemClicked, this, jump);

    refresh();
    table_->resizeColumnsToContents();
    resize(1280, 820);
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::refresh()
{
    const auto [record, users] = host_.settings();
    model_->setOverview(reactionOverview(record, users),
                        palette().brush(QPalette::Disabled, QPalette::Text));
    warnings_ = host_.warnings ? host_.warnings(record, users) : std::vector<OverviewWarning>{};
    showWarnings();
    emit refreshed();
}

void OverviewWindow::showWarnings()
{
    const int current = warningList_->currentRow();
    warningList_->clear();
    for (const OverviewWarning& warning : warnings_) {
        auto* item = new QListWidgetItem(text(warning.line), warningList_);
        item->setData(kKeyRole, text(warning.key));
    }
    if (current >= 0 && current < warningList_->count())
        warningList_->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    warningsTitle_->setText(warnings_.empty()
                                ? QString::fromUtf8(kOverviewNoWarnings)
                                : QString::fromUtf8(kOverviewWarnings).arg(warnings_.size()));
}

const ReactionOverview& OverviewWindow::overview() const
{
    return model_->overview();
}

QString OverviewWindow::tableText() const
{
    return text(overviewAsText(model_->overview()));
}

void OverviewWindow::copyTable()
{
    QApplication::clipboard()->setText(tableText());
}

void OverviewWindow::activateCell(const QModelIndex& index)
{
    if (!index.isValid() || !host_.editRow)
        return;
    const OverviewRow row = model_->overview().rows[static_cast<std::size_t>(index.row())];
    host_.editRow(row, index.column());
}

}  // namespace tarnik
