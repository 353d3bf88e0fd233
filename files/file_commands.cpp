#include "files/file_commands.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "files/memory_list_format.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

std::string message(std::string_view text, const std::string& path) {
  std::string m(text);
  m += path;
  return m;
}

// `text` and the path, and the reason on a second line when there is one.
std::string fileError(std::string_view text, const std::string& path, std::string_view reason) {
  std::string m = message(text, path);
  if (!reason.empty()) {
    m += '\n';
    m += reason;
  }
  return m;
}

// The end state of RenumberRows followed by ClearChangedMarks, done on the
// rows before they enter the table so that a large file costs one reset.
// Kept marks stay as the file has them, and a relabelled row is marked.
void relabelAndClearMarks(std::vector<ChannelRecord>& rows, bool rig, bool keepMarks) {
  for (std::size_t r = 1; r < rows.size(); ++r) {
    // A rig row never read keeps its empty label, as RenumberRows leaves it.
    const bool relabel =
        !rig || (r <= static_cast<std::size_t>(kLastBlockRow) && !isNeverReadRecord(rows[r]));
    const std::string label = std::to_string(r);
    const bool moved = relabel && rows[r][colNumber] != label;
    if (relabel) rows[r][colNumber] = label;
    if (!keepMarks) {
      rows[r][colChanged] = std::string(kUnchecked);
    } else if (moved) {
      rows[r][colChanged] = std::string(kChecked);
    }
  }
}

// ClearChangedMarks on the rig table after a save, except that a row without
// any mark (a blank memory, one never read) keeps its empty field: it has no
// mark to clear, and saving the table again must write the same bytes.
void clearRigMarksAfterSave(ChannelTable& rig) {
  rig.editRows(1, rig.rowCount() - 1, colChanged, colChanged, [](int, ChannelRecord& rec) {
    if (rec[colChanged] == kUnchecked || rec[colChanged].empty()) return false;
    rec[colChanged] = std::string(kUnchecked);
    return true;
  });
}

// Rig rows marked Changed, which no store has written to the radio yet.
int markedRows(const ChannelTable& table) {
  int marked = 0;
  for (int r = 1; r < table.rowCount(); ++r) {
    if (table.cell(colChanged, r) == kChecked) ++marked;
  }
  return marked;
}

std::string marksClearedNote(const std::string& name, int marked) {
  return "Saved " + name + ". " + std::to_string(marked) +
         (marked == 1 ? " row marked Changed was not stored to the radio; its mark is cleared."
                      : " rows marked Changed were not stored to the radio; their marks are "
                        "cleared.");
}

}  // namespace

std::string openError(const std::string& path, std::string_view reason) {
  return fileError(kCannotOpenFile, path, reason);
}

std::string createError(const std::string& path, std::string_view reason) {
  return fileError(kCannotCreateFile, path, reason);
}

FileCommands::FileCommands(ChannelTable& permanentTable, ChannelTable& rigTable, FileCommandUi& ui,
                           FileSystem& fs)
    : permanent_(permanentTable), rig_(rigTable), ui_(ui), fs_(fs) {}

void FileCommands::applySettings(std::string_view path, std::string_view lffn,
                                 std::string_view lrfn, std::string_view documentsFolder) {
  dataFolder_ = std::string(path.empty() ? documentsFolder : path);
  permanentFileName_ = std::string(lffn.empty() ? kDefaultPermanentFileName : lffn);
  rigFileName_ = std::string(lrfn.empty() ? kDefaultRigFileName : lrfn);
  ui_.fileNamesChanged();
}

std::string FileCommands::currentFile(const ChannelTable& table) const {
  return joinPath(dataFolder_, table.isRig() ? rigFileName_ : permanentFileName_);
}

std::string& FileCommands::label(const ChannelTable& table) {
  return table.isRig() ? rigFileName_ : permanentFileName_;
}

