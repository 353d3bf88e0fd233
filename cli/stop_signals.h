#pragma once
// SIGTERM, SIGHUP and SIGINT while the command holds the port: instead of
// dying with the port's lock file left behind, the command notes the signal,
// stops waiting for the radio and unwinds, closing the port and removing its
// lock. A second such signal ends the program at once.

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
  struct sigaction old_[3];
};

// "SIGTERM", "SIGHUP", "SIGINT".
const char* stopSignalName(int signal);

}  // namespace tarnwick::cli
