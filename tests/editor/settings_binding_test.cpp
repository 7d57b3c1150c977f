// Showing and collecting the Settings record and the User directory through
// the real pages, with the option handlers the show steps set off.

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "qt_printers.h"
#include <cstring>

#include "binding_fixture.h"
#include "model/codepage.h"
#include "model/value_ranges.h"

using tarnik::SettingsRecord;

namespace {

template <std::size_t N>
void put(tarnik::ShortString<N>& field, const std::string& bytes)
{
    field.assign(bytes);
}

}  // namespace

class SettingsBindingTest : public ::testing::Test {
protected:
};

// ---- SMS centre ----
TEST_F(SettingsBindingTest, StoredNumberOfPresetSelectsIt)
{
    BindingFixture f;
    put(f.record.csms, "+48602951111");
    f.binding->showFrom(f.record);
    ASSERT_EQ(f.combo("CBcentrum")->currentText(), QStringLiteral("ERA"));
    ASSERT_EQ(f.edit("Ecsms")->text(), QStringLiteral("+48602951111"));
}

TEST_F(SettingsBindingTest, NumberWithLastDigitMissingLeavesOther)
{
    BindingFixture f;
    put(f.record.csms, "+4860295111");
    f.binding->showFrom(f.record);
    ASSERT_EQ(f.combo("CBcentrum")->currentText(), QStringLiteral("inne"));
    ASSERT_EQ(f.edit("Ecsms")->text(), QStringLiteral("+4860295111"));
}

TEST_F(SettingsBindingTest, ChoosingPresetsFillsOrEmptiesTheNumber)
{
    BindingFixture f;
    auto* centre = f.combo("CBcentrum");
    centre->setCurrentIndex(2);
    emit centre->activated(2);  // as a user's choice arrives
    ASSERT_EQ(f.edit("Ecsms")->text(), QStringLiteral("+48501200777"));
    centre->setCurrentIndex(3);
    emit centre->activated(3);
    ASSERT_EQ(f.edit("Ecsms")->text(), QString());
}

TEST_F(SettingsBindingTest, SelectingFromProgramDoesNotTouchTheNumber)
{
    BindingFixture f;
    f.edit("Ecsms")->setText(QStringLiteral("+48123"));
    f.combo("CBcentrum")->setCurrentIndex(0);
    ASSERT_EQ(f.edit("Ecsms")->text(), QStringLiteral("+48123"));
}

TEST_F(SettingsBindingTest, TypedTextNamingNoPresetLeavesNumber)
{
    BindingFixture f;
    auto* centre = f.combo("CBcentrum");
    centre->setCurrentIndex(3);
    f.edit("Ecsms")->setText(QStringLiteral("+48999"));
    QTest::keyClicks(centre->lineEdit(), QStringLiteral("xyz"));
    ASSERT_EQ(f.edit("Ecsms")->text(), QStringLiteral("+48999"));
    centre->lineEdit()->clear();
    QTest::keyClicks(centre->lineEdit(), QStringLiteral("PLUS"));
    ASSERT_EQ(f.edit("Ecsms")->text(), QStringLiteral("+48601000310"));
}

TEST_F(SettingsBindingTest, TypedCentreNumberIsCutTo15)
{
    BindingFixture f;
    f.binding->showFrom(f.record);
    f.edit("Ecsms")->setText(QStringLiteral("12345678901234567890"));
    f.binding->collectInto(f.record);
    ASSERT_EQ(f.record.csms.str(), std::string("123456789012345"));
}

// ---- spin clamping ----
TEST_F(SettingsBindingTest, OutOfRangeValuesAreClampedOnShow)
{
    BindingFixture f;
    f.record.callingTimer = 250;
    f.record.smsConfirmTimer = 0;
    f.record.testOkr = 0;
    f.record.timerPod[7] = 0;
    f.roundTrip();
    ASSERT_EQ(int(f.record.callingTimer), 240);
    ASSERT_EQ(int(f.record.smsConfirmTimer), 10);
    ASSERT_EQ(int(f.record.testOkr), 1);
    ASSERT_EQ(int(f.record.timerPod[7]), 1);
}

