// Start-up, the look of the tables, and shutdown.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include "app/font_dialog.h"
#include "app/main_window.h"
#include "app/offsets_dialog.h"
#include "app/qt_colour.h"
#include "app/qt_text.h"
#include "app/settings_store.h"
#include "app/table_actions.h"
#include "app/table_view.h"
#include "app/window_placement.h"
#include "civ/radio_address.h"
#include "files/recovery_files.h"
#include "rig/rig_catalogue.h"
#include "shell/model_setup.h"
#include "shell/table_look.h"
#include "tables/column_layout.h"
#include "tables/table_ops.h"

namespace tarnwick::app {
namespace {

std::string documentsFolder(const WindowEnvironment& env) {
  if (!env.documentsFolder.empty()) return env.documentsFolder;
  // Never the root of the file system: the home folder when there is no
  // documents folder.
  // A documents folder that is named but not there yet is made, so that the
  // first Save has somewhere to write.
  QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!docs.isEmpty() && !QDir().mkpath(docs)) docs.clear();
  if (docs.isEmpty()) docs = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  return pathFromQt(docs);
}

void applyWidths(ChannelTableView& view, const ColumnWidths& stored) {
  KeptColumnWidths widths{};
  for (std::size_t col = 0; col < stored.size() && col < widths.size(); ++col) {
    widths[col] = stored[col];
  }
  view.setUserColumnWidths(widths);
}

ColumnWidths widthsOf(const ChannelTableView& view) {
  const KeptColumnWidths kept = view.userColumnWidths();
  return {kept.begin(), kept.end()};
}

}  // namespace

void MainWindow::readSettings() {
  if (settingsRead_) return;
  settingsRead_ = true;
  QtSettingsStore store;
  freshStart_ = !loadSettings(store, settings_);
  if (!store.obstacle().isEmpty()) {
    settingsObstacle_ = tr("%1 is %2, not a settings file. The settings of this session are "
                           "kept in memory only and will not be saved.")
                            .arg(store.fileName(), store.obstacle());
    qWarning("%s", qPrintable(settingsObstacle_));
  }
}

void MainWindow::restoreWindowPlacement() {
  readSettings();
  restorePlacement(*this, settings_.window);
}

void MainWindow::firstActivation() {
  if (startupDone_) return;
  readSettings();
  if (!claimSettings()) {
    // Closed before anything starts: nothing of this window is written.
    readOnly_ = true;
    startupDone_ = true;
    QTimer::singleShot(0, this, &QWidget::close);
    return;
  }
  if (!settingsObstacle_.isEmpty()) queueBox(QString(), settingsObstacle_, BoxKind::Warning);
  const ShellSettings& s = settings_;

  // The view as it was left.
  showPermanent_->setChecked(s.permanentFileShown);
  permanentPanel_->setVisible(s.permanentFileShown);
  horizontalLines_->setChecked(s.horizontalGridLines);
  verifyAfterStore_->setChecked(s.verifyAfterStore);
  hideEmpty_->setChecked(s.hideEmptyMemories);
  frequenciesInMHz_->setChecked(s.frequenciesInMHz);
  verticalLines_->setChecked(s.verticalGridLines);
  files_->applySettings(s.dataFolder, s.permanentFileName, s.rigFileName, documentsFolder(env_));
  fileNamesChanged();
  engine_->setOffsets(s.offsets);
  updateComCaptions();

  // The port, the radio and the address.
  serial_->setPortDevices(s.portDevices);
  link_->setRefusedBaudRate(s.refusedBaudRate);
  // A first start knows no port yet: the Device dialog below offers the
  // devices present instead of a box about one that may not exist.
  quietPortError_ = freshStart_;
  link_->start(s.portNumber, s.baudRate, s.modelIndex, s.storedAddress, bandText());
  quietPortError_ = false;
  // The stored address wins over the model's own.
  addressEdit_->setText(toQt(tarnwick::addressText(s.storedAddress)));
  tick(comGroup_, s.portNumber);
  tick(baudGroup_, s.baudRate);

  QFont font(toQt(s.gridFontName));
  font.setPointSize(s.gridFontSize);
  applyTableFont(font, toQColor(s.gridFontColor));
  applyWidths(*fileView_, s.fileColumnWidths);
  applyWidths(*rigView_, s.rigColumnWidths);

  permanent_.names().clear();
  rig_.names().clear();
  guarded([this] { files_->loadPermanentFile(); });
  if (readOnly_) {
    files_->keepFileReadOnly(TableKind::PermanentFile, "another window runs on these settings");
  }
  guarded([this] { offerKeptTables(); });
  applyColumns();
  startupDone_ = true;
  if (freshStart_) QTimer::singleShot(0, this, [this] { guarded([this] { chooseDevice(); }); });
}

QString MainWindow::writeSettings() {
  ShellSettings& s = settings_;
  s.portNumber = link_->portNumber();
  s.baudRate = link_->baudRate();
  s.modelIndex = link_->modelIndex();
  s.storedAddress = parseCivAddress(addressText()).value_or(s.storedAddress);
  s.gridFontName = pathFromQt(tableFont_.family());
  s.gridFontSize = tableFont_.pointSize() > 0 ? tableFont_.pointSize() : s.gridFontSize;
  s.gridFontColor = fromQColor(tableFontColour_);
  s.permanentFileShown = showPermanent_->isChecked();
  s.horizontalGridLines = horizontalLines_->isChecked();
  s.verticalGridLines = verticalLines_->isChecked();
  s.verifyAfterStore = verifyAfterStore_->isChecked();
  s.hideEmptyMemories = hideEmpty_->isChecked();
  s.frequenciesInMHz = frequenciesInMHz_->isChecked();
  s.dataFolder = files_->dataFolder();
  s.permanentFileName = files_->permanentFileName();
  s.rigFileName = files_->rigFileName();
  s.window = placementOf(*this);
  s.offsets = engine_->offsets();
  s.fileColumnWidths = widthsOf(*fileView_);
  s.rigColumnWidths = widthsOf(*rigView_);
  QtSettingsStore store;
  saveSettings(store, s);
  if (store.sync()) return {};
  if (store.failure().isEmpty()) {
    return tr("The settings could not be written to %1.").arg(store.fileName());
  }
  return tr("The settings could not be written to %1: %2.").arg(store.fileName(), store.failure());
}

