#pragma once
// The tables a read for a backup fills: the rig table holds what the store
// is about to write, and the permanent file collects nothing from a backup.

#include <vector>

#include "civ/engine.h"
#include "tables/channel_table.h"
#include "tables/permanent_index.h"

namespace tarnwick {

struct Engine::BackupRead {
  ChannelTable rig{TableKind::Rig};
  ChannelTable permanent{TableKind::PermanentFile};
  PermanentFileIndex index{permanent};
  std::vector<int> memories;  // ascending
  std::size_t next = 0;       // the memory asked for now
};

}  // namespace tarnwick
