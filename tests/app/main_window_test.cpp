// The main window as a whole: start-up, the information list, the menu, the
// settings file commands and the error boundary.

#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "qt_printers.h"
#include <QTimer>
#include <cstring>

#include "about/about_box.h"
#include "editor/binding/settings_binding.h"
#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/fconfig_work_we_re.h"
#include "link/no_answer_timer.h"
#include "model/conversion.h"
#include "serial/comport.h"
#include "serial/datapacket.h"
#include "window_fixture.h"

namespace {

bool sameBytes(const void* a, const void* b, std::size_t size)
{
    return std::memcmp(a, b, size) == 0;
}

}  // namespace

class MainWindowTest : public ::testing::Test {
protected:
};

TEST_F(MainWindowTest, StartsWithFiveFormsAndOnlyTheWindowShown)
{
    WindowFixture f;
    f.window().show();
    ASSERT_TRUE(f.forms.FconfigNumberWeRe && f.forms.FConfigWorkWeRe && f.forms.Ftest &&
                f.forms.AboutBox);
    ASSERT_EQ(f.window().windowTitle(), QStringLiteral("Tarnik v 1.1"));
    ASSERT_TRUE(!f.forms.FconfigNumberWeRe->isVisible());
    ASSERT_TRUE(!f.forms.FConfigWorkWeRe->isVisible());
    ASSERT_TRUE(!f.forms.Ftest->isVisible());
    ASSERT_TRUE(!f.forms.AboutBox->isVisible());
}

