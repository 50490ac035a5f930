#include "core/WindowPlacement.h"

#include <algorithm>

namespace cavel {

namespace {

bool ValidWindow(int k) { return k >= 1 && k <= 16; }

}  // namespace

Rect PlaceWindow(const HeldSettings& s, int k, int designWidth, int designHeight, int screenWidth, int screenHeight) {
  if (ValidWindow(k) && s.FormPosMem[k] && s.FormLeft[k] != -1 && s.FormTop[k] != -1 && s.FormWidth[k] != -1 &&
      s.FormHeight[k] != -1) {
    // A size of zero or less (a hand-edited file) would give a window that
    // cannot be seen or grabbed; such bounds count as unknown.
    if (s.FormWidth[k] > 0 && s.FormHeight[k] > 0)
      return {s.FormLeft[k], s.FormTop[k], s.FormWidth[k], s.FormHeight[k]};
  }
  return CentreWindow(designWidth, designHeight, screenWidth, screenHeight);
}

Rect CentreWindow(int designWidth, int designHeight, int screenWidth, int screenHeight) {
  return {(screenWidth - designWidth) / 2, (screenHeight - designHeight) / 2, designWidth, designHeight};
}

void CaptureWindowBounds(HeldSettings& s, int k, const Rect& bounds, WindowState state) {
  if (!ValidWindow(k) || state != WindowState::Normal) return;
  s.FormLeft[k] = bounds.left;
  s.FormTop[k] = bounds.top;
  s.FormWidth[k] = bounds.width;
  s.FormHeight[k] = bounds.height;
}

namespace {

struct Span {
  long long from = 0, to = 0;  // [from, to)
};

long long Overlap(Span a, Span b) { return std::max(0LL, std::min(a.to, b.to) - std::max(a.from, b.from)); }
long long Gap(Span a, Span b) { return std::max({0LL, b.from - a.to, a.from - b.to}); }
Span Across(const Rect& r) { return {r.left, static_cast<long long>(r.left) + r.width}; }
Span Down(const Rect& r) { return {r.top, static_cast<long long>(r.top) + r.height}; }

// The screen a frame is on: the one it overlaps most, else the nearest (the
// first of equals).
const Rect& ScreenOf(const Rect& outer, const std::vector<Rect>& screens) {
  const Rect* best = &screens.front();
  long long bestArea = -1, bestGap = 0;
  for (const Rect& s : screens) {
    const long long area = Overlap(Across(outer), Across(s)) * Overlap(Down(outer), Down(s));
    const long long gx = Gap(Across(outer), Across(s)), gy = Gap(Down(outer), Down(s));
    const long long gap = gx * gx + gy * gy;
    if (area > bestArea || (area == 0 && bestArea == 0 && gap < bestGap)) {
      best = &s;
      bestArea = area;
      bestGap = gap;
    }
  }
  return *best;
}

bool TitleBarOn(const Rect& outer, int titleHeight, const Rect& screen) {
  const Span down = Down(screen);
  const long long top = outer.top, bottom = top + std::max(titleHeight, 1);
  if (top < down.from || bottom > down.to) return false;
  return Overlap(Across(outer), Across(screen)) >= std::min<long long>(kTitleGrip, outer.width);
}

int Inside(int pos, int size, int from, int length) {
  return size >= length ? from : std::clamp(pos, from, from + length - size);
}

}  // namespace

Rect ReachableBounds(const Rect& bounds, const std::vector<Rect>& screens, const FrameMargins& frame) {
  if (screens.empty()) return bounds;
  const int extraWidth = frame.left + frame.right, extraHeight = frame.top + frame.bottom;
  const Rect outer{bounds.left, bounds.top, bounds.width + extraWidth, bounds.height + extraHeight};
  const Rect& screen = ScreenOf(outer, screens);
  const bool tooLarge = outer.width > screen.width || outer.height > screen.height;
  const bool reachable = std::any_of(screens.begin(), screens.end(),
                                     [&](const Rect& s) { return TitleBarOn(outer, frame.top, s); });
  if (reachable && !tooLarge) return bounds;
  Rect r = bounds;
  r.width = std::max(1, std::min(bounds.width, screen.width - extraWidth));
  r.height = std::max(1, std::min(bounds.height, screen.height - extraHeight));
  r.left = Inside(bounds.left, r.width + extraWidth, screen.left, screen.width);
  r.top = Inside(bounds.top, r.height + extraHeight, screen.top, screen.height);
  return r;
}

void CapturePlacedBounds(HeldSettings& s, int k, const Placement& placed, const Rect& bounds, WindowState state) {
  if (placed.applied != placed.wanted && bounds == placed.applied) return;
  CaptureWindowBounds(s, k, bounds, state);
}

}  // namespace cavel
