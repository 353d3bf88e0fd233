#include "chirp/chirp_columns.h"

#include "rig/text_trim.h"
#include "tables/latin1_case.h"

namespace tarnwick {
namespace {

// Our column names are ASCII, so folding Latin-1 case changes no match.
bool sameName(std::string_view a, std::string_view b) {
  return compareNoCase(trimmed(a), b) == 0;
}

}  // namespace

ChirpHeader::ChirpHeader(std::span<const std::string> names)
    : fieldCount_(static_cast<int>(names.size())) {
  positions_.fill(-1);
  for (int c = 0; c < kChirpColumnCount; ++c) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (sameName(names[i], kChirpColumnNames[static_cast<std::size_t>(c)])) {
        positions_[static_cast<std::size_t>(c)] = static_cast<int>(i);
        break;
      }
    }
  }
}

ChirpRow ChirpHeader::row(std::span<const std::string> fields) const {
  ChirpRow row;
  for (int c = 0; c < kChirpColumnCount; ++c) {
    const auto column = static_cast<ChirpColumn>(c);
    const int p = position(column);
    if (p < 0) continue;
    row.setPresent(column);
    if (static_cast<std::size_t>(p) < fields.size())
      row[column] = fields[static_cast<std::size_t>(p)];
  }
  return row;
}

}  // namespace tarnwick
