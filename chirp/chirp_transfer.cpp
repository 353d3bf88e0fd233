#include "chirp/chirp_transfer.h"

#include <algorithm>
#include <utility>

#include "chirp/chirp_dialogs.h"
#include "files/file_paths.h"
#include "tables/step_names.h"

namespace tarnwick {

std::string reportPreview(std::string_view report, std::size_t lines) {
  std::size_t end = 0;
  for (std::size_t n = 0; n < lines; ++n) {
    end = report.find('\n', end);
    if (end == std::string_view::npos) return std::string(report);
    ++end;
  }
  if (end >= report.size()) return std::string(report);
  std::size_t more = 0;
  for (std::size_t at = end; at < report.size(); ++more) {
    const std::size_t next = report.find('\n', at);
    at = next == std::string_view::npos ? report.size() : next + 1;
  }
  std::string preview(report.substr(0, end));
  preview += "... and " + std::to_string(more) + (more == 1 ? " more line" : " more lines") +
             ": Save Report... keeps them all\n";
  return preview;
}

ChirpTransfer::ChirpTransfer(ChannelTable& permanentTable, ChannelTable& rigTable,
                             const FileCommands& files, FileSystem& fs)
    : permanent_(permanentTable), rig_(rigTable), files_(files), fs_(fs) {}

std::string ChirpTransfer::startFolder(const ChannelTable& table) const {
  return splitPath(files_.currentFile(table)).folder;
}

std::optional<ChirpOutcome> ChirpTransfer::importChosen(TableKind into, int currentRow,
                                                        ChirpTransferUi& ui) {
  const ChannelTable& target = table(into);
  // The rig side is locked while the radio is being read or written.
  if (target.inputLocked()) return std::nullopt;
  const std::optional<std::string> path = ui.chooseList(kImportChirpDialog, startFolder(target));
  if (!path) return std::nullopt;
  int startRow = 0;
  if (target.isRig()) {
    const int from = std::max(currentRow, 1);
    switch (ui.askPlacement(from)) {
      case ChirpPlacement::AtLocations:
        break;
      case ChirpPlacement::FromRow:
        startRow = from;
        break;
      case ChirpPlacement::Cancel:
        return std::nullopt;
    }
  }
  const ChirpImportReport report = importFile(*path, into, startRow, ui.radio());
  ChirpOutcome outcome;
  if (!report.error.empty()) {
    outcome.error = report.error;
    return outcome;
  }
  outcome.report = describeImport(report, splitPath(*path).name);
  outcome.warning = report.leftOut() > 0;
  outcome.firstRow = report.firstRow;
  return outcome;
}

std::optional<ChirpOutcome> ChirpTransfer::exportChosen(TableKind from, const CellBlock& selection,
                                                        ChirpTransferUi& ui) {
  std::vector<int> rows;
  // A single selected row is where the cursor stands, not a choice of rows.
  if (selection.lastRow > selection.firstRow) {
    for (int r = selection.firstRow; r <= selection.lastRow; ++r) rows.push_back(r);
  }
  const DuplexOffsets offsets = ui.radio().offsets;
  const std::optional<std::string> path =
      ui.chooseList(kExportChirpDialog, startFolder(table(from)));
  if (!path) return std::nullopt;
  const ChirpExportReport report = exportFile(*path, from, std::move(rows), offsets);
  ChirpOutcome outcome;
  if (!report.error.empty()) {
    outcome.error = report.error;
    return outcome;
  }
  outcome.report = describeExport(report, splitPath(*path).name);
  outcome.warning = !report.rows.empty();
  return outcome;
}

ChirpImportReport ChirpTransfer::importFile(const std::string& path, TableKind into, int startRow,
                                            const ChirpRadio& radio) {
  ChannelTable& target = table(into);
  ChirpImportOptions options;
  options.modelIndex = radio.modelIndex;
  options.bandText = radio.bandText;
  options.offsets = radio.offsets;
  options.startRow = startRow;
  UndoStep step(history_, kStepImportChirp);
  ChirpImportReport report = importChirpCsvFile(path, target, options, fs_);
  for (const int row : report.tableRows) {
    permanent_.names().add(target.cell(colName, row));
    rig_.names().add(target.cell(colName, row));
  }
  return report;
}

ChirpExportReport ChirpTransfer::exportFile(const std::string& path, TableKind from,
                                            std::vector<int> rows, const DuplexOffsets& offsets) {
  ChirpExportOptions options;
  options.rows = std::move(rows);
  options.offsets = offsets;
  return exportChirpCsvFile(path, table(from), options, fs_);
}

}  // namespace tarnwick
