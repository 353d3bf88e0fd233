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
#include "rig/rig_catalogue.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

bool blankRecord(const CsvRecord& r) {
  return std::all_of(r.fields.begin(), r.fields.end(), [](const std::string& f) {
    return f.find_first_not_of(" \t") == std::string::npos;
  });
}

std::optional<int> wholeNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
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
    if (!table_.isRig()) return nextRow_++;
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
  if (!r.name.empty()) out.append(" ").append(inQuotes(escapeControls(r.name)));
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
  return static_cast<int>(
      std::count_if(rows.begin(), rows.end(), [](const ChirpRowReport& r) { return r.tableRow; }));
}

int ChirpImportReport::leftOut() const {
  return countLeftOut(rows);
}

int ChirpImportReport::changed() const {
  return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const ChirpRowReport& r) {
    return r.tableRow && !r.notes.empty();
  }));
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
  CsvDocument doc = parseCsv(csvBytes);
  std::erase_if(doc.records, blankRecord);
  if (doc.records.empty()) {
    report.error = "the list is empty";
    return report;
  }
  const ChirpHeader header(doc.records.front().fields);
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

  for (std::size_t i = 1; i < doc.records.size(); ++i) {
    const CsvRecord& rec = doc.records[i];
    const ChirpRow row = header.row(rec.fields);
    ChirpRowReport& r = report.rows.emplace_back();
    r.line = rec.line;
    r.location = row[ChirpColumn::Location];
    r.name = row[ChirpColumn::Name];
    if (doc.unclosedQuote && i + 1 == doc.records.size()) {
      r.leftOut = "a quoted field opened here is never closed: lines " + std::to_string(rec.line) +
                  " to " + std::to_string(doc.lastLine) + " are lost in it";
      continue;
    }
    if (static_cast<int>(rec.fields.size()) < header.fieldCount()) {
      r.leftOut = "the line has " + plural(static_cast<int>(rec.fields.size()), "field", "fields") +
                  ", the header " + std::to_string(header.fieldCount());
      continue;
    }
    ImportedChannel channel = recordFromChirp(row, ctx);
    if (!channel.record) {
      r.leftOut = std::move(channel.leftOut);
      continue;
    }
    r.tableRow = placer.place(r, r.leftOut);
    if (r.tableRow == 0) continue;
    r.notes = std::move(channel.notes);
    placed.emplace_back(r.tableRow, std::move(*channel.record));
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
    report.firstRow = report.firstRow ? std::min(report.firstRow, row) : row;
    report.lastRow = std::max(report.lastRow, row);
  }
  table.setModified(true);
  return report;
}

ChirpImportReport importChirpCsvFile(const std::string& path, ChannelTable& table,
                                     const ChirpImportOptions& options, FileSystem& fs) {
  std::string bytes;
  bool read = false;
  // A list too large for memory is one that cannot be opened.
  try {
    read = fs.readAll(path, bytes);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  if (read) return importChirpCsv(bytes, table, options);
  ChirpImportReport report;
  report.error = std::string(kCannotOpenFile) + path;
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
  if (!fs.replace(path, report.csv)) report.error = std::string(kCannotCreateFile) + path;
  return report;
}

std::string describeImport(const ChirpImportReport& report, std::string_view list) {
  if (!report.error.empty()) return std::string(list) + ": " + report.error + "\n";
  std::string out;
  for (const ChirpRowReport& r : report.rows) {
    if (r.leftOut.empty() && r.notes.empty()) continue;
    describeRow(out, std::string(list) + " line " + std::to_string(r.line), r);
  }
  const int total = static_cast<int>(report.rows.size());
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
