#pragma once
// The main window in tests: a program run whose settings, log and backups
// live in a folder of its own, and a window started on fresh settings.

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QtTest>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "scripted_prompts.h"
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

// Before each test of a window without a radio: fresh settings whose COM2
// is a device that is not there, and nothing asked or shown yet.
inline void freshStartWithoutRadio(const testing::TempFolder& dir, ScriptedPrompts& prompts) {
  freshSettingsWithCom2(dir.file("none"));
  prompts.boxes.clear();
  prompts.questions.clear();
}

// A window with its log and documents in `dir`, its boxes, questions and
// file dialogs answered by `prompts`, started as at a first activation.
inline std::unique_ptr<app::MainWindow> startWindow(const testing::TempFolder& dir,
                                                    app::UserPrompts& prompts) {
  app::WindowEnvironment env;
  env.debugLogPath = dir.file("icomdeb.txt");
  env.documentsFolder = dir.path();
  env.prompts = &prompts;
  auto window = std::make_unique<app::MainWindow>(env);
  window->firstActivation();
  return window;
}

// A started window on screen at the default 800 x 600, made active (as a
// user's would be) so that keys and focus go where they go on a desktop.
inline std::unique_ptr<app::MainWindow> startShownWindow(const testing::TempFolder& dir,
                                                         app::UserPrompts& prompts) {
  auto window = startWindow(dir, prompts);
  window->resize(800, 600);
  window->show();
  QApplication::setActiveWindow(window.get());
  if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
  return window;
}

// What a label of the window shows beside its caption, as a screen reader
// reads it ("Engine state: Ready"); a null string when no label has it.
inline QString captionedText(QWidget& window, const QString& caption) {
  for (QLabel* label : window.findChildren<QLabel*>()) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(label);
    if (a == nullptr) continue;
    const QString name = a->text(QAccessible::Name);
    if (name == caption) return QStringLiteral("");
    if (name.startsWith(caption + QStringLiteral(": "))) return name.mid(caption.size() + 2);
  }
  return {};
}

}  // namespace tarnwick::apptest
