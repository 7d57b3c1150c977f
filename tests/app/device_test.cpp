// The window with real serial adapters in mind: the COM list's descriptions, the saved
// wire trace, and a module unplugged while the COM list is open.

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "app/port_combo_box.h"
#include "app/window_trace.h"
#include "event_loop.h"
#include "link/link_engine.h"
#include "serial/comport.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "serial/qt/qt_trace.h"
#include "simulator/module_simulator.h"
#include "window_fixture.h"

namespace tarnik {
namespace {

using namespace std::chrono_literals;

using test::pumpFor;
using test::pumpUntil;

// The trace dialog answered with a fixed name.
class TraceFileChooser : public ScriptedFileChooser {
public:
    QString traceName;
    int traceAsked = 0;
    QString chooseTraceFile(QWidget*) override
    {
        ++traceAsked;
        return traceName;
    }
};

struct ModuleWindow {
    ModuleSimulator module;
    std::unique_ptr<WindowFixture> f;
    TraceFileChooser* chooser = nullptr;

    ModuleWindow()
    {
        module.start();
        f = std::make_unique<WindowFixture>(
            QStringList{QString::fromStdString(module.devicePath())});
        auto owned = std::make_unique<TraceFileChooser>();
        chooser = owned.get();
        f->window().setFileChooser(std::move(owned));
    }
    ~ModuleWindow()
    {
        f->window().port().Close();
        f.reset();
        module.stop();
    }
    bool hasLine(const char* line)
    {
        return f->window().infoLines().contains(QString::fromUtf8(line));
    }
    bool hasLinePrefix(const char* prefix)
    {
        for (const QString& line : f->window().infoLines())
            if (line.startsWith(QString::fromUtf8(prefix)))
                return true;
        return false;
    }
};

TEST(PortComboBox, DropDownShowsDescriptionsWhileTheTextStaysThePath)
{
    PortComboBox box;
    QStringList machine{"/dev/ttyS0", "/dev/ttyUSB0"};
    QHash<QString, QString> descriptions{{"/dev/ttyUSB0", "FTDI FT232R USB UART (A1B2C3D4)"}};
    box.setPortSource([&] { return machine; });
    box.setDescriptionSource([&] { return descriptions; });
    box.refreshPorts(true);

    ASSERT_EQ(box.count(), 2);
    EXPECT_EQ(box.popupText(0), "/dev/ttyS0");
    EXPECT_EQ(box.popupText(1), "/dev/ttyUSB0 — FTDI FT232R USB UART (A1B2C3D4)");
    box.setCurrentIndex(1);
    EXPECT_EQ(box.currentText(), "/dev/ttyUSB0");
    EXPECT_EQ(box.lineEdit()->text(), "/dev/ttyUSB0");

    // A second adapter plugged in: the refresh on drop-down describes it too and the
    // chosen path stays.
    machine << "/dev/ttyUSB1";
    descriptions.insert("/dev/ttyUSB1", "Prolific USB-Serial Controller");
    box.refreshPorts(false);
    EXPECT_EQ(box.currentText(), "/dev/ttyUSB0");
    EXPECT_EQ(box.popupText(2), "/dev/ttyUSB1 — Prolific USB-Serial Controller");
}

TEST(PortComboBox, TooltipsShowTheDescriptionAsPlainText)
{
    PortComboBox box;
    const QStringList machine{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1"};
    const QHash<QString, QString> descriptions{{"/dev/ttyUSB0", "<b>Evil</b> <img src=x> & Co"},
                                               {"/dev/ttyUSB1", "FTDI FT232R USB UART"}};
    box.setPortSource([&] { return machine; });
    box.setDescriptionSource([&] { return descriptions; });
    box.refreshPorts(true);
    EXPECT_TRUE(box.itemData(0, Qt::ToolTipRole).toString().isEmpty());
    for (int row = 1; row < 3; ++row) {
        // What the tooltip shows, read back as a rich-text label would render it.
        QTextDocument shown;
        shown.setHtml(box.itemData(row, Qt::ToolTipRole).toString());
        EXPECT_EQ(shown.toPlainText(), descriptions.value(machine[row])) << row;
    }
}

TEST(WindowTrace, HelpMenuSavesTheNewestLinesOfTheWireTrace)
{
    ModuleWindow w;
    QAction* save = w.f->action("saveTraceAction");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->text(), "Zapisz zapis transmisji ...");
    EXPECT_TRUE(w.f->get<QMenu>("Rozwiazywanieproblemw1")->actions().contains(save));

    w.f->action("serialNumberAction")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return w.hasLinePrefix("serial: "); }));

    QTemporaryDir dir;
    w.chooser->traceName = dir.filePath("zapis.txt");
    save->trigger();
    EXPECT_EQ(w.chooser->traceAsked, 1);
    EXPECT_TRUE(w.f->errors.isEmpty()) << w.f->errors.join("\n").toStdString();
    QFile file(w.chooser->traceName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("LINK  serial number requested")) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("TX    2A 37 2A 31 +\\*7\\*1")))
        << text.toStdString();
    EXPECT_TRUE(text.contains("LINK  finished: serial number")) << text.toStdString();

    // Cancelled: nothing written, nothing said.
    w.chooser->traceName.clear();
    save->trigger();
    EXPECT_TRUE(w.f->errors.isEmpty());
}

