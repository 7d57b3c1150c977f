// What counts as the module's answer: exactly the layout's bytes, nothing ahead of them,
// nothing after them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/module_answers.h"

namespace tarnik {
namespace {

// A read-back answer: `ahead`, a lead byte, 1700 image bytes ending in `imageEnd`, "*1",
// then `after`.
std::vector<std::uint8_t> answer(const std::string& ahead, const std::string& after,
                                 const std::string& imageEnd = "")
{
    std::string bytes = ahead + '\xA5';
    std::string image(1700, 'x');
    image.replace(image.size() - imageEnd.size(), imageEnd.size(), imageEnd);
    bytes += image + "*1" + after;
    return {bytes.begin(), bytes.end()};
}

struct ReadBackCase {
    const char* name;
    std::vector<std::uint8_t> received;
    AnswerVerdict verdict;
};

TEST(ModuleAnswers, ReadBackIsTakenOnlyWithItsTerminatorInItsPlace)
{
    std::vector<std::uint8_t> cut = answer("", "");
    cut.pop_back();
    const std::vector<std::uint8_t> noise(3407, '7');
    const ReadBackCase cases[] = {
        {"exact", answer("", ""), AnswerVerdict::Taken},
        {"image ending in '*' before the terminator", answer("", "", "*"), AnswerVerdict::Taken},
        {"image ending in \"*1\"", answer("", "", "*1"), AnswerVerdict::Taken},
        {"terminator not complete yet", cut, AnswerVerdict::Incomplete},
        {"one byte ahead", answer(std::string(1, '\0'), ""), AnswerVerdict::Refused},
        {"RING ahead", answer("\r\nRING\r\n", ""), AnswerVerdict::Refused},
        {"bytes after", answer("", "\r\n"), AnswerVerdict::Refused},
        {"a second answer after", answer("", "OK*1"), AnswerVerdict::Refused},
        {"no terminator in twice the answer", noise, AnswerVerdict::Refused},
        {"no terminator yet", std::vector<std::uint8_t>(2000, '7'), AnswerVerdict::Incomplete},
    };
    for (const ReadBackCase& c : cases) {
        const ReadBackJudgement judged = judgeReadBackAnswer(c.received);
        EXPECT_EQ(judged.verdict, c.verdict) << c.name;
        EXPECT_EQ(judged.received, c.received.size()) << c.name;
    }
}

TEST(ModuleAnswers, SerialAnswerIsANumberFollowedByItsEnd)
{
    const struct {
        std::string received;
        AnswerVerdict verdict;
        std::string number;
    } cases[] = {
        {"A123*1OK*1", AnswerVerdict::Taken, "A123"},
        {"*1OK*1", AnswerVerdict::Taken, ""},
        {"A123*1", AnswerVerdict::Incomplete, ""},
        {"A123*1OK", AnswerVerdict::Incomplete, ""},
        {"OK*1A123*1OK*1", AnswerVerdict::Refused, ""},
        {"A123*1OK*1\r\n", AnswerVerdict::Refused, ""},
        {std::string(300, 'z'), AnswerVerdict::Refused, ""},
    };
    for (const auto& c : cases) {
        const SerialJudgement judged = judgeSerialAnswer(c.received);
        EXPECT_EQ(judged.verdict, c.verdict) << c.received;
        EXPECT_EQ(judged.number, c.number) << c.received;
    }
}

TEST(ModuleAnswers, LengthLineCountsInPolish)
{
    EXPECT_EQ(readBackLengthLine(1704),
              "Odpowiedź modułu ma nieprawidłową długość (1704 bajty zamiast 1703); ustawień nie "
              "wczytano. Spróbuj ponownie.");
    EXPECT_NE(readBackLengthLine(1711).find("(1711 bajtów zamiast"), std::string::npos);
    EXPECT_NE(readBackLengthLine(1).find("(1 bajt zamiast"), std::string::npos);
}

}  // namespace
}  // namespace tarnik
