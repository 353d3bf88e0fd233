#include "app/table_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "app/cell_delegate.h"
#include "app/qt_text.h"
#include "app/sort_header.h"
#include "app/table_model.h"
#include "tables/column_layout.h"
#include "tables/row_filter.h"

namespace tarnwick::app {
namespace {

// A press this close to the bottom edge of a label cell resizes the rows.
constexpr int kRowBorderGrip = 3;

}  // namespace

ChannelTableView::ChannelTableView(ChannelTableModel& model, QWidget* parent)
    : QTableView(parent),
      model_(model),
      delegate_(new CellDelegate(model, this)),
      header_(new SortHeader(model.table(), this)) {
  connect(delegate_, &CellDelegate::pasteRequested, this, &ChannelTableView::paste);
  setHorizontalHeader(header_);
  // Sideways by pixels: a column scrolls under the frozen ones bit by bit,
  // never a whole column at once out of sight.
  header_->setFrozenSections(colFrequency + 1);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setModel(&model_);
  setItemDelegate(delegate_);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(4);
  setShowGrid(false);
  setWordWrap(false);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  setTabKeyNavigation(true);
  setSortingEnabled(false);
  // Drops go through the model's acceptance rules, onto a row, never between.
  setDragEnabled(false);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDragDropOverwriteMode(true);
  setDropIndicatorShown(true);
  setDefaultDropAction(Qt::CopyAction);
  setMouseTracking(true);
  // A text typed or picked over a one-column selection of rows goes to all.
  model.setFillRows([this](int col) { return columnSelectionRows(col); });
  setAccessibleName(model.table().isRig() ? QStringLiteral("Rig table")
                                          : QStringLiteral("Permanent file"));
  trackUserWidths();
  connect(header_, &SortHeader::sortClicked, this, [this](int section, bool shift) {
    ChannelTable& table = model_.table();
    model_.guarded([&] { return model_.controller().clickSort(table, section, shift); });
  });
  connect(&model_, &ChannelTableModel::sortKeysChanged, header_,
          [this] { header_->viewport()->update(); });
  connect(&model_, &ChannelTableModel::tableLockChanged, this, [this](bool locked) {
    header_->setEnabled(!locked);
    viewport()->update();
  });
}

void ChannelTableView::setHorizontalLines(bool on) {
  delegate_->setHorizontalLines(on);
  viewport()->update();
}

void ChannelTableView::setVerticalLines(bool on) {
  delegate_->setVerticalLines(on);
  viewport()->update();
}

bool ChannelTableView::horizontalLines() const {
  return delegate_->horizontalLines();
}

bool ChannelTableView::verticalLines() const {
  return delegate_->verticalLines();
}

void ChannelTableView::setTableFont(const QFont& font, const QColor& colour) {
  // Widths the user chose keep their size in characters.
  const int oldDigit = QFontMetrics(this->font()).horizontalAdvance(QLatin1Char('0'));
  const int newDigit = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
  for (auto& w : userWidths_) {
    if (w) w = scaledColumnWidth(*w, oldDigit, newDigit);
  }
  setFont(font);
  header_->setFont(font);
  delegate_->setTextColour(colour);
  QPalette p = header_->palette();
  p.setColor(QPalette::ButtonText, colour);
  header_->setPalette(p);
  fitColumns();
  viewport()->update();
}

void ChannelTableView::setRowHeight(int pixels) {
  verticalHeader()->setDefaultSectionSize(std::max(pixels, 4));
}

int ChannelTableView::currentTableRow() const {
  const QModelIndex c = currentIndex();
  return c.isValid() ? ChannelTableModel::tableRow(c) : 0;
}

CellBlock ChannelTableView::selectedBlock() const {
  const QItemSelection selection = selectionModel()->selection();
  if (selection.isEmpty()) {
    const QModelIndex c = currentIndex();
    if (!c.isValid()) return {};
    return {ChannelTableModel::tableRow(c), ChannelTableModel::tableRow(c), {c.column()}};
  }
  // The rectangle around the selected ranges: a few ranges, however many cells.
  int top = selection.first().top(), bottom = selection.first().bottom();
  int left = selection.first().left(), right = selection.first().right();
  for (const QItemSelectionRange& range : selection) {
    top = std::min(top, range.top());
    bottom = std::max(bottom, range.bottom());
    left = std::min(left, range.left());
    right = std::max(right, range.right());
  }
  CellBlock block{top + 1, bottom + 1, {}};
  for (int col = left; col <= right; ++col) {
    if (!isColumnHidden(col)) block.columns.push_back(col);
  }
  return block;
}

bool ChannelTableView::hasClipboardSelection() const {
  const QItemSelectionModel* sm = selectionModel();
  if (sm == nullptr || !sm->hasSelection()) return false;
  const QItemSelection s = sm->selection();
  return s.size() > 1 || (s.size() == 1 && (s.first().height() > 1 || s.first().width() > 1));
}

void ChannelTableView::paintEvent(QPaintEvent* event) {
  // Worked out once per paint, not once per cell.
  delegate_->setSelectionShown(hasClipboardSelection());
  QTableView::paintEvent(event);
  paintFrozenColumns(event->rect());
}

std::vector<int> ChannelTableView::columnsFrom(int logicalColumn) const {
  std::vector<int> cols;
  for (int col = std::max(logicalColumn, 0); col < kColumnCount; ++col) {
    if (!isColumnHidden(col)) cols.push_back(col);
  }
  return cols;
}

void ChannelTableView::insertRow() {
  const int row = currentTableRow();
  if (row < 1) return;
  const int col = currentIndex().column();
  ChannelTable& table = model_.table();
  // The cursor stays on the new empty row, ready to be typed into.
  if (model_.guarded([&] { return model_.controller().insertRow(table, row); })) {
    setCurrentIndex(model_.index(row - 1, col));
  }
}

void ChannelTableView::deleteRow() {
  const int row = currentTableRow();
  if (row < 1) return;
  ChannelTable& table = model_.table();
  model_.guarded([&] { return model_.controller().deleteRow(table, row); });
}

std::vector<int> ChannelTableView::shownRows(int first, int last) const {
  if (filter_ != nullptr) return filter_->shownRows(first, last);
  std::vector<int> rows;
  for (int r = std::max(first, 1); r <= last && r <= model_.rowCount(); ++r) rows.push_back(r);
  return rows;
}

std::vector<int> ChannelTableView::selectedRows() const {
  std::vector<int> rows;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    const std::vector<int> part = shownRows(range.top() + 1, range.bottom() + 1);
    rows.insert(rows.end(), part.begin(), part.end());
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (rows.empty() && currentTableRow() > 0) rows.push_back(currentTableRow());
  return rows;
}

std::vector<int> ChannelTableView::columnSelectionRows(int col) const {
  const QItemSelection selection = selectionModel()->selection();
  for (const QItemSelectionRange& range : selection) {
    if (range.left() != col || range.right() != col) return {};
  }
  std::vector<int> rows = selectedRows();
  if (rows.size() < 2) return {};
  return rows;
}

void ChannelTableView::copy() {
  const CellBlock block = selectedBlock();
  if (block.empty()) return;
  const std::vector<int> rows = shownRows(block.firstRow, block.lastRow);
  QApplication::clipboard()->setText(
      toQt(model_.controller().copyCells(model_.table(), rows, block.columns)));
}

void ChannelTableView::cut() {
  const CellBlock block = selectedBlock();
  if (block.empty()) return;
  const std::vector<int> rows = shownRows(block.firstRow, block.lastRow);
  std::optional<std::string> text;
  ChannelTable& table = model_.table();
  model_.guarded([&] {
    text = model_.controller().cutCells(table, rows, block.columns);
    return text.has_value();
  });
  if (text) QApplication::clipboard()->setText(toQt(*text));
}

void ChannelTableView::paste() {
  const QModelIndex c = currentIndex();
  const CellBlock block = selectedBlock();
  if (!c.isValid() || block.empty()) return;
  // Text the cells cannot hold (characters past Latin-1) is refused whole.
  const std::optional<std::string> text = toLatin1(QApplication::clipboard()->text());
  if (!text) {
    QApplication::beep();
    return;
  }
  ChannelTable& table = model_.table();
  TablesController& controller = model_.controller();
  // One cell over several selected rows of a column fills them all, as
  // spreadsheets do.
  const TextGrid grid = parseTabSeparated(*text);
  const std::vector<int> fill = columnSelectionRows(block.columns.front());
  if (grid.size() == 1 && grid.front().size() == 1 && !fill.empty()) {
    model_.guarded([&] {
      return controller.fillColumn(table, fill, block.columns.front(), grid.front().front());
    });
    return;
  }
  // Lines go onto the rows shown from the top of the selection on.
  std::vector<int> written;
  const std::vector<int> rows = shownRows(block.firstRow, table.rowCount() - 1);
  const std::vector<int> columns = columnsFrom(block.columns.front());
  model_.guarded([&] {
    written = controller.pasteCells(table, rows, columns, *text);
    return !written.empty();
  });
  if (written.empty()) return;
  // Select what was written, so that the user sees where the paste went.
  const int width = std::min<int>(
      static_cast<int>(columns.size()),
      static_cast<int>(std::max_element(grid.begin(), grid.end(), [](const auto& a, const auto& b) {
                         return a.size() < b.size();
                       })->size()));
  const QModelIndex topLeft = model_.index(written.front() - 1, columns.front());
  const QModelIndex bottomRight =
      model_.index(written.back() - 1, columns[static_cast<std::size_t>(std::max(width, 1) - 1)]);
  selectionModel()->select(QItemSelection(topLeft, bottomRight),
                           QItemSelectionModel::ClearAndSelect);
}

void ChannelTableView::sortBy(int col, bool descending) {
  if (col < 0) return;
  ChannelTable& table = model_.table();
  model_.guarded([&] { return model_.controller().sortBy(table, col, descending); });
}

bool ChannelTableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (trigger == DoubleClicked) clickEdit_.stop();
  // A double click on a frequency tunes the radio; it does not edit.
  if (trigger == DoubleClicked && index.column() == colFrequency) return false;
  if (trigger == SelectedClicked) {
    // Qt's own delay swallows the keys typed while it runs: ours gives way
    // to them. The release that ends a double click opens nothing.
    if (QTableView::edit(index, NoEditTriggers, event)) return true;
    if (doubleClicked_ || !(model_.flags(index) & Qt::ItemIsEditable)) return false;
    clickEditIndex_ = index;
    clickEdit_.start(QApplication::doubleClickInterval(), this);
    return true;
  }
  if (QTableView::edit(index, trigger, event)) return true;
  // Typing into a cell that takes nothing would otherwise look like keys lost.
  const bool typed = trigger == AnyKeyPressed && event != nullptr &&
                     !static_cast<QKeyEvent*>(event)->text().trimmed().isEmpty();
  if (index.isValid() && !(model_.flags(index) & Qt::ItemIsEditable) &&
      (typed || trigger == EditKeyPressed || trigger == DoubleClicked)) {
    model_.controller().explainRefusedEdit(model_.table(), index.column(),
                                           ChannelTableModel::tableRow(index));
  }
  return false;
}

