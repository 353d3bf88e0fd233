#include "civ/radio_finder.h"

#include <algorithm>

#include "civ/civ_protocol.h"
#include "rig/rig_catalogue.h"
#include "serial/serial_devices.h"
#include "serial/serial_errors.h"

namespace tarnwick {
namespace {

using std::chrono::milliseconds;

// How long the line may stay quiet after a request (or after the last byte
// of an answer) before nobody is taken to be there: a radio answers within
// a few milliseconds, a USB one within a few tens.
constexpr milliseconds kAnswerGap{80};
// The longest answer a probe waits for: a frequency, 11 bytes.
constexpr int kLongestAnswerBytes = 6 + static_cast<int>(civ::kFrequencyData);
constexpr milliseconds kPollInterval{5};
constexpr milliseconds kWriteTimeout{500};
constexpr int kBitsPerByte = 10;

std::string hexAddress(std::uint8_t address) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[address >> 4], kDigits[address & 0xF]};
}

}  // namespace

std::string foundRadioText(const FoundRadio& radio) {
  return std::string(modelName(radio.modelIndex)) + " (" + hexAddress(radio.address) + "h) at " +
         std::to_string(radio.baudRate) + " baud on " + radio.device;
}

std::optional<int> modelAtAddress(std::uint8_t address) {
  for (const RigModel& m : supportedModels()) {
    if (defaultAddress(m.modelIndex) == address) return m.modelIndex;
  }
  return std::nullopt;
}

RadioFinder::RadioFinder(MainThread& mainThread) : mainThread_(mainThread) {
  for (const RigModel& m : supportedModels()) {
    const std::uint8_t a = defaultAddress(m.modelIndex);
    if (std::find(addresses_.begin(), addresses_.end(), a) == addresses_.end()) {
      addresses_.push_back(a);
    }
  }
}

RadioFinder::~RadioFinder() {
  cancel();
}

void RadioFinder::start(RadioSearch search) {
  cancel();
  search_ = std::move(search);
  found_.reset();
  notes_.clear();
  openFailures_.clear();
  device_ = 0;
  running_ = true;
  beginDevice();
}

void RadioFinder::cancel() {
  if (pollTimer_ >= 0) mainThread_.cancelSingleShot(pollTimer_);
  pollTimer_ = -1;
  port_.close();
  running_ = false;
}

void RadioFinder::beginDevice() {
  if (device_ >= search_.devices.size()) return finish();
  const std::string& path = search_.devices[device_];
  try {
    port_.open(path, search_.lockDirectory);
  } catch (const SerialOpenError& e) {
    openFailures_.push_back(openFailureReason(e));
    notes_.push_back(path + ": " + openFailures_.back());
    ++device_;
    return beginDevice();
  }
  // Interfaces that draw their power from the modem lines need them up.
  port_.setDtr(true);
  port_.setRts(true);
  deviceEnds_ = Clock::now() + kTimePerDevice;
  speed_ = 0;
  beginSpeed();
}

void RadioFinder::beginSpeed() {
  if (speed_ >= search_.speeds.size()) return nextDevice();
  const int baud = search_.speeds[speed_];
  if (port_.configure({.baudrate = baud}) != 0) return nextSpeed();  // a speed the device lacks
  if (onProgress) {
    onProgress("Asking " + search_.devices[device_] + " at " + std::to_string(baud) + " baud ...");
  }
  probe_ = 0;
  sendProbe();
}

std::chrono::microseconds RadioFinder::byteTime() const {
  return std::chrono::microseconds(1'000'000LL * kBitsPerByte / search_.speeds[speed_]);
}

void RadioFinder::sendProbe() {
  std::vector<std::uint8_t> frame{civ::kPreamble, civ::kPreamble};
  if (probe_ == 0) {
    frame.insert(frame.end(), {0x00, civ::ControllerAddress, civ::kCmdReadId, 0x00});
  } else {
    frame.insert(frame.end(),
                 {addresses_[probe_ - 1], civ::ControllerAddress, civ::kCmdReadFrequency});
  }
  frame.push_back(civ::kEndOfMessage);
  port_.purge();
  received_.clear();
  if (port_.write(frame, kWriteTimeout) != 0) return nextSpeed();
  quietUntil_ = Clock::now() + byteTime() * static_cast<int>(frame.size()) + kAnswerGap;
  // A line that never goes quiet (a radio with CI-V Transceive on, other
  // stations, garbage at a wrong speed) must not hold a probe for long.
  // On a busy line the echo may wait for a frame under way, and a dial
  // report may go ahead of the answer.
  probeEnds_ = quietUntil_ + byteTime() * (3 * kLongestAnswerBytes) + kAnswerGap;
  schedulePoll();
}

void RadioFinder::schedulePoll() {
  pollTimer_ = mainThread_.startSingleShot(kPollInterval, [this] {
    pollTimer_ = -1;
    poll();
  });
}

