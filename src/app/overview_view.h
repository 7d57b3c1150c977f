#pragma once

// "Przegląd konfiguracji": one window with the reaction overview of the settings
// the main window shows (every event, the outputs it switches, the users it tells
// and the text it sends) and, under it, the warnings of the configuration check.
// It asks its host for the settings each time it is refreshed; a double click on
// a cell, or choosing a warning, asks the host to bring the main window to the
// control that edits it.
//
// The events head the rows (the table's row headings), so they stay in view when
// the table scrolls sideways; rows are as high as a line of text. Cells behind a
// warning are marked, and their tooltip tells the warnings. A switch hides the
// events that do nothing and the users without a number (not those behind a
// warning); the codes of the outputs stay masked until "Pokaż kody" is ticked.
// The copy holds what the table shows, with a column telling the active events.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/window_fit.h"
#include "model/reaction_overview.h"

class QAbstractItemModel;
class QCheckBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QModelIndex;
class QSplitter;
class QTableView;

namespace tarnik {

class OverviewTableModel;

// A warning of the configuration check: its line, the setting to change (the
// bits of a bit set it is about, 0 for the whole setting), its rule and sentence.
struct OverviewWarning {
    std::string line;
    std::string key;
    std::uint8_t bits = 0;
    std::string rule;
    std::string sentence;
};

struct OverviewHost {
    // The settings the main window would program, and its users.
    std::function<std::pair<EffectiveSettings, UserDirectory>()> settings;
    // The configuration check's warnings for those settings.
    std::function<std::vector<OverviewWarning>(const EffectiveSettings&, const UserDirectory&)>
        warnings;
    // Brings the main window to the row's page and opens what edits `column`.
    std::function<void(const OverviewRow& row, int column)> editRow;
    // Brings the main window to the control that edits the setting `key` (the
    // box of `bits` in a bit set) and, with `openDialog`, opens the reaction
    // dialog that edits a reaction byte.
    std::function<void(const std::string& key, std::uint8_t bits, bool openDialog)> editSetting;
};

class OverviewWindow : public QWidget {
    Q_OBJECT
public:
    OverviewWindow(OverviewHost host, QWidget* parent = nullptr);
    ~OverviewWindow() override;

    // Reads the settings from the host again and shows them.
    void refresh();

    // The rows and columns the table shows, as tab-separated lines, headings
    // first; copyTable puts it on the clipboard.
    QString tableText() const;
    void copyTable();

    const ReactionOverview& overview() const;
    const std::vector<OverviewWarning>& shownWarnings() const { return warnings_; }
    QTableView* table() const { return table_; }
    QListWidget* warningList() const { return warningList_; }
    QCheckBox* hideUnusedBox() const { return hideUnused_; }
    QCheckBox* showCodesBox() const { return showCodes_; }

    // The size the window asks for: the whole table, and the warnings list's
    // lines under it.
    QSize preferredSize() const;

    void setVisible(bool visible) override;

signals:
    // The table and the warnings show the host's settings as they are now.
    void refreshed();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activateCell(const QModelIndex& index);
    void chooseWarning(QListWidgetItem* item, bool openDialog);
    void showWarnings();
    void applyHiding();
    void fitColumns();
    int fullTableHeight() const;

    OverviewHost host_;
    OverviewTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QCheckBox* hideUnused_ = nullptr;
    QCheckBox* showCodes_ = nullptr;
    QLabel* warningsTitle_ = nullptr;
    QListWidget* warningList_ = nullptr;
    QSplitter* splitter_ = nullptr;
    std::vector<OverviewWarning> warnings_;
    FirstPlacement placement_;
    bool placed_ = false;
};

}  // namespace tarnik
