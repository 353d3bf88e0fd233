#include "app/signal_watch.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>

#include <cerrno>
#include <iterator>

namespace tarnwick::app {
namespace {

// Ctrl+C in the terminal the program was started from ends it as kill does.
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
volatile std::sig_atomic_t g_writeFd = -1;
volatile std::sig_atomic_t g_pending = 0;

extern "C" void forwardSignal(int signal) {
  // A second signal while the first still waits for the event loop (the
  // main thread is stuck somewhere): nothing is served any more, so end.
  if (g_pending != 0) {
    ::signal(signal, SIG_DFL);
    ::raise(signal);
    return;
  }
  g_pending = 1;
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  if (g_writeFd >= 0) {
    const ssize_t written = ::write(g_writeFd, &byte, 1);
    (void)written;  // a full socket already holds a signal to act on
  }
  errno = saved;
}

}  // namespace

SignalWatch::SignalWatch(std::function<void(int)> received, QObject* parent)
    : QObject(parent), received_(std::move(received)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0) return;
  notifier_ = new QSocketNotifier(fds_[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    unsigned char byte = 0;
    g_pending = 0;
    while (::read(fds_[1], &byte, 1) == 1) {
      if (received_) received_(byte);
    }
  });
  g_writeFd = fds_[0];
  g_pending = 0;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(kSignals[i], &action, &old_[i]);
  }
}

SignalWatch::~SignalWatch() {
  if (fds_[0] < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &old_[i], nullptr);
  if (g_writeFd == fds_[0]) g_writeFd = -1;
  ::close(fds_[0]);
  ::close(fds_[1]);
}

}  // namespace tarnwick::app