TEST_F(SettingsBindingTest, LargestTimesTravel)
{
    BindingFixture f;
    f.record.timerPod[0] = 255;
    f.record.timerTorBuf[7] = 255;
    f.record.wyOffTimer[1] = 255;
    f.record.exitTime = 200;
    f.record.entryTime = 201;
    f.record.alarmTime = 202;
    f.roundTrip();
    ASSERT_EQ(int(f.record.timerPod[0]), 255);
    ASSERT_EQ(int(f.record.timerTorBuf[7]), 255);
    ASSERT_EQ(int(f.record.wyOffTimer[1]), 255);
    ASSERT_EQ(int(f.record.exitTime), 200);
    ASSERT_EQ(int(f.record.entryTime), 201);
    ASSERT_EQ(int(f.record.alarmTime), 202);
}

// ---- flags and options ----
TEST_F(SettingsBindingTest, AccessCodeEmptiedAndDisabledWithoutSmsProgramming)
{
    BindingFixture f;
    put(f.record.pinMod, "1234");
    f.record.flags = 0x00;
    f.binding->showFrom(f.record);
    ASSERT_EQ(f.edit("EPINMOD")->text(), QString());
    ASSERT_TRUE(!f.edit("EPINMOD")->isEnabled());
    f.binding->collectInto(f.record);
    ASSERT_EQ(int(f.record.pinMod.len), 0);
}

TEST_F(SettingsBindingTest, AccessCodeShownWithSmsProgramming)
{
    BindingFixture f;
    put(f.record.pinMod, "1234");
    f.record.flags = 0x20;
    f.binding->showFrom(f.record);
    ASSERT_EQ(f.edit("EPINMOD")->text(), QStringLiteral("1234"));
    ASSERT_TRUE(f.edit("EPINMOD")->isEnabled());
}

TEST_F(SettingsBindingTest, FlagBits6And7AreCleared)
{
    BindingFixture f;
    f.record.flags = 0xFF;
    f.roundTrip();
    ASSERT_EQ(int(f.record.flags), 0x3F);
}

TEST_F(SettingsBindingTest, ClipBitsTravelIncludingHiddenBox)
{
    BindingFixture f;
    f.record.clipVerif = 0x80 | 0x40 | 0x02;  // bit 7: unidentified SMS box
    f.record.clipNotVerif = 0x80 | 0x01;      // bit 7: the hidden box
    f.roundTrip();
    ASSERT_EQ(int(f.record.clipVerif), 0xC2);
    ASSERT_EQ(int(f.record.clipNotVerif), 0x81);
    ASSERT_TRUE(!f.check("ChBClipNotVerif7")->isVisibleTo(&f.root));
}

TEST_F(SettingsBindingTest, ExitFunctionBoxKeepsOtherBitsOfTheBlockingByte)
{
    BindingFixture f;
    f.record.numberSpecWeRe[4][1] = 0x08;
    f.roundTrip();
    ASSERT_EQ(int(f.record.numberSpecWeRe[4][1]), 0x08);
    f.record.numberSpecWeRe[4][1] = 0xF9;
    f.binding->showFrom(f.record);
    ASSERT_TRUE(f.check("CHB_funkcjaczaswy")->isChecked());
    f.check("CHB_funkcjaczaswy")->setChecked(false);
    f.binding->collectInto(f.record);
    ASSERT_EQ(int(f.record.numberSpecWeRe[4][1]), 0xF8);
}

