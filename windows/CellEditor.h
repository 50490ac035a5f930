// Editing one cell of the grid in place: the edit box laid over the cell,
// and the table view that hands it an input method's composition begun
// while the grid had the focus.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <functional>

namespace cavel {

// The edit box over a cell. It keeps every key it is given, so that none
// reaches the grid or the main window while it is open: Enter asks for
// the value to be written (committed()), except while an input method is
// composing, when Enter belongs to the composition; Esc asks to throw it
// away (cancelled()). Losing the focus to another control or a click
// elsewhere, not to a menu, a message box or another window, is reported
// by left(), after the event that moved the focus.
class CellEditor : public QLineEdit {
  Q_OBJECT
 public:
  explicit CellEditor(QWidget* parent = nullptr);
  // An input method's composition is under way (its preedit text is shown).
  bool Composing() const { return composing_; }

 signals:
  void committed();
  void cancelled();
  void left();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool composing_ = false;
};

// The grid's table view. An input method's events go to `onInputMethod`
// first (it returns true when it took the event). While a composition that
// began in the grid goes on in a cell editor that has not yet got the
// focus (moving the focus in the middle of it would end it),
// ComposeInto(editor) makes the view answer the input method's queries for
// the editor, so that its candidate window stands by the cell.
class GridView : public QTableView {
  Q_OBJECT
 public:
  explicit GridView(QWidget* parent = nullptr);

  std::function<bool(QInputMethodEvent&)> onInputMethod;
  void ComposeInto(QWidget* editor) { composing_ = editor; }
  QWidget* ComposingInto() const { return composing_; }

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 protected:
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  QPointer<QWidget> composing_;
};

}  // namespace cavel
