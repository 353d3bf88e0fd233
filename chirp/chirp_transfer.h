#pragma once
// Import CHIRP CSV and Export CHIRP CSV as commands on our two tables: which
// list, where its channels go, the undo step, the names the editors offer and
// the report. The window runs them with its dialogs through ChirpTransferUi;
// tarnwick-cli runs the same import and export on the files it is given.

#include <optional>
#include <string>
#include <vector>

#include "chirp/chirp_csv.h"
#include "files/file_command_ui.h"
#include "files/file_commands.h"
#include "files/file_system.h"
#include "rig/duplex_offsets.h"
#include "tables/cell_block.h"
#include "tables/channel_table.h"
#include "tables/edit_history.h"

namespace tarnwick {

// The radio a list is imported for.
struct ChirpRadio {
  int modelIndex = 0;
  // The band box: the rig table of a band-addressed radio takes that band only.
  std::string bandText;
  DuplexOffsets offsets;
};

// Where the channels of a list go in the rig table.
enum class ChirpPlacement {
  AtLocations,  // each at the memory its Location names
  FromRow,      // in list order from the offered memory on
  Cancel,
};

// What the commands ask of the window.
class ChirpTransferUi {
 public:
  virtual ~ChirpTransferUi() = default;
  // The file dialog, starting in `folder`; nothing when the user cancels.
  virtual std::optional<std::string> chooseList(const FileDialogSpec& dialog,
                                                const std::string& folder) = 0;
  // Asked before an import into the rig table, offering memory `fromRow`.
  virtual ChirpPlacement askPlacement(int fromRow) = 0;
  // The chosen model, the band box and the radio's duplex offsets as they
  // stand now: an import asks once its dialogs are answered.
  virtual ChirpRadio radio() = 0;
};

// Lines of a report a box shows; the whole report can be saved from it.
inline constexpr std::size_t kReportBoxLines = 50;

// The first `lines` lines of a report, and when there are more, a last line
// saying how many: a box of a million lines would take minutes to lay out.
std::string reportPreview(std::string_view report, std::size_t lines = kReportBoxLines);

// What the window shows after a command ran.
struct ChirpOutcome {
  // The list could not be read or written (or holds no channel list): shown
  // alone, as an error.
  std::string error;
  // UTF-8 lines for a person: each row left out or changed, then a summary.
  std::string report;
  // Import: rows were left out. Export: rows were left out or changed.
  bool warning = false;
  // Import: the first table row filled, to bring into view; 0 when none.
  int firstRow = 0;
};

class ChirpTransfer {
 public:
  // `files` gives the folder the dialogs start in.
  ChirpTransfer(ChannelTable& permanentTable, ChannelTable& rigTable, const FileCommands& files,
                FileSystem& fs = defaultFileSystem());

  // An import becomes one step of `history` to undo.
  void setHistory(EditHistory* history) { history_ = history; }

  // Import CHIRP CSV: asks for a list in the folder of the table's file and,
  // for the rig table, where its channels go, offering to fill from
  // `currentRow` (at least 1) on. Nothing when the table is locked or the
  // user cancelled.
  std::optional<ChirpOutcome> importChosen(TableKind into, int currentRow, ChirpTransferUi& ui);
  // Export CHIRP CSV: the rows of `selection` when it spans more than one row,
  // else the whole table, to a list the user names. Nothing when cancelled.
  std::optional<ChirpOutcome> exportChosen(TableKind from, const CellBlock& selection,
                                           ChirpTransferUi& ui);

  // The list at `path` into the table, as one undo step; the names of the
  // rows it fills join both tables' name lists. `startRow` as
  // ChirpImportOptions::startRow.
  ChirpImportReport importFile(const std::string& path, TableKind into, int startRow,
                               const ChirpRadio& radio);
  // `rows` of the table (empty: every row) to the list at `path`.
  ChirpExportReport exportFile(const std::string& path, TableKind from, std::vector<int> rows,
                               const DuplexOffsets& offsets);

 private:
  ChannelTable& table(TableKind which) { return which == TableKind::Rig ? rig_ : permanent_; }
  std::string startFolder(const ChannelTable& table) const;

  ChannelTable& permanent_;
  ChannelTable& rig_;
  const FileCommands& files_;
  FileSystem& fs_;
  EditHistory* history_ = nullptr;
};

}  // namespace tarnwick
