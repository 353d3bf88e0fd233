#include "sim/radio.h"

#include "sim/memory_layout.h"

namespace tarnwick::sim {
namespace {

constexpr int kFrequencyBytes = 5;
constexpr int kOffsetBytes = 3;

std::optional<OffsetBand> offsetBandOfItem(Byte item) {
  switch (item) {
    case civ::kItemOffsetHf:
      return kOffsetHf;
    case civ::kItemOffset50:
      return kOffset50;
    case civ::kItemOffset144:
      return kOffset144;
    default:
      return std::nullopt;
  }
}

}  // namespace

Radio::Radio(const RadioModel& model, RadioState state, Faults faults, std::optional<Byte> address)
    : model_(model),
      state_(std::move(state)),
      faults_(std::move(faults)),
      address_(address.value_or(model.address)) {}

Reply Radio::handle(const Frame& frame) {
  const bool idRequest = frame.command == civ::kCmdReadId && frame.data == Bytes{civ::kSubReadId};
  const bool forUs = frame.to == address_ || (frame.to == civ::kBroadcast && idRequest);
  if (closed_ || !forUs || frame.from == address_) return {};
  ++requests_;
  if (faults_.closeAfter > 0 && requests_ > faults_.closeAfter) {
    closed_ = true;
    return {.answer = {}, .closeDevice = true};
  }
  if (faults_.silent) return {};
  // An older radio does not know the ID request: quiet to every station,
  // NG to itself.
  if (idRequest && faults_.noId) return {.answer = frame.to == address_ ? ng(frame) : Bytes{}};
  if (faults_.dropEvery > 0 && requests_ % faults_.dropEvery == 0) return {};
  return {.answer = dispatch(frame), .closeDevice = false};
}

Bytes Radio::transceiveFrame() const {
  Bytes frequency;
  putBcdLsb(frequency, state_.vfo.hz, kFrequencyBytes);
  return buildFrame({.to = civ::kBroadcast,
                     .from = address_,
                     .command = civ::kCmdTransceiveFrequency,
                     .data = std::move(frequency)});
}

Bytes Radio::answer(const Frame& request, Byte command, Bytes data) const {
  return buildFrame(
      {.to = request.from, .from = address_, .command = command, .data = std::move(data)});
}

Bytes Radio::ok(const Frame& request) const {
  return answer(request, civ::kOk, {});
}
Bytes Radio::ng(const Frame& request) const {
  return answer(request, civ::kNg, {});
}

Bytes Radio::dispatch(const Frame& frame) {
  const Bytes& d = frame.data;
  Vfo& vfo = state_.vfo;
  switch (frame.command) {
    case civ::kCmdReadFrequency: {
      if (!d.empty()) break;
      Bytes out;
      putBcdLsb(out, vfo.hz, kFrequencyBytes);
      return answer(frame, frame.command, out);
    }
    case civ::kCmdReadMode:
      if (!d.empty()) break;
      return answer(frame, frame.command, {vfo.mode, vfo.filter});
    case civ::kCmdSetFrequency: {
      const auto hz = readBcdLsb(d, 0, kFrequencyBytes);
      if (d.size() != kFrequencyBytes || !hz) break;
      vfo.hz = *hz;
      return ok(frame);
    }
    case civ::kCmdSetMode:
      if (d.empty() || d.size() > 2 || !isKnownMode(d[0])) break;
      if (isDataToneLayout(model_.layout) && !isDataToneMode(d[0])) break;
      if (d.size() == 2 && !isKnownFilter(d[1])) break;
      vfo.mode = d[0];
      if (d.size() == 2) vfo.filter = d[1];
      return ok(frame);
    case civ::kCmdSelectVfo:
      if (d.size() > 1 || (d.size() == 1 && d[0] > 0x01)) break;
      return ok(frame);
    case civ::kCmdDuplex:
      if (d.size() != 1) break;
      if (d[0] == civ::kDuplexSimplex) {
        vfo.duplex = VfoDuplex::Simplex;
      } else if (d[0] == civ::kDuplexMinus) {
        vfo.duplex = VfoDuplex::Minus;
      } else if (d[0] == civ::kDuplexPlus) {
        vfo.duplex = VfoDuplex::Plus;
      } else {
        break;
      }
      return ok(frame);
    case civ::kCmdDuplexOffset:
      if (model_.offsetAccess != OffsetAccess::OffsetCommand) break;
      return offsetCommand(frame);
    case civ::kCmdReadId:
      if (d != Bytes{civ::kSubReadId}) break;
      return answer(frame, frame.command, {civ::kSubReadId, address_});
    case civ::kCmdMemoryAndMenu:
      if (d.empty()) break;
      if (d[0] == civ::kSubMemoryContents) return memoryCommand(frame);
      if (d[0] == civ::kSubDataMode && isDataToneLayout(model_.layout)) return dataMode(frame);
      if (d[0] == civ::kSubMenuItem && model_.offsetAccess == OffsetAccess::MenuItems) {
        return menuItem(frame);
      }
      break;
    default:
      break;
  }
  return ng(frame);
}

Bytes Radio::offsetCommand(const Frame& frame) {
  // The offset of the band the VFO is tuned to, in units of 100 Hz.
  std::int64_t& offset = state_.offsetsHz[offsetBandOf(state_.vfo.hz)];
  if (frame.data.empty()) {
    Bytes out;
    putBcdLsb(out, offset / 100, kOffsetBytes);
    return answer(frame, frame.command, out);
  }
  const auto value = readBcdLsb(frame.data, 0, kOffsetBytes);
  if (frame.data.size() != kOffsetBytes || !value) return ng(frame);
  offset = *value * 100;
  return ok(frame);
}

Bytes Radio::menuItem(const Frame& frame) {
  const Bytes& d = frame.data;
  const auto band = d.size() >= 2 ? offsetBandOfItem(d[1]) : std::nullopt;
  if (!band) return ng(frame);
  std::int64_t& offset = state_.offsetsHz[*band];
  if (d.size() == 2) {
    Bytes out{d[0], d[1]};
    putBcdLsb(out, offset / 100, kOffsetBytes);
    return answer(frame, frame.command, out);
  }
  const auto value = readBcdLsb(d, 2, kOffsetBytes);
  if (d.size() != 2 + kOffsetBytes || !value) return ng(frame);
  offset = *value * 100;
  return ok(frame);
}

Bytes Radio::dataMode(const Frame& frame) {
  // 1A 06 reads; 1A 06 <00|01> <filter> sets, filter 00 only with data off.
  const Bytes& d = frame.data;
  Vfo& vfo = state_.vfo;
  if (d.size() == 1) {
    const Byte on = vfo.data ? 0x01 : 0x00;
    return answer(frame, frame.command, {d[0], on, vfo.data ? vfo.filter : Byte{0x00}});
  }
  if (d.size() != 3 || d[1] > 0x01) return ng(frame);
  const bool on = d[1] == 0x01;
  if (d[2] == 0x00 ? on : !isKnownFilter(d[2])) return ng(frame);
  vfo.data = on;
  if (d[2] != 0x00) vfo.filter = d[2];
  return ok(frame);
}

Bytes Radio::memoryCommand(const Frame& frame) {
  const Bytes& d = frame.data;
  const std::size_t requestLength = model_.usesBands() ? 4 : 3;
  if (d.size() == requestLength) {
    auto key = parseMemoryRequest(model_, d);
    if (!key) return ng(frame);
    // Once per memory, as a collision would: a controller that asks again
    // gets the right answer.
    if (faults_.shiftAnswer.contains(key->number) && key->number < model_.memoryCount &&
        shifted_.insert(*key).second) {
      ++key->number;
    }
    Bytes out = encodeMemory(model_, *key, state_.memory(*key));
    return answer(frame, frame.command, out);
  }
  auto write = decodeMemoryWrite(model_, d);
  if (!write || faults_.ngWrite.contains(write->key.number)) return ng(frame);
  if (faults_.corruptWrite.contains(write->key.number)) {
    // Taken, but not kept as sent: tone squelch switched over, and an
    // erase ignored.
    if (write->memory.blank) return ok(frame);
    write->memory.rx.toneSquelchOn = !write->memory.rx.toneSquelchOn;
  }
  if (write->memory.blank) {
    state_.memories.erase(write->key);
  } else {
    state_.memories[write->key] = write->memory;
  }
  return ok(frame);
}

}  // namespace tarnwick::sim
