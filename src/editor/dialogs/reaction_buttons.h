#pragma once

// The four click handlers of the main window's reaction buttons. Each works
// out from the pressed button's name which byte of the Settings record it
// edits, opens the matching dialog modally and stores the byte on OK only.
//
// Use: construct one ReactionButtons after the pages and both dialogs exist.
// The constructor connects every button of the window whose name belongs to a
// family (BB_ConfigNumerWe<k>Re<r>, BB_ConfigNumerSpecWe<k>Re<r>,
// BBConfigWorkWe<k>Re<r>, BBConfigWorkSpecWe<k>Re<r>) to its handler through
// QAbstractButton::clicked; an error inside a handler is shown in a message box
// and goes no further.
//
// The window must keep: input buttons below a widget named "ScrollBox1",
// special-entry buttons below "TabSheet4", the output confirmation buttons
// below "GroupBox11"; and the edits Eosoba1..4 and Enruser1..4, which the
// notification dialog reads for its user rows.

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <array>

#include "model/settings_record.h"

class QDialog;
class QWidget;

namespace tarnik {

class ControlTable;

class TFconfigNumberWeRe;
class TFConfigWorkWeRe;

class ReactionButtons : public QObject {
    Q_OBJECT

public:
    // `controls` are the main window's; a missing user edit throws std::logic_error.
    ReactionButtons(const ControlTable& controls, QWidget* mainWindow, SettingsRecord& record,
                    TFconfigNumberWeRe& numberDialog, TFConfigWorkWeRe& workDialog,
                    QObject* parent = nullptr);

    // Each takes the pressed button; a name outside the handler's family
    // throws std::invalid_argument.
    void BB_ConfigNumerWe1Re1Click(QWidget* sender);
    void BB_ConfigNumerSpecWe1Re1Click(QWidget* sender);
    void BBConfigWorkWe1Re1Click(QWidget* sender);
    void BBConfigWorkSpecWe1Re1Click(QWidget* sender);

    // How many buttons the constructor connected.
    int connectedButtons() const { return connected_; }

signals:
    // A dialog closed with OK stored a byte other than the one it showed.
    void edited();

private:
    int connectButtons();
    void showUserRows();
    int runModal(QDialog& dialog);
    // Stores a dialog's accepted byte, telling edited() when it changes the record.
    void store(std::uint8_t& stored, std::uint8_t accepted);

    QWidget* window_;
    SettingsRecord& record_;
    TFconfigNumberWeRe& numberDialog_;
    TFConfigWorkWeRe& workDialog_;
    // Resolved at construction; guarded, since the window lives on after a
    // handler that finds one gone reports it.
    std::array<QPointer<QLineEdit>, kUsers> userNames_{};    // Eosoba<n>
    std::array<QPointer<QLineEdit>, kUsers> userNumbers_{};  // Enruser<n>
    int connected_ = 0;
};

}  // namespace tarnik
