// A CHIRP row into a channel record for one radio model.

#include <limits>

#include "chirp/chirp_channel_map.h"
#include "chirp/chirp_values.h"
#include "chirp/text_folding.h"
#include "rig/data_modes.h"
#include "rig/frequency_text.h"
#include "rig/memory_layouts.h"
#include "rig/text_trim.h"
#include "rig/tone_text.h"
#include "rig/value_codes.h"
#include "tables/cell_editing.h"

namespace tarnwick {
namespace {

using Col = ChirpColumn;

std::string mhz(std::int64_t hz) {
  return formatMhzText(hz) + " MHz";
}

std::string blanksOffRight(std::string_view s) {
  return std::string(trimmedRight(s, Blanks::SpaceOrTab));
}

class RowImporter {
 public:
  RowImporter(const ChirpRow& row, const ChirpImportContext& ctx)
      : row_(row), ctx_(ctx), model_(ctx.model) {}

  ImportedChannel run() {
    if (!frequency() || !mode() || !tones() || !duplex()) return std::move(out_);
    ChannelRecord r{};
    r[colFrequency] = formatFrequency(static_cast<std::int32_t>(rx_), mode_, ctx_.sep);
    r[colName] = name();
    r[colMode] = mode_;
    r[colFilter] = filter();
    r[colDuplex] = duplexText(duplex_);
    if (duplex_ != kDuplexSimplex) {
      r[colTxFrequency] = formatFrequency(static_cast<std::int32_t>(tx_), mode_, ctx_.sep);
    }
    r[colRepeaterTone] = repeaterTone_;
    r[colToneSquelch] = toneSquelch_;
    r[colSelect] = selectCellText(model_.modelIndex, row_[Col::Select]);
    r[colChanged] = std::string(kChecked);
    out_.record = std::move(r);
    return std::move(out_);
  }

 private:
  bool leaveOut(std::string reason) {
    out_.leftOut = std::move(reason);
    return false;
  }
  void note(std::string text) { out_.notes.push_back(std::move(text)); }
  std::string theModel() const { return "the " + std::string(model_.name); }

  bool frequency() {
    const std::string& text = row_[Col::Frequency];
    const std::optional<std::int64_t> hz = parseMhzText(text);
    if (!hz) return leaveOut("Frequency " + inQuotes(text) + " is not a frequency in MHz");
    if (*hz == 0) return leaveOut("no frequency");
    if (!inRanges(ctx_.ranges, *hz)) {
      return leaveOut(mhz(*hz) + " is outside " + theModel() + "'s " + describeRanges(ctx_.ranges));
    }
    rx_ = *hz;
    return true;
  }

  bool mode() {
    // A list without a Mode column means FM, as in CHIRP.
    const std::string text = row_.has(Col::Mode) ? row_[Col::Mode] : "FM";
    const std::optional<ChirpModeMeaning> meaning = chirpModeMeaning(text);
    if (!meaning) return leaveOut("mode " + inQuotes(text) + " is not a mode of " + theModel());
    std::string mode(meaning->mode);
    narrow_ = meaning->narrow;
    if (row_[Col::Data] == kChecked && !dataVariant(mode).empty()) mode = dataVariant(mode);
    const std::string plain(withoutData(mode));
    if (plain != mode && !model_.hasMode(mode) && model_.hasMode(plain)) {
      note("mode " + inQuotes(text) + " imported as " + plain + ": " + theModel() +
           " has no data modes");
      mode = plain;
    }
    if (!model_.hasMode(mode)) {
      return leaveOut("mode " + inQuotes(text) + " is not a mode of " + theModel());
    }
    mode_ = std::move(mode);
    return true;
  }

  // A tone in use: a standard tone, or the row is left out.
  std::optional<int> toneInUse(const std::string& text, std::string_view column) {
    const std::optional<int> tenths = parseChirpTone(text);
    if (!tenths) {
      leaveOut(std::string(column) + " " + inQuotes(text) + " is not a tone");
    } else if (!isStandardTone(*tenths)) {
      leaveOut("tone " + formatChirpTone(*tenths) + " Hz is not a tone of " + theModel());
    } else {
      return tenths;
    }
    return std::nullopt;
  }

