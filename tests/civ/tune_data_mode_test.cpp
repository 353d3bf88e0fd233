// Tuning the IC-7300 family: after frequency and mode, data mode on or off
// with the row's filter (1A 06), since their mode command leaves it alone.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

struct TuneRig : EngineRig {
  explicit TuneRig(int model) : EngineRig(model, 0x94) {
    permanent.setRowCount(3);
    engine.setEngineState(smIdle);
  }
  void tune(const std::string& khz, const std::string& mode, const std::string& filter) {
    permanent.setCell(colFrequency, 1, khz);
    permanent.setCell(colMode, 1, mode);
    permanent.setCell(colFilter, 1, filter);
    engine.tuneFromCell(permanent, 1, colFrequency);
    pump();
  }
};

TEST(TuneDataMode, DataModeOnAndOffOnEveryModelOfTheFamily) {
  for (int model : {kModelIc7300, kModelIc7300Mk2, kModelIc7610}) {
    TuneRig r(model);
    r.port.script({{"frequency", {0x05, 0x00, 0x40, 0x07, 0x14, 0x00}, {kOkPayload}},
                   {"mode", {0x06, 0x01, 0x01}, {kOkPayload}},
                   {"data on, FIL1", {0x1A, 0x06, 0x01, 0x01}, {kOkPayload}},
                   {"frequency", {0x05, 0x00, 0x50, 0x19, 0x14, 0x00}, {kOkPayload}},
                   {"mode", {0x06, 0x01, 0x02}, {kOkPayload}},
                   {"data off", {0x1A, 0x06, 0x00, 0x00}, {kOkPayload}}});
    r.tune("14074.00", "USB-D", "Wide");
    // These radios took the data flag, so the report names it.
    EXPECT_EQ(r.window.statuses.back(),
              (std::pair<std::string, std::string>{"Ready", "Tuned to 14,074.00 USB-D."}))
        << model;
    EXPECT_EQ(r.engine.engineState(), smIdle);
    r.tune("14195.00", "USB", "Normal");
    EXPECT_TRUE(r.port.scriptDone()) << model;
    EXPECT_EQ(r.window.leftTexts().back(), "Ready");
    const Engine::TuneRefusals no = r.engine.tuneRefusals();
    EXPECT_FALSE(no.frequency || no.mode || no.dataMode);
  }
}

TEST(TuneDataMode, RefusedOrUnansweredDataMode) {
  TuneRig refused(kModelIc7300);
  refused.port.script({{"frequency", {0x05, 0x00, 0x40, 0x07, 0x14, 0x00}, {kOkPayload}},
                       {"mode", {0x06, 0x00, 0x03}, {kOkPayload}},
                       {"data on, FIL3", {0x1A, 0x06, 0x01, 0x03}, {kNgPayload}}});
  refused.tune("14074.00", "LSB-D", "Narrow");
  EXPECT_TRUE(refused.port.scriptDone());
  EXPECT_EQ(refused.window.leftTexts().back(), "Ready");
  EXPECT_TRUE(refused.engine.tuneRefusals().dataMode);
  EXPECT_FALSE(refused.engine.tuneRefusals().mode);

  TuneRig silent(kModelIc7610);
  silent.port.script({{"frequency", {0x05, 0x00, 0x40, 0x07, 0x14, 0x00}, {kOkPayload}},
                      {"mode", {0x06, 0x01, 0x02}, {kOkPayload}}});
  silent.tune("14074.00", "USB-D", "Normal");
  EXPECT_EQ(silent.engine.engineState(), smTuneDataMode);
  silent.advance(4000);
  EXPECT_EQ(silent.log.lines().back(), "Timeout: 18");
  // Asked again before the time-out, like every other command.
  EXPECT_EQ(silent.port.sentPayloads.back(), (Bytes{0x1A, 0x06, 0x01, 0x02}));
  EXPECT_EQ(silent.port.sent.size(), 2u + 1u + kRepeatsPerRequest);
}

}  // namespace
}  // namespace tarnwick::test
