#pragma once
// The main window in tests: a program run whose settings, log and backups
// live in a folder of its own, and a window started on fresh settings.

#include <QApplication>
#include <QSettings>
#include <QtTest>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "tests/support/temp_folder.h"

namespace tarnwick::apptest {

// Runs the test object in an application named as the program is, with the
// XDG folders of the run, never the user's.
template <typename Test>
int runWindowTests(int argc, char** argv) {
  testing::TempFolder home;
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
    qputenv(var, QByteArray::fromStdString(home.file(var)));
  }
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Morvane-soft"));
  QApplication::setApplicationName(QStringLiteral("rigbench"));
  Test test;
  return QTest::qExec(&test, argc, argv);
}

// A fresh start: no settings but COM2's device.
inline void freshSettingsWithCom2(const std::string& device) {
  QSettings settings;
  settings.clear();
  settings.setValue(QStringLiteral("qdl/ports/COM2"), QString::fromStdString(device));
}

// A window with its log and documents in `dir`, its boxes and questions
// answered by the handlers, started as at a first activation.
inline std::unique_ptr<app::MainWindow> startWindow(
    const testing::TempFolder& dir,
    std::function<void(const QString& caption, const QString& text)> boxes,
    std::function<PromptAnswer(const QString& text)> questions) {
  app::WindowEnvironment env;
  env.debugLogPath = dir.file("icomdeb.txt");
  env.documentsFolder = dir.path();
  auto window = std::make_unique<app::MainWindow>(env);
  window->setBoxHandler(std::move(boxes));
  window->setQuestionHandler(std::move(questions));
  window->firstActivation();
  return window;
}

}  // namespace tarnwick::apptest
