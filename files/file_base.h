#pragma once
// What a table last read from its file or wrote to it: the file's bytes as a
// digest and a digest of each row. A save compares the file on disk with it
// to find the rows other programs added in the meantime.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rig/channel_record.h"
#include "tables/channel_table.h"

namespace tarnwick {

// 128 bits, so that two different rows never pass for one.
struct RowDigest {
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  auto operator<=>(const RowDigest&) const = default;
};

// The row's content: its label and Changed mark, which every save rewrites,
// are left out.
RowDigest rowDigest(const ChannelRecord& row);

class FileBase {
 public:
  // Nothing known.
  void clear();
  // The file at `path` holds `bytes`, whose data rows are `rows` (header
  // first); an absent file is recorded with no bytes and no rows.
  void record(std::string path, std::string_view bytes, const std::vector<ChannelRecord>& rows);
  void record(std::string path, std::string_view bytes, const ChannelTable& table);

  bool known() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  // Whether the file still holds what was recorded.
  bool unchanged(std::string_view bytes) const;
  bool holds(const RowDigest& row) const;

 private:
  void setDigests(std::vector<RowDigest> digests);
  void recordDigests(std::string path, std::string_view bytes, std::vector<RowDigest> digests);

  std::string path_;
  std::size_t size_ = 0;
  RowDigest bytesDigest_;
  std::vector<RowDigest> rows_;  // sorted
};

// Rows of `disk` (header first) that neither `base` nor `table` holds, in
// file order, each once; rows without any content are passed over.
std::vector<ChannelRecord> rowsAddedElsewhere(const FileBase& base, const ChannelTable& table,
                                              const std::vector<ChannelRecord>& disk);

}  // namespace tarnwick
