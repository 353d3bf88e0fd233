// tarnwick-cli detect against the simulator: which radio, at which speed,
// by its ID or, for a radio without one, by its frequency.

#include <tuple>

#include "serial/posix_port.h"
#include "serial/serial_errors.h"
#include "tests/cli/cli_fixture.h"

namespace tarnwick::cli {
namespace {

// The requests the radio heard, as hex lines.
std::vector<std::string> heard(const sim::Simulator& radio) {
  std::vector<std::string> lines;
  for (const sim::LogEntry& e : radio.frameLog()) {
    if (e.direction == sim::LogDirection::In) lines.push_back(sim::logLine(e));
  }
  return lines;
}

bool deviceIsFree(const std::string& path, const std::string& lockDirectory) {
  PosixPort port;
  try {
    port.open(path, lockDirectory);
  } catch (const SerialOpenError&) {
    return false;
  }
  return true;
}

TEST_F(CliEndToEnd, DetectFindsTheRadioAtItsSpeedByIdOrByFrequency) {
  // A radio that understands only 19200 baud, and knows the ID request.
  sim::SimulatorOptions at19200;
  at19200.baud = 19200;
  at19200.strictSpeed = true;
  startRadio("IC-910", at19200);
  ASSERT_EQ(run({"detect", "--device", "DEV"}), kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "IC-910 (60h) at 19200 baud on " + radio_->devicePath() + "\n");
  EXPECT_EQ(heard(*radio_).back(), "IN FE FE 00 E0 19 00 FD");
  EXPECT_EQ(radio_->requestCount(), 1);
  EXPECT_TRUE(deviceIsFree(radio_->devicePath(), kDefaultLockDirectory));
  radio_->stop();

  // An older radio at 9600 without it: found by a frequency read at its
  // catalogue address.
  sim::SimulatorOptions older;
  older.baud = 9600;
  older.strictSpeed = true;
  older.faults.noId = true;
  startRadio("IC-746", older);
  ASSERT_EQ(run({"detect", "--device", "DEV"}), kExitOk) << err_.str();
  EXPECT_EQ(out_.str(), "IC-746 (56h) at 9600 baud on " + radio_->devicePath() + "\n");
  EXPECT_EQ(heard(*radio_).back(), "IN FE FE 56 E0 03 FD");
  EXPECT_NE(err_.str().find("Asking " + radio_->devicePath() + " at 115200 baud ..."),
            std::string::npos)
      << err_.str();

  // With CI-V Transceive on, dial reports every 20 to 50 ms keep the line
  // from going quiet, at the wrong speeds too.
  for (const auto& [model, baud, ms, found] : {std::tuple{"IC-7300", 9600, 20, "IC-7300 (94h)"},
                                               std::tuple{"IC-746", 1200, 50, "IC-746 (56h)"}}) {
    radio_->stop();
    sim::SimulatorOptions busy = older;
    busy.baud = baud;
    busy.transceiveMs = ms;
    busy.faults.noId = std::string(model) == "IC-746";  // found by its frequency, as above
    startRadio(model, busy);
    ASSERT_EQ(run({"detect", "--device", "DEV"}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str(), std::string(found) + " at " + std::to_string(baud) + " baud on " +
                              radio_->devicePath() + "\n");
  }
}

TEST_F(CliEndToEnd, DetectGivesUpWithinItsTimeWhenNothingAnswers) {
  sim::SimulatorOptions silent;
  silent.faults.silent = true;
  startRadio("IC-756Pro", silent);
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(run({"detect", "--device", "DEV"}), kExitNoAnswer);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 10s);
  EXPECT_EQ(out_.str(), "");
  EXPECT_NE(err_.str().find("No radio answers on " + radio_->devicePath()), std::string::npos);
  // Every speed of the menu was tried, slowest last.
  EXPECT_NE(err_.str().find("at 300 baud"), std::string::npos) << err_.str();

  // A device that cannot be opened fails as it does for the other commands.
  EXPECT_EQ(run({"detect", "--device", dir_.file("no-such-tty")}), kExitPort);
  EXPECT_NE(err_.str().find("no such device"), std::string::npos) << err_.str();
  EXPECT_EQ(run({"detect", "--device", "/dev/null"}), kExitPort);
  EXPECT_EQ(err_.str(), "Cannot open /dev/null: not a serial device\n");
}

}  // namespace
}  // namespace tarnwick::cli
