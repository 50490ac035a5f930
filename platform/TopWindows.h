// Finding another application's top-level window by its window class and
// bringing it to the front. On X11 the window class is the class part of
// the WM_CLASS property; without an X11 display nothing is ever found.
#pragma once

#include <string>

namespace cavel {

class TopWindows {
 public:
  virtual ~TopWindows() = default;
  // Looks for a top-level window whose class is `windowClass`; when there is
  // one, raises and activates it and returns true.
  virtual bool RaiseByClass(const std::string& windowClass) = 0;
};

class X11TopWindows : public TopWindows {
 public:
  // `display` is the X11 display name; empty for $DISPLAY. Nothing is done
  // when the application does not run on X11 (offscreen, Wayland).
  explicit X11TopWindows(std::string display = {}) : display_(std::move(display)) {}
  bool RaiseByClass(const std::string& windowClass) override;

 private:
  std::string display_;
};

}  // namespace cavel
