// The window from the keyboard alone: every menu entry has its access
// letter, no two commands share a key, and the commands that had only a
// mouse gesture have a key.

#include <QMenuBar>
#include <QSettings>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "app/shortcuts_dialog.h"
#include "app/table_actions.h"
#include "app/table_view.h"
#include "window_test_util.h"

using namespace tarnwick;

namespace {

QString plain(QString text) {
  return text.remove(QLatin1Char('&'));
}

// Each entry of `actions` (separators aside) has an access letter no other
// has, and so on down the submenus; every entry is added to `all`.
void checkLetters(const QString& where, const QList<QAction*>& actions, QList<QAction*>& all) {
  QSet<int> taken;
  for (QAction* a : actions) {
    if (a->isSeparator() || !a->isVisible()) continue;
    all << a;
    const QKeySequence letter = QKeySequence::mnemonic(a->text());
    const QString name = where + QStringLiteral(" > ") + a->text();
    QVERIFY2(!letter.isEmpty() && !taken.contains(letter[0].toCombined()), qPrintable(name));
    taken.insert(letter[0].toCombined());
    if (a->menu() != nullptr) checkLetters(name, a->menu()->actions(), all);
  }
}

QAction* entry(QMainWindow& window, const QString& menu, const QString& text) {
  for (QAction* top : window.menuBar()->actions()) {
    for (QAction* a : plain(top->text()) == menu ? top->menu()->actions() : QList<QAction*>{}) {
      if (plain(a->text()) == text) return a;
    }
  }
  return nullptr;
}

}  // namespace

class KeyboardTest : public QObject {
  Q_OBJECT

  testing::TempFolder dir_;
  apptest::ScriptedPrompts prompts_;

  std::unique_ptr<app::MainWindow> startShownWindow() {
    return apptest::startShownWindow(dir_, prompts_);
  }

 private slots:
  void init() { apptest::freshStartWithoutRadio(dir_, prompts_); }

  void everyMenuEntryHasItsOwnLetterAndEveryKeyOneCommand() {
    auto window = startShownWindow();
    QList<QAction*> all;
    checkLetters(QStringLiteral("menu bar"), window->menuBar()->actions(), all);
    app::TableActions& actions = window->tableActions();
    actions.popup(window->rigView(), QPoint(5, 5));
    QList<QAction*> popupEntries;
    checkLetters(QStringLiteral("pop-up"), actions.menu().actions(), popupEntries);
    actions.menu().close();
    QHash<int, QString> owner;
    for (QAction* a : all) {
      for (const QKeySequence& key : a->shortcuts()) {
        const int k = key[0].toCombined();
        QVERIFY2(!owner.contains(k), qPrintable(key.toString() + QLatin1Char(' ') + owner[k]));
        owner.insert(k, a->text());
      }
    }

    // The letters reach their entries: Alt+O, H turns the grid lines off.
    QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_H);
    QTRY_VERIFY(!window->rigView().horizontalLines());

    // Without a radio the Radio menu says why it cannot talk to one; the
    // rig table's own commands work.
    QAction* tune = entry(*window, QStringLiteral("Radio"), QStringLiteral("Tune to Row"));
    QVERIFY(!tune->isEnabled() && tune->toolTip().startsWith(QStringLiteral("No radio link")));
    prompts_.savePath = dir_.file("bank.txt");
    QTest::keyClick(window.get(), Qt::Key_S,
                    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    QTRY_COMPARE(window->files().rigFileName(), std::string("bank.txt"));
  }

  void sortByColumnFromTheEditMenuAndThePopUp() {
    auto window = startShownWindow();
    ChannelTable& file = window->permanentTable();
    file.assign(std::vector<ChannelRecord>(4), true);  // and the header row
    for (int r = 1; r <= 3; ++r) {
      file.setCell(colNumber, r, std::to_string(r));
      file.setCell(colName, r, std::string(1, "BCA"[r - 1]));
    }
    const auto names = [&] {
      return file.cell(colName, 1) + file.cell(colName, 2) + file.cell(colName, 3);
    };
    QTRY_VERIFY(window->controller().canSort(file));
    app::ChannelTableView& view = window->fileView();
    view.setFocus();
    view.setCurrentIndex(view.model()->index(0, colName));
    // Alt+E, S, D: the current column, descending.
    QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_S);
    QMenu* sort = window->tableActions().sortMenu();
    QTRY_VERIFY(sort->isVisible());
    QTest::keyClick(sort, Qt::Key_D);
    QTRY_COMPARE(names(), std::string("CBA"));
    // The pop-up's Reset Order puts the rows back in the order of "#".
    app::TableActions& actions = window->tableActions();
    actions.popup(view, QPoint(5, 5), true);
    QTest::keyClick(&actions.menu(), Qt::Key_S);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr &&
                QApplication::activePopupWidget() != &actions.menu());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_R);
    QTRY_COMPARE(names(), std::string("BCA"));
  }

  void helpListsEveryKeyAndSaysWhereTheFilesAre() {
    auto window = startShownWindow();
    QTest::keyClick(window.get(), Qt::Key_F1);
    auto* dialog = window->findChild<app::ShortcutsDialog*>();
    QTRY_VERIFY(dialog != nullptr && dialog->isVisible() && !dialog->isModal());
    QHash<QString, QString> keys;
    auto* table = dialog->findChild<QTableWidget*>();
    for (int r = 0; r < table->rowCount(); ++r) {
      keys[table->item(r, 0)->text()] = table->item(r, 1)->text();
    }
    // Read from the menus, and the keys no menu shows.
    QCOMPARE(keys.value(QStringLiteral("Edit > Redo")), QStringLiteral("Ctrl+Shift+Z, Ctrl+Y"));
    QVERIFY(keys.value(QStringLiteral("Table: edit the current cell")).startsWith("F2"));

    entry(*window, QStringLiteral("Help"), QStringLiteral("About Tarnwick"))->trigger();
    QTRY_COMPARE(prompts_.boxes.size(), 2);  // the port's box, then About
    const QString about = prompts_.boxes.last();
    for (const QString& part : {QStringLiteral("About Tarnwick: Tarnwick"), QStringLiteral("MIT"),
                                QString::fromLatin1(qVersion()), QSettings().fileName(),
                                QString::fromStdString(dir_.path())}) {
      QVERIFY2(about.contains(part), qPrintable(part));
    }
  }
};

int main(int argc, char** argv) {
  return apptest::runWindowTests<KeyboardTest>(argc, argv);
}

#include "keyboard_test.moc"
