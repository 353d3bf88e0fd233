#pragma once
// A FileCommandUi for tests: records every call in order and answers from
// scripted queues.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "files/file_command_ui.h"

namespace tarnwick {

class RecordingUi : public FileCommandUi {
 public:
  std::vector<std::string> calls;
  std::deque<std::optional<std::string>> files;  // answers of chooseFile
  std::deque<PromptAnswer> answers;

  std::optional<std::string> chooseFile(const FileDialogSpec& dialog, const std::string& folder,
                                        const std::string& fileName) override {
    calls.push_back(std::string(dialog.title) + " in " + folder + " as " + fileName);
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }
  PromptAnswer askYesNoAbort(std::string_view text) override {
    calls.push_back("ask " + std::string(text));
    const PromptAnswer a = answers.empty() ? PromptAnswer::No : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
  void showError(std::string_view text) override { calls.push_back("error " + std::string(text)); }
  void showInformation(std::string_view text) override {
    calls.push_back("note " + std::string(text));
  }
  void fileNamesChanged() override { ++nameChanges; }
  int nameChanges = 0;
};

}  // namespace tarnwick
