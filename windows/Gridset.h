// The grid display settings.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm13 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 392, kDesignHeight = 193;
  explicit TForm13(MainHost& main);
};

}  // namespace cavel
