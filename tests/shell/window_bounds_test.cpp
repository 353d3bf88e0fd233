#include "shell/window_bounds.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

const ScreenRect kLaptop{0, 0, 1366, 768};
const ScreenRect kRightMonitor{1366, -200, 1920, 1080};

TEST(WindowBounds, FreshStartIsCentredOnTheGivenScreen) {
  EXPECT_EQ(freshWindowBounds(kLaptop), (ScreenRect{283, 84, 800, 600}));
  EXPECT_EQ(freshWindowBounds(kRightMonitor), (ScreenRect{1366 + 560, -200 + 240, 800, 600}));
  // A screen smaller than the window gets all of it.
  EXPECT_EQ(freshWindowBounds({0, 0, 640, 480}), (ScreenRect{0, 0, 640, 480}));
}

TEST(WindowBounds, AWindowWhoseTopEdgeCanBeGrabbedStaysWhereItIs) {
  const std::vector<ScreenRect> screens{kLaptop, kRightMonitor};
  for (const ScreenRect w : {ScreenRect{100, 50, 800, 600},
                             // hangs off the bottom and the left, top edge still there
                             ScreenRect{-700, 700, 800, 600},
                             // across both screens
                             ScreenRect{1000, 10, 800, 600},
                             // above the laptop, on the taller monitor
                             ScreenRect{1400, -150, 800, 600}}) {
    EXPECT_EQ(keepOnScreen(w, screens), w) << w.left << "," << w.top;
  }
}

TEST(WindowBounds, AWindowLeftOnAMonitorThatIsGoneComesBack) {
  // Closed on the right monitor; now only the laptop is there.
  const std::vector<ScreenRect> laptopOnly{kLaptop};
  EXPECT_EQ(keepOnScreen({2000, 100, 800, 600}, laptopOnly), (ScreenRect{566, 100, 800, 600}));
  // Larger than the screen: shrunk to it.
  EXPECT_EQ(keepOnScreen({3000, 0, 1900, 1000}, laptopOnly), (ScreenRect{0, 0, 1366, 768}));
  // Title bar above the top of the screen, the rest visible: pulled down.
  EXPECT_EQ(keepOnScreen({100, -20, 800, 600}, laptopOnly), (ScreenRect{100, 0, 800, 600}));
  // Only a sliver of the top edge shows at the right.
  EXPECT_EQ(keepOnScreen({1300, 100, 800, 600}, laptopOnly), (ScreenRect{566, 100, 800, 600}));
}

TEST(WindowBounds, APulledWindowGoesToTheScreenItOverlapsMost) {
  const std::vector<ScreenRect> screens{kLaptop, kRightMonitor};
  // The top edge is too near the monitor's bottom to grab; only a strip of
  // the window overlaps the monitor, none the laptop.
  EXPECT_EQ(keepOnScreen({2000, 870, 800, 600}, screens), (ScreenRect{2000, 280, 800, 600}));
  // Overlapping nothing: the first (primary) screen.
  EXPECT_EQ(keepOnScreen({-5000, -5000, 800, 600}, screens), (ScreenRect{0, 0, 800, 600}));
  EXPECT_EQ(keepOnScreen({-5000, -5000, 800, 600}, {}), (ScreenRect{-5000, -5000, 800, 600}));
}

TEST(WindowBounds, UnsetStoredValuesComeFromTheFreshStartOnThePrimaryScreen) {
  const std::vector<ScreenRect> screens{kRightMonitor, kLaptop};
  EXPECT_EQ(restoredWindowBounds({}, screens), freshWindowBounds(kRightMonitor));
  WindowPlacement stored;
  stored.width = 1000;
  stored.height = 700;
  // Only a size stored: it keeps the centred position of the fresh start.
  EXPECT_EQ(restoredWindowBounds(stored, screens), (ScreenRect{1366 + 560, -200 + 240, 1000, 700}));
  stored.left = 10;
  stored.top = 20;
  EXPECT_EQ(restoredWindowBounds(stored, screens), (ScreenRect{10, 20, 1000, 700}));
  // A position on no screen any more.
  stored.left = 5000;
  EXPECT_EQ(restoredWindowBounds(stored, screens), (ScreenRect{2286, 20, 1000, 700}));
}

}  // namespace
}  // namespace tarnwick
