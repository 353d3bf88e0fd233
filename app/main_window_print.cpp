// File, Print and Export PDF of the table the user works in.

#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "app/main_window.h"
#include "app/print/table_printer.h"
#include "app/qt_text.h"
#include "app/table_actions.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "rig/rig_catalogue.h"
#include "tables/cell_editing.h"

namespace tarnwick::app {

PrintRequest MainWindow::printRequest(const ChannelTableView& view) const {
  const ChannelTable& table = view.channelModel().table();
  PrintRequest request;
  request.table = &table;
  // A filter hides rows in the view; paper shows what the screen shows.
  const int rows = view.model()->rowCount();
  for (int r = 0; r < rows; ++r) {
    if (!view.isRowHidden(r)) request.rows.push_back(r + 1);
  }
  request.hidden = view.hiddenColumns();
  request.checkBoxColumns = checkBoxColumns(view.channelModel().controller().modelIndex());
  request.fileName = table.isRig() ? files_->rigFileName() : files_->permanentFileName();
  request.modelName = std::string(modelName(link_->modelIndex()));
  request.date = printDate();
  return request;
}

PrintLook MainWindow::printLook() const {
  PrintLook look;
  look.horizontalLines = tableActions_->horizontalLines->isChecked();
  look.verticalLines = tableActions_->verticalLines->isChecked();
  return look;
}

void MainWindow::printTable() {
  const PrintRequest request = printRequest(tableActions_->activeView());
  QPrinter printer(QPrinter::HighResolution);
  setPrintPage(printer);
  printer.setDocName(toQt(request.fileName));
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(tr("Print"));
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer)) {
    showFailure(tr("Cannot print to %1").arg(printer.printerName()));
    return;
  }
  paintTable(painter, printer, request, printLook());
  painter.end();
}

void MainWindow::exportPdf() {
  const PrintRequest request = printRequest(tableActions_->activeView());
  const FileDialogSpec dialog{.kind = FileDialogKind::Save,
                              .title = "Export PDF",
                              .filter = "PDF files (*.pdf)|*.pdf",
                              .defaultExtension = "pdf",
                              .promptOverwrite = true,
                              .hideReadOnly = true,
                              .pathMustExist = true,
                              .fileMustExist = false};
  const std::string base = QFileInfo(toQt(request.fileName)).completeBaseName().toStdString();
  const std::optional<std::string> path =
      prompts_->chooseFile(dialog, files_->dataFolder(), base + ".pdf");
  if (!path) return;
  if (!writeTablePdf(pathToQt(*path), request, printLook())) {
    showFailure(tr("Cannot write %1").arg(pathToQt(*path)));
  }
}

}  // namespace tarnwick::app
