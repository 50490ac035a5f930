// A row of buttons across the top of a window, packed from the left: the
// main window's tool bar and the conversion window's bar.
#pragma once

#include <string_view>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace cavel {

// The bar's layout, set on `owner` when it is given (otherwise the caller
// adds it to its own layout).
QHBoxLayout* NewButtonBar(QWidget* owner = nullptr);

// A button `height` pixels high at the end of `bar`, a child of `parent`.
QPushButton* AddBarButton(QHBoxLayout& bar, QWidget* parent, const char* name, std::string_view caption, int height);

}  // namespace cavel
