#include "tables/permanent_index.h"

#include <algorithm>
#include <functional>

#include "rig/frequency_text.h"

namespace tarnwick {
namespace {

bool isBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

}  // namespace

std::string_view trimName(std::string_view name) {
  while (!name.empty() && isBlankOrControl(name.front())) name.remove_prefix(1);
  while (!name.empty() && isBlankOrControl(name.back())) name.remove_suffix(1);
  return name;
}

std::size_t PermanentFileIndex::KeyHash::operator()(const Key& k) const {
  return std::hash<std::string>{}(k.name) * 31u ^ std::hash<std::int32_t>{}(k.hz);
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
  const auto it = rowsByKey_.find(Key{hz, std::string(trimName(name))});
  if (it == rowsByKey_.end() || it->second.empty()) return 0;
  return *std::min_element(it->second.begin(), it->second.end());
}

void PermanentFileIndex::rebuild() {
  ++rebuilds_;
  rowsByKey_.clear();
  rowKeys_.assign(static_cast<std::size_t>(table_.rowCount()), Key{});
  for (int r = 1; r < table_.rowCount(); ++r) indexRow(r);
  stale_ = false;
}

void PermanentFileIndex::indexRow(int row) {
  Key key{parseFrequency(table_.cell(colFrequency, row), sep_),
          std::string(trimName(table_.cell(colName, row)))};
  if (key.hz != 0) rowsByKey_[key].push_back(row);
  rowKeys_[static_cast<std::size_t>(row)] = std::move(key);
}

void PermanentFileIndex::unindexRow(int row) {
  Key& key = rowKeys_[static_cast<std::size_t>(row)];
  if (key.hz != 0) {
    const auto it = rowsByKey_.find(key);
    if (it != rowsByKey_.end()) {
      std::erase(it->second, row);
      if (it->second.empty()) rowsByKey_.erase(it);
    }
  }
  key = Key{};
}

void PermanentFileIndex::cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol) {
  if (!tracking() || lastCol < colFrequency || firstCol > colName) return;
  const int last = std::min(lastRow, static_cast<int>(rowKeys_.size()) - 1);
  for (int r = std::max(firstRow, 1); r <= last; ++r) {
    unindexRow(r);
    indexRow(r);
  }
}

void PermanentFileIndex::rowsInserted(int first, int last) {
  if (!tracking()) return;
  // Rows appended at the end shift nothing: index just them.
  if (first != static_cast<int>(rowKeys_.size())) {
    stale_ = true;
    return;
  }
  rowKeys_.resize(static_cast<std::size_t>(last) + 1);
  for (int r = first; r <= last; ++r) indexRow(r);
}

void PermanentFileIndex::rowsRemoved(int first, int last) {
  if (!tracking()) return;
  if (last != static_cast<int>(rowKeys_.size()) - 1) {
    stale_ = true;
    return;
  }
  for (int r = first; r <= last; ++r) unindexRow(r);
  rowKeys_.resize(static_cast<std::size_t>(first));
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
