#pragma once
// The port LED: a round lamp, lit or unlit, in a colour given as 0x00BBGGRR,
// with its state in words beside it ("Link up", "No link"), in its tool tip
// and its accessible name. It repaints only when a property really changes,
// and draws with antialiasing in device-independent units, so it is sharp at
// any pixel ratio.

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

  // Side of the lamp, in pixels.
  static constexpr int kLampSize = 10;
  // Where the lamp is drawn: at the left, centred in the height.
  QRect lampRect() const;
  // The words beside the lamp.
  QString label() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void updateWords();
  void fitSize();

  unsigned colour_ = 0x0000FF;  // red
  bool on_ = false;
};

}  // namespace tarnwick::app