void RadioFinder::poll() {
  std::uint8_t b = 0;
  int err = 0;
  bool heard = false;
  while (port_.readByte(b, err) == 1) {
    received_.push_back(b);
    heard = true;
  }
  const Clock::time_point now = Clock::now();
  // An answer on its way keeps the probe open until its end byte; a frame
  // begun, until its addresses are in; other traffic not at all.
  if (heard) {
    switch (arriving()) {
      case Arriving::Answer:
        quietUntil_ = std::max(quietUntil_, now + byteTime() * 2 + kAnswerGap);
        break;
      case Arriving::Frame:
        quietUntil_ = std::max(quietUntil_, now + byteTime() * 3 + kPollInterval);
        break;
      case Arriving::Nothing:
        // A whole frame at this speed (a report of the radio's, another
        // station's) held the line: the answer may begin only after it.
        if (received_.back() == civ::kEndOfMessage && wholeFrameAtEnd()) {
          quietUntil_ = std::max(quietUntil_, now + kAnswerGap);
        }
        break;
    }
  }
  const std::optional<std::uint8_t> address = answeringAddress();
  if (const std::optional<int> model = address ? modelAtAddress(*address) : std::nullopt) {
    found_ = FoundRadio{.device = search_.devices[device_],
                        .baudRate = search_.speeds[speed_],
                        .modelIndex = *model,
                        .address = *address};
    return finish();
  }
  if (now >= deviceEnds_) return nextDevice();
  const bool probeOver = now >= quietUntil_ || now >= probeEnds_;
  if (address && probeOver) {
    // Only radios no model uses answered (another may still have, on a
    // shared bus: they are all heard out first).
    notes_.push_back("A radio at address " + hexAddress(*address) + "h answers at " +
                     std::to_string(search_.speeds[speed_]) + " baud on " +
                     search_.devices[device_] + ", but no model of the Rig menu uses it.");
    return nextSpeed();
  }
  if (probeOver) return nextProbe();
  schedulePoll();
}

RadioFinder::Arriving RadioFinder::arriving() const {
  // The last frame begun, if unfinished: to this program from the radio asked
  // (any, for the ID), or too short yet to tell.
  if (received_.empty()) return Arriving::Nothing;
  const std::uint8_t preamble[] = {civ::kPreamble, civ::kPreamble};
  const auto begun =
      std::find_end(received_.begin(), received_.end(), std::begin(preamble), std::end(preamble));
  if (begun == received_.end()) {
    return received_.back() == civ::kPreamble ? Arriving::Frame : Arriving::Nothing;
  }
  auto it = begun + 2;
  while (it != received_.end() && *it == civ::kPreamble) ++it;
  if (std::find(it, received_.end(), civ::kEndOfMessage) != received_.end()) {
    return Arriving::Nothing;
  }
  if (it == received_.end()) return Arriving::Frame;
  if (*it != civ::ControllerAddress) {
    // The echo of the request, held up behind a report on a busy line: the
    // answer follows it.
    if (++it == received_.end() || *it == civ::ControllerAddress) return Arriving::Frame;
    return Arriving::Nothing;
  }
  if (++it == received_.end()) return Arriving::Frame;
  return probe_ == 0 || *it == addresses_[probe_ - 1] ? Arriving::Answer : Arriving::Nothing;
}

bool RadioFinder::wholeFrameAtEnd() const {
  // FE FE, two station addresses, a command and its data, FD: garbage at a
  // wrong speed hardly ever looks like that.
  const auto end = received_.end() - 1;  // the FD
  const auto lastPreamble =
      std::find(std::make_reverse_iterator(end), received_.rend(), civ::kPreamble);
  if (lastPreamble == received_.rend()) return false;
  const auto body = lastPreamble.base();
  const auto preamble = body - 1;
  if (preamble == received_.begin() || *(preamble - 1) != civ::kPreamble || end - body < 3) {
    return false;
  }
  return body[0] < civ::kFirstInvalidAddress && body[1] < civ::kFirstInvalidAddress &&
         std::find(body, end, civ::kEndOfMessage) == end;
}

std::optional<std::uint8_t> RadioFinder::answeringAddress() const {
  // Frames to this program; the echo of the request goes to the radio or
  // to every station and is passed over, as are stray bytes. On a bus with
  // several radios each answers the ID request: one of the Rig menu's
  // models is taken before any other.
  std::optional<std::uint8_t> answering;
  for (std::size_t i = 0; i + 1 < received_.size(); ++i) {
    if (received_[i] != civ::kPreamble || received_[i + 1] != civ::kPreamble) continue;
    std::size_t start = i + 2;
    while (start < received_.size() && received_[start] == civ::kPreamble) ++start;
    const auto end = std::find(received_.begin() + static_cast<long>(start), received_.end(),
                               civ::kEndOfMessage);
    if (end == received_.end()) break;
    const std::vector<std::uint8_t> f(received_.begin() + static_cast<long>(start), end);
    i = static_cast<std::size_t>(end - received_.begin());
    if (f.size() < 3 || f[0] != civ::ControllerAddress) continue;
    const std::uint8_t from = f[1];
    const bool id =
        probe_ == 0 && f.size() == 5 && f[2] == civ::kCmdReadId && f[3] == 0x00 && f[4] == from;
    const bool frequency = probe_ > 0 && from == addresses_[probe_ - 1] &&
                           f[2] == civ::kCmdReadFrequency && f.size() == 3 + civ::kFrequencyData;
    if (!id && !frequency) continue;
    if (modelAtAddress(from)) return from;
    if (!answering) answering = from;
  }
  return answering;
}

void RadioFinder::nextProbe() {
  ++probe_;
  if (probe_ > addresses_.size()) return nextSpeed();
  sendProbe();
}

void RadioFinder::nextSpeed() {
  ++speed_;
  beginSpeed();
}

void RadioFinder::nextDevice() {
  port_.close();
  ++device_;
  beginDevice();
}

void RadioFinder::finish() {
  port_.close();
  running_ = false;
  if (onFinished) onFinished();
}

}  // namespace tarnwick
