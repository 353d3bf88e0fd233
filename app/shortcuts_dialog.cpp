#include "app/shortcuts_dialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarnwick::app {
namespace {

QString plainText(const QAction& action) {
  QString text = action.text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
  if (text.endsWith(QStringLiteral("..."))) text.chop(3);
  return text.trimmed();
}

void addMenu(const QMenu& menu, const QString& path, QList<ShortcutRow>& rows) {
  for (const QAction* a : menu.actions()) {
    if (a->isSeparator() || !a->isVisible()) continue;
    const QString command = path + QStringLiteral(" > ") + plainText(*a);
    if (a->menu() != nullptr) {
      addMenu(*a->menu(), command, rows);
      continue;
    }
    QStringList keys;
    for (const QKeySequence& key : a->shortcuts()) keys << key.toString(QKeySequence::NativeText);
    if (!keys.isEmpty()) rows.push_back({command, keys.join(QStringLiteral(", "))});
  }
}

}  // namespace

QList<ShortcutRow> menuShortcuts(const QMenuBar& menus) {
  QList<ShortcutRow> rows;
  for (const QAction* top : menus.actions()) {
    if (top->menu() != nullptr) addMenu(*top->menu(), plainText(*top), rows);
  }
  return rows;
}

QList<ShortcutRow> tableShortcuts() {
  const auto tr = [](const char* text) { return ShortcutsDialog::tr(text); };
  return {
      {tr("Menus: open a menu, pick an entry"), tr("Alt+underlined letter, then the letter")},
      {tr("Table: edit the current cell"), tr("F2, or start typing")},
      {tr("Table: keep the edit"), tr("Enter")},
      {tr("Table: leave the cell as it was"), tr("Esc")},
      {tr("Table: tick or clear a check box"), tr("Space")},
      {tr("Table: next or previous cell"), tr("Tab, Shift+Tab")},
      {tr("Table: select cells"), tr("Shift+Arrow keys")},
      {tr("Table: leave the table"), tr("Ctrl+Tab, Ctrl+Shift+Tab")},
      {tr("Table: the pop-up menu"), tr("Menu, Shift+F10")},
      {tr("Find bar: next match"), tr("Enter, F3")},
      {tr("Find bar: previous match"), tr("Shift+F3")},
      {tr("Find bar: close"), tr("Esc")},
  };
}

ShortcutsDialog::ShortcutsDialog(const QMenuBar& menus, QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Keyboard Shortcuts"));
  const QList<ShortcutRow> rows = menuShortcuts(menus) + tableShortcuts();
  auto* table = new QTableWidget(static_cast<int>(rows.size()), 2, this);
  table->setAccessibleName(tr("Keyboard shortcuts"));
  table->setHorizontalHeaderLabels({tr("Command"), tr("Keys")});
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setWordWrap(false);
  for (int r = 0; r < rows.size(); ++r) {
    table->setItem(r, 0, new QTableWidgetItem(rows[r].command));
    table->setItem(r, 1, new QTableWidgetItem(rows[r].keys));
  }
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table);
  layout->addWidget(buttons);
  resize(table->horizontalHeader()->length() + 60, 520);
}

}  // namespace tarnwick::app
