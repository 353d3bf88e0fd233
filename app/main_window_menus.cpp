// The menus of the main window.

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/table_actions.h"
#include "app/table_view.h"
#include "rig/rig_catalogue.h"

namespace tarnwick::app {
namespace {

constexpr const char* kBaudCaptions[] = {"&300", "&1200", "&4800", "&9600", "192&00"};
constexpr int kBaudRates[] = {300, 1200, 4800, 9600, 19200};
constexpr int kMenuPorts = 8;

}  // namespace

void Tqdlform::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* open = file->addAction(tr("&Open Permanent File"), this,
                                  [this] { guarded([this] { files_->btFOpenClick(); }); });
  open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  QAction* save = file->addAction(tr("&Save Permanent File"), this,
                                  [this] { guarded([this] { files_->btFSaveClick(); }); });
  save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  file->addAction(tr("Save Permanent File &As..."), this,
                  [this] { guarded([this] { files_->btFSaveAsClick(); }); });
  file->addSeparator();
  // Ctrl+X is the tables' Cut.
  QAction* exit = file->addAction(tr("E&xit"), this, &QWidget::close);
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addActions({tableActions_->cut, tableActions_->copy, tableActions_->paste});
  edit->addSeparator();
  edit->addActions({tableActions_->insertRow, tableActions_->deleteRow});
  edit->addSeparator();
  edit->addActions({tableActions_->markAll, tableActions_->markNone});

  // "&COM": "C&OM" would share Alt+O with "&Options".
  QMenu* com = menuBar()->addMenu(tr("&COM"));
  comGroup_ = new QActionGroup(this);
  for (int n = 1; n <= kMenuPorts; ++n) {
    QAction* a = com->addAction(tr("COM &%1").arg(n));
    a->setCheckable(true);
    a->setData(n);
    comGroup_->addAction(a);
    connect(a, &QAction::triggered, this, [this, n] { guarded([&] { link_->portChosen(n); }); });
  }
  comGroup_->actions().at(1)->setChecked(true);

  QMenu* baud = menuBar()->addMenu(tr("&Baudrate"));
  baudGroup_ = new QActionGroup(this);
  for (std::size_t i = 0; i < std::size(kBaudRates); ++i) {
    QAction* a = baud->addAction(QString::fromLatin1(kBaudCaptions[i]));
    const int rate = kBaudRates[i];
    a->setCheckable(true);
    a->setData(rate);
    a->setChecked(rate == 9600);
    baudGroup_->addAction(a);
    connect(a, &QAction::triggered, this,
            [this, rate] { guarded([&] { link_->speedChosen(rate); }); });
  }

  QMenu* rig = menuBar()->addMenu(tr("&Rig"));
  rigGroup_ = new QActionGroup(this);
  for (const RigModel& model : supportedModels()) {
    QAction* a = rig->addAction(toQt(model.menuCaption));
    const int m = model.modelIndex;
    a->setCheckable(true);
    a->setData(m);
    a->setChecked(m == kModelIc756Pro);
    rigGroup_->addAction(a);
    connect(a, &QAction::triggered, this, [this, m] { guarded([&] { link_->rigChosen(m); }); });
  }

  QMenu* options = menuBar()->addMenu(tr("&Options"));
  showPermanent_ = options->addAction(tr("Show &Permanent File"));
  showPermanent_->setCheckable(true);
  showPermanent_->setChecked(true);
  connect(showPermanent_, &QAction::toggled, this, [this](bool on) { paTop_->setVisible(on); });
  editOffsets_ = options->addAction(tr("Edit &Duplex Offsets (746, 746Pro) ..."), this,
                                    [this] { guarded([this] { editOffsets(); }); });
  options->addSeparator();
  options->addAction(tr("&Font ..."), this, &Tqdlform::chooseFont);
  // The Options entries and the pop-up's are two faces of one switch.
  for (auto [caption, popupAction] :
       {std::pair{tr("Show &Horizontal Gridlines"), tableActions_->horizontalLines},
        std::pair{tr("Show &Vertical Gridlines"), tableActions_->verticalLines}}) {
    QAction* a = options->addAction(caption);
    a->setCheckable(true);
    a->setChecked(popupAction->isChecked());
    connect(a, &QAction::toggled, popupAction, &QAction::setChecked);
    connect(popupAction, &QAction::toggled, a, &QAction::setChecked);
  }
}

}  // namespace tarnwick::app
