#include "shell/model_setup.h"

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

TEST(ModelSetup, TheSixRadiosOfTheRigMenu) {
  const std::vector<MenuEntry> rigs = rigMenuEntries();
  ASSERT_EQ(rigs.size(), 6u);
  EXPECT_EQ(rigs[0].caption, "IC-746");
  EXPECT_EQ(rigs[0].value, 19);
  EXPECT_EQ(rigs[3].caption, "IC-756Pro2");
  EXPECT_EQ(rigs[3].value, 24);

  const ModelSetup ic746 = modelSetup(kModelIc746);
  EXPECT_EQ(ic746.lastMemoryNumber, 102);
  EXPECT_EQ(addressText(ic746.defaultAddress), "56");
  EXPECT_EQ(ic746.label, "IC-746");
  EXPECT_TRUE(ic746.offsetsEntryEnabled);
  EXPECT_FALSE(ic746.bandBoxEnabled);
  EXPECT_TRUE(ic746.hiddenColumns.empty());

  const ModelSetup pro = modelSetup(kModelIc756Pro);
  EXPECT_EQ(pro.lastMemoryNumber, 101);
  EXPECT_EQ(addressText(pro.defaultAddress), "5C");
  EXPECT_FALSE(pro.offsetsEntryEnabled);
  EXPECT_EQ(pro.hiddenColumns, (ColumnSet{colDuplex, colTxFrequency}));

  const ModelSetup ic910 = modelSetup(kModelIc910);
  EXPECT_EQ(ic910.lastMemoryNumber, 106);
  EXPECT_TRUE(ic910.bandBoxEnabled);
  EXPECT_FALSE(ic910.offsetsEntryEnabled);
  EXPECT_EQ(ic910.hiddenColumns, (ColumnSet{colName, colSelect}));

  // Selectable, but never read.
  const ModelSetup r75 = modelSetup(kModelIcR75);
  EXPECT_EQ(r75.label, "R-75");
  EXPECT_EQ(addressText(r75.defaultAddress), "5A");
  EXPECT_EQ(r75.lastMemoryNumber, 0);
}

TEST(ModelSetup, AModelOffTheMenuKeepsTheMemoryCountAndShowsEverything) {
  const ModelSetup ic756 = modelSetup(22);
  EXPECT_EQ(ic756.label, "IC-756");
  EXPECT_EQ(ic756.defaultAddress, 0x50);
  EXPECT_FALSE(ic756.lastMemoryNumber);
  EXPECT_FALSE(ic756.bandBoxEnabled || ic756.offsetsEntryEnabled);
  EXPECT_TRUE(ic756.hiddenColumns.empty());
  EXPECT_EQ(modelSetup(kCatalogueSize).label, "");
}

TEST(ModelSetup, AddressTexts) {
  EXPECT_EQ(addressText(0x0A), "0A");
  EXPECT_EQ(addressText(0xFF), "FF");
  EXPECT_EQ(parseAddressText("5c"), 0x5C);
  EXPECT_EQ(parseAddressText(" 7"), 0x07);
  EXPECT_EQ(parseAddressText("E0 "), 0xE0);
  for (const char* bad : {"", "  ", "5G", "123", "-1", "0x"}) {
    EXPECT_FALSE(parseAddressText(bad)) << bad;
  }
}

TEST(ModelSetup, PortAndSpeedMenus) {
  ASSERT_EQ(comMenuEntries().size(), 8u);
  EXPECT_EQ(comMenuEntries()[7].caption, "COM &8");
  EXPECT_EQ(comMenuEntries()[7].value, 8);
  EXPECT_EQ(comEntryCaption(comMenuEntries()[1], "/dev/ttyUSB0"), "COM &2\t/dev/ttyUSB0");
  EXPECT_EQ(comEntryCaption(comMenuEntries()[1], ""), "COM &2");

  ASSERT_EQ(baudMenuEntries().size(), 5u);
  EXPECT_EQ(baudMenuEntries()[4].caption, "192&00");
  for (const MenuEntry& e : baudMenuEntries()) EXPECT_TRUE(isMenuBaudRate(e.value));
  for (int rate : {0, 110, 2400, 14400, 38400, 57600, 115200}) EXPECT_FALSE(isMenuBaudRate(rate));
}

}  // namespace
}  // namespace tarnwick
