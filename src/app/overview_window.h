#pragma once

// "Przegląd konfiguracji": one window with the reaction overview of the settings
// the main window shows (every event, the outputs it switches, the users it tells
// and the text it sends) and, under it, the warnings of the configuration check.
// It asks its host for the settings each time it is refreshed; a double click on
// a row, or choosing a warning, asks the host to show the place that edits it.

#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/reaction_overview.h"

class QAbstractItemModel;
class QLabel;
class QListWidget;
class QModelIndex;
class QTableView;

namespace tarnik {

class OverviewTableModel;

// A warning of the configuration check: its line, and the key of the setting to change.
struct OverviewWarning {
    std::string line;
    std::string key;
};

struct OverviewHost {
    // The settings the main window would program, and its users.
    std::function<std::pair<EffectiveSettings, UserDirectory>()> settings;
    // The configuration check's warnings for those settings.
    std::function<std::vector<OverviewWarning>(const EffectiveSettings&, const UserDirectory&)>
        warnings;
    // Brings the main window to the row's page and opens what edits `column`.
    std::function<void(const OverviewRow& row, int column)> editRow;
    // Brings the main window to the page that holds the setting `key`.
    std::function<void(const std::string& key)> showSetting;
};

class OverviewWindow : public QWidget {
    Q_OBJECT
public:
    OverviewWindow(OverviewHost host, QWidget* parent = nullptr);
    ~OverviewWindow() override;

    // Reads the settings from the host again and shows them.
    void refresh();

    // The table as tab-separated lines, headings first; copyTable puts it on
    // the clipboard.
    QString tableText() const;
    void copyTable();

    const ReactionOverview& overview() const;
    const std::vector<OverviewWarning>& shownWarnings() const { return warnings_; }
    QTableView* table() const { return table_; }
    QListWidget* warningList() const { return warningList_; }

signals:
    // The table and the warnings show the host's settings as they are now.
    void refreshed();

private:
    void activateCell(const QModelIndex& index);
    void showWarnings();

    OverviewHost host_;
    OverviewTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* warningsTitle_ = nullptr;
    QListWidget* warningList_ = nullptr;
    std::vector<OverviewWarning> warnings_;
};

}  // namespace tarnik
