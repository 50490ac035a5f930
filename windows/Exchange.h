// The item editor: items reordered, deleted or added in every line.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm8 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  explicit TForm8(MainHost& main);
};

}  // namespace cavel
