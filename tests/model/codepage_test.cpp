#include <gtest/gtest.h>

#include "model/codepage.h"

namespace tarnik {
namespace {

TEST(CodePage, PolishLettersTakeOneByteEach)
{
    EXPECT_EQ(toCp1250(QStringLiteral("Załącz wyjście")), "Za\xb3\xb9"
                                                          "cz wyj\x9c"
                                                          "cie");
    EXPECT_EQ(toCp1250(QStringLiteral("ŻÓŁĆ")), "\xaf\xd3\xa3\xc6");
    EXPECT_EQ(fromCp1250("\xaf\xd3\xa3\xc6"), QStringLiteral("ŻÓŁĆ"));
    EXPECT_EQ(toCp1250(QString()), "");
    EXPECT_TRUE(fromCp1250("").isEmpty());
}

TEST(CodePage, MissingCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(toCp1250(QStringLiteral("a日b")), "a?b");
    // A character outside the basic plane is one character, so one '?'.
    EXPECT_EQ(toCp1250(QString::fromUtf8("x\U0001F600y")), "x?y");
    // Half a surrogate pair is no character either.
    QString lone = QStringLiteral("a");
    lone.append(QChar(0xD800));
    lone.append(u'b');
    EXPECT_EQ(toCp1250(lone), "a?b");
}

TEST(CodePage, RealSubstituteCharacterAndZeroBytesSurvive)
{
    const QString text = QString(QChar(0x1A)) + QChar(0) + u'z';
    EXPECT_EQ(toCp1250(text), std::string("\x1a\0z", 3));
    EXPECT_EQ(fromCp1250(std::string("\0\0", 2)).size(), 2);
}

TEST(CodePage, EveryByteRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const QString decoded = fromCp1250(one);
        ASSERT_EQ(decoded.size(), 1) << "byte " << b;
        EXPECT_EQ(toCp1250(decoded), one) << "byte " << b;
    }
}

}  // namespace
}  // namespace tarnik
