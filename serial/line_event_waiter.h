#pragma once
// Waits for the line events of one open device on the receive thread: data
// arriving (edge-triggered, so data left unread is not announced again), the
// output queue running empty, and, where the driver counts them, changes of
// CTS, DSR and carrier, breaks and rings. A device that goes away (hang-up,
// adapter pulled) is reported once and then no longer waited on.

#include <cstdint>
#include <mutex>

#include "serial/serial_types.h"

namespace tarnwick {

class LineEventWaiter {
 public:
  enum class Result { events, released, failed };

  LineEventWaiter();  // throws std::system_error without epoll or eventfd
  ~LineEventWaiter();
  LineEventWaiter(const LineEventWaiter&) = delete;
  LineEventWaiter& operator=(const LineEventWaiter&) = delete;

  // Main thread. Starts waiting on an open device; 0 or errno.
  int attach(int fd);
  // Main thread. Stops using the device before it is closed, and releases a
  // wait in progress.
  void detach();
  // Main thread. Output was queued: report when it has gone out.
  void noteWrite();
  // Any thread. Makes a wait in progress return `released`.
  void wake();

  // Which attachment events belong to; changes with every attach and detach.
  std::uint64_t attachment() const;

  // Receive thread. Blocks until events occur (`events`), the waiter is woken
  // or nothing is attached (`released`), or the wait or the device fails
  // (`failed`, with `err`).
  Result wait(LineEventSet& out, int& err);

 private:
  // Line counters of the driver, when it keeps them.
  struct Counters {
    int cts = 0, dsr = 0, rng = 0, dcd = 0, brk = 0;
  };
  bool readCounters(Counters& c, int& err) const;
  int timeoutMs() const;

  int epollFd_ = -1;
  int wakeFd_ = -1;
  mutable std::mutex mutex_;  // guards what follows; the device is closed only after detach
  int fd_ = -1;
  bool gone_ = false;
  bool hangupPending_ = false;  // a hang-up came with data; reported by the next wait
  bool countersKept_ = false;
  bool txPending_ = false;
  Counters last_;
  std::uint64_t attachment_ = 0;
};

}  // namespace tarnwick
