#pragma once
// The main thread of the core over Qt's event loop: posted work and the
// serial component's hand-overs run as queued calls on the thread of the
// application object, and the waits the core asks for process pending
// events without user input, so that no click changes a table in the middle
// of an engine step.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <map>

#include "serial/main_thread.h"

namespace tarnwick::app {

class QtMainThread : public QObject, public MainThread {
  Q_OBJECT

 public:
  // Must be created on the thread that runs the Qt event loop.
  explicit QtMainThread(QObject* parent = nullptr);

  // Where a failure of posted work goes; nothing thrown reaches Qt's loop.
  void setErrorHandler(std::function<void(const std::exception&)> handler) {
    errorHandler_ = std::move(handler);
  }

  void post(std::function<void()> fn) override;
  void invokeBlocking(std::function<void()> fn) override;
  void processPendingEvents() override;
  int startSingleShot(std::chrono::milliseconds delay, std::function<void()> fn) override;
  void cancelSingleShot(int id) override;

 private:
  // Runs fn, handing what it throws to the error handler.
  void run(const std::function<void()>& fn);

  std::function<void(const std::exception&)> errorHandler_;
  std::map<int, QTimer*> timers_;
  int nextTimer_ = 1;
};

}  // namespace tarnwick::app
