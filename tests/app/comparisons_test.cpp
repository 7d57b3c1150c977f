// The window's comparisons, offscreen, against the module simulator on a real
// pseudo-terminal: with a file, with the module, and the check after programming.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstring>

#include "app/comparison_dialog.h"
#include "app/window_comparisons.h"
#include "event_loop.h"
#include "file/settings_file.h"
#include "link/link_engine.h"
#include "link/no_answer_timer.h"
#include "model/codepage.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

namespace tarnik {
namespace {

using test::pumpUntil;

struct ComparisonRig {
    explicit ComparisonRig(SimulatorOptions options = {})
        : module(std::move(options)), f(startModule(module))
    {
    }
    ~ComparisonRig()
    {
        for (auto* dialog : f.window().findChildren<ComparisonDialog*>())
            delete dialog;
        f.window().port().Close();
        module.stop();
    }
    static QStringList startModule(ModuleSimulator& module)
    {
        module.start();
        return {QString::fromStdString(module.devicePath())};
    }

    ComparisonDialog* dialog() { return f.window().findChild<ComparisonDialog*>(); }
    QStringList row(int r)
    {
        QStringList cells;
        for (int c = 0; c < 3; ++c)
            cells << dialog()->table()->item(r, c)->text();
        return cells;
    }
    QStringList headers()
    {
        QStringList labels;
        for (int c = 0; c < 3; ++c)
            labels << dialog()->table()->horizontalHeaderItem(c)->text();
        return labels;
    }
    bool hasLine(const char* line)
    {
        return f.window().infoLines().contains(QString::fromUtf8(line));
    }
    WindowComparisons& comparisons() { return f.window().comparisons(); }

