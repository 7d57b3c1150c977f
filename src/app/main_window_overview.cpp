#include "app/main_window_overview.h"

#include <QAbstractButton>
#include <QAction>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>

#include "app/error_boundary.h"
#include "app/focus_setting.h"
#include "app/glowna_form.h"
#include "app/overview_view.h"
#include "editor/dialogs/reaction_target.h"
#include "editor/lookup/control_lookup.h"
#include "model/configuration_check.h"
#include "model/settings_catalogue.h"

namespace tarnik {

WindowOverview::WindowOverview(TGlownaF& window, QAction& action)
    : QObject(&window), window_(window),
      pages_(findControl<QTabWidget>(&window, QStringLiteral("PageControl2")))
{
    connect(&action, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { openOverview(); }); });
    connect(&window_, &TGlownaF::settingsChanged, this, [this] { scheduleRefresh(); });
}

void WindowOverview::openOverview()
{
    if (!view_) {
        OverviewHost host;
        host.settings = [this] {
            return std::pair{window_.programmedSettings(), window_.shownUsers()};
        };
        host.warnings = [](const EffectiveSettings& record, const UserDirectory& users) {
            std::vector<OverviewWarning> warnings;
            for (const CheckWarning& warning : checkConfiguration(record, users))
                warnings.push_back({warningLine(warning), warning.key, warning.bits, warning.id,
                                    warning.sentence});
            return warnings;
        };
        host.editRow = [this](const OverviewRow& row, int column) {
            guarded(&window_, [&] { editRow(row, column); });
        };
        host.editSetting = [this](const std::string& key, std::uint8_t bits, bool openDialog) {
            guarded(&window_, [&] { editSetting({key, bits}, openDialog); });
        };
        // A window of its own, kept above the main window and closed with it.
        view_ = new OverviewWindow(std::move(host), &window_);
        view_->setAttribute(Qt::WA_DeleteOnClose, false);
    } else {
        view_->refresh();
    }
    view_->show();
    view_->raise();
    view_->activateWindow();
}

void WindowOverview::scheduleRefresh()
{
    if (refreshPending_ || !view_ || !view_->isVisible())
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        if (view_ && view_->isVisible())
            guarded(&window_, [this] { view_->refresh(); });
    });
}

void WindowOverview::showPage(const std::string& page)
{
    const QString caption = QString::fromStdString(page);
    for (int i = 0; i < pages_->count(); ++i)
        if (pages_->tabText(i) == caption)
            pages_->setCurrentIndex(i);
    if (window_.isMinimized())
        window_.showNormal();
    window_.raise();
    window_.activateWindow();
}

void WindowOverview::editSetting(const OverviewSetting& setting, bool openDialog)
{
    if (focusSetting(window_, setting.key, setting.bits, openDialog))
        return;
    // A setting no control shows: its page at least.
    if (const SettingEntry* entry = findSetting(setting.key))
        showPage(labelParts(entry->label).front());
}

void WindowOverview::editRow(const OverviewRow& row, int column)
{
    // A column the row's event does not have edits what the row edits first.
    std::vector<OverviewSetting> settings = overviewCellSettings(row, column);
    if (settings.empty())
        settings = overviewCellSettings(row, OverviewColumns::kEvent);
    if (settings.empty())
        showPage(row.page);
    else
        editSetting(settings.front(), true);
}

}  // namespace tarnik
