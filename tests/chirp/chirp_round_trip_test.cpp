// Our tables -> CHIRP list -> our tables keeps every cell the model keeps,
// and the list itself is what CHIRP reads.

#include <gtest/gtest.h>

#include "chirp/chirp_csv.h"
#include "chirp/csv_text.h"
#include "chirp/model_keeps.h"
#include "rig/frequency_text.h"
#include "rig/memory_contents.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "rig/tone_text.h"
#include "tables/column_layout.h"

namespace tarnwick {
namespace {

constexpr Separators kSep = Separators::comma();  // a comma locale: the list still uses points

std::string trimmedRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// Rows as a read from the radio shows them, over the model's modes, filters,
// duplex settings, tones, select flags and name lengths.
std::vector<ChannelRecord> rowsTheModelKeeps(const ModelKeeps& model,
                                             std::span<const FrequencyRange> ranges,
                                             const DuplexOffsets& offsets) {
  std::vector<std::string> duplexes{"Simp", "DUP-", "DUP+"};
  if (model.duplex != DuplexStorage::OwnOffset) duplexes.push_back("Split");
  const std::array<std::string_view, 3> filters{"Wide", "Normal", "Narrow"};
  std::vector<ChannelRecord> rows;
  int n = 0;
  for (const std::string& mode : model.modes) {
    for (const std::string& duplex : duplexes) {
      ++n;
      const FrequencyRange& range = ranges[static_cast<std::size_t>(n) % ranges.size()];
      // Odd hertz in some rows: the list keeps them exactly.
      const std::int32_t rx = range.low + 1000000 + n * 12510 + (n % 3 == 0 ? 7 : 0);
      ChannelRecord r{};
      r[colFrequency] = formatFrequency(rx, mode, kSep);
      r[colName] = std::string("Ch") + std::to_string(n);
      if (n % 4 == 0) r[colName] = std::string("Name,\"Q\"").substr(0, 8);
      if (n % 5 == 0) r[colName].resize(static_cast<std::size_t>(model.nameLength), ' ');
      r[colMode] = mode;
      r[colFilter] = std::string(filters[static_cast<std::size_t>(n) % filters.size()]);
      r[colDuplex] = duplex;
      std::int32_t tx = 0;
      if (duplex == "Split") tx = rx + 5000000 - n * 100;
      const std::int32_t offset = model.duplex == DuplexStorage::OwnOffset
                                      ? 600000 + n * 100
                                      : offsets.forReceiveFrequency(rx);
      if (duplex == "DUP-") tx = rx - offset;
      if (duplex == "DUP+") tx = rx + offset;
      if (tx != 0) r[colTxFrequency] = formatFrequency(tx, mode, kSep);
      const std::string toneA = localizeDecimal(toneTable[static_cast<std::size_t>(n) % 50], kSep);
      const std::string toneB =
          localizeDecimal(toneTable[static_cast<std::size_t>(n * 7) % 50], kSep);
      if (n % 3 == 1) r[colRepeaterTone] = toneA;
      if (n % 3 == 2) {
        r[colRepeaterTone] = toneA;
        r[colToneSquelch] = toneB;
      }
      r[colSelect] = n % 2 ? "1" : "0";
      r[colChanged] = "0";
      rows.push_back(r);
    }
  }
  return rows;
}

struct RoundTrip : ::testing::TestWithParam<RigModel> {};

TEST_P(RoundTrip, TableToListToTableKeepsEveryCellTheModelKeeps) {
  const int m = GetParam().modelIndex;
  const ModelKeeps model = modelKeeps(m);
  const std::string band = GetParam().usesBand ? "430 MHz" : "";
  const DuplexOffsets offsets{100000, 500000, 1600000};
  const std::vector<ChannelRecord> rows =
      rowsTheModelKeeps(model, rigTableRanges(m, band), offsets);

  for (TableKind kind : {TableKind::Rig, TableKind::PermanentFile}) {
    SCOPED_TRACE(kind == TableKind::Rig ? "rig table" : "permanent file");
    ChannelTable source(kind);
    ChannelTable target(kind);
    if (kind == TableKind::Rig) {
      PrepareRigTable(source, m);
      PrepareRigTable(target, m);
    } else {
      source.setRowCount(static_cast<int>(rows.size()) + 1);
      target.setRowCount(2);
    }
    ASSERT_LT(static_cast<int>(rows.size()), source.rowCount());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      source.setRecord(static_cast<int>(i) + 1, rows[i]);
    }

    ChirpExportOptions out;
    out.offsets = offsets;
    out.sep = kSep;
    const ChirpExportReport exported = exportChirpCsv(source, out);
    EXPECT_EQ(exported.leftOut(), 0);
    EXPECT_EQ(exported.written, static_cast<int>(rows.size()));

    ChirpImportOptions in;
    in.modelIndex = m;
    in.bandText = band;
    in.offsets = offsets;
    in.sep = kSep;
    const ChirpImportReport imported = importChirpCsv(exported.csv, target, in);
    ASSERT_EQ(imported.error, "");
    EXPECT_EQ(imported.imported(), static_cast<int>(rows.size()));
    for (const ChirpRowReport& r : imported.rows) {
      EXPECT_EQ(r.leftOut, "") << "line " << r.line;
    }

    for (std::size_t i = 0; i < rows.size(); ++i) {
      const int row = static_cast<int>(i) + 1;
      ChannelRecord expected = rows[i];
      ChannelRecord got = target.record(row);
      // The radio pads names with spaces: the padding is no part of the name.
      expected[colName] = trimmedRight(expected[colName]);
      for (int c = colFrequency; c <= colSelect; ++c) {
        EXPECT_EQ(got[static_cast<std::size_t>(c)], expected[static_cast<std::size_t>(c)])
            << "row " << row << " column " << c;
      }
      EXPECT_EQ(got[colChanged], "1");
      if (writeLayoutOf(m)) {
        EXPECT_EQ(encodeMemoryContents(m, row, got, band, kSep),
                  encodeMemoryContents(m, row, rows[i], band, kSep))
            << "row " << row;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, RoundTrip, ::testing::ValuesIn(supportedModels()),
                         [](const auto& info) {
                           std::string name(info.param.menuCaption);
                           std::erase(name, '-');
                           return name;
                         });

TEST(ChirpExport, WritesWhatChirpReadsAndSaysWhatItCannot) {
  ChannelTable table(TableKind::PermanentFile);
  table.setRowCount(8);
  const Separators sep = Separators::point();
  // clang-format off
  table.setRecord(1, {"1", "    145,500", "Caf\xe9, \"2m\"  ", "FM", "Narrow", "DUP-", "    144,900", "", "", "1", "0"});
  table.setRecord(2, {"2", "   7,074.00", "FT8", "LSB-D", "Wide", "Simp", "", "", "", "0", "1"});
  table.setRecord(3, {"3", "   1,000.00", "Sync", "S-AM", "", "Simp", "", "", "", "0", "0"});
  table.setRecord(4, {"4", "", "Blank", "FM", "", "", "", "", "", "0", "0"});
  table.setRecord(5, {"5", "    146,000", "Odd tone", "FM", "", "Simp", "", "69.2", "", "0", "0"});
  table.setRecord(6, {"6", "    146,100", "No mode", "", "", "Simp", "", "", "", "0", "0"});
  table.setRecord(7, {"7", "    146,200", "Shift", "FM", "", "DUP+", "", "", "", "0", "0"});
  // clang-format on
  ChirpExportOptions o;
  o.sep = sep;
  o.offsets = DuplexOffsets{100000, 500000, 600000};
  const ChirpExportReport report = exportChirpCsv(table, o);

  const CsvDocument doc = parseCsv(report.csv);
  ASSERT_EQ(doc.records.size(), 4u);
  EXPECT_EQ(report.csv.substr(0, 59),
            "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneF");
  EXPECT_EQ(doc.records[1].fields, (std::vector<std::string>{"1",          "Caf\xc3\xa9, \"2m\"",
                                                             "145.500000", "-",
                                                             "0.600000",   "",
                                                             "88.5",       "88.5",
                                                             "023",        "NN",
                                                             "NFM",        "5.00",
                                                             "",           "",
                                                             "",           "",
                                                             "",           "",
                                                             "Narrow",     "1",
                                                             "0"}));
  EXPECT_NE(report.csv.find("\r\n1,\"Caf\xc3\xa9, \"\"2m\"\"\",145.500000,"), std::string::npos);
  EXPECT_EQ(doc.records[2].fields[10], "LSB");
  EXPECT_EQ(doc.records[2].fields[20], "1");  // Data
  // Without a transmit frequency, the band's offset.
  EXPECT_EQ(doc.records[3].fields[3], "+");
  EXPECT_EQ(doc.records[3].fields[4], "0.600000");

  EXPECT_EQ(report.written, 3);
  EXPECT_EQ(report.leftOut(), 3);
  const std::string text = describeExport(report, "out.csv");
  EXPECT_NE(text.find("row 2 \"FT8\": changed: LSB-D written as LSB"), std::string::npos) << text;
  EXPECT_NE(text.find("row 3 \"Sync\": left out: CHIRP has no mode \"S-AM\""), std::string::npos);
  EXPECT_NE(
      text.find("row 5 \"Odd tone\": left out: Repeater Tone \"69.2\" is not a tone CHIRP knows"),
      std::string::npos);
  EXPECT_NE(text.find("row 6 \"No mode\": left out: no mode"), std::string::npos);
  EXPECT_NE(text.find("Exported 3 channels to out.csv: 3 left out"), std::string::npos);

  // Chosen rows only, in the order given.
  o.rows = {7, 1};
  const CsvDocument chosen = parseCsv(exportChirpCsv(table, o).csv);
  ASSERT_EQ(chosen.records.size(), 3u);
  EXPECT_EQ(chosen.records[1].fields[0], "7");
  EXPECT_EQ(chosen.records[2].fields[0], "1");
}

}  // namespace
}  // namespace tarnwick
