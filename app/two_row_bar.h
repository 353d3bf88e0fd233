#pragma once
// A tool bar of two groups: side by side where the window is wide enough,
// the second below the first where it is not, so that a small screen or a
// large font never pushes a control of the bar off the window.

#include <QWidget>

class QBoxLayout;

namespace tarnwick::app {

class TwoRowBar : public QWidget {
 public:
  TwoRowBar(QWidget* first, QWidget* second, QWidget* parent = nullptr);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool wrapped() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void arrange(int width);

  QBoxLayout* layout_;
  QWidget* first_;
  QWidget* second_;
};

}  // namespace tarnwick::app
