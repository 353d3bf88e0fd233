#pragma once
// Where the main window goes at start-up: the stored normal geometry, the
// fresh-start size centred on a screen, and a position left on a screen
// that is no longer there pulled back onto one that is.

#include <optional>
#include <span>

namespace tarnwick {

struct ScreenRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool operator==(const ScreenRect&) const = default;
};

// Window states as stored; a minimised window is stored and restored as normal.
inline constexpr int kWindowNormal = 0;
inline constexpr int kWindowMinimised = 1;
inline constexpr int kWindowMaximised = 2;

inline constexpr int kFreshWindowWidth = 800;
inline constexpr int kFreshWindowHeight = 600;
// Smaller stored sizes are not what anyone left the window at: they count as unset.
inline constexpr int kMinStoredWindowSide = 100;

// The window's normal (not maximised) geometry as stored; an unset value
// takes its fresh-start value.
struct WindowPlacement {
  std::optional<int> left;
  std::optional<int> top;
  std::optional<int> width;
  std::optional<int> height;
  int state = kWindowNormal;

  bool operator==(const WindowPlacement&) const = default;
};

// 800 by 600 (or the screen, when smaller) centred on the screen.
ScreenRect freshWindowBounds(const ScreenRect& screen);

// The window unchanged while its top edge can still be grabbed on some
// screen; otherwise moved (and shrunk to fit) onto the screen it overlaps
// most, or onto the first screen when it overlaps none. No screens: unchanged.
ScreenRect keepOnScreen(const ScreenRect& window, std::span<const ScreenRect> screens);

// The bounds to give the window at start-up: the stored values, the unset
// ones from the fresh-start bounds on the first (primary) screen, kept on a
// screen.
ScreenRect restoredWindowBounds(const WindowPlacement& stored, std::span<const ScreenRect> screens);

}  // namespace tarnwick
