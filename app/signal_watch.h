#pragma once
// SIGTERM, SIGHUP and SIGINT (a logout, a shutdown, kill, Ctrl+C) brought onto the main
// thread: the handler only writes the signal's number into a socket, and a
// notifier on its other end calls back from the event loop, where the window
// may do anything. A second signal before the first was served ends the
// program at once: the main thread is stuck and would never see either.

#include <QObject>
#include <csignal>
#include <functional>

class QSocketNotifier;

namespace tarnwick::app {

class SignalWatch : public QObject {
  Q_OBJECT

 public:
  // The handlers stay until the object goes; the last one made receives.
  explicit SignalWatch(std::function<void(int signal)> received, QObject* parent = nullptr);
  ~SignalWatch() override;

 private:
  std::function<void(int)> received_;
  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  struct sigaction old_[3];
};

}  // namespace tarnwick::app
