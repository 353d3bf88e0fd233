#include "tables/table_sort.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <numeric>
#include <string>

#include "rig/frequency_text.h"
#include "tables/latin1_case.h"

namespace tarnwick {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

enum class KeyKind : std::uint8_t { Number, Text, Empty };

struct CellKey {
  KeyKind kind = KeyKind::Empty;
  double number = 0;
  std::string_view text;
};

CellKey cellKey(std::string_view text, Separators sep) {
  const std::size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  if (const auto n = sortNumber(text, sep)) return {KeyKind::Number, *n, {}};
  return {KeyKind::Text, 0, text.substr(b)};
}

// Non-empty keys only: numbers before texts.
int compareKeys(const CellKey& a, const CellKey& b) {
  if (a.kind != b.kind) return a.kind == KeyKind::Number ? -1 : 1;
  if (a.kind == KeyKind::Number) return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
  if (const int c = compareNoCase(a.text, b.text); c != 0) return c;
  return a.text.compare(b.text);
}

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
  const std::size_t b = text.find_first_not_of(' ');
  if (b == std::string_view::npos) return std::nullopt;
  text = text.substr(b, text.find_last_not_of(' ') - b + 1);

  // Rebuilt in the C form that from_chars reads: sign, digits, '.', digits.
  std::string plain;
  plain.reserve(text.size());
  std::size_t i = 0;
  if (text[i] == '+' || text[i] == '-') {
    if (text[i] == '-') plain.push_back('-');
    ++i;
  }
  std::size_t groupDigits = 0;
  std::size_t digits = 0;
  bool grouped = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (isDigit(c)) {
      plain.push_back(c);
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
    plain.push_back('.');
    for (++i; i < text.size() && isDigit(text[i]); ++i) {
      plain.push_back(text[i]);
      ++digits;
    }
  }
  if (i != text.size() || digits == 0) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (ec != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
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
        if (hz[at(i)] > 0) column[at(i)] = {KeyKind::Number, static_cast<double>(hz[at(i)]), {}};
      } else {
        column[at(i)] = cellKey(table.cell(key.column, first + i), sep);
      }
    }
  }

  std::vector<int> order(at(n));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    for (std::size_t k = 0; k < keys.size(); ++k) {
      const CellKey& x = columns[k][at(a)];
      const CellKey& y = columns[k][at(b)];
      const bool xEmpty = x.kind == KeyKind::Empty;
      const bool yEmpty = y.kind == KeyKind::Empty;
      if (xEmpty || yEmpty) {
        if (xEmpty && yEmpty) continue;
        return yEmpty;
      }
      const int c = compareKeys(x, y);
      if (c != 0) return keys[k].descending ? c > 0 : c < 0;
    }
    return false;
  });

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
