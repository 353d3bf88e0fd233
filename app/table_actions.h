#pragma once
// The commands both tables share: the pop-up menu's entries and the ones the
// window's menus show too. Row and clipboard commands act on the table the
// user last worked in; the grid-line entries are the same actions as the
// Options menu's, so their ticks always agree.

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

  // Further entries for the pop-up menu (undo and redo), after the rows.
  void addPopupActions(QList<QAction*> actions) { extra_ += actions; }

  // Opens the pop-up menu over a point of the view's viewport.
  void popup(ChannelTableView& view, const QPoint& viewportPos);
  // The pop-up menu itself, for tests.
  QMenu& menu() { return *menu_; }

 signals:
  void activeViewChanged(ChannelTableView* view);

 private:
  QAction* make(const QString& text, std::function<void()> run);
  void setActive(ChannelTableView* view);

  ChannelTableView& file_;
  ChannelTableView& rig_;
  ChannelTableView* active_;
  QMenu* menu_;
  QList<QAction*> extra_;
};

}  // namespace tarnwick::app
