// The find dialog: the text to find.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm5 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 442, kDesignHeight = 103;
  explicit TForm5(MainHost& main);
};

}  // namespace cavel
