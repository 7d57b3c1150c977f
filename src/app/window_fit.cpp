#include "app/window_fit.h"

#include <algorithm>
#include <utility>

#include <QGuiApplication>
#include <QList>
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

QMargins windowFrame(const QWidget& window)
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

bool fitsOnAScreen(const QRect& frameRect)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&frameRect](const QScreen* screen) {
        return screen->availableGeometry().contains(frameRect);
    });
}

QMargins placeOnScreen(QWidget& window, QSize preferred)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    window.ensurePolished();
    const QRect available = screen->availableGeometry();
    const QMargins frame = windowFrame(window);
    window.resize(fittedWindowSize(preferred, window.minimumSizeHint(), available, frame));
    window.move(centredWindowPosition(window.size(), available, frame));
    return frame;
}

void FirstPlacement::beforeShow(QWidget& window, QSize preferred)
{
    if (placed_)
        return;
    placed_ = true;
    assumedFrame_ = placeOnScreen(window, preferred);
}

void FirstPlacement::shown(QWidget& window)
{
    const std::optional<QMargins> assumed = std::exchange(assumedFrame_, std::nullopt);
    const QWindow* handle = window.windowHandle();
    if (assumed && handle && !handle->frameMargins().isNull() && handle->frameMargins() != *assumed)
        placeOnScreen(window, window.size());
}

}  // namespace tarnik
