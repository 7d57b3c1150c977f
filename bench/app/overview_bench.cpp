// How fast "Przegląd konfiguracji" follows an edit: the program's main window with
// the overview open, offscreen; each round changes one control of a settings page
// (a text, a check box, a spin edit in turn) and times until the overview shows the
// change, painted. Prints the median and the slowest round as parseable lines:
//   overview_update_ms=<median>
//   overview_update_max_ms=<slowest>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/forms.h"
#include "app/glowna_form.h"
#include "app/main_window_overview.h"
#include "app/overview_view.h"
#include "editor/lookup/control_lookup.h"

namespace {

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty()
               ? -1
               : values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 300;

    tarnik::Forms forms = tarnik::createForms();
    tarnik::TGlownaF& window = *forms.GlownaF;
    window.show();
    tarnik::findControl<QAction>(&window, QStringLiteral("PrzegladKonfiguracji"))->trigger();
    tarnik::OverviewWindow* view = window.overview().view();
    if (!view) {
        std::fprintf(stderr, "the overview did not open\n");
        return 1;
    }
    auto* text = tarnik::findControl<QLineEdit>(&window, QStringLiteral("ETSMS_We4_Re1"));
    auto* clip = tarnik::findControl<QCheckBox>(&window, QStringLiteral("ChbClipVerif1"));
    auto* spin = tarnik::findControl<QSpinBox>(&window, QStringLiteral("SEtestokr"));
    QApplication::processEvents();

    std::vector<double> took;
    QEventLoop loop;
    // Timed until the table is painted with the change.
    QObject::connect(view, &tarnik::OverviewWindow::refreshed, &loop, [view, &loop] {
        view->repaint();
        loop.quit();
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        switch (i % 3) {
        case 0:
            text->setText(QStringLiteral("Alarm %1").arg(i));
            break;
        case 1:
            clip->setChecked(!clip->isChecked());
            break;
        default:
            spin->setValue(spin->value() % spin->maximum() + 1);
            break;
        }
        giveUp.start(5000);
        if (loop.exec() != 0) {
            std::fprintf(stderr, "the overview did not follow edit %d\n", i);
            return 1;
        }
        took.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("rounds=%d\noverview_update_ms=%.2f\noverview_update_max_ms=%.2f\n", rounds,
                percentile(took, 0.5), percentile(took, 1.0));
    std::printf("goal_overview_update_ms=50\n");
    return 0;
}
