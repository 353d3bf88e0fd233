#include <gtest/gtest.h>

#include <atomic>

#include "serial_fixture.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using testing::TSerialPty;

TEST_F(TSerialPty, BytesGoBothWaysAndReadsReturnAtOnce) {
  std::string received;
  int wakeUps = 0;
  std::thread::id handlerThread;
  serial.OnRxData = [&](TSerial& s) {
    ++wakeUps;
    handlerThread = std::this_thread::get_id();
    received += drain(s);
  };
  serial.setActive(true);

  std::uint8_t b = 0x55;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(serial.ReadByte(b), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);
  EXPECT_EQ(b, 0x55);

  serial.SendString(std::string("\xFE\xFE\x5E\xE0\x1A\x00\xFD", 7));
  EXPECT_EQ(pty.receive(7), std::string("\xFE\xFE\x5E\xE0\x1A\x00\xFD", 7));

  // One burst is announced once, not once per byte, on the main thread.
  pty.send(std::string("\xFE\xFE\xE0\x5E\xFB\xFD\x00\xFF", 8));
  ASSERT_TRUE(loop.runUntil([&] { return received.size() == 8; }, 2000ms));
  loop.runFor(100ms);
  EXPECT_EQ(wakeUps, 1);
  EXPECT_EQ(handlerThread, std::this_thread::get_id());
  EXPECT_EQ(received, std::string("\xFE\xFE\xE0\x5E\xFB\xFD\x00\xFF", 8));

  pty.send("more");
  ASSERT_TRUE(loop.runUntil([&] { return received.size() == 12; }, 2000ms));
  EXPECT_EQ(wakeUps, 2);

  // A pseudo-terminal has no modem lines: setting them fails quietly.
  serial.SetOutputSignal(kSignalRTS, false);
  serial.SetOutputSignal(kSignalDTR, false);
  serial.SetOutputSignal(7, true);
  EXPECT_TRUE(dialog.shown.empty());
}

TEST_F(TSerialPty, DataLeftUnreadIsNotAnnouncedAgain) {
  int wakeUps = 0;
  serial.OnRxData = [&](TSerial&) { ++wakeUps; };  // reads nothing
  serial.setActive(true);
  pty.send("abc");
  ASSERT_TRUE(loop.runUntil([&] { return wakeUps == 1; }, 2000ms));
  const double cpu = testing::processCpuMs();
  loop.runFor(300ms);
  EXPECT_EQ(wakeUps, 1);
  EXPECT_EQ(serial.RxWaiting(), 3);
  EXPECT_LT(testing::processCpuMs() - cpu, 60.0);
  pty.send("d");  // new data wakes the handler again
  ASSERT_TRUE(loop.runUntil([&] { return wakeUps == 2; }, 2000ms));
}

TEST_F(TSerialPty, MessageModeCutsMessages) {
  std::vector<std::string> messages;
  serial.setRxEventMode(rxMessage);
  serial.setMessageAppendCount(2);
  int rxData = 0;
  serial.OnRxData = [&](TSerial&) { ++rxData; };
  serial.OnMessage = [&](TSerial&, const std::string& m) { messages.push_back(m); };
  serial.setActive(true);
  pty.send(
      "noise\x02"
      "A\x03xy"
      "\x02"
      "B");
  ASSERT_TRUE(loop.runUntil([&] { return messages.size() == 1; }, 2000ms));
  pty.send(
      "\x02"
      "C\x03"
      "12");
  ASSERT_TRUE(loop.runUntil([&] { return messages.size() == 2; }, 2000ms));
  EXPECT_EQ(messages[0],
            "\x02"
            "A\x03xy");
  EXPECT_EQ(messages[1],
            "\x02"
            "C\x03"
            "12");
  EXPECT_EQ(rxData, 0);

  // Without a message handler the bytes stay queued for later.
  serial.OnMessage = nullptr;
  pty.send(
      "\x02"
      "D\x03"
      "34");
  loop.runFor(100ms);
  EXPECT_EQ(serial.RxWaiting(), 5);
}

TEST_F(TSerialPty, OutputEmptyIsAnnouncedAfterAWrite) {
  int empties = 0;
  serial.OnTxEmpty = [&](TSerial&) { ++empties; };
  serial.setActive(true);
  serial.SendString("ping");
  ASSERT_TRUE(loop.runUntil([&] { return empties == 1; }, 2000ms));
  EXPECT_EQ(pty.receive(4), "ping");
}

// Modem lines, break and ring do not exist on a pseudo-terminal: those events
// are fed to the thread's hand-over as the waiter would deliver them.
TEST_F(TSerialPty, LineEventsAreHandedOverInOrder) {
  std::vector<std::string> seen;
  const auto mainId = std::this_thread::get_id();
  serial.OnSignalChange = [&](TSerial&, eModemInSignal sig, bool on) {
    EXPECT_EQ(std::this_thread::get_id(), mainId);
    seen.push_back("signal" + std::to_string(sig) + (on ? "+" : "-"));
  };
  serial.OnTxEmpty = [&](TSerial&) { seen.push_back("txempty"); };
  serial.OnBreak = [&](TSerial&) { seen.push_back("break"); };
  serial.OnRing = [&](TSerial&) { seen.push_back("ring"); };
  serial.OnRxData = [&](TSerial&) { seen.push_back("rx"); };
  serial.setActive(true);

  LineEventSet set;
  set.events = lineev::kAll;
  set.modemStatus = modemst::kCtsOn | modemst::kRlsdOn;
  set.attachment = serial.eventThread().waiter().attachment();
  std::atomic<bool> fed = false;
  std::thread feeder([&] {
    serial.eventThread().handleEvents(set);
    fed = true;
  });
  EXPECT_TRUE(loop.runUntil([&] { return fed.load(); }, 2000ms));
  feeder.join();
  EXPECT_EQ(seen, (std::vector<std::string>{"signal0+", "signal1-", "signal2+", "txempty", "break",
                                            "ring", "rx"}));
  EXPECT_TRUE(serial.SignalState(msCTS));
  EXPECT_FALSE(serial.SignalState(msDSR));
  EXPECT_TRUE(serial.SignalState(msRLSD));

  // Events of an earlier opening are dropped.
  seen.clear();
  serial.setActive(true);
  fed = false;
  std::thread stale([&] {
    serial.eventThread().handleEvents(set);
    fed = true;
  });
  EXPECT_TRUE(loop.runUntil([&] { return fed.load(); }, 2000ms));
  stale.join();
  EXPECT_TRUE(seen.empty());
}

