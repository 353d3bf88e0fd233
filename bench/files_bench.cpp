// Save and Open of a 100,000-row permanent file against the bare reading and
// writing of the same bytes, to show what formatting and parsing cost on top
// of the disk. Prints the median of several runs and the ratios.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "files/file_commands.h"
#include "files/memory_list_format.h"
#include "tables/table_ops.h"

namespace {

using namespace tarnwick;

constexpr int kRows = 100000;
constexpr int kRuns = 7;

using QuietUi = bench::NamedFileUi;

void fill(ChannelTable& table) {
  static const char* modes[] = {"FM", "USB", "LSB", "AM", "CW"};
  table.setRowCount(kRows + 1);
  SetColumnHeaders(table);
  std::vector<ChannelRecord> rows(static_cast<std::size_t>(kRows) + 1);
  rows[0] = table.record(0);
  for (int r = 1; r <= kRows; ++r) {
    ChannelRecord& c = rows[static_cast<std::size_t>(r)];
    const int khz = 1800 + (r * 37) % 146000;
    char freq[32];
    std::snprintf(freq, sizeof freq, "%7d,%03d.00", khz / 1000, khz % 1000);
    c = {std::to_string(r),
         freq,
         r % 10 ? "CH" + std::to_string(r) : "a;b\"c",
         modes[r % 5],
         "Normal",
         r % 3 ? "Simp" : "-DUP",
         "",
         "88.5",
         r % 4 ? "" : "123.0",
         r % 2 ? "1" : "0",
         "0"};
  }
  table.assign(std::move(rows), true);
}

double medianMs(const std::function<void()>& f) {
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    f();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  return bench::median(ms);
}

void rawWrite(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
      ::fsync(fd) != 0) {
    std::perror("raw write");
    std::exit(1);
  }
  ::close(fd);
}

std::size_t rawRead(const std::string& path) {
  std::string bytes;
  if (!defaultFileSystem().readAll(path, bytes)) std::exit(1);
  return bytes.size();
}

}  // namespace

int main() {
  char pattern[] = "/tmp/tarnwick-bench-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  const std::string dir = pattern;

  ChannelTable permanentTable(TableKind::PermanentFile), rigTable(TableKind::Rig);
  QuietUi ui;
  FileCommands files(permanentTable, rigTable, ui);
  files.applySettings(dir + "/", "", "", "");
  fill(permanentTable);

  const double save = medianMs([&] {
    permanentTable.setModified(true);
    files.save(TableKind::PermanentFile);
  });
  const std::string path = files.currentFile(permanentTable);
  std::string bytes;
  defaultFileSystem().readAll(path, bytes);
  const double write = medianMs([&] { rawWrite(dir + "/raw.txt", bytes); });

  ui.file = path;
  const double open = medianMs([&] { files.open(TableKind::PermanentFile); });
  const double read = medianMs([&] { rawRead(path); });
  if (permanentTable.dataRowCount() != kRows) return 1;

  std::printf("file: %d rows, %zu bytes; median of %d runs\n", kRows, bytes.size(), kRuns);
  std::printf("save %8.2f ms   raw write+fsync %8.2f ms   ratio %.2f\n", save, write, save / write);
  std::printf("open %8.2f ms   raw read        %8.2f ms   ratio %.2f\n", open, read, open / read);
  std::filesystem::remove_all(dir);
  return 0;
}
