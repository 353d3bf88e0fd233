#pragma once
// What a screen reader would say for each control a user can reach.

#include <QAbstractButton>
#include <QAccessible>
#include <QWidget>

namespace tarnwick::testing {

// The controls under `top` that take keyboard focus and have no accessible
// name, by object name (or class name).
inline QStringList unnamedControls(QWidget& top) {
  QStringList unnamed;
  for (QWidget* w : top.findChildren<QWidget*>()) {
    if (w->focusPolicy() == Qt::NoFocus || w->isHidden()) continue;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    if (!a || a->text(QAccessible::Name).trimmed().isEmpty()) {
      unnamed << (w->objectName().isEmpty() ? QString(w->metaObject()->className())
                                            : w->objectName());
    }
  }
  return unnamed;
}

}  // namespace tarnwick::testing
