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
#include <QTimer>
#include <cstring>

#include "about/about_box.h"
#include "app/command_line.h"
#include "editor/binding/settings_binding.h"
#include "editor/dialogs/fconfig_number_we_re.h"
#include "editor/dialogs/fconfig_work_we_re.h"
#include "link/no_answer_timer.h"
#include "model/conversion.h"
#include "serial/comport.h"
#include "window_fixture.h"

namespace {

bool sameBytes(const void* a, const void* b, std::size_t size)
{
    return std::memcmp(a, b, size) == 0;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithFiveFormsAndOnlyTheWindowShown()
    {
        WindowFixture f;
        f.window().show();
        QVERIFY(f.forms.FconfigNumberWeRe && f.forms.FConfigWorkWeRe && f.forms.Ftest &&
                f.forms.AboutBox);
        QCOMPARE(f.window().windowTitle(), QStringLiteral("Tarnik v 1.1"));
        QVERIFY(!f.forms.FconfigNumberWeRe->isVisible());
        QVERIFY(!f.forms.FConfigWorkWeRe->isVisible());
        QVERIFY(!f.forms.Ftest->isVisible());
        QVERIFY(!f.forms.AboutBox->isVisible());
    }

    void startUpState()
    {
        WindowFixture f({QStringLiteral("/dev/ttyFIRST")});
        QCOMPARE(f.ports()->currentText(), QStringLiteral("/dev/ttyFIRST"));
        QCOMPARE(f.get<QListWidget>("ListBox1")->count(), 0);
        QVERIFY(f.button("Bprogramuj")->isEnabled());
        QVERIFY(f.button("BBload")->isEnabled());
        QCOMPARE(f.button("Bprogramuj")->text(), QStringLiteral("programuj"));
        QCOMPARE(f.button("BBload")->text(), QStringLiteral("Odczyt ustawień."));
        QVERIFY(!f.window().port().Connected());
        QVERIFY(!f.window().timer1().isArmed());
        QCOMPARE(f.window().timer1().intervalMs(), 6000);
        QCOMPARE(f.get<QTabWidget>("PageControl2")->currentIndex(), 0);
        // the SMS centre list with its first entry's number shown, then replaced
        // by the defaults' stored number
        QCOMPARE(f.get<QComboBox>("CBcentrum")->count(), 4);
        QVERIFY(f.edit("Ecsms")->text() != QStringLiteral("Ecsms"));
        // spin edits show the defaults brought into their ranges
        QCOMPARE(f.get<QSpinBox>("SEInNONCSTAT18")->value(),
                 std::max(10, int(f.window().settings().smsConfirmTimer)));
        QVERIFY(f.get<QSpinBox>("SEWy_offTimer1")->value() >= 1);
        QCOMPARE(f.window().settings().flags & 0xC0, 0);
    }

    void menuHasItsItemsAndHiddenEntry()
    {
        WindowFixture f;
        QCOMPARE(f.action("Odczytaj3")->text(), QStringLiteral("Odczytaj ..."));
        QCOMPARE(f.action("Zapiszjako2")->text(), QStringLiteral("Zapisz jako ..."));
        QCOMPARE(f.action("Wyjscie1")->text(), QStringLiteral("Wyjscie"));
        QCOMPARE(f.action("Info")->text(), QStringLiteral("O programie"));
        QCOMPARE(f.action("Kotaktzdziaemtechnicznym1")->text(),
                 QStringLiteral("Kontakt z działem technicznym"));
        QVERIFY(!f.action("Wyslijustwieniadodziautechnicznego1")->isVisible());
        QCOMPARE(f.action("Odczytaj3")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(f.action("Zapiszjako2")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        auto* troubleshooting = f.get<QMenu>("Rozwiazywanieproblemw1");
        QCOMPARE(troubleshooting->title(), QStringLiteral("Rozwiązywanie problemów"));
        QVERIFY(troubleshooting->actions().contains(f.action("Kotaktzdziaemtechnicznym1")));
        QVERIFY(f.get<QMenu>("Pomoc1")->actions().contains(troubleshooting->menuAction()));
    }

    void exitClosesWithoutQuestion()
    {
        WindowFixture f;
        f.window().show();
        f.window().setBusy(true);  // as in a programming run
        f.action("Wyjscie1")->trigger();
        QVERIFY(!f.window().isVisible());
        QVERIFY(f.errors.isEmpty());
    }

    // ---- information list ----
    void listKeepsTheNewestSevenLines()
    {
        WindowFixture f;
        for (int i = 1; i <= 6; ++i)
            f.window().addInfoLine("line " + std::to_string(i), true);
        QCOMPARE(f.window().infoLines().size(), 6);  // fewer than 7: nothing deleted
        f.window().addInfoLine("line 7", true);
        QCOMPARE(f.window().infoLines().size(), 7);
        f.window().addInfoLine("line 8", true);
        QCOMPARE(f.window().infoLines().size(), 7);
        QCOMPARE(f.window().infoLines().first(), QStringLiteral("line 2"));
        QCOMPARE(f.window().infoLines().last(), QStringLiteral("line 8"));
        // the serial-number line is added without trimming
        f.window().addInfoLine("serial: X", false);
        QCOMPARE(f.window().infoLines().size(), 8);
        const int index = f.window().addInfoLine("postęp: ", true);
        f.window().replaceInfoLine(index, "Postęp: 3% ##");
        QCOMPARE(f.window().infoLines().at(index), QStringLiteral("Postęp: 3% ##"));
    }

    // ---- busy state ----
    void busyStateUsesTheOverrideCursorAndAlwaysRestoresIt()
    {
        WindowFixture f;
        f.window().setBusy(true);
        f.window().setBusy(true);  // twice in: one cursor level
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QVERIFY(!f.button("Bprogramuj")->isEnabled());
        QVERIFY(!f.button("BBload")->isEnabled());
        f.window().setBusy(false);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(f.button("BBload")->isEnabled());
    }

    // ---- settings files ----
    void saveThenOpenReproducesEverything()
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
        QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join(QLatin1Char('\n'))));
        const tarnik::SettingsRecord saved = f.window().settings();
        const tarnik::UserDirectory savedUsers = f.window().users();

        // A fresh window opens it.
        WindowFixture g;
        g.chooser->answers << file;
        g.action("Odczytaj3")->trigger();
        QVERIFY2(g.errors.isEmpty(), qPrintable(g.errors.join(QLatin1Char('\n'))));
        QVERIFY(sameBytes(&saved, &g.window().settings(), sizeof saved));
        QVERIFY(sameBytes(&savedUsers, &g.window().users(), sizeof savedUsers));
        QCOMPARE(g.edit("Eosoba2")->text(), QStringLiteral("Józef"));
        QCOMPARE(g.get<QPlainTextEdit>("Muser2")->toPlainText(),
                 QStringLiteral("brama\nul. Długa 5"));
        QCOMPARE(g.edit("Enruser2")->text(), QStringLiteral("+48601234567"));
        QCOMPARE(g.edit("ETSMS_We8_Re2")->text(), QString(36, QLatin1Char('z')));
        QCOMPARE(g.get<QSpinBox>("SEtimerPod3")->value(), 123);
        // every control of the two windows agrees
        for (auto* edit : f.window().findChildren<QLineEdit*>()) {
            if (edit->objectName().isEmpty() || edit->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QCOMPARE(g.edit(qPrintable(edit->objectName()))->text(), edit->text());
        }
        for (auto* spin : f.window().findChildren<QSpinBox*>())
            QCOMPARE(g.get<QSpinBox>(qPrintable(spin->objectName()))->value(), spin->value());
        for (auto* box : f.window().findChildren<QCheckBox*>())
            QCOMPARE(g.get<QCheckBox>(qPrintable(box->objectName()))->isChecked(),
                     box->isChecked());
        // saving again after the open and collecting reproduces the record byte for byte
        g.window().binding().CollectSettings();
        QVERIFY(sameBytes(&saved, &g.window().settings(), sizeof saved));
    }

    void saveStartsFromTheOpenedName()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first.zvn"));
        const QString second = dir.filePath(QStringLiteral("second.zvn"));
        WindowFixture f;
        f.chooser->answers << first;
        f.action("Zapiszjako2")->trigger();
        QCOMPARE(f.chooser->saveStartNames.last(), QString());  // nothing opened yet
        f.chooser->answers << second;
        f.action("Zapiszjako2")->trigger();
        QCOMPARE(f.chooser->saveStartNames.last(), QString());  // the saved name is not remembered
        f.chooser->answers << first;
        f.action("Odczytaj3")->trigger();
        f.chooser->answers << second;
        f.action("Zapiszjako2")->trigger();
        QCOMPARE(f.chooser->saveStartNames.last(), first);
        QCOMPARE(f.window().openDialogFileName(), first);
    }

