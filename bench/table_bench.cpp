// Row operations on a 100,000-row permanent file against one plain pass over
// the same rows (every cell read once). Each figure is the median of several
// runs, in CPU time of the thread so that other work on the machine counts
// less; the ratio says how many plain passes an operation costs.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "generated_rows.h"
#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "tables/column_layout.h"
#include "tables/edit_history.h"
#include "tables/table_ops.h"
#include "tables/tables_controller.h"

namespace {

using namespace tarnwick;

constexpr int kRows = bench::kGeneratedRows;
constexpr int kRuns = 9;

using bench::NoMessages;

double plainPass(const ChannelTable& table) {
  std::size_t bytes = 0;
  for (int r = 0; r < table.rowCount(); ++r) {
    for (int c = 0; c < kColumnCount; ++c) bytes += table.cell(c, r).size();
  }
  return static_cast<double>(bytes);
}

double medianMs(const std::function<void()>& setup, const std::function<void()>& op) {
  return bench::medianMs(kRuns, CLOCK_THREAD_CPUTIME_ID, setup, op);
}

}  // namespace

int main() {
  const std::vector<ChannelRecord> prototype = bench::generatedRows();
  ChannelTable file(TableKind::PermanentFile);
  ChannelTable rig(TableKind::Rig);
  NoMessages messages;
  TablesController ctl(file, rig, messages);
  ctl.setModelIndex(kModelIc746);
  PrepareRigTable(rig, kModelIc746);
  for (int r = 1; r <= 50; ++r) rig.setRecord(r, prototype[static_cast<std::size_t>(r)]);

  const auto fresh = [&] {
    file.assign(prototype, true);
    file.setSortIndication(true);
  };
  const auto nothing = [] {};
  fresh();

  volatile double sink = 0;
  const double pass = medianMs(nothing, [&] { sink = sink + plainPass(file); });

  struct Figure {
    const char* name;
    double ms;
  };
  std::vector<Figure> figures;
  figures.push_back(
      {"sort by Name", medianMs(fresh, [&] { ctl.clickSort(ctl.fileTable(), colName, false); })});
  figures.push_back(
      {"sort by Frequency", medianMs(fresh, [&] { ctl.clickSort(ctl.fileTable(), colFrequency, false); })});
  figures.push_back(
      {"sort by # (sorted by Name first)", medianMs(
                                               [&] {
                                                 fresh();
                                                 ctl.clickSort(ctl.fileTable(), colName, false);
                                               },
                                               [&] { ctl.clickSort(ctl.fileTable(), colNumber, false); })});
  fresh();
  figures.push_back({"insert at row 1", medianMs(nothing, [&] { ctl.insertRow(ctl.fileTable(), 1); })});
  figures.push_back({"delete row 1", medianMs(nothing, [&] { ctl.deleteRow(ctl.fileTable(), 1); })});
  figures.push_back({"drop file row 2 onto occupied row 99000",
                     medianMs([&] { ctl.armDrag(file, 2, false); },
                              [&] { ctl.drop(ctl.fileTable(), file, 99000); })});
  figures.push_back({"drop rig row 5 onto occupied file row 50000",
                     medianMs([&] { ctl.armDrag(rig, 5, false); },
                              [&] { ctl.drop(ctl.fileTable(), rig, 50000); })});
  figures.push_back(
      {"drop file row 3 onto empty file row 70000", medianMs(
                                                        [&] {
                                                          file.setCell(colFrequency, 70000, "");
                                                          ctl.armDrag(file, 3, false);
                                                        },
                                                        [&] { ctl.drop(ctl.fileTable(), file, 70000); })});

  // Operations while an edit history records them as undo steps. A sort
  // keeps one permutation; a drop keeps the old labels and marks of the rows
  // its renumbering changed.
  struct Recorded {
    const char* name;
    std::function<void()> setup;
    std::function<void()> op;
    double plainMs = 0;
    double recordedMs = 0;
    std::size_t bytes = 0;
  };
  std::vector<Recorded> recorded{
      {"sort by Name", fresh, [&] { ctl.clickSort(ctl.fileTable(), colName, false); }},
      {"sort by Frequency", fresh, [&] { ctl.clickSort(ctl.fileTable(), colFrequency, false); }},
      {"drop row 2 onto row 99000",
       [&] {
         fresh();
         ctl.armDrag(file, 2, false);
       },
       [&] { ctl.drop(ctl.fileTable(), file, 99000); }},
  };
  for (Recorded& r : recorded) {
    r.plainMs = medianMs(r.setup, r.op);
    EditHistory history(file, rig);
    ctl.setHistory(&history);
    r.recordedMs = medianMs(r.setup, r.op);
    r.bytes = history.bytes();
    ctl.setHistory(nullptr);
  }

  std::printf("%d rows, median of %d runs\n", kRows, kRuns);
  std::printf("%-46s %9.3f ms\n", "plain pass (every cell read once)", pass);
  for (const Figure& f : figures) {
    std::printf("%-46s %9.3f ms  %6.2f x plain pass\n", f.name, f.ms, f.ms / pass);
  }
  std::printf("\n%-26s %12s %12s %8s %14s\n", "undo recording", "not recorded", "recorded", "ratio",
              "step bytes");
  for (const Recorded& r : recorded) {
    std::printf("%-26s %9.3f ms %9.3f ms %7.2fx %14zu\n", r.name, r.plainMs, r.recordedMs,
                r.recordedMs / r.plainMs, r.bytes);
  }
  return 0;
}
