#pragma once
// Byte-level pieces of the CI-V bus as the simulated radio sees them: the
// protocol constants, packed BCD fields and frame building. Written apart
// from the program's own codecs on purpose, so that a fault in one side
// shows up as a disagreement with the other.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnwick::sim {

using Byte = std::uint8_t;
using Bytes = std::vector<Byte>;

namespace civ {
inline constexpr Byte kPreamble = 0xFE;
inline constexpr Byte kEnd = 0xFD;
inline constexpr Byte kOk = 0xFB;
inline constexpr Byte kNg = 0xFA;
inline constexpr Byte kFirstInvalidAddress = 0xF0;

inline constexpr Byte kCmdReadFrequency = 0x03;
inline constexpr Byte kCmdReadMode = 0x04;
inline constexpr Byte kCmdSetFrequency = 0x05;
inline constexpr Byte kCmdSetMode = 0x06;
inline constexpr Byte kCmdSelectVfo = 0x07;
inline constexpr Byte kCmdDuplexOffset = 0x0C;
inline constexpr Byte kCmdDuplex = 0x0F;
inline constexpr Byte kCmdReadId = 0x19;
inline constexpr Byte kCmdMemoryAndMenu = 0x1A;
// Unsolicited, to kBroadcast, from a radio with CI-V Transceive on.
inline constexpr Byte kCmdTransceiveFrequency = 0x00;

inline constexpr Byte kBroadcast = 0x00;
inline constexpr Byte kSubReadId = 0x00;

inline constexpr Byte kSubMemoryContents = 0x00;
inline constexpr Byte kSubMenuItem = 0x05;
inline constexpr Byte kSubDataMode = 0x06;  // IC-7300 family: data on/off and filter
inline constexpr Byte kItemOffsetHf = 0x14;
inline constexpr Byte kItemOffset50 = 0x15;
inline constexpr Byte kItemOffset144 = 0x16;

inline constexpr Byte kDuplexSimplex = 0x10;
inline constexpr Byte kDuplexMinus = 0x11;
inline constexpr Byte kDuplexPlus = 0x12;

inline constexpr Byte kBlankMarker = 0xFF;
}  // namespace civ

// One frame as it travels: FE FE <to> <from> <command> <data...> FD.
struct Frame {
  Byte to = 0;
  Byte from = 0;
  Byte command = 0;
  Bytes data;
};

Bytes buildFrame(const Frame& frame);

// "FE FE 56 E0 FD": two upper-case hex digits per byte, single blanks between.
std::string hexText(std::span<const Byte> bytes);

bool isBcd(Byte b);
Byte toBcd(int twoDigits);  // 0..99

// Decimal digits packed two per byte. The "Lsb" forms put the least
// significant pair first (frequencies, duplex offsets); the "Msb" forms the
// most significant pair first (memory numbers, tones). Decoding returns
// nothing when a nibble is above 9.
void putBcdLsb(Bytes& out, std::int64_t value, int byteCount);
void putBcdMsb(Bytes& out, std::int64_t value, int byteCount);
std::optional<std::int64_t> readBcdLsb(std::span<const Byte> bytes, std::size_t pos, int byteCount);
std::optional<std::int64_t> readBcdMsb(std::span<const Byte> bytes, std::size_t pos, int byteCount);

}  // namespace tarnwick::sim
