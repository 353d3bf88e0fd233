// The permanent file when more than one program writes it, and when it
// cannot be read: nothing another program added, and nothing the file held,
// is lost by a save.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "files/file_commands.h"
#include "files/file_update_lock.h"
#include "files/memory_list_format.h"
#include "tables/table_ops.h"
#include "tests/files/recording_ui.h"
#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// One program's view of the permanent file: its tables and file commands.
struct Program {
  explicit Program(const TempFolder& dir) { files.applySettings(dir.path(), "", "", ""); }

  void add(const std::string& frequency, const std::string& name) {
    const int row = permanent.rowCount();
    permanent.insertRows(row, 1);
    permanent.setCell(colFrequency, row, frequency);
    permanent.setCell(colName, row, name);
    permanent.setCell(colMode, row, "FM");
    permanent.setModified(true);
  }
  int rowNamed(const std::string& name) const {
    for (int r = 1; r < permanent.rowCount(); ++r) {
      if (permanent.cell(colName, r) == name) return r;
    }
    return 0;
  }

  ChannelTable permanent{TableKind::PermanentFile};
  ChannelTable rig{TableKind::Rig};
  RecordingUi ui;
  FileCommands files{permanent, rig, ui};
};

std::vector<std::string> namesIn(const std::string& path) {
  std::vector<std::string> names;
  const auto rows = parseMemoryList(readBytes(path));
  for (std::size_t r = 1; r < rows.size(); ++r) names.push_back(rows[r][colName]);
  return names;
}

const std::string kStartFile =
    "#;Frequency;Name;Mode;Filter;Duplex;Tx Frequency;Repeater Tone;Tone "
    "Squelch;Select;Changed\r\n"
    "1;    145,500;CALL;FM;;;;;;;0\r\n"
    "2;    145,600;OLD;FM;;;;;;;0\r\n";

// The permanent file in `dir` holds kStartFile; its path.
std::string writeStartFile(const TempFolder& dir) {
  const std::string path = dir.file("icommemo.txt");
  writeBytes(path, kStartFile);
  return path;
}

TEST(SharedPermanentFile, SaveKeepsWhatAnotherProgramAddedAndDropsWhatThisOneDeleted) {
  TempFolder dir;
  const std::string path = writeStartFile(dir);
  Program window(dir);
  window.files.loadPermanentFile();

  // Without a change on disk a save is as it always was.
  window.add("    145,700", "MINE");
  ASSERT_TRUE(window.files.save(TableKind::PermanentFile));
  EXPECT_EQ(namesIn(path), (std::vector<std::string>{"CALL", "OLD", "MINE"}));
  EXPECT_EQ(window.ui.calls, std::vector<std::string>{});

  // Another program (an import, a read) adds two rows and changes one.
  Program other(dir);
  other.files.loadPermanentFile();
  other.add("    433,500", "IMPORT1");
  other.add("    433,600", "IMPORT2");
  other.permanent.setCell(colName, other.rowNamed("CALL"), "CALL2");
  ASSERT_TRUE(other.files.save(TableKind::PermanentFile));

  // The window deletes a row and adds one, then saves.
  window.permanent.removeRows(window.rowNamed("OLD"), 1);
  window.add("    145,800", "MINE2");
  ASSERT_TRUE(window.files.save(TableKind::PermanentFile));
  EXPECT_EQ(window.ui.calls,
            std::vector<std::string>{"note 3 channels added by another program were kept"});
  // The deleted row stays deleted; the other program's rows, its changed one
  // included, follow the window's, marked.
  EXPECT_EQ(namesIn(path),
            (std::vector<std::string>{"CALL", "MINE", "MINE2", "CALL2", "IMPORT1", "IMPORT2"}));
  ASSERT_EQ(window.permanent.dataRowCount(), 6);
  for (int r = 1; r <= 6; ++r) {
    EXPECT_EQ(window.permanent.cell(colNumber, r), std::to_string(r));
    EXPECT_EQ(window.permanent.cell(colChanged, r), r >= 4 ? "1" : "0") << r;
  }
  EXPECT_FALSE(window.permanent.modified());
  EXPECT_TRUE(window.rig.names().contains("IMPORT2"));

  // Saved again, nothing more comes in. The other program's next save keeps
  // the window's rows; OLD, which it never deleted, it writes again: each
  // program drops only what it deleted itself.
  window.ui.calls.clear();
  ASSERT_TRUE(window.files.save(TableKind::PermanentFile));
  EXPECT_EQ(window.ui.calls, std::vector<std::string>{});
  other.add("    433,700", "IMPORT3");
  ASSERT_TRUE(other.files.save(TableKind::PermanentFile));
  EXPECT_EQ(namesIn(path), (std::vector<std::string>{"CALL2", "OLD", "MINE", "IMPORT1", "IMPORT2",
                                                     "IMPORT3", "CALL", "MINE2"}));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"icommemo.txt"});  // no lock file stays
}

TEST(SharedPermanentFile, AFileCreatedAfterStartIsMergedIntoTheEmptyRow) {
  TempFolder dir;
  Program window(dir);
  window.files.loadPermanentFile();  // no file yet: one empty row
  Program other(dir);
  other.files.loadPermanentFile();
  other.permanent.setCell(colFrequency, 1, "    145,500");
  other.permanent.setCell(colName, 1, "FIRST");
  other.permanent.setModified(true);
  ASSERT_TRUE(other.files.save(TableKind::PermanentFile));

  ASSERT_TRUE(window.files.save(TableKind::PermanentFile));
  EXPECT_EQ(namesIn(dir.file("icommemo.txt")), std::vector<std::string>{"FIRST"});
  EXPECT_EQ(window.permanent.dataRowCount(), 1);
}

