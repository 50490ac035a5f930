// The merge window: the lines of a second file inserted before or after the current line.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm9 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 380;
  explicit TForm9(MainHost& main);
};

}  // namespace cavel
