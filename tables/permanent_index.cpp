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
  int found = 0;
  const auto [begin, end] = rowsByDigest_.equal_range(digest(hz, trimmed));
  for (auto it = begin; it != end; ++it) {
    const int row = it->second;
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
  rowsByDigest_.clear();
  rowDigests_.assign(static_cast<std::size_t>(table_.rowCount()), kNotIndexed);
  rowsByDigest_.reserve(static_cast<std::size_t>(table_.rowCount()));
  for (int r = 1; r < table_.rowCount(); ++r) indexRow(r);
  stale_ = false;
}

void PermanentFileIndex::indexRow(int row) {
  const Digest d = digestOf(row);
  if (d != kNotIndexed) rowsByDigest_.emplace(d, row);
  rowDigests_[static_cast<std::size_t>(row)] = d;
}

void PermanentFileIndex::unindexRow(int row) {
  Digest& d = rowDigests_[static_cast<std::size_t>(row)];
  if (d != kNotIndexed) {
    const auto [begin, end] = rowsByDigest_.equal_range(d);
    for (auto it = begin; it != end; ++it) {
      if (it->second == row) {
        rowsByDigest_.erase(it);
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
