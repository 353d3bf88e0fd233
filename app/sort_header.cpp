#include "app/sort_header.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/table_colours.h"

namespace tarnwick::app {

SortHeader::SortHeader(const ChannelTable& table, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), table_(table) {
  setSectionsClickable(true);
  setSortIndicatorShown(false);
  setHighlightSections(false);
  setSectionResizeMode(QHeaderView::Interactive);
  setStretchLastSection(true);
  setDefaultAlignment(Qt::AlignCenter);
}

void SortHeader::setCurrentSection(int logicalIndex) {
  if (current_ == logicalIndex) return;
  const int old = current_;
  current_ = logicalIndex;
  // A frozen section is not where the stock header thinks it is.
  if (frozenWidth() > 0) return viewport()->update();
  if (old >= 0) updateSection(old);
  if (current_ >= 0) updateSection(current_);
}

int SortHeader::frozenWidth() const {
  if (frozen_ <= 0 || offset() <= 0 || count() < frozen_) return 0;
  return sectionPosition(frozen_ - 1) + sectionSize(frozen_ - 1);
}

int SortHeader::sectionAt(int x) const {
  const bool frozen = x >= 0 && x < frozenWidth();
  return logicalIndexAt(frozen ? x - offset() : x);
}

void SortHeader::paintEvent(QPaintEvent* event) {
  QHeaderView::paintEvent(event);
  const int width = frozenWidth();
  if (width <= 0) return;
  // Over whatever has scrolled under them, where they stood unscrolled.
  QPainter painter(viewport());
  for (int section = 0; section < frozen_; ++section) {
    if (isSectionHidden(section)) continue;
    paintSection(&painter,
                 QRect(sectionPosition(section), 0, sectionSize(section), viewport()->height()),
                 section);
  }
  painter.setPen(kFrozenEdgeColour);
  painter.drawLine(width - 1, 0, width - 1, viewport()->height());
}

QString SortHeader::sortMark(int logicalIndex) const {
  const std::vector<SortKey>& keys = table_.sortKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i].column != logicalIndex) continue;
    QString mark = keys[i].descending ? QStringLiteral("\u25BC") : QStringLiteral("\u25B2");
    if (keys.size() > 1) mark += QString::number(i + 1);
    return mark;
  }
  return {};
}

void SortHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid()) return;
  painter->save();
  const bool current = logicalIndex == current_;
  painter->fillRect(rect, current ? kCurrentFixedCellColour : palette().color(QPalette::Button));
  painter->setPen(kGridLineColour);
  painter->drawLine(rect.topRight(), rect.bottomRight());
  painter->drawLine(rect.bottomLeft(), rect.bottomRight());

  QFont f = font();
  if (current) f.setBold(true);
  painter->setFont(f);
  painter->setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  QRect textRect = rect.adjusted(3, 0, -3, 0);
  const QString mark = sortMark(logicalIndex);
  if (!mark.isEmpty()) {
    // The key's mark keeps its place at the right; the caption takes the rest.
    const int markWidth = QFontMetrics(f).horizontalAdvance(mark) + 2;
    painter->drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, mark);
    textRect.setRight(textRect.right() - markWidth);
  }
  const QVariant align =
      model() ? model()->headerData(logicalIndex, Qt::Horizontal, Qt::TextAlignmentRole)
              : QVariant();
  const Qt::Alignment a =
      align.isValid() ? align.value<Qt::Alignment>() : Qt::AlignLeft | Qt::AlignVCenter;
  const QString text =
      model() ? model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString()
              : QString();
  painter->setClipRect(textRect);
  // A caption wider than its column shows its beginning, so that a narrow
  // column is still recognised; the hint gives the whole name.
  const QFontMetrics fm(f);
  if (fm.horizontalAdvance(text) > textRect.width()) {
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                      fm.elidedText(text, Qt::ElideRight, textRect.width()));
  } else {
    painter->drawText(textRect, static_cast<int>(a), text);
  }
  painter->restore();
}

QSize SortHeader::sectionSizeFromContents(int logicalIndex) const {
  QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
  size.setHeight(QFontMetrics(font()).height() + 6);
  return size;
}

void SortHeader::mousePressEvent(QMouseEvent* event) {
  // A press on a section edge resizes; a press inside a section only sorts
  // (the stock header would also select the whole column).
  pressed_ = -1;
  const int x = event->position().toPoint().x();
  // Frozen sections are not resized while the others scroll under them.
  const bool frozen = x < frozenWidth();
  if (event->button() == Qt::LeftButton && (frozen || cursor().shape() != Qt::SplitHCursor)) {
    pressed_ = sectionAt(x);
    if (pressed_ >= 0) return;
  }
  if (!frozen) QHeaderView::mousePressEvent(event);
}

void SortHeader::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() == Qt::NoButton && event->position().x() < frozenWidth()) {
    unsetCursor();
    return;
  }
  QHeaderView::mouseMoveEvent(event);
}

void SortHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (pressed_ < 0) {
    QHeaderView::mouseReleaseEvent(event);
    return;
  }
  const int section = sectionAt(event->position().toPoint().x());
  const bool click = event->button() == Qt::LeftButton && section == pressed_;
  pressed_ = -1;
  if (click) emit sortClicked(section, event->modifiers().testFlag(Qt::ShiftModifier));
}

}  // namespace tarnwick::app
