#include "app/main_window.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/accessibility.h"
#include "app/offsets_dialog.h"
#include "app/qt_main_thread.h"
#include "app/qt_text.h"
#include "app/signal_watch.h"
#include "app/round_led.h"
#include "app/table_actions.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "rig/rig_catalogue.h"
#include "tables/column_layout.h"
#include "tables/table_ops.h"

namespace tarnwick::app {
namespace {

constexpr int kTopPanelHeight = 161;
constexpr int kMinPanelHeight = 60;
constexpr int kSplitterWidth = 5;
constexpr int kStatusLeftWidth = 100;

QLabel* boldLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  return label;
}

QToolButton* barButton(const QString& text, const QString& accessibleName, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setAccessibleName(accessibleName);
  // In the tab order like every other control of the bar.
  button->setFocusPolicy(Qt::StrongFocus);
  return button;
}

// A table under its tool bar, never lower than the splitter allows.
QWidget* tablePanel(QWidget* bar, QWidget* table) {
  auto* panel = new QWidget;
  panel->setMinimumHeight(kMinPanelHeight);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(table);
  return panel;
}

}  // namespace

MainWindow::MainWindow(WindowEnvironment env, QWidget* parent)
    : QMainWindow(parent), env_(std::move(env)), mainThread_(new QtMainThread(this)) {
  setWindowTitle(QStringLiteral("Tarnwick V0.71d"));
  setObjectName(QStringLiteral("qdlform"));
  log_ = std::make_unique<DebugLog>(
      env_.debugLogPath.empty() ? defaultDebugLogPath() : std::filesystem::path(env_.debugLogPath));
  mainThread_->setErrorHandler(
      [this](const std::exception& e) { showFailure(QString::fromLocal8Bit(e.what())); });
  serial_ = std::make_unique<TSerial>(*mainThread_);
  serial_->setErrorDialog(this);
  applyCivLineSettings(*serial_);
  port_ = std::make_unique<TSerialPort>(*serial_);
  engine_ = std::make_unique<Engine>(permanent_, rig_, index_, *port_, *log_, *this, *mainThread_);
  connectReceiveEvent(*serial_, *engine_);
  files_ = std::make_unique<FileCommands>(permanent_, rig_, *this);
  link_ = std::make_unique<RigLink>(*serial_, *engine_, *log_, *this);

  controller_.setHistory(&history_);
  buildTables();
  buildLayout();
  buildMenus();
  ofsForm_ = new OffsetsDialog(this);

  // The window as it is before the settings are read: empty rig rows until
  // the first read sizes the table for the radio.
  rig_.setRowCount(kStartupRigRows + 1);
  ResetHeaders(permanent_, rig_);
  engine_->setEngineState(smNoInit);
  lockRigSide();
  log_->createIfMissing();
  log_->appendDebugLine("Program start");

  // Ended from outside: the settings, the port and the unsaved tables are
  // dealt with as at Exit, without a question nobody would answer.
  new SignalWatch([this](int signal) { endBySignal(signal); }, this);

  // The engine's clock ticks from now on, for the whole run.
  timer1_ = new QTimer(this);
  timer1_->setInterval(1000);
  connect(timer1_, &QTimer::timeout, this, [this] { guarded([this] { engine_->tick(); }); });
  timer1_->start();
}

MainWindow::~MainWindow() {
  shutdown();
  // The views and models watch the tables, which go before the window's
  // children would: take them down first.
  delete tableActions_;
  delete takeCentralWidget();
  delete fileModel_;
  delete rigModel_;
}

void MainWindow::buildTables() {
  fileModel_ = new ChannelTableModel(permanent_, controller_, this);
  rigModel_ = new ChannelTableModel(rig_, controller_, this);
  for (ChannelTableModel* m : {fileModel_, rigModel_}) {
    m->setErrorHandler([this](const QString& text) { showFailure(text); });
  }
  fileView_ = new ChannelTableView(*fileModel_);
  rigView_ = new ChannelTableView(*rigModel_);
  tableActions_ = new TableActions(controller_, *fileView_, *rigView_, this);
  connect(tableActions_->font, &QAction::triggered, this, &MainWindow::chooseFont);
  for (ChannelTableView* view : {fileView_, rigView_}) {
    ChannelTable& table = view == fileView_ ? permanent_ : rig_;
    connect(view, &ChannelTableView::frequencyDoubleClicked, this, [this, &table](int row) {
      guarded([&] { engine_->tuneFromCell(table, row, colFrequency); });
    });
  }
}

void MainWindow::buildLayout() {
  QWidget* fileBar = buildFileBar();
  QWidget* rigBar = buildRigBar();
  paTop_ = tablePanel(fileBar, fileView_);
  paTop_->setObjectName(QStringLiteral("paTop"));
  QWidget* rigPanel = tablePanel(rigBar, rigView_);

  splitter_ = new QSplitter(Qt::Vertical);
  splitter_->setHandleWidth(kSplitterWidth);
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(paTop_);
  splitter_->addWidget(rigPanel);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({kTopPanelHeight, 600});
  splitter_->handle(1)->setAccessibleName(tr("Divider between the tables"));
  setCentralWidget(splitter_);
  // Tab goes through the window as it reads: each bar, then its table.
  chainTabOrder({fileBar, fileView_, rigBar, rigView_});

  statusLeft_ = new QLabel;
  statusLeft_->setFixedWidth(kStatusLeftWidth);
  setAccessibleCaption(statusLeft_, tr("Engine state"));
  statusRight_ = new QLabel;
  setAccessibleCaption(statusRight_, tr("Engine detail"));
  statusBar()->addWidget(statusLeft_);
  statusBar()->addWidget(statusRight_, 1);
  fileWarning_ = new QLabel;
  fileWarning_->setStyleSheet(QStringLiteral("color: #b00000"));
  fileWarning_->hide();
  setAccessibleCaption(fileWarning_, tr("File warning"));
  statusBar()->addPermanentWidget(fileWarning_);
  statusBar()->setSizeGripEnabled(true);
  resize(800, 600);
}

