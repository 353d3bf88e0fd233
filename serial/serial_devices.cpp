#include "serial/serial_devices.h"

#include <grp.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// The tty groups after the by-id names, in the order they are listed.
constexpr std::string_view kTtyGroups[] = {"ttyUSB", "ttyACM", "ttyS"};

std::string underRoot(const std::string& root, std::string_view path) {
  std::string joined = root;
  while (!joined.empty() && joined.back() == '/') joined.pop_back();
  return joined.append(path);
}

// The first line of a small file, without trailing blanks; empty when unreadable.
std::string firstLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ') line.pop_back();
  return line;
}

// The number after a group's prefix ("ttyUSB12" -> 12), or -1.
long ttyNumber(std::string_view name, std::string_view prefix) {
  if (!name.starts_with(prefix) || name.size() == prefix.size() ||
      name.size() > prefix.size() + 6) {
    return -1;
  }
  long n = 0;
  for (char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// The USB manufacturer and product of the device a tty sits on: the nearest
// folder above the tty's device in sysfs that describes a USB device.
void readUsbStrings(const std::string& sys, SerialDevice& device) {
  std::error_code ec;
  const fs::path sysRoot = fs::canonical(sys, ec);
  if (ec) return;
  fs::path at = fs::canonical(fs::path(sys) / "class/tty" / device.kernelName / "device", ec);
  for (int up = 0; !ec && up < 8 && at.string().starts_with(sysRoot.string()) && at != sysRoot;
       ++up, at = at.parent_path()) {
    if (fs::exists(at / "idVendor", ec)) {
      device.maker = firstLine(at / "manufacturer");
      device.product = firstLine(at / "product");
      return;
    }
  }
}

// A ttyS node exists for every port the driver could serve; only those whose
// UART type is known have hardware behind them.
bool hasUart(const std::string& sys, const std::string& name) {
  const std::string type = firstLine(fs::path(sys) / "class/tty" / name / "type");
  return !type.empty() && std::atoi(type.c_str()) != 0;
}

std::vector<SerialDevice> byIdDevices(const std::string& dev, const std::string& sys) {
  std::vector<SerialDevice> found;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(dev + "/serial/by-id", ec)) {
    std::error_code linkError;
    const fs::path target = fs::canonical(entry.path(), linkError);
    if (linkError) continue;  // a link left behind by a device that is gone
    SerialDevice device;
    device.path = entry.path().string();
    device.kernelName = target.filename().string();
    readUsbStrings(sys, device);
    found.push_back(std::move(device));
  }
  std::ranges::sort(found, {}, &SerialDevice::path);
  return found;
}

std::vector<SerialDevice> ttyDevices(const std::string& dev, const std::string& sys,
                                     std::string_view prefix) {
  std::vector<std::pair<long, SerialDevice>> found;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(dev, ec)) {
    const std::string name = entry.path().filename().string();
    const long number = ttyNumber(name, prefix);
    if (number < 0 || (prefix == "ttyS" && !hasUart(sys, name))) continue;
    SerialDevice device;
    device.path = entry.path().string();
    device.kernelName = name;
    readUsbStrings(sys, device);
    found.emplace_back(number, std::move(device));
  }
  std::ranges::sort(found, {}, &std::pair<long, SerialDevice>::first);
  std::vector<SerialDevice> devices;
  for (auto& [number, device] : found) devices.push_back(std::move(device));
  return devices;
}

// The name of the group owning the device, for the hint to join it; the
// usual serial group when the device cannot be asked or belongs to root.
std::string deviceGroup(const std::string& device) {
  struct stat st {};
  if (::stat(device.c_str(), &st) == 0 && st.st_gid != 0) {
    struct group entry {};
    struct group* found = nullptr;
    char buffer[1024];
    if (::getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &found) == 0 && found) {
      return found->gr_name;
    }
  }
  return "dialout";
}

// " (minicom, process 4242)" when the port's lock file names a process that
// is running, the lock's path when it is not a plain file, else nothing.
std::string holderText(const std::string& device, const PortHolderLookup& lookup) {
  const long pid = PortLock::holder(lookup.lockDirectory, device);
  if (pid == PortLock::kForeignLock) {
    return " (" + lookup.lockDirectory + "/" + PortLock::fileName(device) +
           " is not a plain lock file)";
  }
  if (pid <= 0) return {};
  const std::string command = firstLine(lookup.procRoot + "/" + std::to_string(pid) + "/comm");
  if (command.empty()) return {};  // gone: the lock is stale and says nothing
  return " (" + command + ", process " + std::to_string(pid) + ")";
}

}  // namespace

std::vector<SerialDevice> listSerialDevices(const std::string& root) {
  const std::string dev = underRoot(root, "/dev");
  const std::string sys = underRoot(root, "/sys");
  std::vector<SerialDevice> devices = byIdDevices(dev, sys);
  for (std::string_view prefix : kTtyGroups) {
    for (SerialDevice& d : ttyDevices(dev, sys, prefix)) devices.push_back(std::move(d));
  }
  return devices;
}

std::string deviceDescription(const SerialDevice& device) {
  std::string text = device.product;
  if (!device.maker.empty() && !device.product.starts_with(device.maker)) {
    text = device.product.empty() ? device.maker : device.maker + " " + device.product;
  }
  if (text.empty() && ttyNumber(device.kernelName, "ttyS") >= 0) text = "built-in serial port";
  return text;
}

std::string defaultPortDevice(int port) {
  return "/dev/ttyS" + std::to_string(port - 1);
}

std::string openFailureReason(const SerialOpenError& e, const PortHolderLookup& lookup) {
  switch (e.code().value()) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
    case ELOOP:
      return "no such device";
    case EACCES:
    case EPERM:
      return "no permission (join the group " + deviceGroup(e.device()) + ", then log in again)";
    case EBUSY:
      return "in use by another program" + holderText(e.device(), lookup);
    case ENOTTY:
    case EISDIR:
      return "not a serial device";
    default:
      return e.code().message();
  }
}

std::string portOpenFailedMessage(const SerialOpenError& e, const PortHolderLookup& lookup) {
  return std::string(kPortNotValidMessage) + "\n" + e.device() + ": " +
         openFailureReason(e, lookup) + ".";
}

}  // namespace tarnwick
