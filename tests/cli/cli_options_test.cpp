#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_run.h"
#include "rig/rig_catalogue.h"

namespace tarnwick::cli {
namespace {

CliOptions parse(std::vector<std::string> args) {
  return parseCommandLine(args);
}

std::string usageError(std::vector<std::string> args) {
  try {
    parseCommandLine(args);
  } catch (const UsageError& e) {
    return e.message;
  }
  return "(accepted)";
}

TEST(CliOptions, ModelsByMenuCaptionOrCatalogueNameInAnyCase) {
  EXPECT_EQ(modelIndexOfName("IC-756Pro2"), kModelIc756ProII);
  EXPECT_EQ(modelIndexOfName("ic-756proii"), kModelIc756ProII);
  EXPECT_EQ(modelIndexOfName("R-75"), kModelIcR75);
  EXPECT_EQ(modelIndexOfName("IC-R75"), kModelIcR75);
  EXPECT_EQ(modelIndexOfName("ic-910"), kModelIc910);
  EXPECT_EQ(modelIndexOfName("IC-746pro"), kModelIc746Pro);
  // Catalogue radios that cannot be selected are refused.
  EXPECT_EQ(modelIndexOfName("IC-706"), -1);
  EXPECT_EQ(modelIndexOfName(""), -1);
}

TEST(CliOptions, BandsByTextOrNumber) {
  EXPECT_EQ(bandTextOf("430"), "430 MHz");
  EXPECT_EQ(bandTextOf("1240 mhz"), "1240 MHz");
  EXPECT_EQ(bandTextOf("144 MHz"), "144 MHz");
  EXPECT_EQ(bandTextOf("14"), std::nullopt);
  EXPECT_EQ(bandTextOf("430MHz"), std::nullopt);
}

TEST(CliOptions, RowListsWithRanges) {
  EXPECT_EQ(parseRowList("3,7,100-102"), (std::set<int>{3, 7, 100, 101, 102}));
  EXPECT_EQ(parseRowList("5"), (std::set<int>{5}));
  for (const char* bad : {"", "0", "3,", "a", "5-3", "1-", "-4", "3,,4", "1000"}) {
    EXPECT_THROW(parseRowList(bad), UsageError) << bad;
  }
}

TEST(CliOptions, ComPortsMapToSerialDevices) {
  EXPECT_EQ(devicePathFor("COM1"), "/dev/ttyS0");
  EXPECT_EQ(devicePathFor("com12"), "/dev/ttyS11");
  EXPECT_EQ(devicePathFor("/dev/ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(devicePathFor("COM0"), "COM0");
  EXPECT_EQ(devicePathFor("COMx"), "COMx");
  // The debug log names a port by its number where it has one.
  EXPECT_EQ(portLabelFor("COM3"), "3");
  EXPECT_EQ(portLabelFor("/dev/ttyS1"), "2");
  EXPECT_EQ(portLabelFor("/dev/ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(portLabelFor("/dev/ttySx"), "/dev/ttySx");
}

TEST(CliOptions, ReadWithDefaults) {
  const CliOptions o =
      parse({"read", "--device", "/dev/pts/3", "--rig", "ic-910", "--out", "a.txt"});
  EXPECT_EQ(o.command, Command::Read);
  EXPECT_EQ(o.modelIndex, kModelIc910);
  EXPECT_EQ(o.baud, 9600);
  EXPECT_EQ(o.band, "144 MHz");
  EXPECT_FALSE(o.address.has_value());
  EXPECT_FALSE(o.offsets.has_value());
}

TEST(CliOptions, ReadWithEveryOption) {
  const CliOptions o =
      parse({"read", "--device", "COM2", "--rig", "IC-746", "--addr", "5c", "--baud", "19200",
             "--band", "430", "--offsets", "1,2,3", "--out", "a.txt", "--permanent", "p.txt"});
  EXPECT_EQ(o.address, 0x5C);
  EXPECT_EQ(o.baud, 19200);
  EXPECT_EQ(o.band, "430 MHz");
  EXPECT_EQ(o.offsets, (DuplexOffsets{1, 2, 3}));
  EXPECT_EQ(o.permanentFile, "p.txt");
}

TEST(CliOptions, TheUsbRadiosByNameAtTheirSpeed) {
  const CliOptions o = parse(
      {"read", "--device", "/dev/ttyUSB0", "--rig", "IC-7300", "--baud", "115200", "--out", "a"});
  EXPECT_EQ(o.modelIndex, kModelIc7300);
  EXPECT_EQ(o.baud, 115200);
  EXPECT_EQ(parse({"read", "--device", "d", "--rig", "ic-7300mk2", "--out", "a"}).modelIndex,
            kModelIc7300Mk2);
  EXPECT_EQ(parse({"read", "--device", "d", "--rig", "IC-7610", "--out", "a"}).modelIndex,
            kModelIc7610);
}

// The help and the list that scripts read name every radio of the catalogue.
TEST(CliOptions, TheHelpAndTheRigListNameEveryRadio) {
  const std::string help = usageText();
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(runCommand(parse({"rigs"}), out, err), 0);
  std::istringstream lines(out.str());
  std::string line;
  for (const RigModel& m : supportedModels()) {
    EXPECT_NE(help.find(m.menuCaption), std::string::npos) << m.menuCaption;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.substr(0, line.find('\t')), m.menuCaption);
    if (m.modelIndex == kModelIc756ProII) {
      EXPECT_EQ(line, "IC-756Pro2\tIC-756ProII\t64\t9600\t24");
    }
  }
  EXPECT_FALSE(std::getline(lines, line));
  EXPECT_EQ(usageError({"rigs", "--rig", "IC-746"}), "rigs takes no options");
}

TEST(CliOptions, StoreNeedsASelection) {
  const CliOptions o =
      parse({"store", "--device", "d", "--rig", "IC-756Pro", "--in", "f", "--rows", "1-3"});
  EXPECT_EQ(o.selection, StoreSelection::Rows);
  EXPECT_EQ(o.rows.size(), 3u);
  EXPECT_EQ(
      parse({"store", "--device", "d", "--rig", "IC-756Pro", "--in", "f", "--changed"}).selection,
      StoreSelection::Changed);
  EXPECT_NE(usageError({"store", "--device", "d", "--rig", "IC-756Pro", "--in", "f"}),
            "(accepted)");
}

TEST(CliOptions, TuneTakesFrequencyModeAndFilter) {
  const CliOptions o =
      parse({"tune", "--device", "d", "--rig", "IC-756Pro", "14,195.00", "usb", "narrow"});
  EXPECT_EQ(o.frequency, "14,195.00");
  EXPECT_EQ(o.mode, "USB");
  EXPECT_EQ(o.filter, "Narrow");
  EXPECT_NE(usageError({"tune", "--device", "d", "--rig", "IC-756Pro", "7050", "XYZ"}),
            "(accepted)");
}

TEST(CliOptions, BadUsageIsExplained) {
  EXPECT_EQ(usageError({}), "no command given");
  EXPECT_EQ(usageError({"erase"}), "unknown command \"erase\"");
  EXPECT_EQ(usageError({"read", "--rig", "IC-746", "--out", "f"}), "--device is required");
  EXPECT_EQ(usageError({"read", "--device", "d", "--out", "f"}), "--rig is required");
  EXPECT_EQ(usageError({"read", "--device", "d", "--rig", "IC-999", "--out", "f"}),
            "unknown rig \"IC-999\"");
  EXPECT_NE(usageError({"read", "--device", "d", "--rig", "IC-746", "--addr", "5G", "--out", "f"}),
            "(accepted)");
  EXPECT_NE(usageError({"read", "--device", "d", "--rig", "IC-746", "--addr", "100", "--out", "f"}),
            "(accepted)");
  EXPECT_NE(
      usageError({"read", "--device", "d", "--rig", "IC-746", "--offsets", "1,2", "--out", "f"}),
      "(accepted)");
  EXPECT_EQ(usageError({"read", "--device", "d", "--rig", "IC-746", "--out"}),
            "--out needs a value");
  EXPECT_EQ(usageError({"read", "--device", "d", "--rig", "IC-746", "--out", "f", "--bogus"}),
            "unknown option --bogus");
  EXPECT_EQ(usageError({"read", "--device", "d", "--rig", "IC-746", "--out", "f", "--all-rows"}),
            "--all-rows belongs to print");
  EXPECT_TRUE(parse({"print", "--in", "a", "--out", "b.pdf", "--all-rows"}).allRows);
  EXPECT_EQ(parse({"read", "--help"}).command, Command::Help);
}

}  // namespace
}  // namespace tarnwick::cli
