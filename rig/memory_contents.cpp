#include "rig/memory_contents.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "rig/frequency_text.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "rig/tone_text.h"

namespace tarnwick {
namespace {

// A memory's values in the radio's own terms: what the layouts carry, between
// the bytes of an answer or write and a DecodedMemory or a row.
struct MemoryValues {
  Byte band = 0;
  int memoryNumber = 0;
  int select = 0;  // the flag (0/1) or the select group
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

// The number a mask of bits carries, and the bits that carry a number.
int valueIn(Byte b, Byte mask) {
  return mask == 0 ? 0 : (b & mask) >> std::countr_zero(static_cast<unsigned>(mask));
}

Byte bitsFor(int value, Byte mask) {
  if (mask == 0) return 0;
  return static_cast<Byte>((value << std::countr_zero(static_cast<unsigned>(mask))) & mask);
}

void readBits(Byte b, const FlagBits& bits, MemoryValues& v) {
  auto has = [b](Byte mask) { return (b & mask) != 0; };
  if (bits.select != 0) v.select = valueIn(b, bits.select);
  v.split = v.split || has(bits.split);
  // A tone squelch bit also sends the repeater tone: both cells show. A tone
  // type of tone squelch is that alone.
  v.repeaterTone = v.repeaterTone || has(bits.repeaterTone) || has(bits.toneSquelch);
  v.toneSquelch = v.toneSquelch || has(bits.toneSquelch);
  const int toneType = valueIn(b, bits.toneType);
  v.repeaterTone = v.repeaterTone || toneType == kToneTypeRepeater;
  v.toneSquelch = v.toneSquelch || toneType == kToneTypeSquelch;
  v.minus = v.minus || has(bits.minus);
  v.plus = v.plus || has(bits.plus);
  v.data = v.data || has(bits.data);
}

Byte bitsOf(const FlagBits& bits, const MemoryValues& v) {
  Byte b = bitsFor(v.select, bits.select);
  if (v.split) b |= bits.split;
  if (v.repeaterTone) b |= bits.repeaterTone;
  if (v.toneSquelch) b |= bits.toneSquelch;
  if (v.minus) b |= bits.minus;
  if (v.plus) b |= bits.plus;
  if (v.data) b |= bits.data;
  if (v.toneSquelch) {
    b |= bitsFor(kToneTypeSquelch, bits.toneType);
  } else if (v.repeaterTone) {
    b |= bitsFor(kToneTypeRepeater, bits.toneType);
  }
  return b;
}

// The width a field has in one answer or write: a name that may be shorter
// is `shortBy` bytes shorter.
std::size_t widthOf(const LayoutField& f, int shortBy) {
  const int width = f.shortestWidth > 0 ? f.width - shortBy : f.width;
  return static_cast<std::size_t>(width);
}

void readField(const LayoutField& f, std::span<const Byte> data, int shortBy, MemoryValues& v) {
  const std::span<const Byte> bytes =
      data.subspan(static_cast<std::size_t>(f.offset), widthOf(f, shortBy));
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

void writeField(const LayoutField& f, const MemoryValues& v, int shortBy, std::span<Byte> data) {
  const std::span<Byte> out = data.subspan(static_cast<std::size_t>(f.offset), widthOf(f, shortBy));
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

// How much shorter than its full width the layout's name may be.
int nameSlack(const MemoryLayoutTable& layout) {
  for (const LayoutField& f : layout.fields) {
    if (f.shortestWidth > 0) return f.width - f.shortestWidth;
  }
  return 0;
}

int toneTenths(std::string_view text, Separators sep) {
  const int t = parseToneTenths(text, sep);
  return t < 0 ? kDefaultToneTenths : t;
}

}  // namespace

std::string memoryAnswerFault(std::span<const Byte> data, int modelIndex) {
  const MemoryLayoutTable* layout = readLayoutOf(modelIndex);
  if (!layout) return "no memory layout for the " + std::string(modelName(modelIndex));
  const auto marker = static_cast<std::size_t>(layout->blankMarker);
  if (data.size() > marker && data[marker] == kBlankMarker) return {};
  // Never read past what arrived: a cut-off answer counts as no answer.
  const auto full = static_cast<std::size_t>(layout->dataSize);
  const auto slack = static_cast<std::size_t>(nameSlack(*layout));
  if (data.size() + slack < full) {
    return std::to_string(data.size()) + " data bytes, fewer than the " +
           std::string(modelName(modelIndex)) + "'s " + std::to_string(full - slack);
  }
  // A name that may be shorter comes in one of its two lengths.
  if (slack > 0 && data.size() != full && data.size() != full - slack) {
    const NameLengths names = nameLengths(modelIndex);
    const std::size_t got = data.size() - (full - static_cast<std::size_t>(names.full));
    return "a name of " + std::to_string(got) + " characters, not " +
           std::to_string(names.shortest) + " or " + std::to_string(names.full);
  }
  return {};
}

bool decodeMemoryContents(Byte sourceAddress, std::span<const Byte> data, int modelIndex,
                          DecodedMemory& out) {
  if (!memoryAnswerFault(data, modelIndex).empty()) return false;
  const MemoryLayoutTable* layout = readLayoutOf(modelIndex);
  const auto marker = static_cast<std::size_t>(layout->blankMarker);
  const bool blank = data.size() > marker && data[marker] == kBlankMarker;
  // A name that may be shorter takes the length the answer brings.
  const auto full = static_cast<std::size_t>(layout->dataSize);
  const int shortBy = blank || data.size() >= full ? 0 : static_cast<int>(full - data.size());

  MemoryValues v;
  for (const LayoutField& f : layout->fields) {
    if (!f.read() || (blank && !beforeMarker(f, *layout))) continue;
    readField(f, data, shortBy, v);
  }

  DecodedMemory d;
  d.bank = v.band;
  d.memoryNumber = v.memoryNumber;
  if (!blank) {
    d.frequency = v.frequency;
    d.splitFrequency = v.txFrequency;
    d.selectText = selectText(v.select, selectGroupCount(modelIndex));
    d.mode = decodeMode(sourceAddress, v.modeByte, v.data ? kDataFlag : 0);
    d.filter = decodeFilter(sourceAddress, v.modeByte, v.filterByte);
    d.toneOn = v.repeaterTone;
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
                                       std::string_view bandText, Separators sep, int nameLength) {
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  if (!layout) return {};
  const FlagBits kept = keptBits(*layout);

  MemoryValues v;
  v.band = bankCodeOf(bandText);
  v.memoryNumber = memoryNumber;
  v.frequency = parseFrequency(row[colFrequency], sep);
  const bool blank = v.frequency == 0;
  if (!blank) {
    const DuplexCode duplex = duplexCodeOf(row[colDuplex]);
    v.select = selectValueOf(row[colSelect], selectGroupCount(modelIndex));
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
    // A radio that keeps duplex directions takes the Tx cell as it stands;
    // one that keeps only split takes it for a split row and otherwise gets
    // the receive frequency again.
    const bool txTaken = v.split || (kept.minus | kept.plus) != 0;
    v.txFrequency = tx != 0 && txTaken ? tx : v.frequency;
    // Without a transmit frequency there is no offset to carry.
    v.offset = tx != 0 ? std::llabs(std::int64_t{v.frequency} - tx) : 0;
    v.name = row[colName];
  }

  // The name in the length asked for, where the radio holds more than one;
  // any other length gets the full one, the length the radio surely takes.
  const NameLengths names = nameLengths(modelIndex);
  const int shortBy = !blank && nameLength == names.shortest ? names.full - names.shortest : 0;
  const std::size_t size = blank ? static_cast<std::size_t>(layout->blankMarker) + 1
                                 : static_cast<std::size_t>(layout->dataSize - shortBy);
  std::vector<Byte> payload(1 + size, 0);
  payload[0] = kMemoryCommand;
  const std::span<Byte> data = std::span<Byte>(payload).subspan(1);
  for (const LayoutField& f : layout->fields) {
    if (!f.written() || (blank && !beforeMarker(f, *layout))) continue;
    writeField(f, v, shortBy, data);
  }
  if (blank) data[static_cast<std::size_t>(layout->blankMarker)] = kBlankMarker;
  return payload;
}

}  // namespace tarnwick
