#pragma once
// Finds which radio of the Rig menu answers on a device, and at which speed.
// Each device is opened on its own, and at each speed, fastest first, asked
// for the radio's ID over the broadcast address; radios without the ID
// command are then asked for their frequency at each catalogue address. The
// work runs in short steps on the main thread (timers of MainThread), so the
// window stays live and a search can be cancelled at any time; every device
// is closed again when its turn ends.
//
//   RadioFinder finder(mainThread);
//   finder.onFinished = [&] { if (finder.found()) use(*finder.found()); };
//   finder.start({.devices = {"/dev/ttyUSB0"}, .speeds = {115200, 19200, 9600}});

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "serial/main_thread.h"
#include "serial/port_lock.h"
#include "serial/posix_port.h"

namespace tarnwick {

struct FoundRadio {
  std::string device;
  int baudRate = 0;
  int modelIndex = 0;
  std::uint8_t address = 0;
};

// "IC-746 (56h) at 9600 baud on /dev/ttyUSB0"
std::string foundRadioText(const FoundRadio& radio);

// The Rig menu's model that answers at `address` by default; nothing for an
// address no model of the menu uses.
std::optional<int> modelAtAddress(std::uint8_t address);

struct RadioSearch {
  std::vector<std::string> devices;
  std::vector<int> speeds;  // tried in this order
  std::string lockDirectory = kDefaultLockDirectory;
};

class RadioFinder {
 public:
  // A device gets no more than this, whatever its speeds.
  static constexpr std::chrono::milliseconds kTimePerDevice{9500};

  explicit RadioFinder(MainThread& mainThread);
  ~RadioFinder();
  RadioFinder(const RadioFinder&) = delete;
  RadioFinder& operator=(const RadioFinder&) = delete;

  // What is being tried ("Asking /dev/ttyUSB0 at 19200 baud ...").
  std::function<void(const std::string& text)> onProgress;
  // The search has ended with a radio or without one (not after cancel()).
  std::function<void()> onFinished;

  void start(RadioSearch search);
  // Stops at once and closes the device; onFinished is not called.
  void cancel();
  bool running() const { return running_; }

  const std::optional<FoundRadio>& found() const { return found_; }
  // What went wrong on the way: devices that could not be opened, a radio
  // whose address no model of the menu uses.
  const std::vector<std::string>& notes() const { return notes_; }
  // Why each device that could not be opened was not ("not a serial device").
  const std::vector<std::string>& openFailures() const { return openFailures_; }

 private:
  using Clock = std::chrono::steady_clock;

  void beginDevice();
  void beginSpeed();
  void sendProbe();
  void nextProbe();
  void nextSpeed();
  void nextDevice();
  void poll();
  void schedulePoll();
  // Looks for the answer to the running probe in what was received.
  std::optional<std::uint8_t> answeringAddress() const;
  // What is coming in: that answer, not yet complete; a frame too short yet
  // to tell whose it is; or nothing of the kind.
  enum class Arriving { Nothing, Frame, Answer };
  Arriving arriving() const;
  // Whether the bytes received end in a well-formed frame.
  bool wholeFrameAtEnd() const;
  void finish();
  std::chrono::microseconds byteTime() const;

  MainThread& mainThread_;
  RadioSearch search_;
  PosixPort port_;
  std::vector<std::uint8_t> addresses_;  // the catalogue's, asked for the frequency
  std::size_t device_ = 0;
  std::size_t speed_ = 0;
  std::size_t probe_ = 0;  // 0: the ID request; then addresses_[probe_ - 1]
  std::vector<std::uint8_t> received_;
  Clock::time_point quietUntil_;
  Clock::time_point probeEnds_;  // the latest a probe waits, whatever the line does
  Clock::time_point deviceEnds_;
  int pollTimer_ = -1;
  bool running_ = false;
  std::optional<FoundRadio> found_;
  std::vector<std::string> notes_;
  std::vector<std::string> openFailures_;
};

}  // namespace tarnwick
