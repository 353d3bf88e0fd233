#include "tables/fill_rig_row.h"

#include <gtest/gtest.h>

#include <sstream>

#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "tests/support/hex_bytes.h"

namespace tarnwick {
namespace {

std::vector<Byte> hex(std::string_view text) {
  return testing::hexBytes(text);
}

constexpr std::string_view kContest746 =
    "00 00 05 01 00 50 19 14 00 01 02 00 00 08 85 00 08 85 00 50 19 14 00 01 02 00 00 08 85 "
    "00 08 85 43 4F 4E 54 45 53 54 20 20";

// A rig table sized for the model and a permanent file of one empty row, as
// after start-up without a file.
struct Tables {
  explicit Tables(int model) : model(model) {
    rig.setRowCount(findRigModel(model)->rigTableRows());
    permanent.setRowCount(2);
    permanent.setCheckBoxes(1, true);
  }
  void fill(const DecodedMemory& m, Separators sep = Separators::point()) {
    fillRigRow(m, model, offsets, rig, permanent, index, sep);
  }
  DecodedMemory decode(std::string_view data, Byte source = 0x56) {
    DecodedMemory m;
    EXPECT_TRUE(decodeMemoryContents(source, hex(data), model, m));
    return m;
  }
  void addFileRow(std::string freq, std::string name) {
    const int r = permanent.rowCount();
    permanent.insertRows(r, 1);
    permanent.setCell(colFrequency, r, std::move(freq));
    permanent.setCell(colName, r, std::move(name));
  }

