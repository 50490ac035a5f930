// The main window as the tests reach it: its menus, menu items and tool
// buttons by name, from its command table, and the bytes of the grid's
// cells. A name the table does not hold ends the test program.
#pragma once

#include <string>
#include <string_view>

class QAction;
class QMenu;
class QPushButton;

namespace cavel {
class TForm1;
}

namespace cavel::test {

QAction* Action(const TForm1& m, std::string_view name);
QMenu* Menu(const TForm1& m, std::string_view name);
QPushButton* Button(const TForm1& m, std::string_view name);
// The recent-file item of slot i (1..9).
QAction* Recent(const TForm1& m, int i);
// Whether the menu, menu item or button `name` is enabled.
bool IsEnabled(const TForm1& m, std::string_view name);

// The bytes of grid cell (col, row), row 0 and column 0 included.
std::string GridCell(TForm1& m, int col, int row);

}  // namespace cavel::test
