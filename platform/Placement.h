// Applying the placement rules of core/WindowPlacement.h to widgets.
//
// Left and top are the position of the window's frame on the screen (what
// QWidget::move sets and QWidget::pos reports), width and height the size
// of its client area (QWidget::resize / size). Bounds captured this way and
// applied again put the window back exactly where it was.
#pragma once

#include <QRect>
#include <QSize>
#include <functional>
#include <vector>

#include "core/WindowPlacement.h"

class QWidget;

namespace cavel {

// The screens as placing a window needs them: the primary screen's size
// (windows are centred on it) and every screen's available area, task
// bars and panels left out, the primary's first.
struct ScreenSet {
  QSize primary;
  std::vector<QRect> available;
};
// The desktop's screens (an empty set when there is none).
ScreenSet DesktopScreens();
using ScreensSource = std::function<ScreenSet()>;

Rect BoundsOf(const QWidget& window);
Rect ToRect(const QRect& r);
WindowState StateOf(const QWidget& window);
void ApplyBounds(QWidget& window, const Rect& bounds);
// The frame the window manager puts around the window; before it has said
// (a window not shown yet), kAssumedFrame: a title bar of 30 pixels and
// borders of 4.
inline constexpr FrameMargins kAssumedFrame{4, 30, 4, 4};
FrameMargins FrameOf(const QWidget& window);

// Window k: its saved bounds when FormPosMem[k] is set and they are known,
// else its design size centred on the primary screen; then made reachable
// on the screens (ReachableBounds). A window left maximized or minimized
// is made normal first, so that it opens at those bounds and Ctrl+[
// restores it to them.
Placement PlaceWidget(QWidget& window, const HeldSettings& s, int k, QSize design, const ScreenSet& screens);
// The design size centred on the primary screen, made reachable (the
// settings, find and jump dialogs).
Placement CentreWidget(QWidget& window, QSize design, const ScreenSet& screens);
// Bounds made reachable on the screens, applied as PlaceWidget does.
Placement ApplyReachable(QWidget& window, const Rect& wanted, const ScreenSet& screens);
// Copies the window's bounds into the held values of window k when it is in
// the normal state and the user moved or resized it since `placed`
// (CapturePlacedBounds).
void CaptureWidgetBounds(HeldSettings& s, int k, const QWidget& window, const Placement& placed);

}  // namespace cavel
