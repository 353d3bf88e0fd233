#pragma once
// What the simulated radio remembers: its memories, its VFO and its three
// duplex offsets. Fields hold what the radio was given bit for bit, so a test
// can see exactly what a controller stored.

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "sim/civ_bytes.h"

namespace tarnwick::sim {

namespace mode {
inline constexpr Byte kLsb = 0x00;
inline constexpr Byte kUsb = 0x01;
inline constexpr Byte kAm = 0x02;
inline constexpr Byte kCw = 0x03;
inline constexpr Byte kRtty = 0x04;
inline constexpr Byte kFm = 0x05;
inline constexpr Byte kWfm = 0x06;
inline constexpr Byte kCwR = 0x07;
inline constexpr Byte kRttyR = 0x08;
inline constexpr Byte kSAm = 0x11;
}  // namespace mode

namespace filter {
inline constexpr Byte kWide = 0x01;
inline constexpr Byte kNormal = 0x02;
inline constexpr Byte kNarrow = 0x03;
}  // namespace filter

bool isKnownMode(Byte modeByte);
bool isKnownFilter(Byte filterByte);
// The IC-7300 family has neither WFM nor S-AM.
bool isDataToneMode(Byte modeByte);

// One direction of a memory (the receive part, or the transmit part of the
// layouts that carry one).
struct Channel {
  std::int64_t hz = 0;
  Byte mode = mode::kUsb;
  Byte filter = filter::kNormal;
  bool data = false;  // data mode (IC-746Pro and the IC-7300 family)
  bool duplexMinus = false;
  bool duplexPlus = false;
  bool toneOn = false;  // repeater tone
  bool toneSquelchOn = false;
  int tone = 885;  // tenths of Hz
  int toneSquelch = 885;
  Byte dtcsPolarity = 0;  // IC-746Pro only
  int dtcsCode = 0;

  bool operator==(const Channel&) const = default;
};

struct Memory {
  bool blank = true;
  int select = 0;  // 0: none; 1 on the older radios, 1 to 3 on the IC-7300 family
  bool split = false;
  Channel rx;
  Channel tx;
  std::string name;     // exactly the bytes the radio holds (padded to the name length)
  int offset100Hz = 0;  // duplex offset kept in the memory (IC-910 only)

  bool operator==(const Memory&) const = default;
};

// band is 0 for radios without bands, 1..3 for the IC-910.
struct MemoryKey {
  int band = 0;
  int number = 0;
  auto operator<=>(const MemoryKey&) const = default;
};

enum class VfoDuplex { Simplex, Minus, Plus };

struct Vfo {
  std::int64_t hz = 14'070'000;
  Byte mode = mode::kUsb;
  Byte filter = filter::kNormal;
  bool data = false;  // IC-7300 family: data mode, set with 1A 06
  VfoDuplex duplex = VfoDuplex::Simplex;

  bool operator==(const Vfo&) const = default;
};

enum OffsetBand { kOffsetHf = 0, kOffset50 = 1, kOffset144 = 2 };

// Which of the three duplex offsets applies at a frequency.
OffsetBand offsetBandOf(std::int64_t hz);

struct RadioState {
  std::map<MemoryKey, Memory> memories;  // a memory that is absent is blank
  Vfo vfo;
  // Deliberately unlike the usual 100 kHz / 500 kHz / 600 kHz, so a test can
  // tell that a controller read them rather than kept its own defaults.
  std::array<std::int64_t, 3> offsetsHz{120'000, 1'000'000, 700'000};

  const Memory& memory(MemoryKey key) const;
};

}  // namespace tarnwick::sim
