#include "tables/column_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

bool holds(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(ColumnFit, WidestTextsCoverEveryValueACellCanShow) {
  const Separators sep = Separators::point();
  EXPECT_EQ(widestColumnTexts(kModelIc746, colTxFrequency, 102, sep),
            std::vector<std::string>{"2,147,483.647"});
  EXPECT_EQ(widestColumnTexts(kModelIc746, colFrequency, 102, Separators::comma()),
            std::vector<std::string>{"2.147.483,647"});
  EXPECT_TRUE(holds(widestColumnTexts(kModelIc746, colToneSquelch, 102, sep), "254.1"));
  EXPECT_TRUE(holds(widestColumnTexts(kModelIc746, colDuplex, 102, sep), "Simplex"));
  EXPECT_EQ(widestColumnTexts(kModelIc746, colName, 102, sep).at(0).size(),
            static_cast<std::size_t>(findRigModel(kModelIc746)->nameLength));
  // Labels: the rows' largest number and the special channels.
  const auto labels = widestColumnTexts(kModelIc746, colNumber, 1500, sep);
  EXPECT_TRUE(holds(labels, "1500"));
  EXPECT_TRUE(holds(labels, "Call"));
  EXPECT_TRUE(widestColumnTexts(kModelIc746, colChanged, 102, sep).empty());
}

TEST(ColumnFit, CaptionsShareTheRoomLeftAndContentIsNeverCut) {
  std::array<ColumnNeed, kColumnCount> needs{};
  needs.fill({.content = 40, .caption = 50});
  needs[colToneSquelch] = {.content = 40, .caption = 100};
  const ColumnSet none;
  const KeptColumnWidths noneKept{};

  // Room for every caption.
  auto w = fitColumnWidths(needs, none, noneKept, 1000);
  EXPECT_EQ(w[colFrequency], 50);
  EXPECT_EQ(w[colToneSquelch], 100);

  // 40 px short: the long caption gives up room first, short ones stay whole.
  const int whole = 10 * 50 + 100;
  w = fitColumnWidths(needs, none, noneKept, whole - 40);
  EXPECT_EQ(w[colFrequency], 50);
  EXPECT_EQ(w[colToneSquelch], 60);
  EXPECT_LE(std::accumulate(w.begin(), w.end(), 0), whole - 40);

  // Too narrow even for the content: every column keeps its content.
  w = fitColumnWidths(needs, none, noneKept, 100);
  EXPECT_TRUE(std::all_of(w.begin(), w.end(), [](int x) { return x == 40; }));

  // Hidden columns take no room; a kept width stays as the user left it.
  KeptColumnWidths kept{};
  kept[colName] = 17;
  w = fitColumnWidths(needs, ColumnSet{colDuplex, colTxFrequency}, kept, 1000);
  EXPECT_EQ(w[colDuplex], 0);
  EXPECT_EQ(w[colTxFrequency], 0);
  EXPECT_EQ(w[colName], 17);
}

TEST(ColumnFit, KeptWidthsScaleWithTheFont) {
  EXPECT_EQ(scaledColumnWidth(100, 7, 14), 200);
  EXPECT_EQ(scaledColumnWidth(100, 14, 7), 50);
  EXPECT_EQ(scaledColumnWidth(1, 14, 7), 1);
  EXPECT_EQ(scaledColumnWidth(80, 0, 7), 80);
}

}  // namespace
}  // namespace tarnwick
