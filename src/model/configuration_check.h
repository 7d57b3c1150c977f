#pragma once

// The configuration check: the usual mistakes of a configuration that programming
// accepts (or refuses only on site), each found by a named rule and told as a place
// in the window and a Polish sentence saying what is wrong and what to do. Only what
// the window shows counts: the hidden special entries 4 and 6 and the hidden CLIP
// column of the output confirmations never raise a warning. The check changes
// nothing and blocks nothing.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/effective_settings.h"

namespace tarnik {

struct CheckWarning {
    std::string id;        // the rule's identifier, e.g. "brak-numeru"
    std::string key;       // the catalogue key of the setting to change, e.g. "workWeRe[3][2]"
    std::string place;     // the setting's label in the catalogue (UTF-8)
    std::string sentence;  // what is wrong and what to do (UTF-8)
    // For a bit set, the bits the warning is about (the boxes to change); 0 when it
    // is about the whole setting.
    std::uint8_t bits = 0;
};

struct CheckRule {
    const char* id;
    const char* summary;  // one line, Polish (UTF-8)
};

// Every rule, in the order their warnings are raised for one place.
std::span<const CheckRule> checkRules();

// The warnings for a configuration, in the order of the window's pages (warnings of
// one place in rule order). The record is the one the window would program, and the
// users are judged as the window collects them (made here), so a file and the window
// showing it give the same warnings. Texts taken from the record show their control
// characters escaped.
std::vector<CheckWarning> checkConfiguration(const EffectiveSettings& record,
                                             const UserDirectory& users);

// "PLACE: SENTENCE [ID]"
std::string warningLine(const CheckWarning& warning);

}  // namespace tarnik
