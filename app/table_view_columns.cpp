// Column widths of a channel table view: fitted to the content in the
// current font, or as the user dragged them.

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include "app/qt_text.h"
#include "app/sort_header.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "tables/column_layout.h"

namespace tarnwick::app {
namespace {

// Room around a cell's text: the delegate's margins and the grid line.
constexpr int kCellPadding = 6;
// Room around a caption: the header's margins and its line.
constexpr int kCaptionPadding = 7;
constexpr int kCheckBoxSide = 15;

int widestAdvance(const QFontMetrics& fm, const std::vector<std::string>& texts) {
  int widest = 0;
  for (const std::string& text : texts) widest = std::max(widest, fm.horizontalAdvance(toQt(text)));
  return widest;
}

}  // namespace

void ChannelTableView::trackUserWidths() {
  connect(header_, &QHeaderView::sectionResized, this, [this](int col, int, int size) {
    // The stretching last column follows the table's width, not the user.
    if (fitting_ || col < 0 || col >= kColumnCount || col == lastShownColumn() || size <= 0) {
      return;
    }
    userWidths_[static_cast<std::size_t>(col)] = size;
  });
  // A read or an Open changes the rows and then each caption in turn: the
  // columns are fitted once, when it is done.
  auto* refit = new QTimer(this);
  refit->setSingleShot(true);
  refit->setInterval(0);
  connect(refit, &QTimer::timeout, this, [this] { fitColumns(); });
  // More rows may need a wider label column.
  connect(&model_, &QAbstractItemModel::modelReset, refit, qOverload<>(&QTimer::start));
  connect(&model_, &QAbstractItemModel::rowsInserted, refit, qOverload<>(&QTimer::start));
  connect(&model_, &QAbstractItemModel::headerDataChanged, refit, [refit](Qt::Orientation o) {
    if (o == Qt::Horizontal) refit->start();
  });
}

void ChannelTableView::setHiddenColumns(ColumnSet hidden) {
  hidden_ = hidden;
  fitting_ = true;
  for (int col = 0; col < kColumnCount; ++col) setColumnHidden(col, hidden.contains(col));
  fitting_ = false;
  fitColumns();
}

int ChannelTableView::lastShownColumn() const {
  return RealColumn(hidden_, shownColumnCount(hidden_) - 1);
}

KeptColumnWidths ChannelTableView::userColumnWidths() const {
  KeptColumnWidths widths = userWidths_;
  widths[static_cast<std::size_t>(kColumnCount - 1)].reset();
  if (const int last = lastShownColumn(); last >= 0) widths[static_cast<std::size_t>(last)].reset();
  return widths;
}

void ChannelTableView::setUserColumnWidths(const KeptColumnWidths& widths) {
  userWidths_ = widths;
  fitColumns();
}

int ChannelTableView::availableWidth() const {
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  return std::max(0, contentsRect().width() - scrollBar);
}

void ChannelTableView::fitColumns() {
  const int modelIndex = model_.controller().modelIndex();
  const int rows = model_.table().dataRowCount();
  const QFontMetrics cellFont(font());
  QFont bold = font();
  bold.setBold(true);
  // The current row's label and the current column's caption are bold.
  const QFontMetrics boldFont(bold);
  std::array<ColumnNeed, kColumnCount> needs{};
  for (int col = 0; col < kColumnCount; ++col) {
    ColumnNeed& need = needs[static_cast<std::size_t>(col)];
    const std::vector<std::string> texts = widestColumnTexts(modelIndex, col, rows);
    if (col == colNumber) {
      need.content = widestAdvance(boldFont, texts);
    } else if (texts.empty() && (col == colSelect || col == colChanged)) {
      need.content = kCheckBoxSide;
    } else {
      need.content = widestAdvance(cellFont, texts);
    }
    need.content += kCellPadding;
    const QString caption = model_.headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
    need.caption = boldFont.horizontalAdvance(caption) + kCaptionPadding;
  }
  const ColumnWidthArray widths =
      fitColumnWidths(needs, hidden_, userColumnWidths(), availableWidth());
  fitting_ = true;
  for (int col = 0; col < kColumnCount; ++col) {
    if (!hidden_.contains(col)) setColumnWidth(col, widths[static_cast<std::size_t>(col)]);
  }
  fitting_ = false;
}

void ChannelTableView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  fitColumns();
}

}  // namespace tarnwick::app
