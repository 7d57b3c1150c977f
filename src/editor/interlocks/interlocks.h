#pragma once

// The main window's option interlocks and field validation: the CLIP action
// exclusions, the option dependencies of the "Wyjścia", "Podstawowe" pages, the
// checks run when the user leaves a code edit, and the key filters of EPin and
// the number edits (Ecsms, Enruser1..4).
//
// Use: construct one Interlocks with the main window's controls once every
// control of the pages exists and before the settings are first shown. The
// constructor resolves every control it uses by name, once (ignoring case; it
// throws std::logic_error naming a missing control), and connects every handler:
//  - ChbClipVerif0..5 / ChBClipNotVerif0..5 and ChBFlags_0..5 through
//    QCheckBox::toggled, so a state changed by the program fires the handler
//    as a click does (the show steps rely on this);
//  - an event filter on EPin, EPINMOD, EZalWy1, EwylWy1, EZalWy2, EwylWy2 for
//    the exit checks and on EPin, Ecsms, Enruser1..4 for the key filters.
// ShowSettings / ShowBasicSettings run applyOption (ChBFlags_<n>Click)
// directly at the points where the settings are shown.

#include <QHash>
#include <QObject>
#include <QString>
#include <array>
#include <vector>

#include "editor/pages/option_flags.h"

class QCheckBox;
class QEvent;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace tarnik {

class ControlTable;

// The two CLIP groups: "Clip od użytkownika" (boxes ChbClipVerif<n>) and
// "Clip od nieznanego numeru" (boxes ChBClipNotVerif<n>).
enum class ClipGroup { FromUser = 0, FromUnknown = 1 };

class Interlocks : public QObject {
    Q_OBJECT

public:
    Interlocks(const ControlTable& controls, QWidget* mainWindow, QObject* parent = nullptr);

    // CLIP action exclusion: the handler of box `digit` (0..5) of `group`,
    // ChbClipVerif<digit>Click or ChBClipNotVerif<digit>Click.
    void clipActionClick(ClipGroup group, int digit);

    // Within `group`, the boxes `other1` and `other2` are the two actions that
    // exclude `own`: each is enabled only while neither of its partners is
    // ticked, and cleared when `own` is ticked (clearing fires that box's
    // handler in turn).
    void SetActionExclusion(ClipGroup group, int own, int other1, int other2);

    // Option dependencies, ChBFlags_<option>Click: sets the dependants'
    // enabled state to the box's:
    //  0: Label43, Label45, EZalWy1, EwylWy1; codes emptied when clear
    //  1: Label44, Label46, EZalWy2, EwylWy2; codes emptied when clear
    //  2: Label24, SEWy_offTimer1, Label47
    //  3: Label25, SEWy_offTimer2, Label48
    //  4: SEtestokr
    //  5: EPINMOD (emptied before it is disabled), Label28
    void applyOption(Option option);

    // Exit checks: a modal "Uwaga" box when the text left behind is not
    // acceptable, then the focus goes back to `edit`; the text stays.
    void EPinExit(QLineEdit* edit);  // 1 to 3 characters: "Kod pin musi mieć 4 znaki."
    void EZalWy1Exit(
        QLineEdit* edit);  // exactly 1 character: "Sms sterujący musi mieć formę dwóch znaków"

    // Key filters: return the character to let into the edit, or QChar() to
    // drop it. Enter (13) is dropped and the focus moves to the next control.
    QChar EPinKeyPress(QChar key);
    // A number edit passes every other key on: what the key inserts goes through the
    // edit's inserted-text filter (filterNumberKey), as pasted text does.
    QChar NumberKeyPress(QLineEdit* edit, QChar key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class ExitRule { Pin, SmsCode };
    static constexpr int kClipActions = 6;
    static constexpr int kOptions = kOptionFlags;

    void connectCheckBoxes();
    void watchEdits(const ControlTable& controls);
    void warnAndRefocus(QLineEdit* edit, const QString& message);
    void scheduleExitCheck(QLineEdit* edit, ExitRule rule);
    bool filterKey(QLineEdit* edit, QKeyEvent* event);

    QWidget* window_;
    QLineEdit* ePin_;
    std::array<QLineEdit*, 5> numberEdits_{};                          // Ecsms, Enruser1..4
    std::array<std::array<QCheckBox*, kClipActions>, 2> clipBoxes_{};  // by ClipGroup
    std::array<QCheckBox*, kOptions> optionBoxes_{};                   // ChBFlags_<n>
    std::array<std::vector<QWidget*>, kOptions> optionDependants_;
    std::array<std::vector<QLineEdit*>, kOptions> emptiedWhenClear_;
    QHash<const QObject*, ExitRule> exitRules_;
    bool inExitCheck_ = false;  // a check's box is open or its focus is being restored
};

}  // namespace tarnik
