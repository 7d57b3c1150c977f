#pragma once

// The two small dialogs of the copy actions: which input's settings go to which
// inputs, and which user is told like which other user.

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

#include "model/settings_copy.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;

namespace tarnik {

// A place the copy dialog offers, with the caption its row has on the page.
struct CopyPlace {
    InputPlace place;
    QString label;  // "Wejście 3", "Wejście sabotażowe"
};

// "Kopiuj ustawienia wejścia": the source chosen in a list (objectName "copySource"),
// the targets ticked (boxes "copyTarget<i>", i the place's index in `places`, the
// source's own box disabled), the SMS texts when "copyTexts" is ticked. "Kopiuj"
// is offered while a target is ticked.
class CopyInputDialog : public QDialog {
    Q_OBJECT
public:
    CopyInputDialog(std::vector<CopyPlace> places, std::size_t source, const QString& whatIsCopied,
                    QWidget* parent = nullptr);

    std::size_t source() const;
    std::vector<InputPlace> targets() const;
    bool withTexts() const;

private:
    void sourceChanged();
    void refreshOk();

    std::vector<CopyPlace> places_;
    QComboBox* sourceList_ = nullptr;
    std::vector<QCheckBox*> targetBoxes_;
    QCheckBox* texts_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// "Powiadamiaj jak": the user told ("notifyTarget", only users with a phone number)
// and the user whose calls and SMS they get ("notifySource", any other user).
class NotifyLikeDialog : public QDialog {
    Q_OBJECT
public:
    // `labels` name users 1..4; `hasNumber` tells which can be told; `target` is
    // chosen first when it can be.
    NotifyLikeDialog(const std::array<QString, kUsers>& labels,
                     const std::array<bool, kUsers>& hasNumber, int target,
                     QWidget* parent = nullptr);

    int toUser() const;
    int fromUser() const;

private:
    void targetChanged();

    std::array<QString, kUsers> labels_;
    QComboBox* targetList_ = nullptr;
    QComboBox* sourceList_ = nullptr;
};

}  // namespace tarnik