    void cancellingChangesNothing()
    {
        WindowFixture f;
        f.edit("EPin")->setText(QStringLiteral("1234"));
        const tarnik::SettingsRecord before = f.window().settings();
        f.action("Zapiszjako2")->trigger();  // cancelled: the controls are not even collected
        QVERIFY(sameBytes(&before, &f.window().settings(), sizeof before));
        f.action("Odczytaj3")->trigger();
        QCOMPARE(f.edit("EPin")->text(), QStringLiteral("1234"));
        QVERIFY(f.errors.isEmpty());
    }

    void damagedOrMissingFileShowsMessageAndChangesNothing()
    {
        QTemporaryDir dir;
        const QString text = dir.filePath(QStringLiteral("notes.zvn"));
        QFile out(text);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("this is not a settings file\n");
        out.close();
        WindowFixture f;
        f.edit("EPin")->setText(QStringLiteral("4321"));
        f.window().binding().CollectSettings();
        const tarnik::SettingsRecord before = f.window().settings();
        f.chooser->answers << text << dir.filePath(QStringLiteral("missing.zvn"));
        f.action("Odczytaj3")->trigger();
        QCOMPARE(f.errors.size(), 1);
        QCOMPARE(f.errors.at(0), QStringLiteral("Error"));
        f.action("Odczytaj3")->trigger();
        QCOMPARE(f.errors.size(), 2);
        QVERIFY(f.errors.at(1).startsWith(QStringLiteral("Cannot open file \"")));
        QVERIFY(sameBytes(&before, &f.window().settings(), sizeof before));
        QCOMPARE(f.edit("EPin")->text(), QStringLiteral("4321"));
        QVERIFY(f.window().isEnabled());
    }

