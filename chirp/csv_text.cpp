#include "chirp/csv_text.h"

namespace tarnwick {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool needsQuotes(std::string_view f) {
  if (f.find_first_of(",\"\r\n") != std::string_view::npos) return true;
  return !f.empty() && (f.front() == ' ' || f.back() == ' ');
}

}  // namespace

CsvDocument parseCsv(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
  CsvDocument doc;
  int line = 1;
  CsvRecord record;
  std::string field;
  bool quoted = false;
  bool recordHasBytes = false;

  auto endField = [&] {
    record.fields.push_back(std::move(field));
    field.clear();
  };
  auto endRecord = [&] {
    if (recordHasBytes) {
      endField();
      doc.records.push_back(std::move(record));
    }
    record = CsvRecord{};
    recordHasBytes = false;
  };

  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    const bool lineEnd =
        c == '\n' || (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
    if (quoted) {
      if (c == '"') {
        if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
          field.push_back('"');
          ++i;
        } else {
          quoted = false;
        }
      } else {
        field.push_back(c);
        if (lineEnd) ++line;
      }
      continue;
    }
    if (c == '\r' && !lineEnd) continue;  // the CR of a CR LF
    if (lineEnd) {
      endRecord();
      ++line;
      continue;
    }
    // A record starts on the line of its first byte.
    if (!recordHasBytes) record.line = line;
    recordHasBytes = true;
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
  doc.unclosedQuote = quoted;
  endRecord();
  doc.lastLine = bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r' ? line - 1 : line;
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
