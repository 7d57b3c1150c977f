#pragma once

// What the module link engine needs from the program that hosts it (the main window or
// the command-line tool). Every call comes on the host's user-interface thread.

#include <string>

#include "model/settings_record.h"

namespace tarnik {

// How an exchange with the module ended; reported once per started exchange.
enum class LinkOutcome {
    Programmed,      // "Programowanie zakończone pomyślnie."
    SettingsLoaded,  // read-back taken: "zaladowane ustawienia z eprom"
    ModuleRead,      // read-back for a comparison taken: the module's image is in the image
    SerialNumber,    // "serial: ..." line added
    NoAnswer,        // "Brak oprowiedzi z modułu."
    BadAnswer,       // the module's answer was not the one asked for: refused, nothing taken
    PortError,       // the port failed or the device went away; see reportError
    Refused,         // "programuj" refused its input; nothing sent
};

class LinkHost {
public:
    virtual ~LinkHost() = default;

    // Information list. `trim` runs TrimInfoList first (every line but the serial
    // number's); returns the index of the added line. See InfoList for the rule.
    virtual int addInfoLine(const std::string& text, bool trim) = 0;
    virtual void replaceInfoLine(int index, const std::string& text) = 0;

    // Busy state: hourglass cursor, "programuj" and "Odczyt ustawień." disabled.
    virtual void setBusy(bool busy) = 0;

    // The no-answer timer (Timer1) under its arming rule, see NoAnswerTimer. On expiry
    // the host calls LinkEngine::Timer1Timer.
    virtual void armNoAnswerTimer() = 0;
    virtual void disarmNoAnswerTimer() = 0;

    // The host owns its Settings record; the engine works on copies of it.
    // The record as it stands: a read-back converts the module's image into a copy of it,
    // so that the bytes no conversion writes keep the host's values.
    virtual SettingsRecord settingsRecord() = 0;
    // CollectSettings: what the editor shows, collected into the host's record; returns
    // the record "programuj" converts and sends (for the window, its programmedSettings).
    virtual SettingsRecord collectSettings() = 0;
    // ShowSettings after a read-back: the host takes `record` as its own and shows it
    // (User directory untouched).
    virtual void showSettings(const SettingsRecord& record) = 0;
    // CheckUserNumbers: every user number longer than 2 characters begins with "+".
    virtual bool checkUserNumbers() = 0;

    // Name of the port for the next exchange (the text of CBcom).
    virtual std::string portName() = 0;

    // A port failure met while handling the module's answer (no caller to rethrow to):
    // the run has already been ended; the host shows `message` to the user.
    virtual void reportError(const std::string& message) = 0;

    // Optional: called when an exchange ends, after its lines were added.
    virtual void linkFinished(LinkOutcome) { }
};

}  // namespace tarnik