void MainWindow::applyTableFont(const QFont& font, const QColor& colour) {
  tableFont_ = font;
  tableFontColour_ = colour;
  const int dpi = screen() != nullptr ? qRound(screen()->logicalDotsPerInchY()) : 96;
  const int pixels =
      font.pixelSize() > 0 ? font.pixelSize() : fontPixelHeight(font.pointSize(), dpi);
  for (ChannelTableView* view : {rigView_, fileView_}) {
    view->setTableFont(font, colour);
    view->setRowHeight(rowHeightForFont(pixels));
  }
}

void MainWindow::chooseFont() {
  QFont font = tableFont_;
  QColor colour = tableFontColour_;
  if (FontChoiceDialog::choose(this, font, colour)) applyTableFont(font, colour);
}

bool MainWindow::claimSettings() {
  const QString settingsFile = QtSettingsStore().fileName();
  QDir().mkpath(QFileInfo(settingsFile).absolutePath());
  // Not "NAME.lock": QSettings locks that one itself while it writes.
  if (instanceLock_.acquire(pathFromQt(settingsFile + QStringLiteral(".window.lock")))) {
    return true;
  }
  const long other = instanceLock_.holder();
  std::string question = "Another window of this program runs on these settings";
  if (other > 0) question += " (process " + std::to_string(other) + ")";
  question +=
      ".\nOpen this one read-only? It then writes neither the settings nor the permanent file."
      "\nYes: read-only. No: go on as usual. Abort: close this window.";
  switch (askYesNoAbort(question)) {
    case PromptAnswer::Yes:
      readOnly_ = true;
      return true;
    case PromptAnswer::No:
      return true;
    case PromptAnswer::Abort:
      break;
  }
  return false;
}

void MainWindow::endBySignal(int signal) {
  if (endingBySignal_) return;
  endingBySignal_ = true;
  log_->appendDebugLine("Ended by signal " + std::to_string(signal));
  commitOpenEditors();
  RecoveryFolder kept(defaultRecoveryFolder());
  for (const ChannelTable* table : {&permanent_, &rig_}) {
    if (!table->modified()) continue;
    std::string error;
    const std::string path = kept.keep(*table, error);
    log_->appendDebugLine(path.empty() ? "Unsaved table lost: " + error
                                       : "Unsaved table kept in " + path);
  }
  shutdown();
  close();
  QCoreApplication::quit();
}

void MainWindow::commitOpenEditors() {
  for (ChannelTableView* view : {fileView_, rigView_}) {
    const QModelIndex index = view->currentIndex();
    QWidget* editor = index.isValid() ? view->indexWidget(index) : nullptr;
    if (editor == nullptr) continue;
    guarded([&] { view->itemDelegate()->setModelData(editor, view->model(), index); });
  }
}

void MainWindow::offerKeptTables() {
  RecoveryFolder kept(defaultRecoveryFolder());
  for (const KeptTable& table : kept.pending()) {
    // Offered once, when answered; the file stays. A window ended before
    // the user saw the box offers it again at the next start.
    const std::string offered = RecoveryFolder::offeredPath(table.path);
    if (table.table == TableKind::Rig) {
      queueBox(tr("Unsaved rig table"),
               tr("The rig table had changes that were not saved when the program was last "
                  "ended. They were kept in\n%1\nOpen that file into the rig table once the "
                  "radio is idle.")
                   .arg(pathToQt(offered)),
               BoxKind::Information);
      boxes_.back().answered = [this, pending = table.path] {
        RecoveryFolder(defaultRecoveryFolder()).markOffered(pending);
      };
      continue;
    }
    const std::string question =
        "The permanent file had changes that were not saved when the program was last ended. "
        "They were kept in\n" +
        offered + "\nOpen them now? Save As then puts them where they belong.";
    const PromptAnswer answer = askYesNoAbort(question);
    if (endingBySignal_) return;
    const std::string path = kept.markOffered(table.path);
    if (answer == PromptAnswer::Yes) files_->openFile(TableKind::PermanentFile, path);
  }
}

void MainWindow::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  tickTimer_->stop();
  try {
    serial_->setActive(false);
  } catch (const std::exception&) {
    // Closing a port that went away is not worth a box at exit.
  }
  // Settings never read are not written over with fresh-start values.
  // A read-only window leaves the settings to the other one.
  // Settings kept in memory were told of at the start.
  const QString failure =
      startupDone_ && !readOnly_ && settingsObstacle_.isEmpty() ? writeSettings() : QString();
  if (failure.isEmpty()) return;
  log_->appendDebugLine(pathFromQt(failure));
  if (isVisible()) {
    QMessageBox::warning(this, windowTitle(), failure);
  } else {
    qWarning("%s", qPrintable(failure));
  }
}

}  // namespace tarnwick::app
