#pragma once
// Everything the window asks of the user or tells them in a box of its own:
// message boxes, the Yes/No/Abort question, a question with named choices,
// and the file dialogs. The program shows Qt's dialogs (DialogPrompts); tests
// and benchmarks answer without a user.

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "files/file_command_ui.h"

namespace tarnwick::app {

enum class BoxKind { Error, Warning, Information };

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  // A box with OK. An empty caption stands for the window's title.
  virtual void showBox(BoxKind kind, const QString& caption, const QString& text) = 0;
  // A box whose text is the start of a longer report, which the user may
  // save as a whole; without a way to save, the box alone.
  virtual void showReport(BoxKind kind, const QString& caption, const QString& text,
                          const QString& fullReport) {
    (void)fullReport;
    showBox(kind, caption, text);
  }
  virtual PromptAnswer askYesNoAbort(const QString& text) = 0;
  // A question answered by one of `choices` (the first is the default) or
  // by Cancel: the index of the choice, or nothing after Cancel.
  virtual std::optional<int> choose(const QString& caption, const QString& text,
                                    const QStringList& choices) = 0;
  // The file picked in a file dialog opened in `folder` on `fileName`;
  // nothing when the user cancels.
  virtual std::optional<std::string> chooseFile(const FileDialogSpec& dialog,
                                                const std::string& folder,
                                                const std::string& fileName) = 0;
  // The same with a check box below the names, `option` its caption and
  // `checked` its state in and out; without one, the file dialog alone.
  virtual std::optional<std::string> chooseFileWithOption(const FileDialogSpec& dialog,
                                                          const std::string& folder,
                                                          const std::string& fileName,
                                                          const QString& option, bool& checked) {
    (void)option;
    (void)checked;
    return chooseFile(dialog, folder, fileName);
  }
};

}  // namespace tarnwick::app
