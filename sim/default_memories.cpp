// The memories the simulator starts with when no file is given.

#include "sim/memory_file.h"

namespace tarnwick::sim {
namespace {

constexpr std::string_view kIc910Memories = R"(# IC-910: three bands
mem 1 band=1 freq=144300000 mode=USB filter=normal
mem 2 band=1 freq=145500000 mode=FM filter=wide
mem 3 band=1 freq=145700000 mode=FM filter=wide duplex=minus offset=600000 tones=tone tone=88.5
mem 4 band=1 freq=144050000 mode=CW filter=narrow
mem 6 band=1 freq=146940000 mode=FM filter=wide duplex=plus offset=600000 tones=tsql tone=100.0 tsql=100.0
mem 100 band=1 freq=144000000 mode=CW filter=normal
mem 101 band=1 freq=146000000 mode=CW filter=normal
mem 106 band=1 freq=145000000 mode=FM filter=wide
mem 1 band=2 freq=432100000 mode=USB filter=normal
mem 2 band=2 freq=439000000 mode=FM filter=wide duplex=minus offset=7600000 tones=tsql tone=88.5 tsql=88.5
mem 3 band=2 freq=433500000 mode=FM filter=wide
mem 5 band=2 freq=432050000 mode=CW-R filter=narrow
mem 100 band=2 freq=145500000 mode=FM filter=wide duplex=minus offset=600000
mem 106 band=2 freq=433000000 mode=FM filter=wide
mem 1 band=3 freq=1296200000 mode=USB filter=normal
mem 2 band=3 freq=1293000000 mode=FM filter=wide duplex=minus offset=12000000 tones=tone tone=88.5
mem 106 band=3 freq=1295000000 mode=FM filter=wide
)";

// The IC-7300 family: HF and 50 MHz, no duplex in a memory, one tone type
// at a time, select groups 1 to 3, data modes.
std::string dataToneMemories(const RadioModel& model) {
  const bool transmitBlock = model.layout == Layout::DataTone;
  std::string fullName;
  for (int i = 0; i < model.nameLength; ++i) fullName += static_cast<char>('A' + i);
  return "# " + std::string(model.name) + R"(; memories 6, 13 and others are blank
mem 1 freq=3650000 mode=LSB filter=normal name="80M NET"
mem 2 freq=7030000 mode=CW filter=narrow select=1 name="40M CW"
mem 3 freq=10116000 mode=CW-R filter=narrow
mem 4 freq=14080000 mode=RTTY filter=normal name="20M RTTY"
mem 5 freq=14195000 mode=USB filter=normal select=2 name="CONTEST"
mem 7 freq=18130000 mode=USB filter=wide split=1)" +
         (transmitBlock ? " tx=18140000" : "") + R"( name="DX SPLIT"
mem 8 freq=21080000 mode=RTTY-R filter=narrow select=3
mem 9 freq=24950000 mode=USB filter=normal
mem 10 freq=29620000 mode=FM filter=normal tones=tone tone=88.5 name="10M RPT"
mem 11 freq=50125000 mode=USB filter=normal name="6M SSB"
mem 12 freq=51940000 mode=FM filter=normal tones=tsql tone=100.0 tsql=100.0 name="6M RPT"
mem 14 freq=1845000 mode=AM filter=wide name="TOP BAND"
mem 16 freq=28300000 mode=USB filter=normal name=")" +
         fullName + R"("
mem 17 freq=7074000 mode=USB filter=wide data=1 name="FT8"
mem 18 freq=50313000 mode=USB filter=normal data=1 name="6M FT8"
mem 19 freq=14100000 mode=LSB filter=narrow data=1
mem 20 freq=29600000 mode=FM filter=normal tones=tone tone=67.0
mem 99 freq=14300000 mode=USB filter=normal
mem 100 freq=14000000 mode=CW filter=normal
mem 101 freq=14350000 mode=CW filter=normal
)";
}

}  // namespace

std::string defaultMemoryText(const RadioModel& model) {
  if (model.layout == Layout::Band) return std::string(kIc910Memories);
  if (isDataToneLayout(model.layout)) return dataToneMemories(model);

  const bool transmitPart = model.layout == Layout::Long || model.layout == Layout::Pro;
  const bool twoMetres = model.memoryCount == 102;  // the IC-746 family also covers 144 MHz
  const std::string fullName = model.nameLength == 10 ? "ABCDEFGHIJ" : "ABCDEFGHI";

  std::string text = "# " + std::string(model.name) + R"(; memories 6, 13 and others are blank
mem 1 freq=3650000 mode=LSB filter=normal name="80M NET"
mem 2 freq=7030000 mode=CW filter=narrow name="40M CW"
mem 3 freq=10116000 mode=CW-R filter=narrow
mem 4 freq=14080000 mode=RTTY filter=normal name="20M RTTY"
mem 5 freq=14195000 mode=USB filter=normal select=1 name="CONTEST"
mem 7 freq=18130000 mode=USB filter=wide split=1)" +
                     (transmitPart ? " tx=18140000" : "") + R"( name="DX SPLIT"
mem 8 freq=21080000 mode=RTTY-R filter=narrow
mem 9 freq=24950000 mode=USB filter=normal select=1
mem 10 freq=29620000 mode=FM filter=normal duplex=minus tones=tone tone=88.5 name="10M RPT"
mem 11 freq=50125000 mode=USB filter=normal name="6M SSB"
mem 12 freq=51940000 mode=FM filter=normal duplex=minus tones=tsql tone=100.0 tsql=100.0 name="6M RPT"
mem 14 freq=1845000 mode=AM filter=wide name="TOP BAND"
mem 15 freq=5000000 mode=S-AM filter=wide name="TIME"
mem 16 freq=28300000 mode=USB filter=normal name=")" +
                     fullName + R"("
mem 17 freq=7074000 mode=USB filter=normal)" +
                     (model.layout == Layout::Pro ? " data=1" : "") + R"( name="FT8"
mem 18 freq=29600000 mode=FM filter=normal duplex=plus tones=tone tone=67.0
mem 99 freq=14300000 mode=USB filter=normal
mem 100 freq=14000000 mode=CW filter=normal
mem 101 freq=14350000 mode=CW filter=normal
)";
  if (twoMetres) {
    text +=
        R"(mem 30 freq=145700000 mode=FM filter=normal duplex=minus tones=tone tone=88.5 name="2M RPT"
mem 31 freq=146940000 mode=FM filter=normal duplex=plus tones=tsql tone=103.5 tsql=103.5
mem 32 freq=144300000 mode=USB filter=normal name="2M SSB"
mem 102 freq=50110000 mode=USB filter=normal name="CALL"
)";
  }
  return text;
}

}  // namespace tarnwick::sim
