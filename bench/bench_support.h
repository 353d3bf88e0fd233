#pragma once
// What the benchmarks share: the median of a run's figures, a timed run of
// an operation, a work folder of the run, and the table commands' dialogs
// and boxes answered without anyone there.

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_command_ui.h"
#include "tables/table_messages.h"

namespace tarnwick::bench {

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Milliseconds on `clock`: CLOCK_MONOTONIC for wall time,
// CLOCK_THREAD_CPUTIME_ID where other work on the machine should count less.
inline double clockMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Median milliseconds of `runs` runs of `op` on `clock`, with `setup` run
// untimed before each.
inline double medianMs(int runs, clockid_t clock, const std::function<void()>& setup,
                       const std::function<void()>& op) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    setup();
    const double t0 = clockMs(clock);
    op();
    ms.push_back(clockMs(clock) - t0);
  }
  return median(ms);
}

// A new folder of its own under `base`, named `prefix` and a unique tail;
// empty when it cannot be made.
inline std::filesystem::path makeWorkFolder(
    const std::string& prefix,
    const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
  std::string tmpl = (base / (prefix + "XXXXXX")).string();
  return ::mkdtemp(tmpl.data()) != nullptr ? std::filesystem::path(tmpl) : std::filesystem::path();
}

// A file dialog gives `file` (nothing while it is empty), a question is
// answered No, and an error ends the benchmark: a figure of a failed
// command is no figure.
struct NamedFileUi : FileCommandUi {
  std::string file;
  std::optional<std::string> chooseFile(const FileDialogSpec&, const std::string&,
                                        const std::string&) override {
    return file.empty() ? std::nullopt : std::optional(file);
  }
  PromptAnswer askYesNoAbort(std::string_view) override { return PromptAnswer::No; }
  void showError(std::string_view text) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::exit(1);
  }
  void showInformation(std::string_view) override {}
  void fileNamesChanged() override {}
};

struct NoMessages : TableMessages {
  void showError(std::string_view) override {}
};

}  // namespace tarnwick::bench
