#include "app/table_actions.h"

#include <QAction>
#include <QMenu>

#include "app/table_model.h"
#include "app/table_view.h"
#include "rig/channel_record.h"

namespace tarnwick::app {

TableActions::TableActions(TablesController& controller, ChannelTableView& file,
                           ChannelTableView& rig, QWidget* window)
    : QObject(window), file_(file), rig_(rig), active_(&file), menu_(new QMenu(window)) {
  // Mark All / None act on the rig table whichever table the menu is on.
  markAll = make(tr("Mark &All as Changed"), [this, &controller] {
    rig_.channelModel().guarded([&] {
      controller.markAllChanged();
      return true;
    });
  });
  markNone = make(tr("Mark &None as Changed"), [this, &controller] {
    rig_.channelModel().guarded([&] {
      controller.markNoneChanged();
      return true;
    });
  });
  font = make(tr("&Font..."), nullptr);
  horizontalLines = make(tr("Show &horizontal gridlines"), nullptr);
  verticalLines = make(tr("Show &vertical gridlines"), nullptr);
  for (QAction* a : {horizontalLines, verticalLines}) {
    a->setCheckable(true);
    a->setChecked(true);
  }
  connect(horizontalLines, &QAction::toggled, this, [this](bool on) {
    file_.setHorizontalLines(on);
    rig_.setHorizontalLines(on);
  });
  connect(verticalLines, &QAction::toggled, this, [this](bool on) {
    file_.setVerticalLines(on);
    rig_.setVerticalLines(on);
  });

  // Shown with their keys; the keys themselves are the views' (only while no
  // cell editor is open).
  insertRow = make(tr("&Insert Row"), [this] { active_->insertRow(); });
  deleteRow = make(tr("&Delete Row"), [this] { active_->deleteRow(); });
  cut = make(tr("Cu&t"), [this] { active_->cut(); });
  copy = make(tr("&Copy"), [this] { active_->copy(); });
  paste = make(tr("&Paste"), [this] { active_->paste(); });
  setForSelected =
      make(tr("Set for Se&lected Rows..."), [this] { emit setForSelectedRequested(); });
  const std::pair<QAction*, QKeySequence> keys[] = {{insertRow, QKeySequence(Qt::Key_Insert)},
                                                    {deleteRow, QKeySequence(Qt::Key_Delete)},
                                                    {cut, QKeySequence::Cut},
                                                    {copy, QKeySequence::Copy},
                                                    {paste, QKeySequence::Paste}};
  for (const auto& [action, key] : keys) {
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
  }
  sortAscending = make(tr("Sort &Ascending"),
                       [this] { active_->sortBy(active_->currentIndex().column(), false); });
  sortDescending = make(tr("Sort &Descending"),
                        [this] { active_->sortBy(active_->currentIndex().column(), true); });
  sortReset = make(tr("&Reset Order (#)"), [this] { active_->sortBy(colNumber, false); });
  const QList<QAction*> sorts{sortAscending, sortDescending, sortReset};
  sortMenu_ = makeSortMenu(window, sorts);
  QList<QAction*> popupSorts;
  for (QAction* a : sorts) popupSorts << popupEntry(a);
  popupSortMenu_ = makeSortMenu(menu_, popupSorts);

  for (ChannelTableView* view : {&file_, &rig_}) {
    connect(view, &ChannelTableView::activated, this, &TableActions::setActive);
    view->setPopupMenu([this](ChannelTableView& v, const QPoint& pos, bool byKeyboard) {
      popup(v, pos, byKeyboard);
    });
  }
}

QAction* TableActions::make(const QString& text, std::function<void()> run) {
  auto* action = new QAction(text, this);
  if (run) connect(action, &QAction::triggered, this, std::move(run));
  return action;
}

QMenu* TableActions::makeSortMenu(QWidget* parent, const QList<QAction*>& entries) {
  auto* menu = new QMenu(tr("&Sort by Column"), parent);
  menu->addActions(entries);
  connect(menu, &QMenu::aboutToShow, this, [this] {
    updateSortActions();
    for (QAction* a : {sortAscending, sortDescending, sortReset}) popupEntry(a);
  });
  return menu;
}

void TableActions::updateSortActions() {
  ChannelTableModel& model = active_->channelModel();
  const bool sortable = model.controller().canSort(model.table());
  const bool hasColumn = active_->currentIndex().isValid();
  sortAscending->setEnabled(sortable && hasColumn);
  sortDescending->setEnabled(sortable && hasColumn);
  sortReset->setEnabled(sortable);
}

void TableActions::setActive(ChannelTableView* view) {
  if (active_ == view) return;
  active_ = view;
  emit activeViewChanged(view);
}

void TableActions::popup(ChannelTableView& view, const QPoint& viewportPos, bool byKeyboard) {
  setActive(&view);
  // Row commands need a row; a locked table takes no change at all.
  const bool hasRow = view.currentTableRow() > 0;
  const bool mayChange = view.channelModel().controller().mayChange(view.channelModel().table());
  for (QAction* a : {insertRow, deleteRow, cut, paste, setForSelected}) {
    a->setEnabled(hasRow && mayChange);
  }
  copy->setEnabled(hasRow);
  // Mark All / None change the rig table, whichever table the menu is on.
  const bool rigFree = !rig_.channelModel().table().inputLocked();
  markAll->setEnabled(rigFree);
  markNone->setEnabled(rigFree);

  menu_->setAccessibleName(tr("%1 commands").arg(view.accessibleName()));
  menu_->clear();
  QAction* sortEntry = popupSortMenu_->menuAction();
  const QList<QAction*> groups[] = {
      {markAll, markNone},
      {font, horizontalLines, verticalLines},
      QList<QAction*>{insertRow, deleteRow, setForSelected} + rowExtra_,
      {cut, copy, paste},
      {sortEntry},
      extra_};
  for (const QList<QAction*>& group : groups) {
    if (group.isEmpty()) continue;
    if (!menu_->isEmpty()) menu_->addSeparator();
    for (QAction* a : group) menu_->addAction(a == sortEntry ? a : popupEntry(a));
  }
  menu_->popup(view.viewport()->mapToGlobal(viewportPos));
  if (byKeyboard) menu_->setActiveAction(popupEntry(markAll));
}

QAction* TableActions::popupEntry(QAction* shared) {
  QAction*& entry = popupEntries_[shared];
  if (entry == nullptr) {
    entry = new QAction(this);
    entry->setShortcutContext(Qt::WidgetShortcut);
    connect(entry, &QAction::triggered, shared, &QAction::trigger);
  }
  entry->setText(popupTexts_.value(shared, shared->text()));
  entry->setShortcut(shared->shortcut());
  entry->setCheckable(shared->isCheckable());
  entry->setChecked(shared->isChecked());
  entry->setEnabled(shared->isEnabled());
  return entry;
}

}  // namespace tarnwick::app
