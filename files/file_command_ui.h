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

// A Save dialog asks before it overwrites and hides the read-only box; an
// Open dialog wants a file that is there. Both want a folder that is there.
constexpr FileDialogSpec fileDialog(FileDialogKind kind, std::string_view title,
                                    std::string_view filter, std::string_view defaultExtension) {
  const bool save = kind == FileDialogKind::Save;
  return {.kind = kind,
          .title = title,
          .filter = filter,
          .defaultExtension = defaultExtension,
          .promptOverwrite = save,
          .hideReadOnly = save,
          .pathMustExist = true,
          .fileMustExist = !save};
}

inline constexpr FileDialogSpec kSaveDialog =
    fileDialog(FileDialogKind::Save, "Save Icom Memory File", "txt|*.txt|csv|*.csv|All|*.*", "txt");
inline constexpr FileDialogSpec kOpenDialog =
    fileDialog(FileDialogKind::Open, "Open Icom Memory File", "TXT|*.txt|CSV|*.csv|ALL|*.*", "txt");

enum class PromptAnswer { Yes, No, Abort };

// Save of the rig table over a file that holds another radio's memories.
enum class SaveOverAnswer { Yes, SaveAs, Cancel };

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
  // "ic7300-evening.txt holds an IC-7300's memories. Save the IC-746's
  // memories over it?" with Yes, Save As... and Cancel. Without a person to
  // ask, nothing is written over.
  virtual SaveOverAnswer askSaveOver(std::string_view text) {
    (void)text;
    return SaveOverAnswer::Cancel;
  }
  // A save of the rig table cleared the marks of rows not yet stored to the
  // radio: "Saved icommem1.txt. 20 rows marked Changed were not stored to the
  // radio; their marks are cleared." A caller that keeps the marks in the
  // file for a later store has no use for it.
  virtual void showMarksCleared(std::string_view text) { (void)text; }
  // The folder or a file-name label changed, or whether a table holds its
  // file; the labels show the new names.
  virtual void fileNamesChanged() = 0;
};

}  // namespace tarnwick
