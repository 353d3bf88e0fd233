// tarnwick-cli end to end: the real serial component and engine against the
// radio simulator on a pseudo-terminal, files on disk.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/cli_run.h"
#include "files/memory_list_format.h"
#include "rig/memory_contents.h"
#include "rig/rig_catalogue.h"
#include "sim/memory_file.h"
#include "sim/memory_layout.h"
#include "sim/simulator.h"
#include "tables/fill_rig_row.h"
#include "tables/permanent_index.h"
#include "tables/table_ops.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/temp_folder.h"

namespace tarnwick::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct BankCase {
  const char* simName;
  const char* rigArg;
  int modelIndex;
  const char* bandArg;
  int band;
};

class CliReadsEveryBank : public CliEndToEnd, public ::testing::WithParamInterface<BankCase> {};

TEST_P(CliReadsEveryBank, WritesWhatASaveAfterAReadWrites) {
  const BankCase& c = GetParam();
  startRadio(c.simName);
  const std::string out = dir_.file("bank.txt");
  std::vector<std::string> args{"read", "--device", "DEV", "--rig", c.rigArg, "--out", out};
  if (c.bandArg[0] != '\0') {
    args.push_back("--band");
    args.push_back(c.bandArg);
  }
  ASSERT_EQ(run(args), kExitOk) << err_.str();
  EXPECT_EQ(testing::readBytes(out), expectedBank(c.modelIndex, c.band));
  EXPECT_NE(err_.str().find("Ready"), std::string::npos);
  EXPECT_NE(out_.str().find("Read " + std::to_string(findRigModel(c.modelIndex)->memoryCount) +
                            " memories"),
            std::string::npos)
      << out_.str();
}

INSTANTIATE_TEST_SUITE_P(
    Models, CliReadsEveryBank,
    ::testing::Values(BankCase{"IC-746", "IC-746", kModelIc746, "", 0},
                      BankCase{"IC-746Pro", "ic-746pro", kModelIc746Pro, "", 0},
                      BankCase{"IC-756Pro", "IC-756Pro", kModelIc756Pro, "", 0},
                      BankCase{"IC-756ProII", "IC-756Pro2", kModelIc756ProII, "", 0},
                      BankCase{"IC-910", "IC-910", kModelIc910, "430", 2}),
    [](const auto& info) {
      std::string n = info.param.simName;
      std::erase(n, '-');
      return n;
    });

TEST_F(CliEndToEnd, ReadCollectsNewChannelsIntoThePermanentFileOnce) {
  startRadio("IC-756Pro");
  const std::string perm = dir_.file("perm.txt");
  const std::string out = dir_.file("bank.txt");
  ASSERT_EQ(
      run({"read", "--device", "DEV", "--rig", "IC-756Pro", "--out", out, "--permanent", perm}),
      kExitOk)
      << err_.str();
  const std::vector<ChannelRecord> first = parseMemoryList(testing::readBytes(perm));
  ASSERT_GT(first.size(), 2u);
  EXPECT_EQ(first[0][colFrequency], "Frequency");
  EXPECT_EQ(first[1][colNumber], "1");  // the lone empty row was reused
  EXPECT_NE(out_.str().find(std::to_string(first.size() - 1) + " new channels"), std::string::npos)
      << out_.str();

  // A second read finds every channel there already.
  ASSERT_EQ(
      run({"read", "--device", "DEV", "--rig", "IC-756Pro", "--out", out, "--permanent", perm}),
      kExitOk);
  EXPECT_EQ(parseMemoryList(testing::readBytes(perm)).size(), first.size());
  EXPECT_NE(out_.str().find("0 new channels"), std::string::npos) << out_.str();
}