    ModuleSimulator module;
    WindowFixture f;
    QTemporaryDir dir;
};

bool sameBytes(const SettingsRecord& a, const SettingsRecord& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(WindowComparisons, MenuItemsSitBesideTheFileItems)
{
    ComparisonRig rig;
    QMenu* menu = rig.f.window().findChild<QMenu*>(QStringLiteral("Plik1"));
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(texts,
              (QStringList{"Odczytaj ...", "Zapisz jako ...", "Obiekty ...",
                           "Zapisz w obiekcie ...", "Ostatnio otwierane", "Przegląd konfiguracji",
                           "Porównaj z plikiem ...", "Porównaj z modułem",
                           "Sprawdź po zaprogramowaniu", "Drukuj raport ...", "-", "Wyjscie"}))
        << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(rig.comparisons().verifyAction()->isCheckable());
    EXPECT_FALSE(rig.comparisons().verifyAction()->isChecked());
}

TEST(WindowComparisons, WithAFileListsDifferencesInPageOrderAndChangesNothing)
{
    ComparisonRig rig;
    auto& f = rig.f;
    const QString same = rig.dir.filePath(QStringLiteral("same.zvn"));
    f.window().saveSettingsFile(same);
    f.chooser->answers << same;
    rig.comparisons().compareWithFileAction()->trigger();
    ASSERT_NE(rig.dialog(), nullptr);
    EXPECT_EQ(rig.dialog()->summary(), QStringLiteral("Brak różnic."));
    EXPECT_FALSE(rig.dialog()->table()->isVisibleTo(rig.dialog()));
    delete rig.dialog();

    SettingsRecord other = startupSettings();
    UserDirectory users{};
    other.timerTorBuf[5] = 30;
    other.csms.assign("+48602951111");
    users.entries[1].osoba.assign(toCp1250(QStringLiteral("Łucja")));
    const QString file = rig.dir.filePath(QStringLiteral("other.zvn"));
    SaveSettingsFile(other, users, file);
    f.edit("Eosoba2")->setText(QStringLiteral("Jan"));
    const SettingsRecord recordBefore = f.window().settings();
    f.chooser->answers << file;
    rig.comparisons().compareWithFileAction()->trigger();
    ASSERT_NE(rig.dialog(), nullptr);
    EXPECT_TRUE(f.errors.isEmpty()) << f.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rig.headers(), (QStringList{"Ustawienie", "W oknie", "W pliku"}));
    ASSERT_EQ(rig.dialog()->table()->rowCount(), 3);
    EXPECT_EQ(rig.row(0), (QStringList{"Podstawowe / podstawowe / nr centrum sms", "\"\"",
                                       "\"+48602951111\""}));
    EXPECT_EQ(rig.row(1),
              (QStringList{"numery telefonów / Użytkownik 2 / Nazwa", "\"Jan\"", "\"Łucja\""}));
    EXPECT_EQ(rig.row(2),
              (QStringList{"Wejścia / Wejście 6 / Blokada wejścia po reakcji [x 10s]", "1", "30"}));
    EXPECT_EQ(rig.dialog()->summary(), QStringLiteral("Liczba różnic: 3"));
    // Nothing of the file reached the window.
    EXPECT_TRUE(sameBytes(f.window().settings(), recordBefore));
    EXPECT_EQ(f.get<QSpinBox>("SEtimerTorBuf6")->value(), 1);
    EXPECT_EQ(f.edit("Eosoba2")->text(), QStringLiteral("Jan"));

    // A file that cannot be read is the error of opening it.
    f.chooser->answers << rig.dir.filePath(QStringLiteral("none.zvn"));
    rig.comparisons().compareWithFileAction()->trigger();
    ASSERT_EQ(f.errors.size(), 1);
    EXPECT_TRUE(f.errors.front().startsWith(QStringLiteral("Cannot open file")));
}

TEST(WindowComparisons, WithTheModuleReadsItBackWithoutShowingIt)
{
    SettingsRecord moduleRecord = startupSettings();
    moduleRecord.timerPod[0] = 55;
    moduleRecord.nrUser[3].assign("+48700000004");
    DeviceImage memory{};
    SettingsToImage(moduleRecord, memory);
    SimulatorOptions options;
    options.memory = memory;
    ComparisonRig rig(options);
    auto& f = rig.f;
    f.get<QSpinBox>("SEtimerPod2")->setValue(9);
    const SettingsRecord recordBefore = f.window().settings();

    rig.comparisons().compareWithModuleAction()->trigger();
    ASSERT_TRUE(pumpUntil([&] { return rig.dialog() != nullptr; }));
    EXPECT_EQ(rig.headers(), (QStringList{"Ustawienie", "W oknie", "W module"}));
    ASSERT_EQ(rig.dialog()->table()->rowCount(), 3);
    EXPECT_EQ(rig.row(0),
              (QStringList{"numery telefonów / Użytkownik 4 / tel.", "\"\"", "\"+48700000004\""}));
    EXPECT_EQ(rig.row(1), (QStringList{"Wejścia / Wejście 1 / Czas reakcji [x 0,1s]", "1", "55"}));
    EXPECT_EQ(rig.row(2), (QStringList{"Wejścia / Wejście 2 / Czas reakcji [x 0,1s]", "9", "1"}));
    EXPECT_TRUE(sameBytes(f.window().settings(), recordBefore));
    EXPECT_EQ(f.get<QSpinBox>("SEtimerPod1")->value(), 1);
    EXPECT_EQ(f.edit("Enruser4")->text(), QString());
    EXPECT_TRUE(f.window().infoLines().isEmpty()) << "no read-back line";
    EXPECT_FALSE(f.window().engine().exchangeRunning());
}

TEST(WindowComparisons, WithTheModuleIsRefusedWhileAnotherExchangeRuns)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(0));
    ComparisonRig rig(options);
    auto& f = rig.f;
    f.button("BBload")->click();
    ASSERT_TRUE(f.window().engine().exchangeRunning());
    rig.comparisons().compareWithModuleAction()->trigger();
    EXPECT_TRUE(rig.hasLine("Trwa wymiana z modułem; porównanie możliwe po jej zakończeniu."));
    EXPECT_TRUE(rig.module.waitForFrames(1, std::chrono::seconds(5)));
    f.window().Timer1Timer();  // the read-back gives up; nothing comparison-bound follows
    QApplication::processEvents();
    EXPECT_EQ(rig.module.frameCount(), 1);
    EXPECT_EQ(rig.dialog(), nullptr);
}

