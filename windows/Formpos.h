// The window-position settings: which windows reopen where they were.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm11 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 392, kDesignHeight = 193;
  explicit TForm11(MainHost& main);
};

}  // namespace cavel
