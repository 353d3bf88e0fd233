// The CSV layer, frequencies in MHz and the folding of names.

#include <gtest/gtest.h>

#include "files/chirp_values.h"
#include "files/csv_text.h"
#include "files/text_folding.h"

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
