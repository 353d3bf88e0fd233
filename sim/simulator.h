#pragma once
// The radio on a pseudo-terminal: echoes every byte like the one-wire bus,
// answers through a Radio, paces its output at a baud rate and injects the
// transport faults (noise, split answers, a device that goes away). Runs on a
// thread of its own, so a test can drive it in-process.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sim/bus_station.h"
#include "sim/frame_parser.h"
#include "sim/radio.h"

namespace tarnwick::sim {

struct SimulatorOptions {
  std::optional<Byte> address;  // the model's own when not given
  int baud = 0;                 // 0: as fast as the pseudo-terminal takes it
  Faults faults;
  bool noise = false;         // random bytes (never FE) between echo and answer
  bool splitAnswers = false;  // answers written in pieces with short pauses
  bool echo = true;           // false: a USB link with CI-V Echo Back off
  // Understands the controller only when its line is set to `baud`; at any
  // other speed its bytes are echoed but heard as garbage.
  bool strictSpeed = false;
  int transceiveMs = 0;  // > 0: a frequency frame to every station this often
  // A second radio of the same model on the bus at this address, which
  // another program at E0 polls every busPollMs: its answers go to E0 too.
  std::optional<Byte> busRadio;
  int busPollMs = 100;
  // Its memories; when not given, neighbourState() of the first radio's.
  std::optional<RadioState> busRadioState;
  std::uint32_t seed = 1;  // for noise and split sizes, so runs repeat
  std::string linkPath;    // a symlink to the device, replaced if it exists
  std::string logPath;     // one line per frame in and out
};

enum class LogDirection { In, Out, Noise };

struct LogEntry {
  LogDirection direction;
  Bytes bytes;
  // When its last byte was fully on the line: heard by the radio (In), or
  // reaching the controller (Out, Noise).
  std::chrono::steady_clock::time_point at{};
};

// "IN FE FE ..." / "OUT FE FE ..." / "NOISE 12 34": the log file's lines.
std::string logLine(const LogEntry& entry);

class Simulator {
 public:
  Simulator(const RadioModel& model, RadioState state, SimulatorOptions options = {});
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Opens the pseudo-terminal and starts serving. Throws std::system_error.
  void start();
  // Stops serving and closes the device; safe to call more than once.
  void stop();

  // The path a controller opens, e.g. /dev/pts/7.
  const std::string& devicePath() const { return devicePath_; }
  // False once stopped, or once the close fault has taken the device away.
  bool deviceOpen() const { return deviceOpen_; }

  RadioState state() const;
  std::vector<LogEntry> frameLog() const;
  int requestCount() const;
  // The radio switched off (still echoing, as the bus does) or on again.
  void setSilent(bool silent);

 private:
  using Clock = std::chrono::steady_clock;

  struct PendingByte {
    Byte value;
    Clock::time_point due;
    bool fromRadio;  // not the echo of the controller's own byte
  };

  void run();
  void onFrame(const Frame& frame, const Bytes& raw);
  void hear(const Bytes& bytes, Clock::time_point received);
  // Each byte takes `byteTime` on the line, by default the radio's; the
  // echo is the controller's own signal, not the radio's.
  void queue(const Bytes& bytes, Clock::time_point earliest,
             std::optional<Clock::duration> byteTime = std::nullopt, bool echo = false);
  void queueAnswer(const Bytes& answer, Clock::time_point earliest);
  void queueTransceive(Clock::time_point earliest);
  void queueBusPoll(Clock::time_point earliest);
  enum class WriteResult { Done, Blocked, Failed };
  WriteResult writeDue();
  // The one byte left to send is due within the lead the timer is set ahead by.
  bool lastByteNear(Clock::time_point now) const;
  bool armTimer();
  void record(LogDirection direction, const Bytes& bytes, Clock::time_point at);
  void closeDevice();

  const RadioModel& model_;
  SimulatorOptions options_;
  Clock::duration byteTime_{};

  mutable std::mutex mutex_;  // guards radio_ and log_
  Radio radio_;
  std::vector<LogEntry> log_;
  std::FILE* logFile_ = nullptr;

  // Used by the serving thread only.
  FrameParser parser_;
  std::deque<PendingByte> output_;
  Clock::time_point lineFree_{};
  // The controller's line to the radio: a request takes its time to arrive
  // even when nothing is echoed.
  Clock::time_point inboundFree_{};
  Clock::time_point heardAt_{};  // when the byte being parsed had fully arrived
  Clock::time_point armed_{};    // what the timer is set to; epoch when disarmed
  std::mt19937 random_;
  bool closing_ = false;
  bool transceiveDue_ = false;      // waits for the request being heard to end
  Clock::time_point reportEnds_{};  // when the last dial report is out
  std::optional<BusStation> busStation_;
  bool busPollDue_ = false;          // likewise
  Clock::time_point busTurnEnds_{};  // when the other program has its answer

  int master_ = -1;
  int slave_ = -1;  // kept open so the master never sees a hang-up between controllers
  int wake_ = -1;
  int timer_ = -1;  // fires when the next paced byte is due
  int transceiveTimer_ = -1;
  int busTimer_ = -1;
  std::string devicePath_;
  std::atomic<bool> deviceOpen_{false};
  std::thread thread_;
};

}  // namespace tarnwick::sim