TEST(WindowComparisons, WithTheModuleWaitsForASerialQueryToEnd)
{
    // While the query waits for its answer, the comparison's read-back does not start: a
    // late serial answer would be read as the image. The query ends by the no-answer
    // timer like every exchange, and then the comparison can be asked again.
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentTo('7'));
    ComparisonRig rig(options);
    auto& f = rig.f;
    f.window().timer1().setIntervalMs(300);
    f.window().BBserialClick();
    ASSERT_TRUE(rig.module.waitForFrames(1, std::chrono::seconds(5)));
    ASSERT_TRUE(f.window().engine().serialQueryPending());

    rig.comparisons().compareWithModuleAction()->trigger();
    EXPECT_TRUE(rig.hasLine("Trwa wymiana z modułem; porównanie możliwe po jej zakończeniu."));
    EXPECT_EQ(rig.module.frameCount(), 1);
    ASSERT_TRUE(pumpUntil([&] { return rig.hasLine("Brak oprowiedzi z modułu."); }));
    EXPECT_FALSE(f.window().engine().serialQueryPending());
    EXPECT_TRUE(f.window().engine().serialQueryAllowed());

    rig.comparisons().compareWithModuleAction()->trigger();
    ASSERT_TRUE(pumpUntil([&] { return rig.dialog() != nullptr; }));
    EXPECT_EQ(rig.module.frames().back().command, '3');
}

TEST(WindowComparisons, CheckAfterProgrammingAddsTheVerificationLine)
{
    ComparisonRig rig;
    auto& f = rig.f;
    f.button("Bprogramuj")->click();
    ASSERT_TRUE(pumpUntil([&] { return rig.hasLine("Programowanie zakończone pomyślnie."); }));
    QApplication::processEvents();
    EXPECT_EQ(rig.module.frames().back().command, '0') << "off by default: no read-back";

    rig.comparisons().verifyAction()->setChecked(true);
    f.edit("ETSMS_We2_Re1")->setText(QStringLiteral("Okno"));
    f.button("Bprogramuj")->click();
    ASSERT_TRUE(pumpUntil(
        [&] { return rig.hasLine("Weryfikacja: moduł zawiera zaprogramowane ustawienia."); }));
    EXPECT_EQ(rig.module.frames().back().command, '3');
    EXPECT_EQ(f.window().infoLines().back(),
              QStringLiteral("Weryfikacja: moduł zawiera zaprogramowane ustawienia."));
    EXPECT_EQ(f.edit("ETSMS_We2_Re1")->text(), QStringLiteral("Okno"));
    EXPECT_TRUE(f.errors.isEmpty());
}

TEST(WindowComparisons, AnUnansweredReadBackSaysTheSettingsWereProgrammedButNotChecked)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentTo('3'));
    ComparisonRig rig(options);
    rig.comparisons().verifyAction()->setChecked(true);
    rig.f.button("Bprogramuj")->click();
    const char* line = "Weryfikacja: odczyt nie powiódł się (brak odpowiedzi z modułu); ustawienia "
                       "zaprogramowano, ale ich nie sprawdzono.";
    ASSERT_TRUE(pumpUntil([&] { return rig.hasLine(line); }, std::chrono::seconds(20)));
    EXPECT_TRUE(rig.hasLine("Programowanie zakończone pomyślnie."));
    EXPECT_EQ(rig.f.window().infoLines().back(), QString::fromUtf8(line));
}

}  // namespace
}  // namespace tarnik
