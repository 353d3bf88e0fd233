#include "rig/data_modes.h"

#include "rig/value_codes.h"

namespace tarnwick {
namespace {

// Our data modes are their plain mode's text with this suffix.
constexpr std::string_view kDataSuffix = "-D";

}  // namespace

std::string_view withoutData(std::string_view mode) {
  // A data mode is one whose memory code carries the data flag.
  if (encodeMode(modeIndexOf(mode)).dataFlag == 0) return mode;
  return mode.substr(0, mode.size() - kDataSuffix.size());
}

std::string dataVariant(std::string_view mode) {
  std::string data = std::string(mode) + std::string(kDataSuffix);
  return withoutData(data) == mode ? data : std::string();
}

}  // namespace tarnwick
