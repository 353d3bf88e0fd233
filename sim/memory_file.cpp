#include "sim/memory_file.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <span>
#include <sstream>
#include <utility>
#include <vector>

namespace tarnwick::sim {
namespace {

constexpr std::array<std::pair<std::string_view, Byte>, 10> kModeNames{{
    {"LSB", mode::kLsb},
    {"USB", mode::kUsb},
    {"AM", mode::kAm},
    {"CW", mode::kCw},
    {"RTTY", mode::kRtty},
    {"FM", mode::kFm},
    {"WFM", mode::kWfm},
    {"CW-R", mode::kCwR},
    {"RTTY-R", mode::kRttyR},
    {"S-AM", mode::kSAm},
}};

constexpr std::array<std::pair<std::string_view, Byte>, 3> kFilterNames{{
    {"wide", filter::kWide},
    {"normal", filter::kNormal},
    {"narrow", filter::kNarrow},
}};

struct Token {
  std::string key;  // empty for a bare word
  std::string value;
};

class LineError {
 public:
  explicit LineError(int line) : line_(line) {}
  [[noreturn]] void operator()(const std::string& what) const {
    throw MemoryFileError("line " + std::to_string(line_) + ": " + what);
  }

 private:
  int line_;
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Splits a line into words and key=value pairs; values may be quoted.
std::vector<Token> tokenize(std::string_view line, const LineError& fail) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size() || line[i] == '#') break;
    Token token;
    std::string word;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
           line[i] != '=') {
      word += line[i++];
    }
    if (i < line.size() && line[i] == '=') {
      token.key = word;
      ++i;
      if (i < line.size() && line[i] == '"') {
        ++i;
        bool closed = false;
        while (i < line.size()) {
          const char c = line[i++];
          if (c == '"') {
            closed = true;
            break;
          }
          if (c != '\\') {
            token.value += c;
            continue;
          }
          if (i >= line.size()) break;
          const char e = line[i++];
          if (e == 'x' && i + 1 < line.size() && hexDigit(line[i]) >= 0 &&
              hexDigit(line[i + 1]) >= 0) {
            token.value += static_cast<char>(hexDigit(line[i]) * 16 + hexDigit(line[i + 1]));
            i += 2;
          } else if (e == '"' || e == '\\') {
            token.value += e;
          } else {
            fail("bad escape in quoted text");
          }
        }
        if (!closed) fail("unterminated quoted text");
      } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
          token.value += line[i++];
        }
      }
    } else {
      token.value = word;
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::int64_t parseInt(const std::string& text, const LineError& fail, const char* what) {
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value < 0) {
    fail(std::string("bad ") + what + " '" + text + "'");
  }
  return value;
}

Byte parseHexByte(const std::string& text, const LineError& fail, const char* what) {
  if (text.size() == 4 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
      hexDigit(text[2]) >= 0 && hexDigit(text[3]) >= 0) {
    return static_cast<Byte>(hexDigit(text[2]) * 16 + hexDigit(text[3]));
  }
  fail(std::string("bad ") + what + " '" + text + "'");
}

template <std::size_t N>
Byte parseNamedByte(const std::string& text,
                    const std::array<std::pair<std::string_view, Byte>, N>& names,
                    const LineError& fail, const char* what) {
  for (const auto& [name, value] : names) {
    if (text == name) return value;
  }
  return parseHexByte(text, fail, what);
}

template <std::size_t N>
std::string byteName(Byte value, const std::array<std::pair<std::string_view, Byte>, N>& names) {
  for (const auto& [name, v] : names) {
    if (v == value) return std::string(name);
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", value);
  return hex;
}

bool parseBool(const std::string& text, const LineError& fail, const char* what) {
  if (text == "0") return false;
  if (text == "1") return true;
  fail(std::string("bad ") + what + " '" + text + "' (0 or 1)");
}

// "88.5" -> 885 tenths; at most one decimal, at most six digits in all.
int parseTone(const std::string& text, const LineError& fail) {
  const auto dot = text.find('.');
  const std::string whole = text.substr(0, dot);
  const std::string tenth = dot == std::string::npos ? "0" : text.substr(dot + 1);
  if (whole.empty() || tenth.size() != 1 || whole.size() > 5) fail("bad tone '" + text + "'");
  return static_cast<int>(parseInt(whole, fail, "tone") * 10 + parseInt(tenth, fail, "tone"));
}

std::string toneText(int tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

// Two flags kept as one word: the names of neither, the first alone, the
// second alone, and both. The duplex names without "both" are the VFO's.
using FlagPairNames = std::array<std::string_view, 4>;
constexpr FlagPairNames kDuplexNames{"simplex", "minus", "plus", "both"};
constexpr FlagPairNames kTonesNames{"off", "tone", "tsql", "both"};

std::size_t nameIndex(const std::string& text, std::span<const std::string_view> names,
                      const LineError& fail, const char* what) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (text == names[i]) return i;
  }
  fail(std::string("bad ") + what + " '" + text + "'");
}

