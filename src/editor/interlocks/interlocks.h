#pragma once

// The main window's option interlocks and field validation: the CLIP action
// exclusions, the option dependencies of the "Wyjścia", "Podstawowe" pages, the
// checks run when the user leaves a code edit, and the key filters of EPin and
// Enruser1.
//
// Use: construct one Interlocks with the main window once every control of the
// pages exists and before the settings are first shown. The constructor finds
// the controls by name (ignoring case; it throws std::logic_error naming a
// missing control) and connects every handler:
//  - ChbClipVerif0..5 / ChBClipNotVerif0..5 and ChBFlags_0..5 through
//    QCheckBox::toggled, so a state changed by the program fires the handler
//    as a click does (the show steps rely on this);
//  - an event filter on EPin, EPINMOD, EZalWy1, EwylWy1, EZalWy2, EwylWy2 for
//    the exit checks and on EPin, Enruser1 for the key filters.
// ShowSettings / ShowBasicSettings call ChBFlags_nClick() directly at the
// points where the settings are shown.

#include <QHash>
#include <QObject>
#include <QString>

class QCheckBox;
class QEvent;
class QKeyEvent;
class QLineEdit;
class QWidget;

namespace tarnik {

class Interlocks : public QObject {
    Q_OBJECT

public:
    explicit Interlocks(QWidget* mainWindow, QObject* parent = nullptr);

    // CLIP action exclusion, group "Clip od użytkownika".
    void ChbClipVerif0Click();
    void ChbClipVerif1Click();
    void ChbClipVerif2Click();
    void ChbClipVerif3Click();
    void ChbClipVerif4Click();
    void ChbClipVerif5Click();
    // CLIP action exclusion, group "Clip od nieznanego numeru".
    void ChBClipNotVerif0Click();
    void ChBClipNotVerif1Click();
    void ChBClipNotVerif2Click();
    void ChBClipNotVerif3Click();
    void ChBClipNotVerif4Click();
    void ChBClipNotVerif5Click();

    // Within the group named by `prefix` (boxes prefix + digit), the boxes
    // `other1` and `other2` are the two actions that exclude `own`: each is
    // enabled only while neither of its partners is ticked, and cleared when
    // `own` is ticked (clearing fires that box's handler in turn).
    void SetActionExclusion(const QString& prefix, int own, int other1, int other2);

    // Option dependencies: each sets its dependants' enabled state to its box's.
    void ChBFlags_0Click();  // Label43, Label45, EZalWy1, EwylWy1; codes emptied when clear
    void ChBFlags_1Click();  // Label44, Label46, EZalWy2, EwylWy2; codes emptied when clear
    void ChBFlags_2Click();  // Label24, SEWy_offTimer1, Label47
    void ChBFlags_3Click();  // Label25, SEWy_offTimer2, Label48
    void ChBFlags_4Click();  // SEtestokr
    void ChBFlags_5Click();  // EPINMOD (emptied before it is disabled), Label28

    // Exit checks: a modal "Uwaga" box when the text left behind is not
    // acceptable, then the focus goes back to `edit`; the text stays.
    void EPinExit(QLineEdit* edit);  // 1 to 3 characters: "Kod pin musi mieć 4 znaki."
    void EZalWy1Exit(
        QLineEdit* edit);  // exactly 1 character: "Sms sterujący musi mieć formę dwóch znaków"

    // Key filters: return the character to let into the edit, or QChar() to
    // drop it. Enter (13) is dropped and the focus moves to the next control.
    QChar EPinKeyPress(QChar key);
    QChar Enruser1KeyPress(QChar key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class ExitRule { Pin, SmsCode };

    void clipActionClick(const QString& prefix, int digit);
    void connectCheckBoxes();
    void watchEdits();
    void applyOption(int flag);
    void warnAndRefocus(QLineEdit* edit, const QString& message);
    void scheduleExitCheck(QLineEdit* edit, ExitRule rule);
    bool filterKey(QLineEdit* edit, QKeyEvent* event);

    QWidget* window_;
    QLineEdit* ePin_;
    QLineEdit* enruser1_;
    QHash<const QObject*, ExitRule> exitRules_;
    bool inExitCheck_ = false;  // a check's box is open or its focus is being restored
};

}  // namespace tarnik
