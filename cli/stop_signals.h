#pragma once
// SIGTERM, SIGHUP, SIGINT and SIGPIPE while a command holds the port or runs
// the print helper: instead of dying with the port's lock file left behind,
// the command notes the signal, stops waiting and unwinds, closing the port
// and removing its lock. A second SIGTERM, SIGHUP or SIGINT ends the program
// at once; SIGPIPE (a reader such as `head -1` gone) never does: a write to
// the closed pipe fails instead, and the command ends as it would.

#include <csignal>

namespace tarnwick::cli {

class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The signal received since the handlers went in, or 0.
  static int received();

 private:
  struct sigaction old_[4];
};

// "SIGTERM", "SIGHUP", "SIGINT", "SIGPIPE".
const char* stopSignalName(int signal);

}  // namespace tarnwick::cli