void parseFlagPair(const std::string& text, const FlagPairNames& names, bool& first, bool& second,
                   const LineError& fail, const char* what) {
  const std::size_t i = nameIndex(text, names, fail, what);
  first = (i & 1) != 0;
  second = (i & 2) != 0;
}

std::string flagPairName(const FlagPairNames& names, bool first, bool second) {
  return std::string(names[(first ? 1 : 0) | (second ? 2 : 0)]);
}

constexpr std::int64_t kMaxFrequency = 9'999'999'999;  // ten BCD digits

// Applies a key that channels and the VFO share (frequency, mode, filter);
// false when the key is none of them.
template <typename Tuning>
bool applyTuningKey(const std::string& key, const std::string& value, Tuning& t,
                    const LineError& fail) {
  if (key == "freq") {
    t.hz = parseInt(value, fail, "frequency");
    if (t.hz > kMaxFrequency) fail("frequency too large");
  } else if (key == "mode") {
    // Any byte, as a radio may have been given one; its own writes refuse
    // the modes it lacks.
    t.mode = parseNamedByte(value, kModeNames, fail, "mode");
  } else if (key == "filter") {
    t.filter = parseNamedByte(value, kFilterNames, fail, "filter");
  } else {
    return false;
  }
  return true;
}

// Applies one channel key ("mode", "tone", ...) to a channel; false when the
// key is not a channel key.
bool applyChannelKey(const std::string& key, const std::string& value, Channel& ch,
                     const RadioModel& model, const LineError& fail) {
  const bool pro = model.layout == Layout::Pro;
  const bool dataTone = isDataToneLayout(model.layout);
  if (applyTuningKey(key, value, ch, fail)) return true;
  if (key == "data") {
    if (!pro && !dataTone) {
      fail("the " + std::string(model.name) +
           " keeps no data mode (the IC-746Pro and the IC-7300 family do)");
    }
    ch.data = parseBool(value, fail, "data");
  } else if (key == "duplex") {
    if (dataTone) fail("the " + std::string(model.name) + " keeps no duplex in a memory");
    parseFlagPair(value, kDuplexNames, ch.duplexMinus, ch.duplexPlus, fail, "duplex");
  } else if (key == "tones") {
    parseFlagPair(value, kTonesNames, ch.toneOn, ch.toneSquelchOn, fail, "tones");
    if (dataTone && ch.toneOn && ch.toneSquelchOn) {
      fail("the " + std::string(model.name) + " keeps one tone type at a time");
    }
  } else if (key == "tone") {
    ch.tone = parseTone(value, fail);
  } else if (key == "tsql") {
    ch.toneSquelch = parseTone(value, fail);
  } else if (key == "dtcs") {
    if (!pro) fail("DTCS is kept only by the IC-746Pro");
    ch.dtcsCode = static_cast<int>(parseInt(value, fail, "DTCS code"));
    if (ch.dtcsCode > 9999) fail("DTCS code too large");
  } else if (key == "dtcspol") {
    if (!pro) fail("DTCS is kept only by the IC-746Pro");
    ch.dtcsPolarity = parseHexByte(value, fail, "DTCS polarity");
  } else {
    return false;
  }
  return true;
}

bool hasTransmitPart(const RadioModel& model) {
  return model.layout == Layout::Long || model.layout == Layout::Pro ||
         model.layout == Layout::DataTone;
}

