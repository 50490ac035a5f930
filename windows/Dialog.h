// The miscellaneous settings: the question before Esc closes a window.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm14 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 392, kDesignHeight = 193;
  explicit TForm14(MainHost& main);
};

}  // namespace cavel
