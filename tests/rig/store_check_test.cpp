#include "rig/store_check.h"

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

ChannelRecord channel(std::string frequency, std::string mode = "FM", std::string duplex = "Simp",
                      std::string txFrequency = "") {
  ChannelRecord r;
  r[colFrequency] = std::move(frequency);
  r[colMode] = std::move(mode);
  r[colFilter] = "Normal";
  r[colDuplex] = std::move(duplex);
  r[colTxFrequency] = std::move(txFrequency);
  return r;
}

// What the engine's store tests do not reach: models other than the IC-746,
// the blank forms, locales.
TEST(StoreCheck, WhatEachModelsMemoryCanHold) {
  const Separators point = Separators::point();
  // Blank forms write the blank memory, whatever else the row holds.
  for (const char* blank : {"", "   ", "0", " 0.000"}) {
    ChannelRecord r = channel(blank, "nonsense");
    r[colRepeaterTone] = "x";
    EXPECT_EQ(storeRefusalReason(r, kModelIc746, point), "") << blank;
  }
  EXPECT_EQ(storeRefusalReason(channel("2100000000"), kModelIc910, point),
            "Frequency \"2100000000\" is not a frequency the memory holds");
  EXPECT_EQ(storeRefusalReason(channel("145500", "FM-D"), kModelIc910, point),
            "Mode \"FM-D\" is not a mode of the IC-910");
  EXPECT_EQ(storeRefusalReason(channel("14074", "USB-D"), kModelIc756ProII, point), "");
  ChannelRecord filter = channel("7050", "LSB");
  filter[colFilter] = "";  // goes out as Normal, as typed rows and older files have it
  filter[colDuplex] = "";
  EXPECT_EQ(storeRefusalReason(filter, kModelIc746Pro, point), "");
  filter[colFilter] = "Foo";
  EXPECT_EQ(storeRefusalReason(filter, kModelIc746Pro, point), "Filter \"Foo\" is not a filter");
}

// The IC-7300 family keeps split but no duplex offset; the IC-7610 neither,
// and hides the column, so it keeps what it can.
TEST(StoreCheck, DuplexesOfRadiosWithoutOffsets) {
  const Separators point = Separators::point();
  ChannelRecord r = channel("14195", "USB-D", "Split", "14295");
  EXPECT_EQ(storeRefusalReason(r, kModelIc7300, point), "");
  EXPECT_EQ(storeRefusalReason(r, kModelIc7610, point), "");
  r[colDuplex] = "DUP+";
  EXPECT_EQ(storeRefusalReason(r, kModelIc7300Mk2, point),
            "Duplex \"DUP+\" is not a duplex of the IC-7300MK2");
  EXPECT_EQ(storeRefusalReason(r, kModelIc7610, point), "");
  r[colDuplex] = "Simplex";
  EXPECT_EQ(storeRefusalReason(r, kModelIc7300, point), "");
}

TEST(StoreCheck, TonesAreTheRadiosTonesInTheLocalesForm) {
  ChannelRecord r = channel("145500");
  r[colRepeaterTone] = "88,5";
  EXPECT_EQ(storeRefusalReason(r, kModelIc746, Separators::comma()), "");
  EXPECT_EQ(storeRefusalReason(r, kModelIc746, Separators::point()),
            "Repeater Tone \"88,5\" is not a tone");
  r[colRepeaterTone] = "100085.4";  // a damaged tone, read from a radio
  EXPECT_EQ(storeRefusalReason(r, kModelIc746, Separators::point()),
            "Repeater Tone \"100085.4\" is not a tone");
  r[colRepeaterTone] = "";
  r[colToneSquelch] = "69.2";
  EXPECT_EQ(storeRefusalReason(r, kModelIc746, Separators::point()),
            "Tone Squelch \"69.2\" is not a tone");
  // The IC-746 keeps both tone values, and its tone squelch shows the
  // repeater tone too; the IC-7300 keeps one tone type.
  r[colToneSquelch] = "100.0";
  EXPECT_TRUE(applyStoreDefaults(r, Separators::point(), kModelIc746));
  EXPECT_EQ(r[colRepeaterTone], "88.5");
  EXPECT_EQ(storeRefusalReason(r, kModelIc746, Separators::point()), "");
  EXPECT_EQ(storeRefusalReason(r, kModelIc7300, Separators::point()),
            "Repeater Tone and Tone Squelch: the IC-7300 keeps a repeater tone or a tone squelch, "
            "not both");
}

TEST(StoreCheck, TransmitFrequenciesAndOffsets) {
  const Separators point = Separators::point();
  ChannelRecord split = channel("14195", "USB", "Split", "14200.00");
  EXPECT_EQ(storeRefusalReason(split, kModelIc746, point), "");
  split[colTxFrequency] = "-14200";
  EXPECT_EQ(storeRefusalReason(split, kModelIc746, point),
            "Tx Frequency \"-14200\" is not a frequency the memory holds");
  // A memory that keeps only the split flag never writes the cell: a split
  // row as the IC-756Pro reads it ("0.00") stores back.
  split[colTxFrequency] = "       0.00";
  EXPECT_EQ(storeRefusalReason(split, kModelIc756Pro, point), "");
  // The IC-910 has no split: such a row would go out as simplex.
  EXPECT_NE(storeRefusalReason(channel("145500", "FM", "Split", "146100"), kModelIc910, point),
            "");

  // The IC-910 keeps its offset in 100 Hz units.
  ChannelRecord duplex = channel("145500.00", "FM", "DUP-", "144900.00");
  EXPECT_EQ(storeRefusalReason(duplex, kModelIc910, point), "");
  duplex[colTxFrequency] = "144900.05";
  EXPECT_NE(storeRefusalReason(duplex, kModelIc910, point).find("offset"), std::string::npos);
  EXPECT_EQ(storeRefusalReason(duplex, kModelIc746, point), "");  // its offset is not in the memory
  // Without a Tx the offset would go out as none.
  duplex[colTxFrequency] = "";
  EXPECT_EQ(storeRefusalReason(duplex, kModelIc910, point), "no Tx Frequency for the DUP- offset");
  EXPECT_EQ(storeRefusalReason(duplex, kModelIc746, point), "");
  // An offset as large as the frequency reads as 0 Hz: it would go out as none.
  duplex[colTxFrequency] = "       0.00";
  EXPECT_EQ(storeRefusalReason(duplex, kModelIc910, point),
            "Tx Frequency \"       0.00\" is not a frequency the memory holds");
}

}  // namespace
}  // namespace tarnwick