void parseMemoryLine(const std::vector<Token>& tokens, const RadioModel& model, RadioState& state,
                     const LineError& fail) {
  if (tokens.size() < 2 || !tokens[1].key.empty()) fail("memory number expected after 'mem'");
  MemoryKey key{.band = 0,
                .number = static_cast<int>(parseInt(tokens[1].value, fail, "memory number"))};
  if (key.number < 1 || key.number > model.memoryCount) {
    fail("memory " + tokens[1].value + " is not on the " + std::string(model.name));
  }
  Memory m;
  m.blank = false;
  bool blank = false;
  bool haveFrequency = false;
  std::vector<std::pair<std::string, std::string>> txKeys;
  for (std::size_t i = 2; i < tokens.size(); ++i) {
    const auto& [k, v] = tokens[i];
    if (k.empty()) {
      if (v != "blank") fail("unexpected word '" + v + "'");
      blank = true;
    } else if (k == "band") {
      if (!model.usesBands()) fail("the " + std::string(model.name) + " has no bands");
      key.band = static_cast<int>(parseInt(v, fail, "band"));
      if (key.band < 1 || key.band > model.bandCount)
        fail("band must be 1.." + std::to_string(model.bandCount));
    } else if (k == "select" && isDataToneLayout(model.layout)) {
      m.select = static_cast<int>(parseInt(v, fail, "select group"));
      if (m.select > 3) fail("select must be 0 to 3");
    } else if (k == "select" || k == "split") {
      if (model.layout == Layout::Band) fail("the IC-910 keeps no " + k + " flag");
      const bool on = parseBool(v, fail, k.c_str());
      if (k == "select") {
        m.select = on ? 1 : 0;
      } else {
        m.split = on;
      }
    } else if (k == "name") {
      if (model.nameLength == 0) fail("the " + std::string(model.name) + " keeps no names");
      if (static_cast<int>(v.size()) > model.nameLength) {
        fail("name longer than " + std::to_string(model.nameLength) + " characters");
      }
      m.name = v;
    } else if (k == "offset") {
      if (model.layout != Layout::Band) fail("only the IC-910 keeps an offset in a memory");
      const std::int64_t hz = parseInt(v, fail, "offset");
      if (hz % 100 != 0 || hz / 100 > 999'999)
        fail("offset must be a multiple of 100 Hz below 100 MHz");
      m.offset100Hz = static_cast<int>(hz / 100);
    } else if (k.starts_with("tx")) {
      if (!hasTransmitPart(model))
        fail("the " + std::string(model.name) + " keeps no transmit part");
      txKeys.emplace_back(k == "tx" ? "freq" : k.substr(2), v);
    } else if (applyChannelKey(k, v, m.rx, model, fail)) {
      haveFrequency = haveFrequency || k == "freq";
    } else {
      fail("unknown key '" + k + "'");
    }
  }
  if (model.usesBands() && key.band == 0) fail("band= is required on the IC-910");
  if (blank) {
    if (tokens.size() > 2 + (model.usesBands() ? 2 : 1)) fail("a blank memory takes no other keys");
    state.memories.erase(key);
    return;
  }
  if (!haveFrequency) fail("freq= is required (or 'blank')");
  m.name.resize(static_cast<std::size_t>(model.nameLength), ' ');
  m.tx = m.rx;
  for (const auto& [k, v] : txKeys) {
    if (!applyChannelKey(k, v, m.tx, model, fail)) fail("unknown key 'tx" + k + "'");
  }
  if (!state.memories.emplace(key, m).second) fail("memory listed twice");
}

void parseOffsets(const std::vector<Token>& tokens, RadioState& state, const LineError& fail) {
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const auto& [k, v] = tokens[i];
    const std::int64_t hz = parseInt(v, fail, "offset");
    if (hz % 100 != 0 || hz / 100 > 999'999)
      fail("offset must be a multiple of 100 Hz below 100 MHz");
    if (k == "hf") {
      state.offsetsHz[kOffsetHf] = hz;
    } else if (k == "50") {
      state.offsetsHz[kOffset50] = hz;
    } else if (k == "144") {
      state.offsetsHz[kOffset144] = hz;
    } else {
      fail("unknown offset '" + k + "' (hf, 50, 144)");
    }
  }
}

void parseVfo(const std::vector<Token>& tokens, RadioState& state, const LineError& fail) {
  Vfo& vfo = state.vfo;
  for (std::size_t i = 1; i < tokens.size(); ++i) {
    const auto& [k, v] = tokens[i];
    if (applyTuningKey(k, v, vfo, fail)) continue;
    if (k == "duplex") {
      vfo.duplex =
          static_cast<VfoDuplex>(nameIndex(v, std::span(kDuplexNames).first(3), fail, "duplex"));
    } else {
      fail("unknown key '" + k + "'");
    }
  }
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      out += hex;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// The keys of a channel that differ from `base` (all of them when `full`).
std::string channelKeys(const Channel& ch, const Channel& base, bool full,
                        const std::string& prefix) {
  std::string out;
  auto add = [&](const std::string& key, const std::string& value) {
    out += " " + prefix + key + "=" + value;
  };
  if (full || ch.hz != base.hz) add(prefix.empty() ? "freq" : "", std::to_string(ch.hz));
  if (full || ch.mode != base.mode) add("mode", byteName(ch.mode, kModeNames));
  if (full || ch.filter != base.filter) add("filter", byteName(ch.filter, kFilterNames));
  if (ch.data != base.data) add("data", ch.data ? "1" : "0");
  if (ch.duplexMinus != base.duplexMinus || ch.duplexPlus != base.duplexPlus)
    add("duplex", flagPairName(kDuplexNames, ch.duplexMinus, ch.duplexPlus));
  if (ch.toneOn != base.toneOn || ch.toneSquelchOn != base.toneSquelchOn)
    add("tones", flagPairName(kTonesNames, ch.toneOn, ch.toneSquelchOn));
  if (ch.tone != base.tone) add("tone", toneText(ch.tone));
  if (ch.toneSquelch != base.toneSquelch) add("tsql", toneText(ch.toneSquelch));
  if (ch.dtcsCode != base.dtcsCode) add("dtcs", std::to_string(ch.dtcsCode));
  if (ch.dtcsPolarity != base.dtcsPolarity) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", ch.dtcsPolarity);
    add("dtcspol", hex);
  }
  return out;
}

}  // namespace

