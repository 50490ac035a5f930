// The quote conversion window: double quotes added around or removed from every item.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm10 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 420;
  explicit TForm10(MainHost& main);
};

}  // namespace cavel
