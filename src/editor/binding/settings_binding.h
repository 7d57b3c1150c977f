#pragma once

// Moves the settings between the main window's controls and records it is
// given: showFrom fills the controls from a Settings record (the window's
// ShowSettings), collectInto copies them into one (CollectSettings); the User
// directory has its own pair. The binding holds no record: whoever calls it
// owns the record. Fields no control shows (the reaction bytes, spare bytes)
// are left as the record has them. The controls are resolved by name once,
// when the binding is built. Every step keeps its order, because setting a
// check box fires its handler, which can change other controls.

#include <functional>

#include "editor/binding/bound_controls.h"
#include "editor/pages/option_flags.h"
#include "model/settings_record.h"

class QWidget;

namespace tarnik {

class ControlTable;

// The output option handlers that bring dependent controls into line after a
// show (ChBFlags_0Click .. ChBFlags_5Click of the window's interlocks).
struct OptionRefresh {
    std::function<void(Option option)> run;  // runs ChBFlags_<option>Click
};

class SettingsBinding {
public:
    // Throws std::logic_error naming a control that the pages lack.
    SettingsBinding(const ControlTable& controls, OptionRefresh refresh);

    // Whole-window operations. showFrom is ShowSettings: the six show steps,
    // then the output option refresh.
    void showFrom(const SettingsRecord& record);
    // Start-up and opening a file: ShowSettings with ShowUserDirectory placed
    // before its option refresh.
    void showFrom(const SettingsRecord& record, const UserDirectory& users);
    // CollectSettings: the six collect steps into `record`.
    void collectInto(SettingsRecord& record) const;
    // The output option refresh that ends ShowSettings: flags 0, 2, 1, 3.
    void refreshOutputOptions();

    // Steps, in the orders of ShowSettings / CollectSettings.
    void ShowInputTexts(const SettingsRecord& record);
    void ShowReactionTimes(const SettingsRecord& record);
    void ShowBlockTimes(const SettingsRecord& record);
    void ShowUserNumbers(const SettingsRecord& record);
    void ShowOutputs(const SettingsRecord& record);
    void ShowBasicSettings(const SettingsRecord& record);
    void CollectInputTexts(SettingsRecord& record) const;
    void CollectReactionTimes(SettingsRecord& record) const;
    void CollectBlockTimes(SettingsRecord& record) const;
    void CollectUserNumbers(SettingsRecord& record) const;
    void CollectOutputs(SettingsRecord& record) const;
    void CollectBasicSettings(SettingsRecord& record) const;

    // Names and notes of the four users.
    void ShowUserDirectory(const UserDirectory& users);
    void CollectUserDirectory(UserDirectory& users) const;

    // True when every user number longer than 2 characters begins with "+".
    bool CheckUserNumbers() const;

    // CBcentrum: the presets, and its change handler (user choices only).
    void FillSmsCentreList();
    void CBcentrumChange();

    // Connects CBcentrum so that the user's choice runs CBcentrumChange.
    void connectSmsCentreList();

    // The controls it fills and reads.
    const BoundControls& controls() const { return c_; }

private:
    void runOption(Option option) const;
    // The six show steps of ShowSettings, without its option refresh.
    void showSettingSteps(const SettingsRecord& record);

    BoundControls c_;
    OptionRefresh refresh_;
};

}  // namespace tarnik
