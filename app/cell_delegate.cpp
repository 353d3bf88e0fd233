#include "app/cell_delegate.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QStringListModel>
#include <QTimer>
#include <QToolTip>
#include <QValidator>
#include <algorithm>

#include "app/qt_text.h"
#include "app/table_colours.h"
#include "app/table_model.h"
#include "app/table_view.h"

namespace tarnwick::app {
namespace {

// The longest memory name of the radios we know (the IC-7300MK2's).
constexpr int kLongestNameLength = 16;

// Width of the frame around the current cell, in pixels.
constexpr int kFocusFrameWidth = 2;

// Pixels around a drop-down item's text on each side.
constexpr int kListItemMargin = 4;

// Columns of numbers: labels, frequencies, tones.
bool isNumberColumn(int col) {
  return col == colNumber || col == colFrequency || col == colTxFrequency ||
         col == colRepeaterTone || col == colToneSquelch;
}

// Refuses characters that have no Latin-1 byte, so that a cell never holds
// a "?" the user did not type.
class Latin1Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return isLatin1(input) ? Acceptable : Invalid;
  }
};

// A list editor whose item counts only when the user picked one.
constexpr char kPickedProperty[] = "tarnwickPicked";
// An editor already given its starting text. The view gives an open editor
// the cell's data again whenever the row changes (the marks of typing do),
// which would undo the typing.
constexpr char kStartedProperty[] = "tarnwickStarted";

bool lessNoCase(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

}  // namespace

