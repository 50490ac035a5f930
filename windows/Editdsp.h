// The zoom view: one value of the record window, enlarged.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm6 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  explicit TForm6(MainHost& main);
};

}  // namespace cavel