  bool tones() {
    // CHIRP's rule: a list with only one of the two tone columns uses it for both.
    const std::string& rText = row_[row_.has(Col::RToneFreq) ? Col::RToneFreq : Col::CToneFreq];
    const std::string& cText = row_[row_.has(Col::CToneFreq) ? Col::CToneFreq : Col::RToneFreq];
    const std::string& tmode = row_[Col::Tone];
    bool tone = matchesIgnoringCase(tmode, "Tone");
    bool tsql = matchesIgnoringCase(tmode, "TSQL");
    const std::string* squelchText = &cText;
    if (matchesIgnoringCase(tmode, "Cross")) {
      // Two crossings say what the radio's own modes say.
      const std::string cross = row_.has(Col::CrossMode) ? row_[Col::CrossMode] : "Tone->Tone";
      const std::optional<int> r = parseChirpTone(rText);
      tone = matchesIgnoringCase(cross, "Tone->");
      tsql = matchesIgnoringCase(cross, "Tone->Tone") && r && r == parseChirpTone(cText);
      squelchText = &rText;
      // Two tones, one sent and one listened for: say why they cannot both stay.
      if (!tone && !tsql && model_.toneSquelchAlone && matchesIgnoringCase(cross, "Tone->Tone")) {
        return leaveOut("cross tone " + rText + " -> " + cText + ": " + theModel() +
                        " keeps a repeater tone or a tone squelch, not both");
      }
      if (!tone && !tsql) {
        return leaveOut("cross tone mode " + inQuotes(cross) + " is not kept by " + theModel());
      }
    } else if (!tone && !tsql && !matchesIgnoringCase(tmode, "")) {
      return leaveOut("tone mode " + inQuotes(tmode) + " is not kept by " + theModel());
    }
    if (tone) {
      const std::optional<int> t = toneInUse(rText, "rToneFreq");
      if (!t) return false;
      repeaterTone_ = toneText(*t, ctx_.sep);
    } else if (tsql) {
      const std::optional<int> t = toneInUse(*squelchText, "cToneFreq");
      if (!t) return false;
      toneSquelch_ = toneText(*t, ctx_.sep);
      if (model_.toneSquelchAlone) return true;
      // Tone squelch shows the repeater tone too, as a read from the radio
      // does; an unusable one is the radio's default.
      const std::optional<int> r = parseChirpTone(rText);
      repeaterTone_ = toneText(r && isStandardTone(*r) ? *r : kDefaultToneTenths, ctx_.sep);
    }
    return true;
  }

  bool transmitHeld(std::int64_t tx) {
    if (tx <= 0) {
      return leaveOut("transmit frequency " + mhz(tx) + " is not above 0 MHz" +
                      (tx < 0 ? " (the offset is larger than the frequency)" : ""));
    }
    if (tx > std::numeric_limits<std::int32_t>::max()) {
      return leaveOut("transmit frequency " + mhz(tx) + " cannot be held");
    }
    if (model_.duplex != DuplexStorage::NotStored && !inRanges(model_.ranges, tx)) {
      return leaveOut("transmit frequency " + mhz(tx) + " is outside " + theModel() + "'s " +
                      describeRanges(model_.ranges));
    }
    tx_ = tx;
    return true;
  }

  bool ownOffset(DuplexCode code, std::int64_t offset) {
    if (offset % kMemoryOffsetUnitHz != 0 || offset > kLargestMemoryOffsetHz) {
      return leaveOut("offset " + mhz(offset) + " is not kept by " + theModel() +
                      " (100 Hz steps up to " + mhz(kLargestMemoryOffsetHz) + ")");
    }
    duplex_ = code;
    return true;
  }

