// File dialogs, questions and boxes of the main window.

#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "chirp/chirp_transfer.h"

namespace tarnwick::app {
namespace {

// "txt|*.txt|csv|*.csv" as Qt writes filters: "txt (*.txt);;csv (*.csv)".
QString qtFilter(std::string_view filter) {
  const QStringList parts = toQt(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
  }
  return out.join(QStringLiteral(";;"));
}

// The core's line breaks are CR; Qt's boxes break at LF.
QString boxText(std::string_view text) {
  return toQt(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

}  // namespace

std::optional<std::string> MainWindow::chooseFile(const FileDialogSpec& dialog,
                                                  const std::string& folder,
                                                  const std::string& fileName) {
  if (fileDialogHandler_) return fileDialogHandler_(dialog, folder, fileName);
  QFileDialog fd(this, toQt(dialog.title), pathToQt(folder));
  fd.setNameFilter(qtFilter(dialog.filter));
  fd.setDefaultSuffix(toQt(dialog.defaultExtension));
  fd.setAcceptMode(dialog.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                       : QFileDialog::AcceptOpen);
  fd.setFileMode(dialog.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  fd.setOption(QFileDialog::DontConfirmOverwrite, !dialog.promptOverwrite);
  fd.setOption(QFileDialog::ReadOnly, false);
  fd.selectFile(pathToQt(fileName));
  if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return std::nullopt;
  return pathFromQt(fd.selectedFiles().first());
}

PromptAnswer MainWindow::askYesNoAbort(std::string_view text) {
  if (questionHandler_) return questionHandler_(boxText(text));
  const auto answer = QMessageBox::warning(this, windowTitle(), boxText(text),
                                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Abort,
                                           QMessageBox::Yes);
  if (answer == QMessageBox::Yes) return PromptAnswer::Yes;
  if (answer == QMessageBox::No) return PromptAnswer::No;
  return PromptAnswer::Abort;
}

void MainWindow::showError(std::string_view text) {
  showFailure(toQt(text));
}

void MainWindow::showError(const std::string& text) {
  showFailure(toQt(text));
}

void MainWindow::showInformation(std::string_view text) {
  queueBox(QString(), toQt(text), BoxKind::Information);
}

void MainWindow::fileNamesChanged() {
  permanentFileLabel_->setText(toQt(files_->permanentFileName()));
  rigFileLabel_->setText(toQt(files_->rigFileName()));
  const std::string warning = files_->fileWarning();
  fileWarning_->setText(toQt(warning));
  fileWarning_->setVisible(!warning.empty());
}

void MainWindow::queueBox(QString caption, QString text, BoxKind kind) {
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  boxes_.push_back({std::move(caption), std::move(text), kind, QString()});
  // Shown from the event loop once the running step or hand-over returned.
  QTimer::singleShot(0, this, &MainWindow::showNextBox);
}

void MainWindow::queueReportBox(QString caption, const std::string& report, BoxKind kind) {
  const std::string preview = reportPreview(report);
  queueBox(std::move(caption), QString::fromUtf8(preview), kind);
  if (preview.size() != report.size()) boxes_.back().fullReport = QString::fromUtf8(report);
}

// A box whose report is cut offers to save the whole of it.
void MainWindow::showReportBox(const QString& caption, const QString& text, BoxKind kind,
                               const QString& fullReport) {
  QMessageBox box(kind == BoxKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                  caption, text, QMessageBox::Ok, this);
  QPushButton* save = box.addButton(tr("Save Report..."), QMessageBox::ActionRole);
  box.exec();
  if (box.clickedButton() != save) return;
  const QString path =
      QFileDialog::getSaveFileName(this, tr("Save Report"), QString(), tr("Text (*.txt);;All (*)"));
  if (path.isEmpty()) return;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(fullReport.toUtf8()) < 0 || !file.commit()) {
    QMessageBox::critical(this, caption,
                          tr("Cannot Create file %1\n%2").arg(path, file.errorString()));
  }
}

void MainWindow::showNextBox() {
  if (boxOpen_ || boxes_.empty()) return;
  const Box box = boxes_.front();
  boxes_.pop_front();
  boxOpen_ = true;
  const QString caption = box.caption.isEmpty() ? windowTitle() : box.caption;
  if (boxHandler_) {
    boxHandler_(box.caption, box.text);
  } else if (!box.fullReport.isEmpty()) {
    showReportBox(caption, box.text, box.kind, box.fullReport);
  } else if (box.kind == BoxKind::Error) {
    QMessageBox::critical(this, caption, box.text);
  } else if (box.kind == BoxKind::Warning) {
    QMessageBox::warning(this, caption, box.text);
  } else {
    QMessageBox::information(this, caption, box.text);
  }
  boxOpen_ = false;
  if (!boxes_.empty()) QTimer::singleShot(0, this, &MainWindow::showNextBox);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (endingBySignal_) {
    event->accept();
    return;
  }
  bool close = true;
  guarded([&] { close = files_->confirmClose(); });
  if (close) {
    // While the window is still up, so that a failure to write the settings can be shown.
    shutdown();
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace tarnwick::app
