#include "app/window_sites.h"

#include "app/window_report.h"
#include "sites/site_texts.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/error_boundary.h"
#include "app/sites_dialog.h"
#include "app/window_comparisons.h"
#include "app/window_texts.h"
#include "link/link_engine.h"
#include "model/effective_settings.h"

namespace tarnik {

using namespace window_text;
using sites::EntryKind;
using sites::LibraryError;
using sites::NewEntry;
using sites::StoredSettings;

namespace {

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The result a failed exchange's entry records.
QString failureResult(LinkOutcome outcome)
{
    switch (outcome) {
    case LinkOutcome::NoAnswer:
        return text(kResultNoAnswer);
    case LinkOutcome::BadAnswer:
        return text(kResultBadAnswer);
    default:
        return text(kResultPortError);
    }
}

bool isFailure(LinkOutcome outcome)
{
    return outcome == LinkOutcome::NoAnswer || outcome == LinkOutcome::BadAnswer ||
           outcome == LinkOutcome::PortError;
}

NewEntry failedEntry(EntryKind kind, const QString& port, LinkOutcome outcome)
{
    NewEntry entry;
    entry.kind = kind;
    entry.port = port;
    entry.ok = false;
    entry.result = failureResult(outcome);
    return entry;
}

}  // namespace

WindowSites::WindowSites(TGlownaF& window, QMenu& fileMenu, QAction* before)
    : QObject(&window), window_(window)
{
    sitesAction_ = new QAction(text(kSitesMenu), &window);
    sitesAction_->setObjectName(QStringLiteral("Obiekty"));
    sitesAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    saveAction_ = new QAction(text(kSaveInSiteMenu), &window);
    saveAction_->setObjectName(QStringLiteral("ZapiszWObiekcie"));
    saveAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    fileMenu.insertActions(before, {sitesAction_, saveAction_});
    connect(sitesAction_, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { openSitesDialog(); }); });
    connect(saveAction_, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { saveInSiteClick(); }); });

    connect(&window_, &TGlownaF::exchangeEnded, this, &WindowSites::exchangeEnded);
    connect(&window_.comparisons(), &WindowComparisons::moduleCompared, this,
            [this](bool afterProgramming, int differences) {
                compared_ = Compared{afterProgramming, differences};
            });
    // Another file's settings are no longer the site's.
    connect(&window_, &TGlownaF::settingsFileOpened, this, [this] { closeSite(); });
}

WindowSites::~WindowSites()
{
    // The dialog goes while the library it shows is still here.
    delete dialog_;
}

void WindowSites::setLibraryOption(const std::optional<QString>& given)
{
    given_ = given;
}

void WindowSites::setLibrarySetting(const QString& setting)
{
    if (setting == setting_)
        return;
    setting_ = setting;
    if (!library_)
        return;
    bool same = false;
    try {
        same = libraryLocation().display() == library_->location().display();
    } catch (const LibraryError&) {
        // The next use says what is wrong with the new setting.
    }
    if (!same) {
        closeSite();
        library_.reset();
    }
}

void WindowSites::chooseLibrary(const QString& setting)
{
    setLibrarySetting(setting);
    emit librarySettingChanged(setting);
}

sites::LibraryLocation WindowSites::libraryLocation() const
{
    return sites::chooseLibraryLocation(given_, setting_);
}

sites::SiteLibrary& WindowSites::library()
{
    if (!library_)
        library_ = std::make_unique<sites::SiteLibrary>(libraryLocation());
    return *library_;
}

// ---- the menu ----

SitesDialog* WindowSites::dialog() const
{
    return dialog_;
}

