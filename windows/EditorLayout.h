// The shape the row order editor, the item editor and the merge window
// share: a 50-pixel panel across the top holding buttons at fixed places,
// and a single-selection list in "System" 13 pixels with 18-pixel rows
// filling the rest of the window.
#pragma once

#include <cstddef>
#include <string_view>

#include "windows/RowList.h"

class QAbstractItemModel;
class QPushButton;
class QWidget;

namespace cavel {

inline constexpr int kEditorPanelHeight = 50;
inline constexpr int kEditorListFontHeight = 13;
inline constexpr int kEditorButtonWidth = 100, kEditorButtonHeight = 25;

struct EditorLayout {
  QWidget* panel = nullptr;
  RowList* list = nullptr;
};

// How many bytes of a line can show within `rowWidth` pixels in the
// editor lists' font: no more are decoded for painting (laying out text
// that lies beyond the row costs most of a repaint on long lines).
std::size_t EditorDisplayBytes(int rowWidth);

// Lays out `window` as panel over list; the list shows `model`.
EditorLayout MakeEditorLayout(QWidget& window, QAbstractItemModel* model);

// A button on the panel at (left, top), 25 pixels high.
QPushButton* PanelButton(QWidget* panel, const char* name, std::string_view caption, int left, int top,
                         int width = kEditorButtonWidth);

}  // namespace cavel