void ChannelTableView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  // A key after a click: a typed one opens the editor with itself, any other
  // takes the click's edit back. Shift and the like wait for their key.
  switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
      break;
    default:
      clickEdit_.stop();
  }
  if (event->matches(QKeySequence::Copy)) return copy();
  if (event->matches(QKeySequence::Cut)) return cut();
  if (event->matches(QKeySequence::Paste)) return paste();
  if (event->key() == Qt::Key_Insert && mods == Qt::NoModifier) return insertRow();
  if (event->key() == Qt::Key_Delete && !(mods & (Qt::ShiftModifier | Qt::AltModifier))) {
    return deleteRow();
  }
  if (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier) return popupAtCurrentCell();
  // Tab moves between cells; Ctrl+Tab leaves the table, or a keyboard user
  // could never reach the bars and the other table.
  if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
      (mods & Qt::ControlModifier)) {
    const bool back = event->key() == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
    QWidget::focusNextPrevChild(!back);
    return;
  }
  QTableView::keyPressEvent(event);
}

bool ChannelTableView::nearRowBorder(const QPoint& pos, int& row) const {
  if (header_->sectionAt(pos.x()) != colNumber) return false;
  for (const int y : {pos.y(), pos.y() + kRowBorderGrip}) {
    const int r = rowAt(y - kRowBorderGrip);
    if (r < 0) continue;
    const int bottom = rowViewportPosition(r) + QTableView::rowHeight(r);
    if (std::abs(pos.y() - bottom) <= kRowBorderGrip) {
      row = r;
      return true;
    }
  }
  return false;
}

