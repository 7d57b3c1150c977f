#pragma once

// Moves the settings between the main window's controls and the records:
// ShowSettings fills the controls from the Settings record, CollectSettings
// copies them back; the User directory has its own pair. The controls are
// resolved by name once, when the binding is built. Every step keeps its
// order, because setting a check box fires its handler, which can change
// other controls.

#include <functional>

#include "editor/binding/bound_controls.h"
#include "model/settings_record.h"

class QWidget;

namespace tarnik {

class ControlTable;

// The output option handlers that bring dependent controls into line after a
// show (ChBFlags_0Click .. ChBFlags_5Click of the window's interlocks).
struct OptionRefresh {
    std::function<void(int flag)> run;  // runs ChBFlags_<flag>Click
};

class SettingsBinding {
public:
    // Throws std::logic_error naming a control that the pages lack.
    SettingsBinding(const ControlTable& controls, SettingsRecord& record, UserDirectory& users,
                    OptionRefresh refresh);
    // As above, with the controls under `root`.
    SettingsBinding(QWidget* root, SettingsRecord& record, UserDirectory& users,
                    OptionRefresh refresh);

    // Whole-window operations.
    void ShowSettings();
    // Start-up and opening a file: ShowSettings with ShowUserDirectory placed
    // before its option refresh.
    void ShowSettingsAndUserDirectory();
    void CollectSettings();
    // The output option refresh that ends ShowSettings: flags 0, 2, 1, 3.
    void RefreshOutputOptions();

    // Steps, in the orders of ShowSettings / CollectSettings.
    void ShowInputTexts();
    void ShowReactionTimes();
    void ShowBlockTimes();
    void ShowUserNumbers();
    void ShowOutputs();
    void ShowBasicSettings();
    void CollectInputTexts();
    void CollectReactionTimes();
    void CollectBlockTimes();
    void CollectUserNumbers();
    void CollectOutputs();
    void CollectBasicSettings();

    // Names and notes of the four users.
    void ShowUserDirectory();
    void CollectUserDirectory();

    // True when every user number longer than 2 characters begins with "+".
    bool CheckUserNumbers() const;

    // CBcentrum: the presets, and its change handler (user choices only).
    void FillSmsCentreList();
    void CBcentrumChange();

    // Connects CBcentrum so that the user's choice runs CBcentrumChange.
    void connectSmsCentreList();

private:
    void runOption(int flag) const;
    // The six show steps of ShowSettings, without its option refresh.
    void showSettingSteps();
    // The output-reaction byte of the blocking input's reaction 2, whose bit 0
    // CHB_funkcjaczaswy shows.
    std::uint8_t& blockingExitByte() { return record_.numberSpecWeRe[4][1]; }

    BoundControls c_;
    SettingsRecord& record_;
    UserDirectory& users_;
    OptionRefresh refresh_;
};

}  // namespace tarnik
