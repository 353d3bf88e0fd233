#include "rig/value_codes.h"

#include <algorithm>

namespace tarnwick {

ModeIndex decodeMode(Byte sourceAddress, Byte modeByte, Byte flags) {
  const bool data = (flags & kDataFlag) != 0;
  switch (modeByte) {
    case 0x00:
      return data ? 11 : 0;
    case 0x01:
      return data ? 12 : 1;
    case 0x02:
      return data ? 13 : 7;
    case 0x03:
      return 3;
    case 0x04:
      return 5;
    case 0x05:
      if (sourceAddress == 0x08) return 2;
      return data ? 14 : 9;
    case 0x06:
      return 10;
    case 0x07:
      return 4;
    case 0x08:
      return 6;
    case 0x11:
      return 8;
    default:
      return kModeEmpty;
  }
}

EncodedMode encodeMode(ModeIndex mode) {
  switch (mode) {
    case 0:
      return {0x00, 0};
    case 1:
      return {0x01, 0};
    case 3:
      return {0x03, 0};
    case 4:
      return {0x07, 0};
    case 5:
      return {0x04, 0};
    case 6:
      return {0x08, 0};
    case 7:
      return {0x02, 0};
    case 8:
      return {0x11, 0};
    case 9:
      return {0x05, 0};
    case 10:
      return {0x06, 0};
    case 11:
      return {0x00, kDataFlag};
    case 12:
      return {0x01, kDataFlag};
    case 13:
      return {0x02, kDataFlag};
    case 14:
      return {0x05, kDataFlag};
    default:
      return {0x00, 0};  // "SSB", empty and unknown
  }
}

std::string_view modeName(ModeIndex mode) {
  if (mode < 0 || mode >= static_cast<int>(kModeTable.size())) return {};
  return kModeTable[static_cast<std::size_t>(mode)];
}

ModeIndex modeIndexOf(std::string_view text) {
  for (std::size_t i = 0; i < kModeTable.size(); ++i) {
    if (kModeTable[i] == text) return static_cast<ModeIndex>(i);
  }
  return kModeEmpty;
}

FilterIndex decodeFilter(Byte sourceAddress, Byte modeByte, Byte filterByte) {
  switch (sourceAddress) {
    case 0x08:
      if (modeByte == 0x05 && filterByte == 0x00) return 1;
      if (modeByte == 0x02 || (modeByte == 0x05 && filterByte == 0x02)) return 2;
      return kFilterEmpty;
    case 0x26:
      return filterByte == 0x02 ? 2 : kFilterEmpty;
    case 0x2A:
      return modeByte == 0x06 ? 1 : kFilterEmpty;
    case 0x4A:
      switch (modeByte) {
        case 0x00:
        case 0x01:
        case 0x06:
          return 1;
        case 0x02:
          if (filterByte == 0x01) return 2;
          if (filterByte == 0x02) return 1;
          if (filterByte == 0x03) return 0;
          return kFilterEmpty;
        case 0x03:
        case 0x05:
          if (filterByte == 0x01) return 1;
          if (filterByte == 0x02) return 2;
          return kFilterEmpty;
        default:
          return kFilterEmpty;
      }
    default:
      switch (filterByte) {
        case 0x01:
          return 0;
        case 0x02:
          return 1;
        case 0x03:
          return 2;
        default:
          return kFilterEmpty;
      }
  }
}

Byte encodeFilter(FilterIndex filter) {
  switch (filter) {
    case 0:
      return 0x01;
    case 2:
      return 0x03;
    default:
      return 0x02;
  }
}

std::string_view filterName(FilterIndex filter) {
  if (filter < 0 || filter >= static_cast<int>(kFilterTable.size())) return {};
  return kFilterTable[static_cast<std::size_t>(filter)];
}

FilterIndex filterIndexOf(std::string_view text) {
  for (std::size_t i = 0; i < kFilterTable.size(); ++i) {
    if (kFilterTable[i] == text) return static_cast<FilterIndex>(i);
  }
  return kFilterEmpty;
}

std::string_view duplexText(DuplexCode code) {
  if (code >= 1 && code <= 3) return kDuplexTexts[static_cast<std::size_t>(code)];
  return kDuplexTexts[0];
}

DuplexCode duplexCodeOf(std::string_view text) {
  for (std::size_t i = 1; i < kDuplexTexts.size(); ++i) {
    if (kDuplexTexts[i] == text) return static_cast<DuplexCode>(i);
  }
  return 0;
}

Byte bankCodeOf(std::string_view bandText) {
  for (std::size_t i = 0; i < kBandTexts.size(); ++i) {
    if (kBandTexts[i] == bandText) return static_cast<Byte>(i + 1);
  }
  return 1;
}

std::string_view selectText(int value, int groups) {
  if (groups <= 1) return value != 0 ? "1" : "0";
  return value > 0 && value <= kLargestSelectGroup
             ? kSelectGroupTexts[static_cast<std::size_t>(value)]
             : kSelectGroupTexts[0];
}

int selectValueOf(std::string_view text, int groups) {
  if (text == "1") return 1;
  if (groups <= 1) return 0;
  for (int g = 1; g <= std::min(groups, kLargestSelectGroup); ++g) {
    if (kSelectGroupTexts[static_cast<std::size_t>(g)] == text) return g;
  }
  return 0;
}

bool isWholeKhzMode(std::string_view modeText) {
  return modeText == "WFM" || modeText == "FM" || modeText == "AM" || modeText == "FM-D" ||
         modeText == "AM-D";
}

}  // namespace tarnwick