void ChannelTableView::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  pressRow_ = -1;
  resizeRow_ = -1;
  pressIndex_ = index;
  doubleClicked_ = false;
  clickEdit_.stop();
  emit activated(this);
  if (event->button() != Qt::LeftButton) return QTableView::mousePressEvent(event);

  const bool editorOpen = state() == QAbstractItemView::EditingState;
  TablesController& controller = model_.controller();
  int row = -1;
  if (!editorOpen && nearRowBorder(pos, row)) {
    resizeRow_ = row;
    pressPos_ = pos;
    return;
  }
  if (index.isValid() && index.column() == colNumber) {
    // The label cell carries the row: it starts a drag, not a selection.
    // Shift widens the row selection from the current row, Ctrl adds or
    // takes out one row; a plain press selects the row and may drag it.
    const Qt::KeyboardModifiers mods = event->modifiers();
    const auto rows = QItemSelectionModel::Rows;
    if (mods & Qt::ShiftModifier) {
      const QModelIndex anchor = currentIndex().isValid() ? currentIndex() : index;
      const QItemSelection span(model_.index(std::min(anchor.row(), index.row()), 0),
                                model_.index(std::max(anchor.row(), index.row()), 0));
      selectionModel()->select(span, QItemSelectionModel::ClearAndSelect | rows);
      selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
      return;
    }
    if (mods & Qt::ControlModifier) {
      selectionModel()->setCurrentIndex(index, QItemSelectionModel::Toggle | rows);
      return;
    }
    controller.armDrag(model_.table(), ChannelTableModel::tableRow(index), editorOpen);
    if (controller.dragRow() > 0) {
      pressRow_ = index.row();
      pressPos_ = pos;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | rows);
    return;
  }
  controller.armDrag(model_.table(), 0, editorOpen);
  QTableView::mousePressEvent(event);
}

