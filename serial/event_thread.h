#pragma once
// The receive thread of the serial component: it waits for line events and
// hands each one to the main thread, waiting until it has been handled there.
// While the port is closed it idles in 100 ms pauses.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "serial/line_event_waiter.h"
#include "serial/main_thread.h"
#include "serial/serial_types.h"

namespace tarnwick {

// What the receive thread hands over; called on the main thread only.
class LineEventSink {
 public:
  virtual ~LineEventSink() = default;
  // One event (a single lineev bit) with the input line states read with it.
  virtual void lineEvent(std::uint32_t event, std::uint32_t modemStatus) = 0;
  // Waiting for events failed, or the device went away, while the port was open.
  virtual void waitFailed(int err) = 0;
};

class TEventThread {
 public:
  static constexpr std::chrono::milliseconds kIdlePause{100};
  static constexpr std::chrono::milliseconds kCloseWaitLimit{750};

  TEventThread(MainThread& mainThread, LineEventSink& sink);
  // Stops the thread; a hand-over still queued on the main thread is dropped.
  ~TEventThread();
  TEventThread(const TEventThread&) = delete;
  TEventThread& operator=(const TEventThread&) = delete;

  LineEventWaiter& waiter() { return waiter_; }

  // Main thread: the port is open and attached to the waiter. Starts the
  // thread the first time, ends an idle pause otherwise.
  void portOpened();
  // Main thread, before the device is closed: releases the wait and drops a
  // hand-over that has not begun to run.
  void releaseWait();
  // Main thread, after the device is closed: waits until the thread has left
  // its wait, at most kCloseWaitLimit. A thread that is waiting for the main
  // thread cannot move on before this returns, so that case ends at once.
  void waitUntilOutOfWait();

  // Hands each event of `set` to the sink, in the order CTS, DSR, carrier,
  // output empty, break, ring, received data, each by a blocking call to the
  // main thread. Stops when the port closes or `set` belongs to an earlier
  // opening. Runs on the receive thread; tests may call it from any thread
  // other than the main thread.
  void handleEvents(const LineEventSet& set);

  bool started() const { return thread_.joinable(); }

 private:
  struct HandOver;
  void run();
  // Runs fn on the main thread and waits for it; false when it was not run.
  bool handOver(std::uint64_t attachment, std::function<void()> fn);

  MainThread& mainThread_;
  LineEventSink& sink_;
  LineEventWaiter waiter_;

  std::mutex mutex_;  // guards the flags below
  std::condition_variable changed_;
  bool open_ = false;
  bool terminate_ = false;
  bool inWait_ = false;
  std::shared_ptr<HandOver> current_;  // the hand-over in progress, if any
  std::thread thread_;
};

}  // namespace tarnwick
