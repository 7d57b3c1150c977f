#include <gtest/gtest.h>

#include "link/info_list.h"

namespace tarnik {
namespace {

std::vector<std::string> numbered(int from, int to)
{
    std::vector<std::string> lines;
    for (int i = from; i <= to; ++i)
        lines.push_back(std::to_string(i));
    return lines;
}

TEST(InfoList, KeepsTheNewestSevenLines)
{
    InfoList list;
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(list.add(std::to_string(i)), i - 1);
    EXPECT_EQ(list.add("7"), 6) << "fewer than 7 lines: nothing is deleted";
    EXPECT_EQ(list.lines(), numbered(1, 7));
    EXPECT_EQ(list.add("8"), 6);
    EXPECT_EQ(list.lines(), numbered(2, 8));
    for (int i = 9; i <= 20; ++i)
        list.add(std::to_string(i));
    EXPECT_EQ(list.lines(), numbered(14, 20));
}

TEST(InfoList, UntrimmedLinesGrowPastSevenAndTrimmingTakesOneLineACall)
{
    InfoList list;
    for (int i = 1; i <= 7; ++i)
        list.add(std::to_string(i));
    EXPECT_EQ(list.add("serial: A1", false), 7);
    EXPECT_EQ(list.size(), 8u);
    // The next trimmed addition deletes one line only: 8 lines stay.
    list.add("9");
    EXPECT_EQ(list.size(), 8u);
    EXPECT_EQ(list.lines().front(), "2");
    EXPECT_TRUE(list.trim());
    EXPECT_EQ(list.size(), 7u);
    EXPECT_TRUE(list.trim()) << "7 lines are more than 6";
    EXPECT_EQ(list.size(), 6u);
    EXPECT_FALSE(list.trim());
    EXPECT_EQ(list.size(), 6u);
}

TEST(InfoList, ReplaceIgnoresIndexesThatNameNoLine)
{
    InfoList list;
    const int at = list.add("postęp: ");
    list.replace(at, "Postęp: 3% ##");
    list.replace(-1, "x");
    list.replace(1, "x");
    EXPECT_EQ(list.lines(), std::vector<std::string>{"Postęp: 3% ##"});
}

}  // namespace
}  // namespace tarnik
