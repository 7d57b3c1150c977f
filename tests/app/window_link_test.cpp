// Whole exchanges through the window against the module simulator on a real
// pseudo-terminal: programming, read-back, serial number and the timeout.

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <gtest/gtest.h>

#include "event_loop.h"
#include "qt_printers.h"
#include <algorithm>
#include <functional>

#include "app/window_report.h"
#include "editor/binding/settings_binding.h"
#include "link/link_engine.h"
#include "link/no_answer_timer.h"
#include "link/protocol.h"
#include "model/conversion.h"
#include "model/effective_settings.h"
#include "model/image_layout.h"
#include "model/value_ranges.h"
#include "module_image.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "simulator/module_behaviours.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

using namespace std::chrono_literals;
using tarnik::test::pumpUntil;

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

class WindowLinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tarnik::initSerialMessages();
        tarnik::installQtHandOver();
    }
};

TEST_F(WindowLinkTest, ProgrammingRunWritesTheShownSettings)
{
    LinkFixture l;
    auto& f = l.f;
    f.edit("Enruser1")->setText(QStringLiteral("+48601000001"));
    f.edit("ETSMS_We1_Re1")->setText(QStringLiteral("Alarm wejście 1"));
    f.get<QSpinBox>("SEtimerPod2")->setValue(77);
    f.button("Bprogramuj")->click();
    // busy while the run lasts
    ASSERT_TRUE(!f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(!f.button("BBload")->isEnabled());
    ASSERT_TRUE(QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    ASSERT_TRUE(pumpUntil(
        [&] { return bool(l.hasLine(QStringLiteral("Programowanie zakończone pomyślnie."))); },
        std::chrono::milliseconds(kWaitMs)));
    ASSERT_TRUE(f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(f.button("BBload")->isEnabled());
    ASSERT_TRUE(!QApplication::overrideCursor());
    ASSERT_TRUE(!f.window().timer1().isArmed());
    ASSERT_TRUE(f.errors.isEmpty());
    const QStringList lines = f.window().infoLines();
    ASSERT_EQ(lines.at(0), QStringLiteral("Rozpoczęcie programowania."));
    ASSERT_EQ(lines.at(1), QStringLiteral("Postęp: 100% ") + QString(52, QLatin1Char('#')));
    // the module holds the image of what the window showed
    ASSERT_TRUE(tarnik::test::holdsProgrammedImage(l.module.memory(), f.window().settings()));
    ASSERT_EQ(int(f.window().settings().timerPod[1]), 77);
}

TEST_F(WindowLinkTest, ReadBackShowsTheModuleAndKeepsNamesAndNotes)
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
    // A read-back is not busy (no hourglass), but no other exchange starts beside it.
    ASSERT_FALSE(f.window().busy());
    ASSERT_FALSE(f.button("Bprogramuj")->isEnabled());
    ASSERT_FALSE(f.button("BBload")->isEnabled());
    ASSERT_TRUE(
        pumpUntil([&] { return bool(l.hasLine(QStringLiteral("zaladowane ustawienia z eprom"))); },
                  std::chrono::milliseconds(kWaitMs)));
    ASSERT_EQ(f.get<QSpinBox>("SEtimerTorBuf5")->value(), 200);
    ASSERT_EQ(f.edit("EZalWy2")->text(), QStringLiteral("Z2"));
    ASSERT_TRUE(f.edit("EZalWy2")->isEnabled());
    ASSERT_TRUE(!f.edit("EZalWy1")->isEnabled());
    ASSERT_EQ(f.edit("Enruser3")->text(), QStringLiteral("+48700000003"));
    ASSERT_EQ(f.edit("Eosoba3")->text(), QStringLiteral("Portiernia"));
    ASSERT_EQ(f.get<QPlainTextEdit>("Muser3")->toPlainText(), QStringLiteral("dzwonić nocą"));
    ASSERT_TRUE(!f.window().timer1().isArmed());
    ASSERT_TRUE(f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(f.button("BBload")->isEnabled());
}

TEST_F(WindowLinkTest, SilentModuleEndsTheRunByTimeout)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::SilentAfter(0));
    LinkFixture l(options);
    auto& f = l.f;
    f.window().timer1().setIntervalMs(300);
    f.button("Bprogramuj")->click();
    ASSERT_TRUE(f.window().busy());
    ASSERT_TRUE(
        pumpUntil([&] { return bool(l.hasLine(QStringLiteral("Brak oprowiedzi z modułu."))); },
                  std::chrono::milliseconds(kWaitMs)));
    ASSERT_TRUE(!f.window().busy());
    ASSERT_TRUE(f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(!QApplication::overrideCursor());
    ASSERT_EQ(f.window().engine().programmingState(), tarnik::ProgrammingState::Idle);
}

TEST_F(WindowLinkTest, SerialNumberFromTheMenu)
{
    SimulatorOptions options;
    options.identity.serialNumber = "ZVN0042";
    LinkFixture l(options);
    l.f.action("serialNumberAction")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return bool(l.hasLine(QStringLiteral("serial: ZVN0042"))); },
                          std::chrono::milliseconds(kWaitMs)));
    // The printed report names the module it was read from in this session.
    EXPECT_TRUE(l.f.window().report().reportHtml(false).contains(QStringLiteral("ZVN0042")));
}

