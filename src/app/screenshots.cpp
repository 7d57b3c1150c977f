#include "app/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include "app/glowna_form.h"
#include "app/main_window_overview.h"
#include "app/overview_view.h"
#include "editor/binding/settings_binding.h"
#include "editor/lookup/control_lookup.h"
#include "model/reaction_bits.h"

namespace tarnik {

namespace {

// A small site for the overview's picture: two users, a few inputs that switch
// an output or tell someone, a gate opened by a user's call and by SMS.
void showExampleSite(TGlownaF& window)
{
    SettingsRecord record = window.settings();
    UserDirectory users = window.users();
    users.entries[0].osoba.assign("Jan Kowalski");
    users.entries[1].osoba.assign("Ochrona");
    record.nrUser[0].assign("+48601000001");
    record.nrUser[1].assign("+48601000002");
    record.numberWeRe[0][0] = switchOnBit(1);
    record.workWeRe[0][0] = smsBit(1) | clipBit(2);
    record.smsWeRe[0][0].assign("Alarm: drzwi wejsciowe");
    record.workWeRe[1][1] = smsBit(1) | smsBit(2);
    record.smsWeRe[1][1].assign("Zanik zasilania");
    record.workSpecWeRe[2][0] = smsBit(1) | clipBit(1);
    record.smsSpecWeRe[2][0].assign("Sabotaz centrali");
    record.workSpecWeRe[0][0] = smsBit(1);
    record.smsSpecWeRe[0][0].assign("Brama otwarta");
    record.clipVerif = clipToggleBit(1) | kClipReport;
    record.flags =
        static_cast<std::uint8_t>(optionBit(Option::SmsOutput2) | optionBit(Option::Report));
    record.zalWyCode[1][0] = 'Z';
    record.zalWyCode[1][1] = '2';
    record.wylWyCode[1][0] = 'W';
    record.wylWyCode[1][1] = '2';
    window.users() = users;
    window.binding().showFrom(record, users);
    window.showSettings(record);
}

}  // namespace

bool saveWindowPictures(TGlownaF& window, const QString& folder)
{
    QDir().mkpath(folder);
    auto* pages = findControl<QTabWidget>(&window, QStringLiteral("PageControl2"));
    const int current = pages->currentIndex();
    bool saved = true;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        saved &= window.grab().save(QDir(folder).filePath(QStringLiteral("page%1.png").arg(i + 1)));
    }
    pages->setCurrentIndex(0);
    QApplication::processEvents();
    saved &= window.grab().save(QDir(folder).filePath(QStringLiteral("main_window.png")));
    pages->setCurrentIndex(current);

    showExampleSite(window);
    window.overview().openOverview();
    OverviewWindow* overview = window.overview().view();
    QApplication::processEvents();
    saved &= overview->grab().save(QDir(folder).filePath(QStringLiteral("overview.png")));
    overview->close();
    return saved;
}

}  // namespace tarnik
