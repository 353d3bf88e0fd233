// What keeps a user's channels safe, end to end against the simulator: the
// read-back after each write, the backups and putting one back, and rows
// that a read never reached staying out of every store.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include "bench/quiet_window.h"
#include "civ/engine.h"
#include "civ/tserial_port.h"
#include "cli/cli_files.h"
#include "files/file_commands.h"
#include "files/rig_backups.h"
#include "serial/event_loop.h"
#include "serial/port_lock.h"
#include "serial/tserial.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/scoped_env.h"

namespace tarnwick::cli {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The memories as the simulator's memory file writes them: comparable, and
// readable when they differ.
std::string memoriesOf(const sim::Simulator& radio, const sim::RadioModel& model) {
  return sim::writeMemoryFile(radio.state(), model);
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(CliEndToEnd, VerifiedStoreCatchesAMemoryTheRadioKeepsDifferently) {
  sim::SimulatorOptions options;
  options.faults.corruptWrite = {7};
  startRadio("IC-746", options);
  const std::string bank = dir_.file("bank.txt");
  ASSERT_EQ(run({"read", "--device", "DEV", "--rig", "IC-746", "--out", bank}), kExitOk);
  std::vector<ChannelRecord> rows = parseMemoryList(testing::readBytes(bank));
  rows[3][colName] = "THREE";
  rows[7][colFrequency] = "14100.00";
  rows[7][colMode] = "USB";
  rows[7][colName] = "SEVEN";
  writeRows(bank, rows);

  EXPECT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", bank, "--rows", "3,7"}),
            kExitRefused);
  EXPECT_TRUE(contains(out_.str(), "Wrote memory 3\n")) << out_.str();
  EXPECT_TRUE(contains(out_.str(), "Memory 7 reads back different: ")) << out_.str();
  EXPECT_TRUE(contains(out_.str(), "Tone Squelch\n")) << out_.str();
  EXPECT_TRUE(contains(err_.str(), "1 of 2 memories are not stored as they stand: 7\n"))
      << err_.str();

  // Without the read-back the same store looks fine.
  EXPECT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", bank, "--rows", "7",
                 "--no-verify"}),
            kExitOk)
      << err_.str();
  EXPECT_TRUE(contains(out_.str(), "Wrote memory 7\n"));
}

TEST_F(CliEndToEnd, BackupsAreKeptRotatedAndPutBack) {
  startRadio("IC-746");
  // Fifty older backups already there, and a file of the user's own.
  fs::create_directories(backups());
  for (int i = 0; i < 50; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "IC-746_20200101T00%02d%02dZ.txt", i / 60, i % 60);
    testing::writeBytes(backups() + "/" + name, "old");
  }
  testing::writeBytes(backups() + "/notes.txt", "mine");

  const std::string bank = dir_.file("bank.txt");
  ASSERT_EQ(run({"read", "--device", "DEV", "--rig", "IC-746", "--out", bank}), kExitOk);
  std::vector<std::string> names = filesIn(backups());
  ASSERT_EQ(names.size(), 51u);
  EXPECT_EQ(names[0], "IC-746_20200101T000001Z.txt");  // the oldest went
  EXPECT_EQ(names[49].substr(0, 7), "IC-746_");
  EXPECT_EQ(names[50], "notes.txt");
  const std::string readBackup = BackupFolder(backups()).list().back().string();
  EXPECT_TRUE(contains(out_.str(), "Backup in " + readBackup + "\n")) << out_.str();
  EXPECT_EQ(testing::readBytes(readBackup), testing::readBytes(bank));
  const std::string original = memoriesOf(*radio_, *simModel_);

  // A store from a file first backs up what it overwrites.
  std::vector<ChannelRecord> rows = parseMemoryList(testing::readBytes(bank));
  for (int r = 1; r <= 5; ++r) {
    rows[static_cast<std::size_t>(r)][colFrequency] = "7050.00";
    rows[static_cast<std::size_t>(r)][colMode] = "LSB";
    rows[static_cast<std::size_t>(r)][colName] = "CHANGED";
  }
  writeRows(dir_.file("changes.txt"), rows);
  ASSERT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", dir_.file("changes.txt"),
                 "--rows", "1-5"}),
            kExitOk)
      << err_.str();
  const std::string beforeStore = BackupFolder(backups()).list().back().string();
  EXPECT_TRUE(beforeStore.ends_with("_before-store.txt")) << beforeStore;
  const auto saved = parseMemoryList(testing::readBytes(beforeStore));
  EXPECT_EQ(saved[3], parseMemoryList(testing::readBytes(bank))[3]);
  EXPECT_NE(memoriesOf(*radio_, *simModel_), original);

  // Putting the read's backup back gives the radio its memories again, as
  // a read shows them.
  ASSERT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", readBackup, "--all"}),
            kExitOk)
      << err_.str();
  ASSERT_EQ(run({"read", "--device", "DEV", "--rig", "IC-746", "--out", dir_.file("again.txt")}),
            kExitOk);
  EXPECT_EQ(testing::readBytes(dir_.file("again.txt")), testing::readBytes(bank));
  // Fifty reads still, and both stores' backups beside them.
  EXPECT_EQ(filesIn(backups()).size(), 53u);
  EXPECT_TRUE(fs::exists(beforeStore));
}

