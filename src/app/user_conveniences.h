#pragma once

// What the window remembers for its user between runs: the port of the last
// successful exchange, the window's size and place, the folder of the last
// settings file, the recent files ("Plik → Ostatnio otwierane"), the installer the
// report's hand-over details last named and the library of sites chosen in "Obiekty ...". None of
// the module's settings is kept here. The store may be damaged, unreadable or unwritable: then
// nothing is remembered, and nothing is reported.

#include <QObject>
#include <QSettings>
#include <QStringList>
#include <memory>

#include "app/recent_files.h"

class QMenu;

namespace tarnik {

class TGlownaF;

class UserConveniences : public QObject {
    Q_OBJECT
public:
    // Restores what `store` holds into `window` (before it is shown). Lives no
    // longer than the window; when it goes first, the window's menu stays inert. The
    // remembered port is chosen again only when `restorePort` and the COM list
    // holds it; ports pinned at the head of the list (the demo module's line)
    // are never remembered.
    UserConveniences(TGlownaF& window, std::unique_ptr<QSettings> store, bool restorePort);
    ~UserConveniences() override;

    QStringList recentFiles() const { return recent_.files(); }

    // "Ostatnio otwierane" → `fileName`: opens it, or, when it no longer exists,
    // drops it from the list and says so.
    void openRecent(const QString& fileName);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restore(bool restorePort);
    void fileUsed(const QString& fileName);
    void exchangeSucceeded(const QString& portName);
    void keepGeometry();
    void keepRecentFiles();
    void rebuildMenu();

    TGlownaF& window_;
    std::unique_ptr<QSettings> store_;
    RecentFiles recent_;
    QMenu* menu_;
};

// The user's own store: ~/.config/Tarnik/Tarnik.conf (the application's
// organisation and name).
std::unique_ptr<QSettings> userSettingsStore();

}  // namespace tarnik
