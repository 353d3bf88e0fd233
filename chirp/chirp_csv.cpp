#include "chirp/chirp_csv.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <new>
#include <span>
#include <stdexcept>

#include "chirp/chirp_channel_map.h"
#include "chirp/chirp_columns.h"
#include "chirp/chirp_values.h"
#include "chirp/csv_text.h"
#include "chirp/model_keeps.h"
#include "chirp/text_folding.h"
#include "files/file_command_ui.h"
#include "files/file_commands.h"
#include "rig/rig_catalogue.h"
#include "rig/text_trim.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

bool blankRecord(const CsvRecord& r) {
  return std::all_of(r.fields.begin(), r.fields.end(), [](const std::string& f) {
    return f.find_first_not_of(" \t") == std::string::npos;
  });
}

std::optional<int> wholeNumber(std::string_view text) {
  text = trimmed(text);
  int v = 0;
  const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size() || text.empty()) return std::nullopt;
  return v;
}

// A permanent file of one row that holds nothing, as at a first start: the
// import fills that row instead of adding below it.
bool holdsOnlyAnEmptyRow(const ChannelTable& table) {
  if (table.dataRowCount() != 1) return false;
  const ChannelRecord& r = table.record(1);
  return std::all_of(r.begin() + colFrequency, r.begin() + colSelect,
                     [](const std::string& c) { return c.empty(); });
}

// 999990 as "999,990".
std::string withThousands(int n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), 1, ',');
  }
  return digits;
}

// Where the kept rows of a list go in the table.
class RowPlacer {
 public:
  RowPlacer(const ChannelTable& table, const RigModel& model, const ChirpImportOptions& o)
      : table_(table),
        model_(model),
        startRow_(o.startRow),
        lastRow_(std::min(table.dataRowCount(), model.lastStoredRow)),
        nextRow_(table.isRig()                ? startRow_
                 : holdsOnlyAnEmptyRow(table) ? 1
                                              : table.rowCount()) {}

  // The row for a kept channel, or 0 with the reason in `why`.
  int place(const ChirpRowReport& row, std::string& why) {
    if (!table_.isRig()) {
      // No more than the file can hold and read back.
      if (nextRow_ >= static_cast<int>(kMaxMemoryListLines)) {
        why = "the permanent file is full: it holds at most " +
              withThousands(static_cast<int>(kMaxMemoryListLines)) + " lines";
        return 0;
      }
      return nextRow_++;
    }
    int target = nextRow_;
    if (startRow_ <= 0) {
      const std::optional<int> location = wholeNumber(row.location);
      if (!location) {
        why = "Location \"" + row.location + "\" is not a memory number";
        return 0;
      }
      target = *location;
    }
    if (target < 1 || target > lastRow_) {
      why = startRow_ > 0 ? "no memory left for it after memory " + std::to_string(lastRow_)
                          : "Location " + std::to_string(target) + " is not a memory of the " +
                                std::string(modelName(model_.modelIndex)) + " (1 to " +
                                std::to_string(lastRow_) + ")";
      return 0;
    }
    if (const auto taken = takenBy_.find(target); taken != takenBy_.end()) {
      why = "memory " + std::to_string(target) + " is already taken by line " +
            std::to_string(taken->second);
      return 0;
    }
    takenBy_[target] = row.line;
    if (startRow_ > 0) ++nextRow_;
    return target;
  }

 private:
  const ChannelTable& table_;
  const RigModel& model_;
  int startRow_;
  int lastRow_;
  int nextRow_;
  std::map<int, int> takenBy_;  // memory -> list line
};

std::string plural(int n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

int countLeftOut(std::span<const ChirpRowReport> rows) {
  return static_cast<int>(std::count_if(
      rows.begin(), rows.end(), [](const ChirpRowReport& r) { return !r.leftOut.empty(); }));
}

void describeRow(std::string& out, std::string_view prefix, const ChirpRowReport& r) {
  out += prefix;
  if (!r.location.empty()) out.append(" (Location ").append(r.location).append(")");
  // A memory name of padding spaces only is no name to show.
  if (r.name.find_first_not_of(' ') != std::string::npos) {
    out.append(" ").append(inQuotes(escapeControls(r.name)));
  }
  if (!r.leftOut.empty()) {
    out += ": left out: " + r.leftOut + "\n";
    return;
  }
  out += ": changed: ";
  for (std::size_t i = 0; i < r.notes.size(); ++i) out += (i ? "; " : "") + r.notes[i];
  out += "\n";
}

}  // namespace

int ChirpImportReport::imported() const {
  return moreImported +
         static_cast<int>(std::count_if(rows.begin(), rows.end(),
                                        [](const ChirpRowReport& r) { return r.tableRow; }));
}

