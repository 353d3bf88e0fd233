#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Morvane-soft"));
  QApplication::setApplicationName(QStringLiteral("rigbench"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tarnwick"));
  QApplication::setDesktopFileName(QStringLiteral("tarnwick"));
  tarnwick::app::Tqdlform window;
  window.show();
  return app.exec();
}
