// CHIRP lists made to hurt: rows that would once abort the import, and lists
// whose size in lines, fields or reported rows must not grow the memory or
// the report with them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "chirp/chirp_csv.h"
#include "chirp/chirp_transfer.h"
#include "chirp/csv_text.h"
#include "files/file_system.h"
#include "rig/rig_catalogue.h"
#include "tables/column_layout.h"
#include "tables/table_ops.h"
#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

ChirpImportOptions options(int modelIndex) {
  ChirpImportOptions o;
  o.modelIndex = modelIndex;
  o.sep = Separators::point();
  return o;
}

TEST(HostileCsv, AnOffsetLargerThanTheFrequencyIsARowLeftOutWithItsReason) {
  const std::string list =
      "Location,Name,Frequency,Duplex,Offset\r\n"
      "1,RPT,145.000000,-,145.500000\r\n"
      "2,OK,145.000000,-,0.600000\r\n";
  for (int model : {kModelIc746, kModelIc746Pro, kModelIc910}) {
    for (const TableKind kind : {TableKind::Rig, TableKind::PermanentFile}) {
      ChannelTable table(kind);
      if (kind == TableKind::Rig) PrepareRigTable(table, model);
      const ChirpImportReport report = importChirpCsv(list, table, options(model));
      ASSERT_EQ(report.rows.size(), 2u) << report.error;
      EXPECT_EQ(report.rows[0].leftOut,
                "transmit frequency -0.500000 MHz is not above 0 MHz (the offset is larger than "
                "the frequency)")
          << modelName(model);
      EXPECT_EQ(report.imported(), 1) << modelName(model) << ": " << report.rows[1].leftOut;
    }
  }
}

TEST(HostileCsv, MillionsOfBadLinesGiveAShortReport) {
  // A header, then 200,000 lines of one field.
  std::string list = "Location,Name,Frequency,Duplex,Offset\n";
  for (int i = 0; i < 200'000; ++i) list += "a\n";
  ChannelTable permanent(TableKind::PermanentFile);
  ChirpImportReport report = importChirpCsv(list, permanent, options(kModelIc746));
  EXPECT_EQ(report.rows.size(), kMaxReportedRows);
  EXPECT_EQ(report.total(), 200'000);
  EXPECT_EQ(report.leftOut(), 200'000);
  ASSERT_EQ(report.moreLeftOut.size(), 1u);
  const std::string text = describeImport(report, "bad.csv");
  EXPECT_LT(text.size(), 100'000u);
  EXPECT_NE(text.find("\nand 199,000 more rows left out: the line has 1 field, the header 5\n"),
            std::string::npos);
  EXPECT_TRUE(text.ends_with("Imported 0 of 200000 rows of bad.csv: 200000 left out, 0 changed\n"))
      << text.substr(text.size() - 200);

  // Reasons beyond the summed ones are summed together; rows that went in
  // are counted, and their names and table rows kept.
  list = "Location,Name,Frequency\n";
  for (int i = 0; i < 1100; ++i) list += "1,OK" + std::to_string(i) + ",145.500000\n";
  for (int i = 0; i < 30; ++i) list += "1,X,9" + std::to_string(i) + "x\n";
  report = importChirpCsv(list, permanent, options(kModelIc746));
  EXPECT_EQ(report.imported(), 1100);
  EXPECT_EQ(report.moreImported, 100);
  EXPECT_EQ(report.tableRows.size(), 1100u);
  EXPECT_EQ(permanent.cell(colName, report.tableRows.back()), "OK1099");
  ASSERT_EQ(report.moreLeftOut.size(), kMaxSummedReasons + 1);
  EXPECT_EQ(report.moreLeftOut.back(), (std::pair<std::string, int>{"", 10}));
  EXPECT_NE(describeImport(report, "l.csv").find("\nand 10 more rows left out for other reasons\n"),
            std::string::npos);
}

TEST(HostileCsv, ABoxShowsTheFirstLinesOfAReportAndCountsTheRest) {
  EXPECT_EQ(reportPreview("a\nb\n", 2), "a\nb\n");
  EXPECT_EQ(reportPreview("a\nb\nc\nd", 2),
            "a\nb\n... and 2 more lines: Save Report... keeps them all\n");
  EXPECT_EQ(reportPreview("a\nb\nc\n", 2),
            "a\nb\n... and 1 more line: Save Report... keeps them all\n");
}

TEST(HostileCsv, ALineOfCommasKeepsAFixedNumberOfFields) {
  const std::string commas(1'000'000, ',');
  const CsvDocument doc = parseCsv("Location,Name,Frequency\n" + commas + "\n1,A,145.5\n");
  ASSERT_EQ(doc.records.size(), 3u);
  EXPECT_EQ(doc.records[1].fields.size(), kMaxCsvFields);
  EXPECT_EQ(doc.records[2].fields, (std::vector<std::string>{"1", "A", "145.5"}));
  EXPECT_EQ(doc.records[2].line, 3);
}

TEST(HostileCsv, AListTooLargeToReadSaysSo) {
  testing::TempFolder dir;
  const std::string path = dir.file("huge.csv");
  testing::writeBytes(path, "Location,Name,Frequency\n");
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kMaxReadBytes) + 1), 0);
  ChannelTable permanent(TableKind::PermanentFile);
  const ChirpImportReport report = importChirpCsvFile(path, permanent, options(kModelIc746));
  EXPECT_EQ(report.error, "Cannot open file " + path + "\nLarger than 64 MiB");
}

}  // namespace
}  // namespace tarnwick
