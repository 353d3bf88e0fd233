#pragma once
// The view of one channel table. A row is dragged by its label cell (the
// first column); a left drag over the data cells selects a rectangle for the
// clipboard. Keys: Insert and Delete for rows, Ctrl+C / Ctrl+X / Ctrl+V for
// the selected cells, F2 or typing to edit, Space to tick a box, Tab to the
// next cell, Ctrl+Tab out of the table, the Menu key or Shift+F10 for the
// pop-up menu. A double click on a Frequency cell asks to tune the radio
// instead of editing. The "#" and Frequency columns stay in view when the
// table is scrolled sideways.

#include <QBasicTimer>
#include <QColor>
#include <QTableView>
#include <functional>

#include "rig/channel_record.h"
#include "tables/cell_block.h"
#include "tables/column_fit.h"

class QMenu;

namespace tarnwick {
class RowFilter;
}

namespace tarnwick::app {

class CellDelegate;
class ChannelTableModel;
class SortHeader;

class ChannelTableView : public QTableView {
  Q_OBJECT

 public:
  // Pixels the mouse moves with the button held before a row drag starts.
  static constexpr int kDragThreshold = 5;

  explicit ChannelTableView(ChannelTableModel& model, QWidget* parent = nullptr);

  ChannelTableModel& channelModel() const { return model_; }

  // The frozen columns are found and drawn where they are shown.
  QModelIndex indexAt(const QPoint& pos) const override;
  QRect visualRect(const QModelIndex& index) const override;
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  SortHeader& sortHeader() const { return *header_; }

  // Columns a radio model hides; they keep their cells and widths.
  void setHiddenColumns(ColumnSet hidden);
  ColumnSet hiddenColumns() const { return hidden_; }
  // Widths the user dragged, by column index; the other columns fit their
  // content in the current font. The last shown column stretches and has
  // none.
  KeptColumnWidths userColumnWidths() const;
  void setUserColumnWidths(const KeptColumnWidths& widths);
  // Fits the columns without a user width to their content and, where the
  // room allows, their captions.
  void fitColumns();

  // Grid lines between the data cells; the label column keeps its lines.
  void setHorizontalLines(bool on);
  void setVerticalLines(bool on);
  bool horizontalLines() const;
  bool verticalLines() const;

  // The font and text colour of cells and headers; rows get the height that
  // goes with the font.
  void setTableFont(const QFont& font, const QColor& colour);
  // Every row one height (resizing one row sets all).
  void setRowHeight(int pixels);

  // Makes the cell current and marks it as the one Find went to, until
  // another cell becomes current.
  void markFound(const QModelIndex& index);
  QModelIndex foundIndex() const { return found_; }

  // The current cell as a table row (1..N), 0 when there is none.
  int currentTableRow() const;
  // The selected rectangle, or the current cell alone.
  CellBlock selectedBlock() const;
  // More than the current cell is selected: the selection is shown.
  bool hasClipboardSelection() const;

  // The filter that says which rows are shown; none shows every row.
  void setRowFilter(const RowFilter* filter) { filter_ = filter; }
  const RowFilter* rowFilter() const { return filter_; }
  // The table rows first..last that the view shows.
  std::vector<int> shownRows(int first, int last) const;
  // The shown rows with a selected cell, in order; the current row when
  // nothing is selected.
  std::vector<int> selectedRows() const;
  // When the selection is more than one row of the column alone: its shown
  // rows, which a text typed into the column goes to. Empty otherwise.
  std::vector<int> columnSelectionRows(int col) const;

  // Row and clipboard commands; each reports the core's refusal as it comes.
  void insertRow();
  void deleteRow();
  void copy();
  void cut();
  void paste();
  // Sorts by column `col` alone, in the direction given (as the header does
  // on a click); nothing for no column.
  void sortBy(int col, bool descending);

  // Opens the pop-up menu (shared by both tables) at a point of the viewport;
  // the flag tells whether a key opened it.
  using PopupOpener = std::function<void(ChannelTableView&, const QPoint&, bool byKeyboard)>;
  void setPopupMenu(PopupOpener open) { openPopup_ = std::move(open); }

 signals:
  // A double click on a Frequency cell: the radio may be tuned to the row.
  void frequencyDoubleClicked(int tableRow);
  // The view became the one the shared commands act on.
  void activated(ChannelTableView* view);

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

 private:
  // The shown columns from position `position` on, as column indexes.
  std::vector<int> columnsFrom(int logicalColumn) const;
  bool nearRowBorder(const QPoint& pos, int& row) const;
  void startRowDrag(int modelRow);
  // Opens the pop-up menu over the current cell (a key asked for it).
  void popupAtCurrentCell();
  void trackUserWidths();
  int lastShownColumn() const;
  // Draws the frozen columns over the cells scrolled under them.
  void paintFrozenColumns(const QRect& area);
  // Width of the table's cell area, with room kept for a vertical scroll bar.
  int availableWidth() const;

  ChannelTableModel& model_;
  CellDelegate* delegate_;
  SortHeader* header_;
  ColumnSet hidden_;
  PopupOpener openPopup_;
  KeptColumnWidths userWidths_{};
  bool fitting_ = false;  // widths set by the program, not dragged
  const RowFilter* filter_ = nullptr;

  // A press on a label cell that may become a row drag, or a row resize.
  int pressRow_ = -1;
  QPoint pressPos_;
  int resizeRow_ = -1;
  QModelIndex pressIndex_;
  // A click on the current cell opens its editor once a double click can no
  // longer come; a key typed before then opens it at once instead.
  QBasicTimer clickEdit_;
  QPersistentModelIndex clickEditIndex_;
  bool doubleClicked_ = false;
  QPersistentModelIndex found_;
};

}  // namespace tarnwick::app
