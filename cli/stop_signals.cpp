#include "cli/stop_signals.h"

namespace tarnwick::cli {
namespace {

constexpr int kSignals[4] = {SIGTERM, SIGHUP, SIGINT, SIGPIPE};
volatile std::sig_atomic_t g_received = 0;

extern "C" void noteSignal(int signal) {
  g_received = signal;
}

}  // namespace

StopSignals::StopSignals() {
  g_received = 0;
  for (int i = 0; i < 4; ++i) {
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // The default comes back after the first: a second signal ends the
    // program. Not for SIGPIPE, whose default would end it at the next
    // write, with the port still open.
    action.sa_flags = kSignals[i] == SIGPIPE ? 0 : SA_RESETHAND;
    ::sigaction(kSignals[i], &action, &old_[i]);
  }
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 4; ++i) ::sigaction(kSignals[i], &old_[i], nullptr);
}

int StopSignals::received() {
  return g_received;
}

const char* stopSignalName(int signal) {
  switch (signal) {
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    case SIGINT:
      return "SIGINT";
    case SIGPIPE:
      return "SIGPIPE";
    default:
      return "a signal";
  }
}

}  // namespace tarnwick::cli
