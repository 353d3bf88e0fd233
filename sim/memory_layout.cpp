#include "sim/memory_layout.h"

namespace tarnwick::sim {
namespace {

// Where a layout keeps a part's tone and duplex flags, all in one byte.
struct ToneDuplexBits {
  Byte tone;
  Byte toneSquelch;
  Byte minus;
  Byte plus;
};

// Where a layout keeps the select flag and the split flag in its first byte.
struct SelectBits {
  Byte select;
  Byte split;
};

// Long and short layouts: flags byte of the receive (and transmit) part.
constexpr ToneDuplexBits kLongFlags{.tone = 0x01, .toneSquelch = 0x02, .minus = 0x10, .plus = 0x20};
constexpr SelectBits kLongSelect{.select = 0x01, .split = 0x02};

// Band layout flags.
constexpr ToneDuplexBits kBandFlags{.tone = 0x10, .toneSquelch = 0x20, .minus = 0x01, .plus = 0x02};

// Pro layout: select byte, and the duplex-and-tone byte of each part.
constexpr SelectBits kProSelect{.select = 0x01, .split = 0x10};
constexpr ToneDuplexBits kProFlags{.tone = 0x01, .toneSquelch = 0x02, .minus = 0x10, .plus = 0x20};

// IC-7300 family: split in the high nibble of the first byte, select
// group in the low one; data mode and tone type share a byte the same way.
constexpr Byte kDataToneSplit = 0x10;
constexpr int kDataToneSelectGroups = 3;
constexpr Byte kDataToneData = 0x10;
constexpr Byte kToneTypeOff = 0x00;
constexpr Byte kToneTypeRepeater = 0x01;
constexpr Byte kToneTypeSquelch = 0x02;

constexpr int kFrequencyBytes = 5;
constexpr int kToneBytes = 3;

Byte bits(bool on, Byte bit) {
  return on ? bit : Byte{0};
}

// Reads fields in order from a write's data and remembers the first fault.
class Reader {
 public:
  Reader(std::span<const Byte> data, std::size_t pos) : data_(data), pos_(pos) {}

  Byte byte() { return data_[pos_++]; }

  std::int64_t bcdLsb(int count, const char* what) {
    const auto v = readBcdLsb(data_, pos_, count);
    pos_ += static_cast<std::size_t>(count);
    if (!v) fail(std::string("bad BCD in ") + what);
    return v.value_or(0);
  }
  std::int64_t bcdMsb(int count, const char* what) {
    const auto v = readBcdMsb(data_, pos_, count);
    pos_ += static_cast<std::size_t>(count);
    if (!v) fail(std::string("bad BCD in ") + what);
    return v.value_or(0);
  }
  Byte modeByte(bool (*known)(Byte) = isKnownMode) {
    const Byte b = byte();
    if (!known(b)) fail("unknown mode byte");
    return b;
  }
  Byte filterByte() {
    const Byte b = byte();
    if (!isKnownFilter(b)) fail("unknown filter byte");
    return b;
  }
  // A byte of which only `allowed` bits may be set.
  Byte flags(Byte allowed, const char* what) {
    const Byte b = byte();
    if ((b & ~allowed) != 0) fail(std::string("undefined bits in ") + what);
    return b;
  }
  std::string text(int count) {
    std::string s(data_.begin() + static_cast<std::ptrdiff_t>(pos_),
                  data_.begin() + static_cast<std::ptrdiff_t>(pos_) + count);
    pos_ += static_cast<std::size_t>(count);
    return s;
  }
  void fail(std::string reason) {
    if (error_.empty()) error_ = std::move(reason);
  }
  const std::string& error() const { return error_; }