void FileCommands::setFile(ChannelTable& table, const std::string& path) {
  SplitPath parts = splitPath(path);
  dataFolder_ = std::move(parts.folder);
  label(table) = std::move(parts.name);
  ui_.fileNamesChanged();
}

bool FileCommands::isUnreadableFile(const ChannelTable& table, const std::string& path) const {
  const std::string& bad = unreadable(table).path;
  if (bad.empty()) return false;
  if (bad == path) return true;
  std::error_code ec;
  return std::filesystem::equivalent(bad, path, ec);
}

void FileCommands::setUnreadable(const ChannelTable& table, Unreadable what) {
  Unreadable& mark = unreadable(table);
  if (mark.path == what.path && mark.reason == what.reason && mark.readOnly == what.readOnly) {
    return;
  }
  mark = std::move(what);
  ui_.fileNamesChanged();
}

std::string FileCommands::fileWarning() const {
  std::string text;
  for (const Unreadable* mark : {&unreadablePermanent_, &unreadableRig_}) {
    if (mark->path.empty()) continue;
    if (!text.empty()) text += "; ";
    text += splitPath(mark->path).name + (mark->readOnly ? " read-only (" : " not loaded (") +
            mark->reason + "): Save asks for another name";
  }
  return text;
}

void FileCommands::keepFileReadOnly(TableKind which, std::string reason) {
  const ChannelTable& t = table(which);
  // A file that could not be read says so already.
  if (!unreadable(t).path.empty()) return;
  setUnreadable(t, {currentFile(t), std::move(reason), /*readOnly=*/true});
}

void FileCommands::refuseUnreadable(const ChannelTable& table, const std::string& path) {
  const Unreadable& mark = unreadable(table);
  ui_.showError(createError(path, (mark.readOnly ? "Not written over: open read-only ("
                                                 : "Not written over: it could not be read (") +
                                      mark.reason + ")"));
}

bool FileCommands::write(ChannelTable& table, const std::string& path) {
  if (isUnreadableFile(table, path)) {
    refuseUnreadable(table, path);
    return false;
  }
  if (table.isRig()) return writeLocked(table, path, {});
  // Read, merge and write as one step against other programs doing the same.
  FileUpdateLock lock;
  std::string reason;
  if (!lock.lock(path, lockWait_, reason)) {
    ui_.showError(createError(path, reason));
    return false;
  }
  std::error_code ec;
  const bool sameFile =
      permanentBase_.known() && (permanentBase_.path() == path ||
                                 std::filesystem::equivalent(permanentBase_.path(), path, ec));
  RowRange merged;
  if (sameFile && !keepRowsAddedElsewhere(path, merged)) return false;
  return writeLocked(table, path, merged);
}

bool FileCommands::writeLocked(ChannelTable& table, const std::string& path, RowRange merged) {
  const std::string bytes = formatMemoryList(table, table.isRig() ? rigRowsRadio_ : "");
  std::string reason(memoryListLimitReason(bytes));
  if (!reason.empty() || !fs_.replace(path, bytes, reason)) {
    ui_.showError(createError(path, reason));
    return false;
  }
  table.setModified(false);
  if (table.isRig()) {
    rigRowsQuestion_.clear();  // the file now holds these rows: nothing to ask again
    const int marked = markedRows(table);
    clearRigMarksAfterSave(table);
    // The marks are what Store to Rig writes: clearing them in silence would
    // leave the radio with the old memories while the table shows the new.
    if (marked > 0) ui_.showMarksCleared(marksClearedNote(splitPath(path).name, marked));
    return true;
  }
  ClearChangedMarks(table);
  // Rows just taken from other programs stay marked for the user to see.
  for (int r = merged.first; r < merged.first + merged.count; ++r) {
    table.setCell(colChanged, r, std::string(kChecked));
  }
  permanentBase_.record(path, bytes, table);
  return true;
}

