// The simulator's line pacing, byte by byte over a real pseudo-terminal: no
// byte reaches the controller before the line could have carried it, the
// echo leads, the answer waits for the request's end byte, and a controller
// that stops reading for a while loses nothing.
//
// Only lower bounds on time are checked here: they hold however loaded the
// machine is. How close the delivery comes to the line rate is measured by
// bench/engine_bench.

#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "pty_controller.h"
#include "sim/memory_file.h"
#include "sim/memory_layout.h"
#include "sim/simulator.h"
#include "sim_test_util.h"

namespace tarnwick::sim {
namespace {

using namespace std::chrono_literals;
using test::hex;
using test::model;
using test::startSimulator;
using Clock = std::chrono::steady_clock;

constexpr auto kDeadline = 2000ms;

std::chrono::nanoseconds byteTime(int baud) {
  return std::chrono::nanoseconds(std::chrono::seconds(10)) / baud;
}

// A raw end of the line that notes when each byte arrived.
class Line {
 public:
  explicit Line(const std::string& path) : fd_(test::openRawLine(path)) {}
  ~Line() { ::close(fd_); }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  // Returns the moment just before the first byte was handed over: the radio
  // cannot have heard any of it earlier.
  Clock::time_point write(const Bytes& bytes) {
    const auto start = Clock::now();
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        throw std::runtime_error("write failed");
      } else {
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, 100);
      }
    }
    return start;
  }

  // Reads until `count` bytes have come (or the deadline), noting for each
  // the time the read that brought it returned.
  void read(std::size_t count, std::chrono::milliseconds timeout = kDeadline) {
    const auto deadline = Clock::now() + timeout;
    while (bytes.size() < count) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      Byte buffer[4096];
      const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
      const auto now = Clock::now();
      for (ssize_t i = 0; i < n; ++i) {
        bytes.push_back(buffer[i]);
        arrived.push_back(now);
      }
    }
  }

  // Reads until what came ends with `tail`, or `most` bytes have come.
  void readUntilEndsWith(const Bytes& tail, std::size_t most) {
    read(std::min(most, tail.size()));
    while (bytes.size() < most && !endsWith(tail)) {
      const std::size_t before = bytes.size();
      read(before + 1);
      if (bytes.size() == before) return;  // deadline
    }
  }

  bool endsWith(const Bytes& tail) const {
    return bytes.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(),
                      bytes.end() - static_cast<std::ptrdiff_t>(tail.size()));
  }

  void clear() {
    bytes.clear();
    arrived.clear();
  }

  Bytes bytes;
  std::vector<Clock::time_point> arrived;

 private:
  int fd_;
};

Bytes memoryRequest(const RadioModel& m, int number) {
  Bytes data = memoryHead(m, {0, number});
  return buildFrame(
      {.to = m.address, .from = 0xE0, .command = civ::kCmdMemoryAndMenu, .data = std::move(data)});
}

Bytes memoryAnswer(const RadioModel& m, const RadioState& state, int number) {
  return buildFrame({.to = 0xE0,
                     .from = m.address,
                     .command = civ::kCmdMemoryAndMenu,
                     .data = encodeMemory(m, {0, number}, state.memory({0, number}))});
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t to) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
               bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

