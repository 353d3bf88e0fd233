#include "tables/table_sort.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>

#include "rig/frequency_text.h"
#include "rig/text_trim.h"
#include "tables/latin1_case.h"

namespace tarnwick {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

enum class KeyKind : std::uint8_t { Number, Text, Empty };

// A cell as the sort sees it. Texts also carry their first eight folded
// bytes as one number, so most comparisons never reach the table's rows.
struct CellKey {
  KeyKind kind = KeyKind::Empty;
  double number = 0;
  std::uint64_t prefix = 0;
  std::string_view text;
};

CellKey cellKey(std::string_view text, Separators sep) {
  const std::string_view shown = trimmedLeft(text);
  if (shown.empty()) return {};
  if (const auto n = sortNumber(text, sep)) return {KeyKind::Number, *n, 0, {}};
  text = shown;
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    const auto c = i < text.size() ? static_cast<unsigned char>(lowerLatin1(text[i])) : 0u;
    prefix = prefix << 8 | c;
  }
  return {KeyKind::Text, 0, prefix, text};
}

// Non-empty keys only: numbers before texts.
int compareKeys(const CellKey& a, const CellKey& b) {
  if (a.kind != b.kind) return a.kind == KeyKind::Number ? -1 : 1;
  if (a.kind == KeyKind::Number) return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  if (const int c = compareNoCase(a.text, b.text); c != 0) return c;
  return a.text.compare(b.text);
}

// <0 when a goes first. Empty cells go last in either direction.
int compareCells(const CellKey& a, const CellKey& b, bool descending) {
  const bool aEmpty = a.kind == KeyKind::Empty;
  const bool bEmpty = b.kind == KeyKind::Empty;
  if (aEmpty || bEmpty) return aEmpty == bEmpty ? 0 : (aEmpty ? 1 : -1);
  const int c = compareKeys(a, b);
  return descending ? -c : c;
}

// The first key travels with the row index, so the sort walks one array.
struct Entry {
  CellKey key;
  int index;
};

}  // namespace

std::vector<SortKey> nextSortKeys(std::span<const SortKey> keys, int col, bool shift) {
  std::vector<SortKey> next(keys.begin(), keys.end());
  if (!shift) {
    if (next.size() == 1 && next[0].column == col) {
      next[0].descending = !next[0].descending;
      return next;
    }
    return {SortKey{col, false}};
  }
  const auto it =
      std::find_if(next.begin(), next.end(), [&](const SortKey& k) { return k.column == col; });
  if (it != next.end()) {
    it->descending = !it->descending;
  } else {
    next.push_back({col, false});
  }
  return next;
}

std::optional<double> sortNumber(std::string_view text, Separators sep) {
  text = trimmed(text);
  if (text.empty()) return std::nullopt;
  // Most texts are names: they fail at the first character. Longer texts than
  // any number a cell holds are texts too.
  const char first = text[0];
  if (!isDigit(first) && first != '+' && first != '-' && first != sep.decimal) return std::nullopt;
  char plain[64];
  if (text.size() >= sizeof plain) return std::nullopt;

  // Rebuilt in the C form that from_chars reads: sign, digits, '.', digits.
  std::size_t out = 0;
  std::size_t i = 0;
  if (text[i] == '+' || text[i] == '-') {
    if (text[i] == '-') plain[out++] = '-';
    ++i;
  }
  std::size_t groupDigits = 0;
  std::size_t digits = 0;
  bool grouped = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (isDigit(c)) {
      plain[out++] = c;
      ++groupDigits;
      ++digits;
    } else if (c == sep.thousands && c != sep.decimal) {
      // The first group holds 1..3 digits, every later one exactly 3.
      if (groupDigits == 0 || groupDigits > 3 || (grouped && groupDigits != 3)) return std::nullopt;
      grouped = true;
      groupDigits = 0;
    } else {
      break;
    }
  }
  if (grouped && groupDigits != 3) return std::nullopt;
  if (i < text.size() && text[i] == sep.decimal) {
    plain[out++] = '.';
    for (++i; i < text.size() && isDigit(text[i]); ++i) {
      plain[out++] = text[i];
      ++digits;
    }
  }
  if (i != text.size() || digits == 0) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(plain, plain + out, value);
  if (ec != std::errc() || end != plain + out) return std::nullopt;
  return value;
}

void sortRows(ChannelTable& table, int first, int last, std::span<const SortKey> keys,
              Separators sep) {
  first = std::max(first, 1);
  last = std::min(last, table.rowCount() - 1);
  const int n = last - first + 1;
  if (n < 1) return;
  const auto at = [](int i) { return static_cast<std::size_t>(i); };

  std::vector<std::int32_t> hz(at(n));
  for (int i = 0; i < n; ++i) hz[at(i)] = parseFrequency(table.cell(colFrequency, first + i), sep);

  std::vector<std::vector<CellKey>> columns;
  columns.reserve(keys.size());
  for (const SortKey& key : keys) {
    std::vector<CellKey>& column = columns.emplace_back(at(n));
    for (int i = 0; i < n; ++i) {
      if (key.column == colFrequency) {
        if (hz[at(i)] > 0) column[at(i)] = {KeyKind::Number, static_cast<double>(hz[at(i)]), 0, {}};
      } else {
        column[at(i)] = cellKey(table.cell(key.column, first + i), sep);
      }
    }
  }

  std::vector<Entry> entries(at(n));
  for (int i = 0; i < n; ++i) entries[at(i)] = {keys.empty() ? CellKey{} : columns[0][at(i)], i};
  std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    if (keys.empty()) return false;
    if (const int c = compareCells(a.key, b.key, keys[0].descending); c != 0) return c < 0;
    for (std::size_t k = 1; k < keys.size(); ++k) {
      const int c =
          compareCells(columns[k][at(a.index)], columns[k][at(b.index)], keys[k].descending);
      if (c != 0) return c < 0;
    }
    return false;
  });
  std::vector<int> order(at(n));
  for (int i = 0; i < n; ++i) order[at(i)] = entries[at(i)].index;

  bool moved = false;
  for (int i = 0; i < n; ++i) moved = moved || order[at(i)] != i;
  std::vector<int> rows(at(n));
  for (int i = 0; i < n; ++i) rows[at(i)] = first + order[at(i)];
  if (moved) table.permuteRows(first, rows);

  table.editRows(first, last, colFrequency, colFrequency, [&](int r, ChannelRecord& rec) {
    const std::int32_t value = hz[at(order[at(r - first)])];
    std::string text = value > 0 ? formatFrequency(value, rec[colMode], sep) : std::string();
    if (rec[colFrequency] == text) return false;
    rec[colFrequency] = std::move(text);
    return true;
  });
}

}  // namespace tarnwick