TEST_F(MainWindowTest, StartUpState)
{
    WindowFixture f({QStringLiteral("/dev/ttyFIRST")});
    ASSERT_EQ(f.ports()->currentText(), QStringLiteral("/dev/ttyFIRST"));
    ASSERT_EQ(f.get<QListWidget>("ListBox1")->count(), 0);
    ASSERT_TRUE(f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(f.button("BBload")->isEnabled());
    ASSERT_EQ(f.button("Bprogramuj")->text(), QStringLiteral("programuj"));
    ASSERT_EQ(f.button("BBload")->text(), QStringLiteral("Odczyt ustawień."));
    ASSERT_TRUE(!f.window().port().Connected());
    ASSERT_TRUE(!f.window().timer1().isArmed());
    ASSERT_EQ(f.window().timer1().intervalMs(), 6000);
    // the module's line settings, every other port setting at its default
    const tarnik::TComPort& port = f.window().port();
    ASSERT_EQ(port.BaudRate(), tarnik::br115200);
    ASSERT_EQ(port.EventChar(), 10);
    tarnik::TComTimeouts timeouts;
    timeouts.ReadInterval = 1;
    timeouts.ReadTotalMultiplier = 0;
    timeouts.ReadTotalConstant = 1;
    ASSERT_EQ(port.Timeouts(), timeouts);
    ASSERT_EQ(port.DataBits(), tarnik::TComPort().DataBits());
    ASSERT_EQ(port.Parity(), tarnik::TComPort().Parity());
    // the framer on the port, cutting at "*1"
    ASSERT_EQ(f.window().framer().ComPort(), &f.window().port());
    ASSERT_EQ(f.window().framer().StopString(), "*1");
    ASSERT_TRUE(f.window().framer().StartString().empty());
    ASSERT_EQ(f.get<QTabWidget>("PageControl2")->currentIndex(), 0);
    // the SMS centre list with its first entry's number shown, then replaced
    // by the defaults' stored number
    ASSERT_EQ(f.get<QComboBox>("CBcentrum")->count(), 4);
    ASSERT_TRUE(f.edit("Ecsms")->text() != QStringLiteral("Ecsms"));
    // spin edits show the defaults brought into their ranges
    ASSERT_EQ(f.get<QSpinBox>("SEInNONCSTAT18")->value(),
              std::max(10, int(f.window().settings().smsConfirmTimer)));
    ASSERT_TRUE(f.get<QSpinBox>("SEWy_offTimer1")->value() >= 1);
    ASSERT_EQ(f.window().settings().flags & 0xC0, 0);
}

TEST_F(MainWindowTest, MenuHasItsItemsAndHiddenEntry)
{
    WindowFixture f;
    ASSERT_EQ(f.action("Odczytaj3")->text(), QStringLiteral("Odczytaj ..."));
    ASSERT_EQ(f.action("Zapiszjako2")->text(), QStringLiteral("Zapisz jako ..."));
    ASSERT_EQ(f.action("Wyjscie1")->text(), QStringLiteral("Wyjscie"));
    ASSERT_EQ(f.action("Info")->text(), QStringLiteral("O programie"));
    ASSERT_EQ(f.action("Kotaktzdziaemtechnicznym1")->text(),
              QStringLiteral("Kontakt z działem technicznym"));
    ASSERT_TRUE(!f.action("Wyslijustwieniadodziautechnicznego1")->isVisible());
    ASSERT_EQ(f.action("Odczytaj3")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    ASSERT_EQ(f.action("Zapiszjako2")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    auto* troubleshooting = f.get<QMenu>("Rozwiazywanieproblemw1");
    ASSERT_EQ(troubleshooting->title(), QStringLiteral("Rozwiązywanie problemów"));
    ASSERT_TRUE(troubleshooting->actions().contains(f.action("Kotaktzdziaemtechnicznym1")));
    ASSERT_TRUE(f.get<QMenu>("Pomoc1")->actions().contains(troubleshooting->menuAction()));
}

// The menu bar's menus open from the keyboard (Alt and the underlined letter) while
// their captions read as before; the separator in "Plik" is a bare line.
TEST_F(MainWindowTest, MenusOpenFromTheKeyboardAndKeepTheirCaptions)
{
    struct Case {
        const char* menu;
        const char* caption;
        Qt::Key key;
    };
    for (const Case& c : {Case{"Plik1", "Plik", Qt::Key_P}, Case{"Pomoc1", "Pomoc", Qt::Key_C}}) {
        SCOPED_TRACE(c.menu);
        WindowFixture f;
        f.window().show();
        QApplication::setActiveWindow(&f.window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f.window()));
        auto* menu = f.get<QMenu>(c.menu);
        EXPECT_EQ(QString(menu->title()).remove(QLatin1Char('&')), QString::fromUtf8(c.caption));
        EXPECT_EQ(QKeySequence::mnemonic(menu->title()),
                  QKeySequence(QKeyCombination(Qt::AltModifier, c.key)));
        QTest::keyClick(&f.window(), c.key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000));
        EXPECT_EQ(QApplication::activePopupWidget(), menu);
        menu->close();
    }
    WindowFixture f;
    QAction* separator = f.action("N1");
    EXPECT_TRUE(separator->isSeparator());
    EXPECT_EQ(separator->text(), QString()) << "a separator's text is drawn beside its line";
}

TEST_F(MainWindowTest, ExitClosesWithoutQuestion)
{
    WindowFixture f;
    f.window().show();
    f.window().setBusy(true);  // as in a programming run
    f.action("Wyjscie1")->trigger();
    ASSERT_TRUE(!f.window().isVisible());
    ASSERT_TRUE(f.errors.isEmpty());
}

// ---- information list ----
TEST_F(MainWindowTest, ListKeepsTheNewestSevenLines)
{
    WindowFixture f;
    for (int i = 1; i <= 6; ++i)
        f.window().addInfoLine("line " + std::to_string(i), true);
    ASSERT_EQ(f.window().infoLines().size(), 6);  // fewer than 7: nothing deleted
    f.window().addInfoLine("line 7", true);
    ASSERT_EQ(f.window().infoLines().size(), 7);
    f.window().addInfoLine("line 8", true);
    ASSERT_EQ(f.window().infoLines().size(), 7);
    ASSERT_EQ(f.window().infoLines().first(), QStringLiteral("line 2"));
    ASSERT_EQ(f.window().infoLines().last(), QStringLiteral("line 8"));
    // the serial-number line is added without trimming
    f.window().addInfoLine("serial: X", false);
    ASSERT_EQ(f.window().infoLines().size(), 8);
    const int index = f.window().addInfoLine("postęp: ", true);
    f.window().replaceInfoLine(index, "Postęp: 3% ##");
    ASSERT_EQ(f.window().infoLines().at(index), QStringLiteral("Postęp: 3% ##"));
}

// ---- busy state ----
TEST_F(MainWindowTest, BusyStateUsesTheOverrideCursorAndAlwaysRestoresIt)
{
    WindowFixture f;
    f.window().setBusy(true);
    f.window().setBusy(true);  // twice in: one cursor level
    ASSERT_TRUE(QApplication::overrideCursor());
    ASSERT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ASSERT_TRUE(!f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(!f.button("BBload")->isEnabled());
    f.window().setBusy(false);
    ASSERT_TRUE(!QApplication::overrideCursor());
    ASSERT_TRUE(f.button("BBload")->isEnabled());
}

// ---- settings files ----
TEST_F(MainWindowTest, SaveThenOpenReproducesEverything)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.zvn"));
    WindowFixture f;
    f.edit("Eosoba2")->setText(QStringLiteral("Józef"));
    f.get<QPlainTextEdit>("Muser2")->setPlainText(QStringLiteral("brama\nul. Długa 5"));
    f.edit("Enruser2")->setText(QStringLiteral("+48601234567"));
    f.edit("ETSMS_We8_Re2")->setText(QString(36, QLatin1Char('z')));
    f.get<QSpinBox>("SEtimerPod3")->setValue(123);
    f.chooser->answers << file;
    f.action("Zapiszjako2")->trigger();
    ASSERT_TRUE(f.errors.isEmpty()) << qPrintable(f.errors.join(QLatin1Char('\n')));
    const tarnik::SettingsRecord saved = f.window().settings();
    const tarnik::UserDirectory savedUsers = f.window().users();

    // A fresh window opens it.
    WindowFixture g;
    g.chooser->answers << file;
    g.action("Odczytaj3")->trigger();
    ASSERT_TRUE(g.errors.isEmpty()) << qPrintable(g.errors.join(QLatin1Char('\n')));
    ASSERT_TRUE(sameBytes(&saved, &g.window().settings(), sizeof saved));
    ASSERT_TRUE(sameBytes(&savedUsers, &g.window().users(), sizeof savedUsers));
    ASSERT_EQ(g.edit("Eosoba2")->text(), QStringLiteral("Józef"));
    ASSERT_EQ(g.get<QPlainTextEdit>("Muser2")->toPlainText(), QStringLiteral("brama\nul. Długa 5"));
    ASSERT_EQ(g.edit("Enruser2")->text(), QStringLiteral("+48601234567"));
    ASSERT_EQ(g.edit("ETSMS_We8_Re2")->text(), QString(36, QLatin1Char('z')));
    ASSERT_EQ(g.get<QSpinBox>("SEtimerPod3")->value(), 123);
    // every control of the two windows agrees
    for (auto* edit : f.window().findChildren<QLineEdit*>()) {
        if (edit->objectName().isEmpty() || edit->objectName().startsWith(QLatin1String("qt_")))
            continue;
        ASSERT_EQ(g.edit(qPrintable(edit->objectName()))->text(), edit->text());
    }
    for (auto* spin : f.window().findChildren<QSpinBox*>()) {
        ASSERT_EQ(g.get<QSpinBox>(qPrintable(spin->objectName()))->value(), spin->value());
    }
    for (auto* box : f.window().findChildren<QCheckBox*>()) {
        ASSERT_EQ(g.get<QCheckBox>(qPrintable(box->objectName()))->isChecked(), box->isChecked());
    }
    // saving again after the open and collecting reproduces the record byte for byte
    g.window().CollectSettings();
    ASSERT_TRUE(sameBytes(&saved, &g.window().settings(), sizeof saved));
}

TEST_F(MainWindowTest, SaveStartsFromTheOpenedName)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.zvn"));
    const QString second = dir.filePath(QStringLiteral("second.zvn"));
    WindowFixture f;
    f.chooser->answers << first;
    f.action("Zapiszjako2")->trigger();
    ASSERT_EQ(f.chooser->saveStartNames.last(), QString());  // nothing opened yet
    f.chooser->answers << second;
    f.action("Zapiszjako2")->trigger();
    ASSERT_EQ(f.chooser->saveStartNames.last(), QString());  // the saved name is not remembered
    f.chooser->answers << first;
    f.action("Odczytaj3")->trigger();
    f.chooser->answers << second;
    f.action("Zapiszjako2")->trigger();
    ASSERT_EQ(f.chooser->saveStartNames.last(), first);
    ASSERT_EQ(f.window().openDialogFileName(), first);
}

