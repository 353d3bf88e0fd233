#pragma once
// The window's prompts in a benchmark, where no user answers: boxes are
// passed over, questions hear No, choices Cancel, and every file dialog
// gives one path (or is cancelled when none is set); and the window with them.

#include <optional>
#include <string>

#include "app/main_window.h"
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

// The program's window with its prompts passed over, as a benchmark runs it;
// every file dialog gives `file`.
struct UnattendedWindow {
  explicit UnattendedWindow(std::optional<std::string> file = std::nullopt)
      : prompts(promptsGiving(std::move(file))), window(environment()) {}

  QuietPrompts prompts;
  app::MainWindow window;

 private:
  static QuietPrompts promptsGiving(std::optional<std::string> file) {
    QuietPrompts p;
    p.file = std::move(file);
    return p;
  }
  app::WindowEnvironment environment() {
    app::WindowEnvironment env;
    env.prompts = &prompts;
    return env;
  }
};

}  // namespace tarnwick::bench
