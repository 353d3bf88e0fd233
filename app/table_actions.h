#pragma once
// The commands both tables share: the pop-up menu's entries and the ones the
// window's menus show too. Row and clipboard commands act on the table the
// user last worked in; the grid-line entries are the same actions as the
// Options menu's, so their ticks always agree.

#include <QHash>
#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace tarnwick {
class TablesController;
}

namespace tarnwick::app {

class ChannelTableView;

class TableActions : public QObject {
  Q_OBJECT

 public:
  TableActions(TablesController& controller, ChannelTableView& file, ChannelTableView& rig,
               QWidget* window);

  ChannelTableView& activeView() const { return *active_; }

  QAction* markAll;
  QAction* markNone;
  QAction* font;
  QAction* horizontalLines;
  QAction* verticalLines;
  QAction* insertRow;
  QAction* deleteRow;
  QAction* cut;
  QAction* copy;
  QAction* paste;
  // "Set for Selected Rows...": the window asks for the values.
  QAction* setForSelected;
  // "&Sort by Column": the current cell's column, or back to the order of
  // the "#" column.
  QAction* sortAscending;
  QAction* sortDescending;
  QAction* sortReset;
  // The Edit menu's "&Sort by Column" submenu.
  QMenu* sortMenu() const { return sortMenu_; }

  // Further entries for the pop-up menu (undo and redo), after the rows.
  void addPopupActions(QList<QAction*> actions) { extra_ += actions; }
  // A further row command for the pop-up menu (Tune to Row), with the
  // rows', under a text with a letter free in the pop-up.
  void addPopupRowAction(QAction* action, const QString& popupText) {
    rowExtra_ += action;
    popupTexts_[action] = popupText;
  }

  // Opens the pop-up menu over a point of the view's viewport. Opened by a
  // key, its first entry is highlighted, so that a screen reader reads it.
  void popup(ChannelTableView& view, const QPoint& viewportPos, bool byKeyboard = false);
  // The pop-up menu itself, for tests.
  QMenu& menu() { return *menu_; }

 signals:
  void activeViewChanged(ChannelTableView* view);
  void setForSelectedRequested();

 private:
  QAction* make(const QString& text, std::function<void()> run);
  // The pop-up's entry for a shared action, in the shared action's state.
  // Qt's accessibility knows one menu entry per action, under the menu that
  // showed it first: an entry shared with the Edit menu would be read as
  // the Edit menu's, so the pop-up has entries of its own.
  QAction* popupEntry(QAction* shared);
  void setActive(ChannelTableView* view);
  // The sort entries go off where the table cannot be sorted now.
  void updateSortActions();
  // A "&Sort by Column" submenu holding `entries`.
  QMenu* makeSortMenu(QWidget* parent, const QList<QAction*>& entries);

  ChannelTableView& file_;
  ChannelTableView& rig_;
  ChannelTableView* active_;
  QMenu* menu_;
  QMenu* sortMenu_;
  QMenu* popupSortMenu_;
  QList<QAction*> extra_;
  QList<QAction*> rowExtra_;
  QHash<QAction*, QAction*> popupEntries_;
  QHash<QAction*, QString> popupTexts_;
};

}  // namespace tarnwick::app
