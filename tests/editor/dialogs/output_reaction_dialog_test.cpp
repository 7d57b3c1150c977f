// The output-reaction dialog on its own: boxes from a byte, the byte from the
// boxes, and the exclusions between its boxes.

#include <QCheckBox>
#include <QtTest>

#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/output_reaction_bits.h"

namespace tarnik {

class OutputReactionDialogTest : public QObject {
    Q_OBJECT

    QCheckBox* box(TFconfigNumberWeRe& d, const char* name) { return d.box(name); }

private slots:
    void everyByteWithoutConflictsComesBackUnchanged()
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
            if (byte & 0x80 || byte == 0)
                QCOMPARE(d.resultByte(), std::uint8_t{0x80});
            else if (!out1Both && !out2Both)
                QCOMPARE(d.resultByte(), byte);
        }
    }

    void zeroShowsEverythingClearAndStoresNoReaction()
    {
        TFconfigNumberWeRe d;
        d.setFromByte(0xFF);
        d.setFromByte(0x00);
        for (const ReactionBox& entry : kOutputReactionBoxes) {
            QVERIFY2(!box(d, entry.name)->isChecked(), entry.name);
            QVERIFY2(box(d, entry.name)->isEnabled(), entry.name);
        }
        QCOMPARE(d.resultByte(), std::uint8_t{0x80});
    }

    void switchingAnOutputOnExcludesSwitchingItOff()
    {
        TFconfigNumberWeRe d;
        d.setFromByte(0x10);  // "Wyłącz wyjście 1"
        box(d, "ChBONwy1IN")->setChecked(true);
        QVERIFY(!box(d, "ChBOFFwy1In")->isEnabled());
        QVERIFY(!box(d, "ChBOFFwy1In")->isChecked());
        QCOMPARE(d.resultByte(), std::uint8_t{0x08});
        box(d, "ChBONwy1IN")->setChecked(false);
        QVERIFY(box(d, "ChBOFFwy1In")->isEnabled());

        box(d, "ChBOFFWY2iN")->setChecked(true);
        QVERIFY(!box(d, "ChBonWy2In")->isEnabled());
        box(d, "ChBOFFWY2iN")->setChecked(false);
        QVERIFY(box(d, "ChBonWy2In")->isEnabled());
        // The pairs are independent of each other.
        box(d, "ChBonWy2In")->setChecked(true);
        QVERIFY(box(d, "ChBONwy1IN")->isEnabled());
        QVERIFY(box(d, "ChBOFFwy1In")->isEnabled());
    }

    void bothActionsOfOneOutputInAByteLeaveTheLaterOne()
    {
        TFconfigNumberWeRe d;
        d.setFromByte(0x18);  // switch output 1 off (set first) and on (set later)
        QVERIFY(box(d, "ChBONwy1IN")->isChecked());
        QVERIFY(!box(d, "ChBOFFwy1In")->isChecked());
        QVERIFY(!box(d, "ChBOFFwy1In")->isEnabled());
        QCOMPARE(d.resultByte(), std::uint8_t{0x08});
    }

    void optionsInactiveDisablesTheRestAndKeepsOnlyTheReportTicked()
    {
        TFconfigNumberWeRe d;
        d.setFromByte(0x7F & ~0x10 & ~0x40);  // everything but the conflicting partners
        box(d, "ChBNoActiv")->setChecked(true);
        for (const ReactionBox& entry : kOutputReactionBoxes) {
            if (entry.mask == kNoReaction)
                continue;
            QVERIFY2(!box(d, entry.name)->isEnabled(), entry.name);
            QCOMPARE(box(d, entry.name)->isChecked(), entry.mask == 0x01);
        }
        QCOMPARE(d.resultByte(), std::uint8_t{0x80});
        box(d, "ChBNoActiv")->setChecked(false);
        for (const ReactionBox& entry : kOutputReactionBoxes)
            QVERIFY2(box(d, entry.name)->isEnabled(), entry.name);
        QCOMPARE(d.resultByte(), std::uint8_t{0x01});
    }

    void pairHandlersRestWhileOptionsInactiveRuns()
    {
        TFconfigNumberWeRe d;
        d.setFromByte(0x08);  // "Załącz wyjście 1" ticked, its partner disabled
        bool busySeen = false;
        connect(box(d, "ChBONwy1IN"), &QCheckBox::toggled, &d, [&] { busySeen = d.busy(); });
        box(d, "ChBNoActiv")->setChecked(true);
        QVERIFY(busySeen);
        QVERIFY(!d.busy());
        // Its partner was not re-enabled behind the inactive option's back.
        QVERIFY(!box(d, "ChBOFFwy1In")->isEnabled());
    }

    void aBoxTickedWhileInactiveStillExcludesItsPartnerAfterwards()
    {
        TFconfigNumberWeRe d;
        d.setFromByte(0xA8);  // inactive, yet output 1 and output 2 switched on
        box(d, "ChBNoActiv")->setChecked(false);
        QVERIFY(box(d, "ChBONwy1IN")->isChecked());
        QVERIFY(!box(d, "ChBOFFwy1In")->isEnabled());
        QVERIFY(!box(d, "ChBOFFWY2iN")->isEnabled());
        QVERIFY(box(d, "ChBTimeOFFWy1")->isEnabled());
        QCOMPARE(d.resultByte(), std::uint8_t{0x28});
    }

    void aNewByteRepairsTheStateLeftFromTheLastOpening()
    {
        TFconfigNumberWeRe d;
        d.setFromByte(0x08);  // output 1 on; "off" disabled
        d.setFromByte(0x10);  // now output 1 off, though its box starts disabled
        QVERIFY(box(d, "ChBOFFwy1In")->isChecked());
        QVERIFY(box(d, "ChBOFFwy1In")->isEnabled());
        QVERIFY(!box(d, "ChBONwy1IN")->isEnabled());
        QCOMPARE(d.resultByte(), std::uint8_t{0x10});

        d.setFromByte(0x80);
        d.setFromByte(0x24);  // all boxes were disabled by the inactive option
        for (const ReactionBox& entry : kOutputReactionBoxes)
            if (entry.mask != 0x40)
                QVERIFY2(box(d, entry.name)->isEnabled(), entry.name);
        QCOMPARE(d.resultByte(), std::uint8_t{0x24});
    }

    void captionsAreTheFormsOwn()
    {
        TFconfigNumberWeRe d;
        QCOMPARE(box(d, "ChBNoActiv")->text(), QStringLiteral("Opcje nieaktywne"));
        QCOMPARE(box(d, "ChBOFFWY2iN")->text(), QStringLiteral("Wyłącz wyjście 2"));
        QCOMPARE(box(d, "ChBonWy2In")->text(), QStringLiteral("Załącz wyjście 2"));
        QCOMPARE(box(d, "ChBOFFwy1In")->text(), QStringLiteral("Wyłącz wyjście 1"));
        QCOMPARE(box(d, "ChBONwy1IN")->text(), QStringLiteral("Załącz wyjście 1"));
        QCOMPARE(box(d, "ChBTimeRaport")->text(), QStringLiteral("Odeślij raport"));
        QCOMPARE(d.findChild<QAbstractButton*>(QStringLiteral("BitBtn2"))->text(),
                 QStringLiteral("Anuluj"));
    }
};

}  // namespace tarnik

QTEST_MAIN(tarnik::OutputReactionDialogTest)
#include "output_reaction_dialog_test.moc"
