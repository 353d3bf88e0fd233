#include <gtest/gtest.h>
#include <termios.h>

#include <filesystem>
#include <fstream>

#include "serial/line_settings.h"
#include "serial_fixture.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using testing::TSerialPty;

TEST(TSerialDevice, PortNumbersMapToDevices) {
  EventLoop loop;
  TSerial s(loop);
  s.setPort(2);
  EXPECT_EQ(s.DevicePath(), "/dev/ttyS1");
  s.setDeviceForPort(2, "/dev/ttyUSB0");
  EXPECT_EQ(s.DevicePath(), "/dev/ttyUSB0");
  s.setPort(3);
  EXPECT_EQ(s.DevicePath(), "/dev/ttyS2");
  s.setDevice("/dev/pts/9");  // a path given directly wins over the number
  EXPECT_EQ(s.DevicePath(), "/dev/pts/9");
  s.setDevice("");
  s.setDeviceForPort(2, "");
  s.setPort(2);
  EXPECT_EQ(s.DevicePath(), "/dev/ttyS1");
  EXPECT_THROW(s.setPort(0), std::out_of_range);
  EXPECT_THROW(s.setPort(10), std::out_of_range);
  EXPECT_EQ(s.Port(), 2);
}

TEST_F(TSerialPty, OpenFailuresAreThrownNotShown) {
  // Absent device.
  serial.setDevice(locks.path() + "/no-such-tty");
  EXPECT_THROW(serial.setActive(true), SerialOpenError);
  EXPECT_FALSE(serial.Active());
  // Not a serial line.
  const std::string plain = locks.path() + "/plain-file";
  std::ofstream(plain) << "x";
  serial.setDevice(plain);
  EXPECT_THROW(serial.setActive(true), SerialOpenError);

  // Held by another port object, then by another program's lock file.
  serial.setDevice(pty.devicePath());
  serial.setActive(true);
  TSerial other(loop);
  other.setDataBits(d8bit);  // what a pseudo-terminal can take
  other.setDevice(pty.devicePath());
  other.setLockDirectory(locks.path());
  other.setErrorDialog(&dialog);
  try {
    other.setActive(true);
    FAIL() << "a held port must not open twice";
  } catch (const SerialOpenError& e) {
    EXPECT_EQ(e.code().value(), EBUSY);
    EXPECT_EQ(e.device(), pty.devicePath());
  }
  EXPECT_FALSE(other.Active());
  serial.setActive(false);
  other.setActive(true);  // free again once closed
  EXPECT_TRUE(other.Active());
  other.setActive(false);

  const std::string lockFile = locks.path() + "/" + PortLock::fileName(pty.devicePath());
  std::ofstream(lockFile) << "         1\n";
  EXPECT_THROW(serial.setActive(true), SerialOpenError);
  EXPECT_FALSE(serial.Active());

  EXPECT_TRUE(dialog.shown.empty()) << ::testing::PrintToString(dialog.shown);
  EXPECT_EQ(serial.ErrorCode(), 0);
}

TEST_F(TSerialPty, OpenHoldsTheLockFileAndCloseRemovesIt) {
  const std::string lockFile = locks.path() + "/" + PortLock::fileName(pty.devicePath());
  serial.setActive(true);
  EXPECT_TRUE(std::filesystem::exists(lockFile));
  serial.setActive(false);
  EXPECT_FALSE(std::filesystem::exists(lockFile));
}

TEST_F(TSerialPty, EveryValidRateIsSetOnTheLine) {
  serial.setActive(true);
  for (std::int32_t rate : kValidBaudrates) {
    serial.setBaudrate(rate);
    EXPECT_EQ(testing::slaveSpeed(pty.master()), rate) << rate;
  }
  EXPECT_TRUE(dialog.shown.empty());
}

TEST(LineSettings, TermiosForEachSetting) {
  auto cflag = [](LineSettings ls) {
    termios t{};
    t.c_cflag = B4800 | PARENB | CSTOPB | CRTSCTS;  // stale bits must go, the speed stays
    fillTermios(t, ls);
    return t.c_cflag;
  };
  constexpr tcflag_t kFrame = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
  EXPECT_EQ(cflag({}) & kFrame, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(cflag({}) & CBAUD, static_cast<tcflag_t>(B4800));
  EXPECT_EQ(cflag({.dataBits = d7bit}) & kFrame, static_cast<tcflag_t>(CS7));
  EXPECT_EQ(cflag({.parity = paOdd}) & kFrame, static_cast<tcflag_t>(CS8 | PARENB | PARODD));
  EXPECT_EQ(cflag({.parity = paEven}) & kFrame, static_cast<tcflag_t>(CS8 | PARENB));
  EXPECT_EQ(cflag({.parity = paMark}) & kFrame,
            static_cast<tcflag_t>(CS8 | PARENB | PARODD | CMSPAR));
  EXPECT_EQ(cflag({.parity = paSpace}) & kFrame, static_cast<tcflag_t>(CS8 | PARENB | CMSPAR));
  EXPECT_EQ(cflag({.stopBits = st2bit}) & kFrame, static_cast<tcflag_t>(CS8 | CSTOPB));
  EXPECT_EQ(cflag({.flowMode = fcRTS_CTS}) & kFrame, static_cast<tcflag_t>(CS8 | CRTSCTS));
  EXPECT_EQ(cflag({.flowMode = fcDTR_DSR}) & kFrame, static_cast<tcflag_t>(CS8));
  EXPECT_TRUE(cflag({}) & CLOCAL);  // the carrier line never blocks or hangs up the port

  termios t{};
  t.c_lflag = ICANON | ECHO;
  fillTermios(t, {.flowMode = fcXON_XOF, .checkParity = true});
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), static_cast<tcflag_t>(IXON | IXOFF | INPCK));
  EXPECT_EQ(t.c_lflag, 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  EXPECT_EQ(t.c_cc[VSTART], 0x11);
  EXPECT_EQ(t.c_cc[VSTOP], 0x13);
}

