// tarnwick-cli import and export: a CHIRP list into a rig table file, into
// the simulated radio with store --changed, and out again.

#include <gtest/gtest.h>

#include <sstream>

#include "chirp/csv_text.h"
#include "cli/cli_run.h"
#include "files/memory_list_format.h"
#include "sim/memory_file.h"
#include "sim/simulator.h"
#include "tests/support/temp_folder.h"

namespace tarnwick::cli {
namespace {

using namespace std::chrono_literals;

class CliCsv : public ::testing::Test {
 protected:
  int run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    std::vector<char*> argv{const_cast<char*>("tarnwick-cli")};
    for (std::string& a : args) argv.push_back(a.data());
    RunEnvironment env;
    env.debugLogPath = dir_.file("icomdeb.txt");
    env.backupFolder = dir_.file("backups");  // never the user's
    env.tick = 250ms;
    return cliMain(static_cast<int>(argv.size()), argv.data(), out_, err_, env);
  }

  testing::TempFolder dir_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CliCsv, ImportedRowsGoIntoTheRadioAndComeBackOut) {
  const sim::RadioModel& model = *sim::findRadioModel("IC-746");
  sim::Simulator radio(model, sim::parseMemoryFile(sim::defaultMemoryText(model), model));
  radio.start();
  const sim::Memory untouched = radio.state().memory({0, 5});

  const std::string list = dir_.file("list.csv");
  const std::string bank = dir_.file("bank.txt");
  testing::writeBytes(list,
                      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode\r\n"
                      "3,Rpt 2m,145.600000,-,0.700000,Tone,123.0,88.5,FM\r\n"
                      "4,Simplex,145.500000,,0.000000,,88.5,88.5,NFM\r\n"
                      "5,DSTAR,145.375000,,0.000000,,88.5,88.5,DV\r\n");
  // The radio's own 2 m offset is 700 kHz.
  ASSERT_EQ(run({"import", "--rig", "IC-746", "--offsets", "120000,1000000,700000", "--in", list,
                 "--out", bank}),
            kExitRefused);
  EXPECT_NE(err_.str().find(list + " line 4 (Location 5) \"DSTAR\": left out: mode \"DV\""),
            std::string::npos)
      << err_.str();
  EXPECT_NE(err_.str().find("Imported 2 of 3 rows of " + list + " into rows 3 to 4: 1 left out"),
            std::string::npos);
  // A second import into the same file keeps the marks of the first.
  testing::writeBytes(list,
                      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode\r\n"
                      "8,Later,146.520000,,0.000000,,88.5,88.5,FM\r\n");
  ASSERT_EQ(run({"import", "--rig", "IC-746", "--in", list, "--out", bank}), kExitOk);
  const std::vector<ChannelRecord> rows = parseMemoryList(testing::readBytes(bank));
  ASSERT_EQ(rows.size(), 103u);
  EXPECT_EQ(rows[101][colNumber], "P2");
  for (std::size_t r = 1; r < rows.size(); ++r) {
    EXPECT_EQ(rows[r][colChanged] == "1", r == 3 || r == 4 || r == 8) << r;
  }

  ASSERT_EQ(
      run({"store", "--device", radio.devicePath(), "--rig", "IC-746", "--in", bank, "--changed"}),
      kExitOk)
      << err_.str();
  const sim::RadioState state = radio.state();
  const sim::Memory& rpt = state.memory({0, 3});
  EXPECT_EQ(rpt.rx.hz, 145600000);
  EXPECT_TRUE(rpt.rx.duplexMinus);
  EXPECT_TRUE(rpt.rx.toneOn);
  EXPECT_EQ(rpt.rx.tone, 1230);
  EXPECT_EQ(rpt.name, "Rpt 2m   ");
  EXPECT_EQ(state.memory({0, 4}).rx.filter, sim::filter::kNarrow);
  EXPECT_EQ(state.memory({0, 8}).rx.hz, 146520000);
  EXPECT_EQ(state.memory({0, 5}), untouched);

  const std::string back = dir_.file("back.csv");
  ASSERT_EQ(run({"export", "--rig", "IC-746", "--in", bank, "--out", back, "--rows", "3,4"}),
            kExitOk)
      << err_.str();
  const CsvDocument doc = parseCsv(testing::readBytes(back));
  ASSERT_EQ(doc.records.size(), 3u);
  EXPECT_EQ(
      std::vector<std::string>(doc.records[1].fields.begin(), doc.records[1].fields.begin() + 8),
      (std::vector<std::string>{"3", "Rpt 2m", "145.600000", "-", "0.700000", "Tone", "123.0",
                                "88.5"}));
  EXPECT_EQ(doc.records[2].fields[10], "NFM");
}

TEST_F(CliCsv, BadUsageAndFilesThatCannotBeReadExitWithTwo) {
  const std::string list = dir_.file("list.csv");
  testing::writeBytes(list, "Location,Name,Frequency\n1,A,145.5\n");
  const std::string bank = dir_.file("bank.txt");
  const std::vector<std::vector<std::string>> usages{
      {"import", "--rig", "IC-746", "--in", list},
      {"import", "--rig", "IC-746", "--in", list, "--out", bank, "--permanent", bank},
      {"import", "--rig", "IC-746", "--in", list, "--permanent", bank, "--start", "3"},
      {"import", "--rig", "IC-746", "--in", list, "--out", bank, "--start", "0"},
      {"export", "--rig", "IC-746", "--in", bank},
      {"import", "--rig", "IC-746", "--in", dir_.file("missing.csv"), "--out", bank},
      {"export", "--rig", "IC-746", "--in", dir_.file("missing.txt"), "--out", list},
      {"import", "--rig", "IC-746", "--in", list, "--out", dir_.path()},
  };
  for (const auto& args : usages) {
    EXPECT_EQ(run(args), kExitUsage) << args.back();
  }
  EXPECT_NE(err_.str().find("is a folder"), std::string::npos);
  EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"list.csv"}));

  // A permanent file is created when missing and appended to.
  const std::string perm = dir_.file("perm.txt");
  ASSERT_EQ(run({"import", "--rig", "IC-910", "--in", list, "--permanent", perm}), kExitOk);
  ASSERT_EQ(run({"import", "--rig", "IC-910", "--in", list, "--permanent", perm}), kExitOk);
  EXPECT_EQ(parseMemoryList(testing::readBytes(perm)).size(), 3u);
}

TEST_F(CliCsv, ARowThatOnceAbortedTheImportIsLeftOutAndNamed) {
  const std::string list = dir_.file("rpt.csv");
  testing::writeBytes(list,
                      "Location,Name,Frequency,Duplex,Offset\n1,RPT,145.000000,-,145.500000\n");
  EXPECT_EQ(run({"import", "--rig", "IC-746", "--in", list, "--out", dir_.file("rig.txt")}),
            kExitRefused);
  EXPECT_NE(err_.str().find("line 2 (Location 1) \"RPT\": left out: transmit frequency "
                            "-0.500000 MHz is not above 0 MHz"),
            std::string::npos)
      << err_.str();
}

}  // namespace
}  // namespace tarnwick::cli
