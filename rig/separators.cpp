#include "rig/separators.h"

#include <locale>
#include <optional>
#include <stdexcept>

namespace tarnwick {
namespace {

std::optional<Separators>& overrideSlot() {
  static std::optional<Separators> slot;
  return slot;
}

}  // namespace

Separators Separators::fromUserLocale() {
  Separators s = point();
  try {
    const std::locale loc("");
    const auto& np = std::use_facet<std::numpunct<char>>(loc);
    s.decimal = np.decimal_point();
    const char t = np.thousands_sep();
    // A locale without grouping, or with a separator that is not a single
    // printable byte, gets the usual partner of its decimal separator.
    if (!np.grouping().empty() && t != s.decimal && static_cast<unsigned char>(t) >= 0x20) {
      s.thousands = t;
    } else {
      s.thousands = s.decimal == ',' ? '.' : ',';
    }
  } catch (const std::runtime_error&) {
    // An unknown locale name in the environment: keep the point locale.
  }
  return s;
}

Separators Separators::current() {
  if (overrideSlot()) return *overrideSlot();
  static const Separators user = fromUserLocale();
  return user;
}

ScopedSeparators::ScopedSeparators(Separators s)
    : hadPrevious_(overrideSlot().has_value()), previous_(overrideSlot().value_or(Separators{})) {
  overrideSlot() = s;
}

ScopedSeparators::~ScopedSeparators() {
  if (hadPrevious_) {
    overrideSlot() = previous_;
  } else {
    overrideSlot().reset();
  }
}

}  // namespace tarnwick
