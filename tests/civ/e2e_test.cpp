// The engine with the real serial component against the radio simulator on
// a pseudo-terminal: a whole IC-746 read with its offsets, then a store.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include <chrono>
#include <string_view>

#include "civ/radio_address.h"
#include "civ/tserial_port.h"
#include "rig/rig_catalogue.h"
#include "serial/event_loop.h"
#include "serial/tserial.h"
#include "sim/memory_file.h"
#include "sim/simulator.h"
#include "tests/civ/civ_fakes.h"
#include "tests/support/temp_folder.h"

namespace tarnwick::test {
namespace {

using namespace std::chrono_literals;

TEST(EndToEnd, ReadsAnIc746BankAndStoresARowThroughTheSimulator) {
  const sim::RadioModel& model = *sim::findRadioModel("IC-746");
  sim::SimulatorOptions options;
  options.baud = 19200;
  options.noise = true;         // noise between echo and answer
  options.splitAnswers = true;  // answers in pieces
  sim::Simulator radio(model, sim::parseMemoryFile(sim::defaultMemoryText(model), model), options);
  radio.start();

  EventLoop loop;
  TSerial serial(loop);
  testing::TempFolder locks;
  serial.setDevice(radio.devicePath());
  serial.setLockDirectory(locks.path());
  applyCivLineSettings(serial);
  serial.setBaudrate(19200);
  serial.setActive(true);

  ChannelTable permanent{TableKind::PermanentFile};
  ChannelTable rig{TableKind::Rig};
  PermanentFileIndex index{permanent};
  TSerialPort port(serial);
  RecordingWindow window;
  TempLog log;
  Engine engine(permanent, rig, index, port, log.log, window, loop);
  engine.setAddress({.value = 0x56});
  engine.setSeparators(Separators::point());
  testing::TempFolder backups;
  engine.setBackupFolder(backups.path());
  connectReceiveEvent(serial, engine);
  loop.addTimer(1000ms, [&] { engine.tick(); });

  engine.setModel(kModelIc746);
  engine.setEngineState(smRestart);
  const auto ready = [&] {
    return !window.statuses.empty() && window.statuses.back().first == "Ready";
  };
  ASSERT_TRUE(loop.runUntil(ready, 30s)) << window.statuses.back().first;
  EXPECT_TRUE(window.boxes.empty());

  // The radio's own offsets, not the program's defaults.
  EXPECT_EQ(engine.offsets(), (DuplexOffsets{.hf = 120000, .mhz50 = 1000000, .mhz144 = 700000}));
  EXPECT_EQ(radio.state().vfo.hz, 14070000);  // the VFO is back where it was
  EXPECT_EQ(rig.rowCount(), 103);
  EXPECT_EQ(trimmed(rig.cell(colName, 5)), "CONTEST");
  EXPECT_EQ(trimmed(rig.cell(colFrequency, 5)), "14,195.00");
  EXPECT_EQ(rig.cell(colFrequency, 6), "");  // a blank memory
  EXPECT_EQ(rig.cell(colNumber, 102), "Call");
  EXPECT_GT(permanent.rowCount(), 10);

  // Store: a new name for memory 14, and a channel typed into the blank
  // memory 6 with no Filter and no Duplex chosen.
  rig.setCell(colName, 14, "NEW NAME");
  rig.setCell(colChanged, 14, "1");
  rig.setCell(colFrequency, 6, "   7,050.00");
  rig.setCell(colMode, 6, "LSB");
  rig.setCell(colChanged, 6, "1");
  window.statuses.clear();
  engine.storeChangedRows();
  ASSERT_TRUE(loop.runUntil(ready, 10s));
  EXPECT_EQ(rig.cell(colChanged, 14), "0");
  const sim::Memory stored = radio.state().memory({0, 14});
  EXPECT_EQ(stored.name.substr(0, 8), "NEW NAME");
  EXPECT_EQ(stored.rx.hz, 1845000);
  // Stored as Normal and simplex, shown so, and read back the same.
  EXPECT_TRUE(engine.storeProblems().empty());
  EXPECT_EQ(rig.cell(colChanged, 6), "0");
  EXPECT_EQ(rig.cell(colFilter, 6), "Normal");
  EXPECT_EQ(rig.cell(colDuplex, 6), "Simp");
  EXPECT_EQ(radio.state().memory({0, 6}).rx.hz, 7050000);

  serial.setActive(false);
  radio.stop();
}

// The engine and the real serial component against the simulator, as a
// front end wires them.
struct SimulatedLink {
  SimulatedLink(std::string_view modelName, int modelIndex, Byte address,
                sim::SimulatorOptions options)
      : model(*sim::findRadioModel(modelName)),
        radio(model, sim::parseMemoryFile(sim::defaultMemoryText(model), model), options) {
    radio.start();
    serial.setDevice(radio.devicePath());
    serial.setLockDirectory(locks.path());
    applyCivLineSettings(serial);
    serial.setBaudrate(options.baud);
    serial.setActive(true);
    engine.setAddress({.value = address});
    engine.setSeparators(Separators::point());
    engine.setBackupFolder(backups.path());
    connectReceiveEvent(serial, engine);
    loop.addTimer(1000ms, [this] { engine.tick(); });
    engine.setModel(modelIndex);
  }
  ~SimulatedLink() {
    serial.setActive(false);
    radio.stop();
  }

