#include <QApplication>
#include <QIcon>

#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Morvane-soft"));
  QApplication::setApplicationName(QStringLiteral("rigbench"));
  QApplication::setDesktopFileName(QStringLiteral("tarnwick"));
  tarnwick::app::MainWindow window;
  window.setWindowIcon(QIcon::fromTheme(QStringLiteral("tarnwick")));
  window.restoreWindowPlacement();
  window.show();
  return app.exec();
}
