#include "files/memory_list_format.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {
namespace {

constexpr char kQuote = '"';

// The last field of a line is read by stripping quotes rather than by the
// closing-quote rule, so any quote in it must be written quoted and doubled.
// A CR LF inside a text would end the line; quoting drops its CR.
bool needsQuotes(std::string_view text, bool lastField) {
  if (text.front() == kQuote) return true;
  if (text.find(kFieldSeparator) != std::string_view::npos) return true;
  if (text.find(kLineEnd) != std::string_view::npos) return true;
  return lastField && text.find(kQuote) != std::string_view::npos;
}

void appendField(std::string& out, std::string_view text, bool lastField) {
  if (text.empty()) {
    out += "\"\"";
    return;
  }
  if (!needsQuotes(text, lastField)) {
    out += text;
    return;
  }
  out += kQuote;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      // The whole run of CRs before an LF goes: one left over would make a
      // CR LF again. A run before anything else stays.
      std::size_t after = text.find_first_not_of('\r', i);
      if (after == std::string_view::npos) after = text.size();
      if (after == text.size() || text[after] != '\n') out.append(after - i, '\r');
      i = after - 1;
      continue;
    }
    if (c == kQuote) out += kQuote;
    out += c;
  }
  out += kQuote;
}

// Each pair of adjacent quotes becomes one.
void assignUnescaped(std::string& out, std::string_view text) {
  out.assign(text.data(), text.size());
  if (text.find(kQuote) == std::string_view::npos) return;
  std::size_t n = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++n) {
    out[n] = text[i];
    if (text[i] == kQuote && i + 1 < text.size() && text[i + 1] == kQuote) ++i;
  }
  out.resize(n);
}

// Position of the quote that closes a quoted field whose text starts at
// `from`, or npos. A doubled quote stands for one quote; a quote that is the
// last byte of the line always closes.
std::size_t closingQuote(std::string_view line, std::size_t from) {
  const std::size_t last = line.size() - 1;
  std::size_t i = from;
  while (i < line.size()) {
    const void* hit = std::memchr(line.data() + i, kQuote, line.size() - i);
    if (hit == nullptr) return std::string_view::npos;
    i = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
    if (i == last || line[i + 1] != kQuote) return i;
    if (i + 1 == last) return i + 1;
    i += 2;  // a doubled quote
  }
  return std::string_view::npos;
}

// The field after the last separator of a line.
void assignLastField(std::string& out, std::string_view field) {
  if (!field.empty() && field.front() == kQuote) field.remove_prefix(1);
  if (!field.empty() && field.back() == kQuote) field.remove_suffix(1);
  assignUnescaped(out, field);
}

// Fills the cells of `row`, which are empty.
void parseLineInto(ChannelRecord& row, std::string_view line) {
  std::size_t pos = 0;
  for (std::size_t col = 0; col < row.size(); ++col) {
    const std::size_t sep = line.find(kFieldSeparator, pos);
    if (sep == std::string_view::npos) {
      assignLastField(row[col], line.substr(pos));
      return;
    }
    if (line[pos] != kQuote) {
      row[col].assign(line.data() + pos, sep - pos);
      pos = sep + 1;
      continue;
    }
    const std::size_t close = closingQuote(line, pos + 1);
    if (close == std::string_view::npos) {
      // An unterminated quote: the field is empty up to the next separator.
      pos = sep + 1;
      continue;
    }
    assignUnescaped(row[col], line.substr(pos + 1, close - pos - 1));
    const std::size_t next = line.find(kFieldSeparator, close + 1);
    if (next == std::string_view::npos) return;
    pos = next + 1;
  }
}

}  // namespace

void appendMemoryListLine(std::string& out, const ChannelRecord& row) {
  for (int c = 0; c < kColumnCount; ++c) {
    if (c > 0) out += kFieldSeparator;
    appendField(out, row[static_cast<std::size_t>(c)], c == kColumnCount - 1);
  }
  out += kLineEnd;
}

std::string formatMemoryList(const ChannelTable& table) {
  std::string out;
  out.reserve(static_cast<std::size_t>(table.rowCount()) * 64);
  for (int r = 0; r < table.rowCount(); ++r) appendMemoryListLine(out, table.record(r));
  return out;
}

ChannelRecord parseMemoryListLine(std::string_view line) {
  ChannelRecord row;
  parseLineInto(row, line);
  return row;
}

std::size_t memoryListLineCount(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const bool crlf = bytes.find(kLineEnd) != std::string_view::npos;
  std::size_t ends = 0;
  for (std::size_t pos = 0;;) {
    const void* hit = std::memchr(bytes.data() + pos, '\n', bytes.size() - pos);
    if (hit == nullptr) break;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data());
    // With CR LF line ends a lone LF is text, not a line end.
    if (!crlf || (at > 0 && bytes[at - 1] == '\r')) ++ends;
    pos = at + 1;
  }
  const bool lastEnded = crlf ? bytes.ends_with(kLineEnd) : bytes.back() == '\n';
  return ends + (lastEnded ? 0 : 1);
}

std::vector<ChannelRecord> parseMemoryList(std::string_view bytes) {
  const bool crlf = bytes.find(kLineEnd) != std::string_view::npos;
  std::vector<ChannelRecord> rows;
  // Counting first saves moving every row on each growth of a large table;
  // only real line ends count, so that line feeds inside texts cost nothing.
  rows.reserve(memoryListLineCount(bytes));
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = pos;
    for (;;) {
      const void* hit = std::memchr(bytes.data() + end, '\n', bytes.size() - end);
      if (hit == nullptr) {
        end = bytes.size();
        break;
      }
      end = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data());
      if (!crlf || (end > pos && bytes[end - 1] == '\r')) break;
      ++end;  // a line feed inside a text
    }
    const bool ended = end < bytes.size();
    const std::size_t length = end - pos - (ended && crlf ? 1 : 0);
    parseLineInto(rows.emplace_back(), bytes.substr(pos, length));
    pos = end + 1;
  }
  return rows;
}

}  // namespace tarnwick
