#pragma once
// File arguments of the command line, and the file dialogs and boxes of the
// table commands answered by it: the dialog gives the file named there, a
// question is answered No, and an error goes to standard error.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "files/file_command_ui.h"
#include "files/file_paths.h"

namespace tarnwick::cli {

// The folder and name of a path given on the command line, made absolute so
// that a bare name stays in the current folder.
inline SplitPath absoluteSplit(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path abs = std::filesystem::absolute(path, ec);
  return splitPath(ec ? path : abs.string());
}

// A file argument that names a folder ("dir/", or an existing folder).
inline bool namesFolder(const std::string& path) {
  std::error_code ec;
  return path.empty() || path.back() == '/' || std::filesystem::is_directory(path, ec);
}

class CliFileUi : public FileCommandUi {
 public:
  explicit CliFileUi(std::ostream& err, std::optional<std::string> path = std::nullopt)
      : err_(err), chosen_(std::move(path)) {}
  void choose(std::string path) { chosen_ = std::move(path); }
  bool failed() const { return failed_; }

  std::optional<std::string> chooseFile(const FileDialogSpec&, const std::string&,
                                        const std::string&) override {
    return chosen_;
  }
  PromptAnswer askYesNoAbort(std::string_view) override { return PromptAnswer::No; }
  void showError(std::string_view text) override {
    failed_ = true;
    err_ << text << '\n';
  }
  void showInformation(std::string_view text) override { err_ << text << '\n'; }
  void fileNamesChanged() override {}
  // The output named with --out is the user's choice, whatever radio it held.
  SaveOverAnswer askSaveOver(std::string_view) override { return SaveOverAnswer::Yes; }

 private:
  std::ostream& err_;
  std::optional<std::string> chosen_;
  bool failed_ = false;
};

}  // namespace tarnwick::cli
