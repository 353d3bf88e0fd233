#include "files/file_base.h"

#include <algorithm>
#include <set>

namespace tarnwick {
namespace {

// 64-bit FNV-1a beside a multiply-and-shift mix of its own.
class Hasher {
 public:
  void add(std::string_view bytes) {
    for (unsigned char c : bytes) {
      high_ = (high_ ^ c) * 0x100000001b3ULL;
      low_ = (low_ + c + 1) * 0xff51afd7ed558ccdULL;
      low_ ^= low_ >> 29;
    }
  }
  // Each field's length first, so that moving a byte across fields changes the digest.
  void addField(std::string_view field) {
    const std::uint64_t n = field.size();
    for (int i = 0; i < 8; ++i) {
      const char byte = static_cast<char>((n >> (8 * i)) & 0xFF);
      add(std::string_view(&byte, 1));
    }
    add(field);
  }
  RowDigest digest() const { return {high_, low_}; }

 private:
  std::uint64_t high_ = 0xcbf29ce484222325ULL;
  std::uint64_t low_ = 0x84222325cbf29ce4ULL;
};

bool hasContent(const ChannelRecord& row) {
  for (int c = colFrequency; c < kColumnCount; ++c) {
    if (c != colChanged && !row[static_cast<std::size_t>(c)].empty()) return true;
  }
  return false;
}

}  // namespace

RowDigest rowDigest(const ChannelRecord& row) {
  Hasher h;
  for (int c = colFrequency; c < kColumnCount; ++c) {
    if (c != colChanged) h.addField(row[static_cast<std::size_t>(c)]);
  }
  return h.digest();
}

void FileBase::clear() {
  path_.clear();
  size_ = 0;
  bytesDigest_ = {};
  rows_.clear();
}

void FileBase::setDigests(std::vector<RowDigest> digests) {
  std::sort(digests.begin(), digests.end());
  digests.erase(std::unique(digests.begin(), digests.end()), digests.end());
  rows_ = std::move(digests);
}

void FileBase::record(std::string path, std::string_view bytes,
                      const std::vector<ChannelRecord>& rows) {
  std::vector<RowDigest> digests;
  digests.reserve(rows.size());
  for (std::size_t r = 1; r < rows.size(); ++r) digests.push_back(rowDigest(rows[r]));
  recordDigests(std::move(path), bytes, std::move(digests));
}

void FileBase::record(std::string path, std::string_view bytes, const ChannelTable& table) {
  std::vector<RowDigest> digests;
  digests.reserve(static_cast<std::size_t>(table.dataRowCount()));
  for (int r = 1; r < table.rowCount(); ++r) digests.push_back(rowDigest(table.record(r)));
  recordDigests(std::move(path), bytes, std::move(digests));
}

void FileBase::recordDigests(std::string path, std::string_view bytes,
                             std::vector<RowDigest> digests) {
  setDigests(std::move(digests));
  Hasher h;
  h.add(bytes);
  bytesDigest_ = h.digest();
  size_ = bytes.size();
  path_ = std::move(path);
}

bool FileBase::unchanged(std::string_view bytes) const {
  if (bytes.size() != size_) return false;
  Hasher h;
  h.add(bytes);
  return h.digest() == bytesDigest_;
}

bool FileBase::holds(const RowDigest& row) const {
  return std::binary_search(rows_.begin(), rows_.end(), row);
}

std::vector<ChannelRecord> rowsAddedElsewhere(const FileBase& base, const ChannelTable& table,
                                              const std::vector<ChannelRecord>& disk) {
  std::vector<RowDigest> known;
  known.reserve(static_cast<std::size_t>(table.dataRowCount()));
  for (int r = 1; r < table.rowCount(); ++r) known.push_back(rowDigest(table.record(r)));
  std::sort(known.begin(), known.end());
  std::set<RowDigest> taken;
  std::vector<ChannelRecord> added;
  for (std::size_t r = 1; r < disk.size(); ++r) {
    if (!hasContent(disk[r])) continue;
    const RowDigest d = rowDigest(disk[r]);
    if (base.holds(d) || std::binary_search(known.begin(), known.end(), d)) continue;
    if (!taken.insert(d).second) continue;
    added.push_back(disk[r]);
  }
  return added;
}

}  // namespace tarnwick
