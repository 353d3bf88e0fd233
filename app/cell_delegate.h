#pragma once
// Paints the cells of a channel table and gives each cell the editor the
// core's editing rules choose: a line edit with its length limit and name
// completion, or a drop-down list with its preselected item. Check boxes are
// painted flat and toggled through the model.

#include <QStyledItemDelegate>

class QCompleter;
class QStringListModel;

namespace tarnwick::app {

class ChannelTableView;

class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CellDelegate(ChannelTableView& view);

  // Side of a check box, in pixels.
  static constexpr int kCheckBoxSize = 15;
  // The check box of a cell, centred in its rectangle.
  static QRect checkBoxRect(const QRect& cell);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  // Every editor that closes ends the cell's edit, left with a new text or not.
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;

  // Whether the next list editor drops its list down at once (it was opened
  // by a click, not by a key).
  void setOpenListAtOnce(bool on) { openListAtOnce_ = on; }

  // The names that complete typing in this table, sorted without regard to
  // case so that each keystroke is a binary search.
  QStringListModel* nameModel() const;

 private:
  void paintCheckBox(QPainter* painter, const QRect& cell, bool ticked, bool enabled) const;

  ChannelTableView& view_;
  bool openListAtOnce_ = false;
  mutable QStringListModel* names_ = nullptr;
  mutable std::size_t namesSeen_ = 0;
};

}  // namespace tarnwick::app
