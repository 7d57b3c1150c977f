#include "app/sites_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "app/comparison_dialog.h"
#include "app/error_boundary.h"
#include "app/window_sites.h"
#include "app/window_texts.h"
#include "model/setting_comparison.h"

namespace tarnik {

using namespace window_text;

namespace {

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Dates as the user's clock shows them; "-" for never.
QString localTime(const QDateTime& time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}
QString localTime(const std::optional<QDateTime>& time)
{
    return time ? localTime(*time) : text(kNoDate);
}

template <std::size_t N>
QTableWidget* table(const char* const (&columns)[N], const char* name, QWidget* parent)
{
    const int count = int(N);
    auto* widget = new QTableWidget(0, count, parent);
    widget->setObjectName(QString::fromLatin1(name));
    QStringList labels;
    for (int i = 0; i < count; ++i)
        labels << text(columns[i]);
    widget->setHorizontalHeaderLabels(labels);
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    widget->setSelectionBehavior(QAbstractItemView::SelectRows);
    widget->verticalHeader()->hide();
    // Compact rows: a laptop's screen shows twice as many sites.
    widget->verticalHeader()->setDefaultSectionSize(widget->fontMetrics().height() + 6);
    widget->horizontalHeader()->setStretchLastSection(true);
    widget->setWordWrap(false);
    return widget;
}

QTableWidgetItem* cell(const QString& value)
{
    auto* item = new QTableWidgetItem(value);
    item->setToolTip(value);
    return item;
}

}  // namespace

SitesDialog::SitesDialog(WindowSites& sites, QWidget* parent) : QDialog(parent), sites_(sites)
{
    setObjectName(QStringLiteral("SitesDialog"));
    setWindowTitle(text(kSitesTitle));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);

    // Where the library is, and another one.
    auto* where = new QHBoxLayout;
    libraryLabel_ = new QLabel(this);
    libraryLabel_->setObjectName(QStringLiteral("libraryLabel"));
    libraryLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* change = new QPushButton(text(kChangeLibrary), this);
    change->setObjectName(QStringLiteral("changeLibrary"));
    change->setAutoDefault(false);
    where->addWidget(libraryLabel_, 1);
    where->addWidget(change);
    layout->addLayout(where);

