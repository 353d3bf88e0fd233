#pragma once
// The one thread that runs every handler and every port call. The serial
// receive thread reaches it only through this interface; the GUI implements it
// with its event loop, tests and command-line tools with EventLoop.

#include <chrono>
#include <functional>

namespace tarnwick {

class MainThread {
 public:
  virtual ~MainThread() = default;

  // Queues fn to run on the main thread and returns at once. Safe from any thread.
  virtual void post(std::function<void()> fn) = 0;

  // Runs fn on the main thread and waits until it has run. On the main thread
  // itself fn runs at once. If the main thread goes away first, fn never runs
  // and the call returns.
  virtual void invokeBlocking(std::function<void()> fn) = 0;

  // Runs whatever is due now (posted work, timers) and returns; for waits that
  // must keep the program responsive. Main thread only.
  virtual void processPendingEvents() = 0;

  // Calls fn once on the main thread after `delay`, unless cancelled first. Main thread only.
  virtual int startSingleShot(std::chrono::milliseconds delay, std::function<void()> fn) = 0;
  virtual void cancelSingleShot(int id) = 0;  // unknown or expired ids are ignored
};

}  // namespace tarnwick