// ---- output codes ----
TEST_F(SettingsBindingTest, CodesWithTwoBytesShowAndTravel)
{
    BindingFixture f;
    f.record.flags = 0x03;
    f.record.zalWyCode[0][0] = 'A';
    f.record.zalWyCode[0][1] = 'B';
    f.record.wylWyCode[1][0] = 0xB9;  // 'ą' in code page 1250
    f.record.wylWyCode[1][1] = 'x';
    f.binding->showFrom(f.record);
    ASSERT_EQ(f.edit("EZalWy1")->text(), QStringLiteral("AB"));
    ASSERT_EQ(f.edit("EwylWy2")->text(), QStringLiteral("ąx"));
    f.binding->collectInto(f.record);
    ASSERT_EQ(int(f.record.zalWyCode[0][0]), int('A'));
    ASSERT_EQ(int(f.record.wylWyCode[1][0]), 0xB9);
}

TEST_F(SettingsBindingTest, CodeWithOneByteShowsEmpty)
{
    BindingFixture f;
    f.record.flags = 0x01;
    f.record.zalWyCode[0][0] = 'A';
    f.record.zalWyCode[0][1] = 0;
    f.binding->showFrom(f.record);
    ASSERT_EQ(f.edit("EZalWy1")->text(), QString());
}

TEST_F(SettingsBindingTest, SingleCharacterCollectsAsNoCode)
{
    BindingFixture f;
    f.record.flags = 0x01;
    f.binding->showFrom(f.record);
    f.edit("EZalWy1")->setText(QStringLiteral("A"));
    f.edit("EwylWy1")->setText(QStringLiteral("AA"));  // same as another code: accepted
    f.edit("EZalWy1")->setText(QStringLiteral("A"));
    f.binding->collectInto(f.record);
    ASSERT_EQ(int(f.record.zalWyCode[0][0]), 0);
    ASSERT_EQ(int(f.record.zalWyCode[0][1]), 0);
    ASSERT_EQ(int(f.record.wylWyCode[0][0]), int('A'));
}

TEST_F(SettingsBindingTest, CodeOfOutputWithoutSmsControlIsEmptiedAndDisabled)
{
    BindingFixture f;
    f.record.flags = 0x01;  // output 2 without SMS control
    f.record.zalWyCode[1][0] = 'O';
    f.record.zalWyCode[1][1] = 'N';
    f.binding->showFrom(f.record);
    ASSERT_EQ(f.edit("EZalWy2")->text(), QString());
    ASSERT_TRUE(!f.edit("EZalWy2")->isEnabled());
    f.binding->collectInto(f.record);
    ASSERT_EQ(int(f.record.zalWyCode[1][0]), 0);
}

// ---- texts ----
TEST_F(SettingsBindingTest, TextsOf36CharactersTravelWhole)
{
    BindingFixture f;
    const std::string text36(36, 'x');
    put(f.record.smsWeRe[2][1], text36);
    put(f.record.smsSpecWeRe[3][0], text36);  // hidden entry 4
    put(f.record.smsSpecWeRe[5][1], text36);  // hidden entry 6
    put(f.record.smsSpecWeRe[0][0], text36);  // output 1 confirmation
    f.roundTrip();
    ASSERT_EQ(f.record.smsWeRe[2][1].str(), text36);
    ASSERT_EQ(f.record.smsSpecWeRe[3][0].str(), text36);
    ASSERT_EQ(f.record.smsSpecWeRe[5][1].str(), text36);
    ASSERT_EQ(f.record.smsSpecWeRe[0][0].str(), text36);
    ASSERT_EQ(f.edit("ETSMS_We3_Re2")->text().size(), 36);
}

TEST_F(SettingsBindingTest, PolishTextsTravelInCodePage1250)
{
    BindingFixture f;
    f.edit("ETSMS_We1_Re1")->setText(QStringLiteral("Alarm: zażółć gęślą jaźń"));
    f.binding->collectInto(f.record);
    ASSERT_EQ(f.record.smsWeRe[0][0].str(),
              tarnik::toCp1250(QStringLiteral("Alarm: zażółć gęślą jaźń")));
    f.edit("ETSMS_We1_Re1")->clear();
    f.binding->showFrom(f.record);
    ASSERT_EQ(f.edit("ETSMS_We1_Re1")->text(), QStringLiteral("Alarm: zażółć gęślą jaźń"));
}