int ChirpImportReport::leftOut() const {
  int n = countLeftOut(rows);
  for (const auto& [reason, count] : moreLeftOut) n += count;
  return n;
}

int ChirpImportReport::changed() const {
  return moreChanged +
         static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const ChirpRowReport& r) {
           return r.tableRow && !r.notes.empty();
         }));
}

int ChirpImportReport::total() const {
  int n = static_cast<int>(rows.size()) + moreImported;
  for (const auto& [reason, count] : moreLeftOut) n += count;
  return n;
}

void ChirpImportReport::add(ChirpRowReport row) {
  if (rows.size() < kMaxReportedRows) {
    rows.push_back(std::move(row));
    return;
  }
  if (row.tableRow != 0) {
    ++moreImported;
    if (!row.notes.empty()) ++moreChanged;
    return;
  }
  auto same = std::find_if(moreLeftOut.begin(), moreLeftOut.end(),
                           [&](const auto& entry) { return entry.first == row.leftOut; });
  if (same == moreLeftOut.end() && moreLeftOut.size() >= kMaxSummedReasons) {
    same = std::find_if(moreLeftOut.begin(), moreLeftOut.end(),
                        [](const auto& entry) { return entry.first.empty(); });
    if (same == moreLeftOut.end()) same = moreLeftOut.insert(moreLeftOut.end(), {"", 0});
  } else if (same == moreLeftOut.end()) {
    // While there is room for new reasons there is no entry for further ones yet.
    same = moreLeftOut.insert(moreLeftOut.end(), {std::move(row.leftOut), 0});
  }
  ++same->second;
}

int ChirpExportReport::leftOut() const {
  return countLeftOut(rows);
}

ChirpImportReport importChirpCsv(std::string_view csvBytes, ChannelTable& table,
                                 const ChirpImportOptions& options) {
  ChirpImportReport report;
  const RigModel* model = findRigModel(options.modelIndex);
  if (!model) {
    report.error = "no radio model to import for";
    return report;
  }
  // One record at a time: a list of millions of lines costs no more than
  // its rows that go into the table.
  CsvReader reader(csvBytes);
  CsvRecord record;
  bool any = false;
  while ((any = reader.next(record)) && blankRecord(record)) {
  }
  if (!any) {
    report.error = "the list is empty";
    return report;
  }
  const ChirpHeader header(record.fields);
  if (!header.has(ChirpColumn::Frequency)) {
    report.error = "the list has no Frequency column: it is not a CHIRP channel list";
    return report;
  }
  if (table.isRig() && options.startRow <= 0 && !header.has(ChirpColumn::Location)) {
    report.error = "the list has no Location column: choose a start row";
    return report;
  }

  const ModelKeeps keeps = modelKeeps(options.modelIndex);
  const ChirpImportContext ctx{
      keeps, table.isRig() ? rigTableRanges(options.modelIndex, options.bandText) : keeps.ranges,
      options.offsets, options.sep};
  RowPlacer placer(table, *model, options);
  std::vector<std::pair<int, ChannelRecord>> placed;

  while (reader.next(record)) {
    if (blankRecord(record)) continue;
    ChirpRowReport r;
    r.line = record.line;
    const auto field = [&](ChirpColumn c) -> std::string {
      const int at = header.position(c);
      return at >= 0 && static_cast<std::size_t>(at) < record.fields.size()
                 ? record.fields[static_cast<std::size_t>(at)]
                 : std::string();
    };
    r.location = field(ChirpColumn::Location);
    r.name = field(ChirpColumn::Name);
    if (reader.unclosedQuote()) {
      r.leftOut = "a quoted field opened here is never closed: lines " +
                  std::to_string(record.line) + " to " + std::to_string(reader.lastLine()) +
                  " are lost in it";
    } else if (static_cast<int>(record.fields.size()) < header.fieldCount()) {
      r.leftOut = "the line has " +
                  plural(static_cast<int>(record.fields.size()), "field", "fields") +
                  ", the header " + std::to_string(header.fieldCount());
    } else if (ImportedChannel channel = recordFromChirp(header.row(record.fields), ctx);
               !channel.record) {
      r.leftOut = std::move(channel.leftOut);
    } else if ((r.tableRow = placer.place(r, r.leftOut)) != 0) {
      r.notes = std::move(channel.notes);
      placed.emplace_back(r.tableRow, std::move(*channel.record));
    }
    report.add(std::move(r));
  }
  if (placed.empty()) return report;

  // The table changes only from here on, in one go.
  if (!table.isRig()) {
    const int added = placed.back().first - table.rowCount() + 1;
    table.insertRows(table.rowCount(), added);
  }
  for (auto& [row, record] : placed) {
    if (table.isRig()) {
      const std::string& label = table.cell(colNumber, row);
      record[colNumber] = label.empty() ? specialLabel(options.modelIndex, row) : label;
    } else {
      record[colNumber] = std::to_string(row);
    }
    table.setRecord(row, std::move(record));
    table.setCheckBoxes(row, true);
    report.tableRows.push_back(row);
    report.firstRow = report.firstRow ? std::min(report.firstRow, row) : row;
    report.lastRow = std::max(report.lastRow, row);
  }
  table.setModified(true);
  return report;
}

