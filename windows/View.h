// The record window: one line of the Document as labelled fields, viewed or edited.
#pragma once

#include "windows/ChildWindow.h"

namespace cavel {

class TForm2 : public ChildWindow {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 604, kDesignHeight = 415;
  explicit TForm2(MainHost& main);
};

}  // namespace cavel
