#include "about/program_icon.h"

// The pictures are compiled into a static library: nothing would pull their
// registration in unless it is called.
static void loadProgramIconResource()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(program_icon);
        return true;
    }();
    (void)loaded;
}

namespace tarnik {

namespace {

// Rendered from data/icons/tarnik.svg, the picture the desktop shows too.
const QString kSmall = QStringLiteral(":/icons/tarnik-48.png");
const QString kLarge = QStringLiteral(":/icons/tarnik-256.png");

}  // namespace

QPixmap programPixmap(int size)
{
    loadProgramIconResource();
    const QPixmap source(size <= 48 ? kSmall : kLarge);
    if (source.width() == size)
        return source;
    return source.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QIcon programIcon()
{
    loadProgramIconResource();
    QIcon icon;
    icon.addFile(kSmall, QSize(48, 48));
    icon.addFile(kLarge, QSize(256, 256));
    return icon;
}

}  // namespace tarnik
