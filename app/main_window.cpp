#include "app/main_window.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/accessibility.h"
#include "app/dialog_prompts.h"
#include "app/offsets_dialog.h"
#include "app/qt_main_thread.h"
#include "app/qt_text.h"
#include "app/round_led.h"
#include "app/signal_watch.h"
#include "app/table_actions.h"
#include "app/table_filter.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "app/two_row_bar.h"
#include "rig/rig_catalogue.h"
#include "shell/window_title.h"
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
    : QMainWindow(parent),
      env_(std::move(env)),
      dialogs_(env_.prompts ? nullptr : std::make_unique<DialogPrompts>(*this)),
      prompts_(env_.prompts ? env_.prompts : dialogs_.get()),
      mainThread_(new QtMainThread(this)) {
  setWindowTitle(toQt(kProgramTitle));
  setObjectName(QStringLiteral("mainWindow"));
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
  link_->guardRigTable(rig_, *files_);

  controller_.setHistory(&history_);
  controller_.setRigNameLength(
      [this](int memory) { return engine_->answeredNameLengthOf(memory); });
  buildTables();
  buildLayout();
  buildMenus();
  offsetsDialog_ = new OffsetsDialog(this);

  // The window as it is before the settings are read: empty rig rows until
  // the first read sizes the table for the radio.
  rig_.setRowCount(kStartupRigRows + 1);
  ResetHeaders(permanent_, rig_);
  engine_->setEngineState(smNoInit);
  lockRigSide();
  linkChanged(false);
  log_->createIfMissing();
  log_->appendDebugLine("Program start");
  if (!log_->notAFile().empty()) showInformation(log_->notAFile());

  // Ended from outside: the settings, the port and the unsaved tables are
  // dealt with as at Exit, without a question nobody would answer.
  new SignalWatch([this](int signal) { endBySignal(signal); }, this);

  // The engine's clock ticks from now on, for the whole run.
  tickTimer_ = new QTimer(this);
  tickTimer_->setInterval(1000);
  connect(tickTimer_, &QTimer::timeout, this, [this] {
    guarded([this] {
      engine_->tick();
      // Watches for a device or a radio to come back; not under an open
      // box, which would get a question on top of it.
      if (QApplication::activeModalWidget() == nullptr) link_->tick();
    });
  });
  tickTimer_->start();
}

MainWindow::~MainWindow() {
  shutdown();
  // The views and models watch the tables, which go before the window's
  // children would: take them down first.
  delete tableActions_;
  // The filters watch the tables too.
  delete fileFilter_;
  delete rigFilter_;
  delete takeCentralWidget();
  delete fileModel_;
  delete rigModel_;
}

void MainWindow::buildTables() {
  fileModel_ = new ChannelTableModel(permanent_, controller_, this);
  rigModel_ = new ChannelTableModel(rig_, controller_, this);
  for (ChannelTableModel* m : {fileModel_, rigModel_}) {
    m->setErrorHandler([this](const QString& text) { showFailure(text); });
    connect(m, &ChannelTableModel::tableModifiedChanged, this, &MainWindow::updateTitle);
  }
  fileView_ = new ChannelTableView(*fileModel_);
  rigView_ = new ChannelTableView(*rigModel_);
  tableActions_ = new TableActions(controller_, *fileView_, *rigView_, this);
  connect(tableActions_->font, &QAction::triggered, this, &MainWindow::chooseFont);
  for (ChannelTableView* view : {fileView_, rigView_}) {
    ChannelTable& table = view == fileView_ ? permanent_ : rig_;
    connect(view, &ChannelTableView::frequencyDoubleClicked, this, [this, &table](int row) {
      if (!engine_->linkUp()) {
        showRefusal(tr("No radio link: a double click cannot tune").toStdString());
        return;
      }
      guarded([&] { engine_->tuneFromCell(table, row, colFrequency); });
    });
  }
}

