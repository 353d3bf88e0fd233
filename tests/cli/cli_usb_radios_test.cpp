// tarnwick-cli with the IC-7300 family as they sit on USB: 115200 baud, with
// and without the echo of the program's own frames, and with CI-V Transceive
// sending dial reports every 20 ms through every read, store and tune.

#include <gtest/gtest.h>

#include <thread>

#include "tests/cli/cli_fixture.h"

namespace tarnwick::cli {
namespace {

struct UsbCase {
  std::string simName;
  int modelIndex;
  bool echo;
  int nameLength = 0;  // the radio's names in another length than its own
};

class CliUsbRadio : public CliEndToEnd, public ::testing::WithParamInterface<UsbCase> {
 protected:
  void SetUp() override {
    sim::SimulatorOptions options;
    options.baud = 115200;
    options.echo = GetParam().echo;
    options.transceiveMs = 20;
    startRadio(GetParam().simName, options, GetParam().nameLength);
  }
  // Waits until the radio has heard `count` data-mode commands (1A 06). On a
  // loaded machine a repeated command's second OK can end the tune before
  // its last command is heard.
  bool heardDataModeCommands(std::size_t count) const {
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    for (;;) {
      std::size_t heard = 0;
      for (const sim::LogEntry& e : radio_->frameLog()) {
        heard += e.direction == sim::LogDirection::In && e.bytes.size() > 6 && e.bytes[4] == 0x1A &&
                         e.bytes[5] == 0x06
                     ? 1
                     : 0;
      }
      if (heard >= count) return true;
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
  }
  std::vector<std::string> with(std::vector<std::string> args) const {
    args.insert(args.end(), {"--device", "DEV", "--rig", GetParam().simName, "--baud", "115200"});
    return args;
  }
};

TEST_P(CliUsbRadio, ReadsStoresAndTunesADataMode) {
  const UsbCase& c = GetParam();
  const std::string bank = dir_.file("bank.txt");
  ASSERT_EQ(run(with({"read", "--out", bank})), kExitOk) << err_.str();
  EXPECT_EQ(testing::readBytes(bank), expectedBank(c.modelIndex, 0));

  // A new name for memory 5, longer than 10 characters, and a blank memory
  // 13 becomes FT8 on USB-D.
  std::vector<ChannelRecord> rows = parseMemoryList(testing::readBytes(bank));
  rows[5][colName] = "RENAMED BULLETIN";
  rows[13][colFrequency] = "14074";
  rows[13][colMode] = "USB-D";
  rows[13][colFilter] = "Wide";
  rows[13][colName] = "FT8 20M";
  writeRows(bank, rows);
  ASSERT_EQ(run(with({"store", "--in", bank, "--rows", "5,13"})), kExitOk)
      << out_.str() << err_.str();
  const sim::RadioState state = radio_->state();
  EXPECT_EQ(state.memory({0, 5}).name.substr(0, 8), "RENAMED ");
  // A radio that keeps 10 characters gets the first 10, and the user hears of it.
  const bool keepsTen = c.modelIndex != kModelIc7300Mk2 || c.nameLength == 10;
  EXPECT_EQ(out_.str().find("Wrote memory 5 (name cut to \"RENAMED BU\")") != std::string::npos,
            keepsTen)
      << out_.str();
  const sim::Memory& ft8 = state.memory({0, 13});
  EXPECT_EQ(ft8.rx.hz, 14074000);
  EXPECT_EQ(ft8.rx.mode, sim::mode::kUsb);
  EXPECT_TRUE(ft8.rx.data);
  EXPECT_EQ(ft8.rx.filter, sim::filter::kWide);
  EXPECT_EQ(ft8.name.substr(0, 8), "FT8 20M ");

  ASSERT_EQ(run(with({"tune", "7074", "LSB-D", "Narrow"})), kExitOk) << err_.str();
  ASSERT_TRUE(heardDataModeCommands(1));
  EXPECT_EQ(radio_->state().vfo.hz, 7074000);
  EXPECT_EQ(radio_->state().vfo.mode, sim::mode::kLsb);
  EXPECT_TRUE(radio_->state().vfo.data);
  EXPECT_EQ(radio_->state().vfo.filter, sim::filter::kNarrow);
  ASSERT_EQ(run(with({"tune", "14195", "USB"})), kExitOk) << err_.str();
  ASSERT_TRUE(heardDataModeCommands(2));
  EXPECT_FALSE(radio_->state().vfo.data);

  std::size_t dialReports = 0;
  for (const sim::LogEntry& e : radio_->frameLog()) {
    dialReports += e.direction == sim::LogDirection::Out && e.bytes[2] == 0x00 ? 1 : 0;
  }
  EXPECT_GT(dialReports, 10u);
}

// Every radio that sits on USB, with and without the echo; the IC-7300MK2
// also as it answers with names of 10 characters.
std::vector<UsbCase> usbCases() {
  std::vector<UsbCase> cases;
  for (const RigModel& m : supportedModels()) {
    if (m.usualBaud != 115200) continue;
    for (bool echo : {true, false}) {
      cases.push_back({std::string(modelName(m.modelIndex)), m.modelIndex, echo});
    }
  }
  cases.push_back({"IC-7300MK2", kModelIc7300Mk2, false, 10});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Models, CliUsbRadio, ::testing::ValuesIn(usbCases()),
                         [](const auto& info) {
                           std::string n = info.param.simName;
                           std::erase(n, '-');
                           return n + (info.param.echo ? "Echo" : "NoEcho") +
                                  (info.param.nameLength ? "ShortNames" : "");
                         });

}  // namespace
}  // namespace tarnwick::cli
