// The window from the keyboard alone: every menu entry has its access
// letter, no two commands share a key, and the commands that had only a
// mouse gesture have a key.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSettings>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "app/shortcuts_dialog.h"
#include "app/table_actions.h"
#include "app/table_view.h"
#include "tests/support/temp_folder.h"
#include "window_test_util.h"

using namespace tarnwick;

namespace {

QString plain(QString text) {
  return text.remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
}

// The entries of a menu that a user can pick, in order.
QList<QAction*> entries(const QMenu& menu) {
  QList<QAction*> list;
  for (QAction* a : menu.actions()) {
    if (!a->isSeparator() && a->isVisible()) list << a;
  }
  return list;
}

// Each entry has an access letter that no other entry of the menu has;
// returns the submenus, which are checked the same way.
void checkAccessLetters(const QString& where, const QList<QAction*>& actions) {
  QSet<int> letters;
  for (QAction* a : actions) {
    const QKeySequence letter = QKeySequence::mnemonic(a->text());
    QVERIFY2(!letter.isEmpty(), qPrintable(where + QStringLiteral(": no letter: ") + a->text()));
    QVERIFY2(!letters.contains(letter[0].toCombined()),
             qPrintable(where + QStringLiteral(": letter taken: ") + a->text()));
    letters.insert(letter[0].toCombined());
    if (a->menu() != nullptr) checkAccessLetters(where + QLatin1Char('/') + plain(a->text()),
                                                 entries(*a->menu()));
  }
}

void collectActions(const QList<QAction*>& actions, QList<QAction*>& all) {
  for (QAction* a : actions) {
    all << a;
    if (a->menu() != nullptr) collectActions(entries(*a->menu()), all);
  }
}

QMenu* menuOf(QMainWindow& window, const QString& title) {
  for (QAction* top : window.menuBar()->actions()) {
    if (plain(top->text()) == title) return top->menu();
  }
  return nullptr;
}

QAction* entry(QMainWindow& window, const QString& menu, const QString& text) {
  QMenu* m = menuOf(window, menu);
  for (QAction* a : m != nullptr ? entries(*m) : QList<QAction*>{}) {
    if (plain(a->text()) == text) return a;
  }
  return nullptr;
}

}  // namespace

class KeyboardTest : public QObject {
  Q_OBJECT

  testing::TempFolder dir_;
  apptest::ScriptedPrompts prompts_;

  std::unique_ptr<app::MainWindow> startShownWindow() {
    auto window = apptest::startWindow(dir_, prompts_);
    window->show();
    QApplication::setActiveWindow(window.get());
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
    return window;
  }

 private slots:
  void init() { apptest::freshStartWithoutRadio(dir_, prompts_); }