  int model;
  DuplexOffsets offsets;
  ChannelTable rig{TableKind::Rig};
  ChannelTable permanent{TableKind::PermanentFile};
  PermanentFileIndex index{permanent};
};

DecodedMemory memoryAt(int number, std::int32_t hz, std::string name, ModeIndex mode = 1,
                       DuplexCode duplex = 0) {
  DecodedMemory m;
  m.memoryNumber = number;
  m.frequency = hz;
  m.name = std::move(name);
  m.mode = mode;
  m.filter = 1;
  m.duplex = duplex;
  return m;
}

TEST(FillRigRow, ContestMemoryFillsItsRowAndTheEmptyFile) {
  for (Separators sep : {Separators::point(), Separators::comma()}) {
    Tables t(kModelIc746);
    t.fill(t.decode(kContest746), sep);
    const ChannelRecord expected{
        "5",         sep == Separators::point() ? "  14,195.00" : "  14.195,00",
        "CONTEST  ", "USB",
        "Normal",    "Simp",
        "",          "",
        "",          "1",
        "0"};
    EXPECT_EQ(t.rig.record(5), expected);
    EXPECT_TRUE(t.rig.hasCheckBoxes(5));
    EXPECT_FALSE(t.rig.modified());
    // The lone empty row of the file is reused, not followed by a second one.
    ASSERT_EQ(t.permanent.dataRowCount(), 1);
    ChannelRecord copied = expected;
    copied[colNumber] = "1";
    EXPECT_EQ(t.permanent.record(1), copied);
    EXPECT_TRUE(t.permanent.hasCheckBoxes(1));
    EXPECT_TRUE(t.permanent.modified());
    EXPECT_TRUE(t.rig.names().contains("CONTEST  "));
    EXPECT_TRUE(t.permanent.names().contains("CONTEST  "));
  }
}

TEST(FillRigRow, Ic910Band2Memory100) {
  Tables t(kModelIc910);
  t.fill(t.decode("00 02 01 00 00 00 50 45 01 05 01 01 00 08 85 00 08 85 00 60 00", 0x60));
  const ChannelRecord expected{"1A", "    145,500", "", "FM", "Wide", "DUP-", "    144,900", "",
                               "",   "0",           "0"};
  EXPECT_EQ(t.rig.record(100), expected);
}

TEST(FillRigRow, OtherModelsTakeTheOffsetOfTheReceiveBand) {
  Tables t(kModelIc746);
  t.offsets = DuplexOffsets{.hf = 100000, .mhz50 = 1000000, .mhz144 = 600000};
  struct Case {
    std::int32_t rx;
    DuplexCode duplex;
    std::string tx;
  };
  const Case cases[] = {
      {29620000, 1, "  29,520.00"},  {49999990, 2, "  50,099.99"},  {50000000, 1, "  49,000.00"},
      {143999000, 2, " 144,999.00"}, {144000000, 1, " 143,400.00"}, {1295000000, 2, "1,295,600.00"},
  };
  for (const Case& c : cases) {
    t.fill(memoryAt(7, c.rx, "R", 1, c.duplex));
    EXPECT_EQ(t.rig.cell(colTxFrequency, 7), c.tx) << c.rx;
    EXPECT_EQ(t.rig.cell(colDuplex, 7), c.duplex == 1 ? "DUP-" : "DUP+");
  }
  t.fill(memoryAt(7, 14195000, "R", 1, 0));
  EXPECT_EQ(t.rig.cell(colTxFrequency, 7), "");
  EXPECT_EQ(t.rig.cell(colDuplex, 7), "Simp");
}

TEST(FillRigRow, SplitShowsTheMemorysTransmitFrequency) {
  Tables t746(kModelIc746);
  auto data = hex(kContest746);
  data[3] = 0x02;
  data[19] = 0x55;
  data[20] = 0x22;
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(0x56, data, kModelIc746, m));
  t746.fill(m);
  EXPECT_EQ(t746.rig.cell(colDuplex, 5), "Split");
  EXPECT_EQ(t746.rig.cell(colTxFrequency, 5), "  14,225.50");
  // The 756Pro keeps no transmit frequency: its split memories show 0.
  Tables t756(kModelIc756Pro);
  DecodedMemory s = memoryAt(8, 14195000, "S", 1, 3);
  t756.fill(s);
  EXPECT_EQ(t756.rig.cell(colDuplex, 8), "Split");
  EXPECT_EQ(parseFrequency(t756.rig.cell(colTxFrequency, 8), Separators::point()), 0);
}

TEST(FillRigRow, BlankMemoryShowsOnlyItsNumber) {
  Tables t(kModelIc746);
  t.addFileRow("   7,050.00", "KEEP");
  t.permanent.setModified(false);
  // A row left over from before must not keep its channel.
  t.rig.setCell(colFrequency, 12, "   7,050.00");
  t.rig.setCell(colName, 12, "OLD");
  t.rig.setCell(colTxFrequency, 12, "   7,150.00");
  t.rig.setCell(colChanged, 12, "1");
  t.fill(t.decode("00 00 12 FF"));
  EXPECT_EQ(t.rig.cell(colNumber, 12), "12");
  EXPECT_TRUE(t.rig.hasCheckBoxes(12));
  for (int c = colFrequency; c <= colChanged; ++c) EXPECT_EQ(t.rig.cell(c, 12), "") << c;
  EXPECT_EQ(t.permanent.dataRowCount(), 2);
  EXPECT_FALSE(t.permanent.modified());
  EXPECT_EQ(t.permanent.cell(colFrequency, 1), "");
}

TEST(FillRigRow, KnownChannelsAreNotCollectedTwice) {
  Tables t(kModelIc746);
  t.addFileRow("  14,195.00", " CONTEST\t");  // the same channel, other blanks around the name
  t.addFileRow("14195", "CONTEST-2");         // same frequency, another text form and name
  t.permanent.setModified(false);
  t.fill(t.decode(kContest746));
  EXPECT_EQ(t.permanent.dataRowCount(), 3);
  EXPECT_FALSE(t.permanent.modified());

  // Same frequency, another name: collected, appended with its number and boxes.
  t.fill(memoryAt(6, 14195000, "contest"));
  ASSERT_EQ(t.permanent.dataRowCount(), 4);
  EXPECT_EQ(t.permanent.cell(colNumber, 4), "4");
  EXPECT_EQ(t.permanent.cell(colName, 4), "contest");
  EXPECT_TRUE(t.permanent.hasCheckBoxes(4));
  EXPECT_TRUE(t.permanent.modified());
  // Same name, another frequency: collected too.
  t.fill(memoryAt(7, 14195010, "contest"));
  EXPECT_EQ(t.permanent.dataRowCount(), 5);
  // Reading the same bank again adds nothing.
  t.fill(memoryAt(6, 14195000, "contest"));
  t.fill(memoryAt(7, 14195010, "contest"));
  EXPECT_EQ(t.permanent.dataRowCount(), 5);
}

TEST(FillRigRow, OnlyALoneEmptyRowIsReused) {
  {
    Tables t(kModelIc746);
    t.permanent.setCell(colFrequency, 1, "  \t ");
    t.permanent.setCell(colName, 1, "note");
    t.fill(memoryAt(1, 7050000, "A"));
    EXPECT_EQ(t.permanent.dataRowCount(), 1);
    EXPECT_EQ(t.permanent.cell(colName, 1), "A");
  }
  {
    Tables t(kModelIc746);
    t.permanent.setRowCount(3);  // two empty rows: append after them
    t.fill(memoryAt(1, 7050000, "A"));
    ASSERT_EQ(t.permanent.dataRowCount(), 3);
    EXPECT_EQ(t.permanent.cell(colName, 3), "A");
    EXPECT_EQ(t.permanent.cell(colNumber, 3), "3");
  }
  {
    Tables t(kModelIc746);
    t.permanent.setCell(colFrequency, 1, "0.00");  // reads as 0 Hz but is not empty
    t.fill(memoryAt(1, 7050000, "A"));
    EXPECT_EQ(t.permanent.dataRowCount(), 2);
  }
}

TEST(FillRigRow, NumbersOutsideTheRigTableChangeNothing) {
  Tables t(kModelIc756Pro);  // rows 1..101
  for (int n : {0, -3, 102, 9999}) {
    t.fill(memoryAt(n, 14195000, "X"));
    DecodedMemory blank = memoryAt(n, 0, "");
    t.fill(blank);
  }
  for (int r = 0; r < t.rig.rowCount(); ++r) EXPECT_EQ(t.rig.record(r), ChannelRecord{}) << r;
  EXPECT_EQ(t.permanent.dataRowCount(), 1);
  EXPECT_FALSE(t.permanent.modified());
  EXPECT_EQ(t.permanent.names().size(), 0u);
}

// The user may edit, sort and delete in the permanent file between two
// memories of a read; collecting must see the file as it is now.
TEST(FillRigRow, CollectingSeesEditsMadeDuringARead) {
  Tables t(kModelIc746);
  t.fill(memoryAt(1, 7050000, "A"));
  t.fill(memoryAt(2, 7060000, "B"));
  ASSERT_EQ(t.permanent.dataRowCount(), 2);
  t.permanent.setCell(colName, 1, "A renamed");
  t.fill(memoryAt(1, 7050000, "A"));  // no longer in the file
  ASSERT_EQ(t.permanent.dataRowCount(), 3);
  const int order[] = {3, 2, 1};
  t.permanent.permuteRows(1, order);  // a sort: "A" now first, "A renamed" last
  t.permanent.removeRows(1, 1);       // and "A" deleted
  t.fill(memoryAt(1, 7050000, "A"));
  t.fill(memoryAt(2, 7060000, "B"));
  ASSERT_EQ(t.permanent.dataRowCount(), 3);
  EXPECT_EQ(t.permanent.cell(colName, 3), "A");
  EXPECT_EQ(t.permanent.cell(colNumber, 3), "3");
}

}  // namespace
}  // namespace tarnwick
