#pragma once
// Paints the cells of a channel table and gives each cell the editor the
// core's editing rules choose: a line edit with its length limit and name
// completion, or a drop-down list with its preselected item. Check boxes are
// painted flat and toggled through the model. What it paints comes from the
// model, the style option and the look its view gives it.

#include <QColor>
#include <QStyledItemDelegate>

class QCompleter;
class QStringListModel;

namespace tarnwick::app {

class ChannelTableModel;

class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CellDelegate(ChannelTableModel& model, QObject* parent = nullptr);

  // Side of a check box, in pixels.
  static constexpr int kCheckBoxSize = 15;
  // The check box of a cell, centred in its rectangle.
  static QRect checkBoxRect(const QRect& cell);
  // Where a cell's text is drawn inside the cell.
  static QRect textRect(const QRect& cell) { return cell.adjusted(2, 0, -3, -1); }
  // The text a cell shows in `width` pixels: the whole text when it fits; a
  // number that does not fit shows "###" (cut, it would read as another
  // number), any other text is cut with an ellipsis.
  static QString shownText(const QString& text, const QFontMetrics& fm, int width, bool number);

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

  // Grid lines between the data cells; the label column keeps its lines.
  void setHorizontalLines(bool on) { horizontalLines_ = on; }
  void setVerticalLines(bool on) { verticalLines_ = on; }
  bool horizontalLines() const { return horizontalLines_; }
  bool verticalLines() const { return verticalLines_; }
  // The colour of cell texts and ticks.
  void setTextColour(const QColor& colour) { textColour_ = colour; }
  // Whether selected cells are painted as selected in the paint under way
  // (a selection of one cell is not shown).
  void setSelectionShown(bool on) { selectionShown_ = on; }

  // Whether the next list editor drops its list down at once (it was opened
  // by a click, not by a key).
  void setOpenListAtOnce(bool on) { openListAtOnce_ = on; }

  // The names that complete typing in this table, sorted without regard to
  // case so that each keystroke is a binary search.
  QStringListModel* nameModel() const;

 signals:
  // The paste key in an open list: the list has closed, changing nothing,
  // and the clipboard is for the cells.
  void pasteRequested();

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  void paintCheckBox(QPainter* painter, const QRect& cell, const QPalette& palette, bool ticked,
                     bool enabled) const;

  ChannelTableModel& model_;
  bool horizontalLines_ = true;
  bool verticalLines_ = true;
  QColor textColour_ = Qt::black;
  bool selectionShown_ = false;
  bool openListAtOnce_ = false;
  mutable QStringListModel* names_ = nullptr;
  mutable std::size_t namesSeen_ = 0;
};

}  // namespace tarnwick::app
