#include "support/MainDriver.h"

#include <QAction>
#include <QByteArray>
#include <QMenu>
#include <QPushButton>
#include <QtGlobal>

#include "app/Main.h"
#include "windows/MainGrid.h"
#include "windows/StringGrid.h"

namespace cavel::test {

namespace {

template <class Control>
Control* Found(Control* control, std::string_view name) {
  if (!control) qFatal("the main window has no command %.*s", static_cast<int>(name.size()), name.data());
  return control;
}

}  // namespace

QAction* Action(const TForm1& m, std::string_view name) { return Found(m.Commands().Action(name), name); }

QMenu* Menu(const TForm1& m, std::string_view name) { return Found(m.Commands().Menu(name), name); }

QPushButton* Button(const TForm1& m, std::string_view name) { return Found(m.Commands().Button(name), name); }

QAction* Recent(const TForm1& m, int i) { return Action(m, "MenuFileOpen" + std::to_string(i)); }

bool IsEnabled(const TForm1& m, std::string_view name) {
  const CommandTable& table = m.Commands();
  if (QPushButton* button = table.Button(name)) return button->isEnabled();
  if (QMenu* menu = table.Menu(name)) return menu->menuAction()->isEnabled();
  return Action(m, name)->isEnabled();
}

std::string GridCell(TForm1& m, int col, int row) {
  if (col == 0 && row == 0) return m.Grid().CornerText();
  const StringGridModel& model = *m.Grid().Model();
  QVariant v;
  if (row == 0)
    v = model.headerData(col - 1, Qt::Horizontal, StringGridModel::CellBytesRole);
  else if (col == 0)
    v = model.headerData(row - 1, Qt::Vertical, StringGridModel::CellBytesRole);
  else
    v = model.index(row - 1, col - 1).data(StringGridModel::CellBytesRole);
  return v.toByteArray().toStdString();
}

}  // namespace cavel::test
