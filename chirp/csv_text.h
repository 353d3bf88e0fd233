#pragma once
// Comma-separated text as spreadsheets and CHIRP write it: fields in double
// quotes may hold commas, line ends and doubled quotes; lines end in CR LF,
// LF or CR; a UTF-8 byte-order mark at the start is skipped. Field bytes are
// passed on unchanged.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

struct CsvRecord {
  int line = 0;  // the file line the record starts on, from 1
  std::vector<std::string> fields;
};

struct CsvDocument {
  std::vector<CsvRecord> records;  // lines without any byte are not records
  // A quoted field that was never closed swallowed the rest of the file into
  // the last record; its lines are lost to the reader.
  bool unclosedQuote = false;
  int lastLine = 0;  // the number of the file's last line
};

CsvDocument parseCsv(std::string_view bytes);

// Appends one record and a CR LF. A field is quoted when it holds a comma, a
// double quote, a line end, or starts or ends with a space.
void appendCsvRecord(std::string& out, std::span<const std::string> fields);

}  // namespace tarnwick
