#include <gtest/gtest.h>

#include "qt_printers.h"
// The output-reaction dialog on its own: boxes from a byte, the byte from the
// boxes, and the exclusions between its boxes.

#include <QCheckBox>
#include <QtTest>

#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/output_reaction_bits.h"

namespace tarnik {

class OutputReactionDialogTest : public ::testing::Test {
protected:
    QCheckBox* box(TFconfigNumberWeRe& d, const char* name) { return d.box(name); }
};

TEST_F(OutputReactionDialogTest, EveryByteWithoutConflictsComesBackUnchanged)
{
    // Bytes without "Opcje nieaktywne" and without both actions of one
    // output survive a confirmed dialog exactly; all others collapse as the
    // exclusions say. An all-clear byte is stored as "no reaction".
    TFconfigNumberWeRe d;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        d.setFromByte(byte);
        const bool out1Both = (byte & 0x18) == 0x18;
        const bool out2Both = (byte & 0x60) == 0x60;
        if (byte & 0x80 || byte == 0) {
            ASSERT_EQ(d.resultByte(), std::uint8_t{0x80});
        } else if (!out1Both && !out2Both) {
            ASSERT_EQ(d.resultByte(), byte);
        }
    }
}

TEST_F(OutputReactionDialogTest, ZeroShowsEverythingClearAndStoresNoReaction)
{
    TFconfigNumberWeRe d;
    d.setFromByte(0xFF);
    d.setFromByte(0x00);
    for (const ReactionBox& entry : kOutputReactionBoxes) {
        ASSERT_TRUE(!box(d, entry.name)->isChecked()) << entry.name;
        ASSERT_TRUE(box(d, entry.name)->isEnabled()) << entry.name;
    }
    ASSERT_EQ(d.resultByte(), std::uint8_t{0x80});
}

TEST_F(OutputReactionDialogTest, SwitchingAnOutputOnExcludesSwitchingItOff)
{
    TFconfigNumberWeRe d;
    d.setFromByte(0x10);  // "Wyłącz wyjście 1"
    box(d, "ChBONwy1IN")->setChecked(true);
    ASSERT_TRUE(!box(d, "ChBOFFwy1In")->isEnabled());
    ASSERT_TRUE(!box(d, "ChBOFFwy1In")->isChecked());
    ASSERT_EQ(d.resultByte(), std::uint8_t{0x08});
    box(d, "ChBONwy1IN")->setChecked(false);
    ASSERT_TRUE(box(d, "ChBOFFwy1In")->isEnabled());

    box(d, "ChBOFFWY2iN")->setChecked(true);
    ASSERT_TRUE(!box(d, "ChBonWy2In")->isEnabled());
    box(d, "ChBOFFWY2iN")->setChecked(false);
    ASSERT_TRUE(box(d, "ChBonWy2In")->isEnabled());
    // The pairs are independent of each other.
    box(d, "ChBonWy2In")->setChecked(true);
    ASSERT_TRUE(box(d, "ChBONwy1IN")->isEnabled());
    ASSERT_TRUE(box(d, "ChBOFFwy1In")->isEnabled());
}

TEST_F(OutputReactionDialogTest, BothActionsOfOneOutputInAByteLeaveTheLaterOne)
{
    TFconfigNumberWeRe d;
    d.setFromByte(0x18);  // switch output 1 off (set first) and on (set later)
    ASSERT_TRUE(box(d, "ChBONwy1IN")->isChecked());
    ASSERT_TRUE(!box(d, "ChBOFFwy1In")->isChecked());
    ASSERT_TRUE(!box(d, "ChBOFFwy1In")->isEnabled());
    ASSERT_EQ(d.resultByte(), std::uint8_t{0x08});
}

