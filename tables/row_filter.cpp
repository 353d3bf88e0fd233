#include "tables/row_filter.h"

#include <algorithm>
#include <array>

#include "rig/frequency_input.h"
#include "rig/frequency_text.h"
#include "tables/latin1_case.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

constexpr std::array<char, 256> kLower = [] {
  std::array<char, 256> t{};
  for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = lowerLatin1(static_cast<char>(i));
  return t;
}();

char lower(char c) {
  return kLower[static_cast<unsigned char>(c)];
}

// Whether a small letter has a capital that stands for it.
bool hasCapital(char c) {
  return lowerLatin1(static_cast<char>(c - 0x20)) == c;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The hertz of a frequency cell as parseFrequency reads it. The form cells
// have ("  7,074.00") is read here without its copies: a filter reads a
// million of them for each key. Anything else goes to parseFrequency.
std::int64_t cellHz(std::string_view cell, Separators sep) {
  std::int64_t kHz = 0;
  std::int64_t fraction = 0;
  int fractionDigits = -1;  // -1: before the decimal separator
  for (const char c : cell) {
    if (isDigit(c)) {
      if (fractionDigits < 0) {
        kHz = kHz * 10 + (c - '0');
        if (kHz > 2'147'483) return parseFrequency(cell, sep);
      } else if (fractionDigits < 3) {
        fraction = fraction * 10 + (c - '0');
        ++fractionDigits;
      }
    } else if (c == sep.decimal && fractionDigits < 0) {
      fractionDigits = 0;
    } else if (c != ' ' && c != sep.thousands) {
      return parseFrequency(cell, sep);
    }
  }
  for (int d = std::max(fractionDigits, 0); d < 3; ++d) fraction *= 10;
  const std::int64_t hz = kHz * 1000 + fraction;
  // Past a signed 32-bit number of hertz the reader gives 0, a blank.
  return hz > 2'147'483'647 ? 0 : hz;
}

// The longest text read as a frequency ("1,999,999.999 kHz" and some blanks).
constexpr std::size_t kLongestFrequencyText = 32;

}  // namespace

std::optional<std::pair<std::int64_t, std::int64_t>> typedFrequencySpan(std::string_view text,
                                                                        std::string_view plainUnit,
                                                                        Separators sep) {
  if (text.size() > kLongestFrequencyText) return std::nullopt;
  std::string typed(text);
  while (!typed.empty() && (typed.back() == ' ' || typed.back() == '\t')) typed.pop_back();
  const std::size_t lastDigit = typed.find_last_of("0123456789");
  if (lastDigit == std::string::npos) return std::nullopt;
  const char last = lower(typed.back());
  if (last < 'a' || last > 'z') typed.append(" ").append(plainUnit);
  const TypedFrequency value = readTypedFrequency(typed, sep);
  if (value.kind != TypedFrequency::Kind::Value || value.hz <= 0) return std::nullopt;
  // One step of the last digit typed: the same text with that digit 1 and
  // every other 0.
  std::string step = typed;
  for (char& c : step) {
    if (isDigit(c)) c = '0';
  }
  step[lastDigit] = '1';
  const TypedFrequency one = readTypedFrequency(step, sep);
  const std::int64_t width = one.kind == TypedFrequency::Kind::Value && one.hz > 0 ? one.hz : 1;
  return std::pair{value.hz, value.hz + width};
}

std::string lowerLatin1Text(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower(c);
  return out;
}

bool containsNoCase(std::string_view text, std::string_view lowerNeedle) {
  if (lowerNeedle.empty()) return true;
  return containsNoCase(text, lowerNeedle,
                        std::any_of(lowerNeedle.begin(), lowerNeedle.end(), hasCapital));
}

bool containsNoCase(std::string_view text, std::string_view lowerNeedle, bool needleHasCase) {
  if (text.size() < lowerNeedle.size()) return false;
  // Digits and signs, as in a frequency, have no case: the library's search.
  if (!needleHasCase) return text.find(lowerNeedle) != std::string_view::npos;
  const char first = lowerNeedle.front();
  const std::size_t lastStart = text.size() - lowerNeedle.size();
  for (std::size_t i = 0; i <= lastStart; ++i) {
    if (lower(text[i]) != first) continue;
    std::size_t j = 1;
    while (j < lowerNeedle.size() && lower(text[i + j]) == lowerNeedle[j]) ++j;
    if (j == lowerNeedle.size()) return true;
  }
  return false;
}