TEST_F(CliEndToEnd, NoStoreWithoutABackupUnlessTheScriptSaysSo) {
  startRadio("IC-746");
  const std::string bank = dir_.file("bank.txt");
  ASSERT_EQ(run({"read", "--device", "DEV", "--rig", "IC-746", "--out", bank}), kExitOk);
  std::vector<ChannelRecord> rows = parseMemoryList(testing::readBytes(bank));
  rows[2][colName] = "CHANGED";
  writeRows(bank, rows);
  const std::string original = memoriesOf(*radio_, *simModel_);
  const int requests = radio_->requestCount();

  // As under "env -i": no HOME, so no folder for the backup.
  testing::ScopedEnv home("HOME", nullptr);
  testing::ScopedEnv data("XDG_DATA_HOME", nullptr);
  userBackupFolder_ = true;
  EXPECT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", bank, "--rows", "2"}),
            kExitRefused);
  EXPECT_TRUE(contains(err_.str(), "Nothing stored: no backup (no folder for backups"))
      << err_.str();
  EXPECT_FALSE(contains(err_.str(), "did not answer")) << err_.str();
  EXPECT_EQ(radio_->requestCount(), requests);  // not even asked
  EXPECT_EQ(memoriesOf(*radio_, *simModel_), original);

  EXPECT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", bank, "--rows", "2",
                 "--no-backup"}),
            kExitOk)
      << err_.str();
  EXPECT_NE(memoriesOf(*radio_, *simModel_), original);
}

