#include "app/table_model.h"

#include <QMimeData>
#include <algorithm>
#include <exception>
#include <vector>

#include "app/qt_text.h"
#include "tables/column_layout.h"

namespace tarnwick::app {
namespace {

Qt::Alignment alignmentOf(int col) {
  switch (columnAlignment(col)) {
    case CellAlignment::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case CellAlignment::Centre:
      return Qt::AlignCenter;
    case CellAlignment::Left:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

QByteArray tableTag(const ChannelTable& table) {
  return table.isRig() ? "rig" : "file";
}

}  // namespace

ChannelTableModel::ChannelTableModel(ChannelTable& table, TablesController& controller,
                                     QObject* parent)
    : QAbstractTableModel(parent), table_(table), controller_(controller) {
  table_.addObserver(&forwarder_);
}

ChannelTableModel::~ChannelTableModel() {
  table_.removeObserver(&forwarder_);
}

void ChannelTableModel::setFrequencyNote(const QString& note) {
  if (note == frequencyNote_) return;
  frequencyNote_ = note;
  if (rowCount() > 0) {
    emit dataChanged(index(0, colFrequency), index(rowCount() - 1, colFrequency),
                     {Qt::ToolTipRole});
  }
}

int ChannelTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.dataRowCount();
}

int ChannelTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChannelTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
  const int row = tableRow(index);
  const int col = index.column();
  const bool box = isCheckBoxColumn(col) && table_.hasCheckBoxes(row);
  switch (role) {
    case Qt::DisplayRole:
      // A check box shows its state, not its text ("2" shows unticked).
      if (box) return {};
      if (isFrequencyColumn(col)) {
        return toQt(shownFrequency(table_.cell(col, row), controller_.frequencyUnit()));
      }
      return toQt(table_.cell(col, row));
    case Qt::EditRole:
      return toQt(table_.cell(col, row));
    case Qt::CheckStateRole:
      if (!box) return {};
      return table_.cell(col, row) == kChecked ? Qt::Checked : Qt::Unchecked;
    case Qt::AccessibleTextRole:
      if (!box) return {};
      return table_.cell(col, row) == kChecked ? QStringLiteral("ticked")
                                               : QStringLiteral("not ticked");
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(alignmentOf(col));
    case Qt::ToolTipRole:
      if (col == colFrequency && !frequencyNote_.isEmpty()) {
        return toQt(columnHint(col)) + QLatin1Char('\n') + frequencyNote_;
      }
      return toQt(columnHint(col));
    case Qt::AccessibleDescriptionRole:
      return toQt(columnHint(col));
    default:
      return {};
  }
}

QVariant ChannelTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    // The label column is a column of its own; the vertical header (hidden)
    // still names each row for assistive technology.
    if (role == Qt::DisplayRole && section >= 0 && section < table_.dataRowCount()) {
      return toQt(table_.cell(colNumber, section + 1));
    }
    return {};
  }
  if (section < 0 || section >= kColumnCount) return {};
  switch (role) {
    case Qt::DisplayRole:
      return toQt(table_.cell(section, 0));
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
      return toQt(columnHint(section));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(alignmentOf(section));
    default:
      return {};
  }
}

Qt::ItemFlags ChannelTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  const int row = tableRow(index);
  const int col = index.column();
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const bool mayChange = controller_.mayChange(table_);
  if (mayChange) f |= Qt::ItemIsDropEnabled;
  if (col == colNumber) return mayChange ? f | Qt::ItemIsDragEnabled : f;
  if (isCheckBoxColumn(col)) {
    if (mayChange && table_.hasCheckBoxes(row)) f |= Qt::ItemIsUserCheckable;
    return f;
  }
  if (controller_.canEditCell(table_, col, row)) f |= Qt::ItemIsEditable;
  return f;
}