bool isSearchedColumn(int col) {
  return col >= colNumber && col < colSelect;
}

RowFilter::RowFilter(ChannelTable& table) : table_(table) {
  for (int col = colNumber; col < kColumnCount; ++col) {
    if (isSearchedColumn(col)) searched_.push_back(col);
  }
  table_.addObserver(this);
  shown_.assign(static_cast<std::size_t>(table_.rowCount()), 1);
}

RowFilter::~RowFilter() {
  table_.removeObserver(this);
}

void RowFilter::setText(std::string_view text) {
  if (text == text_) return;
  text_ = std::string(text);
  setNeedle(lowerLatin1Text(text));
}

void RowFilter::setPlainFrequencyUnit(std::string_view unit) {
  if (unit == plainUnit_) return;
  plainUnit_ = std::string(unit);
  if (!needle_.empty()) setNeedle(needle_);
}

void RowFilter::setNeedle(std::string needle) {
  const bool wasFrequency = hzLow_ < hzHigh_;
  sep_ = Separators::current();
  const auto span = typedFrequencySpan(text_, plainUnit_, sep_);
  hzLow_ = span ? span->first : 0;
  hzHigh_ = span ? span->second : 0;
  // Typing on only narrows a text match: a row hidden because it lacks the
  // old text lacks the new one too, so only the rows shown are looked at.
  const bool narrows = !needle_.empty() && !wasFrequency && !span &&
                       needle.size() > needle_.size() && needle.find(needle_) != std::string::npos;
  needle_ = std::move(needle);
  needleHasCase_ = std::any_of(needle_.begin(), needle_.end(), hasCapital);
  if (!narrows) {
    recompute();
    return;
  }
  for (int r = 1; r < table_.rowCount(); ++r) {
    char& flag = shown_[static_cast<std::size_t>(r)];
    if (flag != 0 && !matches(r)) flag = 0;
  }
  notifyChanged();
}

void RowFilter::setHideEmpty(bool on) {
  if (on == hideEmpty_) return;
  hideEmpty_ = on;
  recompute();
}

void RowFilter::setHiddenColumns(ColumnSet hidden) {
  if (hidden == hidden_) return;
  hidden_ = hidden;
  searched_.clear();
  for (int col = colNumber; col < kColumnCount; ++col) {
    if (isSearchedColumn(col) && !hidden_.contains(col)) searched_.push_back(col);
  }
  if (!needle_.empty()) recompute();
}

bool RowFilter::matches(int row) const {
  if (!table_.isDataRow(row)) return false;
  if (hideEmpty_ && !IsOccupied(table_, row)) return false;
  if (needle_.empty()) return true;
  const ChannelRecord& rec = table_.record(row);
  for (const int col : searched_) {
    if (containsNoCase(rec[static_cast<std::size_t>(col)], needle_, needleHasCase_)) return true;
  }
  if (hzLow_ < hzHigh_) {
    for (const int col : {colFrequency, colTxFrequency}) {
      const std::string& cell = rec[static_cast<std::size_t>(col)];
      if (cell.empty() || hidden_.contains(col)) continue;
      const std::int64_t hz = cellHz(cell, sep_);
      if (hz >= hzLow_ && hz < hzHigh_) return true;
    }
  }
  return false;
}

bool RowFilter::isShown(int row) const {
  return table_.isDataRow(row) && static_cast<std::size_t>(row) < shown_.size() &&
         shown_[static_cast<std::size_t>(row)] != 0;
}

int RowFilter::shownCount() const {
  if (shown_.size() < 2) return 0;
  return static_cast<int>(std::count(shown_.begin() + 1, shown_.end(), char{1}));
}

std::vector<int> RowFilter::shownRows(int first, int last) const {
  std::vector<int> rows;
  for (int r = std::max(first, 1); r <= last && r < table_.rowCount(); ++r) {
    if (isShown(r)) rows.push_back(r);
  }
  return rows;
}

void RowFilter::reveal(int row) {
  if (!table_.isDataRow(row) || isShown(row)) return;
  shown_[static_cast<std::size_t>(row)] = 1;
  notifyChanged();
}

