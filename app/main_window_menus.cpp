// The menus of the main window.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenuBar>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/table_actions.h"
#include "app/table_filter.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "shell/model_setup.h"

namespace tarnwick::app {

void MainWindow::buildMenus() {
  // Every entry of every menu has an access letter of its own in its menu.
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addActions({fileActions_.open, fileActions_.save, fileActions_.saveAs});
  file->addSeparator();
  file->addAction(tr("&Import CHIRP CSV..."), this,
                  [this] { guarded([this] { importChirpCsv(); }); });
  file->addAction(tr("&Export CHIRP CSV..."), this,
                  [this] { guarded([this] { exportChirpCsv(); }); });
  file->addSeparator();
  QAction* print =
      file->addAction(tr("&Print..."), this, [this] { guarded([this] { printTable(); }); });
  print->setShortcut(QKeySequence::Print);
  file->addAction(tr("Export P&DF..."), this, [this] { guarded([this] { exportPdf(); }); });
  file->addSeparator();
  // Ctrl+X is the tables' Cut.
  QAction* exit = file->addAction(tr("E&xit"), this, &QWidget::close);
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  undo_ = edit->addAction(tr("&Undo"), this, [this] { guarded([this] { history_.undo(); }); });
  undo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
  redo_ = edit->addAction(tr("&Redo"), this, [this] { guarded([this] { history_.redo(); }); });
  redo_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  tableActions_->addPopupActions({undo_, redo_});
  history_.addObserver(this);
  historyChanged();
  edit->addSeparator();
  edit->addActions({tableActions_->cut, tableActions_->copy, tableActions_->paste});
  edit->addSeparator();
  edit->addActions({tableActions_->insertRow, tableActions_->deleteRow});
  edit->addSeparator();
  edit->addActions({tableActions_->markAll, tableActions_->markNone});
  edit->addSeparator();
  edit->addMenu(tableActions_->sortMenu());

  buildRadioMenu();

  // "&COM": "C&OM" would share Alt+O with "&Options".
  QMenu* com = menuBar()->addMenu(tr("&COM"));
  comGroup_ =
      addChoices(com, comMenuEntries(), kFreshPortNumber, [this](int n) { link_->portChosen(n); });
  com->addSeparator();
  com->addAction(tr("&Device..."), this, [this] { guarded([this] { chooseDevice(); }); });
  updateComCaptions();

  QMenu* baud = menuBar()->addMenu(tr("&Baudrate"));
  baudGroup_ = addChoices(baud, baudMenuEntries(), kFreshBaudRate,
                          [this](int rate) { link_->speedChosen(rate); });

  // "R&ig": Alt+R opens the Radio menu.
  QMenu* rig = menuBar()->addMenu(tr("R&ig"));
  rigGroup_ =
      addChoices(rig, rigMenuEntries(), kModelIc756Pro, [this](int m) { link_->rigChosen(m); });

  QMenu* options = menuBar()->addMenu(tr("&Options"));
  showPermanent_ = options->addAction(tr("Show &Permanent File"));
  showPermanent_->setCheckable(true);
  showPermanent_->setChecked(true);
  connect(showPermanent_, &QAction::toggled, this,
          [this](bool on) { permanentPanel_->setVisible(on); });
  editOffsets_ = options->addAction(tr("Edit &Duplex Offsets (746, 746Pro) ..."), this,
                                    [this] { guarded([this] { editOffsets(); }); });
  options->addSeparator();
  options->addAction(tr("&Font ..."), this, &MainWindow::chooseFont);
  // The Options entries and the pop-up's are two faces of one switch.
  QAction** own[] = {&horizontalLines_, &verticalLines_};
  const std::pair<QString, QAction*> faces[] = {
      {tr("Show &Horizontal Gridlines"), tableActions_->horizontalLines},
      {tr("Show &Vertical Gridlines"), tableActions_->verticalLines}};
  for (int i = 0; i < 2; ++i) {
    QAction* a = options->addAction(faces[i].first);
    QAction* popupAction = faces[i].second;
    a->setCheckable(true);
    a->setChecked(popupAction->isChecked());
    connect(a, &QAction::toggled, popupAction, &QAction::setChecked);
    connect(popupAction, &QAction::toggled, a, &QAction::setChecked);
    *own[i] = a;
  }
  buildFindAndFilter(edit, options);
  // Files keep kHz; only what the tables show and take changes.
  frequenciesInMHz_ = options->addAction(tr("Frequencies in &MHz"));
  frequenciesInMHz_->setCheckable(true);
  connect(frequenciesInMHz_, &QAction::toggled, this, [this](bool on) {
    controller_.setFrequencyUnit(on ? FrequencyUnit::MHz : FrequencyUnit::kHz);
    for (ChannelTableView* view : {fileView_, rigView_}) {
      view->channelModel().frequencyUnitChanged();
      view->fitColumns();
    }
    // A number typed into the filter without a unit reads in the unit shown.
    for (TableFilter* filter : {fileFilter_, rigFilter_}) {
      if (filter == nullptr) continue;
      filter->rows().setPlainFrequencyUnit(on ? "MHz" : "kHz");
      filter->applyToView();
    }
  });
  options->addSeparator();
  // Each written memory is read back and compared; on unless turned off.
  verifyAfterStore_ = options->addAction(tr("Verify after &Store"));
  verifyAfterStore_->setCheckable(true);
  verifyAfterStore_->setChecked(true);
  connect(verifyAfterStore_, &QAction::toggled, this,
          [this](bool on) { engine_->setVerifyAfterStore(on); });
  buildHelpMenu();
}

void MainWindow::buildRadioMenu() {
  QMenu* radio = menuBar()->addMenu(tr("&Radio"));
  // A disabled entry says why, as the tool bar's buttons do.
  radio->setToolTipsVisible(true);
  // F5 reads afresh as browsers reload; like a new choice of the link, it
  // asks first when the read would replace the user's work.
  readBank_ =
      radio->addAction(tr("&Read Bank"), this, [this] { guarded([this] { link_->readBank(); }); });
  readBank_->setShortcut(QKeySequence(Qt::Key_F5));
  radio->addAction(storeAction_);  // made with the rig's tool bar
  tuneAction_ = radio->addAction(tr("&Tune to Row"), this, [this] { tuneToCurrentRow(); });
  tuneAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  // "Cu&t" has T in the pop-up.
  tableActions_->addPopupRowAction(tuneAction_, tr("Tune to Ro&w"));
  radio->addAction(stopAction_);
  radio->addSeparator();
  radio->addActions({rigFileActions_.open, rigFileActions_.save, rigFileActions_.saveAs});
}

void MainWindow::tuneToCurrentRow() {
  // The rig table's row, unless the permanent file is where the keys go.
  QWidget* focus = QApplication::focusWidget();
  const bool inFile = focus == fileView_ || fileView_->isAncestorOf(focus);
  ChannelTableView& view = inFile ? *fileView_ : *rigView_;
  const int row = view.currentTableRow();
  if (row < 1) {
    showRefusal(tr("No current row to tune to").toStdString());
    return;
  }
  guarded([&] { engine_->tuneFromCell(view.channelModel().table(), row, colFrequency); });
}

QActionGroup* MainWindow::addChoices(QMenu* menu, std::span<const MenuEntry> entries, int ticked,
                                     std::function<void(int)> chosen) {
  auto* group = new QActionGroup(this);
  for (const MenuEntry& entry : entries) {
    QAction* a = menu->addAction(toQt(entry.caption));
    const int value = entry.value;
    a->setCheckable(true);
    a->setData(value);
    a->setChecked(value == ticked);
    group->addAction(a);
    connect(a, &QAction::triggered, this,
            [this, chosen, value] { guarded([&] { chosen(value); }); });
  }
  return group;
}

void MainWindow::tick(QActionGroup* group, int value) {
  for (QAction* a : group->actions()) {
    if (a->data().toInt() == value) a->setChecked(true);
  }
}

void MainWindow::updateComCaptions() {
  const auto entries = comMenuEntries();
  for (QAction* a : comGroup_->actions()) {
    const int n = a->data().toInt();
    for (const MenuEntry& entry : entries) {
      if (entry.value == n) a->setText(toQt(comEntryCaption(entry, settings_.deviceForPort(n))));
    }
  }
}

void MainWindow::historyChanged() {
  const QString undoText = toQt(history_.undoText());
  const QString redoText = toQt(history_.redoText());
  undo_->setText(undoText.isEmpty() ? tr("&Undo") : QLatin1Char('&') + undoText);
  redo_->setText(redoText.isEmpty() ? tr("&Redo") : QLatin1Char('&') + redoText);
  undo_->setEnabled(history_.canUndo());
  redo_->setEnabled(history_.canRedo());
}

}  // namespace tarnwick::app
