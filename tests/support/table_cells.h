#pragma once
// Checks several cells of one table row in one assertion that names every
// cell that differs, so a test states a row's expected texts side by side.
//
//   EXPECT_TRUE(cellsAre(rig, 40, {{colName, "M3"}, {colChanged, "1"}}));

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "tables/channel_table.h"
#include "tables/table_ops.h"

namespace tarnwick::testing {

inline ::testing::AssertionResult cellsAre(
    const ChannelTable& table, int row,
    std::initializer_list<std::pair<int, std::string_view>> expected) {
  std::string differences;
  for (const auto& [col, text] : expected) {
    const std::string& actual = table.cell(col, row);
    if (actual == text) continue;
    differences.append("\n  ")
        .append(kColumnHeaders[static_cast<std::size_t>(col)])
        .append(": \"")
        .append(actual)
        .append("\", expected \"")
        .append(text)
        .append("\"");
  }
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "row " << row << differences;
}

}  // namespace tarnwick::testing
