#pragma once
// Fakes for the link and engine tests: a scripted radio behind a fake port,
// a recording window, a temporary debug log and a fake one-second clock.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "civ/civ_port.h"
#include "civ/debug_log.h"
#include "civ/engine.h"
#include "civ/engine_window.h"
#include "rig/text_trim.h"
#include "serial/main_thread.h"
#include "tables/permanent_index.h"

namespace tarnwick::test {

using Bytes = std::vector<Byte>;

// The frame the program sends to `address` with this payload.
Bytes commandFrame(Byte address, const Bytes& payload);
// The frame a radio at `address` answers with this payload.
Bytes answerFrame(Byte address, const Bytes& payload);

// One step of a scripted conversation: the program sends `sends` (a
// payload), the radio answers with each of `answers` (payloads), or stays
// silent when there are none.
struct ConversationStep {
  std::string name;
  Bytes sends;
  std::vector<Bytes> answers;
};

// A port with a radio behind it. Each frame the program writes is echoed
// (the bus is one wire), checked against the next scripted step and
// answered. Without a script, `responder` answers; without either, silence.
class ScriptedPort : public CivPort {
 public:
  Byte radio = 0x5C;
  bool open = true;
  bool echo = true;
  std::function<std::vector<Bytes>(const Bytes& payload)> responder;
  // Runs inside sendString, as a port blocked on a full queue would.
  std::function<void()> onSend;

  void script(std::vector<ConversationStep> steps);
  bool scriptDone() const { return steps_.empty(); }

  bool active() const override { return open; }
  void sendString(std::span<const Byte> bytes) override;
  int readByte(Byte& b) override;
  int baudRate() const override { return baud; }
  int baud = 9600;

  void inject(const Bytes& bytes) { rx_.insert(rx_.end(), bytes.begin(), bytes.end()); }
  bool hasBytes() const { return !rx_.empty(); }

  std::vector<Bytes> sent;          // whole frames, in order
  std::vector<Bytes> sentPayloads;  // the payloads of those frames
  std::vector<long> sentAtMs;       // clock time of each send
  long* clockMs = nullptr;

 private:
  std::deque<ConversationStep> steps_;
  std::deque<Byte> rx_;
};

class RecordingWindow : public EngineWindow {
 public:
  std::vector<std::pair<std::string, std::string>> statuses;
  std::vector<LedColour> leds;
  std::vector<std::string> events;  // lock, unlock, sort, box, repaint
  std::vector<std::pair<std::string, std::string>> boxes;
  std::function<void()> onRepaint;
  std::function<void()> onModal;

  void setStatus(std::string_view left, std::string_view right) override {
    statuses.emplace_back(left, right);
  }
  void setLedColour(LedColour c) override { leds.push_back(c); }
  void lockRigSide() override { events.push_back("lock"); }
  void unlockRigSide() override { events.push_back("unlock"); }
  void showSortIndicators() override { events.push_back("sort"); }
  void showModalError(std::string_view text, std::string_view caption) override;
  void repaint() override;

  std::vector<std::string> leftTexts() const;
  int count(const std::string& event) const;
};

// The main thread on the fake clock: posted work runs when the test pumps,
// single shots when the clock passes their time.
class FakeMainThread : public MainThread {
 public:
  explicit FakeMainThread(const long& clockMs) : clockMs_(clockMs) {}
  void post(std::function<void()> fn) override { posted_.push_back(std::move(fn)); }
  void invokeBlocking(std::function<void()> fn) override { fn(); }
  void processPendingEvents() override { runPosted(); }
  int startSingleShot(std::chrono::milliseconds delay, std::function<void()> fn) override;
  void cancelSingleShot(int id) override;

  void runPosted();
  // The time of the next single shot, if any.
  std::optional<long> nextShotMs() const;
  // Runs the single shots due at the clock's time.
  void fireDueShots();
  int startedShots() const { return nextId_ - 1; }

 private:
  struct Shot {
    long dueMs;
    std::function<void()> fn;
  };
  const long& clockMs_;
  std::deque<std::function<void()>> posted_;
  std::map<int, Shot> shots_;
  int nextId_ = 1;
};

// A debug log in a fresh temporary folder.
class TempLog {
 public:
  TempLog();
  ~TempLog();
  DebugLog log;
  std::vector<std::string> lines() const;  // without the CR LF
  std::string raw() const;
  // Lines starting with `prefix`.
  std::vector<std::string> linesStartingWith(const std::string& prefix) const;

 private:
  static std::filesystem::path makeDir();
  std::filesystem::path dir_;
};

// An engine wired to fakes, for a model at the radio's address.
struct EngineRig {
  explicit EngineRig(int model, Byte address = 0x5C);

  // Delivers every waiting byte, as the receive event would, and runs what
  // was posted to the main thread.
  void pump();
  // Advances the fake clock by `ms`, ticking the engine at every whole
  // second and firing the single shots as they come due.
  void advance(long ms);
  // Restarts the engine and runs the first tick.
  void restart();

  long nowMs = 0;
  ChannelTable permanent{TableKind::PermanentFile};
  ChannelTable rig{TableKind::Rig};
  PermanentFileIndex index{permanent};
  ScriptedPort port;
  RecordingWindow window;
  TempLog log;
  FakeMainThread mainThread{nowMs};
  Engine engine{permanent, rig, index, port, log.log, window, mainThread};
};

// Payload of a memory request (1A 00 [band] number).
Bytes memoryRequest(int memory, std::optional<Byte> band = std::nullopt);
// A memory answer payload with a channel on `hz`, or the blank form for 0.
Bytes memoryAnswer(int model, int memory, std::int32_t hz, const std::string& band = "");
// A radio that answers every memory request of `model` with a blank memory.
std::function<std::vector<Bytes>(const Bytes&)> blankBankResponder(int model);

// A radio that keeps what it is given: memory writes are stored (answered
// OK) and memory requests answered with what is stored, a blank memory where
// nothing is. `onWrite` may change what is kept.
struct MemoryRadio {
  explicit MemoryRadio(int m) : model(m) {}
  int model;
  std::map<int, Bytes> kept;  // memory number -> the answer's data, from the sub-command on
  std::function<void(int memory, Bytes& data)> onWrite;
  int reads = 0;
  int writes = 0;

  std::vector<Bytes> operator()(const Bytes& payload);
};

inline const Bytes kOkPayload{0xFB};
inline const Bytes kNgPayload{0xFA};

}  // namespace tarnwick::test
