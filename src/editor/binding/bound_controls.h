#pragma once

// The controls the settings binding fills and reads, resolved by their
// composed names once, when the binding is built: a missing or mistyped name
// fails then, at start-up, not in the middle of a show. Arrays are indexed
// from 0 for input, special entry, reaction, output and user 1.

#include <array>
#include <cstdint>
#include <string>

#include "model/settings_record.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace tarnik {

class ControlTable;
class SpinEdit;

struct BoundControls {
    explicit BoundControls(const ControlTable& table);

    // The control that holds the setting of catalogue key `key`: its edit or spin
    // edit, or for a row of option boxes the box of the lowest of `bits` (the
    // first box when 0). Null for a key no control of the pages holds: the
    // reaction bytes (their dialogs edit them), the hidden settings, an unknown key.
    QWidget* holding(const std::string& key, std::uint8_t bits = 0) const;

    // "Podstawowe"
    QLineEdit* pin;                          // EPin
    QComboBox* centre;                       // CBcentrum
    QLineEdit* centreNumber;                 // Ecsms
    QLineEdit* smsCode;                      // EPINMOD
    SpinEdit* testOkr;                       // SEtestokr
    SpinEdit* callTimer;                     // SECALL_TIMER
    SpinEdit* callingTimer;                  // SEcallingTimer
    SpinEdit* smsConfirmTimer;               // SEInNONCSTAT18
    SpinEdit* smsAttempts;                   // SEInONstat916
    SpinEdit* exitTime;                      // SE1190
    SpinEdit* entryTime;                     // SE1191
    SpinEdit* alarmTime;                     // SE1192
    std::array<QCheckBox*, 8> clipVerif;     // ChbClipVerif0..7
    std::array<QCheckBox*, 8> clipNotVerif;  // ChBClipNotVerif0..7
    std::array<QCheckBox*, 6> flags;         // ChBFlags_0..5
    QCheckBox* blockingTimeBit;              // CHB_funkcjaczaswy

    // "Wejścia", "Wejścia specjalne"
    std::array<std::array<QLineEdit*, kReactions>, kInputs> inputTexts;  // ETSMS_We<k>_Re<r>
    std::array<std::array<QLineEdit*, kReactions>, kSpecialEntries>
        specialTexts;                              // ETSpecSMS_We<k>_Re<r>
    std::array<SpinEdit*, kInputs> reactionTimes;  // SEtimerPod<k>
    std::array<SpinEdit*, kInputs> blockTimes;     // SEtimerTorBuf<k>

    // "Wyjścia"
    std::array<QLineEdit*, kOutputs> switchOnCodes;   // EZalWy<n>
    std::array<QLineEdit*, kOutputs> switchOffCodes;  // EwylWy<n>
    std::array<SpinEdit*, kOutputs> offTimers;        // SEWy_offTimer<n>

    // "numery telefonów"
    std::array<QLineEdit*, kUsers> userNumbers;     // Enruser<n>
    std::array<QLineEdit*, kUsers> userNames;       // Eosoba<n>
    std::array<QPlainTextEdit*, kUsers> userNotes;  // Muser<n>
};

}  // namespace tarnik
