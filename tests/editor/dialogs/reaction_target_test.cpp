// Which record byte a reaction button edits, from its name alone.

#include <gtest/gtest.h>

#include <cstddef>

#include "editor/dialogs/output_reaction_bits.h"
#include "editor/dialogs/reaction_target.h"

namespace tarnik {
namespace {

std::size_t offsetOf(SettingsRecord& record, const ReactionTarget& target)
{
    return static_cast<std::size_t>(&reactionByte(record, target) -
                                    reinterpret_cast<std::uint8_t*>(&record));
}

TEST(ReactionTarget, EachFamilyReadsEntryAndReactionFromTheName)
{
    const auto input = parseReactionButton(QStringLiteral("BB_ConfigNumerWe7Re2"));
    ASSERT_TRUE(input);
    EXPECT_EQ(input->family, ReactionFamily::NumberInput);
    EXPECT_EQ(input->entry, 7);
    EXPECT_EQ(input->reaction, 2);

    const auto special = parseReactionButton(QStringLiteral("BB_ConfigNumerSpecWe5Re1"));
    ASSERT_TRUE(special);
    EXPECT_EQ(special->family, ReactionFamily::NumberSpecial);
    EXPECT_EQ(special->entry, 5);
    EXPECT_EQ(special->reaction, 1);

    const auto work = parseReactionButton(QStringLiteral("BBConfigWorkWe8Re1"));
    ASSERT_TRUE(work);
    EXPECT_EQ(work->family, ReactionFamily::WorkInput);
    EXPECT_EQ(work->entry, 8);

    const auto confirmation = parseReactionButton(QStringLiteral("BBConfigWorkSpecWe2Re2"));
    ASSERT_TRUE(confirmation);
    EXPECT_EQ(confirmation->family, ReactionFamily::WorkSpecial);
    EXPECT_EQ(confirmation->entry, 2);
    EXPECT_EQ(confirmation->reaction, 2);
}

TEST(ReactionTarget, EveryTargetNamesAButtonThatReadsBackAsIt)
{
    EXPECT_EQ(reactionButtonName({ReactionFamily::NumberInput, 7, 2}),
              QStringLiteral("BB_ConfigNumerWe7Re2"));
    for (const auto& [family, entries] : {std::pair{ReactionFamily::NumberInput, kInputs},
                                          std::pair{ReactionFamily::NumberSpecial, kSpecialEntries},
                                          std::pair{ReactionFamily::WorkInput, kInputs},
                                          std::pair{ReactionFamily::WorkSpecial, kSpecialEntries}})
        for (int entry = 1; entry <= entries; ++entry)
            for (int reaction = 1; reaction <= kReactions; ++reaction) {
                const QString name = reactionButtonName({family, entry, reaction});
                const auto target = parseReactionButton(name);
                ASSERT_TRUE(target) << name.toStdString();
                EXPECT_EQ(target->family, family);
                EXPECT_EQ(target->entry, entry);
                EXPECT_EQ(target->reaction, reaction);
            }
}

TEST(ReactionTarget, LetterCaseIsIgnoredAsInControlLookup)
{
    const auto target = parseReactionButton(QStringLiteral("bb_confignumerspecwe3re2"));
    ASSERT_TRUE(target);
    EXPECT_EQ(target->family, ReactionFamily::NumberSpecial);
    EXPECT_EQ(target->entry, 3);
}

TEST(ReactionTarget, NamesOutsideTheFamiliesOrRangesAreRefused)
{
    for (const char* name : {"BB_ConfigNumerWe9Re1",      // no input 9
                             "BB_ConfigNumerWe0Re1",      // no input 0
                             "BB_ConfigNumerWe1Re3",      // no reaction 3
                             "BB_ConfigNumerWe1Re0",      // no reaction 0
                             "BB_ConfigNumerSpecWe7Re1",  // six special entries only
                             "BB_ConfigNumerSpecWy1Re1",  // the hidden output buttons reach nothing
                             "BB_ConfigNumerWe12Re1",     // one digit only
                             "BB_ConfigNumerWe1Re1x",     // nothing after the reaction
                             "BB_ConfigNumerWeARe1",      // not a digit
                             "BB_ConfigNumerWe1Xe1",      // "Re" required
                             "BBConfigWorkWe",            // too short
                             ""}) {
        EXPECT_FALSE(parseReactionButton(QString::fromLatin1(name))) << name;
    }
}

TEST(ReactionTarget, FamilyFilterRefusesOtherFamilies)
{
    EXPECT_FALSE(
        parseReactionButton(QStringLiteral("BBConfigWorkWe1Re1"), ReactionFamily::NumberInput));
    EXPECT_TRUE(
        parseReactionButton(QStringLiteral("BBConfigWorkWe1Re1"), ReactionFamily::WorkInput));
    // Input buttons have no entries above 8, special buttons none above 6.
    EXPECT_FALSE(
        parseReactionButton(QStringLiteral("BBConfigWorkSpecWe8Re1"), ReactionFamily::WorkSpecial));
}

TEST(ReactionTarget, BytesLieAtTheRecordOffsets)
{
    SettingsRecord record{};
    EXPECT_EQ(offsetOf(record, {ReactionFamily::NumberInput, 1, 1}), 41u);
    EXPECT_EQ(offsetOf(record, {ReactionFamily::NumberInput, 7, 2}), 38u + 2 * 7 + 2);
    EXPECT_EQ(offsetOf(record, {ReactionFamily::NumberInput, 8, 2}), 56u);
    EXPECT_EQ(offsetOf(record, {ReactionFamily::WorkInput, 1, 1}), 57u);
    EXPECT_EQ(offsetOf(record, {ReactionFamily::NumberSpecial, 5, 2}), 82u);
    EXPECT_EQ(offsetOf(record, {ReactionFamily::WorkSpecial, 6, 2}), 100u);
}

TEST(ReactionTarget, OutOfRangeTargetsNeverReachOutsideTheRecord)
{
    SettingsRecord record{};
    EXPECT_THROW(reactionByte(record, {ReactionFamily::NumberInput, 9, 1}), std::out_of_range);
    EXPECT_THROW(reactionByte(record, {ReactionFamily::WorkSpecial, 7, 1}), std::out_of_range);
    EXPECT_THROW(reactionByte(record, {ReactionFamily::WorkSpecial, 1, 3}), std::out_of_range);
    EXPECT_THROW(reactionByte(record, {ReactionFamily::NumberSpecial, 0, 1}), std::out_of_range);
}

TEST(OutputReactionByte, NothingChosenOrInactiveStoresNoReaction)
{
    EXPECT_EQ(outputReactionByte(0x00), 0x80);
    EXPECT_EQ(outputReactionByte(0x80), 0x80);
    EXPECT_EQ(outputReactionByte(0xFF), 0x80);  // "Opcje nieaktywne" outweighs the rest
    EXPECT_EQ(outputReactionByte(0x09), 0x09);
    EXPECT_EQ(outputReactionByte(0x7F), 0x7F);
}

}  // namespace
}  // namespace tarnik
