// Importing CHIRP lists into both tables, for each radio model: where each
// row goes, which rows are left out and why, what is changed to keep one.

#include <gtest/gtest.h>

#include "chirp/chirp_csv.h"
#include "rig/rig_catalogue.h"
#include "tables/column_layout.h"
#include "tables/table_ops.h"
#include "tests/support/table_cells.h"
#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::cellsAre;

std::string fixture(const std::string& name) {
  return testing::readBytes(std::string(TARNWICK_CHIRP_DATA) + "/" + name);
}

ChannelTable rigTable(int modelIndex) {
  ChannelTable rig(TableKind::Rig);
  PrepareRigTable(rig, modelIndex);
  return rig;
}

ChirpImportOptions options(int modelIndex) {
  ChirpImportOptions o;
  o.modelIndex = modelIndex;
  o.sep = Separators::point();
  return o;
}

const ChirpRowReport& rowOfLine(const ChirpImportReport& report, int line) {
  for (const ChirpRowReport& r : report.rows) {
    if (r.line == line) return r;
  }
  throw std::out_of_range("no row on line " + std::to_string(line));
}

// Row, cells 1..9 (at their column index) of the row it went to (empty: left out), and the text the
// reason or the notes must hold.
struct Expected {
  int line;
  int row;
  ChannelRecord cells;
  std::string says;
};

TEST(ChirpImport, NewerListIntoTheIc746RigTableByLocation) {
  ChannelTable rig = rigTable(kModelIc746);
  const ChirpImportReport report =
      importChirpCsv(fixture("newer_columns.csv"), rig, options(kModelIc746));
  ASSERT_EQ(report.error, "");

  // clang-format off
  const std::vector<Expected> expected{
      {2, 1, {"", "    146,520", "Call, 2m", "FM", "Normal", "Simp", "", "", "", "0"}, ""},
      {3, 2, {"", "    146,940", "W1AW Rpt", "FM", "Normal", "DUP-", "    146,340", "100.0", "", "0"}, ""},
      {4, 3, {"", "    147,000", "TSQL Rpt", "FM", "Normal", "DUP+", "    147,600", "88.5", "123.0", "0"}, ""},
      {5, 4, {"", "    156,800", "Marine 16", "FM", "Narrow", "Simp", "", "", "", "0"}, ""},
      {6, 5, {"", "    145,200", "Wide Shif", "FM", "Normal", "Split", "    143,600", "", "", "0"},
       "offset 1.600000 MHz is not the IC-746's offset for this band (0.600000 MHz): imported as Split"},
      {7, 6, {"", "    146,000", "Odd Split", "FM", "Normal", "Split", "    147,000", "", "", "0"}, ""},
      {8, 0, {}, "mode \"DV\" is not a mode of the IC-746"},
      {9, 0, {}, "tone mode \"DTCS\" is not kept by the IC-746"},
      {10, 9, {"", "    145,500", "Zurich \"H", "FM", "Normal", "Simp", "", "", "", "0"},
       "name \"Z\u00fcrich \"Hbf\" long\" written as \"Zurich \"Hbf\" long\" and cut to 9 characters"},
      {11, 10, {"", "  14,074.00", "FT8 20m", "USB", "Normal", "Simp", "", "", "", "0"},
       "mode \"DIG\" imported as USB: the IC-746 has no data modes"},
      {12, 11, {"", "   7,030.00", "40m CW", "CW-r", "Normal", "Simp", "", "", "", "0"}, ""},
      {13, 12, {"", "    118,100", "Airband", "AM", "Normal", "Simp", "", "", "", "0"}, ""},
      {14, 13, {"", "    162,550", "Weather", "FM", "Normal", "Simp", "", "", "", "0"},
       "transmit off is not kept: imported as simplex"},
      {15, 0, {}, "1296.000000 MHz is outside the IC-746's 0.030000-60.000000, 108.000000-174.000000 MHz"},
      {16, 0, {}, "Location 200 is not a memory of the IC-746 (1 to 102)"},
      {17, 0, {}, "memory 2 is already taken by line 3"},
      {18, 0, {}, "the line has 3 fields, the header 21"},
      {19, 16, {"", "    146,100", "Cross Ton", "FM", "Normal", "Simp", "", "100.0", "100.0", "0"},
       "name \"Cross Tone\" cut to 9 characters: \"Cross Ton\""},
      {20, 17, {"", "    144,390", "APRS  net", "FM", "Normal", "Simp", "", "", "", "0"},
       "name \"APRS\\r\\nnet\" written as \"APRS  net\""},
      {22, 0, {}, "cross tone mode \"Tone->DTCS\" is not kept by the IC-746"},
  };
  // clang-format on
  ASSERT_EQ(report.rows.size(), expected.size());
  for (const Expected& e : expected) {
    SCOPED_TRACE("line " + std::to_string(e.line));
    const ChirpRowReport& r = rowOfLine(report, e.line);
    EXPECT_EQ(r.tableRow, e.row);
    std::string said = r.leftOut;
    for (const std::string& n : r.notes) said += n + ";";
    if (e.says.empty()) {
      EXPECT_EQ(said, "");
    } else {
      EXPECT_NE(said.find(e.says), std::string::npos) << said;
    }
    if (e.row == 0) {
      EXPECT_FALSE(r.leftOut.empty());
      continue;
    }
    for (int c = colFrequency; c <= colSelect; ++c) {
      EXPECT_EQ(rig.cell(c, e.row), e.cells[static_cast<std::size_t>(c)]) << "column " << c;
    }
    EXPECT_TRUE(cellsAre(rig, e.row, {{colNumber, std::to_string(e.row)}, {colChanged, "1"}}));
    EXPECT_TRUE(rig.hasCheckBoxes(e.row));
  }
  EXPECT_EQ(report.imported(), 13);
  EXPECT_EQ(report.leftOut(), 7);
  EXPECT_EQ(report.changed(), 6);
  EXPECT_EQ(report.firstRow, 1);
  EXPECT_EQ(report.lastRow, 17);
  EXPECT_TRUE(rig.modified());
  // Rows the list did not name stay as they were.
  EXPECT_EQ(rig.record(7), ChannelRecord{});
  EXPECT_EQ(rig.record(14), ChannelRecord{});

  const std::string text = describeImport(report, "list.csv");
  EXPECT_NE(text.find("list.csv line 8 (Location 7) \"DSTAR\": left out: mode \"DV\""),
            std::string::npos);
  EXPECT_NE(
      text.find("Imported 13 of 20 rows of list.csv into rows 1 to 17: 7 left out, 6 changed"),
      std::string::npos);
}

