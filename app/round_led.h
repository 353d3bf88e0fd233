#pragma once
// The port LED: a round lamp, lit or unlit, in a colour given as 0x00BBGGRR.
// It repaints only when a property really changes, and draws with
// antialiasing in device-independent units, so it is sharp at any pixel
// ratio.

#include <QWidget>

namespace tarnwick::app {

class RoundLed : public QWidget {
  Q_OBJECT

 public:
  explicit RoundLed(QWidget* parent = nullptr);

  unsigned colour() const { return colour_; }
  void setColour(unsigned colour);
  bool isOn() const { return on_; }
  void setOn(bool on);

  QSize sizeHint() const override { return {10, 10}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void updateAccessibleName();

  unsigned colour_ = 0x0000FF;  // red
  bool on_ = false;
};

}  // namespace tarnwick::app