bool FileCommands::keepRowsAddedElsewhere(const std::string& path, RowRange& merged) {
  if (!fs_.exists(path)) return true;  // removed meanwhile: the table makes it anew
  std::vector<ChannelRecord> disk;
  std::string bytes;
  std::string reason;
  if (!readMemoryListFile(fs_, path, disk, reason, &bytes)) {
    ui_.showError(createError(path, "Changed by another program and cannot be read: " + reason));
    return false;
  }
  if (permanentBase_.unchanged(bytes)) return true;
  std::vector<ChannelRecord> added = rowsAddedElsewhere(permanentBase_, permanent_, disk);
  if (added.empty()) return true;
  const std::size_t count = added.size();
  // The single empty row of a fresh table is filled rather than kept.
  int at = permanent_.rowCount();
  if (permanent_.dataRowCount() == 1 && rowDigest(permanent_.record(1)) == rowDigest({})) {
    permanent_.removeRows(1, 1);
    at = 1;
  }
  RowBlock block;
  for (ChannelRecord& row : added) {
    row[colChanged] = std::string(kChecked);
    permanent_.names().add(row[colName]);
    rig_.names().add(row[colName]);
    block.records.push_back(std::move(row));
  }
  block.checkBoxes.assign(count, 1);
  permanent_.insertRows(at, std::move(block));
  RenumberRows(permanent_);
  merged = {at, static_cast<int>(count)};
  ui_.showInformation(std::to_string(count) +
                      (count == 1 ? " channel added by another program was kept"
                                  : " channels added by another program were kept"));
  return true;
}

std::string_view memoryListLimitReason(std::string_view bytes) {
  if (bytes.size() > kMaxReadBytes) return kFileTooLarge;
  if (memoryListLineCount(bytes) > kMaxMemoryListLines) return kTooManyLines;
  return {};
}

bool readMemoryListFile(FileSystem& fs, const std::string& path, std::vector<ChannelRecord>& rows,
                        std::string& reason, std::string* bytesOut) {
  // A file too large for memory or for the table is one that cannot be opened.
  try {
    std::string bytes;
    if (!fs.readAll(path, bytes, reason)) return false;
    if (const std::string_view why = memoryListLimitReason(bytes); !why.empty()) {
      reason = why;
      return false;
    }
    rows = parseMemoryList(bytes);
    if (bytesOut != nullptr) *bytesOut = std::move(bytes);
  } catch (const std::bad_alloc&) {
    rows.clear();
    reason = kNotEnoughMemory;
    return false;
  }
  return true;
}

bool FileCommands::save(ChannelTable& table) {
  // The file the table could not read is left alone: the rows go elsewhere.
  if (isUnreadableFile(table, currentFile(table))) return saveAs(table) == SaveOutcome::Saved;
  if (table.isRig()) {
    switch (askBeforeSavingOver(currentFile(table))) {
      case SaveOverAnswer::Yes:
        break;
      case SaveOverAnswer::SaveAs:
        return saveAs(table) == SaveOutcome::Saved;
      case SaveOverAnswer::Cancel:
        return false;
    }
  }
  RenumberRows(table);
  return write(table, currentFile(table));
}

void FileCommands::setRigRowsRadio(std::string radio, Rows rows) {
  rigRowsRadio_ = std::move(radio);
  rigRowsQuestion_.clear();
  if (rows == Rows::Partial) {
    rigRowsQuestion_ = "The read of the " + rigRowsRadio_ +
                       " was stopped: the memories it did not reach are empty in the table. "
                       "Save it over ";
  }
}

void FileCommands::rigRowsFitted(int rows, std::string radio) {
  if (rows <= 0) return;
  rigRowsRadio_ = std::move(radio);
  rigRowsQuestion_ = std::to_string(rows) + (rows == 1 ? " row was" : " rows were") +
                     " changed or left empty to fit the " + rigRowsRadio_ +
                     " when the file was opened. Save the table over ";
}

