// The zoom view: one value of the record window in a large, read-only,
// wrapping text area, at the record window's place and size.
#pragma once

#include <QString>
#include <optional>

#include "core/WindowPlacement.h"
#include "windows/ChildWindow.h"

class QPlainTextEdit;
class QPushButton;

namespace cavel {

class TForm6 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  static constexpr int kPanelHeight = 25;
  static constexpr int kButtonWidth = 100;
  static constexpr int kFontHeight = 19;
  explicit TForm6(MainHost& main);

  QWidget* Panel1 = nullptr;
  QPushButton* BtnCancel = nullptr;
  QPlainTextEdit* Memo1 = nullptr;

  // Shows `value` (without one the memo keeps the text of the previous
  // zoom) at `bounds`, in the normal state, modally.
  void FormDisp(const std::optional<QString>& value, const Rect& bounds);

  void BtnCancelClick();
  bool FormKeyDown(QKeyEvent& key);
};

}  // namespace cavel