TEST_F(OutputReactionDialogTest, OptionsInactiveDisablesTheRestAndKeepsOnlyTheReportTicked)
{
    TFconfigNumberWeRe d;
    d.setFromByte(0x7F & ~0x10 & ~0x40);  // everything but the conflicting partners
    box(d, "ChBNoActiv")->setChecked(true);
    for (const ReactionBox& entry : kOutputReactionBoxes) {
        if (entry.mask == kNoReaction)
            continue;
        ASSERT_TRUE(!box(d, entry.name)->isEnabled()) << entry.name;
        ASSERT_EQ(box(d, entry.name)->isChecked(), entry.mask == 0x01);
    }
    ASSERT_EQ(d.resultByte(), std::uint8_t{0x80});
    box(d, "ChBNoActiv")->setChecked(false);
    for (const ReactionBox& entry : kOutputReactionBoxes) {
        ASSERT_TRUE(box(d, entry.name)->isEnabled()) << entry.name;
    }
    ASSERT_EQ(d.resultByte(), std::uint8_t{0x01});
}

TEST_F(OutputReactionDialogTest, PairHandlersRestWhileOptionsInactiveRuns)
{
    TFconfigNumberWeRe d;
    d.setFromByte(0x08);  // "Załącz wyjście 1" ticked, its partner disabled
    bool busySeen = false;
    QObject::connect(box(d, "ChBONwy1IN"), &QCheckBox::toggled, &d, [&] { busySeen = d.busy(); });
    box(d, "ChBNoActiv")->setChecked(true);
    ASSERT_TRUE(busySeen);
    ASSERT_TRUE(!d.busy());
    // Its partner was not re-enabled behind the inactive option's back.
    ASSERT_TRUE(!box(d, "ChBOFFwy1In")->isEnabled());
}

TEST_F(OutputReactionDialogTest, ABoxTickedWhileInactiveStillExcludesItsPartnerAfterwards)
{
    TFconfigNumberWeRe d;
    d.setFromByte(0xA8);  // inactive, yet output 1 and output 2 switched on
    box(d, "ChBNoActiv")->setChecked(false);
    ASSERT_TRUE(box(d, "ChBONwy1IN")->isChecked());
    ASSERT_TRUE(!box(d, "ChBOFFwy1In")->isEnabled());
    ASSERT_TRUE(!box(d, "ChBOFFWY2iN")->isEnabled());
    ASSERT_TRUE(box(d, "ChBTimeOFFWy1")->isEnabled());
    ASSERT_EQ(d.resultByte(), std::uint8_t{0x28});
}

TEST_F(OutputReactionDialogTest, ANewByteRepairsTheStateLeftFromTheLastOpening)
{
    TFconfigNumberWeRe d;
    d.setFromByte(0x08);  // output 1 on; "off" disabled
    d.setFromByte(0x10);  // now output 1 off, though its box starts disabled
    ASSERT_TRUE(box(d, "ChBOFFwy1In")->isChecked());
    ASSERT_TRUE(box(d, "ChBOFFwy1In")->isEnabled());
    ASSERT_TRUE(!box(d, "ChBONwy1IN")->isEnabled());
    ASSERT_EQ(d.resultByte(), std::uint8_t{0x10});

    d.setFromByte(0x80);
    d.setFromByte(0x24);  // all boxes were disabled by the inactive option
    for (const ReactionBox& entry : kOutputReactionBoxes)
        if (entry.mask != 0x40) {
            ASSERT_TRUE(box(d, entry.name)->isEnabled()) << entry.name;
        }
    ASSERT_EQ(d.resultByte(), std::uint8_t{0x24});
}

TEST_F(OutputReactionDialogTest, CaptionsAreTheFormsOwn)
{
    TFconfigNumberWeRe d;
    ASSERT_EQ(box(d, "ChBNoActiv")->text(), QStringLiteral("Opcje nieaktywne"));
    ASSERT_EQ(box(d, "ChBOFFWY2iN")->text(), QStringLiteral("Wyłącz wyjście 2"));
    ASSERT_EQ(box(d, "ChBonWy2In")->text(), QStringLiteral("Załącz wyjście 2"));
    ASSERT_EQ(box(d, "ChBOFFwy1In")->text(), QStringLiteral("Wyłącz wyjście 1"));
    ASSERT_EQ(box(d, "ChBONwy1IN")->text(), QStringLiteral("Załącz wyjście 1"));
    ASSERT_EQ(box(d, "ChBTimeRaport")->text(), QStringLiteral("Odeślij raport"));
    ASSERT_EQ(d.findChild<QAbstractButton*>(QStringLiteral("BitBtn2"))->text(),
              QStringLiteral("Anuluj"));
}

}  // namespace tarnik