SaveOverAnswer FileCommands::askBeforeSavingOver(const std::string& path) {
  if (!fs_.exists(path)) return SaveOverAnswer::Yes;
  if (!rigRowsQuestion_.empty()) {
    const SaveOverAnswer answer = ui_.askSaveOver(rigRowsQuestion_ + splitPath(path).name + "?");
    if (answer == SaveOverAnswer::Yes) rigRowsQuestion_.clear();
    return answer;
  }
  if (rigRowsRadio_.empty()) return SaveOverAnswer::Yes;
  std::string bytes;
  std::string reason;
  // A file that cannot be read records nothing; writing it is as before.
  if (!fs_.readAll(path, bytes, reason)) return SaveOverAnswer::Yes;
  const std::string_view first = std::string_view(bytes).substr(0, bytes.find('\n'));
  const std::string fileRadio = recordedRadio(parseMemoryListLine(first)[colNumber]);
  if (fileRadio.empty() || fileRadio == rigRowsRadio_) return SaveOverAnswer::Yes;
  return ui_.askSaveOver(splitPath(path).name + " holds an " + fileRadio +
                         "'s memories. Save the " + rigRowsRadio_ + "'s memories over it?");
}

FileCommands::SaveOutcome FileCommands::saveAs(ChannelTable& table) {
  const auto chosen = ui_.chooseFile(kSaveDialog, dataFolder_, label(table));
  if (!chosen) return SaveOutcome::Cancelled;
  // Checked before the table takes the name, so that a refused name is not
  // the one a later Save writes to.
  const std::filesystem::path folder = std::filesystem::path(*chosen).parent_path();
  std::error_code ec;
  if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
    ui_.showError(message(kSaveAsNeedsFolder, folder.string()));
    return SaveOutcome::Failed;
  }
  if (isUnreadableFile(table, *chosen)) {
    // Refused before the label changes to it.
    refuseUnreadable(table, *chosen);
    return SaveOutcome::Failed;
  }
  RenumberRows(table);
  setFile(table, *chosen);
  return write(table, *chosen) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

bool FileCommands::open(ChannelTable& table) {
  if (table.modified()) {
    const PromptAnswer answer =
        ui_.askYesNoAbort(table.isRig() ? kRigChangedBeforeOpen : kPermanentChangedBeforeOpen);
    if (answer == PromptAnswer::Abort) return false;
    // Going on after a failed save would replace the unsaved rows.
    if (answer == PromptAnswer::Yes && saveAs(table) == SaveOutcome::Failed) return false;
  }
  const auto chosen = ui_.chooseFile(kOpenDialog, dataFolder_, label(table));
  if (!chosen) return false;
  return openFile(table.kind(), *chosen);
}

bool FileCommands::openFile(TableKind which, const std::string& path, Marks marks) {
  ChannelTable& target = table(which);
  try {
    return openChosen(target, path, marks);
  } catch (const std::bad_alloc&) {
    // The rows are replaced only once everything for them is in place.
    setUnreadable(target, {path, std::string(kNotEnoughMemory)});
    ui_.showError(openError(path, kNotEnoughMemory));
    return false;
  }
}

bool FileCommands::openChosen(ChannelTable& table, const std::string& path, Marks marks) {
  ResetHeaders(permanent_, rig_);
  setFile(table, path);
  // Sorting by header stays off until the engine is idle again.
  table.setSortIndication(false);

  std::vector<ChannelRecord> rows;
  std::string reason;
  std::string bytes;
  if (!readMemoryListFile(fs_, path, rows, reason, &bytes)) {
    // The label names the file now, but the rows are the old ones.
    setUnreadable(table, {path, reason});
    ui_.showError(openError(path, reason));
    return false;
  }
  FileBase base;
  if (!table.isRig()) base.record(path, bytes, rows);
  bytes = std::string();
  if (rows.empty()) rows.push_back(table.record(0));  // an empty file keeps the headers
  // The permanent file always keeps a row to insert and drop at.
  if (!table.isRig() && rows.size() == 1) rows.emplace_back();
  std::string radio;
  if (table.isRig()) {
    // The record is the file's, not a header text to show.
    radio = recordedRadio(rows[0][colNumber]);
    if (!radio.empty()) rows[0][colNumber] = std::string(kColumnHeaders[colNumber]);
  }
  relabelAndClearMarks(rows, table.isRig(), marks == Marks::Keep);
  table.assign(std::move(rows), /*checkBoxes=*/true);
  table.setModified(false);
  setUnreadable(table, {});
  if (table.isRig()) {
    rigRowsRadio_ = std::move(radio);
    rigRowsQuestion_.clear();
  }
  if (!table.isRig()) permanentBase_ = std::move(base);
  return true;
}

