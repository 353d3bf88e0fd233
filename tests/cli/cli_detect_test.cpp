// tarnwick-cli detect against the simulator: which radio, at which speed,
// by its ID or, for a radio without one, by its frequency.

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
  // Each radio understands only its own speed. An older one without the ID
  // request is found by a frequency read at its catalogue address. One with
  // CI-V Transceive on never lets the line go quiet for long.
  struct Case {
    const char* model;
    int baud;
    bool noId;
    int transceiveMs;
    const char* found;
    const char* lastHeard;
  };
  for (const Case& c : {
           Case{"IC-910", 19200, false, 0, "IC-910 (60h) at 19200", "IN FE FE 00 E0 19 00 FD"},
           Case{"IC-746", 9600, true, 0, "IC-746 (56h) at 9600", "IN FE FE 56 E0 03 FD"},
           Case{"IC-7300", 9600, false, 20, "IC-7300 (94h) at 9600", "IN FE FE 00 E0 19 00 FD"},
           Case{"IC-746", 1200, true, 50, "IC-746 (56h) at 1200", "IN FE FE 56 E0 03 FD"},
       }) {
    SCOPED_TRACE(c.found);
    sim::SimulatorOptions options;
    options.baud = c.baud;
    options.strictSpeed = true;
    options.faults.noId = c.noId;
    options.transceiveMs = c.transceiveMs;
    startRadio(c.model, options);
    ASSERT_EQ(run({"detect", "--device", "DEV"}), kExitOk) << err_.str();
    EXPECT_EQ(out_.str(), std::string(c.found) + " baud on " + radio_->devicePath() + "\n");
    EXPECT_EQ(heard(*radio_).back(), c.lastHeard);
    if (!c.noId) {
      EXPECT_EQ(radio_->requestCount(), 1);
    }
    EXPECT_NE(err_.str().find("Asking " + radio_->devicePath() + " at 115200 baud ..."),
              std::string::npos)
        << err_.str();
    EXPECT_TRUE(deviceIsFree(radio_->devicePath(), kDefaultLockDirectory));
    radio_->stop();
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

  EXPECT_EQ(run({"detect", "--device", dir_.file("no-such-tty")}), kExitNoAnswer);
  EXPECT_NE(err_.str().find("no such device"), std::string::npos) << err_.str();
}

}  // namespace
}  // namespace tarnwick::cli
