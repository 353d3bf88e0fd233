#pragma once
// tarnwick-cli end to end: a radio simulator on a pseudo-terminal, the
// command run in-process with its output and exit code, files in a
// temporary folder.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "files/memory_list_format.h"
#include "rig/memory_contents.h"
#include "rig/rig_catalogue.h"
#include "sim/memory_file.h"
#include "sim/memory_layout.h"
#include "sim/simulator.h"
#include "tables/fill_rig_row.h"
#include "tables/permanent_index.h"
#include "tables/table_ops.h"
#include "tests/support/temp_folder.h"

namespace tarnwick::cli {

using namespace std::chrono_literals;

inline void writeRows(const std::string& path, const std::vector<ChannelRecord>& rows) {
  std::string bytes;
  for (const ChannelRecord& r : rows) appendMemoryListLine(bytes, r);
  testing::writeBytes(path, bytes);
}

// The radio, the command's output and its exit code.
class CliEndToEnd : public ::testing::Test {
 protected:
  // `nameLength` plays a radio whose names come in another length (0: its own).
  void startRadio(const std::string& simName, sim::SimulatorOptions options = {},
                  int nameLength = 0) {
    const sim::RadioModel* found = sim::findRadioModel(simName);
    ASSERT_NE(found, nullptr);
    const std::optional<sim::RadioModel> other =
        nameLength > 0 ? sim::withNameLength(*found, nameLength) : std::nullopt;
    ASSERT_TRUE(nameLength == 0 || other.has_value());
    playedModel_ = other ? *other : *found;
    simModel_ = &playedModel_;
    radio_ = std::make_unique<sim::Simulator>(
        *simModel_, sim::parseMemoryFile(sim::defaultMemoryText(*simModel_), *simModel_), options);
    radio_->start();
  }

  int run(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    std::vector<char*> argv{const_cast<char*>("tarnwick-cli")};
    for (std::string& a : args) {
      if (a == "DEV") a = radio_ ? radio_->devicePath() : "/dev/null-device";
      argv.push_back(a.data());
    }
    RunEnvironment env;
    env.debugLogPath = dir_.file("icomdeb.txt");
    env.backupFolder = userBackupFolder_ ? "" : backups();
    env.tick = tick_;
    return cliMain(static_cast<int>(argv.size()), argv.data(), out_, err_, env);
  }

  // The file a Save of the rig table writes after a read, made through the
  // decoder, the row filler and the file writer, from the radio's memories.
  std::string expectedBank(int modelIndex, int band) const {
    const RigModel& model = *findRigModel(modelIndex);
    ChannelTable permanent(TableKind::PermanentFile);
    ChannelTable rig(TableKind::Rig);
    PermanentFileIndex index(permanent);
    rig.setRowCount(model.rigTableRows());
    ResetHeaders(permanent, rig);
    const sim::RadioState state = radio_->state();
    DuplexOffsets offsets;
    if (model.hasOffsetSequence) {
      offsets = {static_cast<std::int32_t>(state.offsetsHz[0]),
                 static_cast<std::int32_t>(state.offsetsHz[1]),
                 static_cast<std::int32_t>(state.offsetsHz[2])};
    }
    for (int n = 1; n <= model.memoryCount; ++n) {
      const sim::MemoryKey key{band, n};
      const sim::Bytes data = sim::encodeMemory(*simModel_, key, state.memory(key));
      DecodedMemory memory;
      EXPECT_TRUE(decodeMemoryContents(simModel_->address, data, modelIndex, memory)) << n;
      fillRigRow(memory, modelIndex, offsets, rig, permanent, index);
    }
    // The header's first field records the radio read.
    const std::string_view bandText =
        model.usesBand ? kBandTexts[static_cast<std::size_t>(band - 1)] : "";
    return formatMemoryList(rig, radioName(modelIndex, bandText));
  }

  std::string backups() const { return dir_.file("backups"); }

  // Time-outs come three to four ticks after a command. Tests that expect an
  // answer keep them well beyond a loaded machine's hiccups; tests that
  // expect silence shorten them.
  std::chrono::milliseconds tick_ = 250ms;
  // Backups where the user's environment puts them, not in the test's folder.
  bool userBackupFolder_ = false;
  testing::TempFolder dir_;
  sim::RadioModel playedModel_{};
  const sim::RadioModel* simModel_ = nullptr;
  std::unique_ptr<sim::Simulator> radio_;
  std::ostringstream out_;
  std::ostringstream err_;
};

}  // namespace tarnwick::cli
