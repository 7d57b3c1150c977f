#pragma once

// The notification dialog: which users an input or special-entry reaction
// tells by SMS or by a call. One instance lives from start-up to exit and is
// reused. Create it with the main window as parent (it is then centred on it).

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "model/settings_record.h"

class QCheckBox;
class QLabel;

namespace Ui {
class TFConfigWorkWeRe;
}

namespace tarnik {

// What the main window says about one user when the dialog opens.
struct UserRow {
    QString name;    // text of Eosoba<n>
    bool hasNumber;  // Enruser<n> is not empty
};

class TFConfigWorkWeRe : public QDialog {
    Q_OBJECT

public:
    explicit TFConfigWorkWeRe(QWidget* parent = nullptr);
    ~TFConfigWorkWeRe() override;

    // Sets the eight boxes from the notification byte `b`.
    void setFromByte(std::uint8_t b);

    // The OR of the ticked boxes' bits (0 is a valid result).
    std::uint8_t resultByte() const;

    // Shows or hides Label6 "CLIP" and the four CLIP boxes.
    void setClipColumnVisible(bool visible);

    // Labels each row with the user's name, else "Użytkownik n"; a user with a
    // number gets both boxes enabled, one without has them disabled and cleared.
    void showUsers(const std::array<UserRow, kUsers>& users);

    QCheckBox* smsBox(int user) const;   // ChBUS<user>SMS, user 1..4
    QCheckBox* clipBox(int user) const;  // ChBUS<user>Clip
    QLabel* userLabel(int user) const;   // Luser<user>

private:
    std::unique_ptr<Ui::TFConfigWorkWeRe> ui_;
    // The rows' controls, user 1 first.
    std::array<QCheckBox*, kUsers> smsBoxes_{};
    std::array<QCheckBox*, kUsers> clipBoxes_{};
    std::array<QLabel*, kUsers> userLabels_{};
};

}  // namespace tarnik
