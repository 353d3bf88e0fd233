#pragma once
// What the benchmarks against the radio simulator share: the line time of
// bytes on the bus, a radio with its default memories, and a bare client
// that sends requests with nothing of the program in between.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/memory_file.h"
#include "sim/simulator.h"

namespace tarnwick::bench {

// A start bit, eight data bits and a stop bit.
inline constexpr int kBitsPerByte = 10;

inline double lineSeconds(std::size_t bytes, int baud) {
  return static_cast<double>(bytes * kBitsPerByte) / baud;
}

// What the radio's log says of a read at `baud`: the bytes on the line, the
// requests as the radio heard them, the first request and the last answer,
// and the gaps between an answer delivered and the next request fully
// heard, beyond the request's own line time: the controller's turn.
struct LineTimes {
  std::size_t lineBytes = 0;
  std::vector<sim::Bytes> requests;
  std::chrono::steady_clock::time_point firstIn{}, lastOut{};
  double meanGapMs = 0;
  double maxGapMs = 0;
};

inline LineTimes lineTimesOf(const std::vector<sim::LogEntry>& log, int baud) {
  LineTimes times;
  double gaps = 0;
  int counted = 0;
  for (const sim::LogEntry& e : log) {
    if (e.direction == sim::LogDirection::Noise) continue;
    times.lineBytes += e.bytes.size();
    if (e.direction != sim::LogDirection::In) {
      times.lastOut = e.at;
      continue;
    }
    if (times.requests.empty()) times.firstIn = e.at;
    if (times.lastOut != std::chrono::steady_clock::time_point{}) {
      const double gap = std::chrono::duration<double, std::milli>(e.at - times.lastOut).count() -
                         lineSeconds(e.bytes.size(), baud) * 1000.0;
      gaps += gap;
      times.maxGapMs = std::max(times.maxGapMs, gap);
      ++counted;
    }
    times.requests.push_back(e.bytes);
  }
  times.meanGapMs = counted > 0 ? gaps / counted : 0;
  return times;
}

// The named model with its default memories, paced at `baud`, already
// serving.
inline std::unique_ptr<sim::Simulator> startRadio(std::string_view modelName, int baud,
                                                  bool echo = true, sim::Faults faults = {}) {
  const sim::RadioModel& model = *sim::findRadioModel(modelName);
  sim::SimulatorOptions options;
  options.baud = baud;
  options.echo = echo;
  options.faults = std::move(faults);
  auto radio = std::make_unique<sim::Simulator>(
      model, sim::parseMemoryFile(sim::defaultMemoryText(model), model), std::move(options));
  radio->start();
  return radio;
}

// Writes each request the moment the previous answer is in, on a raw line of
// `device`, and waits for the end byte of the echo (when there is one) and of
// the answer. The seconds from the first request to the last answer; 0 when
// an answer does not come, since a run that waited out a timeout is no
// measurement.
inline double bareClientSeconds(const std::string& device, const std::vector<sim::Bytes>& requests,
                                bool echo) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
  if (fd < 0) return 0;
  termios t{};
  ::tcgetattr(fd, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(fd, TCSANOW, &t);
  const auto start = std::chrono::steady_clock::now();
  bool complete = true;
  for (const sim::Bytes& request : requests) {
    complete = ::write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size());
    int ends = 0;
    while (complete && ends < (echo ? 2 : 1)) {
      std::uint8_t buf[256];
      pollfd p{fd, POLLIN, 0};
      const ssize_t n = ::poll(&p, 1, 2000) > 0 ? ::read(fd, buf, sizeof buf) : -1;
      complete = n > 0;
      for (ssize_t i = 0; i < n; ++i) ends += buf[i] == 0xFD ? 1 : 0;
    }
    if (!complete) break;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ::close(fd);
  return complete ? seconds : 0;
}

}  // namespace tarnwick::bench
