#include "model/programming_refusal.h"

#include <functional>
#include <utility>
#include <vector>

#include "model/phone_numbers.h"
#include "model/settings_texts.h"

namespace tarnik {

std::optional<ProgrammingRefusal> programmingRefusal(const SettingsRecord& record)
{
    std::vector<std::pair<std::string, std::string>> numbers{{"csms", record.csms.str()}};
    for (int user = 1; user <= kUsers; ++user)
        numbers.emplace_back("nrUser[" + std::to_string(user) + "]", record.nrUser[user - 1].str());
    const std::pair<const char*, std::function<bool(const std::string&)>> numberRules[] = {
        {kNotInternationalMessage, isInternationalNumber},
        {kNumberCharactersMessage, [](const std::string& n) { return hasNumberCharacters(n); }},
        {kNumberTooLongMessage, [](const std::string& n) { return fitsNumberLength(n); }},
    };
    for (const auto& [message, passes] : numberRules)
        for (const auto& [key, number] : numbers) {
            // The international form is asked of user numbers only.
            if (message == kNotInternationalMessage && key == "csms")
                continue;
            if (!passes(number))
                return ProgrammingRefusal{key, message};
        }
    const auto shortCode = [](std::size_t length) { return length >= 1 && length <= 3; };
    if (shortCode(record.pin.len))
        return ProgrammingRefusal{"pin", kPinLengthMessage};
    if (shortCode(record.pinMod.len))
        return ProgrammingRefusal{"pinMod", kPinLengthMessage};
    return std::nullopt;
}

}  // namespace tarnik
