#pragma once
// Another radio on the same bus, and another program that polls it. Several
// radios often share one interface; the program that runs the second one
// (a logger, a rotator or band-switch controller) usually uses the controller
// address E0 too, so the second radio's answers reach every controller on
// the line addressed to E0, from an address that is not the first radio's.

#include "sim/radio.h"

namespace tarnwick::sim {

// The address most controlling programs use.
inline constexpr Byte kUsualControllerAddress = 0xE0;

class BusStation {
 public:
  BusStation(const RadioModel& model, RadioState state, Byte address);

  // One turn of the other program: its request, and the radio's answer.
  struct Exchange {
    Bytes request;
    Bytes answer;
  };
  // The program asks in turn for the frequency, the mode and the next memory,
  // tunes the radio where it is, and asks for a meter reading the simulated
  // radio does not give (answered NG): every kind of answer a controller
  // waits for, from the other radio.
  Exchange nextPoll();

  // A frame from our controller, heard by the second radio as by any station
  // on the bus: it answers only what is meant for it (an ID request to every
  // station).
  Bytes hear(const Frame& frame) { return radio_.handle(frame).answer; }

  const Radio& radio() const { return radio_; }

 private:
  Radio radio_;
  int polls_ = 0;
  int memory_ = 0;
};

// A second radio's memories: the same channels as `state`, each one memory
// number further on (the last one dropped), and the VFO elsewhere, so that
// none of its answers equals the first radio's.
RadioState neighbourState(const RadioModel& model, const RadioState& state);

}  // namespace tarnwick::sim
