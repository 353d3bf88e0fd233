#include "tables/print_layout.h"

#include <algorithm>
#include <cmath>

#include "tables/table_ops.h"

namespace tarnwick {

PrintLayout layoutPrint(const PrintRequest& request, const PageMetrics& page) {
  const ChannelTable& table = *request.table;
  PrintLayout layout;
  layout.rowHeight = page.lineHeight + page.padding;

  std::vector<double> natural;
  for (int col = 0; col < kColumnCount; ++col) {
    if (request.hidden.contains(col) || col == colChanged) continue;
    const bool box = request.checkBoxColumns.contains(col);
    // Frequencies are printed as the table holds them, in kHz.
    std::string heading = table.cell(col, 0);
    if (col == colFrequency) heading += " (kHz)";
    double widest = page.textWidth(heading);
    if (box) {
      widest = std::max(widest, page.lineHeight);
    } else {
      for (int row : request.rows) widest = std::max(widest, page.textWidth(table.cell(col, row)));
    }
    natural.push_back(widest + 2 * page.padding);
    layout.columns.push_back({.column = col,
                              .heading = std::move(heading),
                              .alignment = box ? CellAlignment::Centre : columnAlignment(col),
                              .checkBox = box});
  }

  double total = 0;
  for (double w : natural) total += w;
  const double scale = total > 0 ? page.width / total : 1;
  double x = 0;
  for (std::size_t i = 0; i < layout.columns.size(); ++i) {
    layout.columns[i].x = x;
    layout.columns[i].width = natural[i] * scale;
    x += layout.columns[i].width;
  }

  // Heading line, a blank line, the column headings, the rows, the foot line.
  layout.tableTop = 2 * page.lineHeight;
  layout.footTop = page.height - page.lineHeight;
  const double body = layout.footTop - layout.tableTop - layout.rowHeight;
  layout.rowsPerPage = std::max(1, static_cast<int>(std::floor(body / layout.rowHeight)));
  const int rows = static_cast<int>(request.rows.size());
  layout.pageCount = std::max(1, (rows + layout.rowsPerPage - 1) / layout.rowsPerPage);

  layout.headingFile = request.fileName.empty() ? "(not saved)" : request.fileName;
  layout.headingModel = request.modelName;
  layout.headingDate = request.date;
  return layout;
}

std::vector<int> printedRows(const ChannelTable& table, const std::vector<int>& shown,
                             bool includeEmpty) {
  if (includeEmpty) return shown;
  std::vector<int> rows;
  for (int row : shown) {
    if (IsOccupied(table, row)) rows.push_back(row);
  }
  return rows;
}

std::span<const int> rowsOfPage(const PrintRequest& request, const PrintLayout& layout, int page) {
  const std::size_t first =
      static_cast<std::size_t>(page) * static_cast<std::size_t>(layout.rowsPerPage);
  if (page < 0 || first >= request.rows.size()) return {};
  const std::size_t count =
      std::min(static_cast<std::size_t>(layout.rowsPerPage), request.rows.size() - first);
  return std::span<const int>(request.rows).subspan(first, count);
}

std::string pageNumberText(int page, int pageCount) {
  return "Page " + std::to_string(page) + " of " + std::to_string(pageCount);
}

}  // namespace tarnwick
