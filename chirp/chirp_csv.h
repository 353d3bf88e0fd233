#pragma once
// Channels in and out of CHIRP's CSV channel lists, for either table.
//
// Import changes the table only through insertRows, setRecord, setCheckBoxes
// and setModified, all in one go after the whole list has been read, so that
// a caller can record the import as one step. Every row of the list is
// accounted for in the report: where it went, or why it was left out, and
// what was changed to keep it.

#include <string>
#include <string_view>
#include <vector>

#include "files/file_system.h"
#include "rig/duplex_offsets.h"
#include "rig/separators.h"
#include "tables/channel_table.h"

namespace tarnwick {

struct ChirpImportOptions {
  int modelIndex = 0;
  // Rig table of a band-addressed radio (IC-910): the band box text; only
  // that band's frequencies are taken.
  std::string bandText;
  // The radio's duplex offsets: on radios whose duplex memories use them
  // (IC-746, IC-746Pro) a row with another offset becomes a Split row.
  DuplexOffsets offsets;
  // Rig table: 0 puts each row at the memory its Location gives; N >= 1 puts
  // the rows, in list order, from memory N on. The permanent file always
  // appends at its end.
  int startRow = 0;
  Separators sep = Separators::current();
};

// One row of a list (or of a table, on export) that was left out or changed.
struct ChirpRowReport {
  int line = 0;                    // import: the list's line; export: 0
  std::string location;            // the Location field, as written
  std::string name;                // the Name field (UTF-8)
  int tableRow = 0;                // the table row it went to or came from; 0: none
  std::string leftOut;             // why it was left out; empty when kept
  std::vector<std::string> notes;  // what was changed to keep it
};

// Rows of a list that a report names one by one; those after them are
// counted, so that a list of millions of bad lines gives a short report.
inline constexpr std::size_t kMaxReportedRows = 1000;
// The reasons those further rows were left out for are summed up each; the
// reasons beyond these are summed up together.
inline constexpr std::size_t kMaxSummedReasons = 20;

struct ChirpImportReport {
  // The list could not be read at all; the table is unchanged.
  std::string error;
  // The list's rows in list order, the first kMaxReportedRows of them.
  std::vector<ChirpRowReport> rows;
  // The rows after those: how many went in, how many of those were changed,
  // and how many were left out, by reason ("" for all further reasons).
  int moreImported = 0;
  int moreChanged = 0;
  std::vector<std::pair<std::string, int>> moreLeftOut;
  // Every table row filled, in list order.
  std::vector<int> tableRows;
  int firstRow = 0;  // the lowest and highest table row filled; 0 when none
  int lastRow = 0;

  int imported() const;
  int leftOut() const;
  int changed() const;  // kept with notes
  int total() const;    // rows of the list
  // Takes the report of the list's next row.
  void add(ChirpRowReport row);
};

ChirpImportReport importChirpCsv(std::string_view csvBytes, ChannelTable& table,
                                 const ChirpImportOptions& options);

// Reads the file and imports it. A file that cannot be read gives the error
// "Cannot open file " and its name, and the reason on a second line.
ChirpImportReport importChirpCsvFile(const std::string& path, ChannelTable& table,
                                     const ChirpImportOptions& options,
                                     FileSystem& fs = defaultFileSystem());

struct ChirpExportOptions {
  // Data rows to write, in this order; empty: every row of the table. Empty
  // (blank) rows are never written.
  std::vector<int> rows;
  // For duplex rows without a transmit frequency.
  DuplexOffsets offsets;
  Separators sep = Separators::current();
};

struct ChirpExportReport {
  std::string error;  // the file could not be written
  std::string csv;    // the list, UTF-8, CR LF line ends
  int written = 0;
  std::vector<ChirpRowReport> rows;  // only rows left out or changed

  int leftOut() const;
};

// Location is the table row: the memory number in the rig table.
ChirpExportReport exportChirpCsv(const ChannelTable& table, const ChirpExportOptions& options);

// Exports and replaces the file with the list in one step. A file that
// cannot be written (or would be too large to import again) gives the error
// "Cannot Create file " and its name, and the reason on a second line.
ChirpExportReport exportChirpCsvFile(const std::string& path, const ChannelTable& table,
                                     const ChirpExportOptions& options,
                                     FileSystem& fs = defaultFileSystem());

// The report as lines for a person, each ending in "\n": one per row left out
// or changed, then a summary. `list` names the CSV file.
std::string describeImport(const ChirpImportReport& report, std::string_view list);
std::string describeExport(const ChirpExportReport& report, std::string_view list);

}  // namespace tarnwick
