// The window as the transfer engine and the link choices see it: status
// texts, the LED, the rig side's lock, the model's controls.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/round_led.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "shell/led_look.h"
#include "shell/model_setup.h"

namespace tarnwick::app {

void MainWindow::setStatus(std::string_view left, std::string_view right) {
  // A new text is announced to screen readers as a change of the label's
  // accessible name ("Engine state: Ready"); Qt sends that event itself.
  const QString l = toQt(left);
  const QString r = toQt(right);
  if (statusLeft_->text() != l) statusLeft_->setText(l);
  if (statusRight_->text() != r) statusRight_->setText(r);
}

void MainWindow::setLedColour(LedColour colour) {
  led_->setColour(ledColourValue(colour));
}

void MainWindow::lockRigSide() {
  rig_.setInputLocked(true);
  // A control that goes off while it has the focus would hand it to the
  // next one, the address field: a key typed then would change the address
  // and start a new read. The rig table takes it instead.
  for (QWidget* w : rigControls_ + QList<QWidget*>{bandBox_}) {
    if (w->hasFocus()) rigView_->setFocus();
  }
  updateRigCommands();
  bandBox_->setEnabled(false);
  stopAction_->setEnabled(true);
}

void MainWindow::unlockRigSide() {
  // Stop clicked with the mouse holds the focus; going off, it would hand it
  // to the next control, the address field with its text selected, where a
  // key typed next would replace the address. The rig table takes it.
  if (const auto* button = qobject_cast<QToolButton*>(QApplication::focusWidget());
      button != nullptr && button->defaultAction() == stopAction_) {
    rigView_->setFocus();
  }
  // The engine unlocks the rig table itself; the controls follow it.
  updateRigCommands();
  bandBox_->setEnabled(modelSetup(link_->modelIndex()).hasBandBox);
  stopAction_->setEnabled(false);
}

void MainWindow::linkChanged(bool up) {
  linkShown_ = up;
  updateRigCommands();
  const QString tuneNote = up ? QString() : tr("No radio link: a double click cannot tune");
  fileModel_->setFrequencyNote(tuneNote);
  rigModel_->setFrequencyNote(tuneNote);
}

void MainWindow::updateRigCommands() {
  // Nothing replaces the rig table while a transfer holds it; nothing that
  // talks to the radio is offered without a link, and the entry says why.
  const bool unlocked = !rig_.inputLocked();
  for (QAction* a :
       {rigFileActions_.save, rigFileActions_.saveAs, rigFileActions_.open, readBank_}) {
    a->setEnabled(unlocked);
  }
  storeAction_->setEnabled(linkShown_ && unlocked);
  storeAction_->setToolTip(linkShown_ ? QString()
                                      : tr("No radio link: Store to Rig needs the radio"));
  tuneAction_->setEnabled(linkShown_ && unlocked);
  tuneAction_->setToolTip(linkShown_ ? QString()
                                     : tr("No radio link: Tune to Row needs the radio"));
}

void MainWindow::showSortIndicators() {
  permanent_.setSortIndication(true);
  rig_.setSortIndication(true);
}

void MainWindow::showModalError(std::string_view text, std::string_view caption) {
  queueBox(toQt(caption), toQt(text), BoxKind::Warning);
}

void MainWindow::repaint() {
  // The views repaint from the event loop as soon as the step returns; a
  // forced paint here would only cost time in the middle of a read.
  fileView_->viewport()->update();
  rigView_->viewport()->update();
}

std::string MainWindow::addressText() const {
  return addressEdit_->text().toLatin1().toStdString();
}

std::string MainWindow::bandText() const {
  return bandBox_->currentText().toLatin1().toStdString();
}

void MainWindow::showComLabel(const std::string& text, bool failed) {
  portLabel_->setText(toQt(text));
  portLabel_->setStyleSheet(failed ? QStringLiteral("color: red") : QString());
  portLabel_->setAccessibleDescription(failed ? tr("the port could not be opened") : QString());
}

void MainWindow::showPortError(const std::string& text) {
  if (quietPortError_) return;
  showFailure(toQt(text));
}

void MainWindow::applyModel(int modelIndex) {
  const ModelSetup setup = modelSetup(modelIndex);
  controller_.setModelIndex(modelIndex);
  fileModel_->editorsChanged();
  rigModel_->editorsChanged();
  bandBox_->setEnabled(setup.hasBandBox && !rig_.inputLocked());
  bandBox_->setVisible(setup.hasBandBox);
  modelLabel_->setText(toQt(setup.label));
  // The model's own address; the address field's handler decides whether
  // that restarts the read.
  addressEdit_->setText(toQt(tarnwick::addressText(setup.defaultAddress)));
  editOffsets_->setEnabled(setup.offsetsEntryEnabled);
  tick(rigGroup_, modelIndex);
  applyColumns();
}

void MainWindow::applyColumns() {
  const ColumnSet hidden = modelSetup(link_->modelIndex()).hiddenColumns;
  // Each column keeps its width; the fitted ones fit the new model's values.
  for (ChannelTableView* view : {fileView_, rigView_}) view->setHiddenColumns(hidden);
}

void MainWindow::resetBand() {
  bandBox_->setCurrentIndex(0);
}

void MainWindow::showChoices(const LinkChoices& choices) {
  tick(comGroup_, choices.portNumber);
  tick(baudGroup_, choices.baudRate);
  tick(rigGroup_, choices.modelIndex);
  addressEdit_->setText(toQt(choices.address));
  const int band = bandBox_->findText(toQt(choices.band));
  if (band >= 0) bandBox_->setCurrentIndex(band);
}

}  // namespace tarnwick::app
