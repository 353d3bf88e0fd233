#pragma once
// How the serial component reports trouble: a failed open is thrown to the
// caller; everything else goes through the error dialog, the OnError event or
// nowhere, as NotifyErrors says.

#include <string>
#include <system_error>

namespace tarnwick {

// The device could not be opened: absent, not a serial line, or held by
// another program.
class SerialOpenError : public std::system_error {
 public:
  SerialOpenError(const std::string& device, int err);
  const std::string& device() const { return device_; }

 private:
  std::string device_;
};

// A modal error box with an OK button; the GUI implements it.
class SerialErrorDialog {
 public:
  virtual ~SerialErrorDialog() = default;
  virtual void showError(const std::string& text) = 0;
};

// "The port is not active" for -1, "String too long for Tx buffer" for -2,
// the system's message for an errno value.
std::string serialErrorText(int code);

inline constexpr const char* kBaudrateNotValid = "Baudrate is not valid";

}  // namespace tarnwick
