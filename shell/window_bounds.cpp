#include "shell/window_bounds.h"

#include <algorithm>

namespace tarnwick {
namespace {

// How much of the window's top edge must show on a screen for the user to
// grab it: this wide (or the whole window, when narrower), this tall.
constexpr int kGrabWidth = 100;
constexpr int kGrabHeight = 30;

int overlap(int a0, int a1, int b0, int b1) {
  return std::max(0, std::min(a1, b1) - std::max(a0, b0));
}

long long overlapArea(const ScreenRect& a, const ScreenRect& b) {
  return static_cast<long long>(overlap(a.left, a.right(), b.left, b.right())) *
         overlap(a.top, a.bottom(), b.top, b.bottom());
}

bool topEdgeOn(const ScreenRect& w, const ScreenRect& s) {
  const bool rowOnScreen = w.top >= s.top && w.top + kGrabHeight <= s.bottom();
  return rowOnScreen &&
         overlap(w.left, w.right(), s.left, s.right()) >= std::min(w.width, kGrabWidth);
}

}  // namespace

ScreenRect freshWindowBounds(const ScreenRect& screen) {
  const int width = std::min(kFreshWindowWidth, screen.width);
  const int height = std::min(kFreshWindowHeight, screen.height);
  return {.left = screen.left + (screen.width - width) / 2,
          .top = screen.top + (screen.height - height) / 2,
          .width = width,
          .height = height};
}

ScreenRect keepOnScreen(const ScreenRect& window, std::span<const ScreenRect> screens) {
  if (screens.empty()) return window;
  for (const ScreenRect& s : screens) {
    if (topEdgeOn(window, s)) return window;
  }
  const ScreenRect* best = &screens.front();
  long long bestArea = 0;
  for (const ScreenRect& s : screens) {
    if (const long long area = overlapArea(window, s); area > bestArea) {
      best = &s;
      bestArea = area;
    }
  }
  ScreenRect moved = window;
  moved.width = std::min(window.width, best->width);
  moved.height = std::min(window.height, best->height);
  moved.left = std::clamp(window.left, best->left, best->right() - moved.width);
  moved.top = std::clamp(window.top, best->top, best->bottom() - moved.height);
  return moved;
}

ScreenRect restoredWindowBounds(const WindowPlacement& stored,
                                std::span<const ScreenRect> screens) {
  ScreenRect bounds{0, 0, kFreshWindowWidth, kFreshWindowHeight};
  if (!screens.empty()) bounds = freshWindowBounds(screens.front());
  bounds.left = stored.left.value_or(bounds.left);
  bounds.top = stored.top.value_or(bounds.top);
  bounds.width = stored.width.value_or(bounds.width);
  bounds.height = stored.height.value_or(bounds.height);
  return keepOnScreen(bounds, screens);
}

}  // namespace tarnwick