TEST_F(CliEndToEnd, StoreWritesExactlyTheChosenRows) {
  startRadio("IC-756Pro");
  const std::string bank = dir_.file("bank.txt");
  ASSERT_EQ(run({"read", "--device", "DEV", "--rig", "IC-756Pro", "--out", bank}), kExitOk);
  const sim::RadioState before = radio_->state();

  // Rename memories 1 and 2 and change 3 in the file; store only 1 and 3.
  std::vector<ChannelRecord> rows = parseMemoryList(testing::readBytes(bank));
  rows[1][colName] = "FIRST";
  rows[2][colName] = "SECOND";
  rows[3][colFrequency] = "7050";
  rows[3][colMode] = "CW";
  writeRows(bank, rows);

  ASSERT_EQ(run({"store", "--device", "DEV", "--rig", "IC-756Pro", "--in", bank, "--rows", "1,3"}),
            kExitOk)
      << err_.str();
  const sim::RadioState after = radio_->state();
  EXPECT_EQ(after.memory({0, 1}).name, "FIRST     ");
  EXPECT_EQ(after.memory({0, 2}).name, before.memory({0, 2}).name);
  EXPECT_EQ(after.memory({0, 3}).rx.hz, 7050000);
  EXPECT_NE(out_.str().find("Wrote memory 1\n"), std::string::npos);
  EXPECT_NE(out_.str().find("Wrote memory 3\n"), std::string::npos);
  EXPECT_EQ(out_.str().find("memory 2\n"), std::string::npos);
}

