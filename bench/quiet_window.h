#pragma once
// The engine's window for benchmarks, fuzz targets and tests that run the
// engine without a user: it shows nothing and only notes how a command ended.

#include <string>
#include <string_view>

#include "civ/engine_window.h"

namespace tarnwick::bench {

struct QuietWindow : EngineWindow {
  bool ready = false;
  bool timedOut = false;
  void setStatus(std::string_view left, std::string_view) override {
    ready = left == "Ready";
    timedOut = timedOut || left.rfind("Timeout", 0) == 0;
  }
  void setLedColour(LedColour) override {}
  void lockRigSide() override {}
  void unlockRigSide() override {}
  void showSortIndicators() override {}
  void showModalError(std::string_view, std::string_view) override {}
  void repaint() override {}
};

}  // namespace tarnwick::bench