TEST(ChirpImport, EachModelKeepsWhatItsMemoriesHold) {
  const std::string list =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode\n"
      "1,Rpt 70cm,438.650000,-,7.600000,Tone,88.5,88.5,FM\n"
      "2,Rpt 2m,145.600000,-,0.600000,,88.5,88.5,FM\n"
      "3,Split 2m,145.000000,split,146.234500,,88.5,88.5,FM\n"
      "4,PSK 20m,14.070000,,0.000000,,88.5,88.5,DIG\n"
      "5,Long Name Here,7.100000,,0.000000,,88.5,88.5,LSB\n"
      "6,Odd Offset,145.000000,+,0.000050,,88.5,88.5,FM\n";
  struct Case {
    int model;
    std::string band;
    std::vector<std::string> rows;  // Duplex, Tx Frequency, Mode, Name of rows 1..6; "-": left out
  };
  const std::vector<Case> cases{
      {kModelIc746Pro,
       "",
       {"-", "DUP- 145,000 FM", "Split 146,234.50 FM", "Simp  USB-D", "Simp  LSB Long Name",
        "Split 145,000.05 FM"}},
      // The 430 MHz band only; split becomes the memory's own offset.
      {kModelIc910, "430 MHz", {"DUP- 431,050 FM", "-", "-", "-", "-", "-"}},
      {kModelIc910, "144 MHz", {"-", "DUP- 145,000 FM", "DUP+ 146,234.50 FM", "-", "-", "-"}},
      // No duplex in the memories: the hidden cells keep what the list says.
      {kModelIc756Pro, "", {"-", "-", "-", "Simp  USB-D", "Simp  LSB Long Name", "-"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(modelName(c.model)) + " " + c.band);
    ChannelTable rig = rigTable(c.model);
    ChirpImportOptions o = options(c.model);
    o.bandText = c.band;
    const ChirpImportReport report = importChirpCsv(list, rig, o);
    ASSERT_EQ(report.rows.size(), c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      const int row = static_cast<int>(i) + 1;
      if (c.rows[i] == "-") {
        EXPECT_EQ(report.rows[i].tableRow, 0) << "row " << row;
        EXPECT_FALSE(report.rows[i].leftOut.empty());
        continue;
      }
      std::string tx = rig.cell(colTxFrequency, row);
      tx.erase(0, tx.find_first_not_of(' '));
      std::string got = rig.cell(colDuplex, row) + " " + tx + " " + rig.cell(colMode, row);
      if (row == 5) got += " " + rig.cell(colName, row);
      EXPECT_EQ(got, c.rows[i]) << "row " << row << ": " << report.rows[i].leftOut;
    }
  }
}

// The IC-7300 keeps split but no duplex offsets, a select group and tone
// squelch alone: an exported bank comes back as it was, and a shifted
// channel from another list becomes a split memory.
TEST(ChirpImport, AnIc7300BankThroughAList) {
  ChannelTable bank = rigTable(kModelIc7300);
  const auto put = [&bank](int row, std::vector<std::string> cells) {
    ChannelRecord r{};
    for (std::size_t c = 0; c < cells.size(); ++c) r[c + 1] = cells[c];
    r[colNumber] = specialLabel(kModelIc7300, row);
    r[colChanged] = "0";
    bank.setRecord(row, r);
  };
  put(1, {"     29,620", "10m Rpt", "FM", "Wide", "Split", "     29,520", "", "110.9", "*2"});
  put(2, {"  14,074.00", "FT8 20m", "USB-D", "Normal", "Simp", "", "", "", "*3"});
  put(100, {"   7,000.00", "P1 40m", "LSB", "Narrow", "Simp", "", "", "", ""});
  ChirpExportOptions out;
  out.sep = Separators::point();
  const ChirpExportReport exported = exportChirpCsv(bank, out);
  ASSERT_EQ(exported.written, 3);
  EXPECT_NE(exported.csv.find(",TSQL,88.5,110.9,"), std::string::npos) << exported.csv;
  EXPECT_NE(exported.csv.find(",Wide,*2,0"), std::string::npos) << exported.csv;
  EXPECT_NE(exported.csv.find(",Normal,*3,1"), std::string::npos) << exported.csv;

  ChannelTable back = rigTable(kModelIc7300);
  const ChirpImportReport imported = importChirpCsv(exported.csv, back, options(kModelIc7300));
  ASSERT_EQ(imported.imported(), 3) << describeImport(imported, "bank.csv");
  EXPECT_EQ(imported.changed(), 0);
  for (int row : {1, 2, 100}) {
    for (int c = colFrequency; c <= colSelect; ++c) {
      EXPECT_EQ(back.cell(c, row), bank.cell(c, row)) << "row " << row << " column " << c;
    }
  }

  const std::string list =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode,Select\n"
      "3,Minus,29.640000,-,0.100000,Tone,88.5,88.5,FM,1\n"
      "4,Plus,51.000000,+,0.500000,,88.5,88.5,FM,*1\n"
      "5,Too high,144.000000,,0.000000,,88.5,88.5,FM,0\n"
      "6,Cross,29.660000,,0.000000,Cross,88.5,100.0,FM,0\n";
  const ChirpImportReport shifted = importChirpCsv(list, back, options(kModelIc7300));
  EXPECT_TRUE(cellsAre(
      back, 3, {{colDuplex, "Split"}, {colTxFrequency, "     29,540"}, {colRepeaterTone, "88.5"}}));
  EXPECT_EQ(back.cell(colSelect, 3), "*1");  // a select flag is the first group
  EXPECT_TRUE(cellsAre(back, 4, {{colTxFrequency, "     51,500"}, {colSelect, "*1"}}));
  EXPECT_NE(rowOfLine(shifted, 2).notes.at(0).find("not kept by the IC-7300: imported as Split"),
            std::string::npos);
  EXPECT_NE(rowOfLine(shifted, 4).leftOut.find("outside the IC-7300's 0.030000-74.800000 MHz"),
            std::string::npos);
  EXPECT_EQ(
      rowOfLine(shifted, 5).leftOut,
      "cross tone 88.5 -> 100.0: the IC-7300 keeps a repeater tone or a tone squelch, not both");
}

TEST(ChirpImport, ThePermanentFileAppendsAndTheRigTableCanStartAnywhere) {
  const std::string list = fixture("older_columns.csv");
  // A first start: one empty row, filled before any row is added.
  ChannelTable permanent(TableKind::PermanentFile);
  permanent.setRowCount(2);
  ChirpImportReport report = importChirpCsv(list, permanent, options(kModelIc756ProII));
  ASSERT_EQ(report.error, "");
  EXPECT_EQ(permanent.dataRowCount(), 4);
  EXPECT_EQ(report.firstRow, 1);
  EXPECT_TRUE(cellsAre(permanent, 1, {{colName, "HF Net"}, {colMode, "LSB"}}));
  EXPECT_TRUE(cellsAre(permanent, 4, {{colNumber, "4"}, {colFrequency, "        810"}}));
  // 53.010 MHz: the 50 MHz offset of the list is kept in the hidden cells.
  EXPECT_TRUE(cellsAre(permanent, 3, {{colDuplex, "DUP-"}, {colToneSquelch, "110.9"}}));

  // A second list goes below the rows there are.
  report = importChirpCsv(list, permanent, options(kModelIc756ProII));
  EXPECT_EQ(report.firstRow, 5);
  EXPECT_EQ(report.lastRow, 8);
  EXPECT_TRUE(cellsAre(permanent, 8, {{colName, "Broadcast"}, {colNumber, "8"}}));

  // From memory 100 on: the scan edges, then no memory is left.
  ChannelTable rig = rigTable(kModelIc756ProII);
  ChirpImportOptions o = options(kModelIc756ProII);
  o.startRow = 100;
  report = importChirpCsv(list, rig, o);
  EXPECT_EQ(report.imported(), 2);
  EXPECT_EQ(rig.cell(colNumber, 100), "P1");
  EXPECT_EQ(rig.cell(colName, 101), "10m FM");
  EXPECT_EQ(report.rows[2].leftOut, "no memory left for it after memory 101");
}

TEST(ChirpImport, AListThatCannotBeReadLeavesTheTableAlone) {
  ChannelTable rig = rigTable(kModelIc746);
  rig.setCell(colFrequency, 1, "  7,050.00");
  const ChannelRecord before = rig.record(1);
  const std::vector<std::pair<std::string, std::string>> lists{
      {"", "the list is empty"},
      {"\r\n,,,\r\n", "the list is empty"},
      {"#;Frequency;Name\r\n1;7050;x\r\n", "no Frequency column"},
      {"Name,Frequency\nA,145.5\n", "no Location column: choose a start row"},
  };
  for (const auto& [bytes, error] : lists) {
    const ChirpImportReport report = importChirpCsv(bytes, rig, options(kModelIc746));
    EXPECT_NE(report.error.find(error), std::string::npos) << report.error;
    EXPECT_EQ(rig.record(1), before);
    EXPECT_FALSE(rig.modified());
  }
  // Without a Location the rows can still go from a chosen memory on.
  ChirpImportOptions o = options(kModelIc746);
  o.startRow = 5;
  EXPECT_EQ(importChirpCsv("Name,Frequency\nA,145.5\n", rig, o).firstRow, 5);

  // A quote that is never closed takes the rest of the file with it: said so.
  const ChirpImportReport report = importChirpCsv(
      "Location,Name,Frequency\n1,A,145.5\n2,\"B,145.6\n3,C,145.7\n", rig, options(kModelIc746));
  ASSERT_EQ(report.rows.size(), 2u);
  EXPECT_EQ(report.rows[1].leftOut,
            "a quoted field opened here is never closed: lines 3 to 4 are lost in it");
}

}  // namespace
}  // namespace tarnwick
