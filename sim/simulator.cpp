#include "sim/simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "sim/controller_speed.h"

namespace tarnwick::sim {
namespace {

[[noreturn]] void throwErrno(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

constexpr int kBitsPerByte = 10;  // start, eight data bits, stop
constexpr std::size_t kReadChunk = 512;

// Kernel timers wake a thread some 30 microseconds after the time asked for
// (more on a virtual machine). That does not add up over the bytes of a frame,
// since each is due at a fixed time, but the last byte of a transmission is
// the one the controller waits for: it would end every answer late. For that
// byte the loop wakes this much early and waits out the rest on the clock.
constexpr auto kLastByteLead = std::chrono::microseconds(60);

// A timer that fires every `ms` milliseconds; -1 when none can be made.
int periodicTimer(int ms) {
  const int fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  if (fd < 0) return -1;
  itimerspec spec{};
  spec.it_interval.tv_sec = ms / 1000;
  spec.it_interval.tv_nsec = static_cast<long>(ms % 1000) * 1'000'000;
  spec.it_value = spec.it_interval;
  if (timerfd_settime(fd, 0, &spec, nullptr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Reads a timer's expirations so that it can fire again.
void drainTimer(int fd) {
  std::uint64_t expirations = 0;
  [[maybe_unused]] const auto n = ::read(fd, &expirations, sizeof expirations);
}

}  // namespace

std::string logLine(const LogEntry& entry) {
  static constexpr const char* kNames[] = {"IN", "OUT", "NOISE"};
  return std::string(kNames[static_cast<int>(entry.direction)]) + " " + hexText(entry.bytes);
}

Simulator::Simulator(const RadioModel& model, RadioState state, SimulatorOptions options)
    : model_(model),
      options_(std::move(options)),
      radio_(model, std::move(state), options_.faults, options_.address),
      parser_([this](const Frame& frame, const Bytes& raw) { onFrame(frame, raw); }),
      random_(options_.seed) {
  if (options_.busRadio) {
    busStation_.emplace(model,
                        options_.busRadioState.value_or(neighbourState(model, radio_.state())),
                        *options_.busRadio);
  }
  if (options_.baud > 0) {
    byteTime_ = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(kBitsPerByte)) /
                options_.baud;
  }
}

Simulator::~Simulator() {
  stop();
}

void Simulator::start() {
  if (thread_.joinable()) return;
  if (!options_.logPath.empty()) {
    logFile_ = std::fopen(options_.logPath.c_str(), "w");
    if (!logFile_) throwErrno("cannot open log " + options_.logPath);
  }
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0) throwErrno("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) throwErrno("grantpt/unlockpt");
  char name[128];
  if (ptsname_r(master_, name, sizeof name) != 0) throwErrno("ptsname_r");
  devicePath_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY);
  if (slave_ < 0) throwErrno("open " + devicePath_);
  termios tio{};
  if (tcgetattr(slave_, &tio) != 0) throwErrno("tcgetattr");
  cfmakeraw(&tio);
  if (tcsetattr(slave_, TCSANOW, &tio) != 0) throwErrno("tcsetattr");
  if (fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) throwErrno("fcntl");
  wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0) throwErrno("eventfd");
  // A kernel timer on the monotonic clock (the one steady_clock reads): it
  // wakes us tens of microseconds after a byte's due time, where a poll
  // timeout in whole milliseconds would hand each answer over up to a
  // millisecond late.
  timer_ = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  if (timer_ < 0) throwErrno("timerfd_create");
  if (options_.transceiveMs > 0 && (transceiveTimer_ = periodicTimer(options_.transceiveMs)) < 0) {
    throwErrno("transceive timer");
  }
  if (busStation_ && (busTimer_ = periodicTimer(std::max(1, options_.busPollMs))) < 0) {
    throwErrno("bus timer");
  }
  if (!options_.linkPath.empty()) {
    struct stat st {};
    if (lstat(options_.linkPath.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        errno = EEXIST;
        throwErrno(options_.linkPath + " exists and is not a symbolic link");
      }
      ::unlink(options_.linkPath.c_str());
    }
    if (symlink(devicePath_.c_str(), options_.linkPath.c_str()) != 0) {
      throwErrno("symlink " + options_.linkPath);
    }
  }
  deviceOpen_ = true;
  armed_ = {};
  thread_ = std::thread([this] { run(); });
}

void Simulator::stop() {
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wake_, &one, sizeof one);
    thread_.join();
  }
  closeDevice();
  if (wake_ >= 0) ::close(wake_);
  if (timer_ >= 0) ::close(timer_);
  if (transceiveTimer_ >= 0) ::close(transceiveTimer_);
  if (busTimer_ >= 0) ::close(busTimer_);
  wake_ = timer_ = transceiveTimer_ = busTimer_ = -1;
  if (logFile_) std::fclose(logFile_);
  logFile_ = nullptr;
}

