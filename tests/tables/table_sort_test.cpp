#include "tables/table_sort.h"

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/tables_controller.h"
#include "tests/support/locales.h"

namespace tarnwick {
namespace {

using testing::column;
using testing::fillFile;
using testing::fillRig;
using testing::putChannel;
using testing::rowRange;
using Keys = std::vector<SortKey>;

TEST(SortKeys, ClickShiftClickAndReverse) {
  Keys keys = nextSortKeys({}, 2, false);
  EXPECT_EQ(keys, (Keys{{2, false}}));
  keys = nextSortKeys(keys, 2, false);
  EXPECT_EQ(keys, (Keys{{2, true}}));
  keys = nextSortKeys(keys, 3, true);
  EXPECT_EQ(keys, (Keys{{2, true}, {3, false}}));
  keys = nextSortKeys(keys, 2, true);
  EXPECT_EQ(keys, (Keys{{2, false}, {3, false}}));
  // A plain click on a key among several makes it the only one, ascending.
  EXPECT_EQ(nextSortKeys(keys, 3, false), (Keys{{3, false}}));
  EXPECT_EQ(nextSortKeys(keys, 5, false), (Keys{{5, false}}));
}

TEST(SortNumber, ReadsLocaleNumbersAndRejectsTheRest) {
  const Separators point = Separators::point();
  const Separators comma = Separators::comma();
  EXPECT_EQ(sortNumber("  14,074.00", point), 14074.0);
  EXPECT_EQ(sortNumber("  14.074,00", comma), 14074.0);
  EXPECT_EQ(sortNumber("88,5", comma), 88.5);
  EXPECT_EQ(sortNumber("-3", point), -3.0);
  EXPECT_EQ(sortNumber("1,234,567", point), 1234567.0);
  EXPECT_EQ(sortNumber("14074000", point), 14074000.0);
  EXPECT_FALSE(sortNumber("1,5", point));  // not a grouping
  EXPECT_FALSE(sortNumber("12,34,567", point));
  EXPECT_FALSE(sortNumber("P1", point));
  EXPECT_FALSE(sortNumber("1A", point));
  EXPECT_FALSE(sortNumber("-", point));
  EXPECT_FALSE(sortNumber("", point));
  EXPECT_FALSE(sortNumber("   ", point));
  EXPECT_FALSE(sortNumber("1 2", point));
}

// Sorts under both locales.
class Sorting : public ::testing::TestWithParam<Separators>, protected testing::ControlledTables {
 protected:
  Sorting() : scoped_(GetParam()) {
    file_.setSortIndication(true);
    rig_.setSortIndication(true);
  }
  ScopedSeparators scoped_;
};

TEST_P(Sorting, NumbersByValueThenTextsThenEmptyCells) {
  fillFile(file_, {"a", "b", "c", "d", "e", "f"});
  const std::string tones[] = {"",  localizeDecimal("100.0"), "x", localizeDecimal("67.0"), "9",
                               "Ab"};
  for (int r = 1; r <= 6; ++r) file_.setCell(colRepeaterTone, r, tones[r - 1]);
  ASSERT_TRUE(ctl_.clickSort(ctl_.fileTable(), colRepeaterTone, false));
  EXPECT_EQ(column(file_, colName, 1, 6), (std::vector<std::string>{"e", "d", "b", "f", "c", "a"}));
  // Reversed: empty cells still last.
  ASSERT_TRUE(ctl_.clickSort(ctl_.fileTable(), colRepeaterTone, false));
  EXPECT_EQ(column(file_, colName, 1, 6), (std::vector<std::string>{"c", "f", "b", "d", "e", "a"}));
  EXPECT_EQ(file_.sortKeys(), (Keys{{colRepeaterTone, true}}));
  EXPECT_TRUE(file_.modified());
  EXPECT_EQ(column(file_, colChanged, 1, 6), std::vector<std::string>(6, "0"));
}

TEST_P(Sorting, FrequenciesByValueAndRewrittenForTheirMode) {
  fillFile(file_, {"a", "b", "c", "d"});
  file_.setCell(colFrequency, 1, "145500");  // typed raw into a file
  file_.setCell(colMode, 1, "FM");
  file_.setCell(colFrequency, 2, formatFrequency(7050000, "USB"));
  file_.setCell(colFrequency, 3, "no digits");
  file_.setCell(colFrequency, 4, formatFrequency(14074000, "USB"));
  ASSERT_TRUE(ctl_.clickSort(ctl_.fileTable(), colFrequency, false));
  EXPECT_EQ(column(file_, colName, 1, 4), (std::vector<std::string>{"b", "d", "a", "c"}));
  EXPECT_EQ(file_.cell(colFrequency, 3), formatFrequency(145500000, "FM"));
  EXPECT_EQ(file_.cell(colFrequency, 4), "");
}

TEST_P(Sorting, MultipleKeysApplyInOrder) {
  fillFile(file_, {"b", "a", "b", "a"});
  for (int r = 1; r <= 4; ++r) file_.setCell(colMode, r, r % 2 ? "USB" : "CW");
  ctl_.clickSort(ctl_.fileTable(), colName, false);
  ctl_.clickSort(ctl_.fileTable(), colFrequency, true);
  ctl_.clickSort(ctl_.fileTable(), colFrequency, true);  // reverse the second key
  EXPECT_EQ(column(file_, colNumber, 1, 4), (std::vector<std::string>{"4", "2", "3", "1"}));
}

TEST_P(Sorting, AskedByNameTheDirectionStaysWhatWasAsked) {
  fillFile(file_, {"b", "c", "a"});
  ctl_.clickSort(ctl_.fileTable(), colMode, true);
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(ctl_.sortBy(ctl_.fileTable(), colName, true));
  EXPECT_EQ(column(file_, colName, 1, 3), (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(file_.sortKeys(), (Keys{{colName, true}}));
}

TEST_P(Sorting, TextIgnoresCase) {
  fillFile(file_, {"beta", "Alpha", "alpha", "Gamma"});
  ctl_.clickSort(ctl_.fileTable(), colName, false);
  EXPECT_EQ(column(file_, colName, 1, 4),
            (std::vector<std::string>{"Alpha", "alpha", "beta", "Gamma"}));
}

TEST_P(Sorting, RigSortKeepsTheRowsAfter99AndHashRestoresTheOrder) {
  ctl_.setModelIndex(kModelIc756Pro);
  fillRig(rig_, kModelIc756Pro, {1, 2, 3, 5, 100, 101});
  rig_.setCell(colName, 1, "zulu");
  rig_.setCell(colName, 2, "alpha");
  rig_.setCell(colName, 3, "mike");
  rig_.setCell(colName, 100, "AAA");
  ASSERT_TRUE(ctl_.clickSort(ctl_.rigTable(), colName, false));
  EXPECT_EQ(column(rig_, colName, 1, 5),
            (std::vector<std::string>{"alpha", "M5", "mike", "zulu", ""}));
  EXPECT_EQ(column(rig_, colNumber, 1, 4), (std::vector<std::string>{"2", "5", "3", "1"}));
  EXPECT_EQ(column(rig_, colNumber, 100, 101), (std::vector<std::string>{"100", "101"}));
  EXPECT_EQ(rig_.cell(colName, 100), "AAA");

  ASSERT_TRUE(ctl_.clickSort(ctl_.rigTable(), colNumber, false));
  for (int r = 1; r <= 101; ++r) EXPECT_EQ(rig_.cell(colNumber, r), std::to_string(r)) << r;
  EXPECT_EQ(column(rig_, colName, 1, 3), (std::vector<std::string>{"zulu", "alpha", "mike"}));
}

TEST_P(Sorting, NeedsTheIndicationAndTwoRows) {
  fillFile(file_, {"b", "a"});
  file_.setSortIndication(false);
  EXPECT_FALSE(ctl_.clickSort(ctl_.fileTable(), colName, false));
  EXPECT_EQ(file_.cell(colName, 1), "b");
  EXPECT_FALSE(file_.modified());
  EXPECT_TRUE(file_.sortKeys().empty());

  file_.setSortIndication(true);
  ASSERT_TRUE(ctl_.clickSort(ctl_.fileTable(), colName, false));
  EXPECT_EQ(file_.sortKeys().size(), 1u);
  file_.setSortIndication(false);  // as an Open does
  EXPECT_TRUE(file_.sortKeys().empty());

  fillFile(file_, {"only"});
  file_.setSortIndication(true);
  EXPECT_FALSE(ctl_.canSort(ctl_.fileTable()));
  EXPECT_FALSE(ctl_.clickSort(ctl_.fileTable(), colName, false));
}

INSTANTIATE_TEST_SUITE_P(Locales, Sorting, testing::bothLocales(), testing::localeName);

}  // namespace
}  // namespace tarnwick
