#include "chirp/csv_text.h"

namespace tarnwick {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool needsQuotes(std::string_view f) {
  if (f.find_first_of(",\"\r\n") != std::string_view::npos) return true;
  return !f.empty() && (f.front() == ' ' || f.back() == ' ');
}

}  // namespace

CsvReader::CsvReader(std::string_view bytes) : bytes_(bytes) {
  if (bytes_.starts_with(kUtf8Bom)) bytes_.remove_prefix(kUtf8Bom.size());
}

void CsvReader::reachEnd() {
  pos_ = bytes_.size();
  lastLine_ = bytes_.empty() || bytes_.back() == '\n' || bytes_.back() == '\r' ? line_ - 1 : line_;
}

bool CsvReader::next(CsvRecord& record) {
  record.line = 0;
  record.fields.clear();
  std::string field;
  bool quoted = false;
  bool hasBytes = false;
  const auto endField = [&] {
    if (record.fields.size() < kMaxCsvFields) record.fields.push_back(std::move(field));
    field.clear();
  };

  while (pos_ < bytes_.size()) {
    const std::size_t i = pos_++;
    const char c = bytes_[i];
    const bool lineEnd =
        c == '\n' || (c == '\r' && (i + 1 == bytes_.size() || bytes_[i + 1] != '\n'));
    if (quoted) {
      if (c == '"') {
        if (i + 1 < bytes_.size() && bytes_[i + 1] == '"') {
          field.push_back('"');
          ++pos_;
        } else {
          quoted = false;
        }
      } else {
        field.push_back(c);
        if (lineEnd) ++line_;
      }
      continue;
    }
    if (c == '\r' && !lineEnd) continue;  // the CR of a CR LF
    if (lineEnd) {
      ++line_;
      if (hasBytes) {
        endField();
        return true;
      }
      continue;
    }
    // A record starts on the line of its first byte.
    if (!hasBytes) record.line = line_;
    hasBytes = true;
    if (c == ',') {
      endField();
    } else if (c == '"' && field.empty()) {
      quoted = true;
    } else {
      // A quote inside an unquoted field, or text after a closing quote, is
      // taken as it stands.
      field.push_back(c);
    }
  }
  unclosedQuote_ = unclosedQuote_ || quoted;
  reachEnd();
  if (!hasBytes) return false;
  endField();
  return true;
}

CsvDocument parseCsv(std::string_view bytes) {
  CsvDocument doc;
  CsvReader reader(bytes);
  CsvRecord record;
  while (reader.next(record)) doc.records.push_back(std::move(record));
  doc.unclosedQuote = reader.unclosedQuote();
  doc.lastLine = reader.lastLine();
  return doc;
}

void appendCsvRecord(std::string& out, std::span<const std::string> fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out.push_back(',');
    const std::string& f = fields[i];
    if (!needsQuotes(f)) {
      out += f;
      continue;
    }
    out.push_back('"');
    for (char c : f) {
      if (c == '"') out.push_back('"');
      out.push_back(c);
    }
    out.push_back('"');
  }
  out += "\r\n";
}

}  // namespace tarnwick
