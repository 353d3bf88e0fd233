// The desktop program as a whole, offscreen:
//  - start to the first painted window, with a 100,000-row permanent file in
//    the data folder and with none, each start a process of its own; the
//    difference set beside the core's start-up load of that file alone;
//  - a full IC-746 bank read from the paced radio simulator at 9600 and
//    19200 baud through the window's engine, serial component and Qt event
//    loop, beside the line-time limit of the frames on the line;
//  - the same for an IC-7300 bank at 115200 baud (its USB speed), with and
//    without the radio's echo, where a memory's line time is 1.6 to 5 ms and
//    any fixed wait per step would show (only these with --usb).

#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/table_view.h"
#include "bench_support.h"
#include "files/file_commands.h"
#include "files/memory_list_format.h"
#include "generated_rows.h"
#include "quiet_prompts.h"
#include "simulator_support.h"
#include "tables/edit_history.h"
#include "tables/permanent_index.h"

namespace {

using namespace tarnwick;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kStarts = 7;
constexpr int kReads = 3;

double msSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// The radio read through the window: the simulator's model and the
// settings' model index and address (decimal) for it.
struct Radio {
  const char* simName;
  int modelIndex;
  int address;
};
constexpr Radio kIc746{"IC-746", 19, 0x56};
constexpr Radio kIc7300{"IC-7300", 44, 0x94};

// The settings of a user whose COM2 is `device` and whose data folder is
// `data`, in a config folder of their own.
void writeSettings(const fs::path& config, const fs::path& data, const std::string& device,
                   int baud, const Radio& radio = kIc746) {
  fs::create_directories(config / "Morvane-soft");
  std::ofstream(config / "Morvane-soft" / "rigbench.conf")
      << "[General]\nportnum=2\nspeed=" << baud << "\nmodel=" << radio.modelIndex
      << "\nadr=" << radio.address << "\n\n[qdl]\npath=" << data.string()
      << "/\nports\\COM2=" << device << "\n";
}

void useFolders(const fs::path& home) {
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / "config").string()));
  qputenv("XDG_STATE_HOME", QByteArray::fromStdString((home / "state").string()));
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString((home / "data").string()));
}

// --- Start-up, in a child process --------------------------------------------

// Child: the program's start as main() runs it, until the first paint after
// the start-up (permanent file loaded); then it prints and leaves at once.
int startOnce(int argc, char** argv, const fs::path& home) {
  useFolders(home);
  QApplication app(argc, argv);
  bench::UnattendedWindow unattended;
  app::MainWindow& window = unattended.window;
  window.restoreWindowPlacement();
  window.show();
  QTimer::singleShot(0, &window, [&] {
    window.firstActivation();
    window.fileView().viewport()->repaint();
    std::printf("%d\n", window.permanentTable().dataRowCount());
    std::fflush(stdout);
    _exit(0);
  });
  return app.exec();
}

// Parent: wall time from the child's start to its first painted window.
double timeStart(const fs::path& home) {
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const std::string command = "'" + self + "' --start '" + home.string() + "' 2>/dev/null";
  const auto t0 = Clock::now();
  FILE* child = popen(command.c_str(), "r");
  int rows = -1;
  if (child == nullptr || std::fscanf(child, "%d", &rows) != 1) rows = -1;
  const double ms = msSince(t0);
  if (child != nullptr) pclose(child);
  return rows >= 0 ? ms : -1;
}

// --- A bank read through the window -------------------------------------------

// The status bar's label of the engine's state, as a screen reader finds it.
QLabel* engineStateLabel(QWidget& window) {
  const QString caption = QStringLiteral("Engine state");  // ": " and the text when there is one
  for (QLabel* label : window.findChildren<QLabel*>()) {
    const QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
    const QString name = a != nullptr ? a->text(QAccessible::Name) : QString();
    if (name.startsWith(caption)) return label;
  }
  return nullptr;
}

QString engineState(QWidget& window) {
  const QLabel* label = engineStateLabel(window);
  return label != nullptr ? label->text() : QString();
}

struct Read {
  double seconds = 0;
  double limitSeconds = 0;
  bool ok = false;
  // From an answer on the line to the next request heard, beyond that
  // request's own line time: the program's turn, per request.
  double meanGapMs = 0;
  double maxGapMs = 0;
};

