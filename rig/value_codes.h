#pragma once
// Mode, filter, duplex and band codes and their cell texts.

#include <array>
#include <cstdint>
#include <string_view>

#include "rig/bcd.h"

namespace tarnwick {

using ModeIndex = int;    // 0..15, 15 the empty text
using FilterIndex = int;  // 0..3, 3 the empty text
using DuplexCode = int;   // one of the four below; the index into kDuplexTexts

inline constexpr ModeIndex kModeEmpty = 15;
inline constexpr FilterIndex kFilterEmpty = 3;

inline constexpr DuplexCode kDuplexSimplex = 0;
inline constexpr DuplexCode kDuplexMinus = 1;
inline constexpr DuplexCode kDuplexPlus = 2;
inline constexpr DuplexCode kDuplexSplit = 3;

inline constexpr std::array<std::string_view, 16> kModeTable{
    "LSB",  "USB", "SSB", "CW",    "CW-r",  "RTTY", "RTTY-r", "AM",
    "S-AM", "FM",  "WFM", "LSB-D", "USB-D", "AM-D", "FM-D",   ""};
inline constexpr std::array<std::string_view, 4> kFilterTable{"Wide", "Normal", "Narrow", ""};
inline constexpr std::array<std::string_view, 4> kDuplexTexts{"Simp", "DUP-", "DUP+", "Split"};
inline constexpr std::array<std::string_view, 4> duplexChoices{"Simplex", "DUP-", "DUP+", "Split"};
inline constexpr std::array<std::string_view, 3> kBandTexts{"144 MHz", "430 MHz", "1240 MHz"};

// Bit 4 of a memory's flags byte marks a data mode.
inline constexpr Byte kDataFlag = 0x10;

ModeIndex decodeMode(Byte sourceAddress, Byte modeByte, Byte flags);

struct EncodedMode {
  Byte modeByte;
  Byte dataFlag;  // kDataFlag or 0
};
EncodedMode encodeMode(ModeIndex mode);

std::string_view modeName(ModeIndex mode);  // "" outside the table
ModeIndex modeIndexOf(std::string_view text);

FilterIndex decodeFilter(Byte sourceAddress, Byte modeByte, Byte filterByte);
Byte encodeFilter(FilterIndex filter);
std::string_view filterName(FilterIndex filter);  // "" outside the table
FilterIndex filterIndexOf(std::string_view text);

std::string_view duplexText(DuplexCode code);
DuplexCode duplexCodeOf(std::string_view text);

Byte bankCodeOf(std::string_view bandText);

// True for the modes whose frequencies show no decimals when whole kHz.
bool isWholeKhzMode(std::string_view modeText);

}  // namespace tarnwick