ChirpImportReport importChirpCsvFile(const std::string& path, ChannelTable& table,
                                     const ChirpImportOptions& options, FileSystem& fs) {
  std::string bytes;
  std::string reason;
  bool read = false;
  // A list too large for memory is one that cannot be opened.
  try {
    read = fs.readAll(path, bytes, reason);
  } catch (const std::bad_alloc&) {
    reason = kNotEnoughMemory;
  } catch (const std::length_error&) {
    reason = kNotEnoughMemory;
  }
  if (read) return importChirpCsv(bytes, table, options);
  ChirpImportReport report;
  report.error = openError(path, reason);
  return report;
}

ChirpExportReport exportChirpCsv(const ChannelTable& table, const ChirpExportOptions& options) {
  ChirpExportReport report;
  std::vector<std::string> fields;
  for (ChirpColumn c : kChirpExportColumns) {
    fields.emplace_back(kChirpColumnNames[static_cast<std::size_t>(c)]);
  }
  appendCsvRecord(report.csv, fields);

  std::vector<int> rows = options.rows;
  if (rows.empty()) {
    for (int r = 1; r < table.rowCount(); ++r) rows.push_back(r);
  }
  for (int r : rows) {
    if (!table.isDataRow(r) || !IsOccupied(table, r, options.sep)) continue;
    const ChannelRecord& record = table.record(r);
    ExportedChannel channel = chirpFromRecord(record, r, options.offsets, options.sep);
    if (!channel.leftOut.empty() || !channel.notes.empty()) {
      ChirpRowReport& rr = report.rows.emplace_back();
      rr.name = latin1ToUtf8(record[colName]);
      rr.tableRow = r;
      rr.leftOut = std::move(channel.leftOut);
      rr.notes = std::move(channel.notes);
    }
    if (!channel.row) continue;
    fields.clear();
    for (ChirpColumn c : kChirpExportColumns) fields.push_back((*channel.row)[c]);
    appendCsvRecord(report.csv, fields);
    ++report.written;
  }
  return report;
}

ChirpExportReport exportChirpCsvFile(const std::string& path, const ChannelTable& table,
                                     const ChirpExportOptions& options, FileSystem& fs) {
  ChirpExportReport report = exportChirpCsv(table, options);
  std::string reason;
  // What the import would refuse is not written.
  if (report.csv.size() > kMaxReadBytes) {
    report.error = createError(path, kFileTooLarge);
  } else if (!fs.replace(path, report.csv, reason)) {
    report.error = createError(path, reason);
  }
  return report;
}

std::string describeImport(const ChirpImportReport& report, std::string_view list) {
  if (!report.error.empty()) return std::string(list) + ": " + report.error + "\n";
  std::string out;
  for (const ChirpRowReport& r : report.rows) {
    if (r.leftOut.empty() && r.notes.empty()) continue;
    describeRow(out, std::string(list) + " line " + std::to_string(r.line), r);
  }
  for (const auto& [reason, count] : report.moreLeftOut) {
    out += "and " + withThousands(count) +
           (count == 1 ? " more row left out" : " more rows left out") +
           (reason.empty() ? " for other reasons" : ": " + reason) + "\n";
  }
  if (report.moreChanged > 0) {
    out += "and " + withThousands(report.moreChanged) +
           (report.moreChanged == 1 ? " more row changed\n" : " more rows changed\n");
  }
  const int total = report.total();
  out += "Imported " + std::to_string(report.imported()) + " of " + plural(total, "row", "rows") +
         " of " + std::string(list);
  if (report.imported() > 0) {
    out +=
        " into rows " + std::to_string(report.firstRow) + " to " + std::to_string(report.lastRow);
  }
  out += ": " + std::to_string(report.leftOut()) + " left out, " +
         std::to_string(report.changed()) + " changed\n";
  return out;
}

std::string describeExport(const ChirpExportReport& report, std::string_view list) {
  std::string out;
  for (const ChirpRowReport& r : report.rows) {
    describeRow(out, "row " + std::to_string(r.tableRow), r);
  }
  if (!report.error.empty()) return out + report.error + "\n";
  out += "Exported " + plural(report.written, "channel", "channels") + " to " + std::string(list) +
         ": " + std::to_string(report.leftOut()) + " left out\n";
  return out;
}

}  // namespace tarnwick
