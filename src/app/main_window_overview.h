#pragma once

// The main window's side of "Przegląd konfiguracji": opens the overview window,
// keeps it in line with what the window shows, and brings the window to the place
// that edits what the overview points at.
//
// The overview follows every change of the shown settings, told by the window's
// settingsChanged. Changes that come together are refreshed once, as soon as the
// event loop is free again.

#include <QObject>
#include <QPointer>
#include <string>
#include <utility>

#include "app/overview_view.h"
#include "model/reaction_overview.h"

class QAction;
class QTabWidget;

namespace tarnik {

class TGlownaF;

class WindowOverview : public QObject {
    Q_OBJECT
public:
    // `action` opens the overview.
    WindowOverview(TGlownaF& window, QAction& action);

    // Opens the overview, or brings it to the front when it is open.
    void openOverview();
    // The open overview, or null.
    OverviewWindow* view() const { return view_; }

    // The main window in front with the page whose caption is `page`.
    void showPage(const std::string& page);
    // The control that edits `setting` focused (see focusSetting), or where no
    // control shows it, its page.
    void editSetting(const OverviewSetting& setting, bool openDialog);
    // What edits the cell of `row` in `column`: the reaction dialog of a reaction
    // byte opened, or the control of the setting focused.
    void editRow(const OverviewRow& row, int column);

private:
    void scheduleRefresh();

    TGlownaF& window_;
    QTabWidget* pages_ = nullptr;
    QPointer<OverviewWindow> view_;
    bool refreshPending_ = false;
};

}  // namespace tarnik