void ChannelTableView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  int row = -1;
  if (resizeRow_ >= 0) {
    setRowHeight(pos.y() - rowViewportPosition(resizeRow_));
    return;
  }
  if (!(event->buttons() & Qt::LeftButton)) {
    viewport()->setCursor(nearRowBorder(pos, row) ? Qt::SplitVCursor : Qt::ArrowCursor);
  }
  if (pressRow_ >= 0) {
    // The drag runs until the drop; it ends the press.
    if ((event->buttons() & Qt::LeftButton) &&
        (pos - pressPos_).manhattanLength() >= kDragThreshold) {
      startRowDrag(pressRow_);
    }
    return;
  }
  QTableView::mouseMoveEvent(event);
}

void ChannelTableView::startRowDrag(int modelRow) {
  auto* drag = new QDrag(this);
  drag->setMimeData(model_.mimeData({model_.index(modelRow, colNumber)}));
  // A copy as far as Qt knows: what moves is decided by the drop alone, and
  // Qt must not remove the source row on top of it.
  drag->exec(Qt::CopyAction, Qt::CopyAction);
  pressRow_ = -1;
}

void ChannelTableView::mouseReleaseEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  const bool wasRowPress = pressRow_ >= 0 || resizeRow_ >= 0;
  pressRow_ = -1;
  resizeRow_ = -1;
  if (wasRowPress) return;
  QTableView::mouseReleaseEvent(event);
  // A list opens at the first click on its cell.
  if (event->button() == Qt::LeftButton && index.isValid() && index == pressIndex_ &&
      !hasClipboardSelection() &&
      model_.controller().editorType(index.column()).kind == EditorKind::List &&
      state() != QAbstractItemView::EditingState) {
    clickEdit_.stop();
    delegate_->setOpenListAtOnce(true);
    edit(index, AllEditTriggers, event);
    delegate_->setOpenListAtOnce(false);
  }
}

void ChannelTableView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  doubleClicked_ = true;
  clickEdit_.stop();
  if (event->button() == Qt::LeftButton && index.isValid() && index.column() == colFrequency) {
    emit frequencyDoubleClicked(ChannelTableModel::tableRow(index));
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

void ChannelTableView::timerEvent(QTimerEvent* event) {
  if (event->timerId() != clickEdit_.timerId()) return QTableView::timerEvent(event);
  clickEdit_.stop();
  if (clickEditIndex_.isValid() && clickEditIndex_ == currentIndex() && state() != EditingState) {
    QTableView::edit(clickEditIndex_, AllEditTriggers, nullptr);
  }
}

void ChannelTableView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() != QContextMenuEvent::Mouse) return popupAtCurrentCell();
  emit activated(this);
  if (openPopup_) openPopup_(*this, viewport()->mapFrom(this, event->pos()), false);
}

void ChannelTableView::popupAtCurrentCell() {
  emit activated(this);
  if (!openPopup_) return;
  const QRect r = visualRect(currentIndex());
  openPopup_(*this, r.isValid() ? r.center() : QPoint(0, 0), true);
}

void ChannelTableView::focusInEvent(QFocusEvent* event) {
  emit activated(this);
  QTableView::focusInEvent(event);
}

void ChannelTableView::markFound(const QModelIndex& index) {
  setCurrentIndex(index);
  found_ = index;
  scrollTo(index);
  update(index);
}

void ChannelTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (found_.isValid() && found_ != current) {
    update(found_);
    found_ = QPersistentModelIndex();
  }
  QTableView::currentChanged(current, previous);
  header_->setCurrentSection(current.isValid() ? current.column() : -1);
  // The label cells of the old and the new current row.
  if (previous.isValid()) update(model_.index(previous.row(), colNumber));
  if (current.isValid()) update(model_.index(current.row(), colNumber));
}

void ChannelTableView::selectionChanged(const QItemSelection& selected,
                                        const QItemSelection& deselected) {
  QTableView::selectionChanged(selected, deselected);
  // Whether the selection is shown depends on its size as a whole.
  viewport()->update();
}

}  // namespace tarnwick::app
