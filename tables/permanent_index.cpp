#include "tables/permanent_index.h"

#include <algorithm>
#include <functional>

#include "rig/frequency_text.h"
#include "rig/text_trim.h"

namespace tarnwick {

std::string_view trimName(std::string_view name) {
  return trimmed(name, Blanks::SpaceOrControl);
}

PermanentFileIndex::PermanentFileIndex(ChannelTable& permanent)
    : table_(permanent), sep_(Separators::current()) {
  table_.addObserver(this);
  rebuild();
}

PermanentFileIndex::~PermanentFileIndex() {
  table_.removeObserver(this);
}

int PermanentFileIndex::findRow(std::int32_t hz, std::string_view name, Separators sep) {
  if (sep != sep_) {
    sep_ = sep;
    stale_ = true;
  }
  if (stale_) rebuild();
  if (hz == 0) return 0;
  const std::string_view trimmed = trimName(name);
  const Digest d = digest(hz, trimmed);
  int found = 0;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = d & mask; slots_[i] != kFree; i = (i + 1) & mask) {
    const int row = slots_[i];
    if (row == kGone || rowDigests_[static_cast<std::size_t>(row)] != d) continue;
    if ((found == 0 || row < found) && rowMatches(row, hz, trimmed)) found = row;
  }
  return found;
}

PermanentFileIndex::Digest PermanentFileIndex::digest(std::int32_t hz,
                                                      std::string_view trimmedName) {
  // Never kNotIndexed, which marks a blank row.
  const Digest h = std::hash<std::string_view>{}(trimmedName) ^
                   (static_cast<Digest>(static_cast<std::uint32_t>(hz)) * 0x9E3779B97F4A7C15ull);
  return h == kNotIndexed ? 1 : h;
}

PermanentFileIndex::Digest PermanentFileIndex::digestOf(int row) const {
  const std::int32_t hz = parseFrequency(table_.cell(colFrequency, row), sep_);
  return hz == 0 ? kNotIndexed : digest(hz, trimName(table_.cell(colName, row)));
}

bool PermanentFileIndex::rowMatches(int row, std::int32_t hz, std::string_view trimmedName) const {
  return table_.isDataRow(row) && trimName(table_.cell(colName, row)) == trimmedName &&
         parseFrequency(table_.cell(colFrequency, row), sep_) == hz;
}

void PermanentFileIndex::rebuild() {
  ++rebuilds_;
  rowDigests_.assign(static_cast<std::size_t>(table_.rowCount()), kNotIndexed);
  slots_.clear();
  resizeSlots(static_cast<std::size_t>(table_.rowCount()));
  for (int r = 1; r < table_.rowCount(); ++r) indexRow(r);
  stale_ = false;
}

// Room for `rows` rows at most half full; the rows indexed are placed anew
// and the kGone marks dropped.
void PermanentFileIndex::resizeSlots(std::size_t rows) {
  std::size_t size = 16;
  while (size < rows * 2) size *= 2;
  slots_.assign(size, kFree);
  used_ = live_ = 0;
  for (std::size_t r = 1; r < rowDigests_.size(); ++r) {
    if (rowDigests_[r] != kNotIndexed) placeRow(static_cast<int>(r));
  }
}

void PermanentFileIndex::placeRow(int row) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = rowDigests_[static_cast<std::size_t>(row)] & mask;
  while (slots_[i] > kFree) i = (i + 1) & mask;
  if (slots_[i] == kFree) ++used_;
  slots_[i] = row;
  ++live_;
}

void PermanentFileIndex::indexRow(int row) {
  const Digest d = digestOf(row);
  Digest& at = rowDigests_[static_cast<std::size_t>(row)];
  at = kNotIndexed;
  if (d == kNotIndexed) return;
  if ((used_ + 1) * 4 > slots_.size() * 3) resizeSlots(live_ + 1);
  rowDigests_[static_cast<std::size_t>(row)] = d;
  placeRow(row);
}

void PermanentFileIndex::unindexRow(int row) {
  Digest& d = rowDigests_[static_cast<std::size_t>(row)];
  if (d != kNotIndexed) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = d & mask; slots_[i] != kFree; i = (i + 1) & mask) {
      if (slots_[i] == row) {
        slots_[i] = kGone;
        --live_;
        break;
      }
    }
  }
  d = kNotIndexed;
}

void PermanentFileIndex::cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol) {
  if (!tracking() || lastCol < colFrequency || firstCol > colName) return;
  const int last = std::min(lastRow, static_cast<int>(rowDigests_.size()) - 1);
  for (int r = std::max(firstRow, 1); r <= last; ++r) {
    unindexRow(r);
    indexRow(r);
  }
}

void PermanentFileIndex::rowsInserted(int first, int last) {
  if (!tracking()) return;
  // Rows appended at the end shift nothing: index just them.
  if (first != static_cast<int>(rowDigests_.size())) {
    stale_ = true;
    return;
  }
  rowDigests_.resize(static_cast<std::size_t>(last) + 1);
  for (int r = first; r <= last; ++r) indexRow(r);
}

void PermanentFileIndex::rowsRemoved(int first, int last) {
  if (!tracking()) return;
  if (last != static_cast<int>(rowDigests_.size()) - 1) {
    stale_ = true;
    return;
  }
  for (int r = first; r <= last; ++r) unindexRow(r);
  rowDigests_.resize(static_cast<std::size_t>(first));
}

void PermanentFileIndex::rowsMoved(int, int, int) {
  stale_ = true;
}

void PermanentFileIndex::layoutChanged() {
  stale_ = true;
}

// A reload happens outside a read (start-up, Open): index it now, so that
// the next read does not pay for it.
void PermanentFileIndex::modelReset() {
  rebuild();
}

}  // namespace tarnwick