void Simulator::closeDevice() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
  if (deviceOpen_.exchange(false) && !options_.linkPath.empty()) {
    ::unlink(options_.linkPath.c_str());
  }
}

RadioState Simulator::state() const {
  std::lock_guard lock(mutex_);
  return radio_.state();
}

std::vector<LogEntry> Simulator::frameLog() const {
  std::lock_guard lock(mutex_);
  return log_;
}

void Simulator::setSilent(bool silent) {
  std::lock_guard lock(mutex_);
  radio_.setSilent(silent);
}

int Simulator::requestCount() const {
  std::lock_guard lock(mutex_);
  return radio_.requestCount();
}

void Simulator::record(LogDirection direction, const Bytes& bytes, Clock::time_point at) {
  std::lock_guard lock(mutex_);
  log_.push_back({direction, bytes, at});
  if (logFile_) {
    std::fprintf(logFile_, "%s\n", logLine(log_.back()).c_str());
    std::fflush(logFile_);
  }
}

void Simulator::queue(const Bytes& bytes, Clock::time_point earliest,
                      std::optional<Clock::duration> byteTime, bool echo) {
  // A byte reaches the other end once its last bit has gone over the line.
  for (Byte b : bytes) {
    const Clock::time_point due = std::max(earliest, lineFree_) + byteTime.value_or(byteTime_);
    output_.push_back({b, due, !echo});
    lineFree_ = due;
  }
}

void Simulator::queueAnswer(const Bytes& answer, Clock::time_point earliest) {
  const auto now = earliest;
  if (options_.noise) {
    std::uniform_int_distribution<int> count(1, 5);
    std::uniform_int_distribution<int> value(0x00, 0xFD);  // anything but a preamble byte
    Bytes noise(static_cast<std::size_t>(count(random_)));
    for (Byte& b : noise) b = static_cast<Byte>(value(random_));
    queue(noise, now);
    record(LogDirection::Noise, noise, lineFree_);
  }
  if (!options_.splitAnswers) {
    queue(answer, now);
    record(LogDirection::Out, answer, lineFree_);
    return;
  }
  std::uniform_int_distribution<int> pieceSize(1, 4);
  std::uniform_int_distribution<int> pauseMs(1, 4);
  std::size_t pos = 0;
  while (pos < answer.size()) {
    const std::size_t n =
        std::min(answer.size() - pos, static_cast<std::size_t>(pieceSize(random_)));
    const Bytes piece(answer.begin() + static_cast<std::ptrdiff_t>(pos),
                      answer.begin() + static_cast<std::ptrdiff_t>(pos + n));
    queue(piece, std::max(now, lineFree_) + std::chrono::milliseconds(pauseMs(random_)));
    pos += n;
  }
  record(LogDirection::Out, answer, lineFree_);
}

void Simulator::queueTransceive(Clock::time_point earliest) {
  transceiveDue_ = false;
  // A report that falls due while the last one is still going out is left
  // out, as a slow line cannot carry more: the next one says the same.
  if (reportEnds_ > earliest) return;
  Bytes frame;
  {
    std::lock_guard lock(mutex_);
    frame = radio_.transceiveFrame();
  }
  queue(frame, earliest);
  record(LogDirection::Out, frame, lineFree_);
  reportEnds_ = lineFree_;
}

void Simulator::queueBusPoll(Clock::time_point earliest) {
  busPollDue_ = false;
  // The other program asks again only once it has its answer.
  if (busTurnEnds_ > earliest) return;
  const BusStation::Exchange turn = busStation_->nextPoll();
  // The other program's request is heard on a bus that echoes; on a USB
  // link without echo only the radio's answer comes through.
  if (options_.echo) {
    queue(turn.request, earliest);
    record(LogDirection::Out, turn.request, lineFree_);
  }
  if (!turn.answer.empty()) {
    queue(turn.answer, earliest);
    record(LogDirection::Out, turn.answer, lineFree_);
  }
  busTurnEnds_ = lineFree_;
}

void Simulator::hear(const Bytes& bytes, Clock::time_point received) {
  // The bus echo comes back before any answer (not on USB with echo off). It
  // is the controller's own signal on the wire, so it keeps the controller's
  // pace, whatever speed the radio listens at.
  const long speed = options_.strictSpeed ? controllerSpeed(slave_) : 0;
  std::optional<Clock::duration> echoByteTime;
  if (speed > 0 && speed != options_.baud) {
    echoByteTime =
        std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(kBitsPerByte)) / speed;
  }
  if (options_.echo) queue(bytes, received, echoByteTime, true);
  if (options_.strictSpeed && speed != options_.baud) return;
  for (Byte b : bytes) {
    inboundFree_ = std::max(received, inboundFree_) + byteTime_;
    heardAt_ = inboundFree_;
    parser_.feed(b);
  }
}