  void everyMenuEntryHasItsOwnLetterAndEveryKeyOneCommand() {
    auto window = startShownWindow();
    const QList<QAction*> titles = window->menuBar()->actions();
    checkAccessLetters(QStringLiteral("menu bar"), titles);
    QList<QAction*> all;
    for (QAction* top : titles) {
      checkAccessLetters(plain(top->text()), entries(*top->menu()));
      collectActions(entries(*top->menu()), all);
    }
    // The tables' pop-up menu, as it opens.
    app::TableActions& actions = window->tableActions();
    actions.popup(window->rigView(), QPoint(5, 5));
    checkAccessLetters(QStringLiteral("pop-up"), entries(actions.menu()));
    actions.menu().close();

    // A key pressed anywhere in the window runs one command, never two.
    QHash<int, QString> owner;
    for (QAction* a : all) {
      for (const QKeySequence& key : a->shortcuts()) {
        const QString name = plain(a->text());
        QVERIFY2(!owner.contains(key[0].toCombined()) || owner[key[0].toCombined()] == name,
                 qPrintable(key.toString() + QStringLiteral(": ") + name + QStringLiteral(" and ") +
                            owner[key[0].toCombined()]));
        owner[key[0].toCombined()] = name;
      }
    }
    QCOMPARE(entry(*window, QStringLiteral("Radio"), QStringLiteral("Read Bank"))->shortcut(),
             QKeySequence(Qt::Key_F5));

    // Each title's letter opens its menu; Escape closes it again.
    for (QAction* top : titles) {
      const QKeyCombination letter = QKeySequence::mnemonic(top->text())[0];
      QTest::keyClick(window.get(), letter.key(), letter.keyboardModifiers());
      QTRY_VERIFY2(top->menu()->isVisible(), qPrintable(top->text()));
      QTest::keyClick(top->menu(), Qt::Key_Escape);
      QTRY_VERIFY(!top->menu()->isVisible());
      QTest::keyClick(window.get(), Qt::Key_Alt);  // leaves the menu bar
    }
    // And a letter in an open menu picks its entry: Options, Show Horizontal
    // Gridlines turns the lines off.
    QVERIFY(window->rigView().horizontalLines());
    QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);
    QMenu* options = menuOf(*window, QStringLiteral("Options"));
    QTRY_VERIFY(options->isVisible());
    QTest::keyClick(options, Qt::Key_H);
    QTRY_VERIFY(!window->rigView().horizontalLines());
  }

  void withoutARadioTheRadioMenuSaysWhyItCannotTalkToIt() {
    auto window = startShownWindow();
    QAction* store = entry(*window, QStringLiteral("Radio"), QStringLiteral("Store to Rig"));
    QAction* tune = entry(*window, QStringLiteral("Radio"), QStringLiteral("Tune to Row"));
    QVERIFY(store && tune);
    QVERIFY(!store->isEnabled());
    QVERIFY(!tune->isEnabled());
    QVERIFY(tune->toolTip().startsWith(QStringLiteral("No radio link")));
    // The rig table's file commands work without the radio.
    QAction* saveAs = entry(*window, QStringLiteral("Radio"), QStringLiteral("Save Rig Table As..."));
    QVERIFY(saveAs && saveAs->isEnabled());
    const std::string saved = dir_.file("bank.txt");
    prompts_.savePath = saved;
    window->rigView().setFocus();
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    QTRY_VERIFY(QFile::exists(QString::fromStdString(saved)));
    QCOMPARE(window->files().rigFileName(), std::string("bank.txt"));
  }

  void sortByColumnFromTheEditMenuAndThePopUp() {
    auto window = startShownWindow();
    ChannelTable& file = window->permanentTable();
    file.assign(std::vector<ChannelRecord>(4), true);  // and the header row
    const char* names[] = {"BRAVO", "CHARLIE", "ALPHA"};
    for (int r = 1; r <= 3; ++r) {
      file.setCell(colNumber, r, std::to_string(r));
      file.setCell(colName, r, names[r - 1]);
    }
    QTRY_VERIFY(window->controller().canSort(file));
    app::ChannelTableView& view = window->fileView();
    view.setFocus();
    view.setCurrentIndex(view.model()->index(0, colName));
    const auto names123 = [&] {
      return QStringList{QString::fromStdString(file.cell(colName, 1)),
                         QString::fromStdString(file.cell(colName, 2)),
                         QString::fromStdString(file.cell(colName, 3))};
    };
    // Alt+E, S, D: the current column, descending.
    QTest::keyClick(window.get(), Qt::Key_E, Qt::AltModifier);
    QMenu* edit = menuOf(*window, QStringLiteral("Edit"));
    QTRY_VERIFY(edit->isVisible());
    QTest::keyClick(edit, Qt::Key_S);
    QMenu* sort = window->tableActions().sortMenu();
    QTRY_VERIFY(sort->isVisible());
    QTest::keyClick(sort, Qt::Key_D);
    QTRY_COMPARE(names123(), (QStringList{"CHARLIE", "BRAVO", "ALPHA"}));
    QCOMPARE(file.sortKeys(), (std::vector<SortKey>{{colName, true}}));
    // The pop-up's Reset Order puts the rows back in the order of "#".
    app::TableActions& actions = window->tableActions();
    actions.popup(view, QPoint(5, 5), true);
    QTRY_VERIFY(actions.menu().isVisible());
    QTest::keyClick(&actions.menu(), Qt::Key_S);
    QMenu* popupSort = nullptr;
    for (QAction* a : actions.menu().actions()) {
      if (a->menu() != nullptr) popupSort = a->menu();
    }
    QVERIFY(popupSort != nullptr);
    QTRY_VERIFY(popupSort->isVisible());
    QTest::keyClick(popupSort, Qt::Key_R);
    QTRY_COMPARE(names123(), (QStringList{"BRAVO", "CHARLIE", "ALPHA"}));
    // A table that cannot be sorted offers no sort.
    file.setInputLocked(true);
    actions.popup(view, QPoint(5, 5));
    emit popupSort->aboutToShow();
    QVERIFY(!popupSort->actions().first()->isEnabled());
    actions.menu().close();
  }

  void helpListsEveryKeyAndSaysWhereTheFilesAre() {
    auto window = startShownWindow();
    QTest::keyClick(window.get(), Qt::Key_F1);
    auto* dialog = window->findChild<app::ShortcutsDialog*>();
    QVERIFY(dialog != nullptr);
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QHash<QString, QString> keys;
    auto* table = dialog->findChild<QTableWidget*>();
    for (int r = 0; r < table->rowCount(); ++r) {
      keys[table->item(r, 0)->text()] = table->item(r, 1)->text();
    }
    // Read from the menus, submenus too, and the keys no menu shows.
    QCOMPARE(keys.value(QStringLiteral("Radio > Read Bank")), QStringLiteral("F5"));
    QCOMPARE(keys.value(QStringLiteral("Radio > Stop")), QStringLiteral("Esc"));
    QCOMPARE(keys.value(QStringLiteral("Edit > Paste")), QStringLiteral("Ctrl+V"));
    QCOMPARE(keys.value(QStringLiteral("Edit > Redo")), QStringLiteral("Ctrl+Shift+Z, Ctrl+Y"));
    QVERIFY(keys.value(QStringLiteral("Table: edit the current cell")).startsWith("F2"));
    QVERIFY(!keys.contains(QStringLiteral("Options > Show Permanent File")));  // it has no key
    // F1 again brings the same list forward.
    QTest::keyClick(window.get(), Qt::Key_F1);
    QCOMPARE(window->findChildren<app::ShortcutsDialog*>().size(), 1);

    entry(*window, QStringLiteral("Help"), QStringLiteral("About Tarnwick"))->trigger();
    QTRY_COMPARE(prompts_.boxes.size(), 2);  // the port's box, then About
    const QString about = prompts_.boxes.last();
    QVERIFY2(about.startsWith(QStringLiteral("About Tarnwick: Tarnwick ") +
                              QApplication::applicationVersion()),
             qPrintable(about));
    for (const QString& part : {QStringLiteral("MIT"), QString::fromLatin1(qVersion()),
                                QSettings().fileName(), QString::fromStdString(dir_.path())}) {
      QVERIFY2(about.contains(part), qPrintable(part));
    }
  }
};

int main(int argc, char** argv) {
  return apptest::runWindowTests<KeyboardTest>(argc, argv);
}

#include "keyboard_test.moc"
