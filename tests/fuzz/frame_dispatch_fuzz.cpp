// Feeds arbitrary received bytes through the frame assembler into the
// dispatcher and the engine, in pieces with timer ticks and repeat timers in
// between, for each radio and from a read, a store and idle, with the radio
// asked over the broadcast address or its own. Nothing may crash, and the
// bounds of the link must hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iterator>
#include <map>
#include <span>
#include <string>

#include "bench/quiet_window.h"
#include "civ/engine.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "tables/permanent_index.h"
#include "tables/table_ops.h"

namespace {

using namespace tarnwick;

struct BytesPort : CivPort {
  std::span<const std::uint8_t> rx;
  bool active() const override { return true; }
  void sendString(std::span<const Byte>) override {}
  int readByte(Byte& b) override {
    if (rx.empty()) return 0;
    b = rx.front();
    rx = rx.subspan(1);
    return 1;
  }
  int baudRate() const override { return 9600; }
};

// Runs posted work and single shots when told to.
struct ManualThread : MainThread {
  std::deque<std::function<void()>> posted;
  std::map<int, std::function<void()>> shots;
  int next = 1;
  void post(std::function<void()> fn) override { posted.push_back(std::move(fn)); }
  void invokeBlocking(std::function<void()> fn) override { fn(); }
  void processPendingEvents() override {}
  int startSingleShot(std::chrono::milliseconds, std::function<void()> fn) override {
    shots[next] = std::move(fn);
    return next++;
  }
  void cancelSingleShot(int id) override { shots.erase(id); }
  void runAll() {
    while (!posted.empty() || !shots.empty()) {
      if (!posted.empty()) {
        auto fn = std::move(posted.front());
        posted.pop_front();
        fn();
      } else {
        auto fn = std::move(shots.begin()->second);
        shots.erase(shots.begin());
        fn();
      }
    }
  }
};

constexpr int kModels[] = {kModelIc746, kModelIc746Pro, kModelIc756Pro,  kModelIc756ProII,
                           kModelIc910, kModelIc7300,   kModelIc7300Mk2, kModelIc7610};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int model = kModels[data[0] % std::size(kModels)];
  const int start = data[1] % 3;
  // Over the broadcast address any radio may answer; at the radio's own,
  // frames from every other address are passed over.
  const bool ownAddress = data[1] / 3 % 2 != 0;
  std::span<const std::uint8_t> rest(data + 2, size - 2);

  ChannelTable permanent(TableKind::PermanentFile);
  ChannelTable rig(TableKind::Rig);
  PermanentFileIndex index(permanent);
  BytesPort port;
  bench::QuietWindow window;
  DebugLog log({});
  ManualThread thread;
  Engine engine(permanent, rig, index, port, log, window, thread);
  engine.setBackupFolder({});
  engine.setSeparators(Separators::point());
  engine.setModel(model);
  engine.setAddress({.value = ownAddress ? defaultAddress(model) : Byte{0x00}});
  engine.setBand(bankCodeOf("430 MHz"));
  if (start == 0) {
    engine.setEngineState(smRestart);
    engine.tick();
  } else if (start == 1) {
    rig.setRowCount(findRigModel(model)->rigTableRows());
    SetColumnHeaders(rig);
    for (int r = 1; r < rig.rowCount(); r += 3) {
      rig.setCell(colNumber, r, specialLabel(model, r));
      rig.setCell(colFrequency, r, "7050.00");
      rig.setCell(colMode, r, "LSB");
      rig.setCell(colChanged, r, "1");
    }
    engine.setEngineState(smIdle);
    engine.storeChangedRows();
  } else {
    engine.setEngineState(smIdle);
  }

  // Pieces of 1 to 64 bytes, each followed by what the main thread would do.
  while (!rest.empty()) {
    const std::size_t n = std::min<std::size_t>(rest.size(), 1 + rest.front() % 64);
    port.rx = rest.subspan(0, n);
    rest = rest.subspan(n);
    engine.bytesReceived();
    if (engine.queuedFrames() > kMaxQueuedFrames) std::abort();
    thread.runAll();
    if (n % 5 == 0) engine.tick();
    if (engine.answers().idList.size() > kIdListEntries * 3) std::abort();
  }
  return 0;
}
