#pragma once
// The user's prompts as Qt's modal dialogs over a window.

#include "app/user_prompts.h"

class QWidget;

namespace tarnwick::app {

class DialogPrompts : public UserPrompts {
 public:
  // Dialogs are centred on `window`; boxes without a caption and questions
  // carry the program's title.
  explicit DialogPrompts(QWidget& window) : window_(window) {}

  void showBox(BoxKind kind, const QString& caption, const QString& text) override;
  void showReport(BoxKind kind, const QString& caption, const QString& text,
                  const QString& fullReport) override;
  PromptAnswer askYesNoAbort(const QString& text) override;
  std::optional<int> choose(const QString& caption, const QString& text,
                            const QStringList& choices) override;
  std::optional<std::string> chooseFile(const FileDialogSpec& dialog, const std::string& folder,
                                        const std::string& fileName) override;
  std::optional<std::string> chooseFileWithOption(const FileDialogSpec& dialog,
                                                  const std::string& folder,
                                                  const std::string& fileName,
                                                  const QString& option, bool& checked) override;

 private:
  QWidget& window_;
};

}  // namespace tarnwick::app
