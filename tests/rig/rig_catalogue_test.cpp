#include "rig/rig_catalogue.h"

#include <gtest/gtest.h>

#include <set>

namespace tarnwick {
namespace {

TEST(RigCatalogue, HoldsAllEntriesWithUniqueNamesAndAddresses) {
  const auto cat = RigCatalogue();
  std::set<std::string_view> names;
  std::set<int> addresses;
  for (const auto& e : cat) {
    EXPECT_TRUE(names.insert(e.name).second) << e.name;
    EXPECT_TRUE(addresses.insert(e.defaultAddress).second) << e.name;
    EXPECT_LT(e.defaultAddress, 0xE0) << e.name;  // never the controller's address
  }
  EXPECT_EQ(modelName(0), "IC-271");
  EXPECT_EQ(defaultAddress(0), 0x20);
  EXPECT_EQ(modelName(43), "R-9000");
  EXPECT_EQ(defaultAddress(43), 0x2A);
  EXPECT_EQ(modelName(40), "R-7000");
  EXPECT_EQ(defaultAddress(40), 0x08);
  EXPECT_EQ(defaultAddress(29), 0x26);
  EXPECT_EQ(defaultAddress(42), 0x4A);
  EXPECT_EQ(modelName(kCatalogueSize), "");
  EXPECT_EQ(modelName(-1), "");
}

TEST(RigCatalogue, MenuModelsShowTheirCatalogueNames) {
  struct Expected {
    int modelIndex;
    std::string_view name;
    int address;
  };
  const Expected menuModels[] = {
      {kModelIc746, "IC-746", 0x56},       {kModelIc746Pro, "IC-746Pro", 0x66},
      {kModelIc756Pro, "IC-756Pro", 0x5C}, {kModelIc756ProII, "IC-756ProII", 0x64},
      {kModelIc910, "IC-910", 0x60},       {kModelIcR75, "R-75", 0x5A},
  };
  for (const Expected& e : menuModels) {
    EXPECT_EQ(modelName(e.modelIndex), e.name);
    EXPECT_EQ(defaultAddress(e.modelIndex), e.address) << e.name;
  }
  EXPECT_EQ(findRigModel(kModelIc756ProII)->menuCaption, "IC-756Pro2");
}

// Every supported entry must agree with itself: its special rows, name
// length, hidden columns and layouts.
class SupportedModel : public ::testing::TestWithParam<RigModel> {};

TEST_P(SupportedModel, EntryIsConsistent) {
  const RigModel& m = GetParam();
  EXPECT_EQ(findRigModel(m.modelIndex),
            &*std::find_if(supportedModels().begin(), supportedModels().end(),
                           [&](const RigModel& x) { return x.modelIndex == m.modelIndex; }));
  EXPECT_EQ(m.rigTableRows(), m.memoryCount + 1);
  EXPECT_EQ(m.bottomRows, m.memoryCount - 99);
  EXPECT_LE(m.lastStoredRow, m.memoryCount);
  EXPECT_EQ(m.readable, m.readLayout != MemoryLayout::None);
  EXPECT_EQ(m.readLayout, m.writeLayout);
  EXPECT_EQ(m.usesBand, m.readLayout == MemoryLayout::BandLayout);
  // A radio without names hides the name column; the others show it.
  EXPECT_EQ(m.nameLength == 0, m.hiddenColumns.contains(colName));
  EXPECT_FALSE(m.hiddenColumns.contains(colNumber));
  EXPECT_FALSE(m.hiddenColumns.contains(colFrequency));
  EXPECT_EQ(hiddenColumns(m.modelIndex), m.hiddenColumns);
  EXPECT_NE(m.menuCaption.find(m.menuAccessKey), std::string_view::npos);
  for (int n = 100; n <= m.memoryCount; ++n) {
    EXPECT_NE(specialLabel(m.modelIndex, n), "?") << n;
  }
}

INSTANTIATE_TEST_SUITE_P(All, SupportedModel,
                         ::testing::ValuesIn(supportedModels().begin(), supportedModels().end()),
                         [](const auto& info) {
                           std::string n(info.param.menuCaption);
                           std::erase(n, '-');
                           return n;
                         });

TEST(RigCatalogue, GeometryOfTheSixRadios) {
  EXPECT_EQ(findRigModel(kModelIc746)->lastMemoryRead(), 102);
  EXPECT_EQ(findRigModel(kModelIc746Pro)->readLayout, MemoryLayout::ProLayout);
  EXPECT_EQ(findRigModel(kModelIc756Pro)->lastMemoryRead(), 101);
  EXPECT_EQ(findRigModel(kModelIc910)->lastMemoryRead(), 106);
  EXPECT_EQ(findRigModel(kModelIc910)->rigTableRows(), 107);
  EXPECT_EQ(findRigModel(kModelIc910)->lastStoredRow, 101);
  EXPECT_EQ(findRigModel(kModelIcR75)->lastMemoryRead(), 0);
  EXPECT_EQ(findRigModel(kModelIcR75)->rigTableRows(), 102);
  EXPECT_TRUE(findRigModel(kModelIcR75)->hiddenColumns.empty());
  EXPECT_EQ(hiddenColumns(kModelIc756Pro), (ColumnSet{colDuplex, colTxFrequency}));
  EXPECT_EQ(hiddenColumns(kModelIc910), (ColumnSet{colName, colSelect}));
  EXPECT_TRUE(hiddenColumns(kModelIc746).empty());
  EXPECT_TRUE(hiddenColumns(0).empty());
  EXPECT_EQ(findRigModel(0), nullptr);
}

TEST(RigCatalogue, SpecialLabels) {
  EXPECT_EQ(specialLabel(kModelIc746, 1), "1");
  EXPECT_EQ(specialLabel(kModelIc746, 99), "99");
  EXPECT_EQ(specialLabel(kModelIc746, 100), "P1");
  EXPECT_EQ(specialLabel(kModelIc746, 101), "P2");
  EXPECT_EQ(specialLabel(kModelIc746, 102), "Call");
  const char* ic910[] = {"1A", "1b", "2A", "2b", "3A", "3b", "Call"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(specialLabel(kModelIc910, 100 + i), ic910[i]);
  EXPECT_EQ(specialLabel(kModelIc910, 107), "?");
  EXPECT_EQ(specialLabel(kModelIc746, 0), "?");
  EXPECT_EQ(specialLabel(kModelIc746, -3), "?");
}

}  // namespace
}  // namespace tarnwick
