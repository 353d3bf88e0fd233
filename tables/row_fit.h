#pragma once
// Fitting a channel that comes from elsewhere (another radio's rows, the
// permanent file, the clipboard, a file) to what the selected radio's
// memories keep, at once rather than at the next store. What a ham would
// accept is converted: a data mode to its plain mode, a select group to the
// select flag, a name cut to the memory's length, a duplex the memory lacks
// to one it keeps, two tones to the tone squelch. A frequency outside the
// radio's ranges cannot be converted: the row is refused.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rig/channel_record.h"
#include "rig/receive_ranges.h"
#include "rig/separators.h"

namespace tarnwick {

struct RowFit {
  std::vector<std::string> changes;  // "USB-D to USB", in column order
  // Why the row cannot be kept ("outside the IC-910's ranges (...)"); empty
  // when it can.
  std::string refusal;

  bool refused() const { return !refusal.empty(); }
  bool changed() const { return !changes.empty(); }
};

// Fits an occupied row to the model, in place; a refused row is left as it
// was, and so is a blank one. Columns the model hides are left alone: their
// cells stay part of the row and mean nothing to this radio.
RowFit fitRowToModel(ChannelRecord& row, int modelIndex, std::span<const FrequencyRange> ranges,
                     Separators sep = Separators::current());

// The fits of one drop, paste or open, said in one text.
class FitReport {
 public:
  explicit FitReport(int modelIndex) : modelIndex_(modelIndex) {}
  // `label` names the row as its table shows it.
  void add(std::string_view label, const RowFit& fit);
  bool empty() const { return changed_.empty() && refused_.empty(); }
  bool anyRefused() const { return !refused_.empty(); }
  int changedRows() const { return static_cast<int>(changed_.size()); }
  // "2 rows changed to fit the IC-746: row 5 USB-D to USB; row 9 Select *2
  // to ticked. Rows 12, 14 not taken: outside ..."; empty when nothing was
  // changed or refused.
  std::string text() const;

 private:
  struct Refused {
    std::string why;
    std::vector<std::string> labels;
  };
  int modelIndex_;
  std::vector<std::string> changed_;
  std::vector<Refused> refused_;
};

}  // namespace tarnwick