TEST_F(MainWindowTest, CancellingChangesNothing)
{
    WindowFixture f;
    f.edit("EPin")->setText(QStringLiteral("1234"));
    const tarnik::SettingsRecord before = f.window().settings();
    f.action("Zapiszjako2")->trigger();  // cancelled: the controls are not even collected
    ASSERT_TRUE(sameBytes(&before, &f.window().settings(), sizeof before));
    f.action("Odczytaj3")->trigger();
    ASSERT_EQ(f.edit("EPin")->text(), QStringLiteral("1234"));
    ASSERT_TRUE(f.errors.isEmpty());
}

TEST_F(MainWindowTest, DamagedOrMissingFileShowsMessageAndChangesNothing)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.zvn"));
    QFile out(text);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("this is not a settings file\n");
    out.close();
    WindowFixture f;
    f.edit("EPin")->setText(QStringLiteral("4321"));
    f.window().CollectSettings();
    const tarnik::SettingsRecord before = f.window().settings();
    f.chooser->answers << text << dir.filePath(QStringLiteral("missing.zvn"));
    f.action("Odczytaj3")->trigger();
    ASSERT_EQ(f.errors.size(), 1);
    ASSERT_EQ(f.errors.at(0), QStringLiteral("Error"));
    f.action("Odczytaj3")->trigger();
    ASSERT_EQ(f.errors.size(), 2);
    ASSERT_TRUE(f.errors.at(1).startsWith(QStringLiteral("Cannot open file \"")));
    ASSERT_TRUE(sameBytes(&before, &f.window().settings(), sizeof before));
    ASSERT_EQ(f.edit("EPin")->text(), QStringLiteral("4321"));
    ASSERT_TRUE(f.window().isEnabled());
}

