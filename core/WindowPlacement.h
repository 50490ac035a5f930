// Where a window goes: the saved bounds or the design size centred on the
// screen, made reachable on the screens there are, and when the bounds a
// window ends at are kept.
#pragma once

#include <vector>

#include "core/Settings.h"

namespace cavel {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};
enum class WindowState { Normal, Minimized, Maximized };

// The saved bounds when FormPosMem[k] is set and none of them is -1, else
// the design size centred on the screen (division truncating toward zero).
Rect PlaceWindow(const HeldSettings& s, int k, int designWidth, int designHeight, int screenWidth, int screenHeight);
// Centred on the screen with the design size.
Rect CentreWindow(int designWidth, int designHeight, int screenWidth, int screenHeight);
// Copies the bounds into the held values of window k when it is in the normal state.
void CaptureWindowBounds(HeldSettings& s, int k, const Rect& bounds, WindowState state);

// What a window's frame adds around its client area; `top` holds the title bar.
struct FrameMargins {
  int left = 0, top = 0, right = 0, bottom = 0;
};
// How much of a title bar's width must lie on a screen for it to be grabbed.
inline constexpr int kTitleGrip = 64;
// Bounds (frame position, client size) at which a window can be reached on
// `screens`, the available areas of the screens (task bars and panels left
// out):
//  - a window larger than its screen (the one it overlaps most, else the
//    nearest) is fitted to it and moved inside it;
//  - a window whose title bar lies on no screen (its top edge outside every
//    screen, or less than kTitleGrip pixels of its width on the screen that
//    holds its top edge) is moved inside its screen, whole;
//  - any other window keeps its bounds, even when part of it is off screen.
// With no screens the bounds stay as they are.
Rect ReachableBounds(const Rect& bounds, const std::vector<Rect>& screens, const FrameMargins& frame);

// Where a window was placed: the bounds the placement rule gave and the
// bounds it got once made reachable.
struct Placement {
  Rect wanted;
  Rect applied;
};
// CaptureWindowBounds, except that a window still at bounds that were made
// reachable leaves the held bounds as they were: moving a window onto the
// screen does not overwrite where the user last put it, only the user's own
// moving or resizing does.
void CapturePlacedBounds(HeldSettings& s, int k, const Placement& placed, const Rect& bounds, WindowState state);

}  // namespace cavel
