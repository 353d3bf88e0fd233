#pragma once
// A plain CI-V controller for the end-to-end tests: opens the device like a
// serial port, writes a frame and collects the echo and the answer, with a
// deadline so that no test can hang. It shares nothing with the simulator.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwick::sim::test {

// Opens a device as a raw, non-blocking serial line, at `speed` when given.
inline int openRawLine(const std::string& path, std::optional<speed_t> speed = std::nullopt) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) throw std::runtime_error("cannot open " + path);
  termios tio{};
  ::tcgetattr(fd, &tio);
  ::cfmakeraw(&tio);
  if (speed) ::cfsetspeed(&tio, *speed);
  ::tcsetattr(fd, TCSANOW, &tio);
  return fd;
}

class Controller {
 public:
  using Bytes = std::vector<unsigned char>;
  using Clock = std::chrono::steady_clock;

  struct Result {
    bool echoed = false;          // our own frame came back
    std::optional<Bytes> answer;  // the first frame not sent by us
    bool hangup = false;          // the device went away
    int reads = 0;                // read() calls that returned data
    std::chrono::milliseconds elapsed{0};
  };

  explicit Controller(const std::string& path) : fd_(openRawLine(path, B19200)) {
    ::tcflush(fd_, TCIOFLUSH);
  }
  ~Controller() {
    if (fd_ >= 0) ::close(fd_);
  }
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  // Sends one frame and waits for its echo and an answer, or the deadline.
  Result transact(const Bytes& request, std::chrono::milliseconds timeout) {
    Result result;
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    if (::write(fd_, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
      result.hangup = true;
      return result;
    }
    while (!result.answer && !result.hangup) {
      unsigned char buffer[256];
      short events = 0;
      const std::optional<ssize_t> n = readBefore(deadline, buffer, events);
      if (!n) break;
      if (*n > 0) {
        ++result.reads;
        for (ssize_t i = 0; i < *n; ++i) take(buffer[i], result);
      } else if (*n == 0 || (errno != EAGAIN && errno != EINTR)) {
        result.hangup = true;
      } else if (events & (POLLHUP | POLLERR)) {
        result.hangup = true;
      }
    }
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return result;
  }

  // Writes bytes as they stand, e.g. half a frame.
  bool send(const Bytes& bytes) {
    return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

  // Every frame that arrives, our echo included, until `count` have or the
  // deadline passes.
  std::vector<Bytes> collect(std::size_t count, std::chrono::milliseconds timeout) {
    std::vector<Bytes> frames;
    const auto deadline = Clock::now() + timeout;
    while (frames.size() < count) {
      unsigned char buffer[256];
      short events = 0;
      const std::optional<ssize_t> n = readBefore(deadline, buffer, events);
      if (!n) break;
      for (ssize_t i = 0; i < *n; ++i) {
        if (auto done = hunt(buffer[i])) frames.push_back(std::move(*done));
      }
    }
    return frames;
  }

 private:
  // Waits for the line until `deadline`, then reads once into `buffer`:
  // read()'s result (errno tells a failure), with the events the wait saw.
  // Nothing when the deadline passed first or the wait failed.
  std::optional<ssize_t> readBefore(Clock::time_point deadline, std::span<unsigned char> buffer,
                                    short& events) {
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd p{fd_, POLLIN, 0};
      const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0) return std::nullopt;
      events = p.revents;
      return ::read(fd_, buffer.data(), buffer.size());
    }
  }

  // Frame hunt: FE FE, then everything up to FD. Bytes outside a frame are
  // noise and are skipped.
  std::optional<Bytes> hunt(unsigned char b) {
    if (frame_.empty()) {
      if (b == 0xFE) frame_.push_back(b);
      return std::nullopt;
    }
    if (frame_.size() == 1) {
      if (b == 0xFE) {
        frame_.push_back(b);
      } else {
        frame_.clear();
      }
      return std::nullopt;
    }
    if (frame_.size() == 2 && b == 0xFE) return std::nullopt;
    frame_.push_back(b);
    if (b != 0xFD) return std::nullopt;
    Bytes done;
    done.swap(frame_);
    return done;
  }

  void take(unsigned char b, Result& result) {
    std::optional<Bytes> frame = hunt(b);
    if (!frame) return;
    Bytes done = std::move(*frame);
    if (done.size() >= 6 && done[3] == kOwnAddress) {
      result.echoed = true;
    } else if (done.size() >= 6 && !result.answer) {
      result.answer = std::move(done);
    }
  }

  static constexpr unsigned char kOwnAddress = 0xE0;
  int fd_;
  Bytes frame_;
};

}  // namespace tarnwick::sim::test
