#pragma once
// CI-V protocol constants: framing bytes, addresses, commands and the
// sub-commands this program uses. Each value is named once, here.

#include <cstddef>

#include "rig/bcd.h"

namespace tarnwick::civ {

// Framing.
inline constexpr Byte kPreamble = 0xFE;
inline constexpr Byte kEndOfMessage = 0xFD;
// Addresses at or above this value are not station addresses.
inline constexpr Byte kFirstInvalidAddress = 0xF0;
// Every station on the bus.
inline constexpr Byte kBroadcastAddress = 0x00;
// The program's own address on the bus.
inline constexpr Byte ControllerAddress = 0xE0;

// Fixed answers.
inline constexpr Byte kOk = 0xFB;
inline constexpr Byte kNg = 0xFA;

// Commands.
inline constexpr Byte kCmdSetFrequency = 0x05;
inline constexpr Byte kCmdSetMode = 0x06;
inline constexpr Byte kCmdReadFrequency = 0x03;
inline constexpr Byte kCmdReadMode = 0x04;
inline constexpr Byte kCmdSelectVfo = 0x07;
inline constexpr Byte kCmdReadOffset = 0x0C;
inline constexpr Byte kCmdDuplex = 0x0F;
inline constexpr Byte kCmdReadId = 0x19;
inline constexpr Byte kCmdMemory = 0x1A;
// Highest plain command accepted on receipt (besides OK and NG).
inline constexpr Byte kLastKnownCommand = 0x1C;

// Sub-commands.
inline constexpr Byte kSubVfoA = 0x00;            // with kCmdSelectVfo
inline constexpr Byte kSubDuplexMinus = 0x11;     // with kCmdDuplex
inline constexpr Byte kSubDuplexPlus = 0x12;      // with kCmdDuplex
inline constexpr Byte kSubMemoryContents = 0x00;  // with kCmdMemory
inline constexpr Byte kSubSettings = 0x05;        // with kCmdMemory
inline constexpr Byte kSubDataMode = 0x06;        // with kCmdMemory: data off/on, filter

// Setting items of kSubSettings: the duplex offsets of the three band groups.
inline constexpr Byte kItemOffsetHf = 0x14;
inline constexpr Byte kItemOffset50 = 0x15;
inline constexpr Byte kItemOffset144 = 0x16;

// Data bytes of the answers that carry a value.
inline constexpr std::size_t kFrequencyData = 5;  // kCmdReadFrequency
inline constexpr std::size_t kModeData = 2;       // kCmdReadMode: mode and filter
inline constexpr std::size_t kOffsetData = 3;     // kCmdReadOffset

// Largest number of data bytes a received frame may carry.
inline constexpr int kMaxFrameData = 256;

}  // namespace tarnwick::civ
