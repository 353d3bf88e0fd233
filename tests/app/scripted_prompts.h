#pragma once
// The window's boxes, questions and file dialogs answered by a test: boxes
// and questions are noted as the user would read them, questions take the
// answers queued for them, and the file dialogs give the paths set for them.

#include <QList>
#include <QStringList>
#include <optional>
#include <string>

#include "app/user_prompts.h"

namespace tarnwick::apptest {

struct ScriptedPrompts : app::UserPrompts {
  // Each box as "caption: text", or its text alone under the window's title.
  QStringList boxes;
  QStringList questions;
  // The next answers to Yes/No/Abort questions; No once they run out.
  QList<PromptAnswer> answers;
  // The next picks among named choices (an index); Cancel once they run out.
  QList<int> picks;
  // What the Open and the Save dialogs give; nothing is a cancel.
  std::optional<std::string> openPath;
  std::optional<std::string> savePath;

  void showBox(app::BoxKind, const QString& caption, const QString& text) override {
    boxes << (caption.isEmpty() ? text : caption + QStringLiteral(": ") + text);
  }
  PromptAnswer askYesNoAbort(const QString& text) override {
    questions << text;
    return answers.isEmpty() ? PromptAnswer::No : answers.takeFirst();
  }
  std::optional<int> choose(const QString&, const QString& text, const QStringList&) override {
    questions << text;
    if (picks.isEmpty()) return std::nullopt;
    return picks.takeFirst();
  }
  std::optional<std::string> chooseFile(const FileDialogSpec& dialog, const std::string&,
                                        const std::string&) override {
    return dialog.kind == FileDialogKind::Save ? savePath : openPath;
  }
};

}  // namespace tarnwick::apptest
