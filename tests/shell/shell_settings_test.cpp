#include "shell/shell_settings.h"

#include <gtest/gtest.h>

#include "fake_settings_store.h"
#include "sample_settings.h"
#include "shell/led_look.h"
#include "tables/column_layout.h"

namespace tarnwick {
namespace {

using testing::everythingChanged;
using testing::FakeSettingsStore;

TEST(ShellSettings, NothingStoredIsAFreshStart) {
  FakeSettingsStore store;
  ShellSettings s = everythingChanged();
  EXPECT_FALSE(loadSettings(store, s));
  EXPECT_EQ(s, ShellSettings{});
  EXPECT_EQ(s.portName(), "COM2");
  EXPECT_EQ(s.baudRate, 9600);
  EXPECT_EQ(s.storedAddress, 0x5C);
  EXPECT_EQ(s.deviceForPort(2), "/dev/ttyS1");
  EXPECT_EQ(comLabelText(s.portName(), s.baudRate, s.refusedBaudRate), "COM2: 9600");
}

TEST(ShellSettings, EveryValueComesBackAsSaved) {
  FakeSettingsStore store;
  const ShellSettings saved = everythingChanged();
  saveSettings(store, saved);
  ShellSettings loaded;
  ASSERT_TRUE(loadSettings(store, loaded));
  // Unstored column positions read back as unstored, up to the last column.
  ShellSettings expected = saved;
  expected.fileColumnWidths.resize(kColumnCount);
  expected.rigColumnWidths.resize(kColumnCount);
  EXPECT_EQ(loaded, expected);
  // The shared group holds what the other programs of the suite read.
  EXPECT_EQ(std::get<std::string>(store.values.at({"", "port"})), "COM9");
  EXPECT_EQ(std::get<std::int32_t>(store.values.at({"", "adr"})), 0xE0);
  EXPECT_FALSE(store.has(kFileColumnWidthGroup, "Col2"));
}

TEST(ShellSettings, BadValuesKeepTheirFreshStartValueAndTheRestIsRead) {
  FakeSettingsStore store;
  saveSettings(store, everythingChanged());
  // Wrong types.
  store.set("", "portnum", std::string("2"));
  store.set("", "speed", true);
  store.set("qdl", "topv", std::int32_t{0});
  store.set("qdl", "fon", std::int32_t{7});
  store.set("qdl", "ofhf", std::string("100000"));
  // Out of range.
  store.set("", "adr", std::int32_t{256});
  store.set("", "model", std::int32_t{kCatalogueSize});
  store.set("qdl", "fsi", std::int32_t{0});
  store.set("qdl", "fco", std::int32_t{-1});
  store.set("qdl", "wsta", std::int32_t{3});
  store.set("qdl", "width", std::int32_t{20});
  store.set("qdl", "lffn", std::string());
  store.set(kRigColumnWidthGroup, "Col1", std::int32_t{0});
  store.set(kPortDeviceGroup, "COM2", std::string("ttyUSB0"));

  ShellSettings s;
  ASSERT_TRUE(loadSettings(store, s));
  const ShellSettings fresh;
  EXPECT_EQ(s.portNumber, fresh.portNumber);
  EXPECT_EQ(s.baudRate, fresh.baudRate);
  EXPECT_FALSE(s.refusedBaudRate);  // not a speed at all: nothing to say about it
  EXPECT_EQ(s.permanentFileShown, fresh.permanentFileShown);
  EXPECT_EQ(s.gridFontName, fresh.gridFontName);
  EXPECT_EQ(s.offsets.hf, fresh.offsets.hf);
  EXPECT_EQ(s.storedAddress, fresh.storedAddress);
  EXPECT_EQ(s.modelIndex, fresh.modelIndex);
  EXPECT_EQ(s.gridFontSize, fresh.gridFontSize);
  EXPECT_EQ(s.gridFontColor, fresh.gridFontColor);
  EXPECT_EQ(s.window.state, kWindowNormal);
  EXPECT_FALSE(s.window.width);
  EXPECT_EQ(s.permanentFileName, "icommemo.txt");
  EXPECT_EQ(s.rigColumnWidths[1], std::nullopt);
  EXPECT_FALSE(s.portDevices.contains(2));
  // The good ones around them.
  EXPECT_EQ(s.offsets.mhz50, 1000000);
  EXPECT_EQ(s.window.height, 700);
  EXPECT_EQ(s.rigColumnWidths[0], 25);
  EXPECT_EQ(s.portDevices.at(9), "/tmp/sim/pty");
  EXPECT_EQ(s.deviceForPort(2), "/dev/ttyS1");

  // The edges of the ranges are in.
  store.set("", "adr", std::int32_t{255});
  store.set("", "portnum", std::int32_t{9});
  store.set("", "model", std::int32_t{0});
  ASSERT_TRUE(loadSettings(store, s));
  EXPECT_EQ(s.storedAddress, 255);
  EXPECT_EQ(s.portNumber, 9);
  EXPECT_EQ(s.modelIndex, 0);
  for (int bad : {0, 10, -1}) {
    store.set("", "portnum", bad);
    ASSERT_TRUE(loadSettings(store, s));
    EXPECT_EQ(s.portNumber, 2) << bad;
  }
}

TEST(ShellSettings, OnlyAnOwnGroupStillCountsAsStored) {
  FakeSettingsStore store;
  store.set("qdl", "hli", false);
  ShellSettings s;
  ASSERT_TRUE(loadSettings(store, s));
  EXPECT_FALSE(s.horizontalGridLines);
  EXPECT_EQ(s.portNumber, 2);
  EXPECT_TRUE(s.fileColumnWidths.empty());
}

TEST(ShellSettings, SpeedOffTheMenuStartsAt9600AndSaysSo) {
  FakeSettingsStore store;
  store.set("", "port", std::string("COM3"));
  store.set("", "portnum", std::int32_t{3});
  store.set("", "speed", std::int32_t{56000});
  ShellSettings s;
  ASSERT_TRUE(loadSettings(store, s));
  EXPECT_EQ(s.baudRate, 9600);
  EXPECT_EQ(s.refusedBaudRate, 56000);
  EXPECT_EQ(comLabelText(s.portName(), s.baudRate, s.refusedBaudRate),
            "COM3: 9600 (stored 56000 refused)");
  // The refusal is news for this run only: what is saved is the speed in use.
  saveSettings(store, s);
  ASSERT_TRUE(loadSettings(store, s));
  EXPECT_EQ(s.baudRate, 9600);
  EXPECT_FALSE(s.refusedBaudRate);

  store.set("", "speed", std::int32_t{300});
  ASSERT_TRUE(loadSettings(store, s));
  EXPECT_EQ(s.baudRate, 300);
  EXPECT_FALSE(s.refusedBaudRate);

  // The USB radios' speed is kept from run to run.
  s.baudRate = 115200;
  saveSettings(store, s);
  ASSERT_TRUE(loadSettings(store, s));
  EXPECT_EQ(s.baudRate, 115200);
  EXPECT_FALSE(s.refusedBaudRate);
}

TEST(ShellSettings, ThePortNameFollowsThePortNumber) {
  // A name that disagrees with the number would label one port and open another.
  FakeSettingsStore store;
  store.set("", "port", std::string("COM5"));
  store.set("", "portnum", std::int32_t{4});
  ShellSettings s;
  ASSERT_TRUE(loadSettings(store, s));
  EXPECT_EQ(s.portName(), "COM4");
}

TEST(ShellSettings, AMinimisedWindowIsStoredAndRestoredAsNormal) {
  FakeSettingsStore store;
  ShellSettings s;
  s.window = {.left = 10, .top = 20, .width = 640, .height = 480, .state = kWindowMinimised};
  saveSettings(store, s);
  EXPECT_EQ(std::get<std::int32_t>(store.values.at({"qdl", "wsta"})), kWindowNormal);
  store.set("qdl", "wsta", std::int32_t{kWindowMinimised});  // as another program may leave it
  ShellSettings loaded;
  ASSERT_TRUE(loadSettings(store, loaded));
  EXPECT_EQ(loaded.window.state, kWindowNormal);
  EXPECT_EQ(loaded.window.left, 10);
}

TEST(ShellSettings, UnsetWindowValuesAreNotWritten) {
  FakeSettingsStore store;
  saveSettings(store, ShellSettings{});
  EXPECT_FALSE(store.has("qdl", "left"));
  EXPECT_TRUE(store.has("qdl", "wsta"));
}

TEST(ShellSettings, ARemovedPortAssignmentIsRemovedFromTheStore) {
  FakeSettingsStore store;
  ShellSettings s;
  s.portDevices = {{1, "/dev/ttyUSB0"}, {3, "/dev/ttyACM0"}};
  saveSettings(store, s);
  s.portDevices.erase(1);
  s.portDevices[3] = "";  // an emptied assignment is none
  saveSettings(store, s);
  EXPECT_FALSE(store.has(kPortDeviceGroup, "COM1"));
  EXPECT_FALSE(store.has(kPortDeviceGroup, "COM3"));
  ShellSettings loaded;
  ASSERT_TRUE(loadSettings(store, loaded));
  EXPECT_TRUE(loaded.portDevices.empty());
  EXPECT_EQ(loaded.deviceForPort(1), "/dev/ttyS0");
}

TEST(ShellSettings, ColumnWidthsBelongToColumnsAndOlderPositionalWidthsAreDropped) {
  FakeSettingsStore store;
  // Widths of an older run, one per shown position: not read.
  store.set(kRigColumnWidthGroup, "Col8", std::int32_t{389});
  ShellSettings s;
  ASSERT_TRUE(loadSettings(store, s));
  EXPECT_TRUE(s.rigColumnWidths.empty());

  // A width chosen for the hidden Name column comes back at its index, and
  // the older position's value is gone from the store.
  s.rigColumnWidths = {std::nullopt, std::nullopt, 140};
  saveSettings(store, s);
  EXPECT_FALSE(store.has(kRigColumnWidthGroup, "Col8"));
  ShellSettings loaded;
  ASSERT_TRUE(loadSettings(store, loaded));
  ASSERT_EQ(loaded.rigColumnWidths.size(), std::size_t{kColumnCount});
  EXPECT_EQ(loaded.rigColumnWidths[colName], 140);
  EXPECT_EQ(loaded.rigColumnWidths[colFrequency], std::nullopt);
}

TEST(ShellSettings, FontColourIsBlueGreenRed) {
  EXPECT_EQ(rgbOf(0x00336699), (RgbColour{.red = 0x99, .green = 0x66, .blue = 0x33}));
  EXPECT_EQ(colourOf({.red = 0x99, .green = 0x66, .blue = 0x33}), 0x00336699u);
}

TEST(LedLook, UnlitHalvesEachPartAndTheNameReadsRedGreenBlue) {
  EXPECT_EQ(ledFillColour(0xAB336699, true), 0x00336699u);
  EXPECT_EQ(ledFillColour(0xAB3366FF, false), 0x0019337Fu);
  EXPECT_EQ(ledWords(0x00336699, false).name, "Radio link: #996633 (off)");
  EXPECT_EQ(ledWords(0xAB0000FF, true).name, "Radio link: down (red)");
  // The state is told in words too, not by the colour alone.
  EXPECT_EQ(ledWords(0x0000FF, true).label, "No link");
  EXPECT_EQ(ledWords(0x00FF00, true).label, "Link up");
}

}  // namespace
}  // namespace tarnwick
