#pragma once
// Which rows of a channel table a view shows: those whose text cells contain
// the filter text, ignoring case, and on request only occupied ones. Rows
// keep their numbers and labels; the view only leaves the others out. A
// filter text that reads as a frequency ("7074", "7,074", "7.074M",
// "7.074 MHz") also finds the frequency cells of that value, however they
// are written.
//
// A new filter text, or hide-empty switched, works every row out afresh.
// Between those, each row keeps its state through edits, inserts, moves and
// sorts: a row the user edits or inserts stays in view even when it no
// longer matches, and a hidden row that comes to match is shown, so that
// nothing the user works on vanishes under the cursor.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rig/channel_record.h"
#include "rig/separators.h"
#include "tables/channel_table.h"

namespace tarnwick {

// Whether `text` contains `lowerNeedle` (already in small letters), ignoring
// the case of Latin-1 letters. An empty needle is in every text.
bool containsNoCase(std::string_view text, std::string_view lowerNeedle);
// The same for a non-empty needle known to hold letters with a capital
// (`needleHasCase`) or none, as a search over many cells knows it.
bool containsNoCase(std::string_view text, std::string_view lowerNeedle, bool needleHasCase);
std::string lowerLatin1Text(std::string_view text);

// The columns whose texts a filter or a search looks at: the label and the
// channel's text cells, not the check boxes, whose "0" and "1" no one reads.
bool isSearchedColumn(int col);

// The frequencies a typed text stands for, [first, second) in hertz: its
// value up to what its last digit leaves open, as the user is still typing
// ("7.07 MHz" is 7.070 to 7.079999 MHz, "7074" is 7,074.000 to 7,074.999
// kHz). A number without a unit is read in `plainUnit`. Nothing for a text
// that is no frequency or stands for 0 Hz.
std::optional<std::pair<std::int64_t, std::int64_t>> typedFrequencySpan(
    std::string_view text, std::string_view plainUnit = "kHz",
    Separators sep = Separators::current());

class RowFilter final : private TableObserver {
 public:
  explicit RowFilter(ChannelTable& table);
  ~RowFilter() override;
  RowFilter(const RowFilter&) = delete;
  RowFilter& operator=(const RowFilter&) = delete;

  const ChannelTable& table() const { return table_; }

  // Latin-1 text; empty shows every row (but the empty ones, with hide-empty).
  void setText(std::string_view text);
  const std::string& text() const { return text_; }
  void setHideEmpty(bool on);
  bool hideEmpty() const { return hideEmpty_; }
  // Columns the view hides are not looked at.
  void setHiddenColumns(ColumnSet hidden);
  // The unit a number typed without one is read in: the unit the view shows
  // the frequency cells in ("kHz" unless told otherwise).
  void setPlainFrequencyUnit(std::string_view unit);
  bool active() const { return !needle_.empty() || hideEmpty_; }

  // Whether the data row is shown; rows outside the table are not.
  bool isShown(int row) const;
  int shownCount() const;
  // The shown rows among first..last, in order.
  std::vector<int> shownRows(int first, int last) const;
  // Whether the row matches the filter now (whether or not it is shown).
  bool matches(int row) const;
  // Brings a row into view that the user is about to work on.
  void reveal(int row);

  // Called after the shown rows may have changed.
  void setChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }

 private:
  void recompute();
  void setNeedle(std::string needle);
  void notifyChanged() {
    if (changed_) changed_();
  }
  void cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol) override;
  void rowsInserted(int first, int last) override;
  void rowsRemoved(int first, int last) override;
  void rowsMoved(int first, int last, int destination) override;
  void rowsPermuted(int first, std::span<const int> order) override;
  void modelReset() override;

  ChannelTable& table_;
  std::string text_;
  std::string needle_;  // text_ in small letters
  bool needleHasCase_ = false;
  std::vector<int> searched_;  // the columns looked at, hidden ones left out
  std::string plainUnit_ = "kHz";
  // The frequencies the text stands for; hzLow_ == hzHigh_ when none.
  std::int64_t hzLow_ = 0;
  std::int64_t hzHigh_ = 0;
  Separators sep_;
  bool hideEmpty_ = false;
  ColumnSet hidden_;
  std::vector<char> shown_;  // per table row, the header row included
  std::function<void()> changed_;
};

struct CellPosition {
  int row = 0;
  int col = 0;
  bool operator==(const CellPosition&) const = default;
};

// The next cell after `from` (along the row, then down; backwards: the
// reverse) in the listed columns and the rows the filter shows (every data
// row without one), whose text contains `text` ignoring case, wrapping round
// the table; `from` itself is looked at last. Nothing for an empty text.
std::optional<CellPosition> findCell(const ChannelTable& table, std::string_view text,
                                     CellPosition from, std::span<const int> columns, bool forward,
                                     const RowFilter* filter = nullptr);

}  // namespace tarnwick
