// The Help menu: the keys of the window, and what the program is and where
// it keeps its files.

#include <QApplication>
#include <QMenuBar>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/settings_store.h"
#include "app/shortcuts_dialog.h"

namespace tarnwick::app {

void MainWindow::buildHelpMenu() {
  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* keys = help->addAction(tr("&Keyboard Shortcuts"), this, &MainWindow::showShortcuts);
  keys->setShortcut(QKeySequence::HelpContents);
  help->addAction(tr("&About Tarnwick"), this, &MainWindow::showAbout);
}

void MainWindow::showShortcuts() {
  // One list, beside the window, while the user goes on working.
  auto* dialog = findChild<ShortcutsDialog*>();
  if (dialog == nullptr) {
    dialog = new ShortcutsDialog(*menuBar(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
  }
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

QString MainWindow::aboutText() const {
  const std::filesystem::path& backups = engine_->backups().folder();
  return tr("Tarnwick %1\n"
            "A memory-channel editor for Icom radios on the CI-V bus.\n"
            "Free software under the MIT licence.\n"
            "Built with Qt %2, running on Qt %3.\n\n"
            "Data folder: %4\n"
            "Settings: %5\n"
            "Backups before a store: %6\n"
            "Debug log: %7")
      .arg(QApplication::applicationVersion(), QStringLiteral(QT_VERSION_STR),
           QString::fromLatin1(qVersion()), pathToQt(files_->dataFolder()),
           QtSettingsStore().fileName(),
           backups.empty() ? tr("none are kept") : pathToQt(backups.string()),
           pathToQt(log_->path().string()));
}

void MainWindow::showAbout() {
  queueBox(tr("About Tarnwick"), aboutText(), BoxKind::Information);
}

}  // namespace tarnwick::app
