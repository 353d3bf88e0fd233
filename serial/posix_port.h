#pragma once
// One serial device on a POSIX file descriptor: exclusive open, line
// settings, one-byte reads that return at once, writes with a time-out,
// modem lines and queue counts. Main thread only. Calls return 0 or an errno
// value; what to report is the caller's decision.

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "serial/line_settings.h"
#include "serial/port_lock.h"
#include "serial/serial_types.h"

namespace tarnwick {

// CTS, DSR, ring and carrier of an open device as modemst bits; 0 when the
// device has no modem lines.
std::uint32_t readModemStatus(int fd);

class PosixPort {
 public:
  PosixPort() = default;
  ~PosixPort() { close(); }
  PosixPort(const PosixPort&) = delete;
  PosixPort& operator=(const PosixPort&) = delete;

  // Opens `path` for exclusive use (lock file, TIOCEXCL, flock). Throws
  // SerialOpenError when the device is absent, not a terminal, or held.
  void open(const std::string& path, const std::string& lockDirectory);
  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  // Raw 8-bit line with the given settings; reads return at once.
  int configure(const LineSettings& settings);

  // Devices without modem lines (a pseudo-terminal) ignore these.
  void setDtr(bool on) { setModemLines(kDtr, on); }
  void setRts(bool on) { setModemLines(kRts, on); }
  // The input lines as modemst bits; 0 where the device has none.
  std::uint32_t modemStatus();

  // 1 and `b` set when a byte was read, 0 when nothing is queued, -1 with
  // `err` set on failure.
  int readByte(std::uint8_t& b, int& err);
  // Writes all bytes, waiting at most `timeout` for room; ETIMEDOUT when time
  // ran out before everything was taken (the rest is not written).
  int write(std::span<const std::uint8_t> data, std::chrono::milliseconds timeout);
  // Waits at most `timeout` until the device can take output (or fails).
  void waitWritable(std::chrono::milliseconds timeout);

  int inputQueue(int& count);
  int outputQueue(int& count);

  // Drops what is queued both ways, so that closing does not wait for output
  // that flow control holds back.
  int purge();
  // Closes the device and removes the lock file; 0 or errno of close.
  int close();

 private:
  enum ModemLine { kDtr, kRts };
  void setModemLines(ModemLine line, bool on);

  int fd_ = -1;
  std::string path_;
  PortLock lock_;
};

}  // namespace tarnwick
