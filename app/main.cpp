#include <QApplication>
#include <QIcon>

#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Morvane-soft"));
  QApplication::setApplicationName(QStringLiteral("rigbench"));
  QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("tarnwick"));
  tarnwick::app::MainWindow window;
  window.setWindowIcon(QIcon::fromTheme(QStringLiteral("tarnwick")));
  window.restoreWindowPlacement();
  window.show();
  return app.exec();
}
