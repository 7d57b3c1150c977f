#include "editor/dialogs/fconfig_work_we_re.h"

#include <QCheckBox>
#include <QLabel>
#include <stdexcept>

#include "editor/dialogs/output_reaction_bits.h"
#include "editor/editor_texts.h"
#include "model/settings_record.h"
#include "ui_fconfig_work_we_re.h"

namespace tarnik {

namespace {

void checkUser(int user)
{
    if (user < 1 || user > kUsers)
        throw std::out_of_range("user number out of range");
}

}  // namespace

TFConfigWorkWeRe::TFConfigWorkWeRe(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TFConfigWorkWeRe>())
{
    ui_->setupUi(this);
    smsBoxes_ = {ui_->ChBUS1SMS, ui_->ChBUS2SMS, ui_->ChBUS3SMS, ui_->ChBUS4SMS};
    clipBoxes_ = {ui_->ChBUS1Clip, ui_->ChBUS2Clip, ui_->ChBUS3Clip, ui_->ChBUS4Clip};
    userLabels_ = {ui_->Luser1, ui_->Luser2, ui_->Luser3, ui_->Luser4};
}

TFConfigWorkWeRe::~TFConfigWorkWeRe() = default;

QCheckBox* TFConfigWorkWeRe::smsBox(int user) const
{
    checkUser(user);
    return smsBoxes_[static_cast<std::size_t>(user - 1)];
}

QCheckBox* TFConfigWorkWeRe::clipBox(int user) const
{
    checkUser(user);
    return clipBoxes_[static_cast<std::size_t>(user - 1)];
}

QLabel* TFConfigWorkWeRe::userLabel(int user) const
{
    checkUser(user);
    return userLabels_[static_cast<std::size_t>(user - 1)];
}

void TFConfigWorkWeRe::setFromByte(std::uint8_t b)
{
    for (int user = 1; user <= kUsers; ++user) {
        smsBox(user)->setChecked((b & smsBit(user)) != 0);
        clipBox(user)->setChecked((b & clipBit(user)) != 0);
    }
}

std::uint8_t TFConfigWorkWeRe::resultByte() const
{
    std::uint8_t b = 0;
    for (int user = 1; user <= kUsers; ++user) {
        if (smsBox(user)->isChecked())
            b |= smsBit(user);
        if (clipBox(user)->isChecked())
            b |= clipBit(user);
    }
    return b;
}

void TFConfigWorkWeRe::setClipColumnVisible(bool visible)
{
    ui_->Label6->setVisible(visible);
    for (int user = 1; user <= kUsers; ++user)
        clipBox(user)->setVisible(visible);
}

void TFConfigWorkWeRe::showUsers(const std::array<UserRow, kUsers>& users)
{
    for (int user = 1; user <= kUsers; ++user) {
        const UserRow& row = users[static_cast<std::size_t>(user - 1)];
        userLabel(user)->setText(
            row.name.isEmpty() ? QString::fromUtf8(editor_text::kUser).arg(user) : row.name);
        for (QCheckBox* box : {smsBox(user), clipBox(user)}) {
            box->setEnabled(row.hasNumber);
            if (!row.hasNumber)
                box->setChecked(false);
        }
    }
}

}  // namespace tarnik
