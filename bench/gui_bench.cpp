// The desktop program's tables with a 100,000-row permanent file, measured
// beside the core doing the same work alone: Open until the first paint,
// a sort by a header click, paging through the table, a keystroke of name
// completion, and the memory the view adds. Runs on Qt's offscreen platform.

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QSettings>
#include <QSplitter>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/table_view.h"
#include "bench_support.h"
#include "files/file_commands.h"
#include "files/memory_list_format.h"
#include "generated_rows.h"
#include "quiet_prompts.h"
#include "tables/edit_history.h"
#include "tables/permanent_index.h"
#include "tables/tables_controller.h"

namespace {

using namespace tarnwick;

constexpr int kRuns = 5;

// Wall time: the window's work includes what the event loop does for it.
double wallMs() {
  return bench::clockMs(CLOCK_MONOTONIC);
}

double medianMs(const std::function<void()>& setup, const std::function<void()>& op) {
  return bench::medianMs(kRuns, CLOCK_MONOTONIC, setup, op);
}

// What the process holds: memory freed but kept by the allocator is given
// back first, so that only live data counts.
long residentKb() {
  malloc_trim(0);
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, k, mods, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, k, mods, text);
  QApplication::sendEvent(w, &release);
}

void line(const char* what, double ms, double versus, const char* baseName, double limit) {
  std::printf("%-44s %9.2f ms  %5.2f x %-18s (limit %.1f) %s\n", what, ms, ms / versus, baseName,
              limit, ms / versus <= limit ? "ok" : "OVER");
}

// Runs this program again to measure one case; returns the KiB it prints.
long childMeasure(const char* mode, const std::string& path) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command = "'" + self + "' " + mode + " '" + path + "' 2>/dev/null";
  FILE* child = popen(command.c_str(), "r");
  long kb = -1;
  if (child != nullptr) {
    if (std::fscanf(child, "%ld", &kb) != 1) kb = -1;
    pclose(child);
  }
  return kb;
}

// The process's resident KiB as `ps` and a system monitor show it: nothing
// is given back to the system first.
long plainResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

