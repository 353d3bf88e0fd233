#pragma once
// The simulator's memory file: a plain text file, one line per memory, that
// a person can read and edit and a test can compare.
//
//   # comment
//   offsets hf=120000 50=1000000 144=700000     duplex offsets in Hz
//   vfo freq=14070000 mode=USB filter=normal duplex=simplex
//   mem 5 freq=14195000 mode=USB filter=normal select=1 name="CONTEST"
//   mem 100 band=2 freq=145500000 mode=FM filter=wide duplex=minus offset=600000
//
// A memory not listed is blank. Keys of a "mem" line (all but freq optional):
//   band=1..3 (IC-910 only, required there)   freq=Hz
//   mode=LSB|USB|AM|CW|RTTY|FM|WFM|CW-R|RTTY-R|S-AM|0xHH
//   filter=wide|normal|narrow|0xHH            data=0|1 (IC-746Pro, IC-7300 family)
//   select=0|1 (0..3 on the IC-7300 family)   split=0|1
//   duplex=simplex|minus|plus|both (not on the IC-7300 family)
//   tones=off|tone|tsql|both (which tone bits are on)
//   tone=88.5  tsql=88.5 (Hz, tenths kept)    dtcs=23 dtcspol=0xHH (IC-746Pro)
//   name="text" (\" \\ and \xHH escapes; padded with blanks to the radio's length)
//   offset=Hz (IC-910, multiple of 100)
//   tx=Hz and txmode, txfilter, txdata, txduplex, txtones, txtone, txtsql,
//   txdtcs, txdtcspol: the transmit part (IC-746, IC-746Pro); each defaults to
//   the receive part's value; the IC-7300 and IC-7300MK2 have one too.
// "mem N blank" states a blank memory explicitly.

#include <stdexcept>
#include <string>
#include <string_view>

#include "sim/radio_model.h"
#include "sim/radio_state.h"

namespace tarnwick::sim {

struct MemoryFileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Throws MemoryFileError naming the line on anything it cannot take.
RadioState parseMemoryFile(std::string_view text, const RadioModel& model);
std::string writeMemoryFile(const RadioState& state, const RadioModel& model);

// A varied set of memories for the model: SSB, CW, RTTY, AM, FM repeaters
// with minus and plus duplex and tones, a split memory, names, blanks, the
// special channels; three bands on the IC-910; a data-mode memory on the
// IC-746Pro.
std::string defaultMemoryText(const RadioModel& model);

RadioState loadMemoryFile(const std::string& path, const RadioModel& model);
void saveMemoryFile(const std::string& path, const RadioState& state, const RadioModel& model);

}  // namespace tarnwick::sim
