#include "tables/cell_block.h"

namespace tarnwick {
namespace {

bool needsQuotes(std::string_view cell) {
  return cell.find_first_of("\t\r\n") != std::string_view::npos ||
         (!cell.empty() && cell.front() == '"');
}

void appendCell(std::string& out, std::string_view cell) {
  if (!needsQuotes(cell)) {
    out += cell;
    return;
  }
  out += '"';
  for (char c : cell) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string formatTabSeparated(const TextGrid& grid) {
  std::string out;
  for (const std::vector<std::string>& row : grid) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) out += '\t';
      appendCell(out, row[c]);
    }
    out += '\n';
  }
  return out;
}

TextGrid parseTabSeparated(std::string_view text) {
  TextGrid grid;
  std::vector<std::string> row;
  std::string cell;
  std::size_t i = 0;
  const auto endRow = [&] {
    row.push_back(std::move(cell));
    cell.clear();
    grid.push_back(std::move(row));
    row.clear();
  };
  while (i < text.size()) {
    if (cell.empty() && text[i] == '"') {
      // A quoted cell runs to the quote that is not doubled; what follows it
      // up to the next tab or line end belongs to the cell as typed.
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            cell += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        cell += text[i++];
      }
    }
    while (i < text.size() && text[i] != '\t' && text[i] != '\n' && text[i] != '\r') {
      cell += text[i++];
    }
    if (i >= text.size()) break;
    if (text[i] == '\t') {
      row.push_back(std::move(cell));
      cell.clear();
      ++i;
      continue;
    }
    // A line end: "\r\n", "\n" or a lone "\r".
    i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    endRow();
  }
  if (!cell.empty() || !row.empty()) endRow();
  return grid;
}

}  // namespace tarnwick