void FileCommands::loadPermanentFile() {
  bool loaded = false;
  try {
    loaded = readPermanentFile();
  } catch (const std::bad_alloc&) {
    setUnreadable(permanent_, {currentFile(permanent_), std::string(kNotEnoughMemory)});
    permanentBase_.clear();
    ui_.showError(openError(currentFile(permanent_), kNotEnoughMemory));
  }
  if (!loaded) {
    // No file (or an empty or unreadable one): one empty row to start collecting into.
    SetColumnHeaders(permanent_);
    if (permanent_.dataRowCount() == 0) permanent_.setRowCount(2);
    AddRowCheckBoxes(permanent_);
    ClearChangedMarks(permanent_);
    for (int r = 1; r < permanent_.rowCount(); ++r) {
      permanent_.names().add(permanent_.cell(colName, r));
      rig_.names().add(permanent_.cell(colName, r));
    }
  }
  permanent_.setModified(false);
}

bool FileCommands::readPermanentFile() {
  const std::string path = currentFile(permanent_);
  std::vector<ChannelRecord> rows;
  std::string reason;
  std::string bytes;
  setUnreadable(permanent_, {});
  permanentBase_.clear();
  if (fs_.exists(path) && !readMemoryListFile(fs_, path, rows, reason, &bytes)) {
    setUnreadable(permanent_, {path, reason});
    ui_.showError(openError(path, reason));
    return false;
  }
  FileBase base;
  base.record(path, bytes, rows);
  bytes = std::string();
  if (rows.empty()) {
    permanentBase_ = std::move(base);
    return false;
  }
  // Everything is made before either table changes, so that running out of
  // memory leaves both as they were.
  NameList fileNames = permanent_.names();
  NameList rigNames = rig_.names();
  for (std::size_t r = 1; r < rows.size(); ++r) {
    fileNames.add(rows[r][colName]);
    rigNames.add(rows[r][colName]);
  }
  // A file of the header line alone still leaves a row to insert and drop at.
  if (rows.size() == 1) rows.emplace_back();
  // Labels stay as read; only the Changed marks are cleared.
  for (std::size_t r = 1; r < rows.size(); ++r) rows[r][colChanged] = std::string(kUnchecked);
  permanent_.assign(std::move(rows), /*checkBoxes=*/true);
  permanent_.names() = std::move(fileNames);
  rig_.names() = std::move(rigNames);
  permanentBase_ = std::move(base);
  return true;
}

bool FileCommands::confirmClose() {
  bool close = true;
  if (permanent_.modified()) {
    const PromptAnswer answer = ui_.askYesNoAbort(kPermanentChangedBeforeExit);
    if (answer == PromptAnswer::Abort) close = false;
    // A save that was cancelled or could not be written would lose the table
    // with the window: the user asked to keep it.
    if (answer == PromptAnswer::Yes && saveAs(permanent_) != SaveOutcome::Saved) close = false;
  }
  if (rig_.modified()) {
    const PromptAnswer answer = ui_.askYesNoAbort(kRigChangedBeforeExit);
    if (answer == PromptAnswer::Abort) close = false;
    if (answer == PromptAnswer::Yes && saveAs(rig_) != SaveOutcome::Saved) close = false;
  }
  return close;
}

}  // namespace tarnwick
