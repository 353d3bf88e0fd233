#include "files/memory_list_format.h"

#include <algorithm>
#include <cstring>

#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

constexpr char kQuote = '"';

// The last field of a line is read by stripping quotes rather than by the
// closing-quote rule, so any quote in it must be written quoted and doubled.
// An LF inside a text would end the line unquoted; quoting also drops the CR
// of a CR LF.
bool needsQuotes(std::string_view text, bool lastField) {
  if (text.front() == kQuote) return true;
  if (text.find(kFieldSeparator) != std::string_view::npos) return true;
  // Every LF ends a line unless it stands inside quotes.
  if (text.find('\n') != std::string_view::npos) return true;
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

// Whether a line ends at `at`: an LF, or the end of the bytes.
bool endsLineAt(std::string_view bytes, std::size_t at) {
  return at >= bytes.size() || bytes[at] == '\n' || bytes.substr(at).starts_with(kLineEnd);
}

// The quote that closes a quoted field whose text starts at `from` when that
// field runs on past an LF, by the rule of closingQuote; npos when the CR LF
// at `limit` (or the end) comes first, or the quote is not followed by a
// field end.
std::size_t closingQuoteAcrossLf(std::string_view bytes, std::size_t from, std::size_t limit) {
  for (std::size_t i = from; i < limit;) {
    const void* hit = std::memchr(bytes.data() + i, kQuote, limit - i);
    if (hit == nullptr) return std::string_view::npos;
    i = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data());
    if (i + 1 < limit && bytes[i + 1] == kQuote) {
      if (endsLineAt(bytes, i + 2)) return i + 1;
      i += 2;  // a doubled quote
      continue;
    }
    if (endsLineAt(bytes, i + 1) || bytes[i + 1] == kFieldSeparator) return i;
    return std::string_view::npos;  // not a quoted field after all
  }
  return std::string_view::npos;
}

// Finds the line ends of a file in order. Every LF ends a line, with or
// without a CR before it, except in a file with CR LF line ends (as we write
// it) an LF inside a quoted field that closes before the next CR LF: such a
// field holds a text with a line break.
class LineEnds {
 public:
  explicit LineEnds(std::string_view bytes)
      : bytes_(bytes), crlf_(bytes.find(kLineEnd) != std::string_view::npos) {}
  // The LF that ends the line starting at `pos`, or bytes.size().
  std::size_t after(std::size_t pos);

 private:
  std::string_view bytes_;
  bool crlf_;
  // The next CR LF from where the last search began, found once for many
  // lines that end in LF alone.
  std::size_t nextCrLf_ = 0;
  bool searched_ = false;
};

std::size_t LineEnds::after(std::size_t pos) {
  const std::string_view bytes = bytes_;
  const void* hit = std::memchr(bytes.data() + pos, '\n', bytes.size() - pos);
  const std::size_t lf =
      hit == nullptr ? bytes.size()
                     : static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data());
  if (!crlf_ || lf == bytes.size()) return lf;
  if (std::memchr(bytes.data() + pos, kQuote, lf - pos) == nullptr) return lf;
  if (!searched_ || nextCrLf_ < pos) {
    nextCrLf_ = std::min(bytes.find(kLineEnd, pos), bytes.size());
    searched_ = true;
  }
  bool fieldStart = true;
  for (std::size_t i = pos; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\n') return i;
    if (fieldStart && c == kQuote) {
      const std::size_t close = closingQuoteAcrossLf(bytes, i + 1, nextCrLf_);
      if (close != std::string_view::npos) i = close;
    }
    fieldStart = c == kFieldSeparator;
  }
  return bytes.size();
}

}  // namespace

std::string radioRecord(std::string_view radio) {
  std::string record = "# ";
  record += radio;
  return record;
}

std::string recordedRadio(std::string_view firstField) {
  if (!firstField.starts_with("# ")) return {};
  return std::string(firstField.substr(2));
}

void appendMemoryListLine(std::string& out, const ChannelRecord& row) {
  for (int c = 0; c < kColumnCount; ++c) {
    if (c > 0) out += kFieldSeparator;
    appendField(out, row[static_cast<std::size_t>(c)], c == kColumnCount - 1);
  }
  out += kLineEnd;
}

std::string radioName(int modelIndex, std::string_view bandText) {
  std::string name(modelName(modelIndex));
  const RigModel* model = findRigModel(modelIndex);
  if (model != nullptr && model->usesBand) {
    name += ' ';
    name += bandText;
  }
  return name;
}

std::string formatMemoryList(const ChannelTable& table, std::string_view radio) {
  std::string out;
  out.reserve(static_cast<std::size_t>(table.rowCount()) * 64);
  for (int r = 0; r < table.rowCount(); ++r) {
    if (r == 0 && !radio.empty()) {
      ChannelRecord header = table.record(0);
      header[colNumber] = radioRecord(radio);
      appendMemoryListLine(out, header);
      continue;
    }
    appendMemoryListLine(out, table.record(r));
  }
  return out;
}

ChannelRecord parseMemoryListLine(std::string_view line) {
  ChannelRecord row;
  parseLineInto(row, line);
  return row;
}

std::size_t memoryListLineCount(std::string_view bytes) {
  LineEnds ends(bytes);
  std::size_t lines = 0;
  for (std::size_t pos = 0; pos < bytes.size(); pos = ends.after(pos) + 1) ++lines;
  return lines;
}

std::vector<ChannelRecord> parseMemoryList(std::string_view bytes) {
  LineEnds ends(bytes);
  std::vector<ChannelRecord> rows;
  // Counting first saves moving every row on each growth of a large table.
  rows.reserve(memoryListLineCount(bytes));
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t end = ends.after(pos);
    std::size_t length = end - pos;
    if (end < bytes.size() && length > 0 && bytes[end - 1] == '\r') --length;
    parseLineInto(rows.emplace_back(), bytes.substr(pos, length));
    pos = end + 1;
  }
  return rows;
}

}  // namespace tarnwick