    void droppedSettingsFileOpens()
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
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.window(), &drop);
        QCOMPARE(f.edit("Eosoba1")->text(), QStringLiteral("Upuszczony"));
        QCOMPARE(f.window().openDialogFileName(), file);
        // other files are not taken
        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("notes.txt")))});
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton,
                                Qt::NoModifier);
        refused.setAccepted(false);
        QApplication::sendEvent(&f.window(), &refused);
        QVERIFY(!refused.isAccepted());
    }

    // ---- error boundary ----
    void portThatCannotBeOpenedShowsAMessageBox()
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
        QVERIFY2(!shown.isEmpty(), "no message box was shown");
        QVERIFY(f.window().isVisible());
        QVERIFY(f.button("Bprogramuj")->isEnabled());
        QVERIFY(f.button("BBload")->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.window().timer1().isArmed());
    }

    void numbersNotInInternationalFormRefuseProgramming()
    {
        WindowFixture f;
        f.edit("Enruser3")->setText(QStringLiteral("601234567"));
        f.button("Bprogramuj")->click();
        QCOMPARE(f.window().infoLines().last(),
                 QStringLiteral(
                     "numery użytkowników muszą być zapisane w formie międzynarodowej tzn zawierać "
                     "numer kierunkowy na kraj"));
        QVERIFY(!f.window().port().Connected());
        QVERIFY(f.button("Bprogramuj")->isEnabled());
        QVERIFY(f.errors.isEmpty());
    }

    void aboutBoxOpensFromTheMenu()
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
        QVERIFY(seen);
    }

    // ---- command line ----
    void commandLine()
    {
        tarnik::CommandLine line =
            tarnik::parseCommandLine({QStringLiteral("--demo"), QStringLiteral("x.zvn")});
        QVERIFY(line.demo);
        QCOMPARE(line.settingsFile, QStringLiteral("x.zvn"));
        QVERIFY(line.error.isEmpty());
        QVERIFY(!tarnik::parseCommandLine({QStringLiteral("--bogus")}).error.isEmpty());
        QVERIFY(!tarnik::parseCommandLine({QStringLiteral("a.zvn"), QStringLiteral("b.zvn")})
                     .error.isEmpty());
        QVERIFY(!tarnik::parseCommandLine({QStringLiteral("--screenshots")}).error.isEmpty());
        QCOMPARE(tarnik::parseCommandLine({QStringLiteral("--screenshots"), QStringLiteral("d")})
                     .screenshotFolder,
                 QStringLiteral("d"));
    }

    void portListKeepsTypedTextWhenRefreshed()
    {
        WindowFixture f({QStringLiteral("/dev/pinned")});
        QStringList machine{QStringLiteral("/dev/ttyS0")};
        f.ports()->setPortSource([&machine] { return machine; });
        f.ports()->setEditText(QStringLiteral("/dev/typed"));
        machine << QStringLiteral("/dev/ttyUSB0");  // plugged in after start
        f.ports()->refreshPorts();
        QCOMPARE(f.ports()->currentText(), QStringLiteral("/dev/typed"));
        QCOMPARE(f.ports()->count(), 3);
        QCOMPARE(f.ports()->itemText(0), QStringLiteral("/dev/pinned"));
        QCOMPARE(f.window().portName(), std::string("/dev/typed"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
