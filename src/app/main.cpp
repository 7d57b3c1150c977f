// The window program: tarnik [--demo] [--overview] [--measure-startup] [--screenshots DIR]
//                [--trace FILE] [--library LIB] [FILE.zvn]
// Exit status: 0 closed, 1 the demo module cannot start, 2 command line not understood.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <memory>

#include "app/command_line.h"
#include "app/error_boundary.h"
#include "app/forms.h"
#include "app/glowna_form.h"
#include "app/main_window_overview.h"
#include "app/screenshots.h"
#include "app/startup_probe.h"
#include "app/user_conveniences.h"
#include "app/window_sites.h"
#include "app/window_trace.h"
#include "config/qt_language.h"
#include "config/tarnik_config.h"
#include "model/conversion.h"
#include "model/value_ranges.h"
#include "serial/messages.h"
#include "serial/qt/qt_handover.h"
#include "serial/qt/qt_trace.h"
#include "simulator/module_simulator.h"

int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    std::setlocale(LC_ALL, "");

    // The command line is read before the window system is reached, so --help,
    // --version and a mistake are answered without a display.
    tarnik::CommandLine line;
    {
        QCoreApplication commandLineOnly(argc, argv);
        // Qt's parts of the help ("Użycie:", "Opcje:") and its parser's errors in Polish.
        tarnik::installQtPolish(commandLineOnly);
        line = tarnik::parseCommandLine(QCoreApplication::arguments());
    }
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "tarnik: %s\n%s", qPrintable(line.error), qPrintable(line.usage));
        return 2;
    }
    if (line.help || line.version) {
        const QString text =
            line.help ? line.usage
                      : QString::fromLatin1(tarnik::config::kVersionLine) + QLatin1Char('\n');
        std::fputs(qPrintable(text), stdout);
        return 0;
    }

    tarnik::TarnikApplication app(argc, argv);
    // Organisation and name place the user's conveniences in ~/.config/Tarnik/.
    // The name is also the class of the window's WM_CLASS, which the desktop entry names.
    QApplication::setOrganizationName(QString::fromLatin1(tarnik::config::kAppName));
    QApplication::setApplicationName(QString::fromLatin1(tarnik::config::kAppName));
    QApplication::setApplicationVersion(QString::fromLatin1(tarnik::config::kVersion));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(tarnik::config::kAppId));

    tarnik::installQtPolish(app);
    tarnik::initSerialMessages();
    tarnik::installQtHandOver();
    // The wire trace is always kept in memory for "Zapisz zapis transmisji ...".
    const auto trace = tarnik::installQtTrace();

    // The demo module answers on a pseudo-terminal whose path heads the COM list.
    std::unique_ptr<tarnik::ModuleSimulator> demoModule;
    QStringList pinnedPorts;
    if (line.demo) {
        // The demo module starts with the settings the window starts with, so a
        // first "Odczyt ustawień." shows sensible values.
        tarnik::SimulatorOptions options;
        tarnik::DeviceImage memory{};
        tarnik::SettingsToImage(tarnik::startupSettings(), memory);
        options.memory = memory;
        demoModule = std::make_unique<tarnik::ModuleSimulator>(options);
        try {
            demoModule->start();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "tarnik: the demo module cannot start: %s\n", error.what());
            return 1;
        }
        pinnedPorts << QString::fromStdString(demoModule->devicePath());
    }

    tarnik::Forms forms = tarnik::createForms(pinnedPorts);
    tarnik::TGlownaF& window = *forms.GlownaF;
    if (QString error;
        !tarnik::startWindowTrace(*trace, window, pinnedPorts, line.traceFile, &error)) {
        std::fprintf(stderr, "tarnik: cannot write the trace %s: %s\n", qPrintable(line.traceFile),
                     qPrintable(error));
        return 2;
    }
    window.sites().setLibraryOption(line.library);
    // The measuring and picture runs start from the window's own size and touch
    // no user file.
    std::unique_ptr<tarnik::UserConveniences> conveniences;
    if (!line.measureStartup && line.screenshotFolder.isEmpty())
        conveniences = std::make_unique<tarnik::UserConveniences>(
            window, tarnik::userSettingsStore(), pinnedPorts.isEmpty());
    window.show();
    if (!line.settingsFile.isEmpty()) {
        const QString fileName = line.settingsFile;
        QTimer::singleShot(0, &window, [&window, fileName] {
            tarnik::guarded(&window, [&window, fileName] { window.openSettingsFile(fileName); });
        });
    }
    if (line.overview)
        // After the file: the overview opens on the settings it holds.
        QTimer::singleShot(0, &window, [&window] {
            tarnik::guarded(&window, [&window] { window.overview().openOverview(); });
        });
    if (!line.screenshotFolder.isEmpty()) {
        const QString folder = line.screenshotFolder;
        QTimer::singleShot(300, &window, [&window, folder] {
            QApplication::exit(tarnik::saveWindowPictures(window, folder) ? 0 : 1);
        });
    }
    if (line.measureStartup)
        tarnik::reportStartupWhenPainted(window, sinceStart);

    const int result = QApplication::exec();
    conveniences.reset();
    forms = tarnik::Forms();  // the window, its port and the dialogs go before the module
    if (demoModule)
        demoModule->stop();
    return result;
}
