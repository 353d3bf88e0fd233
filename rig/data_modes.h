#pragma once
// Our data modes and their plain modes: "USB-D" is USB with the data flag.

#include <string>
#include <string_view>

namespace tarnwick {

// The plain mode of a data mode ("USB-D" -> "USB"); other texts unchanged.
std::string_view withoutData(std::string_view mode);
// The data mode of a plain one ("USB" -> "USB-D"); empty when there is none.
std::string dataVariant(std::string_view mode);

}  // namespace tarnwick
