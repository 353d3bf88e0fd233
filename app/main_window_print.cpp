// File, Print and Export PDF of the table the user works in.

#include <QCheckBox>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

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
  std::vector<int> shown;
  for (int r = 0; r < rows; ++r) {
    if (!view.isRowHidden(r)) shown.push_back(r + 1);
  }
  request.rows = printedRows(table, shown, printEmptyMemories_);
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
  QPrinter printer(QPrinter::HighResolution);
  setPrintPage(printer);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(tr("Print"));
  auto* memories = new QWidget;
  memories->setWindowTitle(tr("Memories"));
  auto* includeEmpty = new QCheckBox(tr("Include empty memories"), memories);
  includeEmpty->setChecked(printEmptyMemories_);
  auto* column = new QVBoxLayout(memories);
  column->addWidget(includeEmpty);
  column->addStretch();
  dialog.setOptionTabs({memories});
  if (dialog.exec() != QDialog::Accepted) return;
  printEmptyMemories_ = includeEmpty->isChecked();
  const PrintRequest request = printRequest(tableActions_->activeView());
  printer.setDocName(toQt(request.fileName));
  QPainter painter;
  if (!painter.begin(&printer)) {
    showFailure(tr("Cannot print to %1").arg(printer.printerName()));
    return;
  }
  paintTable(painter, printer, request, printLook());
  painter.end();
}

void MainWindow::exportPdf() {
  const QString base =
      QFileInfo(toQt(printRequest(tableActions_->activeView()).fileName)).completeBaseName();
  const FileDialogSpec dialog{.kind = FileDialogKind::Save,
                              .title = "Export PDF",
                              .filter = "PDF files (*.pdf)|*.pdf",
                              .defaultExtension = "pdf",
                              .promptOverwrite = true,
                              .hideReadOnly = true,
                              .pathMustExist = true,
                              .fileMustExist = false};
  const std::optional<std::string> path =
      prompts_->chooseFileWithOption(dialog, files_->dataFolder(), pathFromQt(base) + ".pdf",
                                     tr("Include empty memories"), printEmptyMemories_);
  if (!path) return;
  const PrintRequest request = printRequest(tableActions_->activeView());
  std::string why;
  if (!writeTablePdf(pathToQt(*path), request, printLook(), why)) {
    showFailure(tr("Cannot write %1: %2").arg(pathToQt(*path), QString::fromLocal8Bit(why)));
  }
}

}  // namespace tarnwick::app
