// The jump dialog: the line number to jump to.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm4 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 342, kDesignHeight = 103;
  explicit TForm4(MainHost& main);
};

}  // namespace cavel
