// The recent-file count setting.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm12 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 392, kDesignHeight = 193;
  explicit TForm12(MainHost& main);
};

}  // namespace cavel
