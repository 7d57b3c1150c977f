// Faults found when the window was tried as a user would: the information list, edit
// boxes that hold zero bytes, pasting into limited and filtered edits, notes that travel
// byte for byte, where the window and the about box open, and files that cannot be opened.

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>

#include <sys/stat.h>

#include "about/about_box.h"
#include "editor/binding/settings_binding.h"
#include "file/settings_file.h"
#include "window_fixture.h"

namespace {

using tarnik::SettingsRecord;

// How many rows of the list lie wholly in its viewport.
int wholeRowsShown(QListWidget* list)
{
    int shown = 0;
    for (int i = 0; i < list->count(); ++i)
        if (list->viewport()->rect().contains(list->visualItemRect(list->item(i))))
            ++shown;
    return shown;
}

struct ShownWindow : WindowFixture {
    ShownWindow()
    {
        window().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window()));
    }
    QListWidget* list() { return get<QListWidget>("ListBox1"); }
};

// ---- the information list

TEST(InfoList, ShowsTheNewestSevenLinesAndTheSerialLine)
{
    ShownWindow f;
    for (int i = 1; i <= 9; ++i)
        f.window().addInfoLine("wiersz " + std::to_string(i), true);
    f.window().addInfoLine("serial: A123", false);
    ASSERT_EQ(f.list()->count(), 8);
    EXPECT_EQ(wholeRowsShown(f.list()), 8);
}

TEST(InfoList, AlwaysScrollsToItsNewestLine)
{
    ShownWindow f;
    for (int i = 1; i <= 20; ++i) {
        f.window().addInfoLine("serial: " + std::to_string(i), false);
        QListWidgetItem* newest = f.list()->item(f.list()->count() - 1);
        ASSERT_TRUE(f.list()->viewport()->rect().contains(f.list()->visualItemRect(newest)))
            << "line " << i;
    }
}

// ---- edit boxes filled from the records

TEST(ZeroBytes, AnAccessCodeOfZeroBytesShowsAndHoldsNothing)
{
    WindowFixture f;
    SettingsRecord& record = f.window().settings();
    record.flags |= 0x20;  // "Zezwolenie na programowanie sms-em."
    record.pinMod.assign(std::string(4, '\0'));
    f.window().showSettings(record);
    QLineEdit* code = f.edit("EPINMOD");
    ASSERT_TRUE(code->isEnabled());
    EXPECT_TRUE(code->text().isEmpty());
    f.window().CollectSettings();
    EXPECT_EQ(record.pinMod.len, 0);
    // and the user can type the whole code
    QTest::keyClicks(code, QStringLiteral("1234"));
    EXPECT_EQ(code->text(), QStringLiteral("1234"));
}

TEST(ZeroBytes, EveryEditStopsAtTheFirstZeroByte)
{
    WindowFixture f;
    SettingsRecord& record = f.window().settings();
    record.smsWeRe[2][1].assign(std::string("Al\0rm", 5));
    record.smsSpecWeRe[2][0].assign(std::string("\0abc", 4));
    record.nrUser[1].assign(std::string("+48\0"
                                        "123",
                                        7));
    record.pin.assign(std::string("12\0"
                                  "4",
                                  4));
    f.window().showSettings(record);
    EXPECT_EQ(f.edit("ETSMS_We3_Re2")->text(), QStringLiteral("Al"));
    EXPECT_EQ(f.edit("ETSpecSMS_We3_Re1")->text(), QString());
    EXPECT_EQ(f.edit("Enruser2")->text(), QStringLiteral("+48"));
    EXPECT_EQ(f.edit("EPin")->text(), QStringLiteral("12"));
    f.window().users().entries[0].osoba.assign(std::string("Jan\0Kowalski", 12));
    f.window().binding().ShowUserDirectory(f.window().users());
    EXPECT_EQ(f.edit("Eosoba1")->text(), QStringLiteral("Jan"));
}

// ---- pasting

void paste(QLineEdit* edit, const QString& text)
{
    QApplication::clipboard()->setText(text);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
}

TEST(Paste, MoreThanTheMaximumInsertsThePartThatFits)
{
    ShownWindow f;
    QLineEdit* text = f.edit("ETSMS_We1_Re1");  // at most 35 characters
    text->clear();
    const QString forty = QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCD");
    paste(text, forty);
    EXPECT_EQ(text->text(), forty.left(35));
    // in the middle of a text, the rest of the text stays
    text->setText(QStringLiteral("poczatek-koniec"));
    text->setCursorPosition(9);
    paste(text, forty);
    EXPECT_EQ(text->text(),
              QStringLiteral("poczatek-") + forty.left(20) + QStringLiteral("koniec"));
    EXPECT_EQ(text->cursorPosition(), 29);
}

