#pragma once
// The window's prompts in a benchmark, where no user answers: boxes are
// passed over, questions hear No, choices Cancel, and every file dialog
// gives one path (or is cancelled when none is set).

#include <optional>
#include <string>

#include "app/user_prompts.h"

namespace tarnwick::bench {

struct QuietPrompts : app::UserPrompts {
  std::optional<std::string> file;

  void showBox(app::BoxKind, const QString&, const QString&) override {}
  PromptAnswer askYesNoAbort(const QString&) override { return PromptAnswer::No; }
  std::optional<int> choose(const QString&, const QString&, const QStringList&) override {
    return std::nullopt;
  }
  std::optional<std::string> chooseFile(const FileDialogSpec&, const std::string&,
                                        const std::string&) override {
    return file;
  }
};

}  // namespace tarnwick::bench
