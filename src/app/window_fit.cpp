#include "app/window_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace tarnik {

QSize fittedWindowSize(QSize preferred, QSize minimum, const QRect& available,
                       const QMargins& frame)
{
    const QSize room = available.size().shrunkBy(frame);
    return preferred.boundedTo(room).expandedTo(minimum);
}

QPoint centredWindowPosition(QSize size, const QRect& available, const QMargins& frame)
{
    const QSize framed = size.grownBy(frame);
    return {available.x() + (available.width() - framed.width()) / 2,
            available.y() + (available.height() - framed.height()) / 2};
}

namespace {

QMargins frameOf(QWidget& window)
{
    if (const QWindow* handle = window.windowHandle()) {
        const QMargins margins = handle->frameMargins();
        if (!margins.isNull())
            return margins;
    }
    // Not known before the window manager has framed the window: a title bar
    // and a thin border as the style draws them.
    const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return {border, title + border, border, border};
}

}  // namespace

void placeOnScreen(QWidget& window, bool fit)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = frameOf(window);
    if (fit)
        window.resize(
            fittedWindowSize(window.sizeHint(), window.minimumSizeHint(), available, frame));
    window.move(centredWindowPosition(window.size(), available, frame));
}

}  // namespace tarnik