void MainWindow::buildLayout() {
  QWidget* fileBar = buildFileBar();
  QWidget* rigBar = buildRigBar();
  permanentPanel_ = tablePanel(fileBar, fileView_);
  permanentPanel_->setObjectName(QStringLiteral("permanentPanel"));
  QWidget* rigPanel = tablePanel(rigBar, rigView_);

  splitter_ = new QSplitter(Qt::Vertical);
  splitter_->setHandleWidth(kSplitterWidth);
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(permanentPanel_);
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
// buttons, and the bold name of its file. Each button shows an action that a
// menu offers too, with its key. Returns the buttons.
QList<QWidget*> MainWindow::buildTableBar(QWidget* bar, QHBoxLayout* layout, bool rig,
                                          QLabel*& fileLabel) {
  const TableKind kind = rig ? TableKind::Rig : TableKind::PermanentFile;
  const QString table = rig ? tr("rig table") : tr("permanent file");
  bar->setAccessibleName(rig ? tr("Rig tool bar") : tr("Permanent file tool bar"));
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(boldLabel(rig ? tr("Rig") : tr("File"), bar));
  // The desktop's keys for the permanent file; the rig table's add Alt.
  const Qt::KeyboardModifiers keys =
      rig ? Qt::ControlModifier | Qt::AltModifier : Qt::KeyboardModifiers(Qt::ControlModifier);
  TableFileActions& actions = rig ? rigFileActions_ : fileActions_;
  struct Command {
    QString caption;
    QString menuText;
    QString name;  // what a screen reader says
    QKeySequence key;
    std::function<void()> run;
    QAction*& action;
  };
  const Command commands[] = {
      {tr("Save"), rig ? tr("Sa&ve Rig Table") : tr("&Save Permanent File"),
       tr("Save %1").arg(table), QKeySequence(QKeyCombination(keys, Qt::Key_S)),
       [this, kind] { files_->save(kind); }, actions.save},
      {tr("Save As"), rig ? tr("Save Rig Table &As...") : tr("Save Permanent File &As..."),
       tr("Save %1 as").arg(table),
       QKeySequence(QKeyCombination(keys | Qt::ShiftModifier, Qt::Key_S)),
       [this, kind] { files_->saveAs(kind); }, actions.saveAs},
      {tr("Open"), rig ? tr("&Open Rig Table...") : tr("&Open Permanent File"),
       tr("Open %1").arg(table), QKeySequence(QKeyCombination(keys, Qt::Key_O)),
       [this, kind] { openTable(kind); }, actions.open}};
  QList<QWidget*> buttons;
  const auto addButton = [&](QAction* action, const QString& name) {
    auto* button = barButton(QString(), name, bar);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(button);
    return button;
  };
  for (const Command& c : commands) {
    c.action = new QAction(c.menuText, this);
    c.action->setIconText(c.caption);
    c.action->setShortcut(c.key);
    connect(c.action, &QAction::triggered, this, [this, run = c.run] { guarded(run); });
    buttons << addButton(c.action, c.name);
  }
  if (rig) {
    storeAction_ = new QAction(tr("&Store to Rig"), this);
    storeAction_->setIconText(tr("Store to Rig"));
    storeAction_->setShortcut(QKeySequence(Qt::Key_F6));
    connect(storeAction_, &QAction::triggered, this, [this] {
      // Marked rows are stored whether the filter shows them or not.
      hiddenMarkedAtStore_ = rigFilter_->hiddenMarkedRows();
      guarded([this] { engine_->storeChangedRows(); });
    });
    buttons << addButton(storeAction_, tr("Store to Rig"));
    // Not a rig control: it is the one that works while the rig side is locked.
    stopAction_ = new QAction(tr("Sto&p"), this);
    stopAction_->setShortcut(QKeySequence(Qt::Key_Escape));
    stopAction_->setToolTip(tr("Stop the read or store (Esc)"));
    stopAction_->setEnabled(false);  // while a transfer holds the rig side
    connect(stopAction_, &QAction::triggered, this,
            [this] { guarded([this] { engine_->stopTransfer(); }); });
    // Escape in an open cell editor leaves the cell as it was: see eventFilter.
    stopAction_->installEventFilter(this);
    addButton(stopAction_, tr("Stop"));
  }
  fileLabel = boldLabel(QString(), bar);
  setAccessibleCaption(fileLabel, rig ? tr("Rig file name") : tr("Permanent file name"));
  layout->addWidget(fileLabel);
  return buttons;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Escape pressed while a transfer runs stops it, unless a cell editor has
  // the key: there it only closes the editor, as it always does.
  if (watched == stopAction_ && event->type() == QEvent::Shortcut) {
    QWidget* focus = QApplication::focusWidget();
    const bool inEditor = focus != nullptr && focus != fileView_ && focus != rigView_ &&
                          (fileView_->isAncestorOf(focus) || rigView_->isAncestorOf(focus));
    if (inEditor) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QCoreApplication::sendEvent(focus, &key);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

QWidget* MainWindow::buildFileBar() {
  auto* bar = new QWidget;
  auto* layout = new QHBoxLayout(bar);
  buildTableBar(bar, layout, false, permanentFileLabel_);
  fileFilter_ = new TableFilter(*fileView_, bar);
  layout->addWidget(&fileFilter_->field());
  layout->addWidget(&fileFilter_->countLabel());
  layout->addStretch();
  return bar;
}

QWidget* MainWindow::buildRigBar() {
  // The commands, then the link's controls and the filter: two rows where
  // the window is narrow.
  auto* commands = new QWidget;
  auto* commandsLayout = new QHBoxLayout(commands);
  rigControls_ = buildTableBar(commands, commandsLayout, true, rigFileLabel_);
  commandsLayout->addStretch();  // on a row of its own, the buttons stay left
  auto* bar = new QWidget;
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(4, 2, 4, 2);

  bandBox_ = new QComboBox(bar);
  bandBox_->addItems(
      {QStringLiteral("144 MHz"), QStringLiteral("430 MHz"), QStringLiteral("1240 MHz")});
  bandBox_->setAccessibleName(tr("IC-910 band"));
  addHiddenCaption(bandBox_, bandBox_->accessibleName());
  bandBox_->setEnabled(false);
  connect(bandBox_, &QComboBox::activated, this, [this] {
    guarded([this] { link_->bandChanged(bandText()); });
    // Back to the table, also once the list has closed: the band box goes
    // off for the read and would pass the focus on to the address field.
    rigView_->setFocus();
    QTimer::singleShot(0, rigView_, [this] { rigView_->setFocus(); });
  });
  layout->addWidget(bandBox_);

  led_ = new RoundLed(bar);
  led_->setOn(true);
  layout->addWidget(led_);
  modelLabel_ = new QLabel(bar);
  setAccessibleCaption(modelLabel_, tr("Radio model"));
  layout->addWidget(modelLabel_);
  portLabel_ = new QLabel(bar);
  setAccessibleCaption(portLabel_, tr("Serial port"));
  layout->addWidget(portLabel_);

  auto* addressLabel = new QLabel(tr("CI-V Adress"), bar);
  addressEdit_ = new QLineEdit(bar);
  addressEdit_->setMaxLength(2);
  addressEdit_->setFixedWidth(
      QFontMetrics(addressEdit_->font()).horizontalAdvance(QStringLiteral("WWW")) + 8);
  addressEdit_->setAccessibleName(tr("CI-V Adress"));
  addressLabel->setBuddy(addressEdit_);
  connect(addressEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    guarded([&] { link_->addressChanged(text.toLatin1().toStdString()); });
  });
  layout->addWidget(addressLabel);
  layout->addWidget(addressEdit_);
  rigFilter_ = new TableFilter(*rigView_, bar);
  layout->addWidget(&rigFilter_->field());
  layout->addWidget(&rigFilter_->countLabel());
  layout->addStretch();
  auto* both = new TwoRowBar(commands, bar);
  both->setAccessibleName(commands->accessibleName());
  commands->setAccessibleName(QString());
  return both;
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

bool MainWindow::openTable(TableKind kind) {
  if (!files_->open(kind)) return false;
  if (kind == TableKind::Rig) files_->rigRowsFitted(controller_.fitRigRows(), engine_->radioName());
  return true;
}

}  // namespace tarnwick::app