bool ChannelTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.row() >= rowCount()) return false;
  const int row = tableRow(index);
  const int col = index.column();
  if (role == Qt::CheckStateRole) {
    if (!isCheckBoxColumn(col) || !controller_.mayChange(table_)) return false;
    const bool ticked = table_.cell(col, row) == kChecked;
    const bool wanted = value.value<Qt::CheckState>() == Qt::Checked;
    if (ticked == wanted) return true;
    return guarded([&] {
      controller_.toggleCheckBox(table_, col, row);
      return true;
    });
  }
  if (role != Qt::EditRole || !controller_.canEditCell(table_, col, row)) return false;
  const std::optional<std::string> text = toLatin1(value.toString());
  if (!text) return false;
  switch (controller_.editorType(col).kind) {
    case EditorKind::Text:
      // Without an editor of its own the change opens the edit here.
      guarded([&] {
        controller_.startEdit(table_, col, row);
        return true;
      });
      return finishEdit(index, value.toString());
    case EditorKind::List: {
      const std::vector<std::string> items = controller_.choices(col);
      if (std::find(items.begin(), items.end(), *text) == items.end()) return false;
      const std::vector<int> rows = fillRows_ ? fillRows_(col) : std::vector<int>();
      return guarded([&] {
        if (std::find(rows.begin(), rows.end(), row) != rows.end()) {
          controller_.pickListItemForRows(table_, col, rows, *text);
        } else {
          controller_.pickListItem(table_, col, row, *text);
        }
        return true;
      });
    }
    default:
      return false;
  }
}

// Changed always; Select unless the radio keeps select groups.
bool ChannelTableModel::isCheckBoxColumn(int col) const {
  return controller_.editorType(col).kind == EditorKind::CheckBox;
}

void ChannelTableModel::frequencyUnitChanged() {
  if (rowCount() == 0) return;
  for (const int col : {colFrequency, colTxFrequency}) {
    emit dataChanged(index(0, col), index(rowCount() - 1, col), {Qt::DisplayRole});
  }
}

void ChannelTableModel::editorsChanged() {
  if (rowCount() > 0) emit dataChanged(index(0, colSelect), index(rowCount() - 1, colSelect));
}

bool ChannelTableModel::finishEdit(const QModelIndex& index, const QString& value) {
  const std::optional<std::string> text = toLatin1(value);
  if (!text || !index.isValid()) return false;
  const int row = tableRow(index);
  const int col = index.column();
  const std::vector<int> rows = fillRows_ ? fillRows_(col) : std::vector<int>();
  return guarded([&] {
    if (std::find(rows.begin(), rows.end(), row) != rows.end()) {
      controller_.commitEditToRows(table_, col, row, rows, *text);
    } else {
      controller_.commitEdit(table_, col, row, *text);
    }
    return true;
  });
}

bool ChannelTableModel::guarded(const std::function<bool()>& operation) {
  try {
    return operation();
  } catch (const std::exception& e) {
    if (errorHandler_) errorHandler_(QString::fromLocal8Bit(e.what()));
  }
  return false;
}

QStringList ChannelTableModel::mimeTypes() const {
  return {QString::fromLatin1(kRowMimeType)};
}

QMimeData* ChannelTableModel::mimeData(const QModelIndexList& indexes) const {
  if (indexes.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kRowMimeType), tableTag(table_));
  // Other programs get the row as text.
  const int row = tableRow(indexes.first());
  data->setText(
      toQt(controller_.copyCells(table_, {row, row, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}})));
  return data;
}

ChannelTable* ChannelTableModel::dropSource(const QMimeData* data) const {
  if (data == nullptr || !data->hasFormat(QString::fromLatin1(kRowMimeType))) return nullptr;
  const QByteArray tag = data->data(QString::fromLatin1(kRowMimeType));
  ChannelTable& file = controller_.fileTable();
  ChannelTable& rig = controller_.rigTable();
  ChannelTable* source = tag == tableTag(rig) ? &rig : tag == tableTag(file) ? &file : nullptr;
  // Only the drag the controller saw start.
  return source == controller_.dragSource() ? source : nullptr;
}

int ChannelTableModel::dropRow(int row, const QModelIndex& parent) const {
  if (parent.isValid()) return tableRow(parent);
  return row >= 0 ? row + 1 : -1;
}

