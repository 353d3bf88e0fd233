#include "serial/posix_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "serial/line_speed.h"
#include "serial/serial_errors.h"

namespace tarnwick {

namespace {

int pollMs(std::chrono::milliseconds ms) {
  return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(ms.count(), 0, INT_MAX));
}

}  // namespace

void PosixPort::open(const std::string& path, const std::string& lockDirectory) {
  close();
  PortLock lock = PortLock::acquire(lockDirectory, path);
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw SerialOpenError(path, errno);
  if (!::isatty(fd)) {
    ::close(fd);
    throw SerialOpenError(path, ENOTTY);
  }
  // TIOCEXCL keeps other programs from opening the line at all; flock also
  // covers a second open within this process and by privileged programs.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    throw SerialOpenError(path, err);
  }
  ::ioctl(fd, TIOCEXCL);
  fd_ = fd;
  path_ = path;
  lock_ = std::move(lock);
}

int PosixPort::configure(const LineSettings& s) {
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) return errno;
  fillTermios(tio, s);
  // A driver that refuses part of the settings still gets the speed.
  const int err = ::tcsetattr(fd_, TCSANOW, &tio) == 0 ? 0 : errno;
  const int speedErr = setLineSpeed(fd_, s.baudrate);
  return err ? err : speedErr;
}

void PosixPort::setModemLines(ModemLine line, bool on) {
  if (fd_ < 0) return;
  int bits = line == kDtr ? TIOCM_DTR : TIOCM_RTS;
  ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits);
}

std::uint32_t readModemStatus(int fd) {
  int bits = 0;
  if (fd < 0 || ::ioctl(fd, TIOCMGET, &bits) != 0) return 0;
  std::uint32_t status = 0;
  if (bits & TIOCM_CTS) status |= modemst::kCtsOn;
  if (bits & TIOCM_DSR) status |= modemst::kDsrOn;
  if (bits & TIOCM_RNG) status |= modemst::kRingOn;
  if (bits & TIOCM_CAR) status |= modemst::kRlsdOn;
  return status;
}

std::uint32_t PosixPort::modemStatus() {
  return readModemStatus(fd_);
}

int PosixPort::readByte(std::uint8_t& b, int& err) {
  for (;;) {
    const ssize_t n = ::read(fd_, &b, 1);
    if (n == 1) return 1;
    if (n == 0) return 0;  // a hung-up line reads as end of file
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    err = errno;
    return -1;
  }
}

int PosixPort::write(std::span<const std::uint8_t> data, std::chrono::milliseconds timeout) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + timeout;
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return errno;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return ETIMEDOUT;
    pollfd p{fd_, POLLOUT, 0};
    if (::poll(&p, 1, pollMs(left)) < 0 && errno != EINTR) return errno;
    if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p.revents & POLLOUT)) return EIO;
  }
  return 0;
}

void PosixPort::waitWritable(std::chrono::milliseconds timeout) {
  pollfd p{fd_, POLLOUT, 0};
  ::poll(&p, 1, pollMs(timeout));
}

int PosixPort::inputQueue(int& count) {
  count = 0;
  return ::ioctl(fd_, FIONREAD, &count) == 0 ? 0 : errno;
}

int PosixPort::outputQueue(int& count) {
  count = 0;
  return ::ioctl(fd_, TIOCOUTQ, &count) == 0 ? 0 : errno;
}

int PosixPort::purge() {
  return ::tcflush(fd_, TCIOFLUSH) == 0 ? 0 : errno;
}

int PosixPort::close() {
  if (fd_ < 0) return 0;
  // Other processes may open the line again once it is closed.
  ::ioctl(fd_, TIOCNXCL);
  const int result = ::close(fd_) == 0 ? 0 : errno;
  fd_ = -1;
  path_.clear();
  lock_.release();
  return result;
}

}  // namespace tarnwick
