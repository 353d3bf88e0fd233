// File dialogs, questions and boxes of the main window.

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "chirp/chirp_transfer.h"
#include "shell/window_title.h"

namespace tarnwick::app {
namespace {

// The core's line breaks are CR; Qt's boxes break at LF.
QString boxText(std::string_view text) {
  return toQt(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// Characters of a report line a box shows. A line of megabytes (a name as
// long as a whole list) took the box's layout most of a minute; Save
// Report... keeps the line whole.
constexpr qsizetype kBoxLineChars = 300;

// Each line longer than kBoxLineChars cut, ending in an ellipsis; `cut` is
// set when one was.
QString cutLongLines(const QString& text, bool& cut) {
  QString out;
  const QStringView all(text);
  qsizetype start = 0;
  while (true) {
    qsizetype end = all.indexOf(QLatin1Char('\n'), start);
    if (end < 0) end = all.size();
    if (end - start > kBoxLineChars) {
      qsizetype keep = kBoxLineChars - 1;
      // Never half a character outside the Basic Multilingual Plane.
      if (all[start + keep - 1].isHighSurrogate()) --keep;
      out += all.mid(start, keep);
      out += QChar(0x2026);
      cut = true;
    } else {
      out += all.mid(start, end - start);
    }
    if (end == all.size()) break;
    out += QLatin1Char('\n');
    start = end + 1;
  }
  return out;
}

}  // namespace

std::optional<std::string> MainWindow::chooseFile(const FileDialogSpec& dialog,
                                                  const std::string& folder,
                                                  const std::string& fileName) {
  return prompts_->chooseFile(dialog, folder, fileName);
}

PromptAnswer MainWindow::askYesNoAbort(std::string_view text) {
  return prompts_->askYesNoAbort(boxText(text));
}

void MainWindow::showError(std::string_view text) {
  showFailure(toQt(text));
}

void MainWindow::showRefusal(std::string_view text) {
  // Long enough to read the accepted forms; the next refusal replaces it.
  // During a transfer it covers the progress, so it gives way sooner.
  statusBar()->showMessage(toQt(text), engine_ && engine_->transferRunning() ? 5000 : 20000);
}

void MainWindow::showError(const std::string& text) {
  showFailure(toQt(text));
}

void MainWindow::showInformation(std::string_view text) {
  queueBox(QString(), toQt(text), BoxKind::Information);
}

SaveOverAnswer MainWindow::askSaveOver(std::string_view text) {
  // Save As first, the default: Enter must not write over the other radio's file.
  const std::optional<int> choice =
      prompts_->choose(tr("Save Rig Table"), boxText(text), {tr("Save &As..."), tr("&Yes")});
  if (!choice) return SaveOverAnswer::Cancel;
  return *choice == 0 ? SaveOverAnswer::SaveAs : SaveOverAnswer::Yes;
}

void MainWindow::showMarksCleared(std::string_view text) {
  queueBox(tr("Save Rig Table"), toQt(text), BoxKind::Information);
}

void MainWindow::fileNamesChanged() {
  permanentFileLabel_->setText(toQt(files_->permanentFileName()));
  rigFileLabel_->setText(toQt(files_->rigFileName()));
  const std::string warning = files_->fileWarning();
  fileWarning_->setText(toQt(warning));
  fileWarning_->setVisible(!warning.empty());
  updateTitle();
}

void MainWindow::updateTitle() {
  setWindowTitle(toQt(windowTitleText({files_->permanentFileName(), permanent_.modified()},
                                      {files_->rigFileName(), rig_.modified()})));
}

void MainWindow::queueBox(QString caption, QString text, BoxKind kind) {
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  boxes_.push_back({std::move(caption), std::move(text), kind, QString(), {}});
  // Shown from the event loop once the running step or hand-over returned.
  QTimer::singleShot(0, this, &MainWindow::showNextBox);
}

void MainWindow::queueReportBox(QString caption, const std::string& report, BoxKind kind) {
  const std::string preview = reportPreview(report);
  bool cut = preview.size() != report.size();
  queueBox(std::move(caption), cutLongLines(QString::fromUtf8(preview), cut), kind);
  if (cut) boxes_.back().fullReport = QString::fromUtf8(report);
}

// A box whose report is cut offers to save the whole of it.
void MainWindow::showNextBox() {
  if (boxOpen_ || boxes_.empty()) return;
  const Box box = boxes_.front();
  boxes_.pop_front();
  boxOpen_ = true;
  if (!box.fullReport.isEmpty()) {
    prompts_->showReport(box.kind, box.caption, box.text, box.fullReport);
  } else {
    prompts_->showBox(box.kind, box.caption, box.text);
  }
  boxOpen_ = false;
  // A signal ends the box's loop too: that is no answer.
  if (box.answered && !endingBySignal_) box.answered();
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
