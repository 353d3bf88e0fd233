#include "app/set_rows_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "tables/table_ops.h"

namespace tarnwick::app {

SetRowsDialog::SetRowsDialog(const TablesController& controller, ColumnSet hidden, int rowCount,
                             QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Set for Selected Rows"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(tr("%n selected row(s) take the values chosen below.", "", rowCount), this));
  auto* form = new QFormLayout;
  for (const int col : controller.settableColumns(hidden)) {
    Entry entry{col, new QComboBox(this), controller.settableValues(col)};
    entry.box->addItem(tr("leave as it is"));
    const bool box = controller.editorType(col).kind == EditorKind::CheckBox;
    for (const std::string& v : entry.values) {
      // A check box's "1" and "0" read as what they mean.
      entry.box->addItem(box ? (v == kChecked ? tr("ticked") : tr("not ticked"))
                             : (v.empty() ? tr("(none)") : toQt(v)));
    }
    const QString header = toQt(std::string(kColumnHeaders[col]));
    entry.box->setAccessibleName(header);
    form->addRow(header + QLatin1Char(':'), entry.box);
    entries_.push_back(std::move(entry));
  }
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

std::vector<TablesController::ColumnValue> SetRowsDialog::values() const {
  std::vector<TablesController::ColumnValue> chosen;
  for (const Entry& e : entries_) {
    const int i = e.box->currentIndex();
    if (i >= 1) chosen.push_back({e.col, e.values[static_cast<std::size_t>(i - 1)]});
  }
  return chosen;
}

QComboBox* SetRowsDialog::list(int col) const {
  for (const Entry& e : entries_) {
    if (e.col == col) return e.box;
  }
  return nullptr;
}

}  // namespace tarnwick::app
