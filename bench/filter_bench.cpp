// Times are the main thread's processor time, with the wall clock beside.
// A permanent file of 100,000 and of 1,000,000 rows in its view: a keystroke
// in the filter field until the view has repainted (names, and a frequency
// typed in several forms), a page of text pasted into it, and find-next from
// the top to a cell near the end, round a table that holds no match, and of
// the pasted page. Runs offscreen.

#include <time.h>

#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/table_filter.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "bench_support.h"
#include "generated_rows.h"
#include "tables/row_filter.h"
#include "tables/tables_controller.h"

namespace {

using namespace tarnwick;

double wallMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct NoMessages : TableMessages {
  void showError(std::string_view) override {}
};

// The main thread's processor time: the figure that holds on a machine
// busy with other work, where the wall clock also counts the waits.
double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Took {
  double wall = 0;
  double cpu = 0;
};

void line(const char* what, Took t, double limit) {
  std::printf("%-48s %9.2f ms  (wall %.2f ms; limit %.0f ms) %s\n", what, t.cpu, t.wall, limit,
              t.cpu <= limit ? "ok" : "OVER");
}

void line(const char* what, double ms, double limit) {
  line(what, Took{ms, ms}, limit);
}

Took medianOf(const std::vector<Took>& all) {
  std::vector<double> wall, cpu;
  for (const Took& t : all) {
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  return {bench::median(wall), bench::median(cpu)};
}

// One table size: keystrokes in the filter field until repainted, a paste
// longer than any cell, and find-next.
void measure(int rows, double keyLimit) {
  std::printf("%d rows\n", rows);
  ChannelTable file(TableKind::PermanentFile), rig(TableKind::Rig);
  NoMessages messages;
  TablesController controller(file, rig, messages);
  file.assign(bench::generatedRows(rows), true);
  app::ChannelTableModel model(file, controller);
  QWidget window;
  auto* view = new app::ChannelTableView(model, &window);
  view->setGeometry(0, 30, 800, 570);
  app::TableFilter filter(*view, &window);
  window.resize(800, 600);
  window.show();
  QApplication::processEvents();

  const auto typeIn = [&](const QString& text) {
    const double t0 = wallMs();
    const double c0 = cpuMs();
    filter.field().setText(text);
    // What the event loop does after the key: the view's deferred layout
    // (scroll range, row positions), then the paint.
    QApplication::processEvents();
    view->viewport()->repaint();
    return Took{wallMs() - t0, cpuMs() - c0};
  };
  // Each keystroke narrows or widens the rows shown; the median of several.
  // The frequency is typed as a user may: kHz, with a separator, in MHz.
  const char* typed[] = {"C",     "CH", "CH1", "CH12", "CH1",  "CH",    "C",      "",
                         "8",     "88", "88.", "",     "7",    "70",    "7,0",    "7,07",
                         "7,074", "",   "7.",  "7.0",  "7.07", "7.074", "7.074M", ""};
  std::vector<Took> ms;
  for (const char* text : typed) ms.push_back(typeIn(QString::fromLatin1(text)));
  line("filter keystroke, until repainted (median)", medianOf(ms), keyLimit);
  std::size_t worst = 0;
  for (std::size_t i = 0; i < ms.size(); ++i) {
    if (ms[i].cpu > ms[worst].cpu) worst = i;
  }
  line("filter keystroke, until repainted (worst)", ms[worst], keyLimit);
  std::printf("  the worst: \"%s\" after \"%s\"\n", typed[worst],
              worst > 0 ? typed[worst - 1] : "");

  // The core's share: which rows match, without the view.
  {
    RowFilter alone(file);
    std::vector<double> core;
    for (const char* text : typed) {
      const double c0 = cpuMs();
      alone.setText(text);
      core.push_back(cpuMs() - c0);
    }
    std::printf("%-48s %9.2f ms  (worst %.2f ms)\n", "  of which the core's matching (median)",
                bench::median(core), *std::max_element(core.begin(), core.end()));
  }

  // A page of text pasted into the field: longer than any cell, it hides
  // every row; clearing it shows them all again.
  const QString page(32767, QLatin1Char('x'));
  line("paste of 32,767 characters, until repainted", typeIn(page), keyLimit);
  line("clearing it again, until repainted", typeIn(QString()), keyLimit);

  std::vector<int> columns;
  for (int col = 0; col < kColumnCount; ++col) {
    if (isSearchedColumn(col)) columns.push_back(col);
  }
  const std::string last = file.cell(colName, file.rowCount() - 2);
  std::vector<double> near, none;
  for (int i = 0; i < 5; ++i) {
    double t0 = wallMs();
    const auto hit = findCell(file, last, {1, colNumber}, columns, true, &filter.rows());
    near.push_back(wallMs() - t0);
    if (!hit) std::printf("expected a hit\n");
    t0 = wallMs();
    const auto miss = findCell(file, "no such cell", {1, colNumber}, columns, true, &filter.rows());
    none.push_back(wallMs() - t0);
    if (miss) std::printf("unexpected hit\n");
  }
  const double findLimit = rows / 5000.0;
  line("find-next to a row near the end (median)", bench::median(near), findLimit);
  line("find-next round a table without a match (median)", bench::median(none), findLimit);
  const std::string pasted(32767, 'x');
  const double t0 = wallMs();
  if (findCell(file, pasted, {1, colNumber}, columns, true, &filter.rows())) {
    std::printf("unexpected hit\n");
  }
  line("find-next of 32,767 characters", wallMs() - t0, findLimit);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  measure(bench::kGeneratedRows, 50);
  measure(1'000'000, 100);
  return 0;
}
