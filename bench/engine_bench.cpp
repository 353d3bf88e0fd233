// Reads a whole IC-746 bank (duplex offsets and 102 memories) from the radio
// simulator over a pseudo-terminal, paced at 9600 and 19200 baud, and sets
// the time beside the line-time limit: every request and every answer at 10
// bits per byte (the bus echo is the request itself and adds no line time).
// Each speed runs with an empty permanent file and with one of 100,000 rows;
// collecting the bank's channels must cost the same in both.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/quiet_window.h"
#include "bench/simulator_support.h"
#include "civ/engine.h"
#include "civ/tserial_port.h"
#include "rig/rig_catalogue.h"
#include "serial/event_loop.h"
#include "serial/tserial.h"
#include "tables/permanent_index.h"
#include "tables/table_ops.h"

namespace {

using namespace tarnwick;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kLargeFileRows = 100000;
constexpr int kRuns = 5;
constexpr double kLimitTarget = 1.02;  // time over line-time limit, whole bank read

using bench::QuietWindow;

std::vector<ChannelRecord> permanentRows(int count) {
  std::vector<ChannelRecord> rows(static_cast<std::size_t>(count) + 1);
  for (int c = 0; c < kColumnCount; ++c) {
    rows[0][static_cast<std::size_t>(c)] = kColumnHeaders[static_cast<std::size_t>(c)];
  }
  for (int r = 1; r <= count; ++r) {
    // Distinct channels on frequencies the bank does not use.
    const long hz = 440000000L + 12500L * r;
    rows[static_cast<std::size_t>(r)] = {
        std::to_string(r),
        std::to_string(hz / 1000) + "." + std::to_string(hz % 1000 / 10 + 100).substr(1),
        "CH" + std::to_string(r),
        "FM",
        "Wide",
        "Simp",
        "",
        "",
        "",
        "0",
        "0"};
  }
  return rows;
}

// Measures the engine's own share of each exchange: from the last byte of an
// answer read off the port to the next request handed to it.
class TimingPort : public CivPort {
 public:
  explicit TimingPort(CivPort& inner) : inner_(inner) {}
  bool active() const override { return inner_.active(); }
  int baudRate() const override { return inner_.baudRate(); }
  int readByte(Byte& b) override {
    const int n = inner_.readByte(b);
    if (n == 1) lastByte_ = Clock::now();
    return n;
  }
  void sendString(std::span<const Byte> bytes) override {
    if (lastByte_) {
      const double us =
          std::chrono::duration<double, std::micro>(Clock::now() - *lastByte_).count();
      totalUs += us;
      maxUs = std::max(maxUs, us);
      ++turns;
      lastByte_.reset();
    }
    inner_.sendString(bytes);
  }
  double totalUs = 0;
  double maxUs = 0;
  int turns = 0;

