#pragma once
// The find bar under the tables: a text field whose Return and F3 go to the
// next cell holding the text, Shift+F3 to the one before, round the table;
// Escape closes it. It finds nothing itself: it asks for the next cell and
// shows "not found" when there is none.

#include <QWidget>

class QLabel;
class QLineEdit;

namespace tarnwick::app {

class FindBar : public QWidget {
  Q_OBJECT

 public:
  explicit FindBar(QWidget* parent = nullptr);

  QLineEdit& field() const { return *field_; }
  QLabel& result() const { return *result_; }
  // Opens the bar with the field's text selected.
  void open();
  // Shows whether the last search found a cell.
  void showFound(bool found);

 signals:
  void findRequested(const QString& text, bool forward);
  void closed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLineEdit* field_;
  QLabel* result_;
};

}  // namespace tarnwick::app
