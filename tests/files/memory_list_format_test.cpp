#include "files/memory_list_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/table_ops.h"  // kColumnHeaders

namespace tarnwick {
namespace {

using namespace std::string_literals;

ChannelRecord record(std::vector<std::string> cells) {
  ChannelRecord r;
  for (std::size_t i = 0; i < cells.size() && i < r.size(); ++i) r[i] = cells[i];
  return r;
}

std::string line(const ChannelRecord& r) {
  std::string out;
  appendMemoryListLine(out, r);
  return out;
}

ChannelRecord headerRecord() {
  ChannelRecord r;
  for (std::size_t c = 0; c < r.size(); ++c) r[c] = std::string(kColumnHeaders[c]);
  return r;
}

TEST(MemoryListFormat, WritesTheUsualLinesByteForByte) {
  EXPECT_EQ(line(headerRecord()),
            "#;Frequency;Name;Mode;Filter;Duplex;Tx Frequency;Repeater Tone;Tone Squelch;"
            "Select;Changed\r\n");
  EXPECT_EQ(
      line(record({"1", "    145,500", "CALL", "FM", "Normal", "Simp", "", "", "", "0", "0"})),
      "1;    145,500;CALL;FM;Normal;Simp;\"\";\"\";\"\";0;0\r\n");
  EXPECT_EQ(line(ChannelRecord{}), "\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\"\r\n");
}

TEST(MemoryListFormat, QuotesTextsWithSeparatorOrLeadingQuoteAndDoublesTheirQuotes) {
  EXPECT_EQ(line(record({"", "", "a;b"})).substr(6, 5), "\"a;b\"");
  EXPECT_EQ(line(record({"1", "2", "a;\"b", "x"})),
            "1;2;\"a;\"\"b\";x;\"\";\"\";\"\";\"\";\"\";\"\";\"\"\r\n");
  EXPECT_EQ(line(record({"1", "2", "\"CQ", "x"})),
            "1;2;\"\"\"CQ\";x;\"\";\"\";\"\";\"\";\"\";\"\";\"\"\r\n");
  // A quote that does not begin a text without separator needs no quoting.
  EXPECT_EQ(line(record({"1", "2", "a\"b", "x"})),
            "1;2;a\"b;x;\"\";\"\";\"\";\"\";\"\";\"\";\"\"\r\n");
  // The last field is read by stripping quotes, so any quote there is quoted.
  ChannelRecord last;
  last[colChanged] = "a\"b";
  EXPECT_EQ(line(last).substr(line(last).size() - 9), ";\"a\"\"b\"\r\n");
  // CR before LF is dropped inside a quoted text; an LF alone makes a text
  // quoted, so that it cannot end the line.
  EXPECT_EQ(line(record({"1", "a;b\r\nc"})).substr(0, 10), "1;\"a;b\nc\";");
  EXPECT_EQ(line(record({"1", "a\r\nc"})).substr(0, 8), "1;\"a\nc\";");
  EXPECT_EQ(line(record({"1", "a\nc"})).substr(0, 8), "1;\"a\nc\";");
  EXPECT_EQ(parseMemoryList(line(record({"1", "a\r\nc"})))[0][1], "a\nc");
}

// Dropping one CR of "\r\r\n" would leave a CR LF in the text, which ends the
// line there and shifts the rest of the table.
TEST(MemoryListFormat, EveryCrBeforeAnLfIsDroppedSoNoTextEndsALine) {
  for (int col : {colName, colChanged}) {
    ChannelRecord row = record({"1", "145500"});
    row[static_cast<std::size_t>(col)] = "a\r\r\r\nb;c";
    const std::string bytes = line(row) + line(record({"2", "7050"}));
    const std::vector<ChannelRecord> back = parseMemoryList(bytes);
    ASSERT_EQ(back.size(), 2u) << col;
    EXPECT_EQ(back[0][static_cast<std::size_t>(col)], "a\nb;c") << col;
    EXPECT_EQ(back[1][colNumber], "2") << col;
  }
}

// Every column, so that both the middle-field and the last-field rules see
// each text.
TEST(MemoryListFormat, EveryTextReadsBackUnchangedInEveryColumn) {
  const std::vector<std::string> texts{"CALL",
                                       "    145,500",
                                       " lead and trail ",
                                       "a;b",
                                       ";",
                                       ";;",
                                       "\"",
                                       "\"\"",
                                       "\"CQ",
                                       "CQ\"",
                                       "a\"b",
                                       "a\"\"b",
                                       "a;\"b",
                                       "\"a;b\"",
                                       "x\";y",
                                       "\"\";",
                                       "\xe9t\xe9\xff",
                                       "tab\there",
                                       "nul\0in"s,
                                       "cr\rin",
                                       "ends in cr\r",
                                       "0",
                                       "1",
                                       "2"};
  for (const std::string& text : texts) {
    for (int col = 0; col < kColumnCount; ++col) {
      ChannelRecord r;
      for (int c = 0; c < kColumnCount; ++c)
        r[static_cast<std::size_t>(c)] = "f" + std::to_string(c);
      r[static_cast<std::size_t>(col)] = text;
      const std::vector<ChannelRecord> back = parseMemoryList(line(r) + line(r));
      ASSERT_EQ(back.size(), 2u) << text << " in column " << col;
      EXPECT_EQ(back[0], r) << "text [" << text << "] in column " << col << ": " << line(r);
      EXPECT_EQ(back[1], r);
    }
  }
}

TEST(MemoryListFormat, ReadsQuotedFieldsByTheClosingQuoteRule) {
  // Lines as an older writer made them: quotes inside not doubled.
  ChannelRecord r = parseMemoryListLine("1;x;\"a;\"b\";FM;d;e;f;g;h;1;0");
  EXPECT_EQ(r[colName], "a;");
  EXPECT_EQ(r[colMode], "FM");  // the rest up to the separator is dropped
  EXPECT_EQ(r[colChanged], "0");
  // No closing quote: the field is empty and its text up to ";" dropped.
  r = parseMemoryListLine("1;\"abc;def;ghi");
  EXPECT_EQ(r[colFrequency], "");
  EXPECT_EQ(r[colName], "def");
  EXPECT_EQ(r[colMode], "ghi");
  // A quote that is the last byte of the line closes.
  r = parseMemoryListLine("1;\"a;b\"\"");
  EXPECT_EQ(r[colFrequency], "a;b\"");
  // A quoted field that runs to the end of the line ends the line.
  r = parseMemoryListLine("1;\"a;b\"tail");
  EXPECT_EQ(r[colFrequency], "a;b");
  EXPECT_EQ(r[colName], "");
}

TEST(MemoryListFormat, ReadsTheLastFieldByStrippingOneQuoteEachSide) {
  EXPECT_EQ(parseMemoryListLine("a;\"0\"")[1], "0");
  EXPECT_EQ(parseMemoryListLine("a;x\"\"y")[1], "x\"y");
  EXPECT_EQ(parseMemoryListLine("a;\"x")[1], "x");
  EXPECT_EQ(parseMemoryListLine("a;\"")[1], "");
  EXPECT_EQ(parseMemoryListLine("a;")[1], "");
  EXPECT_EQ(parseMemoryListLine("")[0], "");
}

TEST(MemoryListFormat, ShortLinesLeaveCellsEmptyAndLongLinesKeepTheFirstEleven) {
  EXPECT_EQ(parseMemoryListLine("1;145"), record({"1", "145"}));
  const ChannelRecord eleven = record({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
  EXPECT_EQ(parseMemoryListLine("0;1;2;3;4;5;6;7;8;9;10;11;\"12\""), eleven);
  EXPECT_EQ(parseMemoryListLine("0;1;2;3;4;5;6;7;8;9;10;"), eleven);
  EXPECT_EQ(parseMemoryListLine("0;1;2;3;4;5;6;7;8;9;\"10\";\"11\""), eleven);
  EXPECT_EQ(parseMemoryListLine("0;1;2;3;4;5;6;7;8;9;\"10;x\";11"),
            record({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10;x"}));
}

TEST(MemoryListFormat, SplitsLinesAtEveryLfOutsideQuotes) {
  EXPECT_TRUE(parseMemoryList("").empty());
  EXPECT_EQ(parseMemoryList("a\r\nb\r\n").size(), 2u);
  EXPECT_EQ(parseMemoryList("a\r\nb").size(), 2u);  // last line without line end
  EXPECT_EQ(parseMemoryList("a\nb\n").size(), 2u);  // a file with bare LF line ends
  // LF alone ends a line among CR LF lines; a lone CR is text, as is a quoted LF.
  const std::string_view bytes = "a\r\n\r\n\nb\rc\r\r\nx;y\nz\r\n1;\"p\nq\";r\r\n2;\"s\nt;u\r\n";
  const auto rows = parseMemoryList(bytes);
  std::vector<std::string> firstFields;
  for (const ChannelRecord& row : rows) firstFields.push_back(row[0]);
  // An unclosed quote ("s) does not swallow the next line.
  EXPECT_EQ(firstFields,
            (std::vector<std::string>{"a", "", "", "b\rc\r", "x", "z", "1", "2", "t"}));
  EXPECT_EQ(memoryListLineCount(bytes), rows.size());
  EXPECT_EQ(rows[6][1], "p\nq");
}

}  // namespace
}  // namespace tarnwick
