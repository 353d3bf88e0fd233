// The CSV layer, CHIRP's columns and value texts, the folding of names, and
// the frequencies each model takes.

#include <gtest/gtest.h>

#include "chirp/chirp_columns.h"
#include "chirp/chirp_values.h"
#include "chirp/csv_text.h"
#include "chirp/text_folding.h"
#include "rig/data_modes.h"
#include "rig/receive_ranges.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"

namespace tarnwick {
namespace {

using Fields = std::vector<std::string>;

TEST(CsvText, ReadsQuotingLineEndsAndByteOrderMark) {
  const CsvDocument doc = parseCsv(
      "\xEF\xBB\xBF"
      "a,b,c\r\n"
      "\"x, y\",\"say \"\"hi\"\"\",\r\n"
      "\n"
      "\"two\r\nlines\",z\n"
      "old mac\r"
      "last,\"\"");
  ASSERT_EQ(doc.records.size(), 5u);
  EXPECT_EQ(doc.records[0].fields, (Fields{"a", "b", "c"}));
  EXPECT_EQ(doc.records[1].fields, (Fields{"x, y", "say \"hi\"", ""}));
  EXPECT_EQ(doc.records[2].fields, (Fields{"two\r\nlines", "z"}));
  EXPECT_EQ(doc.records[3].fields, (Fields{"old mac"}));
  EXPECT_EQ(doc.records[4].fields, (Fields{"last", ""}));
  EXPECT_EQ(doc.records[2].line, 4);
  EXPECT_EQ(doc.records[3].line, 6);
  EXPECT_EQ(doc.records[4].line, 7);
  EXPECT_EQ(doc.lastLine, 7);
  EXPECT_FALSE(doc.unclosedQuote);
  // Text after a closing quote, and a quote inside an unquoted field, stay.
  EXPECT_EQ(parseCsv("\"ab\"cd,e\"f\n").records[0].fields, (Fields{"abcd", "e\"f"}));
}

TEST(CsvText, WhatIsWrittenReadsBack) {
  const Fields fields{"", "plain", "a,b", "q\"q", "line\r\nend", " lead", "trail ", "\xC3\xA9"};
  std::string out;
  appendCsvRecord(out, fields);
  appendCsvRecord(out, fields);
  EXPECT_TRUE(out.starts_with(",plain,\"a,b\",\"q\"\"q\",\"line\r\nend\",\" lead\",\"trail \","));
  const CsvDocument doc = parseCsv(out);
  ASSERT_EQ(doc.records.size(), 2u);
  EXPECT_EQ(doc.records[1].fields, fields);
  EXPECT_EQ(doc.records[1].line, 3);
}

TEST(ChirpValues, FrequenciesAreExactHertz) {
  EXPECT_EQ(parseMhzText("146.520000"), 146520000);
  EXPECT_EQ(parseMhzText(" 444.6 "), 444600000);
  EXPECT_EQ(parseMhzText("462.5625"), 462562500);
  EXPECT_EQ(parseMhzText("1296"), 1296000000);
  EXPECT_EQ(parseMhzText(".5"), 500000);
  EXPECT_EQ(parseMhzText("5.3305 MHz"), 5330500);
  EXPECT_EQ(parseMhzText("145500 kHz"), 145500000);
  EXPECT_EQ(parseMhzText("7.0300000000"), 7030000);    // zeros past the hertz
  EXPECT_EQ(parseMhzText("7.0300001"), std::nullopt);  // a part of a hertz
  for (const char* bad : {"", ".", "1e6", "-145.5", "145,5", "14.07.4", "9999999999999"}) {
    EXPECT_EQ(parseMhzText(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(formatMhzText(5330500), "5.330500");
  EXPECT_EQ(formatMhzText(1296000001), "1296.000001");
}

TEST(ChirpColumns, HeaderNamesAreFoundInAnyOrderIgnoringCaseAndSpaces) {
  const Fields names{" frequency ", "NAME", "Bogus", "Location", "name", "Mode"};
  const ChirpHeader header(names);
  EXPECT_EQ(header.fieldCount(), 6);
  EXPECT_EQ(header.position(ChirpColumn::Frequency), 0);
  EXPECT_EQ(header.position(ChirpColumn::Name), 1);  // the first of two
  EXPECT_EQ(header.position(ChirpColumn::Location), 3);
  EXPECT_EQ(header.position(ChirpColumn::Mode), 5);
  EXPECT_FALSE(header.has(ChirpColumn::Duplex));
  EXPECT_EQ(header.position(ChirpColumn::Duplex), -1);
  EXPECT_FALSE(ChirpHeader(Fields{"Frequencies", "Nam", "Loc ation"}).has(ChirpColumn::Frequency));
  EXPECT_FALSE(ChirpHeader(Fields{"Nam", "Loc ation"}).has(ChirpColumn::Name));

  // A short record reads its missing fields as empty; absent columns are not present.
  const ChirpRow row = header.row(Fields{"145.5", "Rpt", "x", "7"});
  EXPECT_EQ(row[ChirpColumn::Frequency], "145.5");
  EXPECT_EQ(row[ChirpColumn::Location], "7");
  EXPECT_TRUE(row.has(ChirpColumn::Mode));
  EXPECT_EQ(row[ChirpColumn::Mode], "");
  EXPECT_FALSE(row.has(ChirpColumn::Duplex));
}

TEST(ChirpValues, WordsMatchIgnoringCaseAndBlanksAround) {
  EXPECT_TRUE(matchesIgnoringCase("TSQL", "TSQL"));
  EXPECT_TRUE(matchesIgnoringCase(" tsql\t", "TSQL"));
  EXPECT_TRUE(matchesIgnoringCase("SPLIT", "split"));
  EXPECT_TRUE(matchesIgnoringCase("  ", ""));
  EXPECT_FALSE(matchesIgnoringCase("TSQL-R", "TSQL"));
  EXPECT_FALSE(matchesIgnoringCase("Ton", "Tone"));
  EXPECT_FALSE(matchesIgnoringCase("T one", "Tone"));
  // Only ASCII letters fold: a Latin-1 or UTF-8 letter is never a plain one.
  EXPECT_FALSE(matchesIgnoringCase("Ton\xC9", "Tone"));
  EXPECT_FALSE(matchesIgnoringCase("Ton\xC3\xA9", "Tone"));
  EXPECT_EQ(chirpModeMeaning(" nfm ")->mode, "FM");
  EXPECT_TRUE(chirpModeMeaning(" nfm ")->narrow);
  EXPECT_EQ(chirpModeMeaning("DV"), std::nullopt);
}

TEST(ChirpValues, DataModesAndTheirPlainModes) {
  for (std::string_view mode : kModeTable) {
    SCOPED_TRACE(std::string(mode));
    const bool data = mode.ends_with("-D");
    EXPECT_EQ(withoutData(mode), data ? mode.substr(0, mode.size() - 2) : mode);
    if (data) {
      EXPECT_EQ(dataVariant(withoutData(mode)), mode);
    }
  }
  for (std::string_view plain : {"CW", "CW-r", "RTTY", "RTTY-r", "S-AM", "WFM", "SSB", ""}) {
    EXPECT_EQ(dataVariant(plain), "") << plain;
  }
  // Texts that are no mode of ours stay as they are.
  for (std::string_view other : {"usb-d", "CW-D", "-D", "X"}) {
    EXPECT_EQ(withoutData(other), other);
    EXPECT_EQ(dataVariant(other), "") << other;
  }
  EXPECT_EQ(chirpModeOf("USB-D", false)->mode, "DIG");
  EXPECT_FALSE(chirpModeOf("USB-D", false)->dataLost);
  EXPECT_EQ(chirpModeOf("AM-D", true)->mode, "NAM");
  EXPECT_TRUE(chirpModeOf("AM-D", true)->dataLost);
  EXPECT_EQ(chirpModeOf("S-AM", false), std::nullopt);
}

TEST(ReceiveRanges, ABandAddressedRigTableTakesItsBandOnly) {
  const std::span<const FrequencyRange> all = receiveRanges(kModelIc910);
  ASSERT_EQ(all.size(), kBandTexts.size());
  for (std::size_t b = 0; b < kBandTexts.size(); ++b) {
    const std::span<const FrequencyRange> band = rigTableRanges(kModelIc910, kBandTexts[b]);
    ASSERT_EQ(band.size(), 1u) << kBandTexts[b];
    EXPECT_EQ(band[0].low, all[b].low);
    EXPECT_EQ(band[0].high, all[b].high);
  }
  EXPECT_TRUE(inRanges(rigTableRanges(kModelIc910, "430 MHz"), 438650000));
  EXPECT_FALSE(inRanges(rigTableRanges(kModelIc910, "430 MHz"), 145000000));
  EXPECT_TRUE(inRanges(rigTableRanges(kModelIc910, "1240 MHz"), 1296000000));
  // Other models take every range, whatever the band box says.
  EXPECT_EQ(rigTableRanges(kModelIc746, "430 MHz").data(), receiveRanges(kModelIc746).data());
  EXPECT_EQ(rigTableRanges(kModelIc746, "430 MHz").size(), 2u);
  EXPECT_TRUE(inRanges(receiveRanges(kModelIc746), 30000));
  EXPECT_FALSE(inRanges(receiveRanges(kModelIc746), 29999));
  EXPECT_FALSE(inRanges(receiveRanges(kModelIc746), 100000000));
  EXPECT_TRUE(receiveRanges(0).empty());
}

TEST(TextFolding, NamesFoldToPrintableAscii) {
  // The last byte is not UTF-8: it is read as the Latin-1 letter it is.
  EXPECT_EQ(foldToPrintableAscii("Z\xC3\xBCrich \xC3\x86r\xF8"), "Zurich AEro");
  EXPECT_EQ(foldToPrintableAscii("\xC5\x81\xC3\xB3"
                                 "d\xC5\xBA"),
            "Lodz");
  EXPECT_EQ(foldToPrintableAscii("Stra\xC3\x9F"
                                 "e"),
            "Strasse");
  EXPECT_EQ(foldToPrintableAscii("\xE2\x80\x9CRpt\xE2\x80\x9D \xE2\x80\x93 2m"), "\"Rpt\" - 2m");
  EXPECT_EQ(foldToPrintableAscii("\xE6\x9D\xB1\xE4\xBA\xAC"), "??");  // no Latin letters
  EXPECT_EQ(foldToPrintableAscii("Caf\xE9"), "Cafe");                 // saved as Latin-1
  EXPECT_EQ(foldToPrintableAscii("a\tb\x7F"), "a b ");
  EXPECT_EQ(latin1ToUtf8("Caf\xE9"), "Caf\xC3\xA9");
  EXPECT_EQ(escapeControls("a\r\n\x01"), "a\\r\\n\\x01");
}

}  // namespace
}  // namespace tarnwick
