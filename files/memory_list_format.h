#pragma once
// The memory list file: one line per table row (header row first), eleven
// fields separated by ";", CR LF after every line. Bytes are written and read
// unchanged: no encoding conversion, no byte-order mark.

#include <string>
#include <string_view>
#include <vector>

#include "rig/channel_record.h"
#include "tables/channel_table.h"

namespace tarnwick {

inline constexpr char kFieldSeparator = ';';
inline constexpr std::string_view kLineEnd = "\r\n";

// Appends one row as a line, its line end included.
void appendMemoryListLine(std::string& out, const ChannelRecord& row);

// Every row of the table, header row first.
std::string formatMemoryList(const ChannelTable& table);

// One line, without its line end. Fields beyond the eleventh are dropped;
// cells without a field stay empty.
ChannelRecord parseMemoryListLine(std::string_view line);

// Lines end with CR LF; a lone LF or CR is text. A file without any CR LF
// has bare LF line ends (as a Unix editor may write it). A last line without
// line end counts. Any bytes are accepted.
std::vector<ChannelRecord> parseMemoryList(std::string_view bytes);

// How many rows parseMemoryList makes of the bytes, counted without making them.
std::size_t memoryListLineCount(std::string_view bytes);

}  // namespace tarnwick
