#pragma once

// Where a top-level window opens: at its preferred size where the screen's
// available area (the desktop less its panels) has room for it, smaller where
// it has not, and centred on that area, frame and title bar included.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

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

// The frame around `window`: the window system's once it has framed the window,
// before that an estimate from the style (a title bar and a thin border).
QMargins windowFrame(const QWidget& window);

// Whether `frameRect` (a window with its frame) lies wholly inside the available
// area of one of the screens present now.
bool fitsOnAScreen(const QRect& frameRect);

// Resizes `window` to `preferred` cut by the rules above and moves its frame to
// the centre of the available area of its screen. Called before the window is
// first shown, the position is the frame's even where the window manager's
// frame is not known yet: the window system then puts the frame's top-left
// there, whatever frame is drawn.
// Returns the frame it assumed.
QMargins placeOnScreen(QWidget& window, QSize preferred);

// The placing above as a window's first showing does it: placed by placeOnScreen
// just before it is first shown, and placed again once shown when the window
// system then tells a frame other than the one assumed. Later showings keep the
// size and place the user left.
class FirstPlacement {
public:
    // From the window's setVisible(true), before the base class's.
    void beforeShow(QWidget& window, QSize preferred);
    // From the window's showEvent.
    void shown(QWidget& window);

private:
    bool placed_ = false;
    std::optional<QMargins> assumedFrame_;
};

}  // namespace tarnik
