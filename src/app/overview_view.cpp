#include "app/overview_view.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QTableView>
#include <QVBoxLayout>

#include "app/window_texts.h"
#include "model/settings_catalogue.h"

namespace tarnik {

using namespace window_text;

namespace {

using C = OverviewColumns;

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// Roles beyond the text: the index of a warning in the list.
constexpr int kWarningRole = Qt::UserRole + 1;

// Lines the warnings list asks for under the table.
constexpr int kWarningLines = 5;

// Cells behind a warning: a light amber, with dark text on it whatever the theme.
const QColor kMarkedBackground(255, 221, 170);
const QColor kMarkedText(Qt::black);

int userOfColumn(int column)
{
    return (column - C::kFirstUser) / 2 + 1;
}

}  // namespace

// The overview as a Qt table: the events as the rows' headings (column 0 is
// hidden in the view), inactive rows in the palette's disabled text colour, cells
// behind a warning marked, the outputs' codes masked unless shown.
class OverviewTableModel : public QAbstractTableModel {
public:
    explicit OverviewTableModel(QObject* parent) : QAbstractTableModel(parent) { }

    void setOverview(ReactionOverview overview, const std::vector<OverviewWarning>& warnings,
                     const QBrush& inactive)
    {
        const bool sameShape = overview.rows.size() == overview_.rows.size();
        if (!sameShape)
            beginResetModel();
        overview_ = std::move(overview);
        inactive_ = inactive;
        markWarnings(warnings);
        if (!sameShape) {
            endResetModel();
            return;
        }
        emit headerDataChanged(Qt::Horizontal, 0, C::kCount - 1);
        if (!overview_.rows.empty()) {
            emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
            emit dataChanged(index(0, 0), index(rowCount() - 1, C::kCount - 1));
        }
    }
    const ReactionOverview& overview() const { return overview_; }

    void setShowSecrets(bool show)
    {
        showSecrets_ = show;
        if (!overview_.rows.empty())
            emit dataChanged(index(0, C::kText), index(rowCount() - 1, C::kText));
    }
    bool showSecrets() const { return showSecrets_; }