CellDelegate::CellDelegate(ChannelTableModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QRect CellDelegate::checkBoxRect(const QRect& cell) {
  QRect box(0, 0, kCheckBoxSize, kCheckBoxSize);
  box.moveCenter(cell.center());
  return box;
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  const bool label = index.column() == colNumber;
  const bool locked = model_.table().inputLocked();
  const QRect r = option.rect;
  // The view that paints: its palette as it stands and its current row.
  const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
  const QPalette& palette = view != nullptr ? view->palette() : option.palette;
  painter->save();

  const bool currentLabel = label && view != nullptr && index.row() == view->currentIndex().row();
  const bool current = !label && view != nullptr && index == view->currentIndex();
  const auto* channelView = qobject_cast<const ChannelTableView*>(view);
  // The cell Find went to is shown as a selection is, in the palette's own
  // colours, so that it stands out in a high-contrast palette too.
  const bool found = channelView != nullptr && index == channelView->foundIndex();
  const bool selected =
      !label && ((option.state.testFlag(QStyle::State_Selected) && selectionShown_) || found);
  QColor background =
      label ? option.palette.color(QPalette::Button) : option.palette.color(QPalette::Base);
  if (currentLabel) background = kCurrentFixedCellColour;
  if (selected) background = palette.color(QPalette::Highlight);
  painter->fillRect(r, background);

  // Grid lines on the right and bottom edge of each cell; the label column
  // keeps both whatever the options say.
  painter->setPen(kGridLineColour);
  if (label || verticalLines_) painter->drawLine(r.topRight(), r.bottomRight());
  if (label || horizontalLines_) painter->drawLine(r.bottomLeft(), r.bottomRight());

  const QVariant check = index.data(Qt::CheckStateRole);
  if (check.isValid()) {
    paintCheckBox(painter, r, palette, check.value<Qt::CheckState>() == Qt::Checked, !locked);
  } else {
    QFont f = option.font;
    if (currentLabel) f.setBold(true);
    painter->setFont(f);
    QColor ink = textColour_;
    if (selected) ink = palette.color(QPalette::HighlightedText);
    if (locked && !label) ink = option.palette.color(QPalette::Disabled, QPalette::Text);
    painter->setPen(ink);
    const QRect textRect = CellDelegate::textRect(r);
    painter->setClipRect(textRect);
    const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    const QString text = shownText(index.data(Qt::DisplayRole).toString(), QFontMetrics(f),
                                   textRect.width(), isNumberColumn(index.column()));
    painter->drawText(textRect, static_cast<int>(align), text);
  }
  // The current cell wears a frame in the palette's text colour, which
  // stands out against its cells in any palette, high contrast included.
  if (current) {
    painter->setClipping(false);
    painter->setPen(
        QPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text),
             kFocusFrameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter->setBrush(Qt::NoBrush);
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->drawRect(QRectF(r).adjusted(1, 1, -1, -1));
  }
  painter->restore();
}

void CellDelegate::paintCheckBox(QPainter* painter, const QRect& cell, const QPalette& palette,
                                 bool ticked, bool enabled) const {
  const QRect box = checkBoxRect(cell);
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(kCheckBoxFrameColour);
  painter->setBrush(palette.color(enabled ? QPalette::Base : QPalette::Button));
  painter->drawRect(box.adjusted(0, 0, -1, -1));
  if (!ticked) return;
  painter->setRenderHint(QPainter::Antialiasing, true);
  QPen pen(enabled ? textColour_ : palette.color(QPalette::Disabled, QPalette::Text));
  pen.setWidthF(2.0);
  painter->setPen(pen);
  const QPointF o = box.topLeft();
  const QPointF tick[] = {o + QPointF(3.5, 7.5), o + QPointF(6.0, 10.5), o + QPointF(11.5, 4.0)};
  painter->drawPolyline(tick, 3);
}

QString CellDelegate::shownText(const QString& text, const QFontMetrics& fm, int width,
                                bool number) {
  if (fm.horizontalAdvance(text) <= width) return text;
  if (number) return QStringLiteral("###");
  return fm.elidedText(text, Qt::ElideRight, width);
}

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
  const TablesController& controller = model_.controller();
  const EditorType type = controller.editorType(index.column());
  if (type.kind == EditorKind::Text) {
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setValidator(new Latin1Validator(edit));
    // Names complete; a frequency offered a name would only be in the way.
    if (isFrequencyColumn(index.column())) return edit;
    auto* completer = new QCompleter(nameModel(), edit);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    // Thousands of names in the list: rows of one height lay out at once.
    if (auto* list = qobject_cast<QListView*>(completer->popup())) list->setUniformItemSizes(true);
    // As wide as the longest names, not only the column ("40M C…").
    completer->popup()->setMinimumWidth(edit->fontMetrics().averageCharWidth() *
                                        (kLongestNameLength + 4));
    edit->setCompleter(completer);
    return edit;
  }
  if (type.kind == EditorKind::List) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->setMaxVisibleItems(8);
    // A list that drops down below the cell: styles that open it as a menu
    // over the cell show every item and ignore the eight.
    combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    combo->setFrame(false);
    // A list takes no paste: the paste key is the cells' (see eventFilter).
    // The dropped-down list has the keys while it is open.
    combo->view()->installEventFilter(const_cast<CellDelegate*>(this));
    // A pick ends the edit at once, as leaving the cell would.
    connect(combo, &QComboBox::activated, combo, [this, combo] {
      combo->setProperty(kPickedProperty, true);
      auto* self = const_cast<CellDelegate*>(this);
      emit self->commitData(combo);
      emit self->closeEditor(combo, QAbstractItemDelegate::NoHint);
    });
    return combo;
  }
  return nullptr;
}

