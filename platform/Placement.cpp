#include "platform/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace cavel {

ScreenSet DesktopScreens() {
  ScreenSet set;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return set;
  set.primary = primary->size();
  set.available.push_back(primary->availableGeometry());
  for (QScreen* screen : QGuiApplication::screens())
    if (screen != primary) set.available.push_back(screen->availableGeometry());
  return set;
}

Rect BoundsOf(const QWidget& window) { return Rect{window.x(), window.y(), window.width(), window.height()}; }

Rect ToRect(const QRect& r) { return Rect{r.x(), r.y(), r.width(), r.height()}; }

WindowState StateOf(const QWidget& window) {
  if (window.isMinimized()) return WindowState::Minimized;
  if (window.isMaximized() || window.isFullScreen()) return WindowState::Maximized;
  return WindowState::Normal;
}

void ApplyBounds(QWidget& window, const Rect& bounds) {
  window.move(bounds.left, bounds.top);
  window.resize(bounds.width, bounds.height);
}

FrameMargins FrameOf(const QWidget& window) {
  const QRect frame = window.frameGeometry(), client = window.geometry();
  if (frame == client) return kAssumedFrame;
  return FrameMargins{client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                      frame.bottom() - client.bottom()};
}

Placement ApplyReachable(QWidget& window, const Rect& wanted, const ScreenSet& screens) {
  constexpr Qt::WindowStates kNotNormal = Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
  if (window.windowState() & kNotNormal) window.setWindowState(window.windowState() & ~kNotNormal);
  std::vector<Rect> areas;
  for (const QRect& r : screens.available) areas.push_back(ToRect(r));
  const Placement placed{wanted, ReachableBounds(wanted, areas, FrameOf(window))};
  ApplyBounds(window, placed.applied);
  return placed;
}

Placement PlaceWidget(QWidget& window, const HeldSettings& s, int k, QSize design, const ScreenSet& screens) {
  return ApplyReachable(
      window, PlaceWindow(s, k, design.width(), design.height(), screens.primary.width(), screens.primary.height()),
      screens);
}

Placement CentreWidget(QWidget& window, QSize design, const ScreenSet& screens) {
  return ApplyReachable(
      window, CentreWindow(design.width(), design.height(), screens.primary.width(), screens.primary.height()),
      screens);
}

void CaptureWidgetBounds(HeldSettings& s, int k, const QWidget& window, const Placement& placed) {
  CapturePlacedBounds(s, k, placed, BoundsOf(window), StateOf(window));
}

}  // namespace cavel