Read readThroughWindow(int baud, const fs::path& home, const Radio& which = kIc746,
                       bool echo = true) {
  const auto radio = bench::startRadio(which.simName, baud, echo);
  fs::remove_all(home / "config");
  writeSettings(home / "config", home / "documents", radio->devicePath(), baud, which);
  fs::create_directories(home / "documents");
  // The previous read's files are written out first: the disk's own threads
  // would otherwise compete with this read for the cores.
  ::sync();

  Read read;
  {
    bench::UnattendedWindow unattended;
    app::MainWindow& window = unattended.window;
    window.firstActivation();
    // Found once: the read is timed, not the search for the label.
    const QLabel* state = engineStateLabel(window);
    // The restart runs now rather than at the next tick, so that the clock
    // starts with the first request.
    const auto t0 = Clock::now();
    window.engine().tick();
    // Sleeps until the next event, as the program's own loop does. (With a
    // time limit processEvents() does not wait but spins, and a spinning
    // main thread takes a core from the radio and the serial thread.) The
    // window's one-second tick wakes it at the latest.
    while (state != nullptr && msSince(t0) < 60000 && state->text() != QStringLiteral("Ready") &&
           !state->text().startsWith(QStringLiteral("Timeout"))) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    read.seconds = msSince(t0) / 1000.0;
    read.ok = engineState(window) == QStringLiteral("Ready");
  }
  const bench::LineTimes times = bench::lineTimesOf(radio->frameLog(), baud);
  read.meanGapMs = times.meanGapMs;
  read.maxGapMs = times.maxGapMs;
  read.limitSeconds = bench::lineSeconds(times.lineBytes, baud);
  radio->stop();
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (argc == 3 && std::string(argv[1]) == "--start") return startOnce(argc, argv, argv[2]);

  const fs::path work = bench::makeWorkFolder("windowbench");
  if (work.empty()) return 1;
  // --usb: only the IC-7300 reads, e.g. to profile them.
  const bool usbOnly = argc == 2 && std::string(argv[1]) == "--usb";
  if (!usbOnly) {
    const fs::path withFile = work / "with-file";
    const fs::path without = work / "without";
    fs::create_directories(withFile / "documents");
    fs::create_directories(without / "documents");
    {
      std::string bytes;
      for (const ChannelRecord& r : bench::generatedRows()) appendMemoryListLine(bytes, r);
      std::ofstream(withFile / "documents" / "icommemo.txt", std::ios::binary) << bytes;
    }
    for (const fs::path& home : {withFile, without}) {
      writeSettings(home / "config", home / "documents", (work / "no-radio").string(), 9600);
    }

    // The core's start-up load of the file, with the index and the history
    // the program keeps beside the permanent file.
    std::vector<double> core;
    for (int i = 0; i < kStarts; ++i) {
      ChannelTable file(TableKind::PermanentFile), rig(TableKind::Rig);
      PermanentFileIndex index(file);
      EditHistory history(file, rig);
      bench::NamedFileUi ui;
      FileCommands commands(file, rig, ui);
      commands.applySettings((withFile / "documents").string() + "/", "", "", "");
      const auto t0 = Clock::now();
      commands.loadPermanentFile();
      core.push_back(msSince(t0));
    }

    // Starts alternate, so that a change in the machine's load affects both.
    std::vector<double> startsWith, startsWithout;
    for (int i = 0; i < kStarts; ++i) {
      startsWithout.push_back(timeStart(without));
      startsWith.push_back(timeStart(withFile));
    }
    const double coreLoad = bench::median(core);
    const double a = bench::median(startsWith), b = bench::median(startsWithout);
    const double extra = a - b;
    std::printf("Start to the first painted window, median of %d starts (offscreen)\n", kStarts);
    std::printf("  with a 100,000-row permanent file  %8.1f ms\n", a);
    std::printf("  without a permanent file           %8.1f ms\n", b);
    std::printf("  difference                         %8.1f ms\n", extra);
    std::printf("  core start-up load of the file     %8.1f ms\n", coreLoad);
    std::printf("  difference / core load             %8.2f (limit 1.5) %s\n", extra / coreLoad,
                a > 0 && b > 0 && extra / coreLoad <= 1.5 ? "ok" : "OVER");
  }

  int argc0 = 1;
  QApplication app(argc0, argv);
  useFolders(work / "reads");
  if (!usbOnly) {
    std::printf("IC-746 bank (offsets + 102 memories) through the window, best of %d\n", kReads);
    for (int baud : {9600, 19200}) {
      Read best;
      for (int i = 0; i < kReads; ++i) {
        const Read r = readThroughWindow(baud, work / "reads");
        if (r.ok && (!best.ok || r.seconds < best.seconds)) best = r;
      }
      if (!best.ok) {
        std::printf("  %5d baud: the read did not finish\n", baud);
        continue;
      }
      const double ratio = best.seconds / best.limitSeconds;
      std::printf("  %5d baud: %7.3f s, line-time limit %7.3f s, ratio %.4f (limit 1.02) %s\n",
                  baud, best.seconds, best.limitSeconds, ratio, ratio <= 1.02 ? "ok" : "OVER");
    }
  }
  std::printf("IC-7300 bank (101 memories) at 115200 baud through the window, best of %d\n",
              kReads);
  Read usb[2];
  for (int i = 0; i < kReads; ++i) {
    for (int echo : {1, 0}) {  // taking turns, so that the machine's load affects both
      const Read r = readThroughWindow(115200, work / "reads", kIc7300, echo == 1);
      if (r.ok && (!usb[echo].ok || r.seconds < usb[echo].seconds)) usb[echo] = r;
    }
  }
  for (int echo : {1, 0}) {
    const Read& r = usb[echo];
    if (!r.ok) {
      std::printf("  echo %-3s: the read did not finish\n", echo ? "on" : "off");
      continue;
    }
    const double ratio = r.seconds / r.limitSeconds;
    std::printf(
        "  echo %-3s: %7.3f s, line-time limit %7.3f s, ratio %.4f (limit 1.05) %s;"
        " program's turn %.2f ms per request (max %.1f)\n",
        echo ? "on" : "off", r.seconds, r.limitSeconds, ratio, ratio <= 1.05 ? "ok" : "OVER",
        r.meanGapMs, r.maxGapMs);
  }
  std::error_code ec;
  fs::remove_all(work, ec);
  return 0;
}
