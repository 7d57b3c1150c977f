#include "model/bit_meanings.h"

#include "model/settings_record.h"

namespace tarnik {

namespace {

constexpr const char* kHiddenBox = " (pole ukryte w oknie)";

std::string numbered(const char* text, int n)
{
    return text + std::to_string(n);
}

// A bit no box the window shows stands for: what it does, and that it is hidden.
BitMeaning hidden(int bit, const std::string& what)
{
    return {bit, {}, what + kHiddenBox, false};
}

int bitOf(std::uint8_t mask)
{
    int bit = 0;
    while (bit < 7 && (mask >> bit) != 1)
        ++bit;
    return bit;
}

}  // namespace

BitMeanings outputReactionMeanings(std::uint8_t unavailableShown, bool reachable)
{
    // The dialog's boxes from the top: bit 7 down to bit 0.
    BitMeanings meanings;
    const auto box = [&](std::uint8_t mask, const std::string& caption) {
        if (reachable)
            meanings.push_back({bitOf(mask), {}, caption, true});
        else
            meanings.push_back(hidden(bitOf(mask), caption));
    };
    // The boxes the dialog captions "Opcja niedostępna": the caption, and what the
    // bit does so that the three can be told apart.
    const auto unavailable = [&](std::uint8_t mask, const std::string& what) {
        if (reachable && (unavailableShown & mask) != 0)
            meanings.push_back(
                {bitOf(mask), {}, std::string(kUnavailableOption) + " (" + what + ")", true});
        else
            meanings.push_back(hidden(bitOf(mask), what));
    };
    box(kNoReaction, "Opcje nieaktywne");
    box(switchOffBit(2), "Wyłącz wyjście 2");
    box(switchOnBit(2), "Załącz wyjście 2");
    box(switchOffBit(1), "Wyłącz wyjście 1");
    box(switchOnBit(1), "Załącz wyjście 1");
    unavailable(timedOffBit(2), "wyłączenie wyjścia 2 po czasie");
    unavailable(timedOffBit(1), "wyłączenie wyjścia 1 po czasie");
    unavailable(kReactionReport, "odesłanie raportu");
    return meanings;
}

BitMeanings notificationMeanings(bool clipShown, bool reachable)
{
    // Row by row: user 1's SMS and CLIP boxes first.
    BitMeanings meanings;
    for (int user = 1; user <= kUsers; ++user) {
        const std::string sms = numbered("SMS Użytkownik ", user);
        const std::string clip = numbered("CLIP Użytkownik ", user);
        meanings.push_back(reachable ? BitMeaning{bitOf(smsBit(user)), {}, sms, true}
                                     : hidden(bitOf(smsBit(user)), sms));
        meanings.push_back(reachable && clipShown ? BitMeaning{bitOf(clipBit(user)), {}, clip, true}
                                                  : hidden(bitOf(clipBit(user)), clip));
    }
    return meanings;
}

BitMeanings clipMeanings(bool verified)
{
    // The boxes in the group's order, bit 0 first; one caption is spelt apart in
    // the two groups, as the window spells it.
    BitMeanings meanings = {
        {bitOf(clipSwitchOnBit(1)), {}, "Załącz Wy 1", true},
        {bitOf(clipSwitchOnBit(2)), {}, "Załącz Wy 2", true},
        {bitOf(clipSwitchOffBit(1)), {}, verified ? "Wyłacz Wy 1" : "Wyłącz Wy 1", true},
        {bitOf(clipSwitchOffBit(2)), {}, "Wyłącz Wy 2", true},
        {bitOf(clipToggleBit(1)), {}, "Zmień stan na Wy 1", true},
        {bitOf(clipToggleBit(2)), {}, "Zmień stan na Wy 2", true},
        {bitOf(kClipReport), {}, "Odeślij raport do użytkownika 1", true},
    };
    if (verified)
        meanings.push_back({bitOf(kForwardUnknownSms), "Podstawowe / Niezidentyfikowany SMS",
                            "Odsyłaj nierozpoznane SMSy do Użytkownika 1", true});
    else
        meanings.push_back(hidden(bitOf(kForwardUnknownSms), "bit 7"));
    return meanings;
}

const char* optionCaption(Option option)
{
    switch (option) {
    case Option::SmsOutput1:
        return "załącz/wyłącz wyjście 1 SMSsem";
    case Option::SmsOutput2:
        return "załącz/wyłącz wyjście 2 SMSsem";
    case Option::TimedOff1:
        return "Czas wyłączenia wyjścia 1";
    case Option::TimedOff2:
        return "Czas wyłączenia wyjścia 2";
    case Option::Report:
        return "Przyślij raport co:";
    case Option::SmsProgram:
        return "Zezwolenie na programowanie sms-em.";
    }
    return "";
}

BitMeanings optionMeanings()
{
    // Page order: the basic page's two boxes, then the outputs page's group by group.
    const auto box = [](Option option, const char* place) {
        return BitMeaning{static_cast<int>(option), place, optionCaption(option), true};
    };
    return {
        box(Option::SmsProgram, "Podstawowe / Funkcje programowania przez SMS"),
        box(Option::Report, "Podstawowe / Raport okresowy do użytkownika 1"),
        box(Option::SmsOutput1, "Wyjścia / Wyjście 1"),
        box(Option::TimedOff1, "Wyjścia / Wyjście 1"),
        box(Option::SmsOutput2, "Wyjścia / Wyjście 2"),
        box(Option::TimedOff2, "Wyjścia / Wyjście 2"),
        {6, {}, "bit 6 (bez pola w oknie)", false},
        {7, {}, "bit 7 (bez pola w oknie)", false},
    };
}

}  // namespace tarnik
