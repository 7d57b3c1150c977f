#pragma once

// Where a top-level window opens: at its preferred size where the screen's
// available area (the desktop less its panels) has room for it, smaller where
// it has not, and centred on that area, frame and title bar included.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace tarnik {

// The client size: `preferred`, cut to what `available` leaves once `frame` is
// taken, but never below `minimum`.
QSize fittedWindowSize(QSize preferred, QSize minimum, const QRect& available,
                       const QMargins& frame);

// The frame's top-left (the position QWidget::move takes for a window) that
// puts the centre of a window of client size `size` in `frame` on the centre of
// `available`.
QPoint centredWindowPosition(QSize size, const QRect& available, const QMargins& frame);

// Resizes (when `fit`) and moves `window` on its screen by the rules above. The
// frame is the platform's when it knows it, else an estimate from the style.
void placeOnScreen(QWidget& window, bool fit);

}  // namespace tarnik