TEST_F(WindowLinkTest, ModuleUnpluggedMidRunLeavesTheWindowUsable)
{
    SimulatorOptions options;
    options.behaviours.push_back(behaviour::HangUpAt(3));
    LinkFixture l(options);
    auto& f = l.f;
    f.window().timer1().setIntervalMs(2000);
    f.button("Bprogramuj")->click();
    ASSERT_TRUE(
        pumpUntil([&] { return bool(!f.window().busy()); }, std::chrono::milliseconds(kWaitMs)));
    // the loss is told, in the list or in a message box
    ASSERT_TRUE(
        pumpUntil([&] { return bool(!f.errors.isEmpty() || f.window().infoLines().size() > 2); },
                  std::chrono::milliseconds(kWaitMs)));
    ASSERT_TRUE(f.button("Bprogramuj")->isEnabled());
    ASSERT_TRUE(!QApplication::overrideCursor());
    ASSERT_EQ(f.window().engine().programmingState(), tarnik::ProgrammingState::Idle);
}

// A code the user cleared or switched off reaches the module without the old
// characters: its bytes are zero, as after the factory defaults. (A code of 1 to 3
// characters is refused before programming.)
TEST_F(WindowLinkTest, ClearedOrSwitchedOffCodesSendNoOldCharacters)
{
    namespace image = tarnik::image;
    struct Case {
        const char* name;
        std::function<void(WindowFixture&)> edit;
        std::string accessCode;  // the four bytes at the access code's place
        std::string pinSlot;     // the seven bytes at the PIN's place
    };
    const std::string noPin(image::kPinSlotLength, '\0');
    const Case cases[] = {
        {"access code cleared", [](WindowFixture& f) { f.edit("EPINMOD")->clear(); },
         std::string(4, '\0'), "\"5678\"" + std::string(1, '\0')},
        {"programming by SMS unticked",
         [](WindowFixture& f) { f.get<QCheckBox>("ChBFlags_5")->setChecked(false); },
         std::string(4, '\0'), "\"5678\"" + std::string(1, '\0')},
        {"PIN cleared", [](WindowFixture& f) { f.edit("EPin")->clear(); }, "1234", noPin},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LinkFixture l;
        auto& f = l.f;
        // A file whose codes were "1234" and "5678" is shown, then edited.
        f.window().settings().flags = tarnik::kSmsProgrammingBit;
        f.window().settings().pinMod.assign("1234");
        f.window().settings().pin.assign("5678");
        f.window().binding().showFrom(f.window().settings());
        c.edit(f);
        f.button("Bprogramuj")->click();
        ASSERT_TRUE(pumpUntil(
            [&] { return bool(l.hasLine(QStringLiteral("Programowanie zakończone pomyślnie."))); },
            std::chrono::milliseconds(kWaitMs)));
        const tarnik::DeviceImage memory = l.module.memory();
        const auto bytesAt = [&](std::size_t at, std::size_t n) {
            return std::string(reinterpret_cast<const char*>(memory.data() + at), n);
        };
        EXPECT_EQ(bytesAt(image::kPinMod, image::kPinModLength), c.accessCode);
        EXPECT_EQ(bytesAt(image::kPin, image::kPinSlotLength), c.pinSlot);
    }
}
