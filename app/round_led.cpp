#include "app/round_led.h"

#include <QEvent>
#include <QPainter>

#include "app/qt_colour.h"
#include "app/qt_text.h"
#include "shell/led_look.h"

namespace tarnwick::app {
namespace {

// Pixels between the lamp and its words.
constexpr int kLabelGap = 4;

}  // namespace

RoundLed::RoundLed(QWidget* parent) : QWidget(parent) {
  updateWords();
  fitSize();
}

void RoundLed::setColour(unsigned colour) {
  if (colour == colour_) return;
  colour_ = colour;
  updateWords();
  update();
}

void RoundLed::setOn(bool on) {
  if (on == on_) return;
  on_ = on;
  updateWords();
  update();
}

QString RoundLed::label() const {
  return toQt(ledWords(colour_, on_).label);
}

void RoundLed::updateWords() {
  const LedWords words = ledWords(colour_, on_);
  setAccessibleName(toQt(words.name));
  setToolTip(toQt(words.tip));
}

QSize RoundLed::sizeHint() const {
  // As wide as the longer of the words, so that the tool bar does not
  // shift when the state changes.
  const QFontMetrics fm(font());
  int words = 0;
  for (const unsigned colour : {0x00FF00u, 0x0000FFu}) {
    words = std::max(words, fm.horizontalAdvance(toQt(ledWords(colour, true).label)));
  }
  return {kLampSize + kLabelGap + words, std::max(kLampSize, fm.height())};
}

void RoundLed::fitSize() {
  setFixedSize(sizeHint());
}

void RoundLed::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) fitSize();
  QWidget::changeEvent(event);
}

QRect RoundLed::lampRect() const {
  return {0, (height() - kLampSize) / 2, kLampSize, kLampSize};
}

void RoundLed::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect lamp = lampRect();
  p.translate(lamp.topLeft());
  p.setRenderHint(QPainter::Antialiasing);
  // The outline's pen is centred on the edge: inset by half its width so
  // that the whole ellipse stays inside the lamp.
  p.setPen(QPen(Qt::black, 1.0));
  p.setBrush(toQColor(ledFillColour(colour_, on_)));
  p.drawEllipse(QRectF(0.5, 0.5, kLampSize - 1.0, kLampSize - 1.0));
  const LedRect s = ledSpotRect(kLampSize);
  const QColor spot = toQColor(ledSpotColour(on_));
  // A spot of a few pixels stays crisp without antialiasing.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(spot);
  p.drawEllipse(QRectF(s.left, s.top, s.right - s.left, s.bottom - s.top));
  p.resetTransform();
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(rect().adjusted(kLampSize + kLabelGap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
             label());
}

}  // namespace tarnwick::app
