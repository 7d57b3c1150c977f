#include "app/screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include "app/glowna_form.h"
#include "editor/lookup/control_lookup.h"

namespace tarnik {

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
    return saved;
}

}  // namespace tarnik
