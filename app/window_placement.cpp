#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <vector>

namespace tarnwick::app {

WindowPlacement placementOf(const QWidget& window) {
  const QRect r = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
  WindowPlacement p;
  p.left = r.left();
  p.top = r.top();
  p.width = r.width();
  p.height = r.height();
  p.state = window.isMaximized() ? kWindowMaximised : kWindowNormal;
  return p;
}

void restorePlacement(QWidget& window, const WindowPlacement& stored) {
  std::vector<ScreenRect> screens;
  QList<QScreen*> present = QGuiApplication::screens();
  // The primary screen first: unset values come from it.
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    present.removeAll(primary);
    present.prepend(primary);
  }
  for (const QScreen* screen : present) {
    const QRect r = screen->availableGeometry();
    screens.push_back({r.left(), r.top(), r.width(), r.height()});
  }
  const ScreenRect b = restoredWindowBounds(stored, screens);
  window.setGeometry(b.left, b.top, b.width, b.height);
  if (stored.state == kWindowMaximised) {
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
  }
}

}  // namespace tarnwick::app