TEST_F(SettingsBindingTest, PinIsCutTo7AndUserNumbersTo15)
{
    BindingFixture f;
    f.edit("EPin")->setText(QStringLiteral("123456789"));
    f.edit("Enruser2")->setText(QStringLiteral("+4812345678901234"));
    f.binding->collectInto(f.record);
    ASSERT_EQ(f.record.pin.str(), std::string("1234567"));
    ASSERT_EQ(f.record.nrUser[1].str(), std::string("+48123456789012"));
}

// ---- users ----
TEST_F(SettingsBindingTest, InternationalFormCheck)
{
    BindingFixture f;
    ASSERT_TRUE(f.binding->CheckUserNumbers());  // all empty
    f.edit("Enruser1")->setText(QStringLiteral("+48601234567"));
    f.edit("Enruser2")->setText(QStringLiteral("12"));
    f.edit("Enruser3")->setText(QStringLiteral("0"));
    ASSERT_TRUE(f.binding->CheckUserNumbers());
    f.edit("Enruser4")->setText(QStringLiteral("48601234567"));
    ASSERT_TRUE(!f.binding->CheckUserNumbers());
    f.edit("Enruser4")->setText(QStringLiteral("0601234567"));
    ASSERT_TRUE(!f.binding->CheckUserNumbers());
    f.edit("Enruser4")->setText(QStringLiteral(" +48"));  // blanks are not trimmed
    ASSERT_TRUE(!f.binding->CheckUserNumbers());
}

TEST_F(SettingsBindingTest, NamesAndNotesAreCut)
{
    BindingFixture f;
    f.edit("Eosoba1")->setText(QString(40, QLatin1Char('n')));
    // 100 lines of "ab": 2 characters plus 2 for every line break
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QStringLiteral("ab");
    f.memo("Muser3")->setPlainText(lines.join(QLatin1Char('\n')));
    f.binding->CollectUserDirectory(f.users);
    ASSERT_EQ(f.users.entries[0].osoba.str(), std::string(30, 'n'));
    const std::string notes = f.users.entries[2].uwagi.str();
    ASSERT_EQ(notes.size(), std::size_t(250));
    ASSERT_EQ(notes.substr(0, 8), std::string("ab\r\nab\r\n"));
}

TEST_F(SettingsBindingTest, NotesKeepTheirLines)
{
    BindingFixture f;
    put(f.users.entries[3].uwagi, "pierwsza\r\ndruga\r\n\r\nczwarta");
    put(f.users.entries[3].osoba, tarnik::toCp1250(QStringLiteral("Łucja")));
    f.binding->ShowUserDirectory(f.users);
    ASSERT_EQ(f.memo("Muser4")->toPlainText(), QStringLiteral("pierwsza\ndruga\n\nczwarta"));
    ASSERT_EQ(f.edit("Eosoba4")->text(), QStringLiteral("Łucja"));
    std::memset(&f.users, 0, sizeof f.users);
    f.binding->CollectUserDirectory(f.users);
    ASSERT_EQ(f.users.entries[3].uwagi.str(), std::string("pierwsza\r\ndruga\r\n\r\nczwarta"));
}

// ---- orders that matter ----
TEST_F(SettingsBindingTest, TwoActionsOfOneOutputLeaveTheLaterBoxTicked)
{
    BindingFixture f;
    f.record.clipVerif = 0x05;  // bits 0 and 2: switch output 1 on and off
    f.binding->showFrom(f.record);
    ASSERT_TRUE(!f.check("ChbClipVerif0")->isChecked());
    ASSERT_TRUE(f.check("ChbClipVerif2")->isChecked());
}

TEST_F(SettingsBindingTest, ReportPeriodFollowsItsOption)
{
    BindingFixture f;
    f.record.flags = 0x00;
    f.record.testOkr = 12;
    f.binding->showFrom(f.record);
    ASSERT_TRUE(!f.spin("SEtestokr")->isEnabled());
    ASSERT_EQ(f.spin("SEtestokr")->value(), 12);
    f.record.flags = 0x10;
    f.binding->showFrom(f.record);
    ASSERT_TRUE(f.spin("SEtestokr")->isEnabled());
}

