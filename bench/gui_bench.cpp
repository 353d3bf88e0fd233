// The desktop program's tables with a 100,000-row permanent file, measured
// beside the core doing the same work alone: Open until the first paint,
// a sort by a header click, paging through the table, a keystroke of name
// completion, and the memory the view adds. Runs on Qt's offscreen platform.

#include <time.h>

#include <QApplication>
#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/table_view.h"
#include "files/file_commands.h"
#include "files/memory_list_format.h"
#include "generated_rows.h"
#include "tables/tables_controller.h"

namespace {

using namespace tarnwick;

constexpr int kRuns = 5;

double wallMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double medianMs(const std::function<void()>& setup, const std::function<void()>& op) {
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    setup();
    const double t0 = wallMs();
    op();
    ms.push_back(wallMs() - t0);
  }
  return median(ms);
}

long residentKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Files : FileCommandUi {
  std::string path;
  std::optional<std::string> chooseFile(const FileDialogSpec&, const std::string&,
                                        const std::string&) override {
    return path;
  }
  PromptAnswer askYesNoAbort(std::string_view) override { return PromptAnswer::No; }
  void showError(std::string_view text) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::exit(1);
  }
  void fileNamesChanged() override {}
};

struct NoMessages : TableMessages {
  void showError(std::string_view) override {}
};

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

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarnwick-gui-bench";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "permanent.txt").string();
  {
    std::string bytes;
    for (const ChannelRecord& r : bench::generatedRows()) appendMemoryListLine(bytes, r);
    std::ofstream(path, std::ios::binary) << bytes;
  }
  const double fileKb = static_cast<double>(std::filesystem::file_size(path)) / 1024.0;

  // The core alone: Open into a table nobody watches, and a sort by Name.
  ChannelTable coreFile(TableKind::PermanentFile), coreRig(TableKind::Rig);
  Files coreUi;
  coreUi.path = path;
  FileCommands coreCommands(coreFile, coreRig, coreUi);
  const double coreOpen = medianMs([] {}, [&] { coreCommands.btFOpenClick(); });
  NoMessages messages;
  TablesController coreController(coreFile, coreRig, messages);
  const double coreSort = medianMs(
      [&] {
        coreCommands.btFOpenClick();
        coreFile.setSortIndication(true);
      },
      [&] { coreController.sgFileClickSort(colName, false); });
  coreFile.assign({}, false);

  // The program's window, shown offscreen.
  app::Tqdlform window;
  // No radio here: the port's error box is answered at once.
  window.setBoxHandler([](const QString&, const QString&) {});
  window.setFileDialogHandler(
      [&](const FileDialogSpec&, const std::string&, const std::string&) { return path; });
  window.resize(800, 600);
  window.show();
  QApplication::processEvents();
  app::ChannelTableView& view = window.fileView();
  view.viewport()->repaint();
  const long emptyKb = residentKb();

  const double guiOpen = medianMs([] {}, [&] {
    window.files().btFOpenClick();
    view.viewport()->repaint();
  });
  QApplication::processEvents();
  const long openKb = residentKb();

  QHeaderView* header = view.horizontalHeader();
  const QPoint nameSection(header->sectionViewportPosition(colName) + 10, header->height() / 2);
  const double guiSort = medianMs(
      [&] {
        window.files().btFOpenClick();
        window.sgFile().setSortIndication(true);
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
  auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (edit == nullptr) edit = view.findChild<QLineEdit*>();
  std::vector<double> keys;
  if (edit != nullptr) {
    edit->clear();
    for (const char* k : {"C", "H", "1", "2", "3", "4"}) {
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
  const double page = median(pages);
  std::printf("%-44s %9.2f ms  over %zu pages, max %.2f ms (limit 8 ms) %s\n",
              "Page Down and repaint, median", page, pages.size(),
              *std::max_element(pages.begin(), pages.end()), page <= 8 ? "ok" : "OVER");
  if (keys.empty()) {
    std::printf("name completion: no editor opened\n");
  } else {
    const double worst = *std::max_element(keys.begin(), keys.end());
    std::printf("%-44s %9.2f ms  median %.2f ms (limit 10 ms) %s\n", "name completion keystroke, worst",
                worst, median(keys), worst <= 10 ? "ok" : "OVER");
  }
  const double perDisk = static_cast<double>(openKb - emptyKb) / fileKb;
  std::printf("%-44s %9ld KiB  %5.2f x the file on disk (limit 8) %s\n",
              "resident memory, file open minus empty", openKb - emptyKb, perDisk,
              perDisk <= 8 ? "ok" : "OVER");
  std::filesystem::remove_all(dir);
  return 0;
}
