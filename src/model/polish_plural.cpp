#include "model/polish_plural.h"

namespace tarnik {

PluralForm pluralForm(long long n)
{
    // Magnitude as unsigned so the most negative value has one too.
    const unsigned long long m =
        n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    if (m == 1)
        return PluralForm::One;
    const unsigned long long last = m % 10;
    const unsigned long long lastTwo = m % 100;
    if (last >= 2 && last <= 4 && !(lastTwo >= 12 && lastTwo <= 14))
        return PluralForm::Few;
    return PluralForm::Many;
}

std::string_view pluralNoun(long long n, std::string_view one, std::string_view few,
                            std::string_view many)
{
    switch (pluralForm(n)) {
    case PluralForm::One:
        return one;
    case PluralForm::Few:
        return few;
    case PluralForm::Many:
        break;
    }
    return many;
}

std::string countedNoun(long long n, std::string_view one, std::string_view few,
                        std::string_view many)
{
    std::string text = std::to_string(n);
    text += ' ';
    text += pluralNoun(n, one, few, many);
    return text;
}

}  // namespace tarnik
