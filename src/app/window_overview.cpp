#include "app/window_overview.h"

#include <QAbstractButton>
#include <QAction>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>

#include "app/error_boundary.h"
#include "app/glowna_form.h"
#include "app/overview_window.h"
#include "editor/dialogs/reaction_target.h"
#include "editor/lookup/control_lookup.h"
#include "model/configuration_check.h"
#include "model/settings_catalogue.h"

namespace tarnik {

namespace {

using C = OverviewColumns;

bool isUserColumn(int column)
{
    return column >= C::kFirstUser && column < C::kText;
}

bool isOutputColumn(int column)
{
    return column == C::kOutput1 || column == C::kOutput2 || column == C::kUnavailable;
}

// The control that edits a cell of a row that no reaction dialog edits.
QString settingControl(const OverviewRow& row, int column)
{
    const int output = column == C::kOutput2 ? 2 : 1;
    switch (row.event) {
    case OverviewEvent::ClipFromUser:
    case OverviewEvent::ClipFromUnknown: {
        const QString group = row.event == OverviewEvent::ClipFromUser
                                  ? QStringLiteral("ChbClipVerif")
                                  : QStringLiteral("ChBClipNotVerif");
        // The switch-on box of the output; the report box for the users and the text.
        const int box = isOutputColumn(column) ? output - 1 : 6;
        return group + QString::number(column == C::kEvent ? 0 : box);
    }
    case OverviewEvent::SmsControl:
        return column == C::kText ? QStringLiteral("EZalWy%1").arg(row.entry)
                                  : QStringLiteral("ChBFlags_%1").arg(row.entry - 1);
    case OverviewEvent::PeriodicReport:
        return column == C::kText ? QStringLiteral("SEtestokr") : QStringLiteral("ChBFlags_4");
    case OverviewEvent::UnidentifiedSms:
        return QStringLiteral("ChbClipVerif7");
    default:
        break;
    }
    const bool special = row.event != OverviewEvent::Input;
    return QStringLiteral("%1%2_Re%3")
        .arg(special ? QStringLiteral("ETSpecSMS_We") : QStringLiteral("ETSMS_We"))
        .arg(row.entry)
        .arg(row.reaction);
}

// The reaction button that edits a cell, or an empty name for the text and
// the rows without reaction dialogs.
QString reactionButton(const OverviewRow& row, int column)
{
    if (column == C::kText)
        return {};
    switch (row.event) {
    case OverviewEvent::Input:
        return reactionButtonName(
            {isUserColumn(column) ? ReactionFamily::WorkInput : ReactionFamily::NumberInput,
             row.entry, row.reaction});
    case OverviewEvent::SpecialInput:
        return reactionButtonName(
            {isUserColumn(column) ? ReactionFamily::WorkSpecial : ReactionFamily::NumberSpecial,
             row.entry, row.reaction});
    case OverviewEvent::Confirmation:
        return reactionButtonName({ReactionFamily::WorkSpecial, row.entry, row.reaction});
    default:
        return {};
    }
}

}  // namespace

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
                warnings.push_back({warningLine(warning), warning.key});
            return warnings;
        };
        host.editRow = [this](const OverviewRow& row, int column) {
            guarded(&window_, [&] { editRow(row, column); });
        };
        host.showSetting = [this](const std::string& key) {
            guarded(&window_, [&] {
                if (const SettingEntry* entry = findSetting(key))
                    showPage(entry->label.substr(0, entry->label.find(" / ")));
            });
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

void WindowOverview::editRow(const OverviewRow& row, int column)
{
    showPage(row.page);
    const QString buttonName = reactionButton(row, column);
    QWidget* control = buttonName.isEmpty()
                           ? findControl<QWidget>(pages_, settingControl(row, column))
                           : findControl<QAbstractButton>(pages_, buttonName);
    for (QWidget* w = control->parentWidget(); w; w = w->parentWidget())
        if (auto* scroller = qobject_cast<QScrollArea*>(w))
            scroller->ensureWidgetVisible(control);
    if (auto* button = qobject_cast<QAbstractButton*>(control); button && !buttonName.isEmpty())
        button->click();
    else
        control->setFocus(Qt::OtherFocusReason);
}

}  // namespace tarnik