  bool ready() const { return !window.statuses.empty() && window.statuses.back().first == "Ready"; }
  bool runUntilReady(std::chrono::seconds limit) {
    return loop.runUntil([this] { return ready(); }, limit);
  }

  const sim::RadioModel& model;
  sim::Simulator radio;
  EventLoop loop;
  TSerial serial{loop};
  testing::TempFolder locks;
  ChannelTable permanent{TableKind::PermanentFile};
  ChannelTable rig{TableKind::Rig};
  PermanentFileIndex index{permanent};
  TSerialPort port{serial};
  RecordingWindow window;
  TempLog log;
  Engine engine{permanent, rig, index, port, log.log, window, loop};
  testing::TempFolder backups;
};

// A radio on USB: no echo of the program's own frames, and with CI-V
// Transceive on, dial reports to 00 at any moment, in the middle of the
// offset sequence, a read and a store. On a shared bus, a second IC-746
// (its channels one memory further on) answers another program at E0 with
// frequencies, modes, memories, OK and NG.
TEST(EndToEnd, Ic746WithoutEchoAndWithTransceiveReadsAndStores) {
  for (const auto& [echo, bus] :
       {std::pair{false, false}, {true, false}, {true, true}, {false, true}}) {
    sim::SimulatorOptions options;
    options.baud = 115200;
    options.echo = echo;
    options.transceiveMs = 20;
    if (bus) options.busRadio = 0x58;
    options.busPollMs = 7;
    SimulatedLink link("IC-746", kModelIc746, 0x56, options);
    link.engine.setEngineState(smRestart);
    SCOPED_TRACE(::testing::Message() << "echo " << echo << ", second radio " << bus);
    ASSERT_TRUE(link.runUntilReady(30s)) << link.window.statuses.back().first;
    EXPECT_TRUE(link.window.boxes.empty());
    EXPECT_EQ(link.engine.offsets(),
              (DuplexOffsets{.hf = 120000, .mhz50 = 1000000, .mhz144 = 700000}));
    EXPECT_EQ(link.radio.state().vfo.hz, 14070000);
    EXPECT_EQ(trimmed(link.rig.cell(colName, 5)), "CONTEST");
    EXPECT_EQ(link.rig.cell(colFrequency, 6), "");
    EXPECT_EQ(trimmed(link.rig.cell(colFrequency, 101)), "14,350.00");
    std::size_t reports = 0;
    for (const sim::LogEntry& e : link.radio.frameLog()) {
      reports += e.direction == sim::LogDirection::Out && e.bytes[2] == 0x00 ? 1 : 0;
    }
    EXPECT_GT(reports, 3u) << "dial reports came during the read";
    EXPECT_EQ(link.log.linesStartingWith("Rx: 58 E0 1A ").empty(), !bus) << "its memories passed";

    link.rig.setCell(colName, 14, "NEW NAME");
    link.rig.setCell(colChanged, 14, "1");
    link.rig.setCell(colFrequency, 13, "7,040.00");
    link.rig.setCell(colMode, 13, "CW");
    link.rig.setCell(colFilter, 13, "Narrow");
    link.rig.setCell(colChanged, 13, "1");
    link.window.statuses.clear();
    link.engine.storeChangedRows();
    ASSERT_TRUE(link.runUntilReady(10s));
    ASSERT_TRUE(link.engine.storeProblems().empty()) << link.engine.storeProblems().front().text;
    EXPECT_EQ(link.radio.state().memory({0, 14}).name.substr(0, 8), "NEW NAME");
    EXPECT_EQ(link.radio.state().memory({0, 13}).rx.hz, 7040000);
  }
}

// What the radio's end of the line sees: 8 data bits, no parity, one stop
// bit, no handshake, and no parity checking (a byte with a framing error is
// passed on as received, not replaced by 00).
TEST(CivLine, EightBitsNoParityNoHandshakeNoParityCheck) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  EventLoop loop;
  TSerial serial(loop);
  testing::TempFolder locks;
  serial.setDevice(::ptsname(master));
  serial.setLockDirectory(locks.path());
  applyCivLineSettings(serial);
  serial.setActive(true);
  termios t{};
  ASSERT_EQ(::tcgetattr(master, &t), 0);
  EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_iflag & (INPCK | IXON | IXOFF), 0u);
  serial.setActive(false);
  ::close(master);
}

}  // namespace
}  // namespace tarnwick::test
