#include "app/window_overview.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include "app/error_boundary.h"
#include "app/focus_setting.h"
#include "app/glowna_form.h"
#include "app/overview_window.h"
#include "editor/binding/settings_binding.h"
#include "editor/dialogs/reaction_target.h"
#include "editor/lookup/control_lookup.h"
#include "model/configuration_check.h"
#include "model/effective_settings.h"
#include "model/settings_catalogue.h"

namespace tarnik {

WindowOverview::WindowOverview(TGlownaF& window, QAction& action)
    : QObject(&window), window_(window),
      pages_(findControl<QTabWidget>(&window, QStringLiteral("PageControl2")))
{
    connect(&action, &QAction::triggered, this,
            [this] { guarded(&window_, [this] { openOverview(); }); });
}

void WindowOverview::openOverview()
{
    if (!view_) {
        OverviewHost host;
        host.settings = [this] { return shownSettings(); };
        host.warnings = [](const SettingsRecord& record, const UserDirectory& users) {
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
        watchChanges();
    } else {
        view_->refresh();
    }
    view_->show();
    view_->raise();
    view_->activateWindow();
}

std::pair<SettingsRecord, UserDirectory> WindowOverview::shownSettings()
{
    // Collected into copies as a save or "programuj" would take them: the bytes no
    // control shows come from the window's records, which stay as they are.
    std::pair<SettingsRecord, UserDirectory> shown{window_.settings(), window_.users()};
    window_.binding().collectInto(shown.first);
    window_.binding().CollectUserDirectory(shown.second);
    shown.first = effectiveSettings(shown.first);
    return shown;
}

void WindowOverview::watchChanges()
{
    if (watching_)
        return;
    watching_ = true;
    const auto changed = [this] { scheduleRefresh(); };
    for (QLineEdit* edit : pages_->findChildren<QLineEdit*>())
        // A spin edit's own line is read when the value is committed, not while typed.
        if (!qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
            connect(edit, &QLineEdit::textChanged, this, changed);
    for (QPlainTextEdit* memo : pages_->findChildren<QPlainTextEdit*>())
        connect(memo, &QPlainTextEdit::textChanged, this, changed);
    for (QCheckBox* box : pages_->findChildren<QCheckBox*>())
        connect(box, &QCheckBox::toggled, this, changed);
    for (QSpinBox* spin : pages_->findChildren<QSpinBox*>())
        connect(spin, &QSpinBox::valueChanged, this, changed);
    for (QComboBox* combo : pages_->findChildren<QComboBox*>())
        connect(combo, &QComboBox::currentIndexChanged, this, changed);
    // The reaction dialogs store their byte once they are closed; a show (a file
    // opened, a read-back) can change bytes no control shows.
    for (QDialog* dialog : window_.findChildren<QDialog*>())
        connect(dialog, &QDialog::finished, this, changed);
    connect(&window_, &TGlownaF::settingsShown, this, changed);
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
