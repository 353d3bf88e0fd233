// Open and the start-up load of files that are not memory lists: what is
// not a regular file, what is too large, what would make millions of rows.
// Each is refused with the reason, at once, and both tables stay as they were
// (the header texts aside, which Open resets before it reads).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "files/file_commands.h"
#include "files/memory_list_format.h"
#include "tables/table_ops.h"
#include "tests/files/recording_ui.h"
#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

struct Snapshot {
  std::vector<ChannelRecord> rows;
  std::vector<bool> boxes;
  bool modified = false;
  std::vector<std::string> names;

  explicit Snapshot(const ChannelTable& t) : modified(t.modified()), names(t.names().items()) {
    for (int r = 0; r < t.rowCount(); ++r) {
      rows.push_back(t.record(r));
      boxes.push_back(t.hasCheckBoxes(r));
    }
  }
  bool operator==(const Snapshot&) const = default;
};

struct BoundedInput : ::testing::Test {
  testing::TempFolder dir;
  ChannelTable permanentTable{TableKind::PermanentFile};
  ChannelTable rigTable{TableKind::Rig};
  RecordingUi ui;
  FileCommands files{permanentTable, rigTable, ui};

  BoundedInput() {
    files.applySettings("", "", "", dir.path());
    for (ChannelTable* t : {&permanentTable, &rigTable}) {
      t->setRowCount(4);
      SetColumnHeaders(*t);
      AddRowCheckBoxes(*t);
      t->setCell(colFrequency, 2, "    145,500");
      t->setCell(colName, 2, "KEEP");
      t->names().add("KEEP");
      t->setModified(true);
    }
  }

  // Opens `path` into both tables in turn, and loads it at start-up into a
  // fresh pair; each must be refused with `reason` and change nothing.
  void expectRefused(const std::string& path, const std::string& reason, bool atStartUp = true) {
    const std::string error = "error Cannot open file " + path + "\n" + reason;
    for (ChannelTable* t : {&permanentTable, &rigTable}) {
      const Snapshot fileBefore(permanentTable), rigBefore(rigTable);
      ui.answers = {PromptAnswer::No};  // do not save the changed table first
      ui.files = {path};
      EXPECT_FALSE(t == &permanentTable ? files.open(TableKind::PermanentFile)
                                        : files.open(TableKind::Rig))
          << path;
      EXPECT_EQ(ui.calls.back(), error);
      EXPECT_TRUE(Snapshot(permanentTable) == fileBefore) << path;
      EXPECT_TRUE(Snapshot(rigTable) == rigBefore) << path;
    }
    if (!atStartUp) return;

    ChannelTable file(TableKind::PermanentFile), rig(TableKind::Rig);
    RecordingUi startUi;
    FileCommands startUp(file, rig, startUi);
    const SplitPath parts = splitPath(path);
    startUp.applySettings(parts.folder, parts.name, "", "");
    startUp.loadPermanentFile();
    EXPECT_EQ(startUi.calls, std::vector<std::string>{error});
    // As without a file: one empty row to collect into.
    EXPECT_EQ(file.dataRowCount(), 1);
    EXPECT_EQ(file.cell(colFrequency, 1), "");
    EXPECT_FALSE(file.modified());
  }
};

TEST_F(BoundedInput, FifoIsRefusedWithoutWaitingForAWriter) {
  const std::string fifo = dir.file("pipe.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  expectRefused(fifo, "Not a regular file");
}

TEST_F(BoundedInput, DeviceIsRefused) {
  expectRefused("/dev/zero", "Not a regular file");
}

TEST_F(BoundedInput, FolderIsRefused) {
  ::mkdir(dir.file("folder").c_str(), 0700);
  // At start-up a folder in the file's place counts as no file at all.
  expectRefused(dir.file("folder"), "Is a directory", /*atStartUp=*/false);
}

TEST_F(BoundedInput, FileOverTheCapIsRefusedUnread) {
  const std::string big = dir.file("big.txt");
  const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  // Sparse: nothing is written, the size alone is over the cap.
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxReadBytes) + 1), 0);
  ::close(fd);
  expectRefused(big, "Larger than 64 MiB");

  // At the cap itself the size is fine; what it holds decides.
  ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(kMaxReadBytes)), 0);
  std::string bytes;
  std::string reason;
  EXPECT_TRUE(defaultFileSystem().readAll(big, bytes, reason)) << reason;
  EXPECT_EQ(bytes.size(), kMaxReadBytes);
}

TEST_F(BoundedInput, TenMegabytesOfLineFeedsAreTooManyLines) {
  const std::string lf = dir.file("lf.txt");
  testing::writeBytes(lf, std::string(10 << 20, '\n'));
  expectRefused(lf, "More than 1,000,000 lines");
}

// With CR LF line ends, line feeds inside quoted texts are no lines and cost no rows.
TEST_F(BoundedInput, LineFeedsInsideTextsAreNotLines) {
  std::string bytes = "#;Frequency\r\n";
  bytes += "1;    145,500;\"" + std::string(4 << 20, '\n') + "\"\r\n2;7050\r\n";
  EXPECT_EQ(memoryListLineCount(bytes), 3u);
  EXPECT_EQ(memoryListLineCount(std::string(5, '\n')), 5u);
  EXPECT_EQ(memoryListLineCount("a\nb"), 2u);
  EXPECT_EQ(memoryListLineCount("a\r\nb\n"), 2u);
  EXPECT_EQ(memoryListLineCount(""), 0u);

  const std::string path = dir.file("texts.txt");
  testing::writeBytes(path, bytes);
  ui.answers = {PromptAnswer::No};
  ui.files = {path};
  ASSERT_TRUE(files.open(TableKind::Rig));
  EXPECT_EQ(rigTable.dataRowCount(), 2);
  EXPECT_EQ(rigTable.cell(colName, 1).size(), std::size_t{4} << 20);
}

}  // namespace
}  // namespace tarnwick