    // The warnings (indices into the list given last) behind a cell, and behind
    // a column's heading.
    const std::vector<int>& cellWarnings(int row, int column) const
    {
        return marks_[static_cast<std::size_t>(row * C::kCount + column)];
    }
    const std::vector<int>& headingWarnings(int column) const
    {
        return headingMarks_[static_cast<std::size_t>(column)];
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(overview_.rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : C::kCount;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const OverviewRow& row = overview_.rows[static_cast<std::size_t>(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            return text(overviewCell(row, index.column(), showSecrets_));
        case Qt::TextAlignmentRole:
            return index.column() == C::kEvent || index.column() == C::kText
                       ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                       : QVariant(Qt::AlignCenter);
        default:
            return markedData(row, cellWarnings(index.row(), index.column()), role);
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical) {
            if (section < 0 || section >= rowCount())
                return {};
            const OverviewRow& row = overview_.rows[static_cast<std::size_t>(section)];
            switch (role) {
            case Qt::DisplayRole:
                return text(row.label);
            case Qt::TextAlignmentRole:
                return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
            default:
                return markedData(row, cellWarnings(section, C::kEvent), role);
            }
        }
        if (section < 0 || section >= C::kCount)
            return QAbstractTableModel::headerData(section, orientation, role);
        if (role == Qt::DisplayRole) {
            QStringList lines;
            for (const std::string& line : overviewHeadingLines(overview_, section))
                lines << text(line);
            return lines.join(QLatin1Char('\n'));
        }
        // A user's heading behind a warning about the user's number.
        if (!headingWarnings(section).empty()) {
            if (role == Qt::ToolTipRole)
                return tip(headingWarnings(section));
            if (role == Qt::BackgroundRole)
                return QBrush(kMarkedBackground);
            if (role == Qt::ForegroundRole)
                return QBrush(kMarkedText);
        }
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    QVariant markedData(const OverviewRow& row, const std::vector<int>& warnings, int role) const
    {
        switch (role) {
        case Qt::ForegroundRole:
            if (!row.active)
                return inactive_;
            return warnings.empty() ? QVariant() : QVariant(QBrush(kMarkedText));
        case Qt::BackgroundRole:
            return warnings.empty() ? QVariant() : QVariant(QBrush(kMarkedBackground));
        case Qt::ToolTipRole:
            return warnings.empty() ? QVariant() : QVariant(tip(warnings));
        default:
            return {};
        }
    }

    // The warnings behind a cell, one a line: "SENTENCE [RULE]".
    QString tip(const std::vector<int>& warnings) const
    {
        QStringList lines;
        for (int i : warnings) {
            const OverviewWarning& warning = warnings_[static_cast<std::size_t>(i)];
            lines << text(warning.sentence + " [" + warning.rule + "]");
        }
        return lines.join(QLatin1Char('\n'));
    }

    void markWarnings(const std::vector<OverviewWarning>& warnings)
    {
        warnings_ = warnings;
        marks_.assign(overview_.rows.size() * C::kCount, {});
        headingMarks_.assign(C::kCount, {});
        if (warnings_.empty())
            return;
        for (std::size_t r = 0; r < overview_.rows.size(); ++r)
            for (int c = 0; c < C::kCount; ++c)
                for (const OverviewSetting& setting : overviewCellSettings(overview_.rows[r], c))
                    for (std::size_t w = 0; w < warnings_.size(); ++w) {
                        std::vector<int>& marks =
                            marks_[r * C::kCount + static_cast<std::size_t>(c)];
                        if (setting.concerns(warnings_[w].key, warnings_[w].bits) &&
                            std::find(marks.begin(), marks.end(), static_cast<int>(w)) ==
                                marks.end())
                            marks.push_back(static_cast<int>(w));
                    }
        // A user's columns are headed by the user's number.
        for (int c = C::kFirstUser; c < C::kText; ++c) {
            const std::string number = settingKey("nrUser", userOfColumn(c));
            for (std::size_t w = 0; w < warnings_.size(); ++w)
                if (warnings_[w].key == number)
                    headingMarks_[static_cast<std::size_t>(c)].push_back(static_cast<int>(w));
        }
    }

    ReactionOverview overview_;
    std::vector<OverviewWarning> warnings_;
    std::vector<std::vector<int>> marks_;  // rows x columns
    std::vector<std::vector<int>> headingMarks_ = std::vector<std::vector<int>>(C::kCount);
    QBrush inactive_;
    bool showSecrets_ = false;
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
    table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The events head the rows, so they stay when the table scrolls sideways.
    table_->setColumnHidden(C::kEvent, true);
    QHeaderView* rows = table_->verticalHeader();
    rows->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A row as high as a line of text and the grid line under it.
    rows->setMinimumSectionSize(0);
    rows->setDefaultSectionSize(fontMetrics().height() + 2);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table_->horizontalHeader()->setStretchLastSection(true);
    // The corner above the events carries their heading.
    if (auto* corner = table_->findChild<QAbstractButton*>())
        corner->installEventFilter(this);
    connect(rows, &QHeaderView::sectionDoubleClicked, this,
            [this](int row) { activateCell(model_->index(row, C::kEvent)); });

    auto* warnings = new QWidget(this);
    auto* warningsLayout = new QVBoxLayout(warnings);
    warningsLayout->setContentsMargins(0, 0, 0, 0);
    warningsTitle_ = new QLabel(warnings);
    // Under the table, one line: the warnings' title, the switches and the buttons.
    auto* buttons = new QHBoxLayout;
    hideUnused_ = new QCheckBox(QString::fromUtf8(kOverviewHideUnused), this);
    hideUnused_->setObjectName(QStringLiteral("overviewHideUnused"));
    connect(hideUnused_, &QCheckBox::toggled, this, &OverviewWindow::applyHiding);
    showCodes_ = new QCheckBox(QString::fromUtf8(kOverviewShowCodes), this);
    showCodes_->setObjectName(QStringLiteral("overviewShowCodes"));
    connect(showCodes_, &QCheckBox::toggled, this, [this](bool show) {
        model_->setShowSecrets(show);
        fitColumns();
    });
    auto* copyButton = new QPushButton(QString::fromUtf8(kCopyTable), this);
    copyButton->setObjectName(QStringLiteral("copyOverview"));
    connect(copyButton, &QPushButton::clicked, this, &OverviewWindow::copyTable);
    auto* closeButton = new QPushButton(QString::fromUtf8(kClose), this);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(warningsTitle_);
    buttons->addStretch(1);
    buttons->addWidget(hideUnused_);
    buttons->addWidget(showCodes_);
    buttons->addWidget(copyButton);
    buttons->addWidget(closeButton);
    warningsLayout->addLayout(buttons);
    warningList_ = new QListWidget(warnings);
    warningList_->setObjectName(QStringLiteral("overviewWarnings"));
    warningList_->setWordWrap(true);
    warningList_->setAlternatingRowColors(true);
    warningList_->setMinimumHeight(3 * fontMetrics().lineSpacing() +
                                   2 * warningList_->frameWidth());
    warningsTitle_->setBuddy(warningList_);
    warningsLayout->addWidget(warningList_);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->addWidget(table_);
    splitter_->addWidget(warnings);
    splitter_->setChildrenCollapsible(false);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    layout->addWidget(splitter_, 1);

    // Ctrl+C in the window and the table's context menu copy the table.
    auto* copyAction = new QAction(QString::fromUtf8(kCopyTable), this);
    copyAction->setObjectName(QStringLiteral("copyOverviewAction"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WindowShortcut);
    addAction(copyAction);
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);
    table_->addAction(copyAction);
    connect(copyAction, &QAction::triggered, this, &OverviewWindow::copyTable);
    connect(table_, &QAbstractItemView::activated, this, &OverviewWindow::activateCell);

    // A click on a warning brings the main window to the control that fixes it;
    // activating it (a double click, Enter) also opens the reaction dialog that does.
    connect(warningList_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { chooseWarning(item, false); });
    connect(warningList_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { chooseWarning(item, true); });
    // The table shows the row of the warning the list is on.
    connect(warningList_, &QListWidget::currentRowChanged, this, [this](int current) {
        for (int r = 0; current >= 0 && r < model_->rowCount(); ++r)
            for (int c = C::kEvent + 1; c < C::kCount; ++c) {
                const std::vector<int>& marks = model_->cellWarnings(r, c);
                if (!table_->isRowHidden(r) && !table_->isColumnHidden(c) &&
                    std::find(marks.begin(), marks.end(), current) != marks.end()) {
                    table_->setCurrentIndex(model_->index(r, c));
                    table_->scrollTo(model_->index(r, c));
                    return;
                }
            }
    });

    refresh();
    fitColumns();
}

OverviewWindow::~OverviewWindow() = default;

void OverviewWindow::refresh()
{
    const auto [record, users] = host_.settings();
    const std::array<OverviewUser, kUsers> headingsBefore = model_->overview().users;
    warnings_ = host_.warnings ? host_.warnings(record, users) : std::vector<OverviewWarning>{};
    model_->setOverview(reactionOverview(record, users), warnings_,
                        palette().brush(QPalette::Disabled, QPalette::Text));
    showWarnings();
    applyHiding();
    const std::array<OverviewUser, kUsers>& headings = model_->overview().users;
    for (std::size_t u = 0; u < headings.size(); ++u)
        if (headings[u].name != headingsBefore[u].name ||
            headings[u].number != headingsBefore[u].number) {
            fitColumns();
            break;
        }
    emit refreshed();
}

void OverviewWindow::showWarnings()
{
    const int current = warningList_->currentRow();
    const QSignalBlocker quiet(warningList_);
    warningList_->clear();
    for (std::size_t i = 0; i < warnings_.size(); ++i) {
        auto* item = new QListWidgetItem(text(warnings_[i].line), warningList_);
        item->setData(kWarningRole, static_cast<int>(i));
    }
    if (current >= 0 && current < warningList_->count())
        warningList_->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    warningsTitle_->setText(warnings_.empty()
                                ? QString::fromUtf8(kOverviewNoWarnings)
                                : QString::fromUtf8(kOverviewWarnings).arg(warnings_.size()));
}

// Hides, while the switch is on, the events that do nothing and the columns of
// the users without a number, but never a cell behind a warning.
void OverviewWindow::applyHiding()
{
    const bool hide = hideUnused_->isChecked();
    const ReactionOverview& overview = model_->overview();
    for (int r = 0; r < model_->rowCount(); ++r) {
        const bool unused = !overview.rows[static_cast<std::size_t>(r)].active &&
                            model_->cellWarnings(r, C::kEvent).empty();
        if (table_->isRowHidden(r) != (hide && unused))
            table_->setRowHidden(r, hide && unused);
    }
    for (int c = C::kFirstUser; c < C::kText; ++c) {
        bool unused = overview.users[static_cast<std::size_t>(userOfColumn(c) - 1)].number.empty();
        // Both columns of the user go together.
        const int first = c - (c - C::kFirstUser) % 2;
        for (int r = 0; unused && r < model_->rowCount(); ++r)
            unused = model_->cellWarnings(r, first).empty() &&
                     model_->cellWarnings(r, first + 1).empty();
        unused = unused && model_->headingWarnings(c).empty();
        if (table_->isColumnHidden(c) != (hide && unused))
            table_->setColumnHidden(c, hide && unused);
    }
}

void OverviewWindow::fitColumns()
{
    table_->resizeColumnsToContents();
}

const ReactionOverview& OverviewWindow::overview() const
{
    return model_->overview();
}

QString OverviewWindow::tableText() const
{
    OverviewTextOptions options;
    options.showSecrets = model_->showSecrets();
    options.markActive = true;
    options.rows.emplace();
    for (int r = 0; r < model_->rowCount(); ++r)
        if (!table_->isRowHidden(r))
            options.rows->push_back(static_cast<std::size_t>(r));
    options.columns.emplace();
    for (int c = C::kEvent + 1; c < C::kCount; ++c)
        if (!table_->isColumnHidden(c))
            options.columns->push_back(c);
    return text(overviewAsText(model_->overview(), options));
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

void OverviewWindow::chooseWarning(QListWidgetItem* item, bool openDialog)
{
    const int i = item ? item->data(kWarningRole).toInt() : -1;
    if (i < 0 || i >= static_cast<int>(warnings_.size()) || !host_.editSetting)
        return;
    // Copied: opening a dialog runs the event loop, and a refresh replaces the list.
    const OverviewWarning warning = warnings_[static_cast<std::size_t>(i)];
    host_.editSetting(warning.key, warning.bits, openDialog);
}

int OverviewWindow::fullTableHeight() const
{
    int rowsShown = 0;
    for (int r = 0; r < model_->rowCount(); ++r)
        rowsShown += table_->isRowHidden(r) ? 0 : 1;
    int width = table_->verticalHeader()->sizeHint().width();
    for (int c = C::kEvent + 1; c < C::kCount; ++c)
        if (!table_->isColumnHidden(c))
            width += table_->columnWidth(c);
    // The scroll bar a table wider than its place shows under it.
    const int scrollBar = width > table_->viewport()->width()
                              ? table_->horizontalScrollBar()->sizeHint().height()
                              : 0;
    return table_->horizontalHeader()->sizeHint().height() +
           rowsShown * table_->verticalHeader()->defaultSectionSize() + scrollBar +
           2 * table_->frameWidth();
}

QSize OverviewWindow::preferredSize() const
{
    int width = table_->verticalHeader()->sizeHint().width() + 2 * table_->frameWidth() +
                table_->verticalScrollBar()->sizeHint().width();
    for (int c = C::kEvent + 1; c < C::kCount; ++c)
        if (!table_->isColumnHidden(c))
            width += table_->columnWidth(c);
    const int listHeight =
        kWarningLines * fontMetrics().lineSpacing() + 2 * warningList_->frameWidth();
    const QMargins margins = layout()->contentsMargins();
    const QSize laidOut = layout()->sizeHint();
    return {std::max(laidOut.width(), width + margins.left() + margins.right()),
            laidOut.height() - table_->sizeHint().height() + fullTableHeight() -
                warningList_->sizeHint().height() + listHeight};
}

void OverviewWindow::setVisible(bool visible)
{
    if (visible && !isVisible() && !placed_) {
        placed_ = true;
        ensurePolished();
        placement_.beforeShow(*this, preferredSize());
        // The table takes what it needs for all its rows where there is room,
        // leaving the warnings list at least its smallest height.
        layout()->activate();
        const int room = splitter_->height() - splitter_->handleWidth();
        const int warnings = splitter_->widget(1)->minimumSizeHint().height();
        const int table = std::min(fullTableHeight(), room - warnings);
        if (table > 0 && splitter_->sizes().value(0) != table)
            splitter_->setSizes({table, room - table});
    }
    QWidget::setVisible(visible);
}

void OverviewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    placement_.shown(*this);
}

// Paints the table's corner, above the events, as a heading "Zdarzenie".
bool OverviewWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto* corner = qobject_cast<QAbstractButton*>(watched);
    if (!corner || event->type() != QEvent::Paint)
        return QWidget::eventFilter(watched, event);
    QStylePainter painter(corner);
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.text = text(overviewHeading(model_->overview(), C::kEvent));
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.orientation = Qt::Horizontal;
    painter.drawControl(QStyle::CE_Header, option);
    return true;
}

}  // namespace tarnik