 private:
  CivPort& inner_;
  std::optional<Clock::time_point> lastByte_;
};

struct Result {
  double seconds = 0;
  double limitSeconds = 0;
  double turnaroundUs = 0;  // mean engine time per answer
  double maxTurnaroundUs = 0;
  bool ok = false;
  std::vector<sim::Bytes> requests;  // as the radio heard them
};

Result readBank(int baud, int permanentRowsCount, const std::filesystem::path& work) {
  const auto radio = bench::startRadio("IC-746", baud);

  EventLoop loop;
  TSerial serial(loop);
  serial.setDevice(radio->devicePath());
  serial.setLockDirectory(work.string());
  applyCivLineSettings(serial);
  serial.setBaudrate(baud);
  serial.setActive(true);

  ChannelTable permanent{TableKind::PermanentFile};
  ChannelTable rig{TableKind::Rig};
  permanent.assign(permanentRows(permanentRowsCount), true);
  PermanentFileIndex index{permanent};
  TSerialPort serialPort(serial);
  TimingPort port(serialPort);
  QuietWindow window;
  std::filesystem::remove(work / "icomdeb.txt");
  DebugLog log(work / "icomdeb.txt");
  Engine engine(permanent, rig, index, port, log, window, loop);
  engine.setBackupFolder(work / "backups");
  engine.setSeparators(Separators::point());
  engine.setModel(kModelIc746);
  engine.setAddress({.value = 0x56});
  connectReceiveEvent(serial, engine);
  loop.addTimer(1000ms, [&] { engine.tick(); });

  // The restart step runs at once instead of at the next tick, so the clock
  // starts with the first request.
  engine.setEngineState(smRestart);
  const auto start = Clock::now();
  engine.tick();
  Result result;
  result.ok = loop.runUntil([&] { return window.ready || window.timedOut; }, 60s) && window.ready;
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();

  bench::LineTimes times = bench::lineTimesOf(radio->frameLog(), baud);
  result.requests = std::move(times.requests);
  result.limitSeconds = bench::lineSeconds(times.lineBytes, baud);
  result.turnaroundUs = port.turns > 0 ? port.totalUs / port.turns : 0;
  result.maxTurnaroundUs = port.maxUs;
  serial.setActive(false);
  radio->stop();
  return result;
}

// The floor the simulator and the pseudo-terminal set: the same requests
// from a bare client without serial component, engine, tables or log.
double bareClientSeconds(int baud, const std::vector<sim::Bytes>& requests) {
  const auto radio = bench::startRadio("IC-746", baud);
  return bench::bareClientSeconds(radio->devicePath(), requests, /*echo=*/true);
}

struct Pair {
  Result empty;
  Result large;
};

// Empty and large runs alternate, so that a change in the machine's load
// affects both alike; the best of each counts.
Pair bestOf(int baud, const std::filesystem::path& work) {
  Pair best;
  for (int i = 0; i < kRuns; ++i) {
    for (bool large : {false, true}) {
      Result& slot = large ? best.large : best.empty;
      const Result r = readBank(baud, large ? kLargeFileRows : 0, work);
      if (!r.ok) return {r, r};
      if (!slot.ok || r.seconds < slot.seconds) slot = r;
    }
  }
  return best;
}

}  // namespace

int main() {
  const std::filesystem::path work = bench::makeWorkFolder("enginebench");
  if (work.empty()) return 1;

  bool pass = true;
  double worstRatio = 0;
  std::printf("IC-746 bank (offsets + 102 memories) from the simulator, best of %d\n", kRuns);
  std::printf("%6s %10s %8s %8s %7s %9s %14s\n", "baud", "permanent", "time s", "limit s", "ratio",
              "vs empty", "engine us/ans");
  for (int baud : {9600, 19200}) {
    const auto [empty, large] = bestOf(baud, work);
    if (!empty.ok || !large.ok) {
      std::printf("%6d read did not finish\n", baud);
      pass = false;
      worstRatio = std::numeric_limits<double>::infinity();
      continue;
    }
    const double vsEmpty = large.seconds / empty.seconds;
    for (const Result* r : {&empty, &large}) {
      char vs[16] = "";
      if (r == &large) std::snprintf(vs, sizeof vs, "%.4f", vsEmpty);
      std::printf("%6d %10d %8.3f %8.3f %7.4f %9s %7.0f (max %.0f)\n", baud,
                  r == &large ? kLargeFileRows : 0, r->seconds, r->limitSeconds,
                  r->seconds / r->limitSeconds, vs, r->turnaroundUs, r->maxTurnaroundUs);
    }
    double bare = 0;
    for (int i = 0; i < kRuns; ++i) {
      const double t = bareClientSeconds(baud, empty.requests);
      if (t > 0 && (bare == 0 || t < bare)) bare = t;
    }
    if (bare > 0) {
      std::printf("%6d %10s %8.3f %8.3f %7.4f   (bare client, same requests)\n", baud, "-", bare,
                  empty.limitSeconds, bare / empty.limitSeconds);
    } else {
      std::printf("%6d bare client read did not finish\n", baud);
    }
    pass = pass && vsEmpty <= 1.05;
    worstRatio = std::max(
        {worstRatio, empty.seconds / empty.limitSeconds, large.seconds / large.limitSeconds});
  }
  std::error_code ec;
  std::filesystem::remove_all(work, ec);
  std::printf("large file within 1.05 of empty: %s\n", pass ? "yes" : "NO");
  // The whole system's target; printed, not part of the exit status, since
  // it depends on the machine's timer and scheduling latency.
  std::printf("engine within %.2f of the line-time limit: %s (worst %.4f)\n", kLimitTarget,
              worstRatio > 0 && worstRatio <= kLimitTarget ? "yes" : "NO", worstRatio);
  return pass ? 0 : 1;
}