TEST_F(CliEndToEnd, RowsAReadNeverReachedStayOutOfEveryStore) {
  // The IC-746 asks 14 questions for its offsets, then memories 1 to 26.
  sim::SimulatorOptions options;
  options.faults.closeAfter = 40;
  startRadio("IC-746", options);
  // An in-process read, as the desktop program would run it.
  EventLoop loop;
  TSerial serial(loop);
  serial.setDevice(radio_->devicePath());
  serial.setLockDirectory(dir_.path());
  applyCivLineSettings(serial);
  serial.setActive(true);
  ChannelTable permanent{TableKind::PermanentFile};
  ChannelTable rig{TableKind::Rig};
  PermanentFileIndex index{permanent};
  TSerialPort port(serial);
  bench::QuietWindow window;
  DebugLog log(dir_.file("icomdeb.txt"));
  Engine engine(permanent, rig, index, port, log, window, loop);
  engine.setBackupFolder(backups());
  connectReceiveEvent(serial, engine);
  loop.addTimer(100ms, [&] { engine.tick(); });
  engine.setModel(kModelIc746);
  engine.setAddress({.value = 0x56});
  engine.setEngineState(smRestart);
  // Stopped at memory 27: a stopped read keeps what it read, one timed out would not.
  ASSERT_TRUE(loop.runUntil([&] { return engine.currentMemory() == 27; }, 20s));
  engine.stopTransfer();
  ASSERT_TRUE(loop.runUntil([&] { return engine.engineState() == smIdle; }, 20s));
  serial.setActive(false);
  EXPECT_TRUE(filesIn(backups()).empty());  // only a completed read is a backup

  // Save, as the rig table's Save As does; the file dialogs give this file.
  const std::string partial = dir_.file("partial.txt");
  std::ostringstream uiErrors;
  CliFileUi ui(uiErrors, partial);
  FileCommands files(permanent, rig, ui);
  ASSERT_TRUE(files.saveAs(TableKind::Rig));
  const auto saved = parseMemoryList(testing::readBytes(partial));
  ASSERT_EQ(saved.size(), 103u);
  EXPECT_EQ(saved[26][colNumber], "26");
  for (std::size_t r = 27; r <= 102; ++r) {
    EXPECT_EQ(saved[r][colNumber], "") << r;
    EXPECT_NE(saved[r][colChanged], "1") << r;
  }

  // Open keeps them unlabelled and unmarked.
  ChannelTable permanent2{TableKind::PermanentFile};
  ChannelTable rig2{TableKind::Rig};
  FileCommands files2(permanent2, rig2, ui);
  ASSERT_TRUE(files2.open(TableKind::Rig));
  EXPECT_TRUE(IsNeverReadRow(rig2, 27));
  EXPECT_EQ(rig2.cell(colChanged, 27), "0");
  ASSERT_TRUE(files2.save(TableKind::Rig));
  EXPECT_EQ(parseMemoryList(testing::readBytes(partial))[27][colChanged], "0");
  EXPECT_FALSE(ui.failed()) << uiErrors.str();

  // Nothing of them goes to a radio: not by their marks, not with --all.
  startRadio("IC-746");
  EXPECT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", partial, "--changed"}),
            kExitOk);
  EXPECT_TRUE(contains(out_.str(), "Nothing to store")) << out_.str();
  EXPECT_EQ(radio_->requestCount(), 0);
  const std::string before = memoriesOf(*radio_, *simModel_);
  EXPECT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", partial, "--all"}), kExitOk)
      << err_.str();
  EXPECT_TRUE(contains(out_.str(), "Skipped 76 rows never read")) << out_.str();
  EXPECT_TRUE(contains(out_.str(), "Stored 26 memories")) << out_.str();
  // Memories 27 and up are as they were.
  const std::string after = memoriesOf(*radio_, *simModel_);
  EXPECT_EQ(after.substr(after.find("mem 30 ")), before.substr(before.find("mem 30 ")));
}

TEST_F(CliEndToEnd, APermanentFileThatCannotBeReadIsLeftAsItIs) {
  const std::string perm = dir_.file("perm.txt");
  std::string tooLong;
  for (int i = 0; i <= 1'000'000; ++i) tooLong += "\r\n";
  testing::writeBytes(perm, tooLong);
  testing::writeBytes(dir_.file("list.csv"),
                      "Location,Name,Frequency,Duplex,Offset,Mode\r\n1,ONE,145.500000,,0,FM\r\n");
  EXPECT_EQ(run({"import", "--rig", "IC-746", "--in", dir_.file("list.csv"), "--permanent", perm}),
            kExitUsage);
  EXPECT_TRUE(contains(err_.str(), "Cannot open file " + perm + "\nMore than 1,000,000 lines"))
      << err_.str();
  EXPECT_EQ(testing::readBytes(perm), tooLong);
}

