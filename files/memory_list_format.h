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

// The radio whose memories a rig table file holds is recorded in the first
// field of its header line, which readers pass over with the rest of that
// line: "# IC-7300", "# IC-910 430 MHz". A file of ours without it has "#".
std::string radioRecord(std::string_view radio);
// The radio a header line's first field records, or empty.
std::string recordedRadio(std::string_view firstField);
// The radio as a file records it: the model, and the band where it has bands.
std::string radioName(int modelIndex, std::string_view bandText);

// Appends one row as a line, its line end included.
void appendMemoryListLine(std::string& out, const ChannelRecord& row);

// Every row of the table, header row first; a rig table's header records
// `radio` when one is given.
std::string formatMemoryList(const ChannelTable& table, std::string_view radio = {});

// One line, without its line end. Fields beyond the eleventh are dropped;
// cells without a field stay empty.
ChannelRecord parseMemoryListLine(std::string_view line);

// Lines end at LF, with or without a CR before it, in any mix (a line
// appended by a Unix tool to a file of CR LF lines is a line of its own). In
// a file with CR LF line ends, an LF inside a quoted field is text. A lone CR
// is text. A last line without line end counts. Any bytes are accepted.
std::vector<ChannelRecord> parseMemoryList(std::string_view bytes);

// How many rows parseMemoryList makes of the bytes, counted without making them.
std::size_t memoryListLineCount(std::string_view bytes);

}  // namespace tarnwick