void Simulator::onFrame(const Frame& frame, const Bytes& raw) {
  record(LogDirection::In, raw, heardAt_);
  Reply reply;
  {
    std::lock_guard lock(mutex_);
    reply = radio_.handle(frame);
  }
  if (reply.closeDevice) closing_ = true;
  // A dial report held back while a request was coming in goes out first:
  // the frame after a request is then not its answer.
  if (transceiveDue_ && !closing_) queueTransceive(heardAt_);
  if (busPollDue_ && !closing_) queueBusPoll(heardAt_);
  if (!reply.answer.empty()) queueAnswer(reply.answer, heardAt_);
  // The second radio hears the frame too, and answers after the first.
  if (busStation_ && !closing_) {
    const Bytes other = busStation_->hear(frame);
    if (!other.empty()) {
      queue(other, heardAt_);
      record(LogDirection::Out, other, lineFree_);
    }
  }
}

bool Simulator::lastByteNear(Clock::time_point now) const {
  return output_.size() == 1 && output_.front().due > now &&
         output_.front().due - now <= kLastByteLead;
}

Simulator::WriteResult Simulator::writeDue() {
  auto now = Clock::now();
  if (lastByteNear(now)) {
    const Clock::time_point due = output_.front().due;
    while ((now = Clock::now()) < due) {
    }
  }
  Bytes chunk;
  // A controller set to another speed than the radio's hears the radio's
  // bytes as garbage (framing errors, bits out of place), never a preamble.
  const bool garbled = options_.strictSpeed && controllerSpeed(slave_) != options_.baud;
  for (const PendingByte& p : output_) {
    if (p.due > now) break;
    chunk.push_back(garbled && p.fromRadio ? static_cast<Byte>((p.value ^ 0x5A) & 0x7F) : p.value);
  }
  if (chunk.empty()) return WriteResult::Done;
  const ssize_t n = ::write(master_, chunk.data(), chunk.size());
  if (n < 0) {
    return errno == EAGAIN || errno == EINTR ? WriteResult::Blocked : WriteResult::Failed;
  }
  output_.erase(output_.begin(), output_.begin() + n);
  // The controller is not reading and the terminal's buffer is full.
  return static_cast<std::size_t>(n) < chunk.size() ? WriteResult::Blocked : WriteResult::Done;
}

bool Simulator::armTimer() {
  Clock::time_point next = output_.empty() ? Clock::time_point{} : output_.front().due;
  if (output_.size() == 1) next -= kLastByteLead;
  if (next == armed_) return true;
  itimerspec spec{};  // all zero disarms
  if (!output_.empty()) {
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(next.time_since_epoch()).count();
    spec.it_value.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    spec.it_value.tv_nsec = static_cast<long>(ns % 1'000'000'000);
  }
  if (timerfd_settime(timer_, TFD_TIMER_ABSTIME, &spec, nullptr) != 0) return false;
  armed_ = next;
  return true;
}

void Simulator::run() {
  Byte buffer[kReadChunk];
  bool blocked = false;
  while (true) {
    // Everything due goes out now; the timer wakes us for the next byte, so
    // each one reaches the controller when its last bit would have.
    if (!output_.empty()) {
      const WriteResult written = writeDue();
      if (written == WriteResult::Failed) break;
      blocked = written == WriteResult::Blocked;
    }
    if (closing_ && output_.empty()) break;
    if (!blocked && !armTimer()) break;
    pollfd fds[5] = {{wake_, POLLIN, 0},
                     {master_, static_cast<short>(closing_ ? 0 : POLLIN), 0},
                     {timer_, POLLIN, 0},
                     {transceiveTimer_, POLLIN, 0},
                     {busTimer_, POLLIN, 0}};
    if (blocked) fds[1].events |= POLLOUT;
    if (::poll(fds, 5, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents & POLLIN) break;
    if (fds[1].revents & (POLLERR | POLLNVAL)) break;
    if (fds[2].revents & POLLIN) {
      drainTimer(timer_);
      armed_ = {};  // spent: the next byte needs the timer set again
    }
    if (fds[3].revents & POLLIN) {
      drainTimer(transceiveTimer_);
      // A radio does not talk over a frame it is hearing; it reports once
      // the request has ended, ahead of its answer.
      transceiveDue_ = true;
      if (parser_.idle() && !closing_) queueTransceive(Clock::now());
    }
    if (fds[4].revents & POLLIN) {
      drainTimer(busTimer_);
      // The other program waits for a free line too.
      busPollDue_ = true;
      if (parser_.idle() && !closing_) queueBusPoll(Clock::now());
    }
    if (fds[1].revents & POLLIN) {
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) {
        hear(Bytes(buffer, buffer + n), Clock::now());
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        break;
      }
    }
  }
  if (closing_) closeDevice();
}

}  // namespace tarnwick::sim
