#include "tables/print_layout.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tarnwick {
namespace {

// One unit per character, lines of 10 units and 1 unit of padding.
PageMetrics page(double width, double height) {
  return {.width = width,
          .height = height,
          .lineHeight = 10,
          .padding = 1,
          .textWidth = [](std::string_view t) { return static_cast<double>(t.size()); }};
}

struct PrintLayoutTest : ::testing::Test {
  ChannelTable table{TableKind::Rig};
  PrintRequest request;

  void SetUp() override {
    table.setRowCount(51);
    for (int col = 0; col < kColumnCount; ++col) table.setCell(col, 0, "H" + std::to_string(col));
    for (int r = 1; r <= 50; ++r) {
      table.setCell(colNumber, r, std::to_string(r));
      table.setCell(colName, r, r == 30 ? "A LONGER NAME" : "NAME");
    }
    request.table = &table;
    request.hidden = {colTxFrequency, colToneSquelch};
    for (int r = 1; r <= 50; r += 2) request.rows.push_back(r);  // a filter shows odd rows
  }
};

TEST_F(PrintLayoutTest, ShownColumnsFillThePageInProportionToTheirWidestText) {
  const PrintLayout layout = layoutPrint(request, page(500, 300));
  // The Changed mark is for the next store, not for paper.
  ASSERT_EQ(layout.columns.size(), 8u);
  for (const PrintColumn& c : layout.columns) {
    EXPECT_NE(c.column, colTxFrequency);
    EXPECT_NE(c.column, colToneSquelch);
    EXPECT_NE(c.column, colChanged);
  }
  EXPECT_EQ(layout.columns[1].heading, "H1 (kHz)");
  EXPECT_EQ(layout.columns[2].heading, "H2");
  const PrintColumn& last = layout.columns.back();
  EXPECT_DOUBLE_EQ(last.x + last.width, 500);
  // Name: its widest shown text is row 29's "NAME" as row 30 is filtered
  // out; the label column's widest is "49" or the heading "H0".
  const PrintColumn& label = layout.columns[0];
  const PrintColumn& name = layout.columns[2];
  EXPECT_EQ(name.column, colName);
  EXPECT_DOUBLE_EQ(name.width / label.width, (4.0 + 2) / (2.0 + 2));
  // A check box is as wide as a line at least, and centred.
  EXPECT_TRUE(layout.columns[7].checkBox);
  EXPECT_EQ(layout.columns[7].alignment, CellAlignment::Centre);
  EXPECT_DOUBLE_EQ(layout.columns[7].width / label.width, (10.0 + 2) / (2.0 + 2));
}

TEST_F(PrintLayoutTest, RowsAreSplitIntoPagesBelowTheHeadingsAndAboveTheFoot) {
  // 300 high: heading 20, foot 10, column headings 11: 259 / 11 = 23 rows.
  const PrintLayout layout = layoutPrint(request, page(500, 300));
  EXPECT_EQ(layout.rowsPerPage, 23);
  EXPECT_EQ(layout.pageCount, 2);
  const auto first = rowsOfPage(request, layout, 0);
  const auto second = rowsOfPage(request, layout, 1);
  ASSERT_EQ(first.size(), 23u);
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(first.front(), 1);
  EXPECT_EQ(second.back(), 49);
  EXPECT_TRUE(rowsOfPage(request, layout, 2).empty());
  EXPECT_EQ(pageNumberText(2, layout.pageCount), "Page 2 of 2");
  EXPECT_EQ(layout.headingFile, "(not saved)");

  // Empty memories stay off paper unless asked for: 20 channels among the
  // 50 rows fit one page.
  for (int r = 1; r <= 50; ++r) table.setCell(colFrequency, r, r % 5 < 2 ? "14,195.00" : "");
  std::vector<int> all(50);
  std::iota(all.begin(), all.end(), 1);
  const std::vector<int> channels = printedRows(table, all, false);
  ASSERT_EQ(channels.size(), 20u);
  EXPECT_EQ(channels[1], 5);
  EXPECT_EQ(printedRows(table, all, true), all);
  request.rows = channels;
  EXPECT_EQ(layoutPrint(request, page(500, 300)).pageCount, 1);

  // A page too short for any row still prints one per page; no rows, one page.
  EXPECT_EQ(layoutPrint(request, page(500, 30)).rowsPerPage, 1);
  request.rows.clear();
  EXPECT_EQ(layoutPrint(request, page(500, 300)).pageCount, 1);
}

}  // namespace
}  // namespace tarnwick