// The program started as a user starts it, on its documents folder `folder`
// (with or without a permanent file): its resident KiB once the window is up.
int measureStart(const std::string& folder, QApplication& app) {
  {
    // A port that is not there, as a user without a radio has: no first-start dialog.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("Morvane-soft"), QStringLiteral("rigbench"));
    // Nothing of the other run: its data folder would be this one's.
    settings.clear();
    settings.setValue(QStringLiteral("qdl/ports/COM2"), QStringLiteral("/nonexistent/tty"));
  }
  bench::QuietPrompts prompts;
  app::WindowEnvironment env;
  env.documentsFolder = folder;
  env.debugLogPath = folder + "/icomdeb.txt";
  env.prompts = &prompts;
  app::MainWindow window(env);
  window.firstActivation();
  window.resize(1024, 700);
  window.show();
  // What a user waits for: the first paints and what the event loop does after them.
  for (int i = 0; i < 20; ++i) {
    app.processEvents();
    window.fileView().viewport()->repaint();
    usleep(25'000);
  }
  std::printf("%ld\n", plainResidentKb());
  return 0;
}

// The KiB that opening the file adds: into the core's tables with the look-up
// index and the history the program keeps, or into the program's window.
int measureMemory(const std::string& mode, const std::string& path, QApplication& app) {
  if (mode == "--started-on") return measureStart(path, app);
  bench::NamedFileUi ui;
  ui.file = path;
  if (mode == "--memory-core") {
    ChannelTable file(TableKind::PermanentFile), rig(TableKind::Rig);
    PermanentFileIndex index(file);
    EditHistory history(file, rig);
    FileCommands commands(file, rig, ui);
    const long before = residentKb();
    commands.open(TableKind::PermanentFile);
    std::printf("%ld\n", residentKb() - before);
    return 0;
  }
  bench::UnattendedWindow unattended(path);
  app::MainWindow& window = unattended.window;
  window.resize(800, 600);
  window.show();
  QApplication::processEvents();
  window.fileView().viewport()->repaint();
  const long before = residentKb();
  window.files().open(TableKind::PermanentFile);
  window.fileView().viewport()->repaint();
  app.processEvents();
  std::printf("%ld\n", residentKb() - before);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The program's settings, log and backups go to a folder of the run, never
  // the user's.
  const std::filesystem::path home = std::filesystem::temp_directory_path() /
                                     ("tarnwick-gui-bench-home-" + std::to_string(getpid()));
  if (argc != 3) {
    std::filesystem::create_directories(home);
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"}) {
      qputenv(var, QByteArray::fromStdString((home / var).string()));
    }
  }
  QApplication app(argc, argv);
  if (argc == 3) return measureMemory(argv[1], argv[2], app);

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarnwick-gui-bench";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "permanent.txt").string();
  {
    std::string bytes;
    for (const ChannelRecord& r : bench::generatedRows()) appendMemoryListLine(bytes, r);
    std::ofstream(path, std::ios::binary) << bytes;
  }
  const double fileKb = static_cast<double>(std::filesystem::file_size(path)) / 1024.0;

  // The core alone, as the program holds it (the permanent file's look-up
  // index and the undo history watch the tables) but with no view: Open and
  // a sort by Name, and the memory the open file takes.
  ChannelTable coreFile(TableKind::PermanentFile), coreRig(TableKind::Rig);
  PermanentFileIndex coreIndex(coreFile);
  EditHistory coreHistory(coreFile, coreRig);
  bench::NamedFileUi coreUi;
  coreUi.file = path;
  FileCommands coreCommands(coreFile, coreRig, coreUi);
  const double coreOpen = medianMs([] {}, [&] { coreCommands.open(TableKind::PermanentFile); });
  bench::NoMessages messages;
  TablesController coreController(coreFile, coreRig, messages);
  const double coreSort = medianMs(
      [&] {
        coreCommands.open(TableKind::PermanentFile);
        coreFile.setSortIndication(true);
      },
      [&] { coreController.clickSort(coreController.fileTable(), colName, false); });
  coreFile.assign({}, false);
  coreHistory.clear();

  // The program's window, shown offscreen.
  // No radio here: the port's error box is answered at once. A sorted table
  // is a changed one: Open goes on without saving it (the question hears No).
  bench::UnattendedWindow unattended(path);
  app::MainWindow& window = unattended.window;
  window.resize(800, 600);
  window.show();
  // The permanent file gets most of the window, as a user working in it would.
  if (auto* splitter = window.findChild<QSplitter*>()) splitter->setSizes({450, 100});
  QApplication::processEvents();
  app::ChannelTableView& view = window.fileView();
  view.viewport()->repaint();

  const double guiOpen = medianMs([] {},
                                  [&] {
                                    window.files().open(TableKind::PermanentFile);
                                    view.viewport()->repaint();
                                  });

  QHeaderView* header = view.horizontalHeader();
  const QPoint nameSection(header->sectionViewportPosition(colName) + 10, header->height() / 2);
  const double guiSort = medianMs(
      [&] {
        window.files().open(TableKind::PermanentFile);
        window.permanentTable().setSortIndication(true);
        view.viewport()->repaint();
      },
      [&] {
        QMouseEvent press(QEvent::MouseButtonPress, nameSection,
                          header->viewport()->mapToGlobal(nameSection), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, nameSection,
                            header->viewport()->mapToGlobal(nameSection), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &release);
        view.viewport()->repaint();
      });

  // Page Down through the whole table, one full repaint per page.
  view.setFocus();
  view.setCurrentIndex(view.model()->index(0, colName));
  std::vector<double> pages;
  while (view.currentIndex().row() < view.model()->rowCount() - 1) {
    const double t0 = wallMs();
    key(&view, Qt::Key_PageDown);
    view.viewport()->repaint();
    pages.push_back(wallMs() - t0);
  }

  // Name completion over every name of the file (the start-up load adds them).
  window.files().applySettings(dir.string() + "/", "permanent.txt", "", "");
  window.files().loadPermanentFile();
  view.setCurrentIndex(view.model()->index(0, colName));
  key(&view, Qt::Key_F2);
  // The cell's own editor; it may close under the keys (a guard notices).
  QPointer<QLineEdit> edit = qobject_cast<QLineEdit*>(view.indexWidget(view.currentIndex()));
  std::vector<double> keys;
  // On the offscreen platform the completion list's window takes the focus
  // a desktop leaves with the editor, which would close on losing it.
  struct KeepFocus : QObject {
    bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::FocusOut; }
  } keepFocus;
  if (edit != nullptr) {
    edit->installEventFilter(&keepFocus);
    edit->clear();
    for (const char* k : {"C", "H", "1", "2", "3", "4"}) {
      if (edit.isNull()) break;
      const double t0 = wallMs();
      key(edit, Qt::Key_unknown, Qt::NoModifier, QString::fromLatin1(k));
      QApplication::processEvents();
      keys.push_back(wallMs() - t0);
    }
  }

  std::printf("%d rows, %.0f KiB on disk, median of %d runs (wall clock, offscreen)\n",
              bench::kGeneratedRows, fileKb, kRuns);
  std::printf("%-44s %9.2f ms\n", "core Open alone", coreOpen);
  std::printf("%-44s %9.2f ms\n", "core sort by Name alone", coreSort);
  line("Open into the view, until painted", guiOpen, coreOpen, "core Open", 1.5);
  line("sort by Name through a header click, painted", guiSort, coreSort, "core sort", 1.5);
  const double page = bench::median(pages);
  std::printf("%-44s %9.2f ms  over %zu pages, max %.2f ms (limit 8 ms) %s\n",
              "Page Down and repaint, median", page, pages.size(),
              *std::max_element(pages.begin(), pages.end()), page <= 8 ? "ok" : "OVER");
  if (keys.size() < 6) {
    std::printf("name completion: the editor took %zu of 6 keys\n", keys.size());
  } else {
    const double worst = *std::max_element(keys.begin(), keys.end());
    std::printf("%-44s %9.2f ms  median %.2f ms (limit 10 ms) %s\n",
                "name completion keystroke, worst", worst, bench::median(keys),
                worst <= 10 ? "ok" : "OVER");
  }
  // A check that fails gives no figure, never a good one.
  // Memory, each in a process of its own so that nothing measured before
  // stays resident: the core holding the open file, then the whole window.
  const long coreKb = childMeasure("--memory-core", path);
  const long guiKb = childMeasure("--memory-window", path);
  const double corePerDisk = static_cast<double>(coreKb) / fileKb;
  const double perDisk = static_cast<double>(guiKb) / fileKb;
  std::printf("%-44s %9ld KiB  %5.2f x the file on disk\n", "core holding the open file", coreKb,
              corePerDisk);
  std::printf("%-44s %9ld KiB  %5.2f x the file on disk (limit 8) %s\n",
              "window with the file open minus empty window", guiKb, perDisk,
              guiKb >= 0 && perDisk <= 8 ? "ok" : "OVER");
  // As a user sees it: the program started on the file and on no file, side
  // by side, each its whole resident size once the window is up.
  const std::filesystem::path empty = dir / "empty-documents";
  const std::filesystem::path full = dir / "documents";
  std::filesystem::create_directories(empty);
  std::filesystem::create_directories(full);
  std::filesystem::copy_file(path, full / "icommemo.txt",
                             std::filesystem::copy_options::overwrite_existing);
  const long emptyRss = childMeasure("--started-on", empty.string());
  const long fullRss = childMeasure("--started-on", full.string());
  const double started = static_cast<double>(fullRss - emptyRss) / fileKb;
  std::printf("%-44s %9ld KiB  (empty start %ld KiB)\n", "resident, started on the file", fullRss,
              emptyRss);
  std::printf("%-44s %9ld KiB  %5.2f x the file on disk (limit 8) %s\n",
              "started on the file minus an empty start", fullRss - emptyRss, started,
              emptyRss > 0 && fullRss > 0 && started <= 8 ? "ok" : "OVER");
  std::filesystem::remove_all(dir);
  std::filesystem::remove_all(home);
  return 0;
}
