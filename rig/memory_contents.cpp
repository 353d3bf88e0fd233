#include "rig/memory_contents.h"

#include <cstdlib>

#include "rig/frequency_text.h"
#include "rig/memory_layouts.h"
#include "rig/tone_text.h"

namespace tarnwick {
namespace {

// A memory's values in the radio's own terms: what the layouts carry, between
// the bytes of an answer or write and a DecodedMemory or a row.
struct MemoryValues {
  Byte band = 0;
  int memoryNumber = 0;
  bool select = false;
  bool split = false;
  bool repeaterTone = false;
  bool toneSquelch = false;
  bool minus = false;
  bool plus = false;
  bool data = false;
  std::int32_t frequency = 0;
  std::int32_t txFrequency = 0;
  Byte modeByte = 0;
  Byte filterByte = 0;
  int tone = 0;             // tenths of a hertz
  int toneSquelchTone = 0;  // tenths of a hertz
  std::int64_t offset = 0;  // hertz
  std::string name;
};

constexpr Byte kMemoryCommand = 0x1A;  // memory contents travel under this command
constexpr Byte kBlankMarker = 0xFF;

// Digit by digit, without a digit check: a nibble above 9 adds its value
// times the digit's weight, so a damaged tone or offset still reads as a number.
std::int64_t readBcd(std::span<const Byte> bytes, bool lsbFirst) {
  std::int64_t v = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const Byte b = lsbFirst ? bytes[bytes.size() - 1 - i] : bytes[i];
    v = v * 100 + (b >> 4) * 10 + (b & 0x0F);
  }
  return v;
}

// The last 2 × width decimal digits of the value.
void writeBcd(std::span<Byte> out, std::int64_t v, bool lsbFirst) {
  if (v < 0) v = 0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int pair = static_cast<int>(v % 100);
    v /= 100;
    out[lsbFirst ? i : out.size() - 1 - i] = static_cast<Byte>(((pair / 10) << 4) | (pair % 10));
  }
}

std::int64_t readNumber(const LayoutField& f, std::span<const Byte> bytes) {
  switch (f.codec) {
    case FieldCodec::BcdLsbFirst:
      return readBcd(bytes, true) * f.unit;
    case FieldCodec::BcdMsbFirst:
      return readBcd(bytes, false) * f.unit;
    default:
      return bytes[0];
  }
}

void writeNumber(const LayoutField& f, std::span<Byte> out, std::int64_t value) {
  switch (f.codec) {
    case FieldCodec::BcdLsbFirst:
      writeBcd(out, value / f.unit, true);
      break;
    case FieldCodec::BcdMsbFirst:
      writeBcd(out, value / f.unit, false);
      break;
    default:
      out[0] = static_cast<Byte>(value);
      break;
  }
}

// Frequencies are strict: an FF first byte or any non-BCD byte is a blank
// memory, never a wrong frequency.
std::int32_t readFrequency(const LayoutField& f, std::span<const Byte> bytes) {
  if (f.codec == FieldCodec::BcdLsbFirst) return decodeBcdFrequency(bytes, 0);
  for (Byte b : bytes) {
    if (!isBcdByte(b)) return 0;
  }
  return static_cast<std::int32_t>(readNumber(f, bytes));
}

void readBits(Byte b, const FlagBits& bits, MemoryValues& v) {
  auto has = [b](Byte mask) { return (b & mask) != 0; };
  v.select = v.select || has(bits.select);
  v.split = v.split || has(bits.split);
  v.repeaterTone = v.repeaterTone || has(bits.repeaterTone);
  v.toneSquelch = v.toneSquelch || has(bits.toneSquelch);
  v.minus = v.minus || has(bits.minus);
  v.plus = v.plus || has(bits.plus);
  v.data = v.data || has(bits.data);
}

Byte bitsOf(const FlagBits& bits, const MemoryValues& v) {
  Byte b = 0;
  if (v.select) b |= bits.select;
  if (v.split) b |= bits.split;
  if (v.repeaterTone) b |= bits.repeaterTone;
  if (v.toneSquelch) b |= bits.toneSquelch;
  if (v.minus) b |= bits.minus;
  if (v.plus) b |= bits.plus;
  if (v.data) b |= bits.data;
  return b;
}

void readField(const LayoutField& f, std::span<const Byte> data, MemoryValues& v) {
  const std::span<const Byte> bytes =
      data.subspan(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.width));
  switch (f.field) {
    case MemoryField::SubCommand:
    case MemoryField::Unused:
      break;
    case MemoryField::Band:
      v.band = bytes[0];
      break;
    case MemoryField::MemoryNumber:
      v.memoryNumber = static_cast<int>(readNumber(f, bytes));
      break;
    case MemoryField::Flags:
      readBits(bytes[0], f.bits, v);
      break;
    case MemoryField::Frequency:
      v.frequency = readFrequency(f, bytes);
      break;
    case MemoryField::TxFrequency:
      v.txFrequency = readFrequency(f, bytes);
      break;
    case MemoryField::Mode:
      v.modeByte = bytes[0];
      break;
    case MemoryField::Filter:
      v.filterByte = bytes[0];
      break;
    case MemoryField::RepeaterTone:
      v.tone = static_cast<int>(readNumber(f, bytes));
      break;
    case MemoryField::ToneSquelch:
      v.toneSquelchTone = static_cast<int>(readNumber(f, bytes));
      break;
    case MemoryField::Offset:
      v.offset = readNumber(f, bytes);
      break;
    case MemoryField::Name:
      v.name.assign(bytes.begin(), bytes.end());
      break;
  }
}

