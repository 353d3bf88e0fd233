#include "app/round_led.h"

#include <QPainter>

#include "app/qt_colour.h"
#include "app/qt_text.h"
#include "shell/led_look.h"

namespace tarnwick::app {

RoundLed::RoundLed(QWidget* parent) : QWidget(parent) {
  setFixedSize(10, 10);
  updateAccessibleName();
}

void RoundLed::setColour(unsigned colour) {
  if (colour == colour_) return;
  colour_ = colour;
  updateAccessibleName();
  update();
}

void RoundLed::setOn(bool on) {
  if (on == on_) return;
  on_ = on;
  updateAccessibleName();
  update();
}

void RoundLed::updateAccessibleName() {
  setAccessibleName(toQt(ledAccessibleName(colour_, on_)));
}

void RoundLed::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  // The outline's pen is centred on the edge: inset by half its width so
  // that the whole ellipse stays inside the control.
  p.setPen(QPen(Qt::black, 1.0));
  p.setBrush(toQColor(ledFillColour(colour_, on_)));
  p.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
  const LedRect s = ledSpotRect(width());
  const QColor spot = toQColor(ledSpotColour(on_));
  // A spot of a few pixels stays crisp without antialiasing.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(spot);
  p.drawEllipse(QRectF(s.left, s.top, s.right - s.left, s.bottom - s.top));
}

}  // namespace tarnwick::app
