// A row of our tables into a CHIRP row.

#include <algorithm>
#include <cstdlib>

#include "chirp/chirp_channel_map.h"
#include "chirp/chirp_values.h"
#include "chirp/text_folding.h"
#include "rig/frequency_text.h"
#include "rig/text_trim.h"
#include "rig/tone_text.h"
#include "rig/value_codes.h"

namespace tarnwick {
namespace {

using Col = ChirpColumn;

// What CHIRP's own writer puts in the columns we have nothing for.
constexpr std::string_view kNoTone = "88.5";
constexpr std::string_view kNoDtcsCode = "023";
constexpr std::string_view kNoDtcsPolarity = "NN";
constexpr std::string_view kTuningStep = "5.00";

// A tone cell: nothing when empty, else its value when CHIRP knows it.
struct ToneCell {
  bool used = false;
  std::optional<int> tenths;  // a standard tone
};

ToneCell readTone(const std::string& text, Separators sep) {
  if (text.empty()) return {};
  const int t = parseToneTenths(text, sep);
  return {true, t >= 0 && isStandardTone(t) ? std::optional<int>(t) : std::nullopt};
}

}  // namespace

ExportedChannel chirpFromRecord(const ChannelRecord& record, int location,
                                const DuplexOffsets& offsets, Separators sep) {
  ExportedChannel out;
  auto leaveOut = [&out](std::string reason) {
    out.leftOut = std::move(reason);
    return std::move(out);
  };
  const std::int32_t rx = parseFrequency(record[colFrequency], sep);
  const std::string& mode = record[colMode];
  const bool narrow = record[colFilter] == "Narrow";
  const std::optional<ChirpModeText> chirpMode = chirpModeOf(mode, narrow);
  if (mode.empty()) return leaveOut("no mode");
  if (!chirpMode) return leaveOut("CHIRP has no mode " + inQuotes(mode));

  ChirpRow row;
  row[Col::Location] = std::to_string(location);
  const std::string name(trimmedRight(record[colName]));  // the radio's padding
  row[Col::Name] = latin1ToUtf8(name);
  row[Col::Frequency] = formatMhzText(rx);
  row[Col::Mode] = std::string(chirpMode->mode);
  if (chirpMode->dataLost) {
    out.notes.push_back(mode + " written as " + std::string(chirpMode->mode) +
                        ": CHIRP has no such data mode (our Data column keeps it)");
  }

  // Tone squelch sends and expects its own tone; the repeater tone then only
  // rides along, so one CHIRP cannot hold is written as CHIRP's default.
  const ToneCell repeater = readTone(record[colRepeaterTone], sep);
  const ToneCell squelch = readTone(record[colToneSquelch], sep);
  row[Col::RToneFreq] = row[Col::CToneFreq] = std::string(kNoTone);
  if (squelch.used) {
    if (!squelch.tenths) {
      return leaveOut("Tone Squelch " + inQuotes(record[colToneSquelch]) +
                      " is not a tone CHIRP knows");
    }
    row[Col::Tone] = "TSQL";
    row[Col::CToneFreq] = formatChirpTone(*squelch.tenths);
    if (repeater.tenths) {
      row[Col::RToneFreq] = formatChirpTone(*repeater.tenths);
    } else if (repeater.used) {
      out.notes.push_back("Repeater Tone " + inQuotes(record[colRepeaterTone]) +
                          " is not a tone CHIRP knows: written as " + std::string(kNoTone));
    }
  } else if (repeater.used) {
    if (!repeater.tenths) {
      return leaveOut("Repeater Tone " + inQuotes(record[colRepeaterTone]) +
                      " is not a tone CHIRP knows");
    }
    row[Col::Tone] = "Tone";
    row[Col::RToneFreq] = formatChirpTone(*repeater.tenths);
  }

  const DuplexCode duplex = duplexCodeOf(record[colDuplex]);
  std::int64_t tx = parseFrequency(record[colTxFrequency], sep);
  if (duplex == kDuplexMinus || duplex == kDuplexPlus) {
    const std::int64_t offset = tx != 0 ? std::llabs(tx - rx) : offsets.forReceiveFrequency(rx);
    row[Col::Duplex] = duplex == kDuplexMinus ? "-" : "+";
    row[Col::Offset] = formatMhzText(offset);
  } else if (duplex == kDuplexSplit) {
    row[Col::Duplex] = "split";
    row[Col::Offset] = formatMhzText(tx != 0 ? tx : rx);
  } else {
    row[Col::Offset] = formatMhzText(0);
  }

  row[Col::DtcsCode] = std::string(kNoDtcsCode);
  row[Col::DtcsPolarity] = std::string(kNoDtcsPolarity);
  row[Col::TStep] = std::string(kTuningStep);
  row[Col::Filter] = record[colFilter];
  // A select group as the cell shows it; a flag as "1" or "0".
  const std::string& select = record[colSelect];
  const bool group =
      !select.empty() && std::find(kSelectGroupTexts.begin(), kSelectGroupTexts.end(), select) !=
                             kSelectGroupTexts.end();
  row[Col::Select] = group ? select : std::string(select == kChecked ? kChecked : kUnchecked);
  row[Col::Data] = std::string(chirpMode->data ? kChecked : kUnchecked);
  out.row = std::move(row);
  return out;
}

}  // namespace tarnwick
