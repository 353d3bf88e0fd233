#pragma once
// Help, "Keyboard Shortcuts": every key of the window in one list. The
// menus' keys are read from the menus themselves, so that the list cannot
// fall behind them; the keys that work inside the tables and the find bar,
// which no menu shows, follow.

#include <QDialog>
#include <QList>
#include <QString>

class QMenuBar;

namespace tarnwick::app {

struct ShortcutRow {
  QString command;  // "Radio > Read Bank"
  QString keys;     // "F5", or several separated by commas
};

// The entries of the menus (and their submenus) that have keys, in menu order.
QList<ShortcutRow> menuShortcuts(const QMenuBar& menus);
// The keys that work in the tables, their cell editors and the find bar.
QList<ShortcutRow> tableShortcuts();

class ShortcutsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ShortcutsDialog(const QMenuBar& menus, QWidget* parent = nullptr);
};

}  // namespace tarnwick::app
