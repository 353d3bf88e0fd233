// Feeds arbitrary bytes to the memory list reader; every row read must write
// out again and read back to the same cells.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/memory_list_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto rows = tarnwick::parseMemoryList(bytes);
  for (const tarnwick::ChannelRecord& row : rows) {
    // The reader never makes a text holding CR LF, the one thing a write
    // cannot keep, so every row it makes must survive a write.
    std::string line;
    tarnwick::appendMemoryListLine(line, row);
    const auto back = tarnwick::parseMemoryList(line);
    if (back.size() != 1 || back[0] != row) std::abort();
  }
  return 0;
}
