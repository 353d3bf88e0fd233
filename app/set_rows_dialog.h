#pragma once
// "Set for Selected Rows...": one list per column a radio model keeps a
// fixed set of values for, each starting at "leave as it is". The dialog
// only asks; the controller sets the rows.

#include <QDialog>
#include <vector>

#include "tables/tables_controller.h"

class QComboBox;

namespace tarnwick::app {

class SetRowsDialog : public QDialog {
  Q_OBJECT

 public:
  SetRowsDialog(const TablesController& controller, ColumnSet hidden, int rowCount,
                QWidget* parent = nullptr);

  // The columns the user chose a value for.
  std::vector<TablesController::ColumnValue> values() const;
  // The list of a column, -1 col when it is not offered; for tests.
  QComboBox* list(int col) const;

 private:
  struct Entry {
    int col;
    QComboBox* box;
    std::vector<std::string> values;
  };
  std::vector<Entry> entries_;
};

}  // namespace tarnwick::app