  bool split(std::int64_t tx) {
    if (!transmitHeld(tx)) return false;
    if (model_.duplex != DuplexStorage::OwnOffset) {
      duplex_ = kDuplexSplit;
      return true;
    }
    // No split memories, but the same channel as a duplex offset.
    if (tx == rx_) return true;
    return ownOffset(tx > rx_ ? kDuplexPlus : kDuplexMinus, tx > rx_ ? tx - rx_ : rx_ - tx);
  }

  bool shifted(DuplexCode code, std::int64_t offset) {
    if (!transmitHeld(code == kDuplexPlus ? rx_ + offset : rx_ - offset)) return false;
    switch (model_.duplex) {
      case DuplexStorage::OwnOffset:
        return ownOffset(code, offset);
      case DuplexStorage::BandOffsets: {
        const std::int64_t bandOffset =
            ctx_.offsets.forReceiveFrequency(static_cast<std::int32_t>(rx_));
        if (offset != bandOffset) {
          note("offset " + mhz(offset) + " is not " + theModel() + "'s offset for this band (" +
               mhz(bandOffset) + "): imported as Split");
          duplex_ = kDuplexSplit;
          return true;
        }
        break;
      }
      case DuplexStorage::SplitOnly:
        note("offset " + mhz(offset) + " is not kept by " + theModel() + ": imported as Split");
        duplex_ = kDuplexSplit;
        return true;
      case DuplexStorage::NotStored:
        break;
    }
    duplex_ = code;
    return true;
  }

  bool duplex() {
    const std::string& d = row_[Col::Duplex];
    const std::string& offsetText = row_[Col::Offset];
    const bool plus = matchesIgnoringCase(d, "+");
    const bool minus = matchesIgnoringCase(d, "-");
    const bool isSplit = matchesIgnoringCase(d, "split");
    if (matchesIgnoringCase(d, "")) return true;
    if (matchesIgnoringCase(d, "off")) {
      note("transmit off is not kept: imported as simplex");
      return true;
    }
    if (!plus && !minus && !isSplit) return leaveOut("Duplex " + inQuotes(d) + " is not a duplex");
    const std::optional<std::int64_t> value = matchesIgnoringCase(offsetText, "")
                                                  ? std::optional<std::int64_t>(0)
                                                  : parseMhzText(offsetText);
    if (!value) return leaveOut("Offset " + inQuotes(offsetText) + " is not a frequency in MHz");
    if (isSplit) return split(*value);
    return shifted(plus ? kDuplexPlus : kDuplexMinus, *value);
  }

  std::string filter() const {
    if (narrow_) return "Narrow";
    const std::string& f = row_[Col::Filter];
    if (row_.has(Col::Filter) && (f.empty() || filterIndexOf(f) != kFilterEmpty)) return f;
    return "Normal";
  }

  std::string name() {
    const std::string original = blanksOffRight(row_[Col::Name]);
    const std::string folded = blanksOffRight(foldToPrintableAscii(original));
    const auto length = static_cast<std::size_t>(model_.nameLength);
    const bool cut = folded.size() > length;
    const std::string kept = blanksOffRight(folded.substr(0, length));
    if (kept != original) {
      std::string n = "name " + inQuotes(escapeControls(original));
      if (folded != original) n += " written as " + inQuotes(folded);
      if (cut) {
        n += std::string(folded != original ? " and" : "") + " cut to " + std::to_string(length) +
             " characters: " + inQuotes(kept);
      }
      note(std::move(n));
    }
    return kept;
  }

  const ChirpRow& row_;
  const ChirpImportContext& ctx_;
  const ModelKeeps& model_;
  ImportedChannel out_;
  std::int64_t rx_ = 0;
  std::int64_t tx_ = 0;
  std::string mode_;
  bool narrow_ = false;
  DuplexCode duplex_ = kDuplexSimplex;
  std::string repeaterTone_;
  std::string toneSquelch_;
};

}  // namespace

ImportedChannel recordFromChirp(const ChirpRow& row, const ChirpImportContext& ctx) {
  return RowImporter(row, ctx).run();
}

}  // namespace tarnwick