TEST_F(MainWindowTest, DroppedSettingsFileOpens)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("dropped.zvn"));
    {
        WindowFixture f;
        f.edit("Eosoba1")->setText(QStringLiteral("Upuszczony"));
        f.window().saveSettingsFile(file);
    }
    WindowFixture f;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f.window(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f.window(), &drop);
    ASSERT_EQ(f.edit("Eosoba1")->text(), QStringLiteral("Upuszczony"));
    ASSERT_EQ(f.window().openDialogFileName(), file);
    // other files are not taken
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("notes.txt")))});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&f.window(), &refused);
    ASSERT_TRUE(!refused.isAccepted());
}

// ---- error boundary ----
TEST_F(MainWindowTest, PortThatCannotBeOpenedShowsAMessageBox)
{
    WindowFixture f({}, false);  // the real message box
    f.window().show();
    f.ports()->setEditText(QStringLiteral("/dev/tarnik-no-such-port"));
    QString shown;
    QTimer::singleShot(50, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    QTest::mouseClick(f.button("Bprogramuj"), Qt::LeftButton);
    ASSERT_TRUE(!shown.isEmpty()) << "no message box was shown";
    ASSERT_TRUE(f.window().isVisible());
    ASSERT_TRUE(f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(f.button("BBload")->isEnabled());
    ASSERT_TRUE(!QApplication::overrideCursor());
    ASSERT_TRUE(!f.window().timer1().isArmed());
}

TEST_F(MainWindowTest, NumbersNotInInternationalFormRefuseProgramming)
{
    WindowFixture f;
    f.edit("Enruser3")->setText(QStringLiteral("601234567"));
    f.button("Bprogramuj")->click();
    ASSERT_EQ(f.window().infoLines().last(),
              QStringLiteral(
                  "numery użytkowników muszą być zapisane w formie międzynarodowej tzn zawierać "
                  "numer kierunkowy na kraj"));
    ASSERT_TRUE(!f.window().port().Connected());
    ASSERT_TRUE(f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(f.errors.isEmpty());
}

TEST_F(MainWindowTest, AboutBoxOpensFromTheMenu)
{
    WindowFixture f;
    f.window().show();
    bool seen = false;
    QTimer::singleShot(50, [&] {
        if (auto* box = qobject_cast<tarnik::TAboutBox*>(QApplication::activeModalWidget())) {
            seen = box->windowTitle() == QStringLiteral("About");
            box->accept();
        }
    });
    f.action("Info")->trigger();
    ASSERT_TRUE(seen);
}

TEST_F(MainWindowTest, PortListKeepsTypedTextWhenRefreshed)
{
    WindowFixture f({QStringLiteral("/dev/pinned")});
    QStringList machine{QStringLiteral("/dev/ttyS0")};
    f.ports()->setPortSource([&machine] { return machine; });
    f.ports()->setEditText(QStringLiteral("/dev/typed"));
    machine << QStringLiteral("/dev/ttyUSB0");  // plugged in after start
    f.ports()->refreshPorts();
    ASSERT_EQ(f.ports()->currentText(), QStringLiteral("/dev/typed"));
    ASSERT_EQ(f.ports()->count(), 3);
    ASSERT_EQ(f.ports()->itemText(0), QStringLiteral("/dev/pinned"));
    ASSERT_EQ(f.window().portName(), std::string("/dev/typed"));
}
