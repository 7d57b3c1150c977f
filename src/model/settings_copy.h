#pragma once

// Copying settings instead of retyping them: one input's settings onto other inputs,
// and one user's notifications onto another user. Both work on a Settings record and
// return the changed copy; the window applies it as one edit.
//
// A copy changes only what the window's own controls and reaction dialogs could
// change, and stores only bytes those dialogs could store:
//  - a bit a dialog hides (the boxes captioned "Opcja niedostępna" a special entry
//    does not show, the CLIP column of the output confirmations) keeps the target's
//    value, and so does every setting of an entry no button reaches;
//  - an output-reaction byte follows the dialog's rules: "Opcje nieaktywne" outweighs
//    the rest, switching an output on and off exclude each other, nothing ticked is
//    "Opcje nieaktywne";
//  - a user without a phone number cannot be told: the notification dialog of an
//    input clears that user's boxes, the one of a special entry keeps them unchanged;
//  - a byte whose dialog would show the same boxes after the copy is left as it was.
// Which bits a dialog shows is read from the settings catalogue's bit meanings.

#include <span>

#include "model/settings_record.h"

namespace tarnik {

// An ordinary input (1..8) or a special entry (1..6).
struct InputPlace {
    bool special = false;
    int number = 1;

    friend bool operator==(const InputPlace&, const InputPlace&) = default;
};

// "Kopiuj ustawienia wejścia": `record` with the settings of `from` copied to each of
// `targets` (`from` among them is skipped): reaction time and blocking time (between
// ordinary inputs; special entries have none), both reactions' output-reaction and
// notification bytes, and, when `withTexts`, both reactions' SMS texts. An entry out
// of range throws std::out_of_range.
SettingsRecord copyInputSettings(const SettingsRecord& record, InputPlace from,
                                 std::span<const InputPlace> targets, bool withTexts);

// "Powiadamiaj jak": `record` with user `toUser` told of every input's and special
// entry's reactions by SMS and by call exactly when `fromUser` is. The other per-user
// settings the module keeps (the report, forwarded SMS) name user 1 alone and stay.
// Users are 1..4 (std::out_of_range otherwise); `toUser` must have a phone number
// (std::invalid_argument otherwise: no dialog can tell a user without one).
SettingsRecord copyUserNotifications(const SettingsRecord& record, int fromUser, int toUser);

// True when user `user` (1..4) has a phone number, so that the notification dialogs
// offer the user's boxes.
bool userHasNumber(const SettingsRecord& record, int user);

// The output-reaction byte the dialog stores when it is opened on `stored` and
// confirmed untouched: the boxes are set from bit 7 down, so switching an output on
// clears switching it off; then outputReactionByte.
std::uint8_t confirmedOutputReaction(std::uint8_t stored);

}  // namespace tarnik
