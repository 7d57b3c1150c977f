#pragma once

// One table of phone numbers for every door a number goes through: import, the window's
// number edits, "programuj", `tarnik-cli program`, `verify` and `check`. Each case says
// whether the module takes the number, what typing it into a number edit leaves, and
// which check rules it raises as the SMS-centre number and as a user's number.

#include <string>
#include <vector>

namespace tarnik::test {

struct NumberCase {
    const char* text;
    bool taken;         // the module takes it: import accepts it, programming sends it
    const char* typed;  // what a number edit holds after the text is typed into it
    // The check's rules for the number, as the SMS centre's and as a user's.
    std::vector<std::string> centreRules;
    std::vector<std::string> userRules;
};

inline const std::vector<NumberCase>& numberCases()
{
    static const std::vector<NumberCase> kCases{
        {"", true, "", {}, {}},
        {"+48603456789", true, "+48603456789", {}, {}},
        {"603456789", true, "603456789", {}, {"numer-krajowy"}},
        {"12", true, "12", {}, {}},
        {"+48-603-456", false, "+48603456", {"numer-znaki"}, {"numer-znaki"}},
        {"+48\"603", false, "+48603", {"numer-znaki"}, {"numer-znaki"}},
        {"+486034567890", false, "+48603456789", {"numer-za-dlugi"}, {"numer-za-dlugi"}},
        {"+48603456789012", false, "+48603456789", {"numer-za-dlugi"}, {"numer-za-dlugi"}},
        {"48 603 456 789 0",
         false,
         "486034567890",
         {"numer-znaki", "numer-za-dlugi"},
         {"numer-krajowy", "numer-znaki", "numer-za-dlugi"}},
        {"++48", false, "+48", {"numer-znaki"}, {"numer-znaki"}},
        {"+", false, "+", {"numer-znaki"}, {"numer-znaki"}},
        {" ", false, "", {"numer-znaki"}, {"numer-znaki"}},
        {"4+8", false, "48", {"numer-znaki"}, {"numer-krajowy", "numer-znaki"}},
    };
    return kCases;
}

}  // namespace tarnik::test
