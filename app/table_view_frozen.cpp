// The "#" and Frequency columns of a channel table view stay at its left
// edge when the other columns are scrolled sideways: they are drawn over the
// cells that scroll under them, and their points and rectangles are mapped
// to where they are drawn, so that clicks, editors, tool tips and the
// selection find them there. Unscrolled, nothing is mapped.

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "app/cell_delegate.h"
#include "app/sort_header.h"
#include "app/table_colours.h"
#include "app/table_model.h"
#include "app/table_view.h"

namespace tarnwick::app {

QModelIndex ChannelTableView::indexAt(const QPoint& pos) const {
  const bool frozen = pos.x() >= 0 && pos.x() < header_->frozenWidth();
  return QTableView::indexAt(frozen ? pos - QPoint(horizontalOffset(), 0) : pos);
}

QRect ChannelTableView::visualRect(const QModelIndex& index) const {
  const QRect rect = QTableView::visualRect(index);
  if (!index.isValid() || !header_->isFrozen(index.column())) return rect;
  return rect.translated(horizontalOffset(), 0);
}

void ChannelTableView::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QScrollBar* bar = horizontalScrollBar();
  const int before = bar->value();
  QTableView::scrollTo(index, hint);
  if (!index.isValid()) return;
  // A frozen cell is in view however far the others are scrolled.
  if (header_->isFrozen(index.column())) return bar->setValue(before);
  // Any other cell comes out beside the frozen ones, not under them.
  const int covered = header_->frozenWidth() - QTableView::visualRect(index).left();
  if (covered > 0) bar->setValue(bar->value() - covered);
}

void ChannelTableView::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dx == 0) return;
  // The pixels moved sideways include the frozen columns': all anew, and an
  // open editor back in its cell.
  viewport()->update();
  header_->viewport()->update();
  updateEditorGeometries();
}

void ChannelTableView::paintFrozenColumns(const QRect& area) {
  const int width = header_->frozenWidth();
  const QRect frozen = area & QRect(0, 0, width, viewport()->height());
  if (frozen.isEmpty()) return;
  QPainter painter(viewport());
  painter.setClipRect(frozen);
  painter.fillRect(frozen, palette().color(QPalette::Base));
  QStyleOptionViewItem base;
  initViewItemOption(&base);
  base.widget = this;
  const int first = std::max(rowAt(frozen.top()), 0);
  int last = rowAt(frozen.bottom());
  if (last < 0) last = model_.rowCount() - 1;
  for (int row = first; row <= last; ++row) {
    if (isRowHidden(row)) continue;
    for (int col = 0; header_->isFrozen(col); ++col) {
      if (isColumnHidden(col)) continue;
      const QModelIndex index = model_.index(row, col);
      QStyleOptionViewItem option = base;
      option.rect = visualRect(index);
      if (selectionModel()->isSelected(index)) option.state |= QStyle::State_Selected;
      if (index == currentIndex() && hasFocus()) option.state |= QStyle::State_HasFocus;
      delegate_->paint(&painter, option, index);
    }
  }
  painter.setPen(kFrozenEdgeColour);
  painter.drawLine(width - 1, frozen.top(), width - 1, frozen.bottom());
}

}  // namespace tarnwick::app
