#include "serial/serial_devices.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// A /dev and /sys the way the kernel and udev lay them out for two USB
// adapters and two of four built-in serial ports.
class FakeMachine : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tty : {"ttyS0", "ttyS1", "ttyS10", "ttyS2", "ttyUSB10", "ttyUSB2", "ttyUSB0",
                            "ttyACM0", "tty0", "ttyUSBx", "console"}) {
      write("dev/" + std::string(tty), "");
    }
    // Only ttyS0 and ttyS10 have a UART.
    write("sys/class/tty/ttyS0/type", "4\n");
    write("sys/class/tty/ttyS1/type", "0\n");
    write("sys/class/tty/ttyS10/type", "4\n");

    // An FTDI cable: the tty sits two folders below the USB device.
    const std::string ftdi = "sys/devices/pci0000:00/usb1/1-1";
    write(ftdi + "/idVendor", "0403\n");
    write(ftdi + "/manufacturer", "FTDI\n");
    write(ftdi + "/product", "FT232R USB UART\n");
    fs::create_directories(root(ftdi + "/1-1:1.0/ttyUSB0"));
    link("../../../devices/pci0000:00/usb1/1-1/1-1:1.0/ttyUSB0", "sys/class/tty/ttyUSB0/device");
    // A modem-class radio interface that names only its product.
    const std::string acm = "sys/devices/pci0000:00/usb1/1-2";
    write(acm + "/idVendor", "0c26\n");
    write(acm + "/product", "IC-9700 Serial\n");
    fs::create_directories(root(acm + "/1-2:1.0"));
    link("../../../devices/pci0000:00/usb1/1-2/1-2:1.0", "sys/class/tty/ttyACM0/device");

    link("../../ttyUSB0", "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    link("../../ttyUSB7", "dev/serial/by-id/usb-gone-if00-port0");  // unplugged
  }

  std::string root(const std::string& rel = "") const { return dir_.path() + "/" + rel; }
  void write(const std::string& rel, const std::string& text) {
    fs::create_directories(fs::path(root(rel)).parent_path());
    std::ofstream(root(rel)) << text;
  }
  void link(const std::string& target, const std::string& rel) {
    fs::create_directories(fs::path(root(rel)).parent_path());
    fs::create_symlink(target, root(rel));
  }

  TempFolder dir_;
};

TEST_F(FakeMachine, ListsStableNamesFirstThenUsbThenBuiltInPortsWithAUart) {
  const std::vector<SerialDevice> devices = listSerialDevices(dir_.path());
  std::vector<std::string> paths;
  for (const SerialDevice& d : devices) paths.push_back(d.path.substr(dir_.path().size()));
  EXPECT_EQ(paths,
            (std::vector<std::string>{
                "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "/dev/ttyUSB0",
                "/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS10"}));
  ASSERT_EQ(devices.size(), 7u);
  EXPECT_EQ(devices[0].kernelName, "ttyUSB0");
  EXPECT_EQ(deviceDescription(devices[0]), "FTDI FT232R USB UART");
  EXPECT_EQ(deviceDescription(devices[1]), "FTDI FT232R USB UART");
  EXPECT_EQ(deviceDescription(devices[2]), "");  // no sysfs entry: nothing to say
  EXPECT_EQ(devices[4].maker, "");
  EXPECT_EQ(deviceDescription(devices[4]), "IC-9700 Serial");
  EXPECT_EQ(deviceDescription(devices[5]), "built-in serial port");
}

TEST_F(FakeMachine, AMachineWithoutSerialPortsListsNothing) {
  TempFolder empty;
  EXPECT_TRUE(listSerialDevices(empty.path()).empty());
  EXPECT_TRUE(listSerialDevices(empty.path() + "/missing").empty());
}

