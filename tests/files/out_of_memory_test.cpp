// Running out of memory while a file loads: every allocation of an Open or
// of the start-up load is made to fail in turn, and each time the command
// must either finish or leave both tables as they were, with "Not enough
// memory" said. A program of its own, for it replaces operator new.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "files/file_commands.h"
#include "tables/table_ops.h"
#include "tests/files/recording_ui.h"
#include "tests/support/temp_folder.h"

namespace {

// Allocations left before the one that fails; -1: none fails. The failure
// comes once, as when one large request cannot be met.
long allocationsBeforeFailure = -1;

void* allocate(std::size_t n) {
  if (allocationsBeforeFailure == 0) {
    allocationsBeforeFailure = -1;
    throw std::bad_alloc();
  }
  if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) {
  return allocate(n);
}
void* operator new[](std::size_t n) {
  return allocate(n);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace tarnwick {
namespace {

std::vector<ChannelRecord> contents(const ChannelTable& t) {
  std::vector<ChannelRecord> rows;
  for (int r = 0; r < t.rowCount(); ++r) rows.push_back(t.record(r));
  return rows;
}

constexpr const char* kFile =
    "#;Frequency;Name;Mode;Filter;Duplex;Tx Frequency;Repeater Tone;Tone Squelch;Select;Changed\r\n"
    "1;    145,500;CALL;FM;Normal;Simp;\"\";\"\";\"\";0;0\r\n"
    "2;  7,050.00;A LONGER NAME THAN SSO;LSB;Wide;Simp;\"\";\"\";\"\";1;1\r\n"
    "3;\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\"\r\n";

// The dialog chooses the file and from then on the n-th allocation fails;
// the error box records its text with the failure out of the way.
class ArmingUi : public RecordingUi {
 public:
  long failAt = -1;
  std::optional<std::string> chooseFile(const FileDialogSpec& dialog, const std::string& folder,
                                        const std::string& name) override {
    auto chosen = RecordingUi::chooseFile(dialog, folder, name);
    allocationsBeforeFailure = failAt;
    return chosen;
  }
  void showError(std::string_view text) override {
    const long left = allocationsBeforeFailure;
    allocationsBeforeFailure = -1;
    RecordingUi::showError(text);
    allocationsBeforeFailure = left;
  }
};

// Runs `command(n)` with the n-th allocation failing, for n = 0, 1, ...
// until it runs through without meeting the failure.
template <typename Command, typename Check>
void failEachAllocation(Command command, Check check) {
  for (long n = 0;; ++n) {
    ASSERT_LT(n, 100000) << "the command never finished";
    const bool done = command(n);
    const bool failed = allocationsBeforeFailure == -1;
    allocationsBeforeFailure = -1;
    check(done, failed, n);
    if (!failed) return;
  }
}

TEST(OutOfMemory, OpenLeavesTheTableAsItWas) {
  testing::TempFolder dir;
  testing::writeBytes(dir.file("f.txt"), kFile);
  for (const bool rig : {false, true}) {
    ChannelTable permanentTable{TableKind::PermanentFile};
    ChannelTable rigTable{TableKind::Rig};
    ArmingUi ui;
    FileCommands files{permanentTable, rigTable, ui};
    files.applySettings(dir.path(), "", "", "");
    ChannelTable& table = rig ? rigTable : permanentTable;
    table.setRowCount(3);
    SetColumnHeaders(table);
    table.setCell(colName, 1, "BEFORE");
    const std::vector<ChannelRecord> before = contents(table);
    failEachAllocation(
        [&](long n) {
          ui.calls.clear();
          ui.files = {dir.file("f.txt")};
          ui.failAt = n;
          return rig ? files.open(TableKind::Rig) : files.open(TableKind::PermanentFile);
        },
        [&](bool done, bool failed, long n) {
          if (done) {
            EXPECT_EQ(table.cell(colName, 1), "CALL") << n;
            return;
          }
          ASSERT_TRUE(failed) << n;
          EXPECT_EQ(contents(table), before) << n;
          ASSERT_FALSE(ui.calls.empty()) << n;
          EXPECT_NE(ui.calls.back().find("\nNot enough memory"), std::string::npos)
              << n << ": " << ui.calls.back();
        });
  }
}

TEST(OutOfMemory, StartUpLoadLeavesBothTablesAsTheyWere) {
  testing::TempFolder dir;
  testing::writeBytes(dir.file("icommemo.txt"), kFile);
  ChannelTable permanentTable{TableKind::PermanentFile};
  ChannelTable rigTable{TableKind::Rig};
  ArmingUi ui;
  FileCommands files{permanentTable, rigTable, ui};
  files.applySettings(dir.path(), "", "", "");
  failEachAllocation(
      [&](long n) {
        ui.calls.clear();
        permanentTable.assign({}, false);
        permanentTable.names().clear();
        rigTable.names().clear();
        allocationsBeforeFailure = n;
        files.loadPermanentFile();
        return ui.calls.empty();
      },
      [&](bool done, bool, long n) {
        if (done) {
          EXPECT_EQ(permanentTable.dataRowCount(), 3) << n;
          EXPECT_TRUE(rigTable.names().contains("CALL")) << n;
          return;
        }
        EXPECT_NE(ui.calls.back().find("\nNot enough memory"), std::string::npos) << n;
        // Nothing of the file: the empty start of a run without one.
        EXPECT_EQ(permanentTable.dataRowCount(), 1) << n;
        EXPECT_EQ(permanentTable.cell(colName, 1), "") << n;
        EXPECT_EQ(permanentTable.names().size(), 0u) << n;
        EXPECT_EQ(rigTable.names().size(), 0u) << n;
      });
}

}  // namespace
}  // namespace tarnwick
