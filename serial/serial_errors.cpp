#include "serial/serial_errors.h"

#include "serial/serial_types.h"

namespace tarnwick {

SerialOpenError::SerialOpenError(const std::string& device, int err)
    : std::system_error(err, std::generic_category(), device), device_(device) {}

std::string serialErrorText(int code) {
  if (code == kErrPortNotActive) return "The port is not active";
  if (code == kErrStringTooLong) return "String too long for Tx buffer";
  return std::generic_category().message(code);
}

}  // namespace tarnwick
