#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "model/polish_plural.h"

namespace tarnik {
namespace {

struct CountCase {
    long long n;
    const char* znak;
    const char* roznica;
};

TEST(PolishPlural, CountMeetsNounInTheFittingForm)
{
    const CountCase cases[] = {
        {0, "0 znaków", "0 różnic"},
        {1, "1 znak", "1 różnica"},
        {2, "2 znaki", "2 różnice"},
        {4, "4 znaki", "4 różnice"},
        {5, "5 znaków", "5 różnic"},
        {11, "11 znaków", "11 różnic"},
        {12, "12 znaków", "12 różnic"},
        {14, "14 znaków", "14 różnic"},
        {15, "15 znaków", "15 różnic"},
        {21, "21 znaków", "21 różnic"},  // only a lone 1 takes the singular
        {22, "22 znaki", "22 różnice"},
        {101, "101 znaków", "101 różnic"},
        {102, "102 znaki", "102 różnice"},
        {112, "112 znaków", "112 różnic"},
        {113, "113 znaków", "113 różnic"},
        {124, "124 znaki", "124 różnice"},
        {1000, "1000 znaków", "1000 różnic"},
        {-1, "-1 znak", "-1 różnica"},
        {-3, "-3 znaki", "-3 różnice"},
        {-12, "-12 znaków", "-12 różnic"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(countedNoun(c.n, "znak", "znaki", "znaków"), c.znak);
        EXPECT_EQ(countedNoun(c.n, "różnica", "różnice", "różnic"), c.roznica);
    }
}

TEST(PolishPlural, ExtremeCountsKeepTheRule)
{
    // LLONG_MAX ends in ...807, LLONG_MIN in ...808: both take the "many" form.
    EXPECT_EQ(pluralForm(LLONG_MAX), PluralForm::Many);
    EXPECT_EQ(pluralForm(LLONG_MIN), PluralForm::Many);
    EXPECT_EQ(pluralForm(LLONG_MAX - 5), PluralForm::Few);  // ...802
    EXPECT_EQ(pluralNoun(3, "a", "b", "c"), "b");
}

}  // namespace
}  // namespace tarnik
