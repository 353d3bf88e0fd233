#include "sim/bus_station.h"

namespace tarnwick::sim {
namespace {

constexpr Byte kCmdReadMeter = 0x15;
constexpr Byte kSubSMeter = 0x02;
constexpr int kFrequencyBytes = 5;

}  // namespace

BusStation::BusStation(const RadioModel& model, RadioState state, Byte address)
    : radio_(model, std::move(state), Faults{}, address) {}

BusStation::Exchange BusStation::nextPoll() {
  const RadioModel& model = radio_.model();
  Frame request{.to = radio_.address(), .from = kUsualControllerAddress, .command = 0, .data = {}};
  switch (polls_++ % 5) {
    case 0:
      request.command = civ::kCmdReadFrequency;
      break;
    case 1:
      request.command = civ::kCmdReadMode;
      break;
    case 2: {
      memory_ = memory_ % model.memoryCount + 1;
      request.command = civ::kCmdMemoryAndMenu;
      request.data = {civ::kSubMemoryContents};
      if (model.usesBands()) request.data.push_back(0x01);
      putBcdMsb(request.data, memory_, 2);
      break;
    }
    case 3:
      request.command = civ::kCmdSetFrequency;
      putBcdLsb(request.data, radio_.state().vfo.hz, kFrequencyBytes);
      break;
    default:
      request.command = kCmdReadMeter;
      request.data = {kSubSMeter};
      break;
  }
  Exchange exchange{.request = buildFrame(request), .answer = {}};
  exchange.answer = radio_.handle(request).answer;
  return exchange;
}

RadioState neighbourState(const RadioModel& model, const RadioState& state) {
  RadioState moved;
  moved.offsetsHz = state.offsetsHz;
  moved.vfo = state.vfo;
  moved.vfo.hz = state.vfo.hz == 7'100'000 ? 7'150'000 : 7'100'000;
  for (const auto& [key, memory] : state.memories) {
    if (key.number < model.memoryCount) moved.memories[{key.band, key.number + 1}] = memory;
  }
  return moved;
}

}  // namespace tarnwick::sim
