#pragma once
// Between the UTF-8 of exchanged files and the one-byte texts of our cells:
// cells hold Latin-1, and the radios' memory names take printable ASCII.

#include <string>
#include <string_view>

namespace tarnwick {

// Each Latin-1 byte as its UTF-8 sequence.
std::string latin1ToUtf8(std::string_view latin1);

// Decodes UTF-8 into printable ASCII (0x20..0x7E): accented Latin letters
// lose their accents, ligatures and sharp s are spelled out, dashes, quotes
// and spaces of other kinds become their plain forms, control characters a
// space, and anything else "?". A byte that is not part of valid UTF-8 is
// taken as a Latin-1 character, so a list saved in Latin-1 still reads.
std::string foldToPrintableAscii(std::string_view utf8);

// Control characters shown as escapes ("\\r", "\\n", "\\x01"), for messages.
std::string escapeControls(std::string_view text);

}  // namespace tarnwick
