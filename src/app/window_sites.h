#pragma once

// The window's library of sites: "Plik → Obiekty ..." (the library's dialog) and
// "Plik → Zapisz w obiekcie ...". It owns the window's SiteLibrary, opened on first use
// where --library, TARNIK_LIBRARY or the user's setting names it. A site opened in the
// window is named in the title, and while it is open every exchange with the module
// (programming, read-back, verification, failed ones too) is added to its history. A
// serial number the library knows names its site and offers to open it.

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

#include "app/glowna_form.h"
#include "sites/site_library.h"

class QAction;
class QMenu;

namespace tarnik {

class SitesDialog;

class WindowSites : public QObject {
    Q_OBJECT
public:
    // Adds the two items to `fileMenu` before `before`.
    WindowSites(TGlownaF& window, QMenu& fileMenu, QAction* before);
    ~WindowSites() override;

    // Where the library is: --library (none: TARNIK_LIBRARY, then the setting).
    void setLibraryOption(const std::optional<QString>& given);
    // The window's setting (a file path or a postgresql:// URI; empty: the default
    // file). A change closes the library and the open site; the next use opens the new one.
    void setLibrarySetting(const QString& setting);
    QString librarySetting() const { return setting_; }
    // The user chose another library: set as above, and kept by the conveniences.
    void chooseLibrary(const QString& setting);
    // Where the library is or would be opened. Throws LibraryError(BadLocation).
    sites::LibraryLocation libraryLocation() const;
    // The library, opened now if it is not yet. Throws LibraryError.
    sites::SiteLibrary& library();

    // Menu handlers; called directly (tests) they raise their errors.
    void openSitesDialog();
    void saveInSiteClick();

    // Shows the settings of site `name` (entry `entry`, or the latest) as one undoable
    // edit, and makes it the open site.
    void openSite(const QString& name, std::optional<qint64> entry = std::nullopt);
    // "Zapisz w obiekcie": the settings shown as a new entry of site `name`, on top of
    // the revision the window opened it at when it is the open one. A change made
    // meanwhile is shown and the user may save anyway. Returns false when cancelled.
    bool saveInSite(const QString& name);
    // A new site holding the settings shown; it becomes the open site.
    void saveInNewSite(const sites::SiteDetails& details);
    // No site open any more (the title names the file again).
    void closeSite();

    // The open site: empty when none.
    QString openSiteName() const { return site_; }
    std::optional<qint64> openRevision() const { return revision_; }
    // The library's dialog while it is open.
    SitesDialog* dialog() const;
    QAction* sitesAction() const { return sitesAction_; }
    QAction* saveAction() const { return saveAction_; }

    // Called by the dialog after it renamed or removed a site.
    void siteRenamed(const QString& oldName, const QString& newName, qint64 revision);
    void siteRemoved(const QString& name);

signals:
    // The user chose another library in the dialog; the conveniences keep it.
    void librarySettingChanged(const QString& setting);

private:
    void exchangeEnded(const QString& port, ExchangeKind kind, LinkOutcome outcome);
    void serialNumberAnswered();
    // The read-back just shown against the site's last programming, in the info list.
    void showChangesSinceProgramming();
    // Adds `entry` to the open site's history; a library error is shown once, after the
    // exchange. The revision follows when nobody else wrote in between.
    void record(const sites::NewEntry& entry);
    // A programming held back until its verification ends: recorded now as it stands.
    void recordHeldProgramming();
    // The window's settings as the library stores them.
    sites::StoredSettings shownSettings();
    void showLater(const QString& message);
    void siteOpened(const QString& name, qint64 revision);
    bool askSaveAnyway(const QString& name, const QStringList& changes);

    TGlownaF& window_;
    QAction* sitesAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    std::optional<QString> given_;
    QString setting_;
    std::unique_ptr<sites::SiteLibrary> library_;
    QPointer<SitesDialog> dialog_;
    QString site_;                    // the open site
    std::optional<qint64> revision_;  // the open site's revision as the window knows it
    // A successful programming waiting for its verification, with the port it used.
    std::optional<sites::NewEntry> heldProgramming_;
    // The comparison of the module just read, until its exchange's end is told.
    struct Compared {
        bool afterProgramming = false;
        int differences = 0;
    };
    std::optional<Compared> compared_;
    bool errorPending_ = false;
};

}  // namespace tarnik
