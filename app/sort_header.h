#pragma once
// The column header of a channel table: button-face sections with silver
// lines, the current cell's column in grey and bold, and every sort key with
// its direction and, when there are several, its order. A click sorts, a
// click with Shift adds a key; the table decides what the click means. The
// first sections can be kept in view when the header scrolls sideways, as
// their table keeps its first columns.

#include <QHeaderView>

#include "tables/channel_table.h"

namespace tarnwick::app {

class SortHeader : public QHeaderView {
  Q_OBJECT

 public:
  SortHeader(const ChannelTable& table, QWidget* parent = nullptr);

  // The section drawn as the current cell's column (-1: none).
  void setCurrentSection(int logicalIndex);

  // The text drawn for a section's sort key: an arrow, and its place among
  // the keys when there are several ("▲1", "▼2"); empty when not a key.
  QString sortMark(int logicalIndex) const;

  // The first `count` sections stay at the left edge when scrolled.
  void setFrozenSections(int count) { frozen_ = count; }
  // One of the first sections, which stay at the left edge.
  bool isFrozen(int logicalIndex) const { return logicalIndex >= 0 && logicalIndex < frozen_; }
  // Their width together; 0 while nothing is scrolled under them.
  int frozenWidth() const;
  // The section shown at a point of the viewport, frozen ones included.
  int sectionAt(int x) const;

 signals:
  // A click on a section, with Shift held or not.
  void sortClicked(int logicalIndex, bool shift);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  QSize sectionSizeFromContents(int logicalIndex) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const ChannelTable& table_;
  int current_ = -1;
  int pressed_ = -1;
  int frozen_ = 0;
};

}  // namespace tarnwick::app
