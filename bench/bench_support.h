#pragma once
// What the benchmarks share: the median of a run's figures, and the table
// commands' dialogs and boxes answered without anyone there.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
