#pragma once

// The six options behind the check boxes ChBFlags_0 .. ChBFlags_5: option n is bit n of
// the record's flags, and its box's handler ChBFlags_<n>Click brings the controls that
// depend on it into line.

namespace tarnik {

enum class OptionFlag {
    Output1BySms = 0,     // "załącz/wyłącz wyjście 1 SMSsem": EZalWy1, EwylWy1
    Output2BySms = 1,     // "załącz/wyłącz wyjście 2 SMSsem": EZalWy2, EwylWy2
    Output1OffTimer = 2,  // "Czas wyłączenia wyjścia 1": SEWy_offTimer1
    Output2OffTimer = 3,  // "Czas wyłączenia wyjścia 2": SEWy_offTimer2
    TestReport = 4,       // "Przyślij raport co:": SEtestokr
    SmsProgramming = 5,   // "Zezwolenie na programowanie sms-em.": EPINMOD
};

inline constexpr int kOptionFlags = 6;

}  // namespace tarnik
