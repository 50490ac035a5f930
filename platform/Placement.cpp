#include "platform/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace cavel {

QSize PrimaryScreenSize() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size() : QSize();
}

Rect BoundsOf(const QWidget& window) {
  return Rect{window.x(), window.y(), window.width(), window.height()};
}

WindowState StateOf(const QWidget& window) {
  if (window.isMinimized()) return WindowState::Minimized;
  if (window.isMaximized() || window.isFullScreen()) return WindowState::Maximized;
  return WindowState::Normal;
}

void ApplyBounds(QWidget& window, const Rect& bounds) {
  window.move(bounds.left, bounds.top);
  window.resize(bounds.width, bounds.height);
}

void PlaceWidget(QWidget& window, const HeldSettings& s, int k, QSize design, QSize screen) {
  ApplyBounds(window, PlaceWindow(s, k, design.width(), design.height(), screen.width(), screen.height()));
}

void CentreWidget(QWidget& window, QSize design, QSize screen) {
  ApplyBounds(window, CentreWindow(design.width(), design.height(), screen.width(), screen.height()));
}

void CaptureWidgetBounds(HeldSettings& s, int k, const QWidget& window) {
  CaptureWindowBounds(s, k, BoundsOf(window), StateOf(window));
}

}  // namespace cavel
