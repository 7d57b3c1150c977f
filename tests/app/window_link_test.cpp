// Whole exchanges through the window against the module simulator on a real
// pseudo-terminal: programming, read-back, serial number and the timeout.

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <algorithm>

#include "link/link_engine.h"
#include "link/no_answer_timer.h"
#include "link/protocol.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

using tarnik::ModuleSimulator;
using tarnik::SimulatorOptions;
namespace behaviour = tarnik::behaviour;

namespace {

constexpr int kWaitMs = 10000;

struct LinkFixture {
    ModuleSimulator module;
    WindowFixture f;

    explicit LinkFixture(SimulatorOptions options = {})
        : module(std::move(options)), f(startModule(module))
    {
    }

    static QStringList startModule(ModuleSimulator& module)
    {
        module.start();
        return {QString::fromStdString(module.devicePath())};
    }
    ~LinkFixture()
    {
        f.window().port().Close();
        module.stop();
    }
    bool hasLine(const QString& line) { return f.window().infoLines().contains(line); }
};

}  // namespace

class WindowLinkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tarnik::InitSerialMessages();
        tarnik::InstallQtHandOver();
    }

    void programmingRunWritesTheShownSettings()
    {
        LinkFixture l;
        auto& f = l.f;
        f.edit("Enruser1")->setText(QStringLiteral("+48601000001"));
        f.edit("ETSMS_We1_Re1")->setText(QStringLiteral("Alarm wejście 1"));
        f.get<QSpinBox>("SEtimerPod2")->setValue(77);
        f.button("Bprogramuj")->click();
        // busy while the run lasts
        QVERIFY(!f.button("Bprogramuj")->isEnabled());
        QVERIFY(!f.button("BBload")->isEnabled());
        QVERIFY(QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        QTRY_VERIFY_WITH_TIMEOUT(l.hasLine(QStringLiteral("Programowanie zakończone pomyślnie.")),
                                 kWaitMs);
        QVERIFY(f.button("Bprogramuj")->isEnabled());
        QVERIFY(f.button("BBload")->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!f.window().timer1().isArmed());
        QVERIFY(f.errors.isEmpty());
        const QStringList lines = f.window().infoLines();
        QCOMPARE(lines.at(0), QStringLiteral("Rozpoczęcie programowania."));
        QCOMPARE(lines.at(1), QStringLiteral("Postęp: 100% ") + QString(52, QLatin1Char('#')));
        // the module holds the image of what the window showed
        tarnik::DeviceImage expected{};
        tarnik::SettingsToImage(f.window().settings(), expected);
        const tarnik::DeviceImage memory = l.module.memory();
        QVERIFY(std::equal(expected.begin(), expected.begin() + tarnik::protocol::kSentImageBytes,
                           memory.begin()));
        QCOMPARE(int(f.window().settings().timerPod[1]), 77);
    }

    void readBackShowsTheModuleAndKeepsNamesAndNotes()
    {
        tarnik::SettingsRecord moduleRecord = tarnik::startupSettings();
        moduleRecord.timerTorBuf[4] = 200;
        moduleRecord.flags = 0x02;  // SMS control of output 2 only
        moduleRecord.zalWyCode[1][0] = 'Z';
        moduleRecord.zalWyCode[1][1] = '2';
        moduleRecord.nrUser[2].assign("+48700000003");
        tarnik::DeviceImage image{};
        tarnik::SettingsToImage(moduleRecord, image);
        SimulatorOptions options;
        options.memory = image;
        LinkFixture l(options);
        auto& f = l.f;
        f.edit("Eosoba3")->setText(QStringLiteral("Portiernia"));
        f.get<QPlainTextEdit>("Muser3")->setPlainText(QStringLiteral("dzwonić nocą"));
        f.button("BBload")->click();
        QVERIFY(f.button("Bprogramuj")->isEnabled());  // a read-back is not busy
        QTRY_VERIFY_WITH_TIMEOUT(l.hasLine(QStringLiteral("zaladowane ustawienia z eprom")),
                                 kWaitMs);
        QCOMPARE(f.get<QSpinBox>("SEtimerTorBuf5")->value(), 200);
        QCOMPARE(f.edit("EZalWy2")->text(), QStringLiteral("Z2"));
        QVERIFY(f.edit("EZalWy2")->isEnabled());
        QVERIFY(!f.edit("EZalWy1")->isEnabled());
        QCOMPARE(f.edit("Enruser3")->text(), QStringLiteral("+48700000003"));
        QCOMPARE(f.edit("Eosoba3")->text(), QStringLiteral("Portiernia"));
        QCOMPARE(f.get<QPlainTextEdit>("Muser3")->toPlainText(), QStringLiteral("dzwonić nocą"));
        QVERIFY(!f.window().timer1().isArmed());
    }

    void silentModuleEndsTheRunByTimeout()
    {
        SimulatorOptions options;
        options.behaviours.push_back(behaviour::SilentAfter(0));
        LinkFixture l(options);
        auto& f = l.f;
        f.window().timer1().setIntervalMs(300);
        f.button("Bprogramuj")->click();
        QVERIFY(f.window().busy());
        QTRY_VERIFY_WITH_TIMEOUT(l.hasLine(QStringLiteral("Brak oprowiedzi z modułu.")), kWaitMs);
        QVERIFY(!f.window().busy());
        QVERIFY(f.button("Bprogramuj")->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.window().engine().programmingState(), tarnik::ProgrammingState::Idle);
    }

    void serialNumberFromTheMenu()
    {
        SimulatorOptions options;
        options.identity.serialNumber = "ZVN0042";
        LinkFixture l(options);
        l.f.action("serialNumberAction")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(l.hasLine(QStringLiteral("serial: ZVN0042")), kWaitMs);
    }

    void moduleUnpluggedMidRunLeavesTheWindowUsable()
    {
        SimulatorOptions options;
        options.behaviours.push_back(behaviour::HangUpAt(3));
        LinkFixture l(options);
        auto& f = l.f;
        f.window().timer1().setIntervalMs(2000);
        f.button("Bprogramuj")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!f.window().busy(), kWaitMs);
        // the loss is told, in the list or in a message box
        QTRY_VERIFY_WITH_TIMEOUT(!f.errors.isEmpty() || f.window().infoLines().size() > 2, kWaitMs);
        QVERIFY(f.button("Bprogramuj")->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.window().engine().programmingState(), tarnik::ProgrammingState::Idle);
    }
};

QTEST_MAIN(WindowLinkTest)
#include "test_window_link.moc"
