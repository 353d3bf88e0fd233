#pragma once
// Settings, codes and line events of the serial component.

#include <array>
#include <cstdint>

namespace tarnwick {

enum eParity : std::uint8_t { paNone, paOdd, paEven, paMark, paSpace };
enum eDataBits : std::uint8_t { d7bit, d8bit };
enum eStopBits : std::uint8_t { st1bit, st2bit };
enum eFlowControl : std::uint8_t { fcNone, fcRTS_CTS, fcDTR_DSR, fcXON_XOF };
enum eOpModes : std::uint8_t { rxNormal, rxMessage };
enum eNotifyErr : std::uint8_t { neDialog, neEvent, neNone };
enum eModemInSignal : std::uint8_t { msCTS = 0, msDSR = 1, msRLSD = 2 };

// Port numbers run from 1 to 9.
inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 9;

inline constexpr std::array<std::int32_t, 15> kValidBaudrates = {
    110,   300,   600,   1200,  2400,   4800,   9600,  14400,
    19200, 38400, 56000, 57600, 115200, 128000, 256000};

constexpr bool isValidBaudrate(std::int32_t rate) {
  for (auto r : kValidBaudrates) {
    if (r == rate) return true;
  }
  return false;
}

// Error codes of the component's own; positive codes are errno values.
inline constexpr int kErrPortNotActive = -1;
inline constexpr int kErrStringTooLong = -2;

// Output lines for SetOutputSignal.
inline constexpr int kSignalRTS = 0;
inline constexpr int kSignalDTR = 1;

// Line events, as bits of one set, and the input line states reported with them.
namespace lineev {
inline constexpr std::uint32_t kRxChar = 0x0001;
inline constexpr std::uint32_t kTxEmpty = 0x0004;
inline constexpr std::uint32_t kCts = 0x0008;
inline constexpr std::uint32_t kDsr = 0x0010;
inline constexpr std::uint32_t kRlsd = 0x0020;
inline constexpr std::uint32_t kBreak = 0x0040;
inline constexpr std::uint32_t kRing = 0x0100;
inline constexpr std::uint32_t kAll = kRxChar | kTxEmpty | kCts | kDsr | kRlsd | kBreak | kRing;
}  // namespace lineev

namespace modemst {
inline constexpr std::uint32_t kCtsOn = 0x10;
inline constexpr std::uint32_t kDsrOn = 0x20;
inline constexpr std::uint32_t kRingOn = 0x40;
inline constexpr std::uint32_t kRlsdOn = 0x80;
}  // namespace modemst

struct LineEventSet {
  std::uint32_t events = 0;       // lineev bits
  std::uint32_t modemStatus = 0;  // modemst bits, read when the events were taken
  std::uint64_t attachment = 0;   // which opening of the port they belong to
};

}  // namespace tarnwick
