#include "app/table_filter.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

#include "app/accessibility.h"
#include "app/qt_text.h"
#include "app/table_model.h"
#include "app/table_view.h"

namespace tarnwick::app {

TableFilter::TableFilter(ChannelTableView& view, QWidget* bar)
    : QObject(bar),
      view_(view),
      rows_(view.channelModel().table()),
      field_(new QLineEdit(bar)),
      count_(new QLabel(bar)),
      pending_(new QTimer(this)) {
  const bool rig = view.channelModel().table().isRig();
  field_->setAccessibleName(rig ? tr("Filter rig table") : tr("Filter permanent file"));
  field_->setPlaceholderText(tr("Filter"));
  field_->setClearButtonEnabled(true);
  nameClearButton(field_, tr("Clear filter"));
  field_->setMaximumWidth(160);
  // Wide enough to read what is typed; a crowded tool bar squeezed it to "Fi…".
  field_->setMinimumWidth(field_->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
  // Announced when it changes: a screen reader hears how many rows remain.
  setAccessibleCaption(count_, rig ? tr("Rig rows shown") : tr("Permanent file rows shown"));
  pending_->setSingleShot(true);
  pending_->setInterval(0);
  connect(pending_, &QTimer::timeout, this, &TableFilter::applyToView);
  connect(field_, &QLineEdit::textChanged, this, &TableFilter::textEdited);
  rows_.setChangedHandler([this] { scheduleApply(); });
  view_.setRowFilter(&rows_);
}

TableFilter::~TableFilter() {
  view_.setRowFilter(nullptr);
}

void TableFilter::textEdited(const QString& text) {
  // Characters the cells cannot hold match no cell.
  const std::optional<std::string> latin1 = toLatin1(text);
  rows_.setHiddenColumns(view_.hiddenColumns());
  rows_.setText(latin1 ? *latin1 : std::string("\x01", 1));
  // The keystroke's repaint shows the new rows at once.
  applyToView();
}

void TableFilter::setHideEmpty(bool on) {
  rows_.setHideEmpty(on);
  applyToView();
}

void TableFilter::scheduleApply() {
  if (!pending_->isActive()) pending_->start();
}

void TableFilter::applyToView() {
  pending_->stop();
  const int rows = view_.model()->rowCount();
  // Only rows whose state differs are touched. The row header works out
  // where a row it hides or shows stands on screen, which costs a pass over
  // every row after the last change: not while it takes no updates. Nor
  // does the view hear of each row: it lays its rows out once at the end.
  QHeaderView& rowHeader = *view_.verticalHeader();
  bool changed = false;
  rowHeader.setUpdatesEnabled(false);
  {
    const QSignalBlocker quiet(rowHeader);
    for (int r = 0; r < rows; ++r) {
      const bool hide = !rows_.isShown(r + 1);
      if (view_.isRowHidden(r) != hide) {
        view_.setRowHidden(r, hide);
        changed = true;
      }
    }
  }
  rowHeader.setUpdatesEnabled(true);
  if (changed) view_.doItemsLayout();
  view_.viewport()->update();
  showCount();
}

void TableFilter::showCount() {
  const bool active = rows_.active();
  if (!active && !wasActive_) return;
  wasActive_ = active;
  const int total = view_.channelModel().table().dataRowCount();
  count_->setText(active ? tr("%1 of %2 rows").arg(rows_.shownCount()).arg(total) : QString());
}

int TableFilter::hiddenMarkedRows() const {
  const ChannelTable& table = rows_.table();
  int n = 0;
  for (int r = 1; r < table.rowCount(); ++r) {
    if (!rows_.isShown(r) && table.cell(colChanged, r) == kChecked) ++n;
  }
  return n;
}

}  // namespace tarnwick::app
