#include "model/phone_numbers.h"

#include <algorithm>

#include "model/settings_record.h"

namespace tarnik {

bool hasNumberCharacters(std::string_view number)
{
    if (number.empty())
        return true;
    const std::string_view digits = number.front() == '+' ? number.substr(1) : number;
    return !digits.empty() &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool fitsNumberLength(std::string_view number)
{
    return number.size() <= kNumberMaxLength;
}

bool isModuleNumber(std::string_view number)
{
    return hasNumberCharacters(number) && fitsNumberLength(number);
}

bool isNumberBeginning(std::string_view number)
{
    return number == "+" || isModuleNumber(number);
}

std::string numberRuleText()
{
    return "najwyżej " + std::to_string(kNumberMaxLength) +
           " znaków: cyfry, przed którymi może stać „+”";
}

bool isNumberSetting(std::string_view key)
{
    if (key == "csms")
        return true;
    for (int user = 1; user <= kUsers; ++user)
        if (key == "nrUser[" + std::to_string(user) + "]")
            return true;
    return false;
}

bool isInternationalNumber(const std::string& number)
{
    return number.size() <= 2 || number.front() == '+';
}

}  // namespace tarnik
