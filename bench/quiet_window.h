#pragma once
// The engine's window for benchmarks: it only notes how a command ended.

#include <string>
#include <string_view>

#include "civ/engine_window.h"

namespace tarnwick::bench {

struct QuietWindow : EngineWindow {
  std::string address = "56";
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
  std::string addressText() const override { return address; }
  std::string bandText() const override { return {}; }
};

}  // namespace tarnwick::bench
