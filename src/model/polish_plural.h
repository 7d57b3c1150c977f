#pragma once

// Polish nouns after a count: "1 znak", "3 znaki", "5 znaków", "22 znaki".

#include <string>
#include <string_view>

namespace tarnik {

enum class PluralForm {
    One,   // exactly 1: "znak"
    Few,   // last digit 2-4 but not 12-14: "znaki"
    Many,  // everything else, 0 included: "znaków"
};

// The form Polish takes for a count; the sign is ignored ("-3 znaki").
PluralForm pluralForm(long long n);

// The one of the three forms that fits the count.
std::string_view pluralNoun(long long n, std::string_view one, std::string_view few,
                            std::string_view many);

// The count followed by the fitting form: countedNoun(4, "znak", "znaki", "znaków") == "4 znaki".
std::string countedNoun(long long n, std::string_view one, std::string_view few,
                        std::string_view many);

}  // namespace tarnik