// A main thread that counts the calls queued on it.
class CountingLoop : public EventLoop {
 public:
  void post(std::function<void()> fn) override {
    ++posted;
    EventLoop::post(std::move(fn));
  }
  std::atomic<int> posted = 0;
};

TEST(TSerialClose, ReturnsPromptlyWhileTheThreadWaitsForTheMainThread) {
  CountingLoop loop;
  testing::PtyPair pty;
  testing::TempDir locks;
  TSerial serial(loop);
  serial.setDevice(pty.devicePath());
  serial.setLockDirectory(locks.path());
  int wakeUps = 0;
  serial.OnRxData = [&](TSerial& s) {
    ++wakeUps;
    std::uint8_t b;
    while (s.ReadByte(b) == 1) {
    }
  };
  serial.setActive(true);
  pty.send("x");
  // The receive thread now waits for the main thread, which is busy here.
  const auto until = std::chrono::steady_clock::now() + 2s;
  while (loop.posted == 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_EQ(loop.posted, 1);

  const auto start = std::chrono::steady_clock::now();
  serial.setActive(false);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 750ms);
  // The call it was waiting for runs late and does nothing.
  loop.runFor(50ms);
  EXPECT_EQ(wakeUps, 0);

  // The thread carries on with the next opening.
  serial.setActive(true);
  pty.send("y");
  EXPECT_TRUE(loop.runUntil([&] { return wakeUps == 1; }, 2000ms));
}

TEST_F(TSerialPty, DestroyingThePortWhileAHandOverIsQueuedDoesNotHang) {
  auto port = std::make_unique<TSerial>(loop);
  testing::PtyPair other;
  port->setDevice(other.devicePath());
  port->setLockDirectory(locks.path());
  bool ran = false;
  port->OnRxData = [&](TSerial&) { ran = true; };
  port->setActive(true);
  other.send("x");
  std::this_thread::sleep_for(100ms);  // the hand-over is queued by now
  const auto start = std::chrono::steady_clock::now();
  port.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 750ms);
  loop.runFor(50ms);
  EXPECT_FALSE(ran);
}

TEST_F(TSerialPty, NoBusyLoopWhileOpenAndIdle) {
  serial.OnRxData = [](TSerial& s) { drain(s); };
  serial.setActive(true);
  const double cpu = testing::processCpuMs();
  loop.runFor(300ms);
  EXPECT_LT(testing::processCpuMs() - cpu, 30.0);
}

TEST_F(TSerialPty, DeviceGoneIsReportedOnceWithoutSpinning) {
  int errors = 0;
  serial.setNotifyErrors(neEvent);
  serial.OnError = [&](TSerial&) { ++errors; };
  serial.OnRxData = [](TSerial& s) { drain(s); };
  serial.setActive(true);
  pty.closeMaster();
  ASSERT_TRUE(loop.runUntil([&] { return errors == 1; }, 2000ms));
  EXPECT_EQ(serial.ErrorCode(), EIO);
  const double cpu = testing::processCpuMs();
  loop.runFor(300ms);
  EXPECT_LT(testing::processCpuMs() - cpu, 30.0);
  EXPECT_EQ(errors, 1);

  // Calls on the gone device fail the same way: not reported again, and
  // closing is quiet.
  serial.SendString("x");
  std::uint8_t b;
  EXPECT_EQ(serial.ReadByte(b), 0);
  EXPECT_EQ(serial.ErrorCode(), EIO);
  serial.setActive(false);
  EXPECT_FALSE(serial.Active());
  EXPECT_EQ(errors, 1);
}

TEST_F(TSerialPty, HandlerMayCloseThePort) {
  int wakeUps = 0;
  serial.OnRxData = [&](TSerial& s) {
    ++wakeUps;
    s.setActive(false);
  };
  serial.setActive(true);
  pty.send("abc");
  ASSERT_TRUE(loop.runUntil([&] { return wakeUps == 1; }, 2000ms));
  EXPECT_FALSE(serial.Active());
  loop.runFor(100ms);
  EXPECT_EQ(wakeUps, 1);
  EXPECT_TRUE(dialog.shown.empty());
  // And the next opening works as before.
  serial.OnRxData = [&](TSerial& s) { wakeUps += static_cast<int>(drain(s).size()); };
  serial.setActive(true);
  pty.send("de");
  EXPECT_TRUE(loop.runUntil([&] { return wakeUps == 3; }, 2000ms));
}

}  // namespace
}  // namespace tarnwick
