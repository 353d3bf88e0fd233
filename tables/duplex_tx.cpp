#include "tables/duplex_tx.h"

#include <limits>

#include "rig/frequency_text.h"

namespace tarnwick {

std::string duplexTxText(std::int32_t rxHz, DuplexCode duplex, std::int64_t offsetHz,
                         std::string_view mode, Separators sep) {
  if (rxHz < 1 || (duplex != 1 && duplex != 2)) return {};
  const std::int64_t tx = duplex == 1 ? rxHz - offsetHz : rxHz + offsetHz;
  if (tx < 1 || tx > std::numeric_limits<std::int32_t>::max()) return {};
  return formatFrequency(static_cast<std::int32_t>(tx), mode, sep);
}

void recomputeDuplexTx(ChannelTable& table, const DuplexOffsets& offsets, Separators sep) {
  table.editRows(1, table.rowCount() - 1, colTxFrequency, colTxFrequency,
                 [&](int, ChannelRecord& rec) {
                   const DuplexCode duplex = duplexCodeOf(rec[colDuplex]);
                   if (duplex != 1 && duplex != 2) return false;
                   const std::int32_t rx = parseFrequency(rec[colFrequency], sep);
                   std::string tx =
                       duplexTxText(rx, duplex, offsets.forReceiveFrequency(rx), rec[colMode], sep);
                   if (rec[colTxFrequency] == tx) return false;
                   rec[colTxFrequency] = std::move(tx);
                   return true;
                 });
}

}  // namespace tarnwick
