#include "shell/model_setup.h"

#include <gtest/gtest.h>

#include "civ/radio_address.h"
#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

TEST(ModelSetup, AModelOffTheMenuKeepsTheMemoryCountAndShowsEverything) {
  const ModelSetup ic756 = modelSetup(22);
  EXPECT_EQ(ic756.label, "IC-756");
  EXPECT_EQ(ic756.defaultAddress, 0x50);
  EXPECT_FALSE(ic756.lastMemoryNumber);
  EXPECT_FALSE(ic756.hasBandBox || ic756.offsetsEntryEnabled);
  EXPECT_TRUE(ic756.hiddenColumns.empty());
  EXPECT_EQ(modelSetup(kCatalogueSize).label, "");
  // Only a radio with bands has the band box.
  EXPECT_TRUE(modelSetup(kModelIc910).hasBandBox);
  EXPECT_FALSE(modelSetup(kModelIc7300).hasBandBox);
}

TEST(ModelSetup, AddressTexts) {
  EXPECT_EQ(addressText(0x0A), "0A");
  EXPECT_EQ(addressText(0xFF), "FF");
  // What the field shows reads back as the same address.
  for (int a = 0; a <= 0xFF; ++a) {
    EXPECT_EQ(parseCivAddress(addressText(static_cast<std::uint8_t>(a))), a) << a;
  }
}

TEST(ModelSetup, AComEntryShowsTheDeviceItOpens) {
  EXPECT_EQ(comEntryCaption(comMenuEntries()[1], "/dev/ttyUSB0"), "COM &2\t/dev/ttyUSB0");
  EXPECT_EQ(comEntryCaption(comMenuEntries()[1], ""), "COM &2");
  for (int rate : {0, 110, 2400, 56000}) EXPECT_FALSE(isMenuBaudRate(rate));
  for (int rate : {38400, 57600, 115200}) EXPECT_TRUE(isMenuBaudRate(rate));
}

}  // namespace
}  // namespace tarnwick
