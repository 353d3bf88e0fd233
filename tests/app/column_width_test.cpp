// Column widths in the window: every shown column on screen in the default
// window, no number cut, after a fresh start, a font change and model
// changes; a width the user chose kept per column and scaled with the font.

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "app/cell_delegate.h"
#include "app/main_window.h"
#include "app/table_view.h"
#include "rig/rig_catalogue.h"
#include "tests/support/temp_folder.h"
#include "window_test_util.h"

using namespace tarnwick;

class ColumnWidthTest : public QObject {
  Q_OBJECT

  testing::TempFolder dir_;
  apptest::ScriptedPrompts prompts_;

  std::unique_ptr<app::MainWindow> shownWindow() { return apptest::startShownWindow(dir_, prompts_); }

  // The widest values the cells hold, in both tables.
  static void fillWidest(app::MainWindow& window) {
    for (ChannelTable* t : {&window.permanentTable(), &window.rigTable()}) {
      if (t->rowCount() < 3) t->setRowCount(3);
      for (int row = 1; row <= 2; ++row) {
        t->setCell(colFrequency, row, "1,296,200.000");
        t->setCell(colTxFrequency, row, "2,147,483.647");
        t->setCell(colToneSquelch, row, "254.1");
        t->setCell(colDuplex, row, "Simplex");
      }
    }
  }

  // Every shown column inside the viewport, and the frequency cells' texts
  // inside the rectangles the delegate draws them in.
  static void checkFits(app::ChannelTableView& view, bool onScreen, const char* when) {
    QApplication::processEvents();
    const QString where = QStringLiteral("%1, %2").arg(when, view.accessibleName());
    if (onScreen) {
      QVERIFY2(view.horizontalScrollBar()->maximum() == 0, qPrintable(where));
      for (int col = 0; col < kColumnCount; ++col) {
        if (view.isColumnHidden(col)) continue;
        QVERIFY2(view.columnViewportPosition(col) + view.columnWidth(col) <=
                     view.viewport()->width() + 1,
                 qPrintable(where + QStringLiteral(" column %1").arg(col)));
      }
    }
    const QFontMetrics fm(view.font());
    for (int col : {int(colFrequency), int(colTxFrequency), int(colToneSquelch)}) {
      if (view.isColumnHidden(col)) continue;
      const QModelIndex cell = view.model()->index(0, col);
      const QString text = cell.data().toString();
      const QRect rect = app::CellDelegate::textRect(view.visualRect(cell));
      QVERIFY2(fm.horizontalAdvance(text) <= rect.width(),
               qPrintable(where + QStringLiteral(": \"%1\" in %2 px").arg(text).arg(rect.width())));
      QCOMPARE(app::CellDelegate::shownText(text, fm, rect.width(), true), text);
    }
  }

 private slots:
  void init() { apptest::freshSettingsWithCom2(dir_.file("none")); }

  void everyModelFitsTheDefaultWindowAndFontChangesRefit() {
    auto window = shownWindow();
    QVERIFY(window);
    fillWidest(*window);
    // The model changes that once shifted stored widths by position.
    for (const RigModel& m : supportedModels()) {
      window->link().rigChosen(m.modelIndex);
      fillWidest(*window);
      for (app::ChannelTableView* view : {&window->fileView(), &window->rigView()}) {
        checkFits(*view, true, m.menuCaption.data());
      }
    }
    window->link().rigChosen(kModelIc746);
    fillWidest(*window);

    // A width the user chose stays with its column and grows with the font.
    app::ChannelTableView& file = window->fileView();
    file.horizontalHeader()->resizeSection(colName, 150);
    QFont big = file.font();
    big.setPointSize(16);
    const double digitRatio = double(QFontMetrics(big).horizontalAdvance('0')) /
                              QFontMetrics(file.font()).horizontalAdvance('0');
    for (app::ChannelTableView* view : {&window->fileView(), &window->rigView()}) {
      view->setTableFont(big, Qt::black);
      checkFits(*view, false, "16 points");
    }
    QVERIFY(std::abs(file.columnWidth(colName) - 150 * digitRatio) <= 1);
    // Only the chosen width is kept; the stretching last column never is.
    const KeptColumnWidths kept = file.userColumnWidths();
    QVERIFY(kept[colName].has_value());
    QVERIFY(!kept[colFrequency].has_value());
    QVERIFY(!kept[colChanged].has_value());
  }

  // At 800 x 600 every control of the tool bars is inside the window and
  // none is squeezed below its own size: the rig bar takes a second row.
  void theToolBarsFitTheDefaultWindow() {
    auto window = shownWindow();
    QVERIFY(window);
    window->link().rigChosen(kModelIc910);
    QApplication::processEvents();
    QCOMPARE(window->width(), 800);
    const QRect inside = window->rect();
    for (QWidget* w : window->findChildren<QWidget*>()) {
      const bool control = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                           qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w);
      if (!control || !w->isVisible() || w->window() != window.get() ||
          w->parentWidget() == window.get() || qobject_cast<QAbstractItemView*>(w->parentWidget()) ||
          w->parentWidget()->inherits("QStatusBar")) {
        continue;
      }
      const QRect at(w->mapTo(window.get(), QPoint(0, 0)), w->size());
      const QString name = w->accessibleName() + QLatin1Char('/') + w->metaObject()->className();
      QVERIFY2(inside.contains(at), qPrintable(name));
      if (!qobject_cast<QLineEdit*>(w)) {
        QVERIFY2(w->width() >= w->minimumSizeHint().width(), qPrintable(name));
      }
    }
  }

  void aNumberThatDoesNotFitShowsHashes() {
    const QFont font;
    const QFontMetrics fm(font);
    const QString value = QStringLiteral("18,140.00");
    const int narrow = fm.horizontalAdvance(value) - 1;
    QCOMPARE(app::CellDelegate::shownText(value, fm, narrow, true), QStringLiteral("###"));
    QVERIFY(app::CellDelegate::shownText(QStringLiteral("DX SPLIT"), fm, 20, false)
                .endsWith(QChar(0x2026)));
  }
};

int main(int argc, char** argv) {
  return apptest::runWindowTests<ColumnWidthTest>(argc, argv);
}

#include "column_width_test.moc"
