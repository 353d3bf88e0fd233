#pragma once
// Everything the transfer engine asks of the main window. The GUI implements
// it; tests implement it with a recording fake. Any of these calls may let
// the window process events (and so re-enter the engine); the engine defers
// such nested work until the outer step returns.

#include <string_view>

namespace tarnwick {

enum class LedColour { Red, Green };

// Colour values of the port LED (0x00BBGGRR).
inline constexpr unsigned kLedRedValue = 0x0000FF;
inline constexpr unsigned kLedGreenValue = 0x00FF00;
constexpr unsigned ledColourValue(LedColour c) {
  return c == LedColour::Green ? kLedGreenValue : kLedRedValue;
}

class EngineWindow {
 public:
  virtual ~EngineWindow() = default;

  // Left and right panel of the status bar; an empty text clears a panel.
  virtual void setStatus(std::string_view left, std::string_view right) = 0;
  virtual void setLedColour(LedColour colour) = 0;
  // Disable / enable the rig-side controls (Save, Save As, Open, Store to
  // Rig, the rig table, the band box).
  virtual void lockRigSide() = 0;
  virtual void unlockRigSide() = 0;
  // Show the sort indicators of both tables.
  virtual void showSortIndicators() = 0;
  // Modal message box with an exclamation icon and an OK button.
  virtual void showModalError(std::string_view text, std::string_view caption) = 0;
  // Let the window repaint now (the tables changed under it).
  virtual void repaint() = 0;
  // A store has ended: it wrote what it could, or stopped because no backup
  // could be made. The engine's storeProblems() say what was not stored. A
  // store that times out ends in the time-out report instead.
  virtual void storeEnded() {}
  // Engine::linkUp() changed: Store to Rig and tuning follow it.
  virtual void linkChanged(bool up) { (void)up; }
};

}  // namespace tarnwick
