#include "app/two_row_bar.h"

#include <QBoxLayout>
#include <QEvent>
#include <QResizeEvent>
#include <algorithm>

namespace tarnwick::app {

TwoRowBar::TwoRowBar(QWidget* first, QWidget* second, QWidget* parent)
    : QWidget(parent), layout_(new QBoxLayout(QBoxLayout::LeftToRight, this)), first_(first),
      second_(second) {
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  // The bar says how narrow it may get; the layout would insist on one row.
  layout_->setSizeConstraint(QLayout::SetNoConstraint);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  // Side by side, the room left over goes to the second group's end.
  layout_->addWidget(first, 0);
  layout_->addWidget(second, 1);
  // A label that gets a longer text (the file, the port) may need the second row.
  first->installEventFilter(this);
  second->installEventFilter(this);
}

bool TwoRowBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::LayoutRequest) arrange(width());
  return QWidget::eventFilter(watched, event);
}

bool TwoRowBar::wrapped() const {
  return layout_->direction() == QBoxLayout::TopToBottom;
}

QSize TwoRowBar::sizeHint() const {
  return layout_->sizeHint();
}

QSize TwoRowBar::minimumSizeHint() const {
  const QSize a = first_->sizeHint();
  const QSize b = second_->sizeHint();
  const int height = wrapped() ? a.height() + b.height() : std::max(a.height(), b.height());
  return {std::max(a.width(), b.width()), height};
}

void TwoRowBar::resizeEvent(QResizeEvent* event) {
  arrange(event->size().width());
  QWidget::resizeEvent(event);
}

void TwoRowBar::arrange(int width) {
  // One row only where neither group has to squeeze its buttons and labels.
  const int oneRow = first_->sizeHint().width() + second_->sizeHint().width();
  const auto direction = width >= oneRow ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
  if (direction == layout_->direction()) return;
  layout_->setDirection(direction);
  layout_->setStretch(1, direction == QBoxLayout::LeftToRight ? 1 : 0);
  // The window gives the bar the height of its rows.
  updateGeometry();
}

}  // namespace tarnwick::app
