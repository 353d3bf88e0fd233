#pragma once
// The main window: the permanent file above, the rig table below, each with
// its tool bar, the menus and the status bar. It is the window the transfer
// engine, the file commands, the table operations and the link choices talk
// to, and it owns everything they work on for the whole run.

#include <QMainWindow>
#include <deque>
#include <functional>
#include <memory>
#include <span>

#include "app/print/table_printer.h"
#include "app/user_prompts.h"
#include "chirp/chirp_transfer.h"
#include "civ/debug_log.h"
#include "civ/engine.h"
#include "civ/engine_window.h"
#include "civ/tserial_port.h"
#include "files/file_command_ui.h"
#include "files/file_commands.h"
#include "files/instance_lock.h"
#include "serial/tserial.h"
#include "shell/model_setup.h"
#include "shell/rig_link.h"
#include "shell/shell_settings.h"
#include "tables/channel_table.h"
#include "tables/edit_history.h"
#include "tables/permanent_index.h"
#include "tables/table_messages.h"
#include "tables/tables_controller.h"

class QAction;
class QActionGroup;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QTimer;

namespace tarnwick::app {

class ChannelTableModel;
class ChannelTableView;
class FindBar;
class TableFilter;
class QtMainThread;
class TableActions;
class OffsetsDialog;
class RoundLed;

// Where the window keeps its files (empty strings take the user's defaults)
// and who answers its boxes, questions and file dialogs.
struct WindowEnvironment {
  std::string debugLogPath;     // the debug log
  std::string documentsFolder;  // the data folder when none is stored
  // Outlives the window; none: the user, through Qt's dialogs.
  UserPrompts* prompts = nullptr;
};

class MainWindow : public QMainWindow,
                   public EngineWindow,
                   public FileCommandUi,
                   public TableMessages,
                   public SerialErrorDialog,
                   public LinkWindow,
                   public HistoryObserver {
  Q_OBJECT

 public:
  explicit MainWindow(WindowEnvironment env = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // --- What the parts of the program and the tests reach ------------------
  Engine& engine() { return *engine_; }
  FileCommands& files() { return *files_; }
  TablesController& controller() { return controller_; }
  ChannelTable& permanentTable() { return permanent_; }
  ChannelTable& rigTable() { return rig_; }
  ChannelTableView& fileView() const { return *fileView_; }
  ChannelTableView& rigView() const { return *rigView_; }
  TableActions& tableActions() const { return *tableActions_; }
  // Open: rows of another radio's file are fitted to this one at once, and
  // Save asks before writing the fitted rows over that file.
  bool openTable(TableKind kind);
  TableFilter& fileFilter() const { return *fileFilter_; }
  TableFilter& rigFilter() const { return *rigFilter_; }
  FindBar& findBar() const { return *findBar_; }
  RigLink& link() { return *link_; }
  EditHistory& history() { return history_; }
  TSerial& serial() { return *serial_; }

  // Reads the settings (once) and gives the window its stored bounds; call
  // before the window is first shown.
  void restoreWindowPlacement();
  // The start-up that runs once, right after the window is first shown.
  void firstActivation();

  // Options, "Edit &Duplex Offsets (746, 746Pro) ...".
  void editOffsets();
  // COM, "&Device...": the device the ticked COM number opens.
  void chooseDevice();
  // Edit, "Find Next" / "Find Previous": the next cell of the table the user
  // works in that holds the find bar's text; whether one was found.
  bool findNext(bool forward);
  // What Help, "About Tarnwick" shows.
  QString aboutText() const;
  // Edit, "Set for Selected Rows...", on the table the user works in.
  void setForSelectedRows();
  // File, Import and Export CHIRP CSV, for the table the user works in.
  void importChirpCsv();
  void exportChirpCsv();
  // File, "&Print..." and "Export &PDF..." of the table the user works in.
  void printTable();
  void exportPdf();

  // --- EngineWindow -------------------------------------------------------
  void setStatus(std::string_view left, std::string_view right) override;
  void setLedColour(LedColour colour) override;
  void lockRigSide() override;
  void unlockRigSide() override;
  void showSortIndicators() override;
  void showModalError(std::string_view text, std::string_view caption) override;
  void repaint() override;
  void storeEnded() override;
  void linkChanged(bool up) override;

  // --- FileCommandUi ------------------------------------------------------
  std::optional<std::string> chooseFile(const FileDialogSpec& dialog, const std::string& folder,
                                        const std::string& fileName) override;
  PromptAnswer askYesNoAbort(std::string_view text) override;
  // Also TableMessages: an error box with OK.
  void showError(std::string_view text) override;
  // TableMessages: a refused value, in the status bar.
  void showRefusal(std::string_view text) override;
  // TableMessages: rows changed to fit the radio, in a box.
  void showReport(std::string_view text) override { showInformation(text); }
  void showInformation(std::string_view text) override;
  SaveOverAnswer askSaveOver(std::string_view text) override;
  void showMarksCleared(std::string_view text) override;
  void fileNamesChanged() override;
  // The title marks each table's unsaved changes.
  void updateTitle();

  // --- SerialErrorDialog --------------------------------------------------
  void showError(const std::string& text) override;

  // --- LinkWindow ---------------------------------------------------------
  void showComLabel(const std::string& text, bool failed) override;
  void showPortError(const std::string& text) override;
  void applyModel(int modelIndex) override;
  void resetBand() override;
  void showChoices(const LinkChoices& choices) override;

  // --- HistoryObserver ----------------------------------------------------
  void historyChanged() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildTables();
  void buildLayout();
  void buildMenus();
  void buildRadioMenu();
  void buildHelpMenu();
  // Help, "&Keyboard Shortcuts": a list beside the window.
  void showShortcuts();
  // Help, "&About Tarnwick": version, licence, Qt, and where the files are.
  void showAbout();
  // Radio, "&Tune to Row": the radio tunes to the current row of the table
  // the user works in, as a double click on its frequency does.
  void tuneToCurrentRow();
  // Enables the rig table's and the radio's commands for the lock and the
  // link as they are now.
  void updateRigCommands();
  // The find bar, its Edit entries, the filter fields and Hide Empty Memories.
  void buildFindAndFilter(QMenu* edit, QMenu* options);
  QAction* hideEmpty_ = nullptr;
  // Options, "Frequencies in &MHz": the unit the tables show and take.
  QAction* frequenciesInMHz_ = nullptr;
  int hiddenMarkedAtStore_ = 0;
  QList<QWidget*> buildTableBar(QWidget* bar, QHBoxLayout* layout, bool rig, QLabel*& fileLabel);
  QWidget* buildFileBar();
  QWidget* buildRigBar();
  void applyColumns();
  void applyTableFont(const QFont& font, const QColor& colour);
  void chooseFont();
  // A menu's radio group of entries; `chosen` gets the value of a pick.
  QActionGroup* addChoices(QMenu* menu, std::span<const MenuEntry> entries, int ticked,
                           std::function<void(int)> chosen);
  void readSettings();
  // Empty, or why the settings file could not be written.
  QString writeSettings();
  void updateComCaptions();
  // The texts of the address field and of the band box.
  std::string addressText() const;
  std::string bandText() const;
  // The radio a CHIRP list is read for: model, band and offsets now.
  ChirpRadio chirpRadio() const;
  // What the paper shows of a view: its shown rows and columns, its file.
  PrintRequest printRequest(const ChannelTableView& view) const;
  bool printEmptyMemories_ = false;  // the print dialogs' last choice
  PrintLook printLook() const;
  // Runs a command of the window; a failure of the core shows its message.
  void guarded(const std::function<void()>& command);
  void showFailure(const QString& text) { queueBox(QString(), text, BoxKind::Error); }
  // Ticks the entry of a radio-group menu that carries `value`.
  static void tick(QActionGroup* group, int value);
  // Queues a box to be shown once the running step has returned, one box at
  // a time, never inside an engine step or a line-event hand-over.
  void queueBox(QString caption, QString text, BoxKind kind);
  // A report (UTF-8): its first lines in the box, the whole one to save from it.
  void queueReportBox(QString caption, const std::string& report, BoxKind kind);
  void showNextBox();
  // Stops the clock, closes the port and writes the settings; a failed
  // write is shown while the window is still up, and logged.
  void shutdown();
  // SIGTERM, SIGHUP or SIGINT: as Exit without its questions; changed
  // tables are kept in the recovery folder instead.
  void endBySignal(int signal);
  // A cell editor left open takes its text into the table as Enter would.
  void commitOpenEditors();
  // At start-up: the tables kept that way last time.
  void offerKeptTables();
  // At start-up: another window on these settings is named, and this one may
  // go on read-only: it then writes neither the settings nor the permanent
  // file. False when the user chose to close this one.
  bool claimSettings();

  WindowEnvironment env_;
  std::unique_ptr<UserPrompts> dialogs_;  // when the environment names no prompts
  UserPrompts* prompts_;
  bool endingBySignal_ = false;
  InstanceLock instanceLock_;
  bool readOnly_ = false;
  ChannelTable permanent_{TableKind::PermanentFile};
  ChannelTable rig_{TableKind::Rig};
  TablesController controller_{permanent_, rig_, *this};
  EditHistory history_{permanent_, rig_};
  ShellSettings settings_;
  bool settingsRead_ = false;
  bool freshStart_ = false;      // no settings were stored
  QString settingsObstacle_;     // what stands in the settings file's place
  bool quietPortError_ = false;  // the port error box is left out
  PermanentFileIndex index_{permanent_};
  QtMainThread* mainThread_;
  std::unique_ptr<DebugLog> log_;
  std::unique_ptr<TSerial> serial_;
  std::unique_ptr<TSerialPort> port_;
  std::unique_ptr<Engine> engine_;
  std::unique_ptr<FileCommands> files_;
  std::unique_ptr<RigLink> link_;

  ChannelTableModel* fileModel_ = nullptr;
  ChannelTableModel* rigModel_ = nullptr;
  ChannelTableView* fileView_ = nullptr;
  ChannelTableView* rigView_ = nullptr;
  TableActions* tableActions_ = nullptr;
  TableFilter* fileFilter_ = nullptr;
  TableFilter* rigFilter_ = nullptr;
  FindBar* findBar_ = nullptr;
  QTimer* tickTimer_ = nullptr;

  QWidget* permanentPanel_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QLabel* permanentFileLabel_ = nullptr;
  QLabel* rigFileLabel_ = nullptr;
  QList<QWidget*> rigControls_;  // Save, Save As, Open, Store to Rig
  // Save, Save As and Open of one table: its tool bar's buttons show them,
  // and a menu offers them.
  struct TableFileActions {
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* open = nullptr;
  };
  TableFileActions fileActions_;
  TableFileActions rigFileActions_;
  QAction* readBank_ = nullptr;
  QAction* storeAction_ = nullptr;
  QAction* tuneAction_ = nullptr;
  bool linkShown_ = false;  // as the engine last told it
  QComboBox* bandBox_ = nullptr;
  RoundLed* led_ = nullptr;
  QLabel* modelLabel_ = nullptr;
  QLabel* portLabel_ = nullptr;
  QLineEdit* addressEdit_ = nullptr;
  QLabel* statusLeft_ = nullptr;
  QLabel* statusRight_ = nullptr;
  QLabel* fileWarning_ = nullptr;  // a table that does not hold its file

  QAction* showPermanent_ = nullptr;
  QAction* editOffsets_ = nullptr;
  QAction* verifyAfterStore_ = nullptr;
  QAction* stopAction_ = nullptr;  // ends a running read or store
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* horizontalLines_ = nullptr;
  QAction* verticalLines_ = nullptr;
  OffsetsDialog* offsetsDialog_ = nullptr;
  QActionGroup* comGroup_ = nullptr;
  QActionGroup* baudGroup_ = nullptr;
  QActionGroup* rigGroup_ = nullptr;

  QFont tableFont_;
  QColor tableFontColour_ = Qt::black;
  bool startupDone_ = false;
  bool activationQueued_ = false;
  bool shutDown_ = false;

  struct Box {
    QString caption;
    QString text;
    BoxKind kind;
    QString fullReport;              // when the text shows only its first lines
    std::function<void()> answered;  // once the user has closed it
  };
  std::deque<Box> boxes_;
  bool boxOpen_ = false;
};

}  // namespace tarnwick::app
