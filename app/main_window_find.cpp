// Find, the filter fields, Hide Empty Memories and Set for Selected Rows:
// the window's share is to ask, move the cursor and report; the core
// decides which rows match and what a row may take.

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

#include "app/find_bar.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/set_rows_dialog.h"
#include "app/table_actions.h"
#include "app/table_filter.h"
#include "app/table_model.h"
#include "app/table_view.h"

namespace tarnwick::app {

void MainWindow::buildFindAndFilter(QMenu* edit, QMenu* options) {
  auto* holder = new QToolBar(tr("Find"), this);
  holder->setObjectName(QStringLiteral("findToolBar"));
  holder->setMovable(false);
  holder->toggleViewAction()->setVisible(false);
  findBar_ = new FindBar(holder);
  holder->addWidget(findBar_);
  addToolBar(Qt::BottomToolBarArea, holder);
  holder->hide();
  connect(findBar_, &FindBar::findRequested, this,
          [this](const QString&, bool forward) { guarded([&] { findNext(forward); }); });
  connect(findBar_, &FindBar::closed, this, [this, holder] {
    holder->hide();
    tableActions_->activeView().setFocus(Qt::OtherFocusReason);
  });

  edit->addSeparator();
  QAction* find = edit->addAction(tr("&Find..."), this, [this, holder] {
    holder->show();
    findBar_->open();
  });
  find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  QAction* next =
      edit->addAction(tr("Find Ne&xt"), this, [this] { guarded([&] { findNext(true); }); });
  next->setShortcut(QKeySequence(Qt::Key_F3));
  QAction* previous =
      edit->addAction(tr("Find Pre&vious"), this, [this] { guarded([&] { findNext(false); }); });
  previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
  edit->addSeparator();
  edit->addAction(tableActions_->setForSelected);
  connect(tableActions_, &TableActions::setForSelectedRequested, this,
          [this] { guarded([this] { setForSelectedRows(); }); });

  hideEmpty_ = options->addAction(tr("Hide &Empty Memories"));
  hideEmpty_->setCheckable(true);
  connect(hideEmpty_, &QAction::toggled, this, [this](bool on) { rigFilter_->setHideEmpty(on); });
}

bool MainWindow::findNext(bool forward) {
  const std::optional<std::string> text = toLatin1(findBar_->field().text());
  if (!text || text->empty()) {
    findBar_->showFound(!text);
    return false;
  }
  ChannelTableView& view = tableActions_->activeView();
  ChannelTableModel& model = view.channelModel();
  // The columns in the order shown; check boxes hold no text to find.
  std::vector<int> columns;
  for (int pos = 0; pos < view.horizontalHeader()->count(); ++pos) {
    const int col = view.horizontalHeader()->logicalIndex(pos);
    if (!view.isColumnHidden(col) && isSearchedColumn(col)) columns.push_back(col);
  }
  const QModelIndex current = view.currentIndex();
  const CellPosition from =
      current.isValid()
          ? CellPosition{ChannelTableModel::tableRow(current), current.column()}
          : CellPosition{forward ? model.table().dataRowCount() : 1, forward ? kColumnCount : -1};
  const std::optional<CellPosition> hit =
      findCell(model.table(), *text, from, columns, forward, view.rowFilter());
  findBar_->showFound(hit.has_value());
  if (!hit) return false;
  const QModelIndex index = model.index(hit->row - 1, hit->col);
  view.markFound(index);
  return true;
}

void MainWindow::setForSelectedRows() {
  ChannelTableView& view = tableActions_->activeView();
  ChannelTableModel& model = view.channelModel();
  ChannelTable& table = model.table();
  const std::vector<int> rows = view.selectedRows();
  if (rows.empty() || !controller_.mayChange(table)) return;
  SetRowsDialog dialog(controller_, view.hiddenColumns(), static_cast<int>(rows.size()), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::vector<TablesController::ColumnValue> values = dialog.values();
  if (values.empty()) return;
  TablesController::SetForRowsResult result;
  model.guarded([&] {
    result = controller_.setForRows(table, rows, values);
    return true;
  });
  statusBar()->showMessage(tr("%n row(s) changed.", "", static_cast<int>(result.changed.size())),
                           10000);
  if (result.refused.empty()) return;
  QStringList labels;
  for (const int r : result.refused) {
    const std::string& label = table.cell(colNumber, r);
    labels << (label.empty() ? QString::number(r) : toQt(label));
  }
  queueBox(tr("Set for Selected Rows"),
           tr("These rows hold no channel or cannot take a value, and were left as they were: %1")
               .arg(labels.join(QStringLiteral(", "))),
           BoxKind::Warning);
}

}  // namespace tarnwick::app
