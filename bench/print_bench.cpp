// A 1,000-row table as a PDF, beside the core laying out the same pages
// alone, and the whole command line's print. Runs on Qt's offscreen platform.

#include <time.h>

#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/print/table_printer.h"
#include "bench_support.h"
#include "generated_rows.h"
#include "tables/print_layout.h"

namespace {

using namespace tarnwick;

constexpr int kRows = 1000;
constexpr int kRuns = 5;
constexpr double kLimitMs = 2000;

double nowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double medianMs(const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < kRuns; ++i) {
    const double start = nowMs();
    run();
    times.push_back(nowMs() - start);
  }
  return bench::median(times);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  ChannelTable table(TableKind::Rig);
  std::vector<ChannelRecord> rows = bench::generatedRows(kRows);
  table.assign(std::move(rows), /*checkBoxes=*/true);
  PrintRequest request;
  request.table = &table;
  for (int r = 1; r < table.rowCount(); ++r) request.rows.push_back(r);
  request.fileName = "generated.txt";
  request.modelName = "IC-7300";
  request.date = app::printDate();

  // The layout alone, measured with a character count: the cost of the core.
  const PageMetrics metrics{.width = 3000,
                            .height = 2000,
                            .lineHeight = 40,
                            .padding = 4,
                            .textWidth = [](std::string_view t) { return 20.0 * t.size(); }};
  int pages = 0;
  const double layoutMs = medianMs([&] { pages = layoutPrint(request, metrics).pageCount; });

  const std::string pdf =
      (std::filesystem::temp_directory_path() / "tarnwick_print_bench.pdf").string();
  bool written = true;
  std::string why;
  const double pdfMs = medianMs([&] {
    written = written && app::writeTablePdf(QString::fromStdString(pdf), request, {}, why);
  });
  const auto bytes = std::filesystem::file_size(pdf);
  std::filesystem::remove(pdf);
  if (!written) {
    std::fprintf(stderr, "the PDF could not be written: %s\n", why.c_str());
    return 1;
  }

  std::printf("%d rows, %d pages at the core's test metrics, median of %d runs (wall clock)\n",
              kRows, pages, kRuns);
  std::printf("%-44s %9.2f ms\n", "core page layout alone", layoutMs);
  std::printf("%-44s %9.2f ms  %6.1f x %-18s (limit %.0f ms) %s\n", "PDF of the table", pdfMs,
              pdfMs / layoutMs, "core layout", kLimitMs, pdfMs <= kLimitMs ? "ok" : "TOO SLOW");
  std::printf("%-44s %9.0f KiB\n", "PDF size", static_cast<double>(bytes) / 1024);
  return pdfMs <= kLimitMs ? 0 : 1;
}
