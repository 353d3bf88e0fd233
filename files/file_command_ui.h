#pragma once
// What the table file commands need from the window: the file dialogs, the
// Yes/No/Abort question and the error box. The GUI implements it with its
// dialogs; tests with a recording fake.

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

enum class FileDialogKind { Save, Open };

struct FileDialogSpec {
  FileDialogKind kind;
  std::string_view title;
  // Pairs "description|pattern", separated by "|".
  std::string_view filter;
  // Appended to a name typed without an extension.
  std::string_view defaultExtension;
  bool promptOverwrite;
  bool hideReadOnly;
  bool pathMustExist;
  bool fileMustExist;
};

inline constexpr FileDialogSpec kSaveDialog{
    .kind = FileDialogKind::Save,
    .title = "Save Icom Memory File",
    .filter = "txt|*.txt|csv|*.csv|All|*.*",
    .defaultExtension = "txt",
    .promptOverwrite = true,
    .hideReadOnly = true,
    .pathMustExist = true,
    .fileMustExist = false,
};

inline constexpr FileDialogSpec kOpenDialog{
    .kind = FileDialogKind::Open,
    .title = "Open Icom Memory File",
    .filter = "TXT|*.txt|CSV|*.csv|ALL|*.*",
    .defaultExtension = "txt",
    .promptOverwrite = false,
    .hideReadOnly = false,
    .pathMustExist = true,
    .fileMustExist = true,
};

enum class PromptAnswer { Yes, No, Abort };

// The question texts.
inline constexpr std::string_view kPermanentChangedBeforeOpen =
    "Permanent File has changed. Save before opening another?";
inline constexpr std::string_view kRigChangedBeforeOpen =
    "Rig table has changed. Save before opening another?";
inline constexpr std::string_view kPermanentChangedBeforeExit =
    "Permanent File has changed. Save before exiting?";
inline constexpr std::string_view kRigChangedBeforeExit =
    "Rig table has changed. Save before exiting?";

// Error texts, followed by the full file name.
inline constexpr std::string_view kCannotCreateFile = "Cannot Create file ";
// Save As writes only into a folder that is there.
inline constexpr std::string_view kSaveAsNeedsFolder = "Save As requires an existing folder: ";
inline constexpr std::string_view kCannotOpenFile = "Cannot open file ";

class FileCommandUi {
 public:
  virtual ~FileCommandUi() = default;

  // Shows the dialog starting in `folder` with `fileName` filled in. Returns
  // the chosen full file name, or nothing when the user cancels.
  virtual std::optional<std::string> chooseFile(const FileDialogSpec& dialog,
                                                const std::string& folder,
                                                const std::string& fileName) = 0;
  // A warning box with Yes, No and Abort.
  virtual PromptAnswer askYesNoAbort(std::string_view text) = 0;
  // An error box with OK.
  virtual void showError(std::string_view text) = 0;
  // A box with OK that tells what happened, such as rows kept from others.
  virtual void showInformation(std::string_view text) = 0;
  // The folder or a file-name label changed, or whether a table holds its
  // file; the labels show the new names.
  virtual void fileNamesChanged() = 0;
};

}  // namespace tarnwick