void RowFilter::recompute() {
  shown_.assign(static_cast<std::size_t>(table_.rowCount()), 0);
  for (int r = 1; r < table_.rowCount(); ++r) shown_[static_cast<std::size_t>(r)] = matches(r);
  notifyChanged();
}

void RowFilter::cellsChanged(int firstRow, int lastRow, int, int) {
  // A row that comes to match is shown; a shown row stays, edited or not.
  bool any = false;
  for (int r = std::max(firstRow, 1); r <= lastRow && r < table_.rowCount(); ++r) {
    char& flag = shown_[static_cast<std::size_t>(r)];
    if (flag == 0 && matches(r)) flag = 1, any = true;
  }
  if (any) notifyChanged();
}

void RowFilter::rowsInserted(int first, int last) {
  // Rows the user inserts (or a paste adds) are there to be worked on.
  shown_.insert(shown_.begin() + first, static_cast<std::size_t>(last - first + 1), char{1});
  notifyChanged();
}

void RowFilter::rowsRemoved(int first, int last) {
  shown_.erase(shown_.begin() + first, shown_.begin() + last + 1);
  notifyChanged();
}

void RowFilter::rowsMoved(int first, int last, int destination) {
  const auto b = shown_.begin();
  if (destination < first) {
    std::rotate(b + destination, b + first, b + last + 1);
  } else {
    std::rotate(b + first, b + last + 1, b + destination);
  }
  notifyChanged();
}

void RowFilter::rowsPermuted(int first, std::span<const int> order) {
  std::vector<char> old(shown_);
  for (std::size_t i = 0; i < order.size(); ++i) {
    shown_[static_cast<std::size_t>(first) + i] = old[static_cast<std::size_t>(order[i])];
  }
  notifyChanged();
}

void RowFilter::modelReset() {
  recompute();
}

namespace {

// The first column position in [from, to) (or (to, from] backwards) of the
// row whose cell contains the needle.
std::optional<CellPosition> matchInRow(const ChannelTable& table, int row,
                                       std::span<const int> columns, int from, int to, bool forward,
                                       std::string_view needle) {
  const ChannelRecord& rec = table.record(row);
  for (int i = from; forward ? i < to : i > to; i += forward ? 1 : -1) {
    const int col = columns[static_cast<std::size_t>(i)];
    if (containsNoCase(rec[static_cast<std::size_t>(col)], needle)) return CellPosition{row, col};
  }
  return std::nullopt;
}

}  // namespace

std::optional<CellPosition> findCell(const ChannelTable& table, std::string_view text,
                                     CellPosition from, std::span<const int> columns, bool forward,
                                     const RowFilter* filter) {
  const int rows = table.dataRowCount();
  const int cols = static_cast<int>(columns.size());
  if (text.empty() || rows < 1 || cols < 1) return std::nullopt;
  const std::string needle = lowerLatin1Text(text);
  const auto shown = [&](int r) { return filter == nullptr || filter->isShown(r); };
  const int startRow = std::clamp(from.row, 1, rows);
  const auto it = std::find(columns.begin(), columns.end(), from.col);
  // A start outside the columns counts as just before the row's first cell
  // (forwards) or just after its last (backwards).
  const int at =
      it != columns.end() ? static_cast<int>(it - columns.begin()) : (forward ? -1 : cols);
  if (shown(startRow)) {
    const auto hit = forward ? matchInRow(table, startRow, columns, at + 1, cols, true, needle)
                             : matchInRow(table, startRow, columns, at - 1, -1, false, needle);
    if (hit) return hit;
  }
  for (int k = 1; k < rows; ++k) {
    const int r = forward ? (startRow - 1 + k) % rows + 1 : (startRow - 1 - k + rows) % rows + 1;
    if (!shown(r)) continue;
    const auto hit = forward ? matchInRow(table, r, columns, 0, cols, true, needle)
                             : matchInRow(table, r, columns, cols - 1, -1, false, needle);
    if (hit) return hit;
  }
  if (shown(startRow)) {
    // Round the table: the start row's cells before the start, the start last.
    return forward ? matchInRow(table, startRow, columns, 0, std::min(at + 1, cols), true, needle)
                   : matchInRow(table, startRow, columns, cols - 1, std::max(at - 1, -1), false,
                                needle);
  }
  return std::nullopt;
}

}  // namespace tarnwick