TEST(SimulatorPacing, NoByteArrivesBeforeTheLineCouldCarryIt) {
  const RadioModel& m = model("IC-746");
  struct Case {
    const char* name;
    bool noise;
    bool split;
    bool echo;
  };
  for (const Case c :
       {Case{"plain", false, false, true}, Case{"noise and split answers", true, true, true},
        Case{"no echo", false, false, false}}) {
    SCOPED_TRACE(c.name);
    SimulatorOptions options;
    options.baud = 4800;
    options.noise = c.noise;
    options.splitAnswers = c.split;
    options.echo = c.echo;
    options.seed = 3;
    auto sim = startSimulator(m, options);
    const auto bt = byteTime(options.baud);
    Line line(sim->devicePath());
    for (int number : {5, 6, 7}) {
      SCOPED_TRACE(number);
      const Bytes request = memoryRequest(m, number);
      const Bytes answer = memoryAnswer(m, sim->state(), number);
      const std::size_t echo = c.echo ? request.size() : 0;
      line.clear();
      const auto sent = line.write(request);
      // The echo, at most five noise bytes, the answer.
      line.readUntilEndsWith(answer, echo + 5 + answer.size());
      ASSERT_TRUE(line.endsWith(answer));
      ASSERT_GE(line.bytes.size(), echo + answer.size());
      EXPECT_EQ(slice(line.bytes, 0, echo), slice(request, 0, echo)) << "the echo comes first";
      EXPECT_EQ(slice(line.bytes, line.bytes.size() - answer.size(), line.bytes.size()), answer);
      const std::size_t noise = line.bytes.size() - echo - answer.size();
      EXPECT_EQ(noise > 0, c.noise);
      // The k-th byte cannot arrive before k byte times after the request was
      // written: the radio heard the request at line rate too. Without an
      // echo the answer still waits for the whole request to arrive.
      const int lead = static_cast<int>(request.size() - echo);
      for (std::size_t k = 0; k < line.bytes.size(); ++k) {
        ASSERT_GE(line.arrived[k] - sent, bt * (lead + static_cast<int>(k + 1))) << "byte " << k;
      }
    }
  }
}

TEST(SimulatorPacing, EchoFollowsEachPieceAndTheAnswerWaitsForTheEndByte) {
  const RadioModel& m = model("IC-746");
  SimulatorOptions options;
  options.baud = 9600;
  auto sim = startSimulator(m, options);
  const auto bt = byteTime(options.baud);
  Line line(sim->devicePath());
  const Bytes request = memoryRequest(m, 5);
  const Bytes answer = memoryAnswer(m, sim->state(), 5);
  const std::size_t firstPart = 5;

  line.write(slice(request, 0, firstPart));
  // The radio echoes what it hears, without waiting for the frame to end.
  line.read(firstPart);
  ASSERT_EQ(line.bytes, slice(request, 0, firstPart));
  std::this_thread::sleep_for(20ms);
  line.read(firstPart + 1, 20ms);
  EXPECT_EQ(line.bytes.size(), firstPart) << "nothing more before the frame is complete";

  const auto rest = line.write(slice(request, firstPart, request.size()));
  line.read(request.size() + answer.size());
  ASSERT_EQ(line.bytes.size(), request.size() + answer.size());
  EXPECT_EQ(slice(line.bytes, firstPart, request.size()),
            slice(request, firstPart, request.size()));
  EXPECT_EQ(slice(line.bytes, request.size(), line.bytes.size()), answer);
  // The answer's first byte goes out once the end byte has been heard.
  const int restBytes = static_cast<int>(request.size() - firstPart);
  for (std::size_t j = 0; j < answer.size(); ++j) {
    ASSERT_GE(line.arrived[request.size() + j] - rest, bt * (restBytes + static_cast<int>(j) + 1))
        << "answer byte " << j;
  }
}

TEST(SimulatorPacing, AControllerThatStopsReadingLosesNothing) {
  // Far more echo and answers than the pseudo-terminal holds (64 KiB of
  // flip buffers and 4 KiB of line discipline), so the radio must wait for
  // room and carry on where it stopped.
  const RadioModel& m = model("IC-746");
  auto sim = startSimulator(m, {});
  const RadioState state = sim->state();
  Line line(sim->devicePath());
  constexpr int kRequests = 1500;
  Bytes expected;
  for (int i = 0; i < kRequests; ++i) {
    const int number = i % m.memoryCount + 1;
    const Bytes request = memoryRequest(m, number);
    // One request at a time, so that each is echoed and answered before the
    // next arrives and the whole stream is known byte for byte.
    line.write(request);
    const auto deadline = Clock::now() + kDeadline;
    while (sim->requestCount() <= i && Clock::now() < deadline) {
      std::this_thread::sleep_for(20us);
    }
    ASSERT_EQ(sim->requestCount(), i + 1) << "request " << i;
    const Bytes answer = memoryAnswer(m, state, number);
    expected.insert(expected.end(), request.begin(), request.end());
    expected.insert(expected.end(), answer.begin(), answer.end());
  }
  line.read(expected.size(), 10000ms);
  ASSERT_EQ(line.bytes.size(), expected.size());
  EXPECT_TRUE(line.bytes == expected) << "bytes lost, doubled or out of order";
}

}  // namespace
}  // namespace tarnwick::sim