 private:
  std::span<const Byte> data_;
  std::size_t pos_;
  std::string error_;
};

Byte selectByte(const Memory& m, const SelectBits& at) {
  return bits(m.select != 0, at.select) | bits(m.split, at.split);
}

void readSelectByte(Reader& in, const SelectBits& at, Memory& m) {
  const Byte b = in.flags(at.select | at.split, "select byte");
  m.select = (b & at.select) != 0 ? 1 : 0;
  m.split = b & at.split;
}

Byte toneDuplexByte(const Channel& ch, const ToneDuplexBits& at) {
  return bits(ch.toneOn, at.tone) | bits(ch.toneSquelchOn, at.toneSquelch) |
         bits(ch.duplexMinus, at.minus) | bits(ch.duplexPlus, at.plus);
}

void readToneDuplexByte(Reader& in, const ToneDuplexBits& at, const char* what, Channel& ch) {
  const Byte f = in.flags(at.tone | at.toneSquelch | at.minus | at.plus, what);
  ch.toneOn = f & at.tone;
  ch.toneSquelchOn = f & at.toneSquelch;
  ch.duplexMinus = f & at.minus;
  ch.duplexPlus = f & at.plus;
}

// Frequency, mode, filter, flags, two tones: the 14-byte part shared by the
// long and short layouts, and the band layout's with its flags elsewhere.
void putLongPart(Bytes& out, const Channel& ch, const ToneDuplexBits& flags = kLongFlags) {
  putBcdLsb(out, ch.hz, kFrequencyBytes);
  out.push_back(ch.mode);
  out.push_back(ch.filter);
  out.push_back(toneDuplexByte(ch, flags));
  putBcdMsb(out, ch.tone, kToneBytes);
  putBcdMsb(out, ch.toneSquelch, kToneBytes);
}

Channel readLongPart(Reader& in, const ToneDuplexBits& flags = kLongFlags) {
  Channel ch;
  ch.hz = in.bcdLsb(kFrequencyBytes, "frequency");
  ch.mode = in.modeByte();
  ch.filter = in.filterByte();
  readToneDuplexByte(in, flags, "flags", ch);
  ch.tone = static_cast<int>(in.bcdMsb(kToneBytes, "tone"));
  ch.toneSquelch = static_cast<int>(in.bcdMsb(kToneBytes, "tone squelch"));
  return ch;
}

// The 18-byte part of the IC-746Pro: frequency, mode, filter, data mode,
// duplex and tone, two tones, DTCS polarity and code.
void putProPart(Bytes& out, const Channel& ch) {
  putBcdLsb(out, ch.hz, kFrequencyBytes);
  out.push_back(ch.mode);
  out.push_back(ch.filter);
  out.push_back(ch.data ? 0x01 : 0x00);
  out.push_back(toneDuplexByte(ch, kProFlags));
  putBcdMsb(out, ch.tone, kToneBytes);
  putBcdMsb(out, ch.toneSquelch, kToneBytes);
  out.push_back(ch.dtcsPolarity);
  putBcdMsb(out, ch.dtcsCode, 2);
}

Channel readProPart(Reader& in) {
  Channel ch;
  ch.hz = in.bcdLsb(kFrequencyBytes, "frequency");
  ch.mode = in.modeByte();
  ch.filter = in.filterByte();
  ch.data = in.flags(0x01, "data mode") != 0;
  readToneDuplexByte(in, kProFlags, "duplex and tone", ch);
  ch.tone = static_cast<int>(in.bcdMsb(kToneBytes, "tone"));
  ch.toneSquelch = static_cast<int>(in.bcdMsb(kToneBytes, "tone squelch"));
  ch.dtcsPolarity = in.byte();
  ch.dtcsCode = static_cast<int>(in.bcdMsb(2, "DTCS code"));
  return ch;
}

// The 14-byte part of the IC-7300 family: frequency, mode, filter, the
// data-and-tone byte and two tones. Only one tone type can be on.
void putDataTonePart(Bytes& out, const Channel& ch) {
  putBcdLsb(out, ch.hz, kFrequencyBytes);
  out.push_back(ch.mode);
  out.push_back(ch.filter);
  const Byte toneType = ch.toneSquelchOn ? kToneTypeSquelch
                        : ch.toneOn      ? kToneTypeRepeater
                                         : kToneTypeOff;
  out.push_back(bits(ch.data, kDataToneData) | toneType);
  putBcdMsb(out, ch.tone, kToneBytes);
  putBcdMsb(out, ch.toneSquelch, kToneBytes);
}

Channel readDataTonePart(Reader& in) {
  Channel ch;
  ch.hz = in.bcdLsb(kFrequencyBytes, "frequency");
  ch.mode = in.modeByte(isDataToneMode);
  ch.filter = in.filterByte();
  const Byte b = in.byte();
  if ((b >> 4) > 1) in.fail("bad data mode nibble");
  const Byte toneType = b & 0x0F;
  if (toneType > kToneTypeSquelch) in.fail("bad tone type");
  ch.data = (b & kDataToneData) != 0;
  ch.toneOn = toneType == kToneTypeRepeater;
  ch.toneSquelchOn = toneType == kToneTypeSquelch;
  ch.tone = static_cast<int>(in.bcdMsb(kToneBytes, "tone"));
  ch.toneSquelch = static_cast<int>(in.bcdMsb(kToneBytes, "tone squelch"));
  return ch;
}

Byte splitSelectByte(const Memory& m) {
  return static_cast<Byte>(bits(m.split, kDataToneSplit) | m.select);
}

void putName(Bytes& out, const std::string& name, int length) {
  for (int i = 0; i < length; ++i) {
    out.push_back(i < static_cast<int>(name.size()) ? static_cast<Byte>(name[i]) : Byte{' '});
  }
}

std::size_t headLength(Layout layout) {
  return layout == Layout::Band ? 4 : 3;
}

}  // namespace

int memoryDataLength(const RadioModel& model) {
  // Sub-command and memory number, then the contents.
  switch (model.layout) {
    case Layout::Long:
      return 41;
    case Layout::Short:
      return 28;
    case Layout::Band:
      return 21;
    case Layout::Pro:
      return 49;
    case Layout::DataTone:
      return 3 + 1 + 2 * 14 + model.nameLength;
    case Layout::DataToneShort:
      return 3 + 1 + 14 + model.nameLength;
  }
  return 0;
}

int blankDataLength(Layout layout) {
  return static_cast<int>(headLength(layout)) + 1;
}

Bytes memoryHead(const RadioModel& model, MemoryKey key) {
  Bytes out{civ::kSubMemoryContents};
  if (model.usesBands()) out.push_back(static_cast<Byte>(key.band));
  putBcdMsb(out, key.number, 2);
  return out;
}

std::optional<MemoryKey> parseMemoryRequest(const RadioModel& model, std::span<const Byte> data) {
  if (data.size() < headLength(model.layout) || data[0] != civ::kSubMemoryContents) {
    return std::nullopt;
  }
  MemoryKey key;
  std::size_t pos = 1;
  if (model.usesBands()) {
    key.band = data[pos++];
    if (key.band < 1 || key.band > model.bandCount) return std::nullopt;
  }
  const auto number = readBcdMsb(data, pos, 2);
  if (!number || *number < 1 || *number > model.memoryCount) return std::nullopt;
  key.number = static_cast<int>(*number);
  return key;
}

Bytes encodeMemory(const RadioModel& model, MemoryKey key, const Memory& m) {
  Bytes out = memoryHead(model, key);
  if (m.blank) {
    out.push_back(civ::kBlankMarker);
    return out;
  }
  switch (model.layout) {
    case Layout::Long:
    case Layout::Short:
      out.push_back(selectByte(m, kLongSelect));
      putLongPart(out, m.rx);
      if (model.layout == Layout::Long) putLongPart(out, m.tx);
      break;
    case Layout::Pro:
      out.push_back(selectByte(m, kProSelect));
      putProPart(out, m.rx);
      putProPart(out, m.tx);
      break;
    case Layout::Band:
      putLongPart(out, m.rx, kBandFlags);
      putBcdLsb(out, m.offset100Hz, 3);
      break;
    case Layout::DataTone:
    case Layout::DataToneShort:
      out.push_back(splitSelectByte(m));
      putDataTonePart(out, m.rx);
      if (model.layout == Layout::DataTone) putDataTonePart(out, m.tx);
      break;
  }
  // Last in every layout; the band layout's models keep no name (length 0).
  putName(out, m.name, model.nameLength);
  return out;
}

std::optional<DecodedWrite> decodeMemoryWrite(const RadioModel& model, std::span<const Byte> data,
                                              std::string* reason) {
  auto refuse = [&](std::string why) -> std::optional<DecodedWrite> {
    if (reason) *reason = std::move(why);
    return std::nullopt;
  };
  const auto key = parseMemoryRequest(model, data);
  if (!key) return refuse("bad memory number or band");
  const std::size_t head = headLength(model.layout);
  const std::size_t blankLength = static_cast<std::size_t>(blankDataLength(model.layout));
  const std::size_t fullLength = static_cast<std::size_t>(memoryDataLength(model));

  DecodedWrite result{.key = *key, .memory = {}};
  if (data.size() == blankLength) {
    if (data[head] != civ::kBlankMarker) return refuse("short write without blank marker");
    return result;  // a default Memory is blank
  }
  if (data.size() != fullLength) return refuse("wrong length");

  Memory& m = result.memory;
  m.blank = false;
  Reader in(data, head);
  switch (model.layout) {
    case Layout::Long:
    case Layout::Short:
      readSelectByte(in, kLongSelect, m);
      m.rx = readLongPart(in);
      // The short layout has no transmit part: the radio transmits on receive.
      m.tx = model.layout == Layout::Long ? readLongPart(in) : m.rx;
      break;
    case Layout::Pro:
      readSelectByte(in, kProSelect, m);
      m.rx = readProPart(in);
      m.tx = readProPart(in);
      break;
    case Layout::Band: {
      m.rx = readLongPart(in, kBandFlags);
      m.offset100Hz = static_cast<int>(in.bcdLsb(3, "duplex offset"));
      m.tx = m.rx;
      break;
    }
    case Layout::DataTone:
    case Layout::DataToneShort: {
      const Byte b = in.byte();
      if ((b >> 4) > 1 || (b & 0x0F) > kDataToneSelectGroups) in.fail("bad split or select");
      m.split = (b & kDataToneSplit) != 0;
      m.select = b & 0x0F;
      m.rx = readDataTonePart(in);
      m.tx = model.layout == Layout::DataTone ? readDataTonePart(in) : m.rx;
      break;
    }
  }
  m.name = in.text(model.nameLength);
  if (!in.error().empty()) return refuse(in.error());
  return result;
}

}  // namespace tarnwick::sim
