#include "tables/permanent_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "tables/fill_rig_row.h"

namespace tarnwick {
namespace {

const Separators kPoint = Separators::point();

// What the index must answer, by reading every row.
int scan(const ChannelTable& t, std::int32_t hz, std::string_view name, Separators sep) {
  if (hz == 0) return 0;
  for (int r = 1; r < t.rowCount(); ++r) {
    if (parseFrequency(t.cell(colFrequency, r), sep) == hz &&
        trimName(t.cell(colName, r)) == trimName(name)) {
      return r;
    }
  }
  return 0;
}

ChannelRecord channel(std::int32_t hz, std::string name) {
  ChannelRecord r;
  r[colFrequency] = hz ? formatFrequency(hz, "USB", kPoint) : "";
  r[colName] = std::move(name);
  return r;
}

TEST(TrimName, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(trimName(" \t\x01 CQ DX\r\n\x1F "), "CQ DX");
  EXPECT_EQ(trimName("   "), "");
  EXPECT_EQ(trimName(""), "");
  EXPECT_EQ(trimName("\xA0name\xE9"),
            "\xA0name\xE9");  // Latin-1 letters and the no-break space stay
}

TEST(PermanentFileIndex, FindsByFrequencyAndTrimmedName) {
  ChannelTable file(TableKind::PermanentFile);
  file.assign({ChannelRecord{}, channel(14195000, " CONTEST "), channel(14195000, "Contest"),
               channel(0, "EMPTY"), channel(7050000, ""), channel(14195000, "CONTEST")},
              true);
  PermanentFileIndex index(file);
  EXPECT_EQ(index.findRow(14195000, "CONTEST\t", kPoint), 1);  // the first of two equal rows
  EXPECT_EQ(index.findRow(14195000, "Contest", kPoint), 2);
  EXPECT_EQ(index.findRow(14195001, "CONTEST", kPoint), 0);
  EXPECT_EQ(index.findRow(7050000, "    ", kPoint), 4);
  EXPECT_EQ(index.findRow(0, "EMPTY", kPoint), 0);  // blank rows are never found
}

TEST(PermanentFileIndex, ReadsFrequenciesWithTheGivenSeparators) {
  ChannelTable file(TableKind::PermanentFile);
  file.assign({ChannelRecord{}, channel(0, "A")}, true);
  file.setCell(colFrequency, 1, "  14.195,50");
  PermanentFileIndex index(file);
  EXPECT_EQ(index.findRow(14195500, "A", Separators::comma()), 1);
  // With a point the same text is 14 kHz and 195.50 Hz, read to whole hertz.
  EXPECT_EQ(index.findRow(14195500, "A", kPoint), 0);
  EXPECT_EQ(index.findRow(14195, "A", kPoint), 1);
  EXPECT_EQ(index.findRow(14195500, "A", Separators::comma()), 1);
}

// Random edits of every kind between look-ups, as a user working on the
// permanent file while a read runs; the index must agree with a full scan.
TEST(PermanentFileIndex, StaysCorrectWhileTheFileIsEdited) {
  std::mt19937 rng(4711);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::vector<std::int32_t> freqs{7050000, 14195000, 145500000, 0, 50110500};
  const std::vector<std::string> names{"A", " A", "B", "", "CONTEST  "};
  auto randomChannel = [&] {
    return channel(freqs[static_cast<std::size_t>(pick(5))],
                   names[static_cast<std::size_t>(pick(5))]);
  };

  ChannelTable file(TableKind::PermanentFile);
  std::vector<ChannelRecord> rows(1);
  for (int i = 0; i < 30; ++i) rows.push_back(randomChannel());
  file.assign(rows, true);
  PermanentFileIndex index(file);

  for (int step = 0; step < 3000; ++step) {
    const int data = file.dataRowCount();
    switch (pick(11)) {
      case 0:
      case 1:
      case 2: {  // edit a frequency or a name
        if (data == 0) break;
        const ChannelRecord c = randomChannel();
        const int col = pick(2) ? colFrequency : colName;
        file.setCell(col, 1 + pick(data), c[static_cast<std::size_t>(col)]);
        break;
      }
      case 3: {  // a column the index does not use
        if (data) file.setCell(colMode, 1 + pick(data), "FM");
        break;
      }
      case 4: {  // append, as the collecting of a read does
        const int r = file.rowCount();
        file.insertRows(r, 1 + pick(2));
        file.setRecord(r, randomChannel());
        break;
      }
      case 5:  // insert inside
        file.insertRows(1 + pick(data + 1), 1);
        if (file.dataRowCount() > 0) file.setRecord(1 + pick(file.dataRowCount()), randomChannel());
        break;
      case 6:  // delete anywhere, the last rows included
        if (data > 1) {
          const int at = 1 + pick(data);
          file.removeRows(at, 1 + pick(std::min(3, data - at + 1)));
        }
        break;
      case 7:  // drag a row
        if (data > 1) file.moveRow(1 + pick(data), 1 + pick(data));
        break;
      case 8: {  // sort
        if (data < 2) break;
        std::vector<int> order(static_cast<std::size_t>(data));
        std::iota(order.begin(), order.end(), 1);
        std::shuffle(order.begin(), order.end(), rng);
        file.permuteRows(1, order);
        break;
      }
      case 9: {  // reload or cut
        if (pick(4) == 0) {
          std::vector<ChannelRecord> fresh(1);
          for (int i = pick(20); i > 0; --i) fresh.push_back(randomChannel());
          file.assign(fresh, true);
        } else {
          file.setRowCount(1 + pick(data + 3));
        }
        break;
      }
      default: {  // a whole row replaced
        if (data) file.setRecord(1 + pick(data), randomChannel());
        break;
      }
    }
    for (int q = 0; q < 3; ++q) {
      const ChannelRecord probe = randomChannel();
      const std::int32_t hz = parseFrequency(probe[colFrequency], kPoint);
      ASSERT_EQ(index.findRow(hz, probe[colName], kPoint), scan(file, hz, probe[colName], kPoint))
          << "step " << step;
    }
  }
}

// A read of a whole bank into a large, unchanged file reads the file once.
TEST(PermanentFileIndex, ReadingABankDoesNotRescanALargeFile) {
  ChannelTable file(TableKind::PermanentFile);
  std::vector<ChannelRecord> rows(1);
  rows.reserve(100001);
  for (int i = 0; i < 100000; ++i)
    rows.push_back(channel(1800000 + i * 10, "F" + std::to_string(i)));
  file.assign(std::move(rows), true);
  ChannelTable rig(TableKind::Rig);
  rig.setRowCount(findRigModel(kModelIc910)->rigTableRows());
  PermanentFileIndex index(file);

  for (int n = 1; n <= 106; ++n) {
    DecodedMemory m;
    m.memoryNumber = n;
    // Every other memory is already in the file.
    m.frequency = n % 2 ? 1800000 + n * 10 : 430000000 + n * 12500;
    m.name = n % 2 ? "F" + std::to_string(n) : "";
    m.mode = 9;
    fillRigRow(m, kModelIc910, DuplexOffsets{}, rig, file, index, kPoint);
  }
  EXPECT_EQ(file.dataRowCount(), 100000 + 53);
  EXPECT_EQ(index.rebuildCount(), 1);
  // Edits between two memories are applied without a rescan.
  file.setCell(colName, 6, "renamed");
  EXPECT_EQ(index.findRow(1800050, "renamed", kPoint), 6);
  EXPECT_EQ(index.findRow(1800050, "F5", kPoint), 0);
  EXPECT_EQ(index.rebuildCount(), 1);
  // A structural change inside the file costs one rescan, not one per memory.
  file.removeRows(1, 1);
  EXPECT_EQ(index.findRow(1800050, "renamed", kPoint), 5);
  EXPECT_EQ(index.findRow(1800060, "F6", kPoint), 6);
  EXPECT_EQ(index.rebuildCount(), 2);
}

// The window creates the index before the file is loaded at start-up; the
// load, not the first memory of the next read, pays for reading the file.
TEST(PermanentFileIndex, AReloadedFileIsIndexedAtOnce) {
  ScopedSeparators point(kPoint);
  ChannelTable file(TableKind::PermanentFile);
  PermanentFileIndex index(file);
  EXPECT_EQ(index.rebuildCount(), 1);
  file.assign({ChannelRecord{}, channel(7050000, "A"), channel(14195000, "B")}, true);
  EXPECT_EQ(index.rebuildCount(), 2);
  EXPECT_EQ(index.findRow(14195000, "B", kPoint), 2);
  EXPECT_EQ(index.findRow(7050000, "B", kPoint), 0);
  EXPECT_EQ(index.rebuildCount(), 2);
}

TEST(PermanentFileIndex, UnregistersWhenDestroyed) {
  ChannelTable file(TableKind::PermanentFile);
  file.assign({ChannelRecord{}, channel(7050000, "A")}, true);
  {
    PermanentFileIndex index(file);
    EXPECT_EQ(index.findRow(7050000, "A", kPoint), 1);
  }
  // No notification reaches the destroyed index (the sanitizer would see it).
  file.setCell(colName, 1, "B");
  file.insertRows(1, 1);
  PermanentFileIndex again(file);
  EXPECT_EQ(again.findRow(7050000, "B", kPoint), 2);
}

}  // namespace
}  // namespace tarnwick
