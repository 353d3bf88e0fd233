#include "shell/rig_link.h"

#include <gtest/gtest.h>

#include <functional>

#include "rig/rig_catalogue.h"
#include "shell/model_setup.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick {
namespace {

using test::EngineRig;

// A window whose model set-up writes the model's address into the address
// field, as the real one does.
class FieldsWindow : public LinkWindow {
 public:
  std::function<void(std::string_view)> addressField;
  void lockRigSide() override {}
  void setLedColour(LedColour) override {}
  void showComLabel(const std::string&, bool) override {}
  void showPortError(const std::string&) override {}
  void applyModel(int modelIndex) override {
    if (addressField) addressField(addressText(modelSetup(modelIndex).defaultAddress));
  }
  void resetBand() override {}
};

// The engine learns the address and band from the link's start-up and from
// every change of the fields, with the port closed as with it open.
TEST(RigLink, TheAddressAndBandChosenReachTheEngine) {
  EngineRig r(kModelIc910, 0x00);
  TSerial serial(r.mainThread);
  serial.setPortDevices({{1, "/nonexistent/tarnwick-tty"}});
  FieldsWindow window;
  RigLink link(serial, r.engine, r.log.log, window);

  EXPECT_FALSE(link.start(1, 9600, kModelIc910, 0x5C, "430 MHz"));
  EXPECT_EQ(r.engine.radioAddress(), 0x5C);
  EXPECT_EQ(r.engine.band(), 2);

  link.addressChanged("6");  // one digit typed: no new read, but the address
  EXPECT_EQ(r.engine.radioAddress(), 0x06);
  link.addressChanged("6Q");
  EXPECT_EQ(r.engine.radioAddress(), std::nullopt);
  link.bandChanged("1240 MHz");
  EXPECT_EQ(r.engine.band(), 3);

  // A new radio brings its own address and the band box's first band.
  window.addressField = [&](std::string_view text) { link.addressChanged(text); };
  link.rigChosen(kModelIc910);
  EXPECT_EQ(r.engine.radioAddress(), 0x60);
  EXPECT_EQ(r.engine.band(), 1);
}

}  // namespace
}  // namespace tarnwick