void WindowSites::openSitesDialog()
{
    library();  // an unreachable or damaged library is told before any dialog opens
    if (!dialog_) {
        dialog_ = new SitesDialog(*this, &window_);
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog_->refresh();
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

void WindowSites::saveInSiteClick()
{
    std::vector<sites::SiteSummary> all = library().listSites();
    QDialog dialog(&window_);
    dialog.setObjectName(QStringLiteral("saveInSite"));
    dialog.setWindowTitle(text(kSaveInSiteTitle));
    auto* form = new QFormLayout(&dialog);
    auto* existing = new QRadioButton(text(kExistingSite), &dialog);
    existing->setObjectName(QStringLiteral("existingSite"));
    auto* names = new QComboBox(&dialog);
    names->setObjectName(QStringLiteral("siteNames"));
    names->setMinimumWidth(320);
    for (const sites::SiteSummary& site : all)
        names->addItem(site.details.name);
    form->addRow(existing, names);
    auto* created = new QRadioButton(text(kNewSite), &dialog);
    created->setObjectName(QStringLiteral("newSite"));
    form->addRow(created);
    auto* name = new QLineEdit(&dialog);
    name->setObjectName(QStringLiteral("name"));
    auto* address = new QLineEdit(&dialog);
    address->setObjectName(QStringLiteral("address"));
    form->addRow(text(kSiteName), name);
    form->addRow(text(kSiteAddress), address);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(text(kCancel));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    const auto follow = [=] {
        names->setEnabled(existing->isChecked());
        name->setEnabled(created->isChecked());
        address->setEnabled(created->isChecked());
    };
    connect(existing, &QRadioButton::toggled, &dialog, follow);
    connect(created, &QRadioButton::toggled, &dialog, follow);
    // Typing a new name chooses a new site.
    connect(name, &QLineEdit::textEdited, &dialog, [created] { created->setChecked(true); });
    existing->setEnabled(!all.empty());
    const int open = names->findText(site_);
    if (open >= 0)
        names->setCurrentIndex(open);
    (all.empty() ? created : existing)->setChecked(true);
    follow();

    if (dialog.exec() != QDialog::Accepted)
        return;
    if (existing->isChecked()) {
        saveInSite(names->currentText());
    } else {
        sites::SiteDetails details;
        details.name = name->text().trimmed();
        details.address = address->text().trimmed();
        saveInNewSite(details);
    }
}

// ---- opening and saving ----

StoredSettings WindowSites::shownSettings()
{
    return StoredSettings{window_.programmedSettings().record(), window_.shownUsers()};
}

void WindowSites::openSite(const QString& name, std::optional<qint64> entry)
{
    // The exchange under way is the open site's: it is recorded there, with the settings
    // it started from.
    if (window_.engine().exchangeRunning()) {
        window_.addInfoLine(kSiteWhileBusy, true);
        return;
    }
    const StoredSettings stored = library().entrySettings(name, entry);
    const sites::SiteSummary summary = library().site(name);
    window_.applySettingsEdit(stored.record, stored.users, text(kOpenSiteUndo).arg(name));
    siteOpened(summary.details.name, summary.revision);
    // The report hands over this site: its name and address head it unless retyped.
    window_.report().setHandOverDetails(summary.details.name, summary.details.address,
                                        window_.report().installer());
}

void WindowSites::siteOpened(const QString& name, qint64 revision)
{
    if (name != site_)
        heldProgramming_.reset();
    site_ = name;
    revision_ = revision;
    window_.showSiteInTitle(name);
}

void WindowSites::closeSite()
{
    site_.clear();
    revision_.reset();
    heldProgramming_.reset();
    window_.showSiteInTitle({});
}

bool WindowSites::saveInSite(const QString& name)
{
    const StoredSettings settings = shownSettings();
    const std::optional<qint64> basedOn =
        name == site_ ? revision_ : std::optional<qint64>(std::nullopt);
    std::optional<sites::RecordedEntry> saved;
    try {
        saved = library().saveSettings(name, settings, basedOn);
    } catch (const LibraryError& error) {
        if (error.kind() != LibraryError::Kind::ChangedMeanwhile)
            throw;
        QStringList changes;
        for (const std::string& line : error.changes())
            changes << QString::fromStdString(line);
        if (!askSaveAnyway(name, changes))
            return false;
        saved = library().saveSettings(name, settings);
    }
    if (saved) {
        window_.addInfoLine(text(kSavedInSite).arg(name).arg(saved->number).toStdString(), true);
        siteOpened(name, saved->revision);
    } else {
        window_.addInfoLine(kUnchangedSinceLatest, true);
        siteOpened(name, library().site(name).revision);
    }
    if (dialog_)
        dialog_->refresh();
    return true;
}

void WindowSites::saveInNewSite(const sites::SiteDetails& details)
{
    const sites::SiteSummary site = library().addSite(details, shownSettings());
    window_.addInfoLine(text(kSavedInSite).arg(site.details.name).arg(1).toStdString(), true);
    siteOpened(site.details.name, site.revision);
    if (dialog_)
        dialog_->refresh();
}

bool WindowSites::askSaveAnyway(const QString& name, const QStringList& changes)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    text(kChangedMeanwhile).arg(name), QMessageBox::NoButton, &window_);
    box.setObjectName(QStringLiteral("changedMeanwhile"));
    box.setInformativeText(text(kChangedMeanwhileNote));
    // Every change, in a box of its own that scrolls.
    box.setDetailedText(changes.join(QLatin1Char('\n')));
    QPushButton* anyway = box.addButton(text(kSaveAnyway), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(text(kCancel), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    // The changes stand in the text as well: a short list needs no second click.
    if (changes.size() <= 12)
        box.setText(text(kChangedMeanwhile).arg(name) + QLatin1Char('\n') +
                    changes.join(QLatin1Char('\n')));
    box.exec();
    return box.clickedButton() == anyway;
}

void WindowSites::siteRenamed(const QString& oldName, const QString& newName, qint64 revision)
{
    if (site_ != oldName)
        return;
    const bool onlyOurs = revision_ && revision == *revision_ + 1;
    site_ = newName;
    if (onlyOurs)
        revision_ = revision;
    window_.showSiteInTitle(newName);
}

void WindowSites::siteRemoved(const QString& name)
{
    if (site_ == name)
        closeSite();
}

// ---- exchanges ----

void WindowSites::exchangeEnded(const QString& port, ExchangeKind kind, LinkOutcome outcome)
{
    const std::optional<Compared> compared = std::exchange(compared_, std::nullopt);
    if (kind == ExchangeKind::SerialNumber && outcome == LinkOutcome::SerialNumber)
        serialNumberAnswered();
    if (site_.isEmpty())
        return;
    switch (kind) {
    case ExchangeKind::Programming: {
        recordHeldProgramming();
        if (outcome != LinkOutcome::Programmed) {
            record(failedEntry(EntryKind::Programmed, port, outcome));
            return;
        }
        NewEntry entry;
        entry.kind = EntryKind::Programmed;
        entry.port = port;
        // What was sent: the record the window collected for it.
        entry.settings =
            StoredSettings{effectiveSettings(window_.settings()).record(), window_.shownUsers()};
        if (window_.comparisons().verificationPending())
            heldProgramming_ = entry;
        else
            record(entry);
        return;
    }
    case ExchangeKind::ReadBack:
        recordHeldProgramming();
        if (outcome != LinkOutcome::SettingsLoaded) {
            record(failedEntry(EntryKind::ReadBack, port, outcome));
            return;
        }
        try {
            showChangesSinceProgramming();
        } catch (...) {
            showLater(text(kRecordingFailed).arg(site_, currentErrorMessage()));
        }
        {
            NewEntry entry;
            entry.kind = EntryKind::ReadBack;
            entry.port = port;
            entry.settings = StoredSettings{effectiveSettings(window_.settings()).record(),
                                            window_.shownUsers()};
            record(entry);
        }
        return;
    case ExchangeKind::Comparison: {
        std::optional<NewEntry> programmed = std::exchange(heldProgramming_, std::nullopt);
        if (isFailure(outcome)) {
            if (programmed)
                record(*programmed);
            record(failedEntry(EntryKind::Verified, port, outcome));
            return;
        }
        if (outcome != LinkOutcome::ModuleRead || !compared)
            return;
        if (programmed && compared->afterProgramming && compared->differences == 0) {
            programmed->kind = EntryKind::ProgrammedAndVerified;
            record(*programmed);
            return;
        }
        // Programmed, but the module does not hold it: the programming and what the
        // module holds, each an entry of its own.
        if (programmed)
            record(*programmed);
        NewEntry entry;
        entry.kind = EntryKind::Verified;
        entry.port = port;
        entry.ok = compared->differences == 0;
        entry.result = entry.ok ? text(kResultOk) : text(kResultDiffers);
        entry.settings = sites::moduleSettings(window_.image(), programmed ? *programmed->settings
                                                                           : shownSettings());
        record(entry);
        return;
    }
    case ExchangeKind::SerialNumber:
        recordHeldProgramming();
        return;
    }
}

void WindowSites::recordHeldProgramming()
{
    if (std::optional<NewEntry> held = std::exchange(heldProgramming_, std::nullopt))
        record(*held);
}

void WindowSites::record(const NewEntry& entry)
{
    try {
        const sites::RecordedEntry recorded = library().recordExchange(site_, entry);
        // Nobody else wrote in between: the window's settings stand on this entry.
        if (revision_ && recorded.revision == *revision_ + 1)
            revision_ = recorded.revision;
        if (dialog_)
            dialog_->refresh();
    } catch (...) {
        showLater(text(kRecordingFailed).arg(site_, currentErrorMessage()));
    }
}

void WindowSites::showChangesSinceProgramming()
{
    const std::optional<QStringList> changes =
        library().changesSinceProgramming(site_, window_.image());
    if (!changes) {
        window_.addInfoLine(text(sites::kNeverProgrammed).arg(site_).toStdString(), true);
        return;
    }
    if (changes->isEmpty()) {
        window_.addInfoLine(sites::kNoChangesSinceProgramming, true);
        return;
    }
    window_.addInfoLine(sites::kChangesSinceProgramming, true);
    // Every line is kept: the list scrolls.
    for (const QString& line : *changes)
        window_.addInfoLine(line.toStdString(), false);
}

void WindowSites::serialNumberAnswered()
{
    const QString serial = QString::fromStdString(window_.engine().lastSerialNumber()).trimmed();
    if (serial.isEmpty())
        return;
    // No library yet: asking would create one, which then could know nothing.
    if (!library_) {
        try {
            const sites::LibraryLocation location = libraryLocation();
            if (location.engine == sites::LibraryLocation::Engine::SQLite &&
                !QFileInfo::exists(location.path))
                return;
        } catch (const LibraryError&) {
            return;  // told when the library is used
        }
    }
    QString name;
    try {
        const std::optional<sites::SiteSummary> site = library().siteBySerial(serial);
        if (!site)
            return;
        name = site->details.name;
    } catch (...) {
        showLater(currentErrorMessage());
        return;
    }
    window_.addInfoLine(text(kModuleBelongsTo).arg(name).toStdString(), true);
    if (name == site_)
        return;
    // Asked once the answer handler has returned.
    QTimer::singleShot(0, this, [this, name] {
        guarded(&window_, [this, name] {
            const auto answer = QMessageBox::question(
                &window_, QApplication::applicationName(), text(kOpenSiteQuestion).arg(name),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
            if (answer == QMessageBox::Yes)
                openSite(name);
        });
    });
}

void WindowSites::showLater(const QString& message)
{
    if (errorPending_)
        return;
    errorPending_ = true;
    QTimer::singleShot(0, this, [this, message] {
        errorPending_ = false;
        showErrorMessage(&window_, message);
    });
}

}  // namespace tarnik
