#include "tables/duplex_tx.h"

#include <gtest/gtest.h>

#include "table_test_util.h"

namespace tarnwick {
namespace {

TEST(RecomputeDuplexTx, EachDuplexRowFromItsOwnBandAndMode) {
  ScopedSeparators point(Separators::point());
  ChannelTable t(TableKind::PermanentFile);
  struct Row {
    const char* rx;
    const char* mode;
    const char* duplex;
    const char* tx;        // before
    const char* expected;  // after
  };
  const Row rows[] = {
      {"    145,000", "FM", "DUP-", "", "    144,400"},
      {"  145,000.00", "USB", "DUP-", "", " 144,400.00"},
      // The decoder's band edge: below 50 MHz is HF.
      {"  40,000.00", "USB", "DUP+", "", "  40,100.00"},
      {"     50,000", "FM", "DUP+", "", "     50,500"},
      {"  7,050.00", "CW", "Split", "   7,060.00", "   7,060.00"},
      {"  7,050.00", "CW", "Simp", "junk", "junk"},
      // No receive frequency, or a transmit frequency below 0 Hz: no text.
      {"", "FM", "DUP-", "    144,400", ""},
      {"      50.00", "USB", "DUP-", "", ""},
      {"2,147,483.00", "USB", "DUP+", "", ""},
  };
  t.setRowCount(static_cast<int>(std::size(rows)) + 1);
  for (int r = 1; r < t.rowCount(); ++r) {
    const Row& row = rows[r - 1];
    t.setRecord(
        r, {std::to_string(r), row.rx, "", row.mode, "", row.duplex, row.tx, "", "", "0", "0"});
  }
  recomputeDuplexTx(t, {.hf = 100000, .mhz50 = 500000, .mhz144 = 600000});
  for (int r = 1; r < t.rowCount(); ++r) {
    EXPECT_EQ(t.cell(colTxFrequency, r), rows[r - 1].expected) << r;
    EXPECT_EQ(t.cell(colChanged, r), "0");
  }
  EXPECT_FALSE(t.modified());
}

}  // namespace
}  // namespace tarnwick
