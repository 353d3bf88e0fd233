// A 100,000-row permanent file in its view: one keystroke in the filter
// field until the view has repainted, and find-next from the top to a cell
// near the end and round a table that holds no match. Runs offscreen.

#include <time.h>

#include <QApplication>
#include <QLineEdit>
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

void line(const char* what, double ms, double limit) {
  std::printf("%-48s %9.2f ms  (limit %.0f ms) %s\n", what, ms, limit, ms <= limit ? "ok" : "OVER");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ChannelTable file(TableKind::PermanentFile), rig(TableKind::Rig);
  NoMessages messages;
  TablesController controller(file, rig, messages);
  file.assign(bench::generatedRows(), true);
  app::ChannelTableModel model(file, controller);
  QWidget window;
  auto* view = new app::ChannelTableView(model, &window);
  view->setGeometry(0, 30, 800, 570);
  app::TableFilter filter(*view, &window);
  window.resize(800, 600);
  window.show();
  QApplication::processEvents();

  // Each keystroke narrows or widens the rows shown; the median of several.
  const char* typed[] = {"C", "CH", "CH1", "CH12", "CH1", "CH", "C", "", "8", "88", "88.", ""};
  std::vector<double> ms;
  for (const char* text : typed) {
    const double t0 = wallMs();
    filter.field().setText(QString::fromLatin1(text));
    // What the event loop does after the key: the view's deferred layout
    // (scroll range, row positions), then the paint.
    QApplication::processEvents();
    view->viewport()->repaint();
    ms.push_back(wallMs() - t0);
  }
  line("filter keystroke, until repainted (median)", bench::median(ms), 50);
  double worst = 0;
  for (double m : ms) worst = std::max(worst, m);
  line("filter keystroke, until repainted (worst)", worst, 50);

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
  line("find-next to a row near the end (median)", bench::median(near), 20);
  line("find-next round a table without a match (median)", bench::median(none), 20);
  return 0;
}
