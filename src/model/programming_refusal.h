#pragma once

// Why programming refuses a record: the one judgement behind the window's "programuj",
// `tarnik-cli program` and `tarnik-cli verify` (a file that cannot be programmed is
// never reported as held by the module).

#include <optional>
#include <string>

#include "model/settings_record.h"

namespace tarnik {

struct ProgrammingRefusal {
    std::string key;      // the catalogue key of the refused setting, e.g. "nrUser[2]"
    const char* message;  // the line "programuj" shows (UTF-8)
};

// The first refusal, or nothing when the record may be programmed. `record` is the record
// as it would be sent: the window's collected record, the command line's effective one.
// Checked in this order: user numbers in international form, the numbers' characters,
// their length (the SMS-centre number first, then users 1 to 4), the SIM PIN and the SMS
// access code (1 to 3 characters would reach the module padded with other bytes).
std::optional<ProgrammingRefusal> programmingRefusal(const SettingsRecord& record);

}  // namespace tarnik