TEST_F(SettingsBindingTest, WholeRecordSurvivesShowAndCollect)
{
    // A record inside every range, with every option on, comes back as it was
    // in all the bytes the controls carry.
    BindingFixture f;
    f.record = tarnik::startupSettings();
    f.record.flags = 0x3F;
    put(f.record.pin, "1234");
    put(f.record.pinMod, "9876");
    put(f.record.csms, "+48602951111");
    for (int n = 0; n < 4; ++n)
        put(f.record.nrUser[n], "+4860000000" + std::to_string(n));
    for (int k = 0; k < 8; ++k) {
        f.record.timerPod[k] = static_cast<std::uint8_t>(10 + k);
        f.record.timerTorBuf[k] = static_cast<std::uint8_t>(100 + k);
        put(f.record.smsWeRe[k][0], "we" + std::to_string(k) + " on");
        put(f.record.smsWeRe[k][1], "we" + std::to_string(k) + " off");
    }
    for (int k = 0; k < 6; ++k)
        put(f.record.smsSpecWeRe[k][1], "special" + std::to_string(k));
    f.record.zalWyCode[0][0] = '1';
    f.record.zalWyCode[0][1] = 'N';
    f.record.wylWyCode[1][0] = '2';
    f.record.wylWyCode[1][1] = 'F';
    f.record.clipVerif = 0x43;  // 0, 1, 6: no two actions of one output
    f.record.clipNotVerif = 0x42;
    const SettingsRecord before = f.record;
    f.roundTrip();
    const auto* a = reinterpret_cast<const std::uint8_t*>(&before);
    const auto* b = reinterpret_cast<const std::uint8_t*>(&f.record);
    for (std::size_t i = 0; i < sizeof before; ++i) {
        ASSERT_TRUE(a[i] == b[i]) << qPrintable(
            QStringLiteral("byte %1: %2 became %3").arg(i).arg(a[i]).arg(b[i]));
    }
}

TEST_F(SettingsBindingTest, CollectingIntoARecordKeepsWhatNoControlShows)
{
    // The binding holds no record of its own: what it collects goes into the record it is
    // handed, and the bytes no control shows stay that record's, whichever record it is.
    BindingFixture f;
    f.record = tarnik::startupSettings();
    f.binding->showFrom(f.record);
    f.edit("EPin")->setText(QStringLiteral("4321"));

    struct Kept {
        const char* what;
        std::uint8_t SettingsRecord::*byte;
    };
    const Kept spareBytes[] = {{"spare13", &SettingsRecord::spare13},
                               {"spare40", &SettingsRecord::spare40}};
    for (const std::uint8_t pattern : {std::uint8_t{0x00}, std::uint8_t{0xA5}}) {
        SettingsRecord target{};
        std::memset(&target, pattern, sizeof target);
        const SettingsRecord untouched = f.record;
        f.binding->collectInto(target);
        EXPECT_EQ(target.pin.str(), "4321");
        EXPECT_EQ(int(target.timerPod[3]), int(f.record.timerPod[3]));
        for (const Kept& kept : spareBytes)
            EXPECT_EQ(int(target.*kept.byte), int(pattern)) << kept.what;
        EXPECT_EQ(int(target.spare85[2]), int(pattern)) << "spare85";
        EXPECT_EQ(int(target.numberWeRe[6][1]), int(pattern)) << "a notification byte";
        EXPECT_EQ(int(target.workSpecWeRe[2][0]), int(pattern)) << "an output-reaction byte";
        // CHB_funkcjaczaswy carries bit 0 of its byte only.
        EXPECT_EQ(int(target.numberSpecWeRe[4][1] & 0xFE), int(pattern & 0xFE));
        EXPECT_EQ(0, std::memcmp(&f.record, &untouched, sizeof untouched))
            << "collecting into one record wrote another";
    }
}