// A pseudo-terminal keeps 8 bits without parity whatever is asked, so only
// the rest is checked on the line itself.
TEST_F(TSerialPty, HandshakeAndStopBitsReachTheLine) {
  serial.setActive(true);
  termios t{};
  ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
  EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);

  serial.setStopBits(st2bit);
  serial.setFlowMode(fcRTS_CTS);
  ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
  EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), static_cast<tcflag_t>(CSTOPB | CRTSCTS));

  serial.setFlowMode(fcXON_XOF);
  ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
  EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
  EXPECT_TRUE(dialog.shown.empty()) << ::testing::PrintToString(dialog.shown);
}

// A reopen purges the input queue, so bytes left waiting show whether a
// property write reopened the port.
TEST_F(TSerialPty, PropertyWritesReopenOnlyWhenTheyMust) {
  serial.setActive(true);
  auto queueData = [&] {
    pty.send("abc");
    ASSERT_TRUE(loop.runUntil([&] { return serial.RxWaiting() == 3; }, 1000ms));
  };

  queueData();
  serial.setBaudrate(9600);  // same values: nothing happens
  serial.setParity(paNone);
  serial.setDataBits(d8bit);
  serial.setTimeout(10000);
  serial.setDevice(pty.devicePath());
  EXPECT_EQ(serial.RxWaiting(), 3);

  serial.setRxQueueSize(1024);  // queue sizes reopen even when unchanged
  EXPECT_TRUE(serial.Active());
  EXPECT_EQ(serial.RxWaiting(), 0);

  queueData();
  serial.setTxQueueSize(1024);
  EXPECT_EQ(serial.RxWaiting(), 0);

  queueData();
  serial.setBaudrate(12345);  // refused, shown whatever NotifyErrors says
  EXPECT_EQ(serial.Baudrate(), 9600);
  EXPECT_TRUE(serial.Active());
  EXPECT_EQ(serial.RxWaiting(), 3);
  serial.setNotifyErrors(neNone);
  serial.setBaudrate(-1);
  EXPECT_EQ(dialog.shown,
            (std::vector<std::string>{"Baudrate is not valid", "Baudrate is not valid"}));
  EXPECT_EQ(testing::slaveSpeed(pty.master()), 9600);

  serial.setBaudrate(19200);  // a new value reopens
  EXPECT_EQ(serial.RxWaiting(), 0);
  EXPECT_EQ(testing::slaveSpeed(pty.master()), 19200);

  // A closed port only keeps the value for the next open.
  serial.setActive(false);
  serial.setBaudrate(4800);
  EXPECT_FALSE(serial.Active());
  serial.setActive(true);
  EXPECT_EQ(testing::slaveSpeed(pty.master()), 4800);

  // Activating an open port reopens it.
  queueData();
  serial.setActive(true);
  EXPECT_EQ(serial.RxWaiting(), 0);
}

TEST_F(TSerialPty, ClosedPortCallsReportNotActive) {
  std::uint8_t b = 0x55;
  serial.SendString("x");
  EXPECT_EQ(serial.ReadByte(b), 0);
  EXPECT_EQ(b, 0x55);
  serial.SetOutputSignal(kSignalDTR, true);
  EXPECT_EQ(dialog.shown, std::vector<std::string>(3, "The port is not active"));
  EXPECT_EQ(serial.ErrorCode(), 0);  // a dialog does not set the code

  int events = 0;
  serial.OnError = [&](TSerial& s) {
    ++events;
    EXPECT_EQ(s.ErrorCode(), -1);
  };
  serial.setNotifyErrors(neEvent);
  serial.SendString("x");
  EXPECT_EQ(events, 1);
  EXPECT_EQ(serial.ErrorCode(), -1);

  serial.setNotifyErrors(neNone);
  serial.ReadByte(b);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(dialog.shown.size(), 3u);
}

TEST_F(TSerialPty, StringLongerThanTheOutputQueueIsRefused) {
  serial.setActive(true);
  serial.setTxQueueSize(8);
  serial.SendString("123456789");
  EXPECT_EQ(dialog.shown, std::vector<std::string>{"String too long for Tx buffer"});
  EXPECT_EQ(pty.receive(1, 100ms), "");
  serial.SendString("12345678");  // exactly the queue size goes
  EXPECT_EQ(pty.receive(8), "12345678");

  // Without the wait for room there is no limit.
  serial.setWaitOnTxFull(false);
  serial.SendString("123456789");
  EXPECT_EQ(pty.receive(9), "123456789");
  EXPECT_EQ(dialog.shown.size(), 1u);
}

TEST_F(TSerialPty, WriteThatCannotGoOutTimesOut) {
  serial.setActive(true);
  serial.setWaitOnTxFull(false);
  serial.setTimeout(200);
  serial.setNotifyErrors(neEvent);
  int errors = 0;
  serial.OnError = [&](TSerial&) { ++errors; };
  // Nobody reads the far end, so the line's buffers fill up.
  const std::string big(1 << 20, 'x');
  const auto start = std::chrono::steady_clock::now();
  serial.SendString(big);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(serial.ErrorCode(), ETIMEDOUT);
  EXPECT_GE(took, 190ms);
  EXPECT_LT(took, 2000ms);
}

}  // namespace
}  // namespace tarnwick