bool CellDelegate::eventFilter(QObject* object, QEvent* event) {
  // The list editor itself, or its dropped-down list inside it.
  QComboBox* list = qobject_cast<QComboBox*>(object);
  for (QObject* o = object; list == nullptr && o != nullptr; o = o->parent()) {
    list = qobject_cast<QComboBox*>(o);
  }
  if (list != nullptr && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
    list->hidePopup();
    // Nothing was picked, so closing the list leaves the cell as it was.
    emit closeEditor(list, QAbstractItemDelegate::NoHint);
    emit pasteRequested();
    return true;
  }
  // The dropped-down list is no editor: the base class must not end an edit
  // for its keys.
  if (list != nullptr && object != list) return false;
  return QStyledItemDelegate::eventFilter(object, event);
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (editor->property(kStartedProperty).toBool()) return;
  editor->setProperty(kStartedProperty, true);
  ChannelTableModel& model = model_;
  TablesController& controller = model.controller();
  ChannelTable& table = model.table();
  const int row = ChannelTableModel::tableRow(index);
  const int col = index.column();
  if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
    // A limit below the text would cut it (a name from another radio's
    // file, a long Tx text): the limit starts at the text's length and
    // shrinks towards the column's own as the user shortens it, so typing
    // never makes a text longer than both.
    const QString start = toQt(controller.startEdit(table, col, row));
    const int limit = controller.textLimit(table, col, row);
    edit->setMaxLength(std::max(limit, static_cast<int>(start.size())));
    edit->setText(start);
    connect(edit, &QLineEdit::textEdited, edit,
            [&model, &controller, &table, edit, limit, col, row](const QString& t) {
              edit->setMaxLength(std::max(limit, static_cast<int>(t.size())));
              if (const auto text = toLatin1(t)) {
                model.guarded([&] {
                  controller.editTextChanged(table, col, row, *text);
                  return true;
                });
              }
            });
    return;
  }
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    int widest = 0;
    const QFontMetrics fm(combo->view()->font());
    for (const std::string& item : controller.choices(col)) {
      combo->addItem(toQt(item));
      widest = std::max(widest, fm.horizontalAdvance(combo->itemText(combo->count() - 1)));
    }
    // The list drops down as wide as its longest item, however narrow the
    // cell: its items are cut nowhere.
    const int scrollBar = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo);
    combo->view()->setMinimumWidth(widest + scrollBar + 4 * kListItemMargin);
    combo->setCurrentIndex(controller.preselected(table, col, row));
    // Once the editor stands in its cell; not at all if it is gone by then.
    if (openListAtOnce_) QTimer::singleShot(0, combo, [combo] { combo->showPopup(); });
  }
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
  if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
    // The editor opened the edit; ending it here keeps it one step.
    model_.finishEdit(index, edit->text());
  } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    // Leaving a list without picking changes nothing.
    if (combo->property(kPickedProperty).toBool()) {
      model->setData(index, combo->currentText(), Qt::EditRole);
    }
  }
}

void CellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
  model_.controller().editorClosed();
  QStyledItemDelegate::destroyEditor(editor, index);
}

void CellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex&) const {
  editor->setGeometry(option.rect.adjusted(0, 0, -1, -1));
}

bool CellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                               const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (!index.data(Qt::CheckStateRole).isValid() ||
      !index.flags().testFlag(Qt::ItemIsUserCheckable)) {
    return false;
  }
  bool toggle = false;
  if (event->type() == QEvent::MouseButtonRelease) {
    const auto* me = static_cast<QMouseEvent*>(event);
    toggle = me->button() == Qt::LeftButton &&
             checkBoxRect(option.rect).adjusted(-2, -2, 2, 2).contains(me->position().toPoint());
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    // The second click of a double click is a click too.
    const auto* me = static_cast<QMouseEvent*>(event);
    return checkBoxRect(option.rect).contains(me->position().toPoint());
  } else if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    toggle = key == Qt::Key_Space || key == Qt::Key_Select;
  }
  if (!toggle) return false;
  const bool ticked = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
  return model->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

bool CellDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                             const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (event->type() != QEvent::ToolTip || !index.isValid()) {
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  }
  QString tip = index.data(Qt::ToolTipRole).toString();
  // The rig table shows a text that does not fit its cell whole, and both
  // tables a number shown as "###".
  if (model_.table().isRig() || isNumberColumn(index.column())) {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty() &&
        QFontMetrics(option.font).horizontalAdvance(text) > textRect(option.rect).width()) {
      tip = text;
    }
  }
  QToolTip::showText(event->globalPos(), tip, view, option.rect);
  return true;
}

QStringListModel* CellDelegate::nameModel() const {
  if (names_ == nullptr) names_ = new QStringListModel(const_cast<CellDelegate*>(this));
  const NameList& names = model_.table().names();
  const std::vector<std::string>& items = names.items();
  if (items.size() < namesSeen_) {
    names_->setStringList({});
    namesSeen_ = 0;
  }
  if (items.size() == namesSeen_) return names_;
  // Names only grow between clears: sort in the new ones.
  QStringList list = names_->stringList();
  if (items.size() - namesSeen_ > 64) {
    for (std::size_t i = namesSeen_; i < items.size(); ++i) list.append(toQt(items[i]));
    std::sort(list.begin(), list.end(), lessNoCase);
  } else {
    for (std::size_t i = namesSeen_; i < items.size(); ++i) {
      const QString name = toQt(items[i]);
      list.insert(std::lower_bound(list.begin(), list.end(), name, lessNoCase), name);
    }
  }
  names_->setStringList(list);
  namesSeen_ = items.size();
  return names_;
}

}  // namespace tarnwick::app
