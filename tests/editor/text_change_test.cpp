// Telling what a user's change did to an edit's text, which the typing limit and
// the paste filters rely on.

#include <gtest/gtest.h>

#include "editor/widgets/typing_limit.h"

namespace tarnik {
namespace {

void expectChange(const TextChange& change, int at, int removed, const char* inserted)
{
    EXPECT_EQ(change.at, at);
    EXPECT_EQ(change.removed, removed);
    EXPECT_EQ(change.inserted, QString::fromUtf8(inserted));
}

TEST(UserChange, TheCaretTellsWhereARepeatedCharacterWentIn)
{
    // "1" typed at the start, the middle or the end of "11" gives the same text.
    expectChange(userChange("11", "111", 1), 0, 0, "1");
    expectChange(userChange("11", "111", 2), 1, 0, "1");
    expectChange(userChange("11", "111", 3), 2, 0, "1");
}

TEST(UserChange, PasteOverASelection)
{
    expectChange(userChange("abcdef", "abXYZef", 5), 2, 2, "XYZ");
    expectChange(userChange("abc", "abc", 3), 3, 0, "");
    expectChange(userChange("", "12345", 5), 0, 0, "12345");
}

TEST(UserChange, RemovalsInsertNothing)
{
    expectChange(userChange("abcd", "abd", 2), 2, 1, "");  // Delete or Backspace
    expectChange(userChange("abcd", "", 0), 0, 4, "");     // all cut
    expectChange(userChange("aaaa", "aaa", 1), 1, 1, "");  // in a run of one character
}

TEST(UserChange, ACaretBeforeTheChangeFallsBackToTheCommonEnds)
{
    expectChange(userChange("abcd", "abXcd", 0), 2, 0, "X");
}

}  // namespace
}  // namespace tarnik
