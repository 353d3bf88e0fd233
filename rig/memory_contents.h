#pragma once
// A radio memory's contents (CI-V command 1A, sub-command 00): decoding an
// answer and encoding a row into a memory write, for every supported model.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rig/bcd.h"
#include "rig/channel_record.h"
#include "rig/separators.h"
#include "rig/value_codes.h"

namespace tarnwick {

struct DecodedMemory {
  Byte bank = 0;               // band byte of band-addressed radios, else 0
  int memoryNumber = 0;        // 0: nothing decoded yet
  std::int32_t frequency = 0;  // receive frequency; 0 = blank memory
  std::int32_t splitFrequency = 0;
  std::string selectText = "0";  // the Select cell: a flag, or a group for radios with groups
  ModeIndex mode = kModeEmpty;
  FilterIndex filter = kFilterEmpty;
  bool toneOn = false;
  bool toneSquelchOn = false;
  int tone = 0;         // tenths of a hertz
  int toneSquelch = 0;  // tenths of a hertz
  std::string name;     // as received, not trimmed, in the length the radio answered
  DuplexCode duplex = 0;
  std::int32_t offset = 0;  // duplex offset carried by the memory itself, hertz
};

// Decodes the data bytes of a memory-contents answer (data[0] is the
// sub-command 00) by the model's layout into `out`. Returns false, leaving
// `out` untouched, when the answer is shorter than its layout (and not the
// blank form) or the model has no layout. A radio whose names come in two
// lengths may answer with either.
bool decodeMemoryContents(Byte sourceAddress, std::span<const Byte> data, int modelIndex,
                          DecodedMemory& out);

// Why decodeMemoryContents refuses an answer, for the debug log and the
// user: "42 data bytes, fewer than the layout's 48", "a name of 13
// characters, not 10 or 16". Empty when it decodes. A radio whose names come
// in two lengths answers in one of them: any other length is a broken answer
// and would be written back at that length.
std::string memoryAnswerFault(std::span<const Byte> data, int modelIndex);

// The memory-write payload for one row, beginning with 1A 00. `bandText` is
// the band box text of band-addressed radios. Empty for a model without layout.
// `nameLength` is for radios whose memories answer with names of more than
// one length (the IC-7300MK2): the length of the name the radio last
// answered for this memory (DecodedMemory::name keeps it); 0 writes the full
// length. Other radios always get theirs.
std::vector<Byte> encodeMemoryContents(int modelIndex, int memoryNumber, const ChannelRecord& row,
                                       std::string_view bandText = {},
                                       Separators sep = Separators::current(), int nameLength = 0);

}  // namespace tarnwick
