#include "editor/dialogs/reaction_buttons.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <stdexcept>
#include <string>

#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/fconfig_work_we_re.h"
#include "editor/dialogs/reaction_target.h"
#include "editor/editor_texts.h"
#include "editor/lookup/control_table.h"
#include "model/reaction_bits.h"

namespace tarnik {

namespace {

// Containers that tell the callers of a shared handler apart.
const QString kInputsPanel = QStringLiteral("ScrollBox1");
const QString kSpecialPage = QStringLiteral("TabSheet4");
const QString kConfirmationGroup = QStringLiteral("GroupBox11");

// "Opcja niedostępna" padded with blanks; the widths differ per box.
QString unavailable(int blanks)
{
    return QString::fromUtf8(editor_text::kUnavailable) + QString(blanks, QLatin1Char(' '));
}

// Shows the report and timed switch-off boxes whose bits are in `shown`, hides the others.
void showUnavailableBoxes(TFconfigNumberWeRe& dialog, std::uint8_t shown)
{
    dialog.reportBox()->setVisible((shown & kReactionReport) != 0);
    for (int output = 1; output <= kOutputs; ++output)
        dialog.timedOffBox(output)->setVisible((shown & timedOffBit(output)) != 0);
}

bool hasAncestorNamed(const QWidget* widget, const QString& name)
{
    for (const QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
        if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

ReactionTarget targetOf(const QWidget* sender, ReactionFamily family)
{
    if (!sender)
        throw std::invalid_argument("reaction handler called without a button");
    if (auto target = parseReactionButton(sender->objectName(), family))
        return *target;
    throw std::invalid_argument("not a reaction button of this kind: " +
                                sender->objectName().toStdString());
}

}  // namespace

ReactionButtons::ReactionButtons(const ControlTable& controls, QWidget* mainWindow,
                                 SettingsRecord& record, TFconfigNumberWeRe& numberDialog,
                                 TFConfigWorkWeRe& workDialog, QObject* parent)
    : QObject(parent), window_(mainWindow), record_(record), numberDialog_(numberDialog),
      workDialog_(workDialog)
{
    for (int user = 1; user <= kUsers; ++user) {
        const auto i = static_cast<std::size_t>(user - 1);
        userNames_[i] = controls.edit(QStringLiteral("Eosoba%1").arg(user));
        userNumbers_[i] = controls.edit(QStringLiteral("Enruser%1").arg(user));
    }
    connected_ = connectButtons();
}

int ReactionButtons::connectButtons()
{
    using Handler = void (ReactionButtons::*)(QWidget*);
    int count = 0;
    for (QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
        const auto target = parseReactionButton(button->objectName());
        if (!target)
            continue;
        Handler handler = nullptr;
        switch (target->family) {
        case ReactionFamily::NumberInput:
            handler = &ReactionButtons::BB_ConfigNumerWe1Re1Click;
            break;
        case ReactionFamily::NumberSpecial:
            handler = &ReactionButtons::BB_ConfigNumerSpecWe1Re1Click;
            break;
        case ReactionFamily::WorkInput:
            handler = &ReactionButtons::BBConfigWorkWe1Re1Click;
            break;
        case ReactionFamily::WorkSpecial:
            handler = &ReactionButtons::BBConfigWorkSpecWe1Re1Click;
            break;
        }
        connect(button, &QAbstractButton::clicked, this, [this, button, handler] {
            // The boundary of this user action: an error ends here, in a message box.
            try {
                (this->*handler)(button);
            } catch (const std::exception& e) {
                QMessageBox::critical(window_, QGuiApplication::applicationDisplayName(),
                                      QString::fromUtf8(e.what()));
            }
        });
        ++count;
    }
    return count;
}

void ReactionButtons::store(std::uint8_t& stored, std::uint8_t accepted)
{
    if (stored == accepted)
        return;
    stored = accepted;
    emit edited();
}

int ReactionButtons::runModal(QDialog& dialog)
{
    // Centred on the main window at every opening, wherever it was moved to before.
    dialog.adjustSize();
    QRect frame = dialog.frameGeometry();
    frame.moveCenter(window_->frameGeometry().center());
    dialog.move(frame.topLeft());
    return dialog.exec();
}

void ReactionButtons::showUserRows()
{
    const auto text = [](const QPointer<QLineEdit>& edit, const char* name, std::size_t i) {
        if (!edit)
            throw std::logic_error(std::string("no edit box named ") + name +
                                   std::to_string(i + 1));
        return edit->text();
    };
    std::array<UserRow, kUsers> rows;
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = UserRow{text(userNames_[i], "Eosoba", i),
                          !text(userNumbers_[i], "Enruser", i).isEmpty()};
    workDialog_.showUsers(rows);
}

void ReactionButtons::BB_ConfigNumerWe1Re1Click(QWidget* sender)
{
    const ReactionTarget target = targetOf(sender, ReactionFamily::NumberInput);
    std::uint8_t& stored = reactionByte(record_, target);
    TFconfigNumberWeRe& dialog = numberDialog_;
    dialog.setWindowTitle(
        QString::fromUtf8(editor_text::kInputOutputsTitle).arg(target.entry).arg(target.reaction));
    dialog.setFromByte(stored);
    if (hasAncestorNamed(sender, kInputsPanel)) {
        // Inputs offer all three extra boxes, labelled as unavailable but tickable.
        QCheckBox* report = dialog.reportBox();
        QCheckBox* timed1 = dialog.timedOffBox(1);
        QCheckBox* timed2 = dialog.timedOffBox(2);
        showUnavailableBoxes(dialog, kInputUnavailableShown);
        report->setText(unavailable(14));
        timed1->setText(unavailable(6));
        timed2->setText(unavailable(4));
    }
    if (runModal(dialog) == QDialog::Accepted)
        store(stored, dialog.resultByte());
}

void ReactionButtons::BB_ConfigNumerSpecWe1Re1Click(QWidget* sender)
{
    const ReactionTarget target = targetOf(sender, ReactionFamily::NumberSpecial);
    std::uint8_t& stored = reactionByte(record_, target);
    TFconfigNumberWeRe& dialog = numberDialog_;
    QCheckBox* report = dialog.reportBox();
    QCheckBox* timed1 = dialog.timedOffBox(1);
    QCheckBox* timed2 = dialog.timedOffBox(2);
    timed1->setVisible(true);
    timed2->setVisible(true);
    if (hasAncestorNamed(sender, kSpecialPage)) {
        if (target.entry == 5)
            dialog.setWindowTitle(
                QString::fromUtf8(editor_text::kBlockingOutputsTitle).arg(target.reaction));
        if (target.entry == 3)
            dialog.setWindowTitle(
                QString::fromUtf8(editor_text::kTamperOutputsTitle).arg(target.reaction));
    }
    // The hidden boxes still take and keep their bits below.
    if (target.entry == 3) {
        showUnavailableBoxes(dialog, kTamperUnavailableShown);
        if (target.reaction == 1)
            report->setText(unavailable(15));
        timed1->setText(unavailable(6));
        timed2->setText(unavailable(4));
    } else if (target.entry == 5) {
        showUnavailableBoxes(dialog, kBlockingUnavailableShown);
        report->setText(unavailable(15));
    }
    dialog.setFromByte(stored);
    if (runModal(dialog) == QDialog::Accepted)
        store(stored, dialog.resultByte());
}

void ReactionButtons::BBConfigWorkWe1Re1Click(QWidget* sender)
{
    TFConfigWorkWeRe& dialog = workDialog_;
    dialog.setClipColumnVisible(true);
    const ReactionTarget target = targetOf(sender, ReactionFamily::WorkInput);
    std::uint8_t& stored = reactionByte(record_, target);
    dialog.setFromByte(stored);
    // Users without a number cannot be told: their boxes end disabled and clear.
    showUserRows();
    dialog.setWindowTitle(
        QString::fromUtf8(editor_text::kInputNotifyTitle).arg(target.entry).arg(target.reaction));
    if (runModal(dialog) == QDialog::Accepted)
        store(stored, dialog.resultByte());
}

void ReactionButtons::BBConfigWorkSpecWe1Re1Click(QWidget* sender)
{
    const ReactionTarget target = targetOf(sender, ReactionFamily::WorkSpecial);
    std::uint8_t& stored = reactionByte(record_, target);
    TFConfigWorkWeRe& dialog = workDialog_;
    dialog.setClipColumnVisible(true);
    if (hasAncestorNamed(sender, kSpecialPage)) {
        if (target.entry == 5)
            dialog.setWindowTitle(
                QString::fromUtf8(editor_text::kBlockingNotifyTitle).arg(target.reaction));
        if (target.entry == 3)
            dialog.setWindowTitle(
                QString::fromUtf8(editor_text::kTamperNotifyTitle).arg(target.reaction));
    }
    if (hasAncestorNamed(sender, kConfirmationGroup)) {
        // Output confirmations are told by SMS only.
        dialog.setClipColumnVisible(false);
        if (target.entry == 1 || target.entry == 2)
            dialog.setWindowTitle(QString::fromUtf8(editor_text::kOutputConfirmTitle)
                                      .arg(target.reaction)
                                      .arg(target.entry));
    }
    showUserRows();
    // Set after the user rows: a user without a number keeps the stored bits,
    // shown in disabled boxes, and hidden CLIP boxes keep theirs.
    dialog.setFromByte(stored);
    if (runModal(dialog) == QDialog::Accepted)
        store(stored, dialog.resultByte());
}

}  // namespace tarnik