// A table's tool bar: its bold caption, Save, Save As and Open, the extra
// buttons, and the bold name of its file. Returns the buttons.
QList<QWidget*> MainWindow::buildTableBar(QWidget* bar, QHBoxLayout* layout, bool rig,
                                        QLabel*& fileLabel) {
  const QString table = rig ? tr("rig table") : tr("permanent file");
  bar->setAccessibleName(rig ? tr("Rig tool bar") : tr("Permanent file tool bar"));
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(boldLabel(rig ? tr("Rig") : tr("File"), bar));
  struct Command {
    QString caption;
    QString name;  // what a screen reader says
    std::function<void()> run;
  };
  const Command commands[] = {
      {tr("Save"), tr("Save %1").arg(table),
       [this, rig] { rig ? files_->save(TableKind::Rig) : files_->save(TableKind::PermanentFile); }},
      {tr("Save As"), tr("Save %1 as").arg(table),
       [this, rig] { rig ? files_->saveAs(TableKind::Rig) : files_->saveAs(TableKind::PermanentFile); }},
      {tr("Open"), tr("Open %1").arg(table),
       [this, rig] { rig ? files_->open(TableKind::Rig) : files_->open(TableKind::PermanentFile); }}};
  QList<QWidget*> buttons;
  for (const auto& [caption, name, command] : commands) {
    auto* button = barButton(caption, name, bar);
    connect(button, &QToolButton::clicked, this, [this, command] { guarded(command); });
    layout->addWidget(button);
    buttons << button;
  }
  if (rig) {
    auto* store = barButton(tr("Store to Rig"), tr("Store to Rig"), bar);
    connect(store, &QToolButton::clicked, this,
            [this] { guarded([this] { engine_->storeChangedRows(); }); });
    layout->addWidget(store);
    buttons << store;
  }
  fileLabel = boldLabel(QString(), bar);
  setAccessibleCaption(fileLabel, rig ? tr("Rig file name") : tr("Permanent file name"));
  layout->addWidget(fileLabel);
  return buttons;
}

QWidget* MainWindow::buildFileBar() {
  auto* bar = new QWidget;
  auto* layout = new QHBoxLayout(bar);
  buildTableBar(bar, layout, false, permanentFileLabel_);
  layout->addStretch();
  return bar;
}

QWidget* MainWindow::buildRigBar() {
  auto* bar = new QWidget;
  auto* layout = new QHBoxLayout(bar);
  rigControls_ = buildTableBar(bar, layout, true, rigFileLabel_);

  cbBank_ = new QComboBox(bar);
  cbBank_->addItems(
      {QStringLiteral("144 MHz"), QStringLiteral("430 MHz"), QStringLiteral("1240 MHz")});
  cbBank_->setAccessibleName(tr("IC-910 band"));
  addHiddenCaption(cbBank_, cbBank_->accessibleName());
  cbBank_->setEnabled(false);
  connect(cbBank_, &QComboBox::activated, this,
          [this] { guarded([this] { link_->bandChanged(); }); });
  layout->addWidget(cbBank_);

  comled_ = new RoundLed(bar);
  comled_->setOnOff(true);
  layout->addWidget(comled_);
  modlabel_ = new QLabel(bar);
  setAccessibleCaption(modlabel_, tr("Radio model"));
  layout->addWidget(modlabel_);
  comlabel_ = new QLabel(bar);
  setAccessibleCaption(comlabel_, tr("Serial port"));
  layout->addWidget(comlabel_);

  auto* adrLabel = new QLabel(tr("CI-V Adress"), bar);
  edAdr_ = new QLineEdit(bar);
  edAdr_->setMaxLength(2);
  edAdr_->setFixedWidth(QFontMetrics(edAdr_->font()).horizontalAdvance(QStringLiteral("WWW")) + 8);
  edAdr_->setAccessibleName(tr("CI-V Adress"));
  adrLabel->setBuddy(edAdr_);
  connect(edAdr_, &QLineEdit::textChanged, this, [this](const QString& text) {
    guarded([&] { link_->addressChanged(text.toLatin1().toStdString()); });
  });
  layout->addWidget(adrLabel);
  layout->addWidget(edAdr_);
  layout->addStretch();
  return bar;
}

QString MainWindow::statusLeft() const {
  return statusLeft_->text();
}
QString MainWindow::statusRight() const {
  return statusRight_->text();
}
QString MainWindow::comLabelText() const {
  return comlabel_->text();
}

void MainWindow::guarded(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    showFailure(QString::fromLocal8Bit(e.what()));
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Activation events do not always come (offscreen, no window manager):
  // the start-up runs once, right after the window is first shown.
  if (!startupDone_ && !activationQueued_) {
    activationQueued_ = true;
    QTimer::singleShot(0, this, [this] { firstActivation(); });
  }
}

}  // namespace tarnwick::app
