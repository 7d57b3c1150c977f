#pragma once

// The six options behind the check boxes ChBFlags_0 .. ChBFlags_5: option n is bit n of
// the record's flags (Option in the model), and its box's handler ChBFlags_<n>Click
// brings the controls that depend on it into line:
//   SmsOutput1, SmsOutput2  "załącz/wyłącz wyjście n SMSsem": EZalWy<n>, EwylWy<n>
//   TimedOff1, TimedOff2    "Czas wyłączenia wyjścia n": SEWy_offTimer<n>
//   Report                  "Przyślij raport co:": SEtestokr
//   SmsProgram              "Zezwolenie na programowanie sms-em.": EPINMOD

#include "model/reaction_bits.h"

namespace tarnik {

inline constexpr int kOptionFlags = 6;

}  // namespace tarnik
