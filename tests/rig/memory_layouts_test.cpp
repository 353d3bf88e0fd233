#include "rig/memory_layouts.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

int countOf(const MemoryLayoutTable& layout, MemoryField field) {
  int n = 0;
  for (const LayoutField& f : layout.fields) n += f.field == field ? 1 : 0;
  return n;
}

// Each table must describe every byte once: no two values in one byte
// (except disjoint flag bits), nothing left unwritten, frequencies in their
// one form, and a blank marker that sits right after the memory's address.
TEST(MemoryLayouts, EveryTableIsConsistent) {
  ASSERT_EQ(memoryLayouts().size(), 7u);
  for (const MemoryLayoutTable& layout : memoryLayouts()) {
    SCOPED_TRACE(layout.name);
    EXPECT_EQ(findLayout(layout.id), &layout);
    const auto size = static_cast<std::size_t>(layout.dataSize);
    std::vector<int> valueOwners(size, 0);
    std::vector<Byte> writtenBits(size, 0);
    std::vector<bool> written(size, false);
    for (const LayoutField& f : layout.fields) {
      ASSERT_GE(f.offset, 0);
      ASSERT_GT(f.width, 0);
      ASSERT_LE(f.offset + f.width, layout.dataSize);
      const auto at = static_cast<std::size_t>(f.offset);
      if (f.codec == FieldCodec::Bits) {
        EXPECT_EQ(f.field, MemoryField::Flags);
        EXPECT_EQ(f.width, 1);
        EXPECT_NE(f.bits.all(), 0);
        if (f.written()) {
          EXPECT_EQ(writtenBits[at] & f.bits.all(), 0) << "bits written twice at " << f.offset;
          writtenBits[at] |= f.bits.all();
        }
      } else {
        EXPECT_NE(f.field, MemoryField::Flags);
        EXPECT_TRUE(f.written()) << "only flag bits may be read without being written";
        for (int k = 0; k < f.width; ++k) ++valueOwners[at + static_cast<std::size_t>(k)];
      }
      if (f.written()) {
        for (int k = 0; k < f.width; ++k) written[at + static_cast<std::size_t>(k)] = true;
      }
      if (f.field == MemoryField::Frequency || f.field == MemoryField::TxFrequency) {
        EXPECT_EQ(f.codec, FieldCodec::BcdLsbFirst);
        EXPECT_EQ(f.width, 5);
      }
      if (f.field == MemoryField::Name) {
        EXPECT_EQ(f.codec, FieldCodec::Text);
      }
    }
    for (std::size_t i = 0; i < size; ++i) {
      EXPECT_TRUE(written[i]) << "byte " << i << " is never written";
      EXPECT_LE(valueOwners[i], 1) << "byte " << i << " holds two values";
      if (writtenBits[i] != 0) {
        EXPECT_EQ(valueOwners[i], 0) << "byte " << i;
      }
    }
    EXPECT_EQ(countOf(layout, MemoryField::Frequency), 1);
    EXPECT_EQ(countOf(layout, MemoryField::MemoryNumber), 1);
    EXPECT_LE(countOf(layout, MemoryField::Name), 1);
    EXPECT_EQ(layout.fields.front().field, MemoryField::SubCommand);
    EXPECT_EQ(layout.fields.front().offset, 0);
    // The fields before the marker address the memory; the marker is the
    // select byte or the first frequency byte, where FF cannot be a value.
    bool markerStartsAField = false;
    for (const LayoutField& f : layout.fields) {
      if (f.offset + f.width <= layout.blankMarker) {
        EXPECT_TRUE(f.field == MemoryField::SubCommand || f.field == MemoryField::Band ||
                    f.field == MemoryField::MemoryNumber);
      } else if (f.offset == layout.blankMarker) {
        markerStartsAField = markerStartsAField || f.field == MemoryField::Frequency ||
                             (f.field == MemoryField::Flags && f.bits.select != 0);
      } else {
        EXPECT_GT(f.offset, layout.blankMarker);
      }
    }
    EXPECT_TRUE(markerStartsAField);
  }
}

class ModelLayout : public ::testing::TestWithParam<int> {};

TEST_P(ModelLayout, AgreesWithTheCatalogueEntry) {
  const RigModel& model = *findRigModel(GetParam());
  const MemoryLayoutTable* layout = readLayoutOf(GetParam());
  ASSERT_NE(layout, nullptr);
  // One layout both ways, so that what is written is what is read.
  EXPECT_EQ(writeLayoutOf(GetParam()), layout);
  EXPECT_EQ(layout->id, model.readLayout);
  int nameWidth = 0;
  for (const LayoutField& f : layout->fields) {
    if (f.field == MemoryField::Name) nameWidth = f.width;
  }
  EXPECT_EQ(nameWidth, model.nameLength);
  EXPECT_EQ(hasField(*layout, MemoryField::Band), model.usesBand);
}

INSTANTIATE_TEST_SUITE_P(EveryReadRadio, ModelLayout,
                         ::testing::Values(kModelIc746, kModelIc746Pro, kModelIc756Pro,
                                           kModelIc756ProII, kModelIc910));

INSTANTIATE_TEST_SUITE_P(NibbleRadios, ModelLayout,
                         ::testing::Values(kModelIc7300, kModelIc7300Mk2, kModelIc7610));

// A name that may be shorter must end the layout: nothing after it could be found.
TEST(MemoryLayouts, ANameOfTwoLengthsEndsItsLayout) {
  for (const MemoryLayoutTable& layout : memoryLayouts()) {
    for (const LayoutField& f : layout.fields) {
      if (f.shortestWidth == 0) continue;
      EXPECT_EQ(f.field, MemoryField::Name) << layout.name;
      EXPECT_LT(f.shortestWidth, f.width) << layout.name;
      EXPECT_EQ(f.offset + f.width, layout.dataSize) << layout.name;
    }
  }
}

TEST(MemoryLayouts, RadiosWithoutALayout) {
  EXPECT_EQ(readLayoutOf(kModelIcR75), nullptr);
  EXPECT_EQ(writeLayoutOf(kModelIcR75), nullptr);
  EXPECT_EQ(readLayoutOf(0), nullptr);
  EXPECT_EQ(findLayout(MemoryLayout::None), nullptr);
}

}  // namespace
}  // namespace tarnwick
