#include "serial/line_event_waiter.h"

#include <linux/serial.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "serial/posix_port.h"

namespace tarnwick {

namespace {

// How often to look at the driver's line counters and at output still queued.
// No event wakes a waiter for those; everything else sleeps in the kernel.
constexpr int kCounterPollMs = 50;
constexpr int kOutputPollMs = 20;

}  // namespace

LineEventWaiter::LineEventWaiter() {
  epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
  if (epollFd_ < 0) throw std::system_error(errno, std::generic_category(), "epoll_create1");
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    const int err = errno;
    ::close(epollFd_);
    throw std::system_error(err, std::generic_category(), "eventfd");
  }
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = wakeFd_;
  ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &ev);
}

LineEventWaiter::~LineEventWaiter() {
  ::close(wakeFd_);
  ::close(epollFd_);
}

bool LineEventWaiter::readCounters(Counters& c, int& err) const {
  serial_icounter_struct ic{};
  if (::ioctl(fd_, TIOCGICOUNT, &ic) != 0) {
    err = errno;
    return false;
  }
  c = Counters{ic.cts, ic.dsr, ic.rng, ic.dcd, ic.brk};
  return true;
}

int LineEventWaiter::attach(int fd) {
  std::lock_guard lock(mutex_);
  fd_ = fd;
  gone_ = false;
  hangupPending_ = false;
  txPending_ = false;
  ++attachment_;
  int err = 0;
  // Pseudo-terminals keep no counters; their waiter sleeps until data comes.
  countersKept_ = readCounters(last_, err);
  epoll_event ev{};
  ev.events = EPOLLIN | EPOLLET;
  ev.data.fd = fd;
  if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev) != 0) return errno;
  return 0;
}

void LineEventWaiter::detach() {
  {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0 && !gone_) ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd_, nullptr);
    fd_ = -1;
    gone_ = false;
    hangupPending_ = false;
    txPending_ = false;
    ++attachment_;
  }
  wake();
}

void LineEventWaiter::noteWrite() {
  {
    std::lock_guard lock(mutex_);
    if (fd_ < 0 || gone_) return;
    txPending_ = true;
  }
  wake();
}

void LineEventWaiter::wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

std::uint64_t LineEventWaiter::attachment() const {
  std::lock_guard lock(mutex_);
  return attachment_;
}

int LineEventWaiter::timeoutMs() const {
  if (fd_ < 0 || gone_) return -1;
  if (txPending_) return kOutputPollMs;
  if (countersKept_) return kCounterPollMs;
  return -1;
}

LineEventWaiter::Result LineEventWaiter::wait(LineEventSet& out, int& err) {
  out = LineEventSet{};
  for (;;) {
    int timeout;
    {
      std::lock_guard lock(mutex_);
      if (fd_ < 0) return Result::released;
      timeout = timeoutMs();
      out.attachment = attachment_;
      if (hangupPending_ && !gone_) {
        ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd_, nullptr);
        gone_ = true;
        hangupPending_ = false;
        err = EIO;
        return Result::failed;
      }
    }
    epoll_event evs[4];
    const int n = ::epoll_wait(epollFd_, evs, 4, timeout);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return Result::failed;
    }
    bool woken = false, data = false, hangup = false;
    for (int i = 0; i < n; ++i) {
      if (evs[i].data.fd == wakeFd_) {
        std::uint64_t count;
        [[maybe_unused]] ssize_t r = ::read(wakeFd_, &count, sizeof count);
        woken = true;
      } else {
        if (evs[i].events & (EPOLLHUP | EPOLLERR)) hangup = true;
        if (evs[i].events & EPOLLIN) data = true;
      }
    }

    std::lock_guard lock(mutex_);
    if (fd_ < 0) return Result::released;
    out.attachment = attachment_;
    if (gone_) {
      if (woken) return Result::released;
      continue;
    }
    int failure = 0;
    if (hangup) failure = EIO;
    if (data) out.events |= lineev::kRxChar;
    if (failure && data) {
      // What arrived with the hang-up goes to the main thread first; the
      // failure is reported by the next wait.
      hangupPending_ = true;
      return Result::events;
    }
    if (!failure && countersKept_) {
      Counters now;
      if (readCounters(now, failure)) {
        if (now.cts != last_.cts) out.events |= lineev::kCts;
        if (now.dsr != last_.dsr) out.events |= lineev::kDsr;
        if (now.dcd != last_.dcd) out.events |= lineev::kRlsd;
        if (now.brk != last_.brk) out.events |= lineev::kBreak;
        if (now.rng != last_.rng) out.events |= lineev::kRing;
        last_ = now;
      }
    }
    if (!failure && txPending_) {
      int queued = 0;
      if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) {
        failure = errno;
      } else if (queued == 0) {
        out.events |= lineev::kTxEmpty;
        txPending_ = false;
      }
    }
    if (failure) {
      // The device is gone: say so once, then wait only to be released.
      ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd_, nullptr);
      gone_ = true;
      err = failure;
      return Result::failed;
    }
    if (out.events & (lineev::kCts | lineev::kDsr | lineev::kRlsd | lineev::kRing)) {
      out.modemStatus = readModemStatus(fd_);
    }
    if (out.events) return Result::events;
    if (woken) return Result::released;
  }
}

}  // namespace tarnwick