bool ChannelTableModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                        const QModelIndex& parent) const {
  const ChannelTable* source = dropSource(data);
  return source != nullptr && controller_.acceptsDrop(table_, *source, dropRow(row, parent));
}

bool ChannelTableModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                     int column, const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  ChannelTable* source = dropSource(data);
  const int target = dropRow(row, parent);
  return guarded([&] { return controller_.drop(table_, *source, target); });
}

// --- Forwarding the table's notifications -----------------------------------

void ChannelTableModel::Forwarder::cellsChanged(int firstRow, int lastRow, int firstCol,
                                                int lastCol) {
  emit m_.dataChanged(m_.index(firstRow - 1, firstCol), m_.index(lastRow - 1, lastCol));
  // The vertical header names rows by their labels.
  if (firstCol == colNumber) emit m_.headerDataChanged(Qt::Vertical, firstRow - 1, lastRow - 1);
}

void ChannelTableModel::Forwarder::headerChanged() {
  emit m_.headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void ChannelTableModel::Forwarder::rowsAboutToBeInserted(int first, int last) {
  m_.beginInsertRows({}, first - 1, last - 1);
}

void ChannelTableModel::Forwarder::rowsInserted(int, int) {
  m_.endInsertRows();
}

void ChannelTableModel::Forwarder::rowsAboutToBeRemoved(int first, int last) {
  m_.beginRemoveRows({}, first - 1, last - 1);
}

void ChannelTableModel::Forwarder::rowsRemoved(int, int) {
  m_.endRemoveRows();
}

void ChannelTableModel::Forwarder::rowsAboutToBeMoved(int first, int last, int destination) {
  m_.beginMoveRows({}, first - 1, last - 1, {}, destination - 1);
}

void ChannelTableModel::Forwarder::rowsMoved(int, int, int) {
  m_.endMoveRows();
}

void ChannelTableModel::Forwarder::layoutAboutToBeChanged() {
  emit m_.layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ChannelTableModel::Forwarder::rowsPermuted(int first, std::span<const int> order) {
  m_.movePersistentRows(first, order);
}

void ChannelTableModel::Forwarder::layoutChanged() {
  emit m_.layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ChannelTableModel::Forwarder::modelAboutToBeReset() {
  m_.beginResetModel();
}

void ChannelTableModel::Forwarder::modelReset() {
  m_.endResetModel();
}

void ChannelTableModel::Forwarder::modifiedChanged(bool modified) {
  emit m_.tableModifiedChanged(modified);
}

void ChannelTableModel::Forwarder::inputLockChanged(bool locked) {
  // Flags change with the lock: editors, check boxes and drags.
  if (m_.rowCount() > 0) {
    emit m_.dataChanged(m_.index(0, 0), m_.index(m_.rowCount() - 1, kColumnCount - 1),
                        {Qt::CheckStateRole});
  }
  emit m_.tableLockChanged(locked);
}

void ChannelTableModel::Forwarder::sortIndicatorChanged() {
  emit m_.sortKeysChanged();
}

void ChannelTableModel::movePersistentRows(int first, std::span<const int> order) {
  // Persistent indexes (the current cell, a selection, an open editor)
  // follow their rows: old row order[i] is now row first + i.
  const QModelIndexList persistent = persistentIndexList();
  if (persistent.isEmpty()) return;
  const int n = static_cast<int>(order.size());
  std::vector<int> newRow(order.size());
  for (int i = 0; i < n; ++i) {
    newRow[static_cast<std::size_t>(order[static_cast<std::size_t>(i)] - first)] = first + i;
  }
  QModelIndexList to;
  to.reserve(persistent.size());
  for (const QModelIndex& from : persistent) {
    const int r = tableRow(from) - first;
    to.append(r >= 0 && r < n ? index(newRow[static_cast<std::size_t>(r)] - 1, from.column())
                              : from);
  }
  changePersistentIndexList(persistent, to);
}

}  // namespace tarnwick::app
