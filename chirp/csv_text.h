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

// More fields than any channel list has; the fields of a record beyond
// these are dropped, so that a line of commas cannot make millions of them.
inline constexpr std::size_t kMaxCsvFields = 256;

struct CsvRecord {
  int line = 0;  // the file line the record starts on, from 1
  std::vector<std::string> fields;
};

// Reads the records one at a time, holding only the one it returns: memory
// stays within the largest record, however many the text holds.
class CsvReader {
 public:
  explicit CsvReader(std::string_view bytes);
  // The next record that holds any byte (lines without one are passed over);
  // false at the end of the text.
  bool next(CsvRecord& record);
  // Once next() has returned the last record: a quoted field that was never
  // closed swallowed the rest of the text into it.
  bool unclosedQuote() const { return unclosedQuote_; }
  // Once the end is reached: the number of the text's last line.
  int lastLine() const { return lastLine_; }

 private:
  void reachEnd();

  std::string_view bytes_;
  std::size_t pos_ = 0;
  int line_ = 1;
  bool unclosedQuote_ = false;
  int lastLine_ = 0;
};

struct CsvDocument {
  std::vector<CsvRecord> records;  // lines without any byte are not records
  // A quoted field that was never closed swallowed the rest of the file into
  // the last record; its lines are lost to the reader.
  bool unclosedQuote = false;
  int lastLine = 0;  // the number of the file's last line
};

// The whole text at once, for texts known to be small.
CsvDocument parseCsv(std::string_view bytes);

// Appends one record and a CR LF. A field is quoted when it holds a comma, a
// double quote, a line end, or starts or ends with a space.
void appendCsvRecord(std::string& out, std::span<const std::string> fields);

}  // namespace tarnwick