void writeField(const LayoutField& f, const MemoryValues& v, std::span<Byte> data) {
  const std::span<Byte> out =
      data.subspan(static_cast<std::size_t>(f.offset), static_cast<std::size_t>(f.width));
  switch (f.field) {
    case MemoryField::SubCommand:
    case MemoryField::Unused:
      break;  // the buffer starts as zeros
    case MemoryField::Band:
      writeNumber(f, out, v.band);
      break;
    case MemoryField::MemoryNumber:
      writeNumber(f, out, v.memoryNumber);
      break;
    case MemoryField::Flags:
      out[0] |= bitsOf(f.bits, v);
      break;
    case MemoryField::Frequency:
      writeNumber(f, out, v.frequency);
      break;
    case MemoryField::TxFrequency:
      writeNumber(f, out, v.txFrequency);
      break;
    case MemoryField::Mode:
      writeNumber(f, out, v.modeByte);
      break;
    case MemoryField::Filter:
      writeNumber(f, out, v.filterByte);
      break;
    case MemoryField::RepeaterTone:
      writeNumber(f, out, v.tone);
      break;
    case MemoryField::ToneSquelch:
      writeNumber(f, out, v.toneSquelchTone);
      break;
    case MemoryField::Offset:
      writeNumber(f, out, v.offset);
      break;
    case MemoryField::Name:
      // Cut to the field, padded with spaces; the bytes go as they are.
      for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = i < v.name.size() ? static_cast<Byte>(v.name[i]) : Byte{' '};
      }
      break;
  }
}

bool beforeMarker(const LayoutField& f, const MemoryLayoutTable& layout) {
  return f.offset + f.width <= layout.blankMarker;
}

int toneTenths(std::string_view text, Separators sep) {
  const int t = parseToneTenths(text, sep);
  return t < 0 ? kDefaultToneTenths : t;
}

}  // namespace

bool decodeMemoryContents(Byte sourceAddress, std::span<const Byte> data, int modelIndex,
                          DecodedMemory& out) {
  const MemoryLayoutTable* layout = readLayoutOf(modelIndex);
  if (!layout) return false;
  const auto marker = static_cast<std::size_t>(layout->blankMarker);
  const bool blank = data.size() > marker && data[marker] == kBlankMarker;
  // Never read past what arrived: a cut-off answer counts as no answer.
  if (!blank && data.size() < static_cast<std::size_t>(layout->dataSize)) return false;

  MemoryValues v;
  for (const LayoutField& f : layout->fields) {
    if (!f.read() || (blank && !beforeMarker(f, *layout))) continue;
    readField(f, data, v);
  }

  DecodedMemory d;
  d.bank = v.band;
  d.memoryNumber = v.memoryNumber;
  if (!blank) {
    d.frequency = v.frequency;
    d.splitFrequency = v.txFrequency;
    d.selectText = v.select ? "1" : "0";
    d.mode = decodeMode(sourceAddress, v.modeByte, v.data ? kDataFlag : 0);
    d.filter = decodeFilter(sourceAddress, v.modeByte, v.filterByte);
    // Tone squelch also sends the tone, so it shows both tone cells.
    d.toneOn = v.repeaterTone || v.toneSquelch;
    d.toneSquelchOn = v.toneSquelch;
    d.tone = v.tone;
    d.toneSquelch = v.toneSquelchTone;
    d.name = std::move(v.name);
    d.duplex = v.split ? 3 : v.plus ? 2 : v.minus ? 1 : 0;
    d.offset = static_cast<std::int32_t>(v.offset);
  }
  out = std::move(d);
  return true;
}

std::vector<Byte> encodeMemoryContents(int modelIndex, int memoryNumber, const ChannelRecord& row,
                                       std::string_view bandText, Separators sep) {
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  if (!layout) return {};

  MemoryValues v;
  v.band = bankCodeOf(bandText);
  v.memoryNumber = memoryNumber;
  v.frequency = parseFrequency(row[colFrequency], sep);
  const bool blank = v.frequency == 0;
  if (!blank) {
    const DuplexCode duplex = duplexCodeOf(row[colDuplex]);
    v.select = row[colSelect] == kChecked;
    v.split = duplex == 3;
    v.minus = duplex == 1;
    v.plus = duplex == 2;
    const EncodedMode mode = encodeMode(modeIndexOf(row[colMode]));
    v.modeByte = mode.modeByte;
    v.data = mode.dataFlag != 0;
    v.filterByte = encodeFilter(filterIndexOf(row[colFilter]));
    // Repeater tone and tone squelch are one setting in the radio, never both:
    // tone squelch wins. Both tone values are kept.
    v.toneSquelch = !row[colToneSquelch].empty();
    v.repeaterTone = !v.toneSquelch && !row[colRepeaterTone].empty();
    v.tone = toneTenths(row[colRepeaterTone], sep);
    v.toneSquelchTone = toneTenths(row[colToneSquelch], sep);
    const std::int32_t tx = parseFrequency(row[colTxFrequency], sep);
    v.txFrequency = tx != 0 ? tx : v.frequency;
    // Without a transmit frequency there is no offset to carry.
    v.offset = tx != 0 ? std::llabs(std::int64_t{v.frequency} - tx) : 0;
    v.name = row[colName];
  }

  const std::size_t size = blank ? static_cast<std::size_t>(layout->blankMarker) + 1
                                 : static_cast<std::size_t>(layout->dataSize);
  std::vector<Byte> payload(1 + size, 0);
  payload[0] = kMemoryCommand;
  const std::span<Byte> data = std::span<Byte>(payload).subspan(1);
  for (const LayoutField& f : layout->fields) {
    if (!f.written() || (blank && !beforeMarker(f, *layout))) continue;
    writeField(f, v, data);
  }
  if (blank) data[static_cast<std::size_t>(layout->blankMarker)] = kBlankMarker;
  return payload;
}

}  // namespace tarnwick