TEST_F(CliEndToEnd, StoreChangedUsesTheFilesMarksAndNamesRefusedRows) {
  sim::SimulatorOptions options;
  options.faults.ngWrite = {7};
  startRadio("IC-746", options);
  const std::string bank = dir_.file("bank.txt");
  ASSERT_EQ(run({"read", "--device", "DEV", "--rig", "IC-746", "--out", bank}), kExitOk);
  std::vector<ChannelRecord> rows = parseMemoryList(testing::readBytes(bank));
  rows[3][colChanged] = "1";
  rows[7][colChanged] = "1";
  rows[3][colName] = "THREE";
  writeRows(bank, rows);
  // Row 2 as a tool that ends lines with LF alone writes it back.
  std::string bytes = testing::readBytes(bank);
  bytes.replace(bytes.find("\r\n3;"), 2, "\n");
  testing::writeBytes(bank, bytes);

  EXPECT_EQ(run({"store", "--device", "DEV", "--rig", "IC-746", "--in", bank, "--changed"}),
            kExitRefused);
  EXPECT_EQ(radio_->state().memory({0, 3}).name, "THREE    ");
  EXPECT_NE(out_.str().find("Wrote memory 3\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("Refused memory 7\n"), std::string::npos) << out_.str();
  EXPECT_NE(err_.str().find("refused 1 of 2 memories: 7"), std::string::npos) << err_.str();
}

TEST_F(CliEndToEnd, TuneLeavesTheRadioOnTheFrequencyAndMode) {
  startRadio("IC-756ProII");
  ASSERT_EQ(run({"tune", "--device", "DEV", "--rig", "IC-756Pro2", "145.5", "fm", "wide"}), kExitOk)
      << err_.str();
  const sim::Vfo vfo = radio_->state().vfo;
  EXPECT_EQ(vfo.hz, 145500);
  EXPECT_EQ(vfo.mode, 0x05);
  EXPECT_EQ(vfo.filter, 0x01);
  ASSERT_EQ(run({"tune", "--device", "DEV", "--rig", "IC-756Pro2", "7,050.00"}), kExitOk);
  EXPECT_EQ(radio_->state().vfo.hz, 7050000);
  EXPECT_EQ(radio_->state().vfo.mode, 0x00);  // lower sideband below 10 MHz
}

TEST_F(CliEndToEnd, FailuresGiveTheirExitCodes) {
  // No port.
  EXPECT_EQ(run({"read", "--device", dir_.file("no-such-tty"), "--rig", "IC-746", "--out",
                 dir_.file("x.txt")}),
            kExitPort);
  EXPECT_NE(err_.str().find("no such device"), std::string::npos) << err_.str();
  // The start-up lines of the debug log, as the desktop program writes them.
  const std::string log = testing::readBytes(dir_.file("icomdeb.txt"));
  const std::string port = dir_.file("no-such-tty");
  EXPECT_NE(log.find("Program start\r\nTrying COM " + port +
                     "\r\n      Baud 9600\r\n       Adr "
                     "56\r\n     Model IC-746\r\nINIT: Error open COM" +
                     port + "\r\n"),
            std::string::npos)
      << log;

  // A file that is not there: nothing is sent.
  startRadio("IC-756Pro");
  EXPECT_EQ(run({"store", "--device", "DEV", "--rig", "IC-756Pro", "--in", dir_.file("none.txt"),
                 "--all"}),
            kExitUsage);
  EXPECT_NE(err_.str().find("Cannot open file "), std::string::npos) << err_.str();
  EXPECT_EQ(radio_->requestCount(), 0);

  // Bad usage.
  EXPECT_EQ(run({"read", "--device", "DEV", "--rig", "IC-756Pro", "--out", dir_.path() + "/"}),
            kExitUsage);
  EXPECT_NE(err_.str().find("is a folder, not a file"), std::string::npos) << err_.str();
  EXPECT_EQ(run({"read", "--device", "DEV", "--rig", "IC-756Pro", "--out", dir_.file("x.txt"),
                 "--permanent", dir_.path()}),
            kExitUsage);
  EXPECT_EQ(radio_->requestCount(), 0);
  EXPECT_EQ(run({"tune", "--device", "DEV", "--rig", "IC-756Pro"}), kExitUsage);
  EXPECT_EQ(run({"tune", "--device", "DEV", "--rig", "IC-756Pro", "abc"}), kExitUsage);
  EXPECT_EQ(run({"read", "--device", "DEV", "--rig", "IC-R75", "--out", dir_.file("x.txt")}),
            kExitUsage);

  // An output that is an input under another name is never written over.
  const std::string list = dir_.file("list.txt");
  testing::writeBytes(list, "#;Frequency\r\n");
  fs::create_symlink(list, dir_.file("link.txt"));
  for (const auto& [command, in] : {std::pair{"export", "--in"}, std::pair{"print", "--in"},
                                    std::pair{"read", "--permanent"}}) {
    EXPECT_EQ(run({command, "--device", "DEV", "--rig", "IC-756Pro", in, list, "--out",
                   dir_.file("link.txt")}),
              kExitUsage)
        << command;
    EXPECT_EQ(err_.str(),
              "--out " + dir_.file("link.txt") + " is the same file as " + in + " " + list + "\n");
  }
  EXPECT_EQ(testing::readBytes(list), "#;Frequency\r\n");
  EXPECT_EQ(radio_->requestCount(), 0);
}

TEST_F(CliEndToEnd, SilentRadioEndsInItsTimeout) {
  tick_ = 40ms;
  sim::SimulatorOptions options;
  options.faults.silent = true;
  startRadio("IC-746", options);
  EXPECT_EQ(run({"read", "--device", "DEV", "--rig", "IC-746", "--out", dir_.file("x.txt")}),
            kExitNoAnswer);
  // The IC-746 begins with the VFO selection: time-out 1, after two repeats.
  EXPECT_NE(err_.str().find("did not answer (time-out 1)"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(dir_.file("x.txt")));
  const std::string log = testing::readBytes(dir_.file("icomdeb.txt"));
  EXPECT_NE(log.find("Repeat 2: no answer within "), std::string::npos);
  EXPECT_EQ(log.find("Repeat 3"), std::string::npos);
  EXPECT_NE(log.find("Timeout: 1\r\n"), std::string::npos);

  EXPECT_EQ(run({"tune", "--device", "DEV", "--rig", "IC-746", "7050"}), kExitNoAnswer);
  EXPECT_NE(err_.str().find("time-out 17"), std::string::npos) << err_.str();
}

TEST_F(CliEndToEnd, ReadSurvivesNoiseAndAnswersInPieces) {
  sim::SimulatorOptions options;
  options.noise = true;
  options.splitAnswers = true;
  startRadio("IC-746Pro", options);
  const std::string out = dir_.file("bank.txt");
  ASSERT_EQ(run({"read", "--device", "DEV", "--rig", "IC-746Pro", "--out", out}), kExitOk)
      << err_.str();
  EXPECT_EQ(testing::readBytes(out), expectedBank(kModelIc746Pro, 0));
}

// Lost requests and answers for the wrong memory cost a repeat each, not the
// bank: every row comes out as the radio holds it.
TEST_F(CliEndToEnd, DroppedRequestsAndShiftedAnswersStillGiveTheWholeBank) {
  for (const bool drop : {true, false}) {
    sim::SimulatorOptions options;
    if (drop) {
      options.faults.dropEvery = 5;
    } else {
      options.faults.shiftAnswer = {4, 20, 101};
    }
    startRadio("IC-756Pro", options);
    const std::string out = dir_.file("bank.txt");
    ASSERT_EQ(run({"read", "--device", "DEV", "--rig", "IC-756Pro", "--out", out}), kExitOk)
        << err_.str();
    EXPECT_EQ(testing::readBytes(out), expectedBank(kModelIc756Pro, 0)) << drop;
    const std::string log = testing::readBytes(dir_.file("icomdeb.txt"));
    EXPECT_NE(
        log.find(drop ? "Repeat 1: no answer within " : "Repeat 1: answer for memory 21, not 20"),
        std::string::npos);
    radio_->stop();
  }
}

// A device that goes away ends the read at once with the port's exit code,
// and the memories not read are named.
TEST_F(CliEndToEnd, ReadCutShortNamesTheMemoriesNotRead) {
  tick_ = 100ms;
  sim::SimulatorOptions options;
  options.faults.closeAfter = 40;
  startRadio("IC-756Pro", options);
  EXPECT_EQ(run({"read", "--device", "DEV", "--rig", "IC-756Pro", "--out", dir_.file("x.txt")}),
            kExitPort);
  EXPECT_NE(err_.str().find("Lost connection to " + radio_->devicePath() + "\n"), std::string::npos)
      << err_.str();
  EXPECT_NE(err_.str().find("Memories not read: 41-101\n"), std::string::npos) << err_.str();
  EXPECT_FALSE(fs::exists(dir_.file("x.txt")));
}

TEST_F(CliEndToEnd, DeviceClosingMidReadEndsCleanly) {
  tick_ = 100ms;
  sim::SimulatorOptions options;
  options.faults.closeAfter = 20;
  startRadio("IC-756Pro", options);
  const std::clock_t cpuBefore = std::clock();
  const auto wallBefore = std::chrono::steady_clock::now();
  EXPECT_EQ(run({"read", "--device", "DEV", "--rig", "IC-756Pro", "--out", dir_.file("x.txt")}),
            kExitPort);
  const double cpu = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
  // The lost device is reported once, as lost, with no bare system error.
  const std::string e = err_.str();
  const std::size_t first = e.find("Lost connection to ");
  ASSERT_NE(first, std::string::npos) << e;
  EXPECT_EQ(e.find("Lost connection to ", first + 1), std::string::npos) << e;
  EXPECT_EQ(e.find("Serial port: "), std::string::npos) << e;
  // Nothing spins on the dead device.
  EXPECT_LT(cpu, 0.5 * wall + 0.05) << cpu << " s of CPU in " << wall << " s";
}

// Standard output that unplugs the radio when the command first writes its
// result, and gives the receive thread time to notice.
class UnplugOnFirstOutput : public std::stringbuf {
 public:
  explicit UnplugOnFirstOutput(sim::Simulator& radio) : radio_(radio) {}

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    unplug();
    return std::stringbuf::xsputn(s, n);
  }
  int_type overflow(int_type c) override {
    unplug();
    return std::stringbuf::overflow(c);
  }

 private:
  void unplug() {
    if (done_) return;
    done_ = true;
    radio_.stop();
    std::this_thread::sleep_for(200ms);
  }
  sim::Simulator& radio_;
  bool done_ = false;
};

TEST_F(CliEndToEnd, DeviceGoneAfterTheCommandIsReportedWhileClosing) {
  startRadio("IC-756Pro");
  UnplugOnFirstOutput buffer(*radio_);
  std::ostream out(&buffer);
  std::vector<std::string> args{"tarnwick-cli", "tune",      "--device", radio_->devicePath(),
                                "--rig",        "IC-756Pro", "7050"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  RunEnvironment env;
  env.debugLogPath = dir_.file("icomdeb.txt");
  env.backupFolder = dir_.file("backups");  // never the user's
  env.tick = tick_;
  EXPECT_EQ(cliMain(static_cast<int>(argv.size()), argv.data(), out, err_, env), kExitOk);
  EXPECT_NE(buffer.str().find("Tuned to"), std::string::npos);
  // Closing the port of the lost device still has somewhere to report to.
  EXPECT_NE(err_.str().find("Serial port: "), std::string::npos) << err_.str();
}

TEST_F(CliEndToEnd, PortHeldByAnotherProgramIsNamed) {
  startRadio("IC-756Pro");
  const int fd = ::open(radio_->devicePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(run({"tune", "--device", "DEV", "--rig", "IC-756Pro", "7050"}), kExitPort);
  EXPECT_NE(err_.str().find("in use by another program"), std::string::npos) << err_.str();
  ::close(fd);
}

}  // namespace
}  // namespace tarnwick::cli
