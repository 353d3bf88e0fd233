// Start-up, the look of the tables, and shutdown.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include "app/font_dialog.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/table_actions.h"
#include "app/table_view.h"
#include "rig/rig_catalogue.h"
#include "shell/table_look.h"
#include "tables/table_ops.h"

namespace tarnwick::app {
namespace {

std::string documentsFolder(const WindowEnvironment& env) {
  if (!env.documentsFolder.empty()) return env.documentsFolder;
  // Never the root of the file system: the home folder when there is no
  // documents folder.
  QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (docs.isEmpty()) docs = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  return pathFromQt(docs);
}

void tick(QActionGroup* group, int value) {
  for (QAction* a : group->actions()) {
    if (a->data().toInt() == value) a->setChecked(true);
  }
}

}  // namespace

void Tqdlform::firstActivation() {
  if (startupDone_) return;
  startupDone_ = true;

  // Fresh-start values.
  const int portNumber = 2;
  const int baudRate = 9600;
  const int modelIndex = kModelIc756Pro;
  const int address = 0x5C;

  files_->applySettings("", "", "", documentsFolder(env_));
  fileNamesChanged();
  link_->start(portNumber, baudRate, modelIndex, address);
  edAdr_->setText(QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper());
  tick(comGroup_, portNumber);
  tick(baudGroup_, baudRate);

  applyTableFont(QFont(QStringLiteral("Courier New"), 8), Qt::black);
  sgFile_.names().clear();
  sgRig_.names().clear();
  guarded([this] { files_->loadPermanentFile(); });
  applyColumns();
}

void Tqdlform::applyTableFont(const QFont& font, const QColor& colour) {
  tableFont_ = font;
  tableFontColour_ = colour;
  QFont active = font;
  active.setBold(true);
  const int dpi = screen() != nullptr ? qRound(screen()->logicalDotsPerInchY()) : 96;
  const int pixels =
      font.pixelSize() > 0 ? font.pixelSize() : fontPixelHeight(font.pointSize(), dpi);
  for (ChannelTableView* view : {rigView_, fileView_}) {
    view->setTableFont(font, colour);
    view->setRowHeight(rowHeightForFont(pixels));
  }
}

void Tqdlform::chooseFont() {
  QFont font = tableFont_;
  QColor colour = tableFontColour_;
  if (FontChoiceDialog::choose(this, font, colour)) applyTableFont(font, colour);
}

void Tqdlform::editOffsets() {}

void Tqdlform::shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  timer1_->stop();
  try {
    serial_->setActive(false);
  } catch (const std::exception&) {
    // Closing a port that went away is not worth a box at exit.
  }
}

}  // namespace tarnwick::app
