#pragma once
// A look-up of the permanent file by (frequency in hertz, trimmed name), so
// that collecting a read's channels does not scan the whole file for every
// memory. It follows the table's change notifications: cell edits and rows
// appended or cut at the end are applied at once, a reload is indexed at
// once, and any other structural change (inserts and removes inside, moves,
// sorts) marks it stale, so that the next look-up reads the table again once.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rig/separators.h"
#include "tables/channel_table.h"
#include "tables/table_observer.h"

namespace tarnwick {

// The name without leading and trailing blanks and control characters
// (bytes up to 20 hex).
std::string_view trimName(std::string_view name);

class PermanentFileIndex : public TableObserver {
 public:
  // Registers itself with the table; it must not outlive the table.
  explicit PermanentFileIndex(ChannelTable& permanent);
  ~PermanentFileIndex() override;
  PermanentFileIndex(const PermanentFileIndex&) = delete;
  PermanentFileIndex& operator=(const PermanentFileIndex&) = delete;

  // The first data row whose frequency cell reads as `hz` and whose trimmed
  // name equals the trimmed `name` (exact bytes); 0 when there is none.
  // Blank rows (0 Hz) are never found.
  int findRow(std::int32_t hz, std::string_view name, Separators sep = Separators::current());

  // How often the whole table has been read; lets tests check that a read
  // into an unchanged file does not rescan it.
  int rebuildCount() const { return rebuilds_; }

  void cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol) override;
  void rowsInserted(int first, int last) override;
  void rowsRemoved(int first, int last) override;
  void rowsMoved(int first, int last, int destination) override;
  void layoutChanged() override;
  void modelReset() override;

 private:
  // Rows are found by a 64-bit digest of (frequency, trimmed name) and then
  // checked against the table's own cells, so the index keeps no copy of a
  // name: a few words per row beside the table.
  using Digest = std::uint64_t;
  static constexpr Digest kNotIndexed = 0;

  Digest digestOf(int row) const;
  static Digest digest(std::int32_t hz, std::string_view trimmedName);
  bool rowMatches(int row, std::int32_t hz, std::string_view trimmedName) const;
  void rebuild();
  void indexRow(int row);
  void unindexRow(int row);
  void placeRow(int row);
  void resizeSlots(std::size_t rows);
  bool tracking() const { return !stale_; }

  ChannelTable& table_;
  Separators sep_;
  bool stale_ = true;
  int rebuilds_ = 0;
  std::vector<Digest> rowDigests_;  // by table row; row 0 (the header) is never indexed
  // The indexed rows, open-addressed by their digest: a row number, kFree or
  // kGone (a row taken out, which a look-up passes over). Four bytes a slot
  // where a hash map's node took forty.
  static constexpr std::int32_t kFree = 0;
  static constexpr std::int32_t kGone = -1;
  std::vector<std::int32_t> slots_;
  std::size_t used_ = 0;  // slots not free: rows and kGone
  std::size_t live_ = 0;  // rows
};

}  // namespace tarnwick
