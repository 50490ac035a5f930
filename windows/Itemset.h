// The row order editor: whole lines moved, cut, copied, pasted, deleted and inserted.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm3 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  explicit TForm3(MainHost& main);
};

}  // namespace cavel