TEST(Paste, AStoredLongerTextIsKeptWholeAndNotLengthened)
{
    ShownWindow f;
    SettingsRecord& record = f.window().settings();
    const std::string stored(36, 'x');
    record.smsWeRe[0][0].assign(stored);
    f.window().showSettings(record);
    QLineEdit* text = f.edit("ETSMS_We1_Re1");
    ASSERT_EQ(text->text().size(), 36);
    text->end(false);
    paste(text, QStringLiteral("yy"));
    EXPECT_EQ(text->text().size(), 36);
    f.window().CollectSettings();
    EXPECT_EQ(record.smsWeRe[0][0].str(), stored);
}

TEST(Paste, PinTakesOnlyTheDigitsAsTypingWould)
{
    ShownWindow f;
    QLineEdit* pin = f.edit("EPin");
    pin->clear();
    paste(pin, QStringLiteral("a1-2 b+34\t5"));
    EXPECT_EQ(pin->text(), QStringLiteral("1234"));
    pin->clear();
    paste(pin, QStringLiteral("PIN"));
    EXPECT_EQ(pin->text(), QString());
}

TEST(Paste, FirstUserNumberFollowsItsTypingRules)
{
    ShownWindow f;
    QLineEdit* number = f.edit("Enruser1");
    number->clear();
    paste(number, QStringLiteral("+48 600-100+200"));
    EXPECT_EQ(number->text(), QStringLiteral("+48600100200"));
    // a number holding a blank (from a file) is started afresh, as by a typed key
    number->setText(QStringLiteral("600 100"));
    number->end(false);
    paste(number, QStringLiteral("+4812"));
    EXPECT_EQ(number->text(), QStringLiteral("+4812"));
    // the other numbers follow the same rule
    QLineEdit* second = f.edit("Enruser2");
    second->clear();
    paste(second, QStringLiteral("tel. 600"));
    EXPECT_EQ(second->text(), QStringLiteral("600"));
}

// ---- notes

TEST(Notes, TravelByteForByte)
{
    WindowFixture f;
    const std::string notes = "klucz\xA0u s\xB9siada\r\nkod 1\xA0"
                              "2\r\n\r\nkoniec\t!";
    f.window().users().entries[2].uwagi.assign(notes);
    f.window().binding().ShowUserDirectory(f.window().users());
    f.window().binding().CollectUserDirectory(f.window().users());
    EXPECT_EQ(f.window().users().entries[2].uwagi.str(), notes);
}

TEST(Notes, LinesTypedInTheMemoAreJoinedByCrLf)
{
    WindowFixture f;
    auto* memo = f.get<QPlainTextEdit>("Muser1");
    memo->clear();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("a"));
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("b"));
    QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(memo, QStringLiteral("c"));
    f.window().binding().CollectUserDirectory(f.window().users());
    EXPECT_EQ(f.window().users().entries[0].uwagi.str(), "a\r\nb\r\nc");
}

// ---- placement

QPoint availableCentre(const QWidget& widget)
{
    return widget.screen()->availableGeometry().center();
}

TEST(Placement, MainWindowOpensCentredOnTheDesktop)
{
    ShownWindow f;
    const QPoint offset = f.window().frameGeometry().center() - availableCentre(f.window());
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST(Placement, AboutBoxOpensCentredOnTheScreenNotOnTheWindow)
{
    ShownWindow f;
    f.window().move(0, 0);
    QPoint offset(9999, 9999);
    QTimer::singleShot(0, [&] {
        offset = f.forms.AboutBox->frameGeometry().center() - availableCentre(*f.forms.AboutBox);
        f.forms.AboutBox->accept();
    });
    f.window().InfoClick();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

}  // namespace

// ---- opening a file

TEST(OpenFile, AFifoAFolderOrADeviceIsRefusedAtOnceAndTheWindowKeepsItsSettings)
{
    QTemporaryDir folder;
    const QString fifo = folder.filePath(QStringLiteral("fifo.zvn"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);  // no writer
    WindowFixture f;
    const QString title = f.window().windowTitle();
    const SettingsRecord before = f.window().collectSettings();
    for (const QString& path : {fifo, folder.path(), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        try {
            f.window().openSettingsFile(path);
            ADD_FAILURE() << "opened";
        } catch (const tarnik::SettingsFileError& e) {
            EXPECT_NE(std::string(e.what()).find(", a nie zwykły plik."), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(f.window().windowTitle(), title);
        const SettingsRecord after = f.window().collectSettings();
        EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
    }
}
