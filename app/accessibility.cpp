#include "app/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace tarnwick::app {
namespace {

constexpr char kCaptionProperty[] = "tarnwickAccessibleCaption";

class CaptionedLabel : public QAccessibleWidget {
 public:
  explicit CaptionedLabel(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    const QString caption = widget()->property(kCaptionProperty).toString();
    const QString value = static_cast<const QLabel*>(widget())->text();
    return value.isEmpty() ? caption : caption + QLatin1String(": ") + value;
  }
};

QAccessibleInterface* captionedLabels(const QString& className, QObject* object) {
  if (className != QLatin1String("QLabel") || object == nullptr ||
      !object->property(kCaptionProperty).isValid()) {
    return nullptr;
  }
  return new CaptionedLabel(static_cast<QLabel*>(object));
}

bool takesTab(const QWidget* w) {
  return (w->focusPolicy() & Qt::TabFocus) != 0;
}

}  // namespace

void setAccessibleCaption(QLabel* label, const QString& caption) {
  // Qt keeps one interface per object, made when first asked for: the
  // factory is in place before any captioned label is shown.
  static const bool installed = [] {
    QAccessible::installFactory(captionedLabels);
    return true;
  }();
  (void)installed;
  label->setProperty(kCaptionProperty, caption);
}

void addHiddenCaption(QWidget* control, const QString& caption) {
  auto* label = new QLabel(caption, control->parentWidget());
  label->setBuddy(control);
  label->hide();
}

namespace {

// The area itself when it takes Tab, else its children's stops in order,
// through the groups a bar is made of.
void collectTabStops(QWidget* area, QList<QWidget*>& stops) {
  if (takesTab(area)) {
    stops << area;
    return;
  }
  for (QWidget* w : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (takesTab(w)) {
      stops << w;
    } else if (w->layout() != nullptr) {
      collectTabStops(w, stops);
    }
  }
}

}  // namespace

void chainTabOrder(const QList<QWidget*>& areas) {
  QList<QWidget*> stops;
  for (QWidget* area : areas) collectTabStops(area, stops);
  for (qsizetype i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1], stops[i]);
}

}  // namespace tarnwick::app