TEST_F(CliEndToEnd, ASignalEndsTheCommandAndRemovesThePortLock) {
  sim::SimulatorOptions paced;
  paced.baud = 9600;  // a read of some seconds
  startRadio("IC-746", paced);
  const std::string lock =
      std::string(kDefaultLockDirectory) + "/" + PortLock::fileName(radio_->devicePath());
  // SIGPIPE: the reader of a pipe went away (`tarnwick-cli read ... | head -1`).
  for (const auto& [signal, name] :
       {std::pair{SIGTERM, "SIGTERM"}, std::pair{SIGPIPE, "SIGPIPE"}}) {
    int code = -1;
    std::thread command([&] {
      code = run({"read", "--device", "DEV", "--rig", "IC-746", "--out", dir_.file("b.txt")});
    });
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!fs::exists(lock) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(10ms);
    }
    const bool locked = fs::exists(lock);
    const auto sent = std::chrono::steady_clock::now();
    ::kill(::getpid(), signal);
    command.join();
    ASSERT_TRUE(locked) << lock;
    EXPECT_LT(std::chrono::steady_clock::now() - sent, 2s);
    EXPECT_EQ(code, kExitSignal + signal);
    EXPECT_TRUE(contains(err_.str(), "Stopped by " + std::string(name) + "\n")) << err_.str();
    EXPECT_FALSE(fs::exists(lock));
    EXPECT_FALSE(fs::exists(dir_.file("b.txt")));  // a read cut short is not saved
  }
}

// Two reads collect into one permanent file at the same time: the slower
// one saves last and keeps what the faster one collected.
TEST_F(CliEndToEnd, TwoReadsIntoOnePermanentFileKeepBothSetsOfChannels) {
  const sim::RadioModel* slowModel = sim::findRadioModel("IC-746");
  const sim::RadioModel* fastModel = sim::findRadioModel("IC-756Pro");
  sim::SimulatorOptions paced;
  paced.baud = 9600;
  sim::Simulator slow(*slowModel,
                      sim::parseMemoryFile(sim::defaultMemoryText(*slowModel), *slowModel), paced);
  sim::Simulator fast(*fastModel,
                      sim::parseMemoryFile(sim::defaultMemoryText(*fastModel), *fastModel));
  slow.start();
  fast.start();
  const std::string perm = dir_.file("perm.txt");

  struct Run {
    std::vector<std::string> args;
    std::ostringstream out;
    std::ostringstream err;
    int code = -1;
  };
  Run runs[2];
  runs[0].args = {"tarnwick-cli", "read",   "--device", slow.devicePath(),
                  "--rig",        "IC-746", "--out",    dir_.file("slow.txt"),
                  "--permanent",  perm};
  runs[1].args = {"tarnwick-cli", "read",      "--device", fast.devicePath(),
                  "--rig",        "IC-756Pro", "--out",    dir_.file("fast.txt"),
                  "--permanent",  perm};
  std::vector<std::thread> threads;
  for (int i = 0; i < 2; ++i) {
    threads.emplace_back([&, i] {
      Run& r = runs[i];
      std::vector<char*> argv;
      for (std::string& a : r.args) argv.push_back(a.data());
      RunEnvironment env;
      env.debugLogPath = dir_.file("icomdeb" + std::to_string(i) + ".txt");
      env.backupFolder = backups();
      env.tick = tick_;
      r.code = cliMain(static_cast<int>(argv.size()), argv.data(), r.out, r.err, env);
    });
  }
  for (std::thread& t : threads) t.join();
  ASSERT_EQ(runs[0].code, kExitOk) << runs[0].err.str();
  ASSERT_EQ(runs[1].code, kExitOk) << runs[1].err.str();
  EXPECT_TRUE(contains(runs[0].err.str(), "added by another program were kept"))
      << "the reads did not overlap: " << runs[0].err.str();

  // Every channel either radio holds is in the file.
  std::set<std::pair<std::string, std::string>> inFile;
  for (const ChannelRecord& r : parseMemoryList(testing::readBytes(perm))) {
    inFile.emplace(r[colFrequency], r[colName]);
  }
  int channels = 0;
  for (const char* bank : {"slow.txt", "fast.txt"}) {
    const auto rows = parseMemoryList(testing::readBytes(dir_.file(bank)));
    for (std::size_t r = 1; r < rows.size(); ++r) {
      if (rows[r][colFrequency].empty()) continue;
      ++channels;
      EXPECT_TRUE(inFile.contains({rows[r][colFrequency], rows[r][colName]}))
          << bank << " row " << r << ": " << rows[r][colFrequency] << " " << rows[r][colName];
    }
  }
  EXPECT_GT(channels, 10);
}

}  // namespace
}  // namespace tarnwick::cli
