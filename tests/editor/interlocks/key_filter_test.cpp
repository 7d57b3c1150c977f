// The character filter of the PIN and phone-number edits.

#include <gtest/gtest.h>

#include "editor/interlocks/key_filter.h"

namespace tarnik {
namespace {

const QChar kDropped;

QChar pin(const char* text, int caret, char key)
{
    return FilterKey(QString::fromLatin1(text), caret, QLatin1Char('$'), QLatin1Char('$'),
                     QLatin1Char(key));
}

QChar number(const char* text, int caret, char key)
{
    return FilterKey(QString::fromLatin1(text), caret, QLatin1Char('-'), QLatin1Char('+'),
                     QLatin1Char(key));
}

TEST(FilterKey, DigitsBackspaceAndTabAlwaysPass)
{
    for (char key : {'0', '5', '9', '\b', '\t'}) {
        EXPECT_EQ(pin("12", 2, key), QLatin1Char(key));
        EXPECT_EQ(number("+4860", 5, key), QLatin1Char(key));
    }
}

TEST(FilterKey, LettersAndOtherCharactersAreDropped)
{
    for (char key : {'a', 'Z', ' ', '*', '#', '$', '.', '/', ':'}) {
        EXPECT_EQ(pin("", 0, key), kDropped) << key;
        EXPECT_EQ(number("", 0, key), kDropped) << key;
    }
    EXPECT_EQ(FilterKey(QString(), 0, QLatin1Char('-'), QLatin1Char('+'), QChar(0x0105)),
              kDropped);  // "ą"
}

TEST(FilterKey, ThePinTakesNoSign)
{
    EXPECT_EQ(pin("", 0, '+'), kDropped);
    EXPECT_EQ(pin("", 0, '-'), kDropped);
}

TEST(FilterKey, OneSignOnlyAtTheFirstTwoPositions)
{
    EXPECT_EQ(number("", 0, '+'), QLatin1Char('+'));
    EXPECT_EQ(number("", 0, '-'), QLatin1Char('-'));
    EXPECT_EQ(number("48", 1, '+'), QLatin1Char('+'));  // position 1 is still allowed
    EXPECT_EQ(number("48", 2, '+'), kDropped);
    EXPECT_EQ(number("486", 3, '-'), kDropped);
    EXPECT_EQ(number("+", 1, '+'), kDropped);  // one sign only
    EXPECT_EQ(number("+48", 0, '-'), kDropped);
    EXPECT_EQ(number("-1", 0, '+'), kDropped);
}

TEST(FilterKey, EitherSignAloneCanBeRefused)
{
    // "$" marks the sign that an edit does not take.
    EXPECT_EQ(FilterKey(QString(), 0, QLatin1Char('$'), QLatin1Char('+'), QLatin1Char('+')),
              QLatin1Char('+'));
    EXPECT_EQ(FilterKey(QString(), 0, QLatin1Char('$'), QLatin1Char('+'), QLatin1Char('-')),
              kDropped);
    EXPECT_EQ(FilterKey(QString(), 0, QLatin1Char('-'), QLatin1Char('$'), QLatin1Char('+')),
              kDropped);
    EXPECT_EQ(FilterKey(QString(), 0, QLatin1Char('-'), QLatin1Char('$'), QLatin1Char('-')),
              QLatin1Char('-'));
}

}  // namespace
}  // namespace tarnik
