#include <QApplication>
#include <QIcon>

#include "app/accessibility.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The name screen readers, the task bar and the desktop show. The
  // settings keep their older folder and file (QtSettingsStore names them).
  QApplication::setOrganizationName(QStringLiteral("Morvane-soft"));
  QApplication::setApplicationName(QStringLiteral("Tarnwick"));
  QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("tarnwick"));
  tarnwick::app::installAccessHelpers();
  tarnwick::app::MainWindow window;
  window.setWindowIcon(QIcon::fromTheme(QStringLiteral("tarnwick")));
  window.restoreWindowPlacement();
  window.show();
  return app.exec();
}