    auto* searchRow = new QHBoxLayout;
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("search"));
    search_->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(text(kSearch), this);
    searchLabel->setBuddy(search_);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(search_, 1);
    layout->addLayout(searchRow);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->setChildrenCollapsible(false);
    sitesTable_ = table(kSiteColumns, "sites", splitter);
    sitesTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    sitesTable_->setMinimumHeight(90);
    sitesTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    const int siteWidths[] = {210, 260, 130, 130, 190};
    for (int i = 0; i < int(std::size(siteWidths)); ++i)
        sitesTable_->setColumnWidth(i, siteWidths[i]);
    splitter->addWidget(sitesTable_);

    auto* lower = new QWidget(splitter);
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);

    auto* details = new QGroupBox(text(kDetailsGroup), lower);
    auto* form = new QFormLayout(details);
    const auto field = [&](const char* caption, const char* name) {
        auto* edit = new QLineEdit(details);
        edit->setObjectName(QString::fromLatin1(name));
        form->addRow(text(caption), edit);
        return edit;
    };
    name_ = field(kSiteName, "name");
    address_ = field(kSiteAddress, "address");
    contact_ = field(kSiteContact, "contact");
    serial_ = field(kSiteSerial, "serial");
    phone_ = field(kSitePhone, "phone");
    notes_ = new QPlainTextEdit(details);
    notes_->setObjectName(QStringLiteral("notes"));
    notes_->setTabChangesFocus(true);
    notes_->setMinimumHeight(3 * fontMetrics().lineSpacing());
    form->addRow(text(kSiteNotes), notes_);
    saveDetails_ = new QPushButton(text(kSaveDetails), details);
    saveDetails_->setObjectName(QStringLiteral("saveDetails"));
    saveDetails_->setAutoDefault(false);
    form->addRow(QString(), saveDetails_);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    details->setMinimumWidth(360);
    lowerLayout->addWidget(details, 3);

    auto* historyBox = new QGroupBox(text(kHistoryGroup), lower);
    auto* historyLayout = new QVBoxLayout(historyBox);
    historyTable_ = table(kHistoryColumns, "history", historyBox);
    historyTable_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    historyTable_->setMinimumHeight(80);
    // The result takes what the others leave; no column is hidden behind a scroll bar.
    const int historyWidths[] = {40, 125, 190, 100, 90};
    for (int i = 0; i < int(std::size(historyWidths)); ++i)
        historyTable_->setColumnWidth(i, historyWidths[i]);
    QHeaderView* historyHeader = historyTable_->horizontalHeader();
    historyHeader->setStretchLastSection(false);
    historyHeader->setSectionResizeMode(5, QHeaderView::Stretch);
    historyHeader->setSectionResizeMode(6, QHeaderView::ResizeToContents);
    historyLayout->addWidget(historyTable_, 3);
    entryChanges_ = new QListWidget(historyBox);
    entryChanges_->setObjectName(QStringLiteral("entryChanges"));
    entryChanges_->setMinimumHeight(3 * fontMetrics().lineSpacing());
    historyLayout->addWidget(entryChanges_, 2);
    lowerLayout->addWidget(historyBox, 5);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    // The list of sites is what an installer with hundreds of them works in: it gets about
    // half the height rather than what the notes' and history's size hints leave it.
    splitter->setSizes({1000, 1000});
    layout->addWidget(splitter, 1);

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton(text(kOpenSite), QDialogButtonBox::ActionRole);
    open_->setObjectName(QStringLiteral("openSite"));
    compare_ = buttons->addButton(text(kCompareEntries), QDialogButtonBox::ActionRole);
    compare_->setObjectName(QStringLiteral("compareEntries"));
    remove_ = buttons->addButton(text(kRemoveSite), QDialogButtonBox::DestructiveRole);
    remove_->setObjectName(QStringLiteral("removeSite"));
    QPushButton* close = buttons->addButton(text(kClose), QDialogButtonBox::RejectRole);
    for (QPushButton* button : {open_, compare_, remove_, close})
        button->setAutoDefault(false);
    layout->addWidget(buttons);

    const auto boundary = [this](void (SitesDialog::*handler)()) {
        return [this, handler] { guarded(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(change, &QPushButton::clicked, this, boundary(&SitesDialog::changeLibrary));
    connect(saveDetails_, &QPushButton::clicked, this, boundary(&SitesDialog::saveDetails));
    connect(open_, &QPushButton::clicked, this, boundary(&SitesDialog::openChosen));
    connect(compare_, &QPushButton::clicked, this, boundary(&SitesDialog::compareChosen));
    connect(remove_, &QPushButton::clicked, this, boundary(&SitesDialog::removeChosen));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(search_, &QLineEdit::textChanged, this, boundary(&SitesDialog::listSites));
    connect(sitesTable_, &QTableWidget::itemSelectionChanged, this,
            boundary(&SitesDialog::showChosenSite));
    connect(sitesTable_, &QTableWidget::cellDoubleClicked, this,
            boundary(&SitesDialog::openChosen));
    connect(historyTable_, &QTableWidget::itemSelectionChanged, this,
            boundary(&SitesDialog::showChosenEntry));
    buttonsFollow();
}

void SitesDialog::refresh()
{
    libraryLabel_->setText(text(kLibraryAt).arg(sites_.libraryLocation().display()));
    listSites();
}

void SitesDialog::listSites()
{
    const QString keep = chosenSite().isEmpty() ? shownSite_ : chosenSite();
    listed_ = sites_.library().listSites(search_->text());
    {
        const QSignalBlocker quiet(sitesTable_);
        sitesTable_->clearSelection();
        sitesTable_->setRowCount(int(listed_.size()));
        for (int row = 0; row < int(listed_.size()); ++row) {
            const sites::SiteSummary& site = listed_[std::size_t(row)];
            const QString values[] = {site.details.name,
                                      site.details.address,
                                      site.details.serialNumber,
                                      site.details.modulePhone,
                                      localTime(site.lastProgrammed),
                                      localTime(site.lastVerified)};
            for (int column = 0; column < int(std::size(values)); ++column)
                sitesTable_->setItem(row, column, cell(values[column]));
        }
    }
    chooseSite(keep);
    if (chosenSite().isEmpty())
        showChosenSite();
}

QString SitesDialog::chosenSite() const
{
    const QList<QTableWidgetItem*> chosen = sitesTable_->selectedItems();
    if (chosen.isEmpty())
        return {};
    const int row = chosen.front()->row();
    return row < int(listed_.size()) ? listed_[std::size_t(row)].details.name : QString();
}

QStringList SitesDialog::listedSites() const
{
    QStringList names;
    for (const sites::SiteSummary& site : listed_)
        names << site.details.name;
    return names;
}

void SitesDialog::chooseSite(const QString& name)
{
    for (int row = 0; row < int(listed_.size()); ++row)
        if (listed_[std::size_t(row)].details.name == name) {
            sitesTable_->selectRow(row);
            return;
        }
}

void SitesDialog::showChosenSite()
{
    const QString name = chosenSite();
    shownSite_ = name;
    const sites::SiteSummary* site = nullptr;
    for (const sites::SiteSummary& listed : listed_)
        if (listed.details.name == name)
            site = &listed;
    name_->setText(site ? site->details.name : QString());
    address_->setText(site ? site->details.address : QString());
    contact_->setText(site ? site->details.contact : QString());
    notes_->setPlainText(site ? site->details.notes : QString());
    serial_->setText(site ? site->details.serialNumber : QString());
    phone_->setText(site ? site->details.modulePhone : QString());
    history_ = site ? sites_.library().history(name) : std::vector<sites::HistoryEntry>{};
    {
        const QSignalBlocker quiet(historyTable_);
        historyTable_->clearSelection();
        historyTable_->setRowCount(int(history_.size()));
        // The newest entry first.
        for (int row = 0; row < int(history_.size()); ++row) {
            const sites::HistoryEntry& entry = history_[history_.size() - 1 - std::size_t(row)];
            const QString values[] = {QString::number(entry.number),
                                      localTime(entry.time),
                                      sites::entryKindText(entry.kind),
                                      entry.port,
                                      entry.login,
                                      entry.result,
                                      QString::number(entry.changes.size())};
            for (int column = 0; column < int(std::size(values)); ++column)
                historyTable_->setItem(row, column, cell(values[column]));
        }
    }
    showChosenEntry();
}

std::vector<sites::HistoryEntry> SitesDialog::chosenEntries() const
{
    std::vector<sites::HistoryEntry> chosen;
    for (int row = 0; row < historyTable_->rowCount(); ++row)
        if (historyTable_->item(row, 0) && historyTable_->item(row, 0)->isSelected())
            chosen.push_back(history_[history_.size() - 1 - std::size_t(row)]);
    std::sort(chosen.begin(), chosen.end(),
              [](const auto& a, const auto& b) { return a.number < b.number; });
    return chosen;
}

void SitesDialog::chooseEntries(const std::vector<qint64>& numbers)
{
    historyTable_->clearSelection();
    for (int row = 0; row < historyTable_->rowCount(); ++row) {
        const qint64 number = history_[history_.size() - 1 - std::size_t(row)].number;
        if (std::find(numbers.begin(), numbers.end(), number) != numbers.end())
            historyTable_->selectionModel()->select(historyTable_->model()->index(row, 0),
                                                    QItemSelectionModel::Select |
                                                        QItemSelectionModel::Rows);
    }
}

void SitesDialog::showChosenEntry()
{
    entryChanges_->clear();
    const std::vector<sites::HistoryEntry> chosen = chosenEntries();
    if (chosen.size() == 1) {
        const sites::HistoryEntry& entry = chosen.front();
        if (entry.changes.isEmpty()) {
            entryChanges_->addItem(text(kEntryNoChanges).arg(entry.number));
        } else {
            entryChanges_->addItem(text(kEntryChanges).arg(entry.number));
            entryChanges_->addItems(entry.changes);
        }
    }
    buttonsFollow();
}

void SitesDialog::buttonsFollow()
{
    const bool chosen = !shownSite_.isEmpty();
    const std::vector<sites::HistoryEntry> entries = chosenEntries();
    const bool withSettings = std::all_of(entries.begin(), entries.end(),
                                          [](const auto& entry) { return entry.hasSettings; });
    saveDetails_->setEnabled(chosen);
    open_->setEnabled(chosen && entries.size() <= 1 && withSettings);
    compare_->setEnabled(chosen && entries.size() == 2 && withSettings);
    remove_->setEnabled(chosen);
}

void SitesDialog::saveDetails()
{
    if (shownSite_.isEmpty())
        return;
    sites::SiteDetails details;
    details.name = name_->text().trimmed();
    details.address = address_->text().trimmed();
    details.contact = contact_->text().trimmed();
    details.notes = notes_->toPlainText();
    details.serialNumber = serial_->text().trimmed();
    details.modulePhone = phone_->text().trimmed();
    const QString oldName = shownSite_;
    const sites::SiteSummary saved = sites_.library().editSite(oldName, details);
    sites_.siteRenamed(oldName, saved.details.name, saved.revision);
    shownSite_ = saved.details.name;
    listSites();
    chooseSite(saved.details.name);
}

void SitesDialog::openChosen()
{
    const QString name = chosenSite();
    if (name.isEmpty())
        return;
    const std::vector<sites::HistoryEntry> entries = chosenEntries();
    if (entries.size() > 1)
        return;
    sites_.openSite(name,
                    entries.empty() ? std::nullopt : std::optional<qint64>(entries.front().number));
}

void SitesDialog::compareChosen()
{
    const QString name = chosenSite();
    const std::vector<sites::HistoryEntry> entries = chosenEntries();
    if (name.isEmpty() || entries.size() != 2 || !entries[0].hasSettings ||
        !entries[1].hasSettings) {
        showErrorMessage(this, text(kCompareNeedsTwo));
        return;
    }
    const sites::StoredSettings older = sites_.library().entrySettings(name, entries[0].number);
    const sites::StoredSettings newer = sites_.library().entrySettings(name, entries[1].number);
    auto* dialog = new ComparisonDialog(
        compareSettings(effectiveSettings(older.record), older.users,
                        effectiveSettings(newer.record), newer.users),
        text(kEntryColumn).arg(entries[0].number), text(kEntryColumn).arg(entries[1].number), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void SitesDialog::removeChosen()
{
    const QString name = chosenSite();
    if (name.isEmpty())
        return;
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(),
                    text(kRemoveSiteQuestion).arg(name), QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes)
        return;
    sites_.library().removeSite(name);
    sites_.siteRemoved(name);
    shownSite_.clear();
    listSites();
}

void SitesDialog::changeLibrary()
{
    bool ok = false;
    const QString given =
        QInputDialog::getText(this, text(kChangeLibraryTitle), text(kChangeLibraryPrompt),
                              QLineEdit::Normal, sites_.librarySetting(), &ok)
            .trimmed();
    if (!ok)
        return;
    if (!given.isEmpty())
        sites::parseLibraryLocation(given);  // a URI with a password, or none, is refused
    sites_.chooseLibrary(given);
    shownSite_.clear();
    refresh();
}

// Placed as the main window is when first shown: fitted to the screen's free area.
void SitesDialog::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        ensurePolished();
        placement_.beforeShow(*this, QSize(1180, 660));
    }
    QDialog::setVisible(visible);
}

void SitesDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    placement_.shown(*this);
}

}  // namespace tarnik