RadioState parseMemoryFile(std::string_view text, const RadioModel& model) {
  RadioState state;
  int lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const LineError fail(++lineNumber);
    const auto tokens = tokenize(line, fail);
    if (tokens.empty()) continue;
    if (!tokens[0].key.empty()) fail("line must start with mem, vfo or offsets");
    const std::string& kind = tokens[0].value;
    if (kind == "mem") {
      parseMemoryLine(tokens, model, state, fail);
    } else if (kind == "vfo") {
      parseVfo(tokens, state, fail);
    } else if (kind == "offsets") {
      parseOffsets(tokens, state, fail);
    } else {
      fail("unknown line kind '" + kind + "'");
    }
  }
  return state;
}

std::string writeMemoryFile(const RadioState& state, const RadioModel& model) {
  std::ostringstream out;
  out << "# civsim memories of the " << model.name << "; memories not listed are blank\n";
  out << "offsets hf=" << state.offsetsHz[kOffsetHf] << " 50=" << state.offsetsHz[kOffset50]
      << " 144=" << state.offsetsHz[kOffset144] << "\n";
  const Vfo& vfo = state.vfo;
  out << "vfo freq=" << vfo.hz << " mode=" << byteName(vfo.mode, kModeNames)
      << " filter=" << byteName(vfo.filter, kFilterNames)
      << " duplex=" << kDuplexNames[static_cast<std::size_t>(vfo.duplex)] << "\n";
  const Channel defaults;
  for (const auto& [key, m] : state.memories) {
    if (m.blank) continue;
    out << "mem " << key.number;
    if (model.usesBands()) out << " band=" << key.band;
    out << channelKeys(m.rx, defaults, true, "");
    if (model.layout != Layout::Band) {
      if (m.select != 0) out << " select=" << m.select;
      if (m.split) out << " split=1";
    }
    if (model.layout == Layout::Band && m.offset100Hz != 0) {
      out << " offset=" << static_cast<std::int64_t>(m.offset100Hz) * 100;
    }
    if (hasTransmitPart(model)) out << channelKeys(m.tx, m.rx, false, "tx");
    if (model.nameLength > 0) out << " name=" << quoted(m.name);
    out << "\n";
  }
  return out.str();
}

RadioState loadMemoryFile(const std::string& path, const RadioModel& model) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw MemoryFileError("cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  try {
    return parseMemoryFile(text.str(), model);
  } catch (const MemoryFileError& e) {
    throw MemoryFileError(path + ": " + e.what());
  }
}

void saveMemoryFile(const std::string& path, const RadioState& state, const RadioModel& model) {
  // Written beside the target and renamed over it, so a crash leaves the old file whole.
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << writeMemoryFile(state, model);
    out.flush();
    if (!out) throw MemoryFileError("cannot write " + temp);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    throw MemoryFileError("cannot replace " + path);
  }
}

}  // namespace tarnwick::sim
