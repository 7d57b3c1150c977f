#pragma once

// The result of a comparison of the window's settings with a file or the module: one
// row per setting that differs, in page order, or the line "Brak różnic.".

#include <QDialog>
#include <vector>

#include "model/setting_comparison.h"

class QLabel;
class QTableWidget;

namespace tarnik {

class ComparisonDialog : public QDialog {
    Q_OBJECT
public:
    // `otherColumn` names the other side: "W pliku" or "W module".
    ComparisonDialog(const std::vector<SettingComparison>& differences, const QString& otherColumn,
                     QWidget* parent = nullptr);
    // Two sides neither of which is the window ("Wpis 3", "Wpis 5").
    ComparisonDialog(const std::vector<SettingComparison>& differences, const QString& firstColumn,
                     const QString& otherColumn, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    QString summary() const;

private:
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
};

}  // namespace tarnik
