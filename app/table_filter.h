#pragma once
// The filter field of a table's tool bar and the rows it leaves in the view.
// The core's RowFilter decides which rows are shown; this hides the others
// in the view, so that a model row is always the same table row and every
// edit, drag and undo lands where it did unfiltered. The view is brought
// up to date once per turn of the event loop, however many changes a long
// operation reports.

#include <QObject>
#include <QString>

#include "tables/row_filter.h"

class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace tarnwick::app {

class ChannelTableView;

class TableFilter : public QObject {
  Q_OBJECT

 public:
  // The field and its count label are made as children of `bar`.
  TableFilter(ChannelTableView& view, QWidget* bar);
  ~TableFilter() override;

  RowFilter& rows() { return rows_; }
  const RowFilter& rows() const { return rows_; }
  QLineEdit& field() const { return *field_; }
  QLabel& countLabel() const { return *count_; }

  void setHideEmpty(bool on);
  // Hides and shows the view's rows as the filter says, now.
  void applyToView();
  // How many marked (Changed) rows the filter hides.
  int hiddenMarkedRows() const;

 private:
  void textEdited(const QString& text);
  void scheduleApply();
  void showCount();

  ChannelTableView& view_;
  RowFilter rows_;
  QLineEdit* field_;
  QLabel* count_;
  QTimer* pending_;
  bool wasActive_ = false;
};

}  // namespace tarnwick::app
