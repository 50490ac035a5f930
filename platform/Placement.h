// Applying the placement rules of core/Settings.h to widgets.
//
// Left and top are the position of the window's frame on the screen (what
// QWidget::move sets and QWidget::pos reports), width and height the size
// of its client area (QWidget::resize / size). Bounds captured this way and
// applied again put the window back exactly where it was.
#pragma once

#include <QSize>
#include <functional>

#include "core/Settings.h"

class QWidget;

namespace cavel {

// The primary screen's size in pixels (an empty size when there is none).
QSize PrimaryScreenSize();
using ScreenSizeSource = std::function<QSize()>;

Rect BoundsOf(const QWidget& window);
WindowState StateOf(const QWidget& window);
void ApplyBounds(QWidget& window, const Rect& bounds);

// Window k: its saved bounds when FormPosMem[k] is set and they are known,
// else its design size centred on the screen.
void PlaceWidget(QWidget& window, const HeldSettings& s, int k, QSize design, QSize screen);
// The design size centred on the screen (the settings, find and jump dialogs).
void CentreWidget(QWidget& window, QSize design, QSize screen);
// Copies the window's bounds into the held values of window k when it is in
// the normal state.
void CaptureWidgetBounds(HeldSettings& s, int k, const QWidget& window);

}  // namespace cavel
