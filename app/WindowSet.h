// The seventeen windows of the program, made once in their fixed order, the
// main window first (its FormCreate loads the command-line file before the
// others exist), and kept until the end of the run.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/AppPorts.h"
#include "app/Main.h"

namespace cavel {

class WindowSet {
 public:
  WindowSet(const AppPorts& ports, const std::optional<std::string>& commandLineFile);
  ~WindowSet();
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  TForm1& Main() const { return *form1_; }
  const TForm1::Children& Children() const { return form1_->forms; }

 private:
  // The other windows are children of the main window and go with it.
  std::unique_ptr<TForm1> form1_;
};

}  // namespace cavel
