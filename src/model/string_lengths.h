#pragma once

// A length byte above its field's maximum can only come from a damaged or
// foreign file; these checks find one anywhere in a record.

#include "model/settings_record.h"

namespace tarnik {

bool stringLengthsValid(const SettingsRecord& record);
bool stringLengthsValid(const UserDirectory& users);

}  // namespace tarnik
