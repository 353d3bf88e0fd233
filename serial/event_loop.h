#pragma once
// A small main-thread loop for tests and command-line programs: posted work,
// blocking calls from other threads, and timers (the engine's 1000 ms tick).
// The thread that creates the loop is its main thread and must be the one that
// runs it.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "serial/main_thread.h"

namespace tarnwick {

class EventLoop : public MainThread {
 public:
  using Clock = std::chrono::steady_clock;
  using TimerId = int;

  EventLoop();
  // Work still queued is dropped; threads waiting in invokeBlocking return.
  ~EventLoop() override;
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  void post(std::function<void()> fn) override;
  void invokeBlocking(std::function<void()> fn) override;
  void processPendingEvents() override;
  int startSingleShot(std::chrono::milliseconds delay, std::function<void()> fn) override;
  void cancelSingleShot(int id) override;

  // Calls fn every `interval` (or once, when repeat is false) while the loop
  // runs. Main thread only. A callback is not re-entered while it runs, even
  // when it processes pending events itself.
  TimerId addTimer(std::chrono::milliseconds interval, std::function<void()> fn,
                   bool repeat = true);
  void removeTimer(TimerId id);

  // Runs until quit().
  void run();
  void runFor(std::chrono::milliseconds duration);
  // Runs until done() holds (tested after each round of work, and every few
  // milliseconds) or the timeout passes; returns the last value of done().
  // quit() does not end it.
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
  // Ends run() (any thread). A later run starts afresh.
  void quit();

  bool onLoopThread() const { return std::this_thread::get_id() == owner_; }

 private:
  struct Timer {
    std::chrono::milliseconds interval;
    Clock::time_point due;
    std::function<void()> fn;
    bool repeat = true;
    bool running = false;
  };

  // Runs posted work and due timers; true when anything ran.
  bool runPending();
  bool runDueTimers();
  // Sleeps until work is posted, a timer is due, `limit` passes or (for run)
  // quit() is called.
  void waitForWork(Clock::time_point limit, bool untilQuit);

  std::thread::id owner_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  bool quit_ = false;
  std::map<TimerId, Timer> timers_;  // main thread only
  TimerId nextTimer_ = 1;
};

}  // namespace tarnwick