TEST(SerialDevices, DescriptionsDoNotRepeatTheMaker) {
  SerialDevice d;
  d.kernelName = "ttyUSB0";
  d.maker = "Silicon Labs";
  d.product = "Silicon Labs CP210x UART Bridge";
  EXPECT_EQ(deviceDescription(d), "Silicon Labs CP210x UART Bridge");
  d.product = "";
  EXPECT_EQ(deviceDescription(d), "Silicon Labs");
}

TEST(SerialDevices, ComNumbersWithoutAnAssignmentAreTheBuiltInPorts) {
  EXPECT_EQ(defaultPortDevice(1), "/dev/ttyS0");
  EXPECT_EQ(defaultPortDevice(9), "/dev/ttyS8");
}

class OpenFailure : public ::testing::Test {
 protected:
  std::string reason(const std::string& device, int err) {
    return openFailureReason(SerialOpenError(device, err), lookup_);
  }
  void writeFile(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
  }

  TempFolder dir_;
  PortHolderLookup lookup_{.lockDirectory = dir_.path() + "/lock",
                           .procRoot = dir_.path() + "/proc"};
};

TEST_F(OpenFailure, SaysWhatTheUserCanDoAboutIt) {
  EXPECT_EQ(reason("/dev/ttyUSB3", ENOENT), "no such device");
  EXPECT_EQ(reason("/dev/ttyS3", ENXIO), "no such device");
  EXPECT_EQ(reason("/dev/null", ENOTTY), "not a serial device");
  // The group to join is the device's; one we cannot ask about is the usual one.
  const std::string noPermission = reason("/dev/ttyUSB3", EACCES);
  EXPECT_NE(noPermission.find("no permission"), std::string::npos);
  EXPECT_NE(noPermission.find("dialout"), std::string::npos);
  EXPECT_NE(noPermission.find("log in again"), std::string::npos);
  EXPECT_EQ(reason("/dev/ttyUSB3", EIO), std::generic_category().message(EIO));
}

TEST_F(OpenFailure, NamesTheProgramHoldingTheLock) {
  writeFile(dir_.path() + "/lock/LCK..ttyUSB3", "      4242\n");
  writeFile(dir_.path() + "/proc/4242/comm", "minicom\n");
  EXPECT_EQ(reason("/dev/ttyUSB3", EBUSY), "in use by another program (minicom, process 4242)");
  // A lock whose process is gone, or no lock at all, names nobody.
  writeFile(dir_.path() + "/lock/LCK..ttyUSB4", "      4343\n");
  EXPECT_EQ(reason("/dev/ttyUSB4", EBUSY), "in use by another program");
  EXPECT_EQ(reason("/dev/ttyUSB5", EBUSY), "in use by another program");
  writeFile(dir_.path() + "/lock/LCK..ttyUSB6", "garbage\n");
  EXPECT_EQ(reason("/dev/ttyUSB6", EBUSY), "in use by another program");
}

TEST_F(OpenFailure, NamesALockThatIsNotAPlainFile) {
  fs::create_directories(dir_.path() + "/lock/LCK..ttyUSB3");
  EXPECT_EQ(reason("/dev/ttyUSB3", EBUSY), "in use by another program (" + dir_.path() +
                                               "/lock/LCK..ttyUSB3 is not a plain lock file)");
}

TEST_F(OpenFailure, TheLockOfALiveProgramIsFoundThroughTheRealProc) {
  writeFile(dir_.path() + "/lock/LCK..ttyUSB3", std::to_string(::getpid()) + "\n");
  lookup_.procRoot = "/proc";
  EXPECT_NE(reason("/dev/ttyUSB3", EBUSY).find("process " + std::to_string(::getpid())),
            std::string::npos);
}

TEST_F(OpenFailure, TheBoxKeepsItsTwoLinesAndAddsTheReason) {
  EXPECT_EQ(portOpenFailedMessage(SerialOpenError("/dev/ttyS4", ENOENT), lookup_),
            "COM-Port not valid or in use.\nCheck hardware or select other COM-Port.\n"
            "/dev/ttyS4: no such device.");
}

}  // namespace
}  // namespace tarnwick
