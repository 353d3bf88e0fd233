// The debug log file: CR LF lines, created with its folder, start-up lines,
// and a log that cannot be written.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <future>

#include "civ/debug_log.h"
#include "rig/rig_catalogue.h"
#include "tests/civ/civ_fakes.h"
#include "tests/support/temp_folder.h"

namespace tarnwick::test {
namespace {

TEST(DebugLog, AppendsCrLfLinesAndCreatesTheFolder) {
  TempLog t;
  EXPECT_FALSE(std::filesystem::exists(t.log.path().parent_path()));
  EXPECT_TRUE(t.log.createIfMissing());
  t.log.appendDebugLine("Program start");
  t.log.appendDebugLine("sm state: 1");
  EXPECT_EQ(t.raw(), "Create\r\nProgram start\r\nsm state: 1\r\n");
  // The file exists now: no second "Create", and nothing is truncated.
  EXPECT_FALSE(t.log.createIfMissing());
  DebugLog again(t.log.path());
  again.appendDebugLine("x");
  EXPECT_EQ(t.lines().size(), 4u);
  struct stat st {};
  ASSERT_EQ(::stat(t.log.path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(DebugLog, StartUpLineTexts) {
  EXPECT_EQ(portTrialLine(3), "Trying COM 3");
  EXPECT_EQ(baudLine(9600), "      Baud 9600");
  EXPECT_EQ(addressLine(0x5C), "       Adr 5C");
  EXPECT_EQ(addressLine(0x04), "       Adr 04");
  EXPECT_EQ(modelLine(kModelIc756Pro), "     Model " + std::string(modelName(kModelIc756Pro)));
  EXPECT_EQ(portOpenErrorLine(2), "INIT: Error open COM2");
}

TEST(DebugLog, UnwritableLogPausesAttemptsAndResumes) {
  TempLog t;
  // A folder where the file should be: every open fails.
  std::filesystem::create_directories(t.log.path());
  DebugLog::Clock::time_point now{};
  DebugLog log(t.log.path());
  log.setClock([&] { return now; });
  log.setRetryPause(std::chrono::seconds(10));
  log.appendDebugLine("lost");
  EXPECT_EQ(log.failures(), 1);
  EXPECT_TRUE(log.pausedAfterFailure());
  for (int i = 0; i < 100; ++i) log.appendDebugLine("skipped");
  EXPECT_EQ(log.failures(), 1);  // no further attempts while paused

  std::filesystem::remove(t.log.path());
  now += std::chrono::seconds(11);
  EXPECT_FALSE(log.pausedAfterFailure());
  log.appendDebugLine("back");
  EXPECT_EQ(t.lines(), std::vector<std::string>{"back"});
}

// The file stays open between lines; a log that the user deletes or another
// program moves away is found gone within a second and begun again.
TEST(DebugLog, ALogDeletedOrMovedAwayStartsAgainUnderItsName) {
  TempLog t;
  DebugLog::Clock::time_point now{};
  DebugLog log(t.log.path());
  log.setClock([&] { return now; });
  log.appendDebugLine("one");
  std::filesystem::remove(t.log.path());
  now += std::chrono::seconds(2);
  log.appendDebugLine("two");
  EXPECT_EQ(t.lines(), std::vector<std::string>{"two"});

  std::filesystem::path moved = t.log.path();
  moved += ".saved";
  std::filesystem::rename(t.log.path(), moved);
  now += std::chrono::seconds(2);
  log.appendDebugLine("three");
  EXPECT_EQ(t.lines(), std::vector<std::string>{"three"});
  EXPECT_EQ(testing::readBytes(moved.string()), "two\r\n");
  EXPECT_EQ(log.failures(), 0);
}

// The engine holds the log through a step: its lines reach the file only
// once the request is out, in order, and none is lost when the log goes away
// while held.
TEST(DebugLog, HeldLinesReachTheFileInOrderAtFlushReleaseOrTheEnd) {
  TempLog t;
  {
    DebugLog log(t.log.path());
    log.hold();
    log.appendDebugLine("Rx: 1");
    log.appendDebugLine("TX: 2");
    EXPECT_TRUE(t.lines().empty());
    log.flush();
    EXPECT_EQ(t.lines(), (std::vector<std::string>{"Rx: 1", "TX: 2"}));
    log.appendDebugLine("sm state: 3");
    log.hold();  // nested: only the outer release writes
    log.release();
    EXPECT_EQ(t.lines().size(), 2u);
    log.release();
    EXPECT_EQ(t.lines().back(), "sm state: 3");
    log.hold();
    log.appendDebugLine("last words");
  }
  EXPECT_EQ(t.lines().back(), "last words");
}

TEST(DebugLog, DefaultPathFollowsXdgStateHome) {
  const char* oldState = std::getenv("XDG_STATE_HOME");
  const std::string savedState = oldState ? oldState : "";
  const char* oldHome = std::getenv("HOME");
  const std::string savedHome = oldHome ? oldHome : "";

  ::setenv("XDG_STATE_HOME", "/x/state", 1);
  EXPECT_EQ(defaultDebugLogPath(), "/x/state/tarnwick/icomdeb.txt");
  ::setenv("XDG_STATE_HOME", "relative", 1);  // not absolute: ignored
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(defaultDebugLogPath(), "/home/u/.local/state/tarnwick/icomdeb.txt");
  ::unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(defaultDebugLogPath(), "/home/u/.local/state/tarnwick/icomdeb.txt");

  if (oldState) ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);
  if (oldHome)
    ::setenv("HOME", savedHome.c_str(), 1);
  else
    ::unsetenv("HOME");
}

TEST(DebugLog, AnIdleEngineSaysSoOnceNotEverySecond) {
  EngineRig r(kModelIc756Pro);
  r.port.responder = blankBankResponder(kModelIc756Pro);
  r.restart();
  r.advance(200000);
  ASSERT_EQ(r.engine.engineState(), smIdle);
  const auto before = r.log.lines().size();
  r.advance(60000);  // a minute idle
  EXPECT_EQ(r.log.lines().size(), before);
  EXPECT_EQ(r.log.linesStartingWith("sm state: 1").size(), 1u);
  // Once something else happened the idle state is logged again.
  r.log.log.appendDebugLine("Program start");
  r.advance(2000);
  EXPECT_EQ(r.log.lines().back(), "sm state: 1");
  EXPECT_EQ(r.log.linesStartingWith("sm state: 1").size(), 2u);
  // So does an engine without a port, waiting for its device to come back.
  r.engine.setEngineState(smNoInit);
  r.advance(60000);
  EXPECT_EQ(r.log.linesStartingWith("sm state: 0").size(), 1u);
}

TEST(DebugLog, AFullLogStartsAgainAndKeepsOneOldFile) {
  TempLog t;
  t.log.setMaxBytes(100);
  for (int i = 0; i < 30; ++i) t.log.appendDebugLine("line " + std::to_string(i));  // 8 bytes each
  std::filesystem::path old = t.log.path();
  old += ".1";
  ASSERT_TRUE(std::filesystem::exists(old));
  EXPECT_LE(std::filesystem::file_size(t.log.path()), 100u);
  EXPECT_LE(std::filesystem::file_size(old), 100u);
  // The newest lines are in the log, those just before them in the old file.
  EXPECT_EQ(t.lines().back(), "line 29");
  const std::string oldText = testing::readBytes(old.string());
  EXPECT_TRUE(oldText.ends_with("line " + std::to_string(30 - t.lines().size() - 1) + "\r\n"))
      << oldText;
  const auto names = std::distance(std::filesystem::directory_iterator(t.log.path().parent_path()),
                                   std::filesystem::directory_iterator());
  EXPECT_EQ(names, 2);
}

// Opening a FIFO without a reader would wait for one for ever, and opening
// a device can act on it: neither is opened, and the log says what it found.
TEST(DebugLog, AFifoOrDeviceUnderItsNameIsNeverOpened) {
  TempLog t;
  std::filesystem::create_directories(t.log.path().parent_path());
  const std::string fifo = t.log.path().string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const auto& [path, kind] :
       {std::pair{fifo, "a FIFO"}, std::pair{std::string("/dev/null"), "a device"}}) {
    DebugLog log(path);
    auto written = std::async(std::launch::async, [&log] {
      log.createIfMissing();
      log.appendDebugLine("Program start");
    });
    if (written.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      ::close(::open(path.c_str(), O_RDONLY | O_NONBLOCK));  // lets the writer go
      FAIL() << "the log blocked on " << kind;
    }
    EXPECT_EQ(log.notAFile(), "The debug log " + path + " is " + kind +
                                  ", not a file: the program goes on without it.");
  }
}

// An hour of dial reports from a radio with CI-V Transceive on, 25 a second
// alternating between two frequencies, takes a few lines a minute: each
// report once, then how often it came again. Not one frame goes uncounted.
TEST(DebugLog, ATransceiveFloodIsCountedNotWrittenLineByLine) {
  EngineRig r(kModelIc756Pro);
  r.log.log.setClock(
      [&r] { return DebugLog::Clock::time_point{} + std::chrono::milliseconds(r.nowMs); });
  r.engine.setEngineState(smIdle);
  r.pump();
  const Bytes reports[] = {{0xFE, 0xFE, 0x00, 0x5C, 0x00, 0x00, 0x40, 0x07, 0x14, 0x00, 0xFD},
                           {0xFE, 0xFE, 0x00, 0x5C, 0x00, 0x00, 0x40, 0x07, 0x07, 0x00, 0xFD}};
  constexpr long kFrames = 3600L * 25;
  for (long i = 0; i < kFrames; ++i) {
    r.port.inject(reports[i % 2]);
    r.advance(40);  // the frames of each second arrive together
  }
  r.advance(61000);  // the idle engine's next steps let the last minute's counts out

  long counted = 0;
  for (const std::string& line : r.log.linesStartingWith("Repeated ")) {
    counted += std::stol(line.substr(9));
    EXPECT_NE(line.find(" more times: Rx: 5C 00 00 "), std::string::npos) << line;
  }
  EXPECT_EQ(counted + static_cast<long>(r.log.linesStartingWith("Rx: ").size()), kFrames);
  EXPECT_LT(r.log.lines().size(), 61u * 4);
}

TEST(DebugLog, EngineKeepsWorkingWithoutALog) {
  EngineRig r(kModelIc756Pro);
  std::filesystem::create_directories(r.log.log.path());  // the log cannot be opened
  r.port.responder = blankBankResponder(kModelIc756Pro);
  r.restart();
  EXPECT_EQ(r.port.sent.size(), 101u);
  EXPECT_EQ(r.engine.engineState(), smIdle);
  EXPECT_EQ(r.window.statuses.back().first, "Ready");
}

}  // namespace
}  // namespace tarnwick::test