TEST(SharedPermanentFile, ASaveWaitsForTheLockThenSaysWhoHoldsIt) {
  TempFolder dir;
  const std::string path = writeStartFile(dir);
  Program window(dir);
  window.files.loadPermanentFile();
  window.files.setLockWait(300ms);
  window.add("    145,700", "MINE");

  FileUpdateLock held;
  std::string reason;
  ASSERT_TRUE(held.lock(path, 0ms, reason)) << reason;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(window.files.save(TableKind::PermanentFile));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  ASSERT_EQ(window.ui.calls.size(), 1u);
  EXPECT_EQ(window.ui.calls[0],
            "error Cannot Create file " + path +
                "\nAnother program is saving it: still locked after 1 second (" +
                dir.file(".icommemo.txt.lock") + ")");
  EXPECT_EQ(readBytes(path), kStartFile);
  EXPECT_TRUE(window.permanent.modified());

  held.unlock();
  EXPECT_TRUE(window.files.save(TableKind::PermanentFile));
  EXPECT_EQ(namesIn(path), (std::vector<std::string>{"CALL", "OLD", "MINE"}));
}

TEST(SharedPermanentFile, APermanentFileThatFailedToLoadIsNeverWrittenOver) {
  TempFolder dir;
  const std::string path = dir.file("icommemo.txt");
  // More lines than a reader takes.
  std::string tooLong;
  for (std::size_t i = 0; i <= kMaxMemoryListLines; ++i) tooLong += "\r\n";
  writeBytes(path, tooLong);
  Program window(dir);
  window.files.loadPermanentFile();
  ASSERT_EQ(window.ui.calls, std::vector<std::string>{"error Cannot open file " + path +
                                                      "\nMore than 1,000,000 lines"});
  EXPECT_EQ(window.files.unreadableFile(TableKind::PermanentFile), path);
  EXPECT_EQ(window.files.unreadableReason(TableKind::PermanentFile), "More than 1,000,000 lines");
  EXPECT_EQ(window.files.fileWarning(),
            "icommemo.txt not loaded (More than 1,000,000 lines): Save asks for another name");
  window.add("    145,700", "COLLECTED");

  // Save asks for another name; cancelled, nothing is written.
  window.ui.calls.clear();
  EXPECT_FALSE(window.files.save(TableKind::PermanentFile));
  ASSERT_EQ(window.ui.calls.size(), 1u);
  EXPECT_TRUE(window.ui.calls[0].starts_with("Save Icom Memory File in ")) << window.ui.calls[0];
  // The same file chosen again is refused; so is the close question's save.
  window.ui.files = {path};
  EXPECT_FALSE(window.files.save(TableKind::PermanentFile));
  EXPECT_EQ(window.ui.calls.back(), "error Cannot Create file " + path +
                                        "\nNot written over: it could not be read (More than "
                                        "1,000,000 lines)");
  window.ui.answers = {PromptAnswer::Yes};
  window.ui.files = {path};
  EXPECT_FALSE(window.files.confirmClose());
  EXPECT_EQ(readBytes(path), tooLong);
  EXPECT_EQ(window.files.permanentFileName(), "icommemo.txt");

  // Another name takes the rows.
  window.ui.files = {dir.file("rescued.txt")};
  EXPECT_TRUE(window.files.save(TableKind::PermanentFile));
  EXPECT_EQ(namesIn(dir.file("rescued.txt")), (std::vector<std::string>{"", "COLLECTED"}));
  EXPECT_EQ(readBytes(path), tooLong);
  // Opening a file that reads ends the warning.
  window.ui.files = {dir.file("rescued.txt")};
  ASSERT_TRUE(window.files.open(TableKind::PermanentFile));
  EXPECT_EQ(window.files.fileWarning(), "");
}

TEST(SharedPermanentFile, WhatTheReaderWouldRefuseIsNotWritten) {
  // One limit for both: the reader's refusal, checked on what would be written.
  std::string lines;
  for (std::size_t i = 0; i < kMaxMemoryListLines; ++i) lines += "\r\n";
  EXPECT_EQ(memoryListLimitReason(lines), "");
  EXPECT_EQ(memoryListLimitReason(lines + "x\r\n"), "More than 1,000,000 lines");
  EXPECT_EQ(memoryListLimitReason(std::string(kMaxReadBytes + 1, 'x')), "Larger than 64 MiB");

  TempFolder dir;
  const std::string path = writeStartFile(dir);
  Program window(dir);
  window.files.loadPermanentFile();
  // A million data rows and the header are one line too many.
  window.permanent.setRowCount(static_cast<int>(kMaxMemoryListLines) + 1);
  window.permanent.setModified(true);
  EXPECT_FALSE(window.files.save(TableKind::PermanentFile));
  EXPECT_EQ(window.ui.calls.back(),
            "error Cannot Create file " + path + "\nMore than 1,000,000 lines");
  EXPECT_EQ(readBytes(path), kStartFile);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"icommemo.txt"});
  EXPECT_TRUE(window.permanent.modified());
}

}  // namespace
}  // namespace tarnwick
