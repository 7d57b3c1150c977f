#pragma once

// "Plik → Obiekty ...": the library of sites. A search field filtering the list as the
// user types (the library's own search), the sites with their module and last
// programming and verification, the chosen site's details (editable) and history, the
// change lines of a chosen entry, and the actions: open a site or an entry in the
// window, compare two entries, remove a site, choose another library.

#include <QDialog>
#include <vector>

#include "app/window_fit.h"
#include "sites/site_library.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tarnik {

class WindowSites;

class SitesDialog : public QDialog {
    Q_OBJECT
public:
    SitesDialog(WindowSites& sites, QWidget* parent);

    // The library named, the list searched again; the chosen site stays chosen.
    void refresh();

    // Button handlers; called directly (tests) they raise their errors.
    void saveDetails();
    void openChosen();
    void compareChosen();
    void removeChosen();
    void changeLibrary();

    // The site chosen in the list (empty when none), and choosing one.
    QString chosenSite() const;
    void chooseSite(const QString& name);
    // Chooses history entries by number.
    void chooseEntries(const std::vector<qint64>& numbers);
    // The sites' names as the list shows them.
    QStringList listedSites() const;

    QLineEdit* searchField() const { return search_; }
    QTableWidget* sitesTable() const { return sitesTable_; }
    QTableWidget* historyTable() const { return historyTable_; }
    QListWidget* entryChanges() const { return entryChanges_; }
    QLabel* libraryLabel() const { return libraryLabel_; }

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void listSites();
    void showChosenSite();
    void showChosenEntry();
    // Entries chosen in the history, oldest first.
    std::vector<sites::HistoryEntry> chosenEntries() const;
    void buttonsFollow();

    WindowSites& sites_;
    QLabel* libraryLabel_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTableWidget* sitesTable_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* contact_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QLineEdit* serial_ = nullptr;
    QLineEdit* phone_ = nullptr;
    QPushButton* saveDetails_ = nullptr;
    QTableWidget* historyTable_ = nullptr;
    QListWidget* entryChanges_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* compare_ = nullptr;
    QPushButton* remove_ = nullptr;
    std::vector<sites::SiteSummary> listed_;
    std::vector<sites::HistoryEntry> history_;  // the chosen site's, oldest first
    QString shownSite_;                         // whose details and history are shown
    FirstPlacement placement_;
};

}  // namespace tarnik
