#include "model/string_lengths.h"

#include <algorithm>

namespace tarnik {

bool stringLengthsValid(const SettingsRecord& r)
{
    auto valid = [](const auto& s) { return s.lengthValid(); };
    return r.pinMod.lengthValid() && r.pin.lengthValid() && r.csms.lengthValid() &&
           std::all_of(std::begin(r.nrUser), std::end(r.nrUser), valid) &&
           std::all_of(&r.smsWeRe[0][0], &r.smsWeRe[0][0] + kInputs * kReactions, valid) &&
           std::all_of(&r.smsSpecWeRe[0][0], &r.smsSpecWeRe[0][0] + kSpecialEntries * kReactions,
                       valid);
}

bool stringLengthsValid(const UserDirectory& users)
{
    return std::all_of(std::begin(users.entries), std::end(users.entries), [](const UserEntry& e) {
        return e.osoba.lengthValid() && e.uwagi.lengthValid();
    });
}

}  // namespace tarnik
