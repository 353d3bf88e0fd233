// The memory file: what it reads, what it refuses, and that writing then
// reading gives back the same radio.

#include "sim/memory_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "sim_test_util.h"

namespace tarnwick::sim {
namespace {

using test::model;

TEST(MemoryFile, ReadsEveryKindOfLine) {
  const RadioModel& m = model("IC-746Pro");
  const RadioState state = parseMemoryFile(R"(
# a comment, then blank lines

offsets hf=100000 50=500000 144=600000
vfo freq=50120000 mode=FM filter=narrow duplex=plus
mem 3 freq=146940000 mode=FM filter=wide select=1 duplex=plus tones=tsql tone=103.5 tsql=123.0 data=1 dtcs=754 dtcspol=0x01 name="A \"Q\"\\\x01" tx=146340000 txmode=0x08 txtones=both # trailing comment
mem 4 blank
)",
                                           m);
  EXPECT_EQ(state.offsetsHz, (std::array<std::int64_t, 3>{100'000, 500'000, 600'000}));
  EXPECT_EQ(state.vfo, (Vfo{.hz = 50'120'000,
                            .mode = mode::kFm,
                            .filter = filter::kNarrow,
                            .duplex = VfoDuplex::Plus}));
  ASSERT_EQ(state.memories.size(), 1u);
  const Memory& mem = state.memory({0, 3});
  EXPECT_FALSE(mem.blank);
  EXPECT_TRUE(mem.select);
  EXPECT_FALSE(mem.split);
  EXPECT_EQ(mem.rx.hz, 146'940'000);
  EXPECT_EQ(mem.rx.filter, filter::kWide);
  EXPECT_TRUE(mem.rx.duplexPlus);
  EXPECT_FALSE(mem.rx.duplexMinus);
  EXPECT_FALSE(mem.rx.toneOn);
  EXPECT_TRUE(mem.rx.toneSquelchOn);
  EXPECT_EQ(mem.rx.tone, 1035);
  EXPECT_EQ(mem.rx.toneSquelch, 1230);
  EXPECT_TRUE(mem.rx.data);
  EXPECT_EQ(mem.rx.dtcsCode, 754);
  EXPECT_EQ(mem.rx.dtcsPolarity, 0x01);
  EXPECT_EQ(mem.name, std::string("A \"Q\"\\\x01   ", 9));
  // The transmit part starts as a copy of the receive part.
  EXPECT_EQ(mem.tx.hz, 146'340'000);
  EXPECT_EQ(mem.tx.mode, 0x08);
  EXPECT_TRUE(mem.tx.toneOn && mem.tx.toneSquelchOn);
  EXPECT_EQ(mem.tx.tone, 1035);
  EXPECT_TRUE(mem.tx.duplexPlus);
  EXPECT_TRUE(mem.tx.data);
}

TEST(MemoryFile, RefusesWhatTheRadioCannotHoldNamingTheLine) {
  struct Case {
    const char* model;
    const char* text;
    const char* message;  // part of the error
  };
  const Case cases[] = {
      {"IC-746", "mem 103 freq=1", "line 1"},
      {"IC-746", "\nmem 5 mode=USB", "line 2: freq= is required"},
      {"IC-746", "mem 5 freq=14000000 mode=XYZ", "bad mode"},
      {"IC-746", "mem 5 freq=14000000 filter=0x1", "bad filter"},
      {"IC-746", "mem 5 freq=14000000 data=1", "IC-746Pro"},
      {"IC-746", "mem 5 freq=14000000 name=\"TOOLONGNAME\"", "longer than 9"},
      {"IC-746", "mem 5 freq=14000000 tone=88.55", "bad tone"},
      {"IC-746", "mem 5 freq=14000000 duplex=up", "bad duplex 'up'"},
      {"IC-746", "mem 5 freq=14000000 tones=dcs", "bad tones 'dcs'"},
      {"IC-746", "vfo freq=14000000 duplex=both", "bad duplex 'both'"},
      {"IC-746", "mem 5 freq=14000000 name=\"open", "unterminated"},
      {"IC-746", "mem 5 freq=14000000\nmem 5 freq=7000000", "line 2: memory listed twice"},
      {"IC-746", "mem 5 freq=14000000 band=1", "no bands"},
      {"IC-746", "mem 5 freq=-5", "bad frequency"},
      {"IC-746", "mem 5 freq=14000000 colour=red", "unknown key"},
      {"IC-746", "offsets hf=150050", "multiple of 100"},
      {"IC-746", "radio IC-746", "unknown line kind"},
      {"IC-756Pro", "mem 5 freq=14000000 tx=14100000", "no transmit part"},
      {"IC-910", "mem 5 freq=144000000", "band= is required"},
      {"IC-910", "mem 5 band=4 freq=144000000", "band must be"},
      {"IC-910", "mem 5 band=1 freq=144000000 name=\"X\"", "no names"},
      {"IC-910", "mem 5 band=1 freq=144000000 select=1", "no select"},
  };
  for (const Case& c : cases) {
    try {
      parseMemoryFile(c.text, model(c.model));
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const MemoryFileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.text << " -> " << e.what();
    }
  }
}

// Writing a radio's state and reading it back gives the same state, for
// every model's built-in memories and for awkward values a controller may
// have stored (odd bits, unknown-to-the-file bytes, names with any byte).
TEST(MemoryFile, WriteThenReadGivesTheSameState) {
  for (const RadioModel& m : radioModels()) {
    RadioState state = parseMemoryFile(defaultMemoryText(m), m);
    state.vfo = {.hz = 1'296'200'000,
                 .mode = mode::kCwR,
                 .filter = filter::kWide,
                 .duplex = VfoDuplex::Minus};
    state.offsetsHz = {100, 99'999'900, 0};
    Memory odd;
    odd.blank = false;
    odd.rx.hz = 9'999'999'999;
    // The IC-7300 family has no duplex bits and one tone type at a time.
    const bool dataTone = isDataToneLayout(m.layout);
    odd.rx.duplexMinus = odd.rx.duplexPlus = !dataTone;
    odd.rx.toneOn = true;
    odd.rx.toneSquelchOn = !dataTone;
    odd.rx.tone = 692;
    odd.rx.toneSquelch = 99'999;
    odd.rx.mode = 0x42;  // stored through the file as 0x42
    if (dataTone) {
      odd.rx.data = true;
      odd.select = 3;
    }
    odd.tx = odd.rx;
    if (m.layout == Layout::Long || m.layout == Layout::Pro || m.layout == Layout::DataTone) {
      odd.tx.hz = 1;
      odd.tx.filter = filter::kNarrow;
      odd.split = true;
    }
    if (m.layout == Layout::Pro) {
      odd.rx.data = true;
      odd.rx.dtcsCode = 23;
      odd.rx.dtcsPolarity = 0x11;
    }
    if (m.layout == Layout::Band) odd.offset100Hz = 999'999;
    odd.name =
        std::string("\"\\\x7F\xFE \x01 tail").substr(0, static_cast<std::size_t>(m.nameLength));
    odd.name.resize(static_cast<std::size_t>(m.nameLength), ' ');  // as the radio holds it
    const MemoryKey key{m.usesBands() ? 3 : 0, m.memoryCount};
    state.memories[key] = odd;

    const std::string text = writeMemoryFile(state, m);
    const RadioState again = parseMemoryFile(text, m);
    EXPECT_EQ(again.memories, state.memories) << m.name << "\n" << text;
    EXPECT_EQ(again.vfo, state.vfo) << m.name;
    EXPECT_EQ(again.offsetsHz, state.offsetsHz) << m.name;
  }
}

TEST(MemoryFile, BuiltInMemoriesAreVaried) {
  for (const RadioModel& m : radioModels()) {
    const RadioState state = parseMemoryFile(defaultMemoryText(m), m);
    std::set<Byte> modes;
    bool minus = false, plus = false, tone = false, toneSquelch = false, split = false;
    bool named = false, data = false;
    std::set<int> bands;
    for (const auto& [key, mem] : state.memories) {
      modes.insert(mem.rx.mode);
      minus |= mem.rx.duplexMinus;
      plus |= mem.rx.duplexPlus;
      tone |= mem.rx.toneOn;
      toneSquelch |= mem.rx.toneSquelchOn;
      split |= mem.split;
      named |= mem.name.find_first_not_of(' ') != std::string::npos;
      data |= mem.rx.data;
      bands.insert(key.band);
    }
    EXPECT_TRUE(modes.contains(mode::kUsb) && modes.contains(mode::kCw) &&
                modes.contains(mode::kFm))
        << m.name;
    // The IC-7300 family keeps no duplex in a memory.
    EXPECT_EQ(minus && plus, !isDataToneLayout(m.layout)) << m.name;
    EXPECT_TRUE(tone && toneSquelch) << m.name;
    const int lastBand = m.usesBands() ? m.bandCount : 0;
    EXPECT_FALSE(state.memory({lastBand, 1}).blank) << m.name;
    EXPECT_TRUE(state.memory({lastBand, 6}).blank) << m.name << ": blanks";
    if (m.usesBands()) {
      EXPECT_EQ(bands, (std::set<int>{1, 2, 3}));
      EXPECT_FALSE(state.memory({1, 106}).blank) << "Call channel";
      EXPECT_FALSE(state.memory({2, 100}).blank) << "scan edge";
    } else {
      EXPECT_TRUE(split && named) << m.name;
      EXPECT_FALSE(state.memory({0, 100}).blank) << m.name << " P1";
      EXPECT_FALSE(state.memory({0, 101}).blank) << m.name << " P2";
      EXPECT_FALSE(state.memory({0, m.memoryCount}).blank) << m.name << " last special";
    }
    EXPECT_EQ(data, m.layout == Layout::Pro || isDataToneLayout(m.layout))
        << m.name << ": data-mode memory";
  }
}

TEST(MemoryFile, SaveAndLoadThroughAFile) {
  const RadioModel& m = model("IC-910");
  const auto path = std::filesystem::temp_directory_path() /
                    ("civsim_memfile_" + std::to_string(::getpid()) + ".txt");
  const RadioState state = parseMemoryFile(defaultMemoryText(m), m);
  saveMemoryFile(path.string(), state, m);
  EXPECT_EQ(loadMemoryFile(path.string(), m).memories, state.memories);
  std::filesystem::remove(path);
  EXPECT_THROW(loadMemoryFile(path.string(), m), MemoryFileError);
}

}  // namespace
}  // namespace tarnwick::sim
