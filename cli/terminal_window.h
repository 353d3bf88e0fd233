#pragma once
// The engine's window on a terminal: status texts become progress lines on
// standard error (a progress bar on a terminal), and the time-out box
// becomes a recorded failure for the command to report.

#include <optional>
#include <ostream>
#include <string>

#include "civ/engine_window.h"

namespace tarnwick::cli {

class TerminalWindow : public EngineWindow {
 public:
  // `bar`: draw a progress bar (on a terminal) rather than one line per status.
  TerminalWindow(std::ostream& err, bool bar) : err_(err), bar_(bar) {}

  // The memory or row number the bar counts to (0: no bar).
  void setTotal(int total) { total_ = total; }

  void setStatus(std::string_view left, std::string_view right) override;
  void setLedColour(LedColour colour) override {
    answered_ = answered_ || colour == LedColour::Green;
  }
  // A terminal has no controls to lock.
  void lockRigSide() override {}
  void unlockRigSide() override {}
  void showSortIndicators() override {}
  void showModalError(std::string_view text, std::string_view caption) override;
  void repaint() override {}

  bool ready() const { return ready_; }
  // The number of the time-out the engine reported, if any.
  std::optional<int> timeoutNumber() const { return timeout_; }
  bool finished() const { return ready_ || timeout_.has_value() || stopped_; }
  // A store stopped because what it would overwrite could not be backed up.
  bool backupFailed() const { return backupFailed_; }
  // Whether the radio has answered a memory read at least once.
  bool radioAnswered() const { return answered_; }
  // Clears the result for the next engine command.
  void resetResult();
  // Ends a progress bar line before other output.
  void endProgress();

 private:
  std::ostream& err_;
  bool bar_;
  int total_ = 0;
  bool ready_ = false;
  bool stopped_ = false;
  bool backupFailed_ = false;
  bool barOpen_ = false;
  std::optional<int> timeout_;
  std::string lastLine_;
  bool answered_ = false;
};

}  // namespace tarnwick::cli
