// End to end over a real pseudo-terminal: a plain controller reads, stores
// and tunes, and meets each fault the simulator can play.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "pty_controller.h"
#include "sim/memory_file.h"
#include "sim/memory_layout.h"
#include "sim/simulator.h"
#include "sim_test_util.h"

namespace tarnwick::sim {
namespace {

using namespace std::chrono_literals;
using test::Controller;
using test::hex;
using test::model;
using test::startSimulator;

constexpr auto kAnswerTimeout = 1000ms;  // generous: answers normally take well under 10 ms
constexpr auto kSilenceTimeout = 150ms;  // how long a test waits to see that nothing comes

Bytes request(const RadioModel& m, Bytes payload) {
  return buildFrame({.to = m.address,
                     .from = 0xE0,
                     .command = payload[0],
                     .data = Bytes(payload.begin() + 1, payload.end())});
}

Bytes memoryRequest(const RadioModel& m, MemoryKey key) {
  Bytes payload{civ::kCmdMemoryAndMenu};
  const Bytes head = memoryHead(m, key);
  payload.insert(payload.end(), head.begin(), head.end());
  return request(m, payload);
}

// The answer the radio must give for a memory of its current state.
Bytes expectedAnswer(const RadioModel& m, const RadioState& state, MemoryKey key) {
  return buildFrame({.to = 0xE0,
                     .from = m.address,
                     .command = civ::kCmdMemoryAndMenu,
                     .data = encodeMemory(m, key, state.memory(key))});
}

std::vector<MemoryKey> bank(const RadioModel& m) {
  std::vector<MemoryKey> keys;
  for (int band = m.usesBands() ? 1 : 0; band <= (m.usesBands() ? m.bandCount : 0); ++band) {
    for (int n = 1; n <= m.memoryCount; ++n) keys.push_back({band, n});
  }
  return keys;
}

// Reads the whole bank and checks every answer against the radio's state.
void readWholeBank(const RadioModel& m, Simulator& sim, Controller& controller) {
  const RadioState state = sim.state();
  for (const MemoryKey key : bank(m)) {
    const auto r = controller.transact(memoryRequest(m, key), kAnswerTimeout);
    ASSERT_TRUE(r.echoed) << m.name << " memory " << key.number;
    ASSERT_TRUE(r.answer) << m.name << " memory " << key.number;
    ASSERT_EQ(*r.answer, expectedAnswer(m, state, key)) << m.name << " memory " << key.number;
  }
}

TEST(SimulatorPty, ReadsEveryModelsFullBank) {
  for (const RadioModel& m : radioModels()) {
    auto sim = startSimulator(m);
    Controller controller(sim->devicePath());
    readWholeBank(m, *sim, controller);
    EXPECT_EQ(sim->requestCount(), static_cast<int>(bank(m).size()));
  }
}

TEST(SimulatorPty, AnswersMatchHandWrittenBytes) {
  const RadioModel& ic746 = model("IC-746");
  auto sim = startSimulator(ic746);
  Controller controller(sim->devicePath());
  auto r = controller.transact(hex("FE FE 56 E0 1A 00 00 05 FD"), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  EXPECT_EQ(*r.answer, hex("FE FE E0 56 1A 00 00 05 01 00 50 19 14 00 01 02 00 00 08 85 00 08 85"
                           " 00 50 19 14 00 01 02 00 00 08 85 00 08 85"
                           " 43 4F 4E 54 45 53 54 20 20 FD"));
  r = controller.transact(hex("FE FE 56 E0 1A 00 00 06 FD"), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  EXPECT_EQ(*r.answer, hex("FE FE E0 56 1A 00 00 06 FF FD"));

  const RadioModel& ic910 = model("IC-910");
  auto sim910 = startSimulator(ic910);
  Controller c910(sim910->devicePath());
  r = c910.transact(hex("FE FE 60 E0 1A 00 02 01 00 FD"), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  EXPECT_EQ(*r.answer, hex("FE FE E0 60 1A 00 02 01 00 00 00 50 45 01 05 01 01 00 08 85 00 08 85"
                           " 00 60 00 FD"));
}

TEST(SimulatorPty, StoresRowsWithOkAndNg) {
  const RadioModel& m = model("IC-746");
  SimulatorOptions options;
  options.faults.ngWrite = {7};
  auto sim = startSimulator(m, options);
  Controller controller(sim->devicePath());
  const RadioState before = sim->state();

  const std::string body =
      " 00 00 00 13 14 00 03 03 00 00 08 85 00 08 85 00 00 13 14 00 03 03 00 00 08 85 00 08 85"
      " 51 52 50 20 20 20 20 20 20 FD";
  auto r = controller.transact(hex("FE FE 56 E0 1A 00 00 42" + body), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  EXPECT_EQ(*r.answer, hex("FE FE E0 56 FB FD"));
  r = controller.transact(hex("FE FE 56 E0 1A 00 00 07" + body), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  EXPECT_EQ(*r.answer, hex("FE FE E0 56 FA FD"));
  r = controller.transact(hex("FE FE 56 E0 1A 00 00 09 FF FD"), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  EXPECT_EQ(*r.answer, hex("FE FE E0 56 FB FD"));

  const RadioState after = sim->state();
  EXPECT_EQ(after.memory({0, 42}).rx.hz, 14'130'000);
  EXPECT_EQ(after.memory({0, 42}).name, "QRP      ");
  EXPECT_EQ(after.memory({0, 7}), before.memory({0, 7}));
  EXPECT_TRUE(after.memory({0, 9}).blank);
  r = controller.transact(hex("FE FE 56 E0 1A 00 00 42 FD"), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  EXPECT_EQ(*r.answer, hex("FE FE E0 56 1A 00 00 42" + body));
}

TEST(SimulatorPty, TunesAndRunsTheOffsetConversation) {
  const RadioModel& m = model("IC-746");
  auto sim = startSimulator(m);
  Controller controller(sim->devicePath());
  // What a controller learning the three offsets says, and what it hears.
  const std::pair<const char*, const char*> steps[] = {
      {"07 00", "FB"},
      {"03", "03 00 00 07 14 00"},
      {"04", "04 01 02"},
      {"05 00 00 60 29 00", "FB"},
      {"0F 11", "FB"},
      {"0C", "0C 00 12 00"},
      {"05 00 00 12 50 00", "FB"},
      {"0F 12", "FB"},
      {"0C", "0C 00 00 01"},
      {"05 00 00 70 45 01", "FB"},
      {"0F 11", "FB"},
      {"0C", "0C 00 70 00"},
      {"05 00 00 07 14 00", "FB"},
      {"06 01 02", "FB"},
  };
  for (const auto& [said, heard] : steps) {
    const auto r = controller.transact(request(m, hex(said)), kAnswerTimeout);
    ASSERT_TRUE(r.answer) << said;
    EXPECT_EQ(*r.answer, hex(std::string("FE FE E0 56 ") + heard + " FD")) << said;
  }
  // Tune to a 2 m repeater in FM, narrow.
  EXPECT_EQ(controller.transact(request(m, hex("05 00 00 70 45 01")), kAnswerTimeout).answer,
            hex("FE FE E0 56 FB FD"));
  EXPECT_EQ(controller.transact(request(m, hex("06 05 03")), kAnswerTimeout).answer,
            hex("FE FE E0 56 FB FD"));
  const Vfo vfo = sim->state().vfo;
  EXPECT_EQ(vfo.hz, 145'700'000);
  EXPECT_EQ(vfo.mode, mode::kFm);
  EXPECT_EQ(vfo.filter, filter::kNarrow);
}

TEST(SimulatorPty, EchoesEverythingButAnswersOnlyItsOwnAddress) {
  const RadioModel& m = model("IC-756Pro");
  auto sim = startSimulator(m);
  Controller controller(sim->devicePath());
  const auto r = controller.transact(hex("FE FE 64 E0 03 FD"), kSilenceTimeout);
  EXPECT_TRUE(r.echoed);
  EXPECT_FALSE(r.answer);
  EXPECT_EQ(sim->requestCount(), 0);
  const auto frames = sim->frameLog();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].direction, LogDirection::In);
}

TEST(SimulatorPty, ServesOneControllerAfterAnother) {
  const RadioModel& m = model("IC-746Pro");
  auto sim = startSimulator(m);
  for (int round = 0; round < 3; ++round) {
    Controller controller(sim->devicePath());
    const auto r = controller.transact(memoryRequest(m, {0, 17}), kAnswerTimeout);
    EXPECT_TRUE(r.echoed) << round;
    ASSERT_TRUE(r.answer) << round;
    EXPECT_EQ(*r.answer, expectedAnswer(m, sim->state(), {0, 17}));
  }
  EXPECT_TRUE(sim->deviceOpen());
}

TEST(SimulatorPty, NoiseBetweenFramesDoesNotDisturbABankRead) {
  const RadioModel& m = model("IC-756ProII");
  SimulatorOptions options;
  options.noise = true;
  options.seed = 7;
  auto sim = startSimulator(m, options);
  Controller controller(sim->devicePath());
  readWholeBank(m, *sim, controller);
  int noise = 0;
  for (const LogEntry& e : sim->frameLog()) {
    if (e.direction != LogDirection::Noise) continue;
    ++noise;
    EXPECT_FALSE(e.bytes.empty());
    for (Byte b : e.bytes) EXPECT_NE(b, civ::kPreamble);
  }
  EXPECT_EQ(noise, m.memoryCount) << "noise before every answer";
}

TEST(SimulatorPty, SplitAnswersArriveInPiecesAndStillAssemble) {
  const RadioModel& m = model("IC-746Pro");
  SimulatorOptions options;
  options.splitAnswers = true;
  auto sim = startSimulator(m, options);
  Controller controller(sim->devicePath());
  const RadioState state = sim->state();
  int reads = 0;
  const int count = 12;
  for (int n = 1; n <= count; ++n) {
    const auto r = controller.transact(memoryRequest(m, {0, n}), kAnswerTimeout);
    ASSERT_TRUE(r.answer) << n;
    EXPECT_EQ(*r.answer, expectedAnswer(m, state, {0, n})) << n;
    reads += r.reads;
  }
  // A whole 56-byte answer comes in at most four-byte pieces with pauses.
  EXPECT_GT(reads, count * 4);
}

TEST(SimulatorPty, ShiftedAnswerCarriesTheNextMemory) {
  const RadioModel& m = model("IC-746");
  SimulatorOptions options;
  options.faults.shiftAnswer = {4};
  auto sim = startSimulator(m, options);
  Controller controller(sim->devicePath());
  const auto r = controller.transact(memoryRequest(m, {0, 4}), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  EXPECT_EQ(*r.answer, expectedAnswer(m, sim->state(), {0, 5}));
}

TEST(SimulatorPty, SilenceAndDropsEndInTheControllersTimeout) {
  const RadioModel& m = model("IC-910");
  SimulatorOptions silent;
  silent.faults.silent = true;
  auto quiet = startSimulator(m, silent);
  Controller c1(quiet->devicePath());
  const auto r = c1.transact(memoryRequest(m, {1, 1}), kSilenceTimeout);
  EXPECT_TRUE(r.echoed) << "the bus echo still comes";
  EXPECT_FALSE(r.answer);
  EXPECT_FALSE(r.hangup);
  EXPECT_GE(r.elapsed, kSilenceTimeout - 5ms);

  SimulatorOptions dropping;
  dropping.faults.dropEvery = 3;
  auto sim = startSimulator(m, dropping);
  Controller c2(sim->devicePath());
  std::vector<bool> answered;
  for (int n = 1; n <= 6; ++n) {
    answered.push_back(c2.transact(memoryRequest(m, {3, n}), kSilenceTimeout).answer.has_value());
  }
  EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true, false}));
}

TEST(SimulatorPty, ClosedDeviceEndsTheReadWithAHangUp) {
  const RadioModel& m = model("IC-756Pro");
  SimulatorOptions options;
  options.faults.closeAfter = 5;
  auto sim = startSimulator(m, options);
  Controller controller(sim->devicePath());
  for (int n = 1; n <= 5; ++n) {
    ASSERT_TRUE(controller.transact(memoryRequest(m, {0, n}), kAnswerTimeout).answer) << n;
  }
  const auto r = controller.transact(memoryRequest(m, {0, 6}), 2000ms);
  EXPECT_TRUE(r.hangup);
  EXPECT_FALSE(r.answer);
  EXPECT_LT(r.elapsed, 1000ms) << "the controller learns at once, not at its deadline";
  // And keeps learning it, without blocking.
  const auto again = controller.transact(memoryRequest(m, {0, 7}), 2000ms);
  EXPECT_TRUE(again.hangup);
  EXPECT_LT(again.elapsed, 1000ms);
  for (int i = 0; i < 100 && sim->deviceOpen(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(sim->deviceOpen());
}

TEST(SimulatorPty, PacesOutputAtTheBaudRate) {
  const RadioModel& m = model("IC-746");
  SimulatorOptions options;
  options.baud = 4800;
  auto sim = startSimulator(m, options);
  Controller controller(sim->devicePath());
  const auto r = controller.transact(hex("FE FE 56 E0 1A 00 00 05 FD"), kAnswerTimeout);
  ASSERT_TRUE(r.answer);
  // 9 echo bytes and a 47-byte answer at 10 bits a byte: 117 ms at the least.
  EXPECT_GE(r.elapsed, 116ms);
  EXPECT_LT(r.elapsed, 900ms);
}

// A radio on USB with CI-V Echo Back off: the answer is the first thing
// back, on every model.
TEST(SimulatorPty, NoEchoAnswersDirectly) {
  for (const RadioModel& m : radioModels()) {
    SimulatorOptions options;
    options.echo = false;
    auto sim = startSimulator(m, options);
    Controller controller(sim->devicePath());
    const MemoryKey key{m.usesBands() ? 1 : 0, 1};
    const auto r = controller.transact(memoryRequest(m, key), kAnswerTimeout);
    EXPECT_FALSE(r.echoed) << m.name;
    ASSERT_TRUE(r.answer) << m.name;
    EXPECT_EQ(*r.answer, expectedAnswer(m, sim->state(), key)) << m.name;
  }
}

// CI-V Transceive on: dial reports to every station keep coming, and one
// that falls due while a request is being heard goes out just before the
// answer, so the frame after a request is not always its answer.
TEST(SimulatorPty, TransceiveFramesComeBetweenRequestAndAnswer) {
  const RadioModel& m = model("IC-7300");
  SimulatorOptions options;
  options.echo = false;
  options.transceiveMs = 10;
  auto sim = startSimulator(m, options);
  Controller controller(sim->devicePath());
  const Bytes dial = hex("FE FE 00 94 00 00 00 07 14 00 FD");
  const auto idle = controller.collect(3, kAnswerTimeout);
  EXPECT_EQ(idle, (std::vector<Bytes>(3, dial)));

  const Bytes whole = memoryRequest(m, {0, 5});
  const Bytes head(whole.begin(), whole.begin() + 5);
  const Bytes tail(whole.begin() + 5, whole.end());
  ASSERT_TRUE(controller.send(head));
  controller.collect(100, 40ms);  // reports that were on their way; none may start now
  ASSERT_TRUE(controller.send(tail));
  // A later report may come in the same read.
  const auto frames = controller.collect(2, kAnswerTimeout);
  ASSERT_GE(frames.size(), 2u);
  EXPECT_EQ(frames[0], dial);
  EXPECT_EQ(frames[1], expectedAnswer(m, sim->state(), {0, 5}));
}

TEST(SimulatorPty, LogFileAndLink) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("civsim_pty_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const RadioModel& m = model("IC-746");
  SimulatorOptions options;
  options.logPath = (dir / "frames.log").string();
  options.linkPath = (dir / "radio").string();
  auto sim = startSimulator(m, options);
  EXPECT_EQ(std::filesystem::read_symlink(options.linkPath), sim->devicePath());
  {
    Controller controller(options.linkPath);
    ASSERT_TRUE(controller.transact(hex("FE FE 56 E0 1A 00 00 06 FD"), kAnswerTimeout).answer);
    ASSERT_TRUE(controller.transact(hex("FE FE 56 E0 19 00 FD"), kAnswerTimeout).answer);
  }
  sim->stop();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(options.linkPath)));
  std::ifstream in(options.logPath);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "IN FE FE 56 E0 1A 00 00 06 FD\n"
            "OUT FE FE E0 56 1A 00 00 06 FF FD\n"
            "IN FE FE 56 E0 19 00 FD\n"
            "OUT FE FE E0 56 19 00 56 FD\n");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tarnwick::sim