// A trace file that fails (a full disk) is said once under "Informacje"; the exchanges go
// on and the trace still keeps its lines in memory.
TEST(WindowTrace, ATraceFileThatFailsIsSaidOnceAndTheExchangeGoesOn)
{
    ModuleWindow w;
    auto trace = std::make_shared<QtTraceSink>();
    w.f->window().port().SetTraceSink(trace);
    QString error;
    ASSERT_TRUE(startWindowTrace(*trace, w.f->window(), {}, QStringLiteral("/dev/full"), &error))
        << error.toStdString();
    const auto failureLines = [&] {
        int count = 0;
        for (const QString& line : w.f->window().infoLines())
            count += line.startsWith(QString::fromUtf8(kTraceFileFailed)) ? 1 : 0;
        return count;
    };
    ASSERT_TRUE(pumpUntil([&] { return failureLines() > 0; }));
    w.f->action("serialNumberAction")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return w.hasLinePrefix("serial: "); }));
    EXPECT_EQ(failureLines(), 1);
    EXPECT_TRUE(w.f->errors.isEmpty()) << w.f->errors.join("\n").toStdString();
    EXPECT_TRUE(trace->keptLines().join("\n").contains("LINK  finished: serial number"));
    // The header starts every saved copy.
    ASSERT_FALSE(trace->keptLines().isEmpty());
    QTemporaryDir dir;
    ASSERT_TRUE(trace->saveKeptLines(dir.filePath("saved.txt"), &error));
    QFile saved(dir.filePath("saved.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readLine().startsWith("# Tarnik wire trace, started "));
}

TEST(WindowDevice, UnpluggedWhileTheComListIsOpenIsSaidOnceAndProgrammingWorksAfter)
{
    ModuleWindow w;
    w.f->window().show();
    w.f->action("serialNumberAction")->trigger();
    ASSERT_TRUE(pumpUntil([&] { return w.hasLinePrefix("serial: "); }));

    PortComboBox* ports = w.f->ports();
    ports->showPopup();
    w.module.hangUp();
    ASSERT_TRUE(pumpUntil([&] { return !w.f->window().port().Connected(); }));
    pumpFor(200ms);
    EXPECT_EQ(w.f->window().infoLines().count(QString::fromUtf8(link_text::kDeviceLost)), 1);
    EXPECT_TRUE(w.f->errors.isEmpty()) << "no message box between exchanges";
    EXPECT_TRUE(ports->view()->isVisible()) << "the COM list stays open";
    ports->hidePopup();

    // The module back (here: a fresh line under a new name) and "programuj" works.
    ModuleSimulator again;
    again.start();
    ports->setEditText(QString::fromStdString(again.devicePath()));
    w.f->button("Bprogramuj")->click();
    EXPECT_TRUE(pumpUntil([&] { return w.hasLine(link_text::kDone); }));
    w.f->window().port().Close();
    again.stop();
}

}  // namespace
}  // namespace tarnik

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tarnik::initSerialMessages();
    tarnik::installQtHandOver();
    tarnik::installQtTrace();  // as the program does, before the window is made
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
