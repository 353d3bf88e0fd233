// Commands of the main window that open a dialog of their own: the duplex
// offsets, the device of a COM number, and CHIRP CSV import and export.

#include <QAction>
#include <QActionGroup>
#include <algorithm>

#include "app/main_window.h"
#include "app/offsets_dialog.h"
#include "app/port_dialog.h"
#include "app/qt_text.h"
#include "app/table_actions.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "files/chirp_csv.h"
#include "files/chirp_dialogs.h"
#include "files/file_paths.h"

namespace tarnwick::app {

void MainWindow::editOffsets() {
  const std::optional<DuplexOffsets> offsets = offsetsDialog_->edit(engine_->offsets());
  if (!offsets) return;
  engine_->setOffsets(*offsets);
  // Both tables' transmit frequencies follow, as one step to undo.
  controller_.recomputeDuplexTx(*offsets);
}

void MainWindow::storeEnded() {
  QStringList lines;
  for (const StoreProblem& p : engine_->storeProblems()) lines << toQt(p.text);
  if (lines.isEmpty()) return;
  lines << QString() << tr("These rows stay ticked; the next Store to Rig tries them again.");
  queueBox(tr("Store to Rig"), lines.join(QLatin1Char('\n')), BoxKind::Warning);
}

void MainWindow::chooseDevice() {
  const int n = link_->portNumber();
  const auto assigned = settings_.portDevices.find(n);
  const std::optional<std::string> path = PortDialog::choose(
      this, n, assigned != settings_.portDevices.end() ? assigned->second : std::string());
  if (!path) return;
  if (path->empty()) {
    settings_.portDevices.erase(n);
  } else {
    settings_.portDevices[n] = *path;
  }
  serial_->setPortDevices(settings_.portDevices);
  updateComCaptions();
  // The new device is opened at once, as choosing the port again would.
  link_->portChosen(n);
}

void MainWindow::importChirpCsv() {
  ChannelTableView& view = tableActions_->activeView();
  ChannelTable& table = view.channelModel().table();
  if (!controller_.mayChange(table)) return;
  const SplitPath current = splitPath(files_->currentFile(table));
  const std::optional<std::string> path = chooseFile(kImportChirpDialog, current.folder, "");
  if (!path) return;
  ChirpImportOptions options;
  if (table.isRig()) {
    // The rig table takes each channel at the memory its Location names, or
    // the whole list from the current memory on.
    const int from = std::max(view.currentTableRow(), 1);
    const std::optional<int> choice =
        prompts_->choose(tr("Import CHIRP CSV"), tr("Where do the channels go in the rig table?"),
                         {tr("At their &Locations"), tr("From memory &%1 on").arg(from)});
    if (!choice) return;
    options.startRow = *choice == 1 ? from : 0;
  }
  options.modelIndex = link_->modelIndex();
  options.bandText = bandText();
  options.offsets = engine_->offsets();
  ChirpImportReport report;
  {
    UndoStep step(history_, "Import CHIRP CSV");
    report = importChirpCsvFile(*path, table, options);
    for (const ChirpRowReport& row : report.rows) {
      if (row.tableRow > 0) {
        permanent_.names().add(table.cell(colName, row.tableRow));
        rig_.names().add(table.cell(colName, row.tableRow));
      }
    }
  }
  if (!report.error.empty()) {
    showFailure(toQt(report.error));
    return;
  }
  if (report.firstRow > 0) {
    view.scrollTo(view.model()->index(report.firstRow - 1, colFrequency));
  }
  const QString text = QString::fromUtf8(describeImport(report, splitPath(*path).name));
  queueBox(tr("Import CHIRP CSV"), text,
           report.leftOut() > 0 ? BoxKind::Warning : BoxKind::Information);
}

void MainWindow::exportChirpCsv() {
  ChannelTableView& view = tableActions_->activeView();
  const ChannelTable& table = view.channelModel().table();
  ChirpExportOptions options;
  options.offsets = engine_->offsets();
  // A selection of several rows exports those rows; otherwise the table.
  const CellBlock block = view.selectedBlock();
  if (view.hasClipboardSelection() && block.lastRow > block.firstRow) {
    for (int r = block.firstRow; r <= block.lastRow; ++r) options.rows.push_back(r);
  }
  const SplitPath current = splitPath(files_->currentFile(table));
  const std::optional<std::string> path = chooseFile(kExportChirpDialog, current.folder, "");
  if (!path) return;
  const ChirpExportReport report = exportChirpCsvFile(*path, table, options);
  if (!report.error.empty()) {
    showFailure(toQt(report.error));
    return;
  }
  queueBox(tr("Export CHIRP CSV"), QString::fromUtf8(describeExport(report, splitPath(*path).name)),
           report.rows.empty() ? BoxKind::Information : BoxKind::Warning);
}

}  // namespace tarnwick::app
