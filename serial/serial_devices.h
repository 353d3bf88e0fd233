#pragma once
// The serial devices of this machine as a user picks them, and why a port
// could not be opened, in words a user can act on.

#include <string>
#include <vector>

#include "serial/port_lock.h"
#include "serial/serial_errors.h"

namespace tarnwick {

struct SerialDevice {
  std::string path;        // "/dev/serial/by-id/usb-FTDI_...", "/dev/ttyUSB0", "/dev/ttyS0"
  std::string kernelName;  // the tty behind it: "ttyUSB0"
  std::string maker;       // USB manufacturer, when the device is on USB and says so
  std::string product;     // USB product
};

// Present devices, in this order: the names under /dev/serial/by-id (stable
// across replugging), then ttyUSB*, ttyACM*, and the ttyS* with a UART
// behind them, each group sorted by name and number. `root` stands for "/"
// (tests give a fake tree holding dev/ and sys/); paths start with it.
std::vector<SerialDevice> listSerialDevices(const std::string& root = "/");

// "FTDI FT232R USB UART", "built-in serial port", or empty.
std::string deviceDescription(const SerialDevice& device);

// The device of a COM number that has none assigned: COM n is /dev/ttyS<n-1>.
std::string defaultPortDevice(int port);

// Where a refused open looks for the program holding the port.
struct PortHolderLookup {
  std::string lockDirectory = kDefaultLockDirectory;
  std::string procRoot = "/proc";
};

// Why the device could not be opened, as a clause: "no such device",
// "no permission (...)", "in use by another program (minicom, process 4242)",
// "not a serial device", or the system's text.
std::string openFailureReason(const SerialOpenError& e, const PortHolderLookup& lookup = {});

// The box shown when the port cannot be opened: two fixed lines and a third
// naming the device and the reason.
inline constexpr const char* kPortNotValidMessage =
    "COM-Port not valid or in use.\nCheck hardware or select other COM-Port.";
std::string portOpenFailedMessage(const SerialOpenError& e, const PortHolderLookup& lookup = {});

}  // namespace tarnwick
