// The new file window: a new file from up to 64 item titles.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm7 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  explicit TForm7(MainHost& main);
};

}  // namespace cavel
