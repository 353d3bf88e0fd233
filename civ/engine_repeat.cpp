// Repeating a request that has no answer within its line time: the radio
// shares its bus with other stations, and one collision should cost a
// margin, not a whole time-out.

#include <string>

#include "civ/engine.h"
#include "rig/memory_layouts.h"

namespace tarnwick {
namespace {

constexpr int kBitsPerByte = 10;  // start, eight data bits, stop
// Preamble, two addresses, command and end byte around the data.
constexpr std::size_t kFrameBytes = 6;
constexpr std::size_t kRequestFrameBytes = 5;  // the payload carries the command
// The answer of a setting: sub-command and item, then the offset.
constexpr std::size_t kSettingData = 2 + civ::kOffsetData;

}  // namespace

std::chrono::milliseconds answerWait(int baud, std::size_t requestBytes, std::size_t answerBytes) {
  const long long bits = static_cast<long long>(requestBytes + answerBytes) * kBitsPerByte;
  const long long rate = baud > 0 ? baud : 1;
  // Whole milliseconds, rounded up.
  return std::chrono::milliseconds((bits * 1000 + rate - 1) / rate) + kTurnaroundMargin;
}

std::size_t Engine::expectedAnswerBytes(AnswerLength length) const {
  switch (engineState_) {
    case smReadMemory:
    case smVerifyMemory:
    case smBackupMemory: {
      // A blank memory answers in its short form; a longer answer is seen
      // coming before the short one's time is up.
      const MemoryLayoutTable* layout = readLayoutOf(modelIndex_);
      if (layout == nullptr) return kFrameBytes;
      const int data =
          length == AnswerLength::Shortest ? layout->blankMarker + 1 : layout->dataSize;
      return kFrameBytes + static_cast<std::size_t>(data);
    }
    case smReadVfoFrequency:
    case smCheckLinkAnswer:
      return kFrameBytes + civ::kFrequencyData;
    case smReadVfoMode:
      return kFrameBytes + civ::kModeData;
    case smOffsetHf:
    case smOffset50:
    case smOffset144:
      return kFrameBytes + civ::kOffsetData;
    case smProOffsetHf:
    case smProOffset50:
    case smProOffset144:
      return kFrameBytes + kSettingData;
    default:
      return kFrameBytes;  // OK or NG
  }
}

bool Engine::awaitedAnswerArrived() const {
  const AnswerSlots& a = answers_;
  switch (engineState_) {
    case smReadMemory:
    case smVerifyMemory:
    case smBackupMemory:
      return decoded_.memoryNumber > 0;
    case smWriteMemory:
    case smTuneFrequency:
    case smTuneMode:
    case smTuneDataMode:
      return a.okReceived || a.ngReceived;
    case smReadVfoFrequency:
    case smCheckLinkAnswer:
      return a.vfoFrequency > -1;
    case smReadVfoMode:
      return a.vfoMode != 0xFF;
    case smOffsetHf:
    case smOffset50:
    case smOffset144:
    case smProOffsetHf:
    case smProOffset50:
    case smProOffset144:
      return a.lastOffset > -1;
    case smSelectVfo:
    case smTuneHf:
    case smDuplexHf:
    case smTune50:
    case smDuplex50:
    case smTune144:
    case smDuplex144:
    case smRestoreFrequency:
    case smRestoreMode:
      // Only OK moves these on; an NG is worth another try.
      return a.okReceived;
    default:
      return true;  // nothing awaited
  }
}

void Engine::sendRequest(std::span<const Byte> payload) {
  cancelRepeat();
  request_.assign(payload.begin(), payload.end());
  malformedAnswer_.clear();
  requestState_ = engineState_;
  ++requestSerial_;
  repeatsLeft_ = kRepeatsPerRequest;
  if (!sendToRadio(payload)) return;  // nothing went out: the countdown reports it
  requestWait_ = answerWait(port_.baudRate(), request_.size() + kRequestFrameBytes,
                            expectedAnswerBytes(AnswerLength::Shortest));
  armRepeat(requestWait_);
}

void Engine::repeatRequest(const std::string& reason) {
  cancelRepeat();
  --repeatsLeft_;
  ++requestSerial_;
  log_.appendDebugLine("Repeat " + std::to_string(kRepeatsPerRequest - repeatsLeft_) + ": " +
                       reason);
  malformedAnswer_.clear();
  // A command sent counts its steps afresh.
  ticksLeft_ = kStepsPerCommand;
  if (sendToRadio(request_)) armRepeat(requestWait_);
}

void Engine::armRepeat(std::chrono::milliseconds wait) {
  cancelRepeat();
  receivedAtArm_ = receivedBytes_;
  const unsigned serial = requestSerial_;
  repeatTimer_ =
      mainThread_.startSingleShot(wait, [this, serial, alive = std::weak_ptr<char>(alive_)] {
        if (alive.expired()) return;
        repeatTimer_ = 0;
        // Through the queue, so that a step under way finishes first.
        post([this, serial] { repeatDue(serial); });
      });
}

void Engine::answerStillDue() {
  // The radio was still answering an earlier request; ours queues behind
  // that answer, so its wait starts again now.
  if (repeatTimer_ != 0) armRepeat(requestWait_);
}

void Engine::cancelRepeat() {
  if (repeatTimer_ != 0) mainThread_.cancelSingleShot(repeatTimer_);
  repeatTimer_ = 0;
}

void Engine::repeatDue(unsigned serial) {
  if (serial != requestSerial_ || engineState_ != requestState_ || awaitedAnswerArrived()) return;
  if (assembler_.rxState() != RxState::WaitPreamble && receivedBytes_ != receivedAtArm_) {
    // A frame is coming in right now, and still moving: give it the time of
    // the longest answer before talking over it. (The countdown still runs.)
    armRepeat(answerWait(port_.baudRate(), 0, expectedAnswerBytes(AnswerLength::Longest)));
    return;
  }
  if (repeatsLeft_ <= 0) return;
  repeatRequest(malformedAnswer_.empty()
                    ? "no answer within " + std::to_string(requestWait_.count()) + " ms"
                    : "malformed answer: " + malformedAnswer_);
}

}  // namespace tarnwick
