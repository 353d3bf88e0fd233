// The table views driven as a user drives them: keys, clicks, drags and the
// clipboard, on both tables and several radio models.

#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QDrag>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <tuple>

#include "app/round_led.h"
#include "app/sort_header.h"
#include "app/table_actions.h"
#include "app_test_util.h"
#include "rig/separators.h"

using namespace tarnwick;
using apptest::Views;

namespace {

QWidget* openEditor(app::ChannelTableView* v) {
  return v->indexWidget(v->currentIndex());
}

// Opens the cell's editor with F2, types, and leaves it with `leave`.
QString typeInto(app::ChannelTableView* v, int row, int col, const QString& text,
                 Qt::Key leave = Qt::Key_Return) {
  Views::focusCell(v, row, col);
  QTest::keyClick(v, Qt::Key_F2);
  auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  if (edit == nullptr) return QStringLiteral("<no editor>");
  edit->selectAll();
  QTest::keyClicks(edit, text);
  const QString typed = edit->text();
  QTest::keyClick(edit, leave);
  // The view commits an editor left with Return from the event loop.
  QCoreApplication::processEvents();
  return typed;
}

QString cell(const ChannelTable& t, int col, int row) {
  return QString::fromLatin1(t.cell(col, row).c_str());
}

}  // namespace

class TableViewTest : public QObject {
  Q_OBJECT

 private slots:
  void textEditorsKeepTheirLimitsAndCompleteNames() {
    Views v(kModelIc746Pro);
    QCOMPARE(typeInto(v.rigView, 2, colName, QStringLiteral("ABCDEFGHIJKL")),
             QStringLiteral("ABCDEFGHI"));
    QCOMPARE(cell(v.rig, colName, 2), QStringLiteral("ABCDEFGHI"));
    QCOMPARE(cell(v.rig, colChanged, 2), QStringLiteral("1"));
    QVERIFY(v.rig.modified());

    Views pro(kModelIc756Pro);
    QCOMPARE(typeInto(pro.rigView, 2, colName, QStringLiteral("ABCDEFGHIJKL")),
             QStringLiteral("ABCDEFGHIJ"));

    // Completion ignores case; the known names come from the table.
    Views::focusCell(v.fileView, 1, colName);
    QTest::keyClick(v.fileView, Qt::Key_F2);
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(edit && edit->completer());
    v.file.names().add("Alpha");
    v.file.names().add("bravo");
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(v.fileView, Qt::Key_F2);
    edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(edit);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("BR"));
    QCOMPARE(edit->completer()->currentCompletion(), QStringLiteral("bravo"));
    // Escape leaves the cell as it was.
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(cell(v.file, colName, 1), QStringLiteral("Delta"));
    // Frequencies are offered no names.
    Views::focusCell(v.fileView, 1, colTxFrequency);
    QTest::keyClick(v.fileView, Qt::Key_F2);
    edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(edit && !edit->completer());
    QTest::keyClick(edit, Qt::Key_Escape);
  }

  void anEditorOpenedAndLeftKeepsAnOverLongText() {
    // A 16-character name from another radio's file, a 12-character Tx text.
    Views v(kModelIc746Pro);
    v.rig.setCell(colName, 2, "SIXTEEN CHARS OK");
    v.file.setCell(colTxFrequency, 1, "1,296,100.00");
    const QString fileTx = cell(v.file, colTxFrequency, 1);
    for (auto [view, table, row, col] : {std::tuple{v.rigView, &v.rig, 2, int(colName)},
                                         std::tuple{v.fileView, &v.file, 1, int(colTxFrequency)}}) {
      const QString before = cell(*table, col, row);
      const QString changedBefore = cell(*table, colChanged, row);
      Views::focusCell(view, row, col);
      QTest::keyClick(view, Qt::Key_F2);
      auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
      QVERIFY(edit);
      QCOMPARE(edit->text(), before);
      QTest::keyClick(edit, Qt::Key_Return);
      QCoreApplication::processEvents();
      QCOMPARE(cell(*table, col, row), before);
      QCOMPARE(cell(*table, colChanged, row), changedBefore);
    }
    QCOMPARE(fileTx, QStringLiteral("1,296,100.00"));

    // Typing never lengthens it, and what is deleted cannot be typed back
    // beyond the column's own limit.
    Views::focusCell(v.rigView, 2, colName);
    QTest::keyClick(v.rigView, Qt::Key_F2);
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(edit);
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("X"));
    QCOMPARE(edit->text(), QStringLiteral("SIXTEEN CHARS OK"));
    for (int i = 0; i < 8; ++i) QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QStringLiteral("ABCD"));
    QCOMPARE(edit->text(), QStringLiteral("SIXTEEN A"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(cell(v.rig, colName, 2), QStringLiteral("SIXTEEN A"));
    QCOMPARE(cell(v.rig, colChanged, 2), QStringLiteral("1"));
  }

  void frequenciesAreRewrittenOnLeavingUnderBothLocales() {
    for (const Separators sep : {Separators::point(), Separators::comma()}) {
      ScopedSeparators scoped(sep);
      Views v(kModelIc746);
      // The editor starts with the number alone.
      Views::focusCell(v.rigView, 1, colFrequency);
      QTest::keyClick(v.rigView, Qt::Key_F2);
      auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
      QVERIFY(edit);
      QCOMPARE(edit->text(),
               sep == Separators::point() ? QStringLiteral("7001.00") : QStringLiteral("7001,00"));
      // Leaving without typing rewrites nothing and marks nothing.
      QTest::keyClick(edit, Qt::Key_Return);
      QCoreApplication::processEvents();
      QCOMPARE(cell(v.rig, colChanged, 1), QStringLiteral("0"));
      QCOMPARE(v.rig.cell(colFrequency, 1), formatFrequency(7001000, "USB", sep));

      typeInto(v.rigView, 1, colFrequency, QStringLiteral("14074"));
      QCOMPARE(cell(v.rig, colFrequency, 1), sep == Separators::point()
                                                 ? QStringLiteral("  14,074.00")
                                                 : QStringLiteral("  14.074,00"));
      QCOMPARE(cell(v.rig, colChanged, 1), QStringLiteral("1"));
      // A typo is refused: the memory keeps its frequency.
      const QString before = cell(v.rig, colFrequency, 2);
      QVERIFY(!before.isEmpty());
      typeInto(v.rigView, 2, colFrequency, QStringLiteral("-5"));
      QCOMPARE(cell(v.rig, colFrequency, 2), before);
      // Tab ends the edit and goes on to the next cell.
      typeInto(v.rigView, 3, colFrequency, QStringLiteral("7050"), Qt::Key_Tab);
      QCOMPARE(v.rigView->currentIndex().column(), int(colName));
    }

    // In MHz the cells show and take MHz; the table keeps kHz.
    Views v(kModelIc746);
    v.controller.setFrequencyUnit(FrequencyUnit::MHz);
    v.rigModel.frequencyUnitChanged();
    const QModelIndex first = v.rigModel.index(0, colFrequency);
    QCOMPARE(first.data().toString(), QStringLiteral("7.001"));
    typeInto(v.rigView, 1, colFrequency, QStringLiteral("145.5"));
    QCOMPARE(cell(v.rig, colFrequency, 1), QStringLiteral(" 145,500.00"));
    QCOMPARE(first.data().toString(), QStringLiteral("145.500"));
    // Back in kHz a number that is a band's MHz too is kHz, with a word.
    v.controller.setFrequencyUnit(FrequencyUnit::kHz);
    typeInto(v.rigView, 2, colFrequency, QStringLiteral("145.5"));
    QCOMPARE(cell(v.rig, colFrequency, 2), QStringLiteral("     145.50"));
    QCOMPARE(v.messages.errors.back(), "145.5 kHz. Type 145.5M for MHz.");
  }

  void aClickOnACheckBoxTicksIt() {
    Views v(kModelIc746);
    // Select marks the row Changed and the table modified; Changed alone does
    // neither more.
    QTest::mouseClick(v.rigView->viewport(), Qt::LeftButton, {},
                      Views::cellCentre(v.rigView, 3, colSelect));
    QCOMPARE(cell(v.rig, colSelect, 3), QStringLiteral("1"));
    QCOMPARE(cell(v.rig, colChanged, 3), QStringLiteral("1"));
    QVERIFY(v.rig.modified());
    v.rig.setModified(false);
    QTest::mouseClick(v.rigView->viewport(), Qt::LeftButton, {},
                      Views::cellCentre(v.rigView, 3, colChanged));
    QCOMPARE(cell(v.rig, colChanged, 3), QStringLiteral("0"));
    QVERIFY(!v.rig.modified());
    // Space toggles the current box from the keyboard.
    Views::focusCell(v.rigView, 4, colChanged);
    QTest::keyClick(v.rigView, Qt::Key_Space);
    QCOMPARE(cell(v.rig, colChanged, 4), QStringLiteral("1"));
  }

  void listsPreselectAndTxFrequencyFollowsDuplex() {
    Views v(kModelIc746);
    v.rig.setCell(colMode, 1, "USB-D");
    // The list opens at the first click, with "AM" for an unknown mode.
    Views::click(v.rigView, 1, colMode);
    auto* combo = qobject_cast<QComboBox*>(openEditor(v.rigView));
    QVERIFY(combo);
    QCOMPARE(combo->currentText(), QStringLiteral("AM"));
    QCOMPARE(combo->count(), 8);
    QCOMPARE(combo->maxVisibleItems(), 8);
    QTRY_VERIFY(combo->view()->isVisible());
    // Leaving the list without picking changes nothing.
    QTest::keyClick(combo->view(), Qt::Key_Escape);
    QTest::keyClick(combo, Qt::Key_Escape);
    QCOMPARE(cell(v.rig, colMode, 1), QStringLiteral("USB-D"));
    QCOMPARE(cell(v.rig, colChanged, 1), QStringLiteral("0"));

    // A long list shows eight items; the rest scroll.
    Views::click(v.rigView, 2, colRepeaterTone);
    auto* tones = qobject_cast<QComboBox*>(openEditor(v.rigView));
    QVERIFY(tones);
    QCOMPARE(tones->count(), 51);
    QTRY_VERIFY(tones->view()->isVisible());
    const int rowHeight = tones->view()->sizeHintForRow(0);
    QVERIFY2(
        tones->view()->height() < 9 * rowHeight,
        qPrintable(
            QStringLiteral("%1 px for rows of %2 px").arg(tones->view()->height()).arg(rowHeight)));
    QTest::keyClick(tones->view(), Qt::Key_Escape);
    QTest::keyClick(tones, Qt::Key_Escape);

    // Tx Frequency opens only on a Split row of the rig table.
    QCOMPARE(typeInto(v.rigView, 1, colTxFrequency, QStringLiteral("1")),
             QStringLiteral("<no editor>"));
    QVERIFY(v.rigModel.setData(v.rigModel.index(0, colDuplex), QStringLiteral("Split")));
    QCOMPARE(typeInto(v.rigView, 1, colTxFrequency, QStringLiteral("145,100")),
             QStringLiteral("145,100"));
    QCOMPARE(cell(v.rig, colTxFrequency, 1), QStringLiteral(" 145,100.00"));
    QCOMPARE(typeInto(v.fileView, 1, colTxFrequency, QStringLiteral("7")), QStringLiteral("7"));
  }

  void keysInsertDeleteAndSortWithSeveralKeys() {
    Views v(kModelIc756Pro);
    Views::focusCell(v.fileView, 2, colName);
    QTest::keyClick(v.fileView, Qt::Key_Insert);
    QCOMPARE(v.file.dataRowCount(), 6);
    QCOMPARE(cell(v.file, colName, 3), QStringLiteral("alpha"));
    QTest::keyClick(v.fileView, Qt::Key_Delete);
    QCOMPARE(v.file.dataRowCount(), 5);
    // Insert with a modifier is not the command.
    QTest::keyClick(v.fileView, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(v.file.dataRowCount(), 5);

    v.file.setSortIndication(true);
    QHeaderView* header = v.fileView->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      Views::sectionCentre(v.fileView, colName));
    QCOMPARE(cell(v.file, colName, 1), QStringLiteral("alpha"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      Views::sectionCentre(v.fileView, colName));
    QCOMPARE(cell(v.file, colName, 1), QStringLiteral("Echo"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      Views::sectionCentre(v.fileView, colMode));
    QCOMPARE(v.file.sortKeys().size(), std::size_t{2});
    QCOMPARE(v.fileView->sortHeader().sortMark(colName), QStringLiteral("\u25BC1"));
    QCOMPARE(v.fileView->sortHeader().sortMark(colMode), QStringLiteral("\u25B22"));
    // "#" sorts by the labels: the order of the last renumbering.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      Views::sectionCentre(v.fileView, colNumber));
    QCOMPARE(cell(v.file, colName, 1), QStringLiteral("Delta"));
  }

  void aRowDraggedByItsLabelIsCopiedIntoTheRig() {
    Views v(kModelIc746);
    // The press on a label cell is where the drag starts.
    QTest::mousePress(v.fileView->viewport(), Qt::LeftButton, {},
                      Views::cellCentre(v.fileView, 2, colNumber));
    QCOMPARE(v.controller.dragRow(), 2);
    QTest::mouseRelease(v.fileView->viewport(), Qt::LeftButton, {},
                        Views::cellCentre(v.fileView, 2, colNumber));
    std::unique_ptr<QMimeData> mime(v.fileModel.mimeData({v.fileModel.index(1, colNumber)}));

    // Through the view's own drop path: refused over the Call row, taken
    // over an empty memory.
    const auto dragTo = [&](int row) {
      const QPoint at = Views::cellCentre(v.rigView, row, colName);
      QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
      QApplication::sendEvent(v.rigView->viewport(), &enter);
      QDragMoveEvent move(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
      QApplication::sendEvent(v.rigView->viewport(), &move);
      return move.isAccepted();
    };
    v.rigView->scrollTo(v.rigModel.index(101, colName));
    QVERIFY(!dragTo(102));
    v.rigView->scrollTo(v.rigModel.index(19, colName));
    QVERIFY(dragTo(20));
    QDropEvent drop(Views::cellCentre(v.rigView, 20, colName), Qt::CopyAction, mime.get(),
                    Qt::LeftButton, {});
    QApplication::sendEvent(v.rigView->viewport(), &drop);
    QCOMPARE(cell(v.rig, colName, 20), QStringLiteral("alpha"));
    QCOMPARE(cell(v.rig, colChanged, 20), QStringLiteral("1"));
    QCOMPARE(v.file.dataRowCount(), 5);
    QCOMPARE(cell(v.file, colName, 2), QStringLiteral("alpha"));
  }

  void clipboardRoundTripMarksWhatItPastes() {
    Views v(kModelIc746);
    // A left drag over data cells selects a rectangle.
    QTest::mousePress(v.rigView->viewport(), Qt::LeftButton, {},
                      Views::cellCentre(v.rigView, 1, colFrequency));
    QMouseEvent move(QEvent::MouseMove, Views::cellCentre(v.rigView, 3, colName),
                     v.rigView->viewport()->mapToGlobal(Views::cellCentre(v.rigView, 3, colName)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.rigView->viewport(), &move);
    QTest::mouseRelease(v.rigView->viewport(), Qt::LeftButton, {},
                        Views::cellCentre(v.rigView, 3, colName));
    QVERIFY(v.rigView->hasClipboardSelection());
    QCOMPARE(v.rigView->selectedBlock(), (CellBlock{1, 3, {colFrequency, colName}}));
    QTest::keyClick(v.rigView, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("   7,001.00\tR1\n   7,002.00\tR2\n   7,003.00\tR3\n"));

    Views::focusCell(v.rigView, 50, colFrequency);
    QTest::keyClick(v.rigView, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cell(v.rig, colName, 52), QStringLiteral("R3"));
    QCOMPARE(cell(v.rig, colChanged, 51), QStringLiteral("1"));
    QVERIFY(v.rig.modified());
    // The pasted block is selected afterwards.
    QCOMPARE(v.rigView->selectedBlock(), (CellBlock{50, 52, {colFrequency, colName}}));

    // Cut empties the cells it copies.
    Views::focusCell(v.fileView, 1, colName);
    QTest::keyClick(v.fileView, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Delta\n"));
    QCOMPARE(cell(v.file, colName, 1), QString());
  }

  void thePasteKeyInAnOpenListPastesIntoTheCells() {
    Views v(kModelIc746);
    QApplication::clipboard()->setText(QStringLiteral("FM"));
    // A list dropped down by a click: the key reaches the list, not the cell.
    Views::click(v.rigView, 1, colMode);
    auto* combo = qobject_cast<QComboBox*>(openEditor(v.rigView));
    QVERIFY(combo);
    QTRY_VERIFY(combo->view()->isVisible());
    QTest::keyClick(combo->view(), Qt::Key_V, Qt::ControlModifier);
    QTRY_VERIFY(openEditor(v.rigView) == nullptr);
    QCOMPARE(cell(v.rig, colMode, 1), QStringLiteral("FM"));
    QCOMPARE(cell(v.rig, colChanged, 1), QStringLiteral("1"));
    // A list opened by F2 and not dropped down; the view has the keys again.
    Views::focusCell(v.rigView, 2, colMode);
    QTest::keyClick(v.rigView, Qt::Key_F2);
    combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    QVERIFY(combo);
    QTest::keyClick(combo, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cell(v.rig, colMode, 2), QStringLiteral("FM"));
    QTRY_COMPARE(QApplication::focusWidget(), v.rigView);
    QVERIFY(openEditor(v.rigView) == nullptr);
  }

  void aLockedRigTakesNoInput() {
    Views v(kModelIc746);
    v.rig.setSortIndication(true);
    v.rig.setInputLocked(true);
    const ChannelRecord before = v.rig.record(2);
    QCOMPARE(typeInto(v.rigView, 2, colName, QStringLiteral("X")), QStringLiteral("<no editor>"));
    Views::focusCell(v.rigView, 2, colName);
    QTest::keyClick(v.rigView, Qt::Key_Delete);
    QTest::keyClick(v.rigView, Qt::Key_Insert);
    QApplication::clipboard()->setText(QStringLiteral("A\tB"));
    QTest::keyClick(v.rigView, Qt::Key_V, Qt::ControlModifier);
    Views::click(v.rigView, 2, colSelect);
    QTest::mouseClick(v.rigView->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      Views::sectionCentre(v.rigView, colName));
    QCOMPARE(v.rig.record(2), before);
    QVERIFY(v.rig.sortKeys().empty());
    QVERIFY(!v.rig.modified());
  }

  void doubleClickOnAFrequencyTunesAndDoesNotEdit() {
    Views v(kModelIc746);
    QSignalSpy tune(v.rigView, &app::ChannelTableView::frequencyDoubleClicked);
    const QPoint at = Views::cellCentre(v.rigView, 4, colFrequency);
    QTest::mouseClick(v.rigView->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(v.rigView->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(tune.count(), 1);
    QCOMPARE(tune.first().first().toInt(), 4);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QVERIFY(openEditor(v.rigView) == nullptr);

    // Keys typed at once after a click on the current cell all land in it,
    // each where the focus is as it comes, as the keyboard delivers them.
    Views::focusCell(v.rigView, 5, colFrequency);
    Views::click(v.rigView, 5, colFrequency);
    for (const QChar c : QStringLiteral("7074k")) {
      QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(cell(v.rig, colFrequency, 5), QStringLiteral("   7,074.00"));
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QVERIFY(openEditor(v.rigView) == nullptr);
    QCOMPARE(v.rigView->currentIndex(), v.rigModel.index(4, colFrequency));
  }

  void numberAndFrequencyStayInViewWhenScrolledSideways() {
    Views v(kModelIc746);
    v.rig.setSortIndication(true);
    app::ChannelTableView* view = v.rigView;
    view->horizontalHeader()->resizeSection(colName, 1200);
    QScrollBar* bar = view->horizontalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    Views::focusCell(view, 1, colChanged);
    bar->setValue(bar->maximum());
    const int frozenWidth = view->columnWidth(colNumber) + view->columnWidth(colFrequency);
    const QModelIndex freq = v.rigModel.index(3, colFrequency);
    const QRect at = view->visualRect(freq);
    QCOMPARE(at.left(), view->columnWidth(colNumber));
    QCOMPARE(view->indexAt(at.center()), freq);
    // Drawn there, with the edge the other columns pass under.
    const QImage shown = view->viewport()->grab().toImage();
    QCOMPARE(shown.pixelColor(frozenWidth - 1, at.center().y()), QColor(0x60, 0x60, 0x60));

    // Clicked and edited where it is shown, without a scroll.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at.center());
    QCOMPARE(view->currentIndex(), freq);
    QTest::keyClick(view, Qt::Key_F2);
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(edit);
    QCOMPARE(edit->geometry().left(), at.left());
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("7100"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(cell(v.rig, colFrequency, 4), QStringLiteral("   7,100.00"));
    QCOMPARE(bar->value(), bar->maximum());

    // The next cell comes out beside them, not under them.
    view->setCurrentIndex(v.rigModel.index(3, colName));
    QVERIFY(view->visualRect(view->currentIndex()).left() >= frozenWidth);
    // Their captions sort as they did unscrolled.
    QHeaderView* header = view->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(at.center().x(), header->height() / 2));
    QCOMPARE(v.rig.sortKeys(), (std::vector<SortKey>{{colFrequency, false}}));
  }

  void theKeyboardReachesThePopupMenuAndLeavesTheTable() {
    Views v(kModelIc746);
    app::TableActions actions(v.controller, *v.fileView, *v.rigView, &v.window);
    QMenu& menu = actions.menu();
    const std::function<void()> openers[] = {
        [&] { QTest::keyClick(v.fileView, Qt::Key_F10, Qt::ShiftModifier); },
        [&] {
          QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, {}, {});
          QApplication::sendEvent(v.fileView, &menuKey);
        }};
    for (const auto& open : openers) {
      Views::focusCell(v.fileView, 3, colName);
      open();
      QTRY_VERIFY(menu.isVisible());
      // Highlighted, so that a screen reader reads the menu at once.
      QVERIFY(menu.activeAction() != nullptr);
      QCOMPARE(menu.activeAction()->text(), actions.markAll->text());
      QCOMPARE(menu.accessibleName(), QStringLiteral("Permanent file commands"));
      menu.hide();
    }
    // The pop-up's own entries run the shared commands.
    const QList<QAction*> entries = menu.actions();
    const auto insert = std::find_if(entries.begin(), entries.end(), [&](QAction* a) {
      return a->text() == actions.insertRow->text();
    });
    QVERIFY(insert != entries.end() && (*insert)->isEnabled());
    (*insert)->trigger();
    QCOMPARE(cell(v.file, colName, 3), QString());
    QCOMPARE(cell(v.file, colName, 4), QStringLiteral("Charlie"));

    // Tab goes to the next cell; Ctrl+Tab out of the table, and back.
    Views::focusCell(v.fileView, 3, colName);
    QTest::keyClick(v.fileView, Qt::Key_Tab);
    QVERIFY(v.fileView->hasFocus());
    QCOMPARE(v.fileView->currentIndex().column(), colName + 1);
    QTest::keyClick(v.fileView, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(v.rigView->hasFocus());
    QTest::keyClick(v.rigView, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(v.fileView->hasFocus());
  }

  void cellsPaintTheCurrentRowTheSelectionTheGridAndTheTextColour() {
    Views v(kModelIc746Pro);
    app::ChannelTableView* view = v.fileView;
    const auto pixels = [view] { return view->viewport()->grab().toImage(); };
    // A pixel inside a cell's left edge, clear of its text, and one on its
    // bottom grid line.
    const auto inside = [view](const QImage& image, int row, int col) {
      const QRect r = view->visualRect(view->model()->index(row - 1, col));
      return image.pixelColor(r.left() + 1, r.top() + 1);
    };
    const auto bottomLine = [view](const QImage& image, int row, int col) {
      const QRect r = view->visualRect(view->model()->index(row - 1, col));
      return image.pixelColor(r.left() + 1, r.bottom());
    };
    // Clear of text and frame: the upper right corner; the left edge, where
    // a frame is.
    const auto clear = [view](const QImage& image, int row, int col) {
      const QRect r = view->visualRect(view->model()->index(row - 1, col));
      return image.pixelColor(r.right() - 4, r.top() + 3);
    };
    const auto leftEdge = [view](const QImage& image, int row, int col) {
      const QRect r = view->visualRect(view->model()->index(row - 1, col));
      return image.pixelColor(r.left() + 1, r.center().y());
    };
    const QColor base = view->palette().color(QPalette::Base);
    const QColor grid(0xC0, 0xC0, 0xC0);

    // The label cell of the current row, and only that one, is marked; a
    // selection of one cell is not shown.
    Views::focusCell(view, 2, colName);
    QImage image = pixels();
    QCOMPARE(inside(image, 2, colNumber), QColor(0xA0, 0xA0, 0xA0));
    QVERIFY(inside(image, 3, colNumber) != QColor(0xA0, 0xA0, 0xA0));
    QCOMPARE(clear(image, 2, colName), base);
    QCOMPARE(bottomLine(image, 3, colName), grid);
    // The current cell itself wears a frame, in a default and in a
    // high-contrast palette; the cell Find went to is filled too.
    QPalette contrast;
    contrast.setColor(QPalette::Base, Qt::black);
    contrast.setColor(QPalette::Text, Qt::white);
    contrast.setColor(QPalette::Highlight, Qt::yellow);
    contrast.setColor(QPalette::HighlightedText, Qt::black);
    for (const QPalette& palette : {view->palette(), contrast}) {
      view->setPalette(palette);
      Views::focusCell(view, 2, colName);
      image = pixels();
      QCOMPARE(leftEdge(image, 2, colName), palette.color(QPalette::Text));
      QCOMPARE(leftEdge(image, 3, colName), palette.color(QPalette::Base));
      view->markFound(view->model()->index(4, colMode));
      image = pixels();
      QCOMPARE(clear(image, 5, colMode), palette.color(QPalette::Highlight));
      QCOMPARE(leftEdge(image, 5, colMode), palette.color(QPalette::HighlightedText));
      QCOMPARE(leftEdge(image, 2, colName), palette.color(QPalette::Base));
      Views::focusCell(view, 2, colName);
      QCOMPARE(clear(pixels(), 5, colMode), palette.color(QPalette::Base));
    }
    view->setPalette(QPalette());
    image = pixels();

    // Two cells selected are shown.
    view->selectionModel()->select(
        QItemSelection(view->model()->index(1, colName), view->model()->index(2, colName)),
        QItemSelectionModel::ClearAndSelect);
    image = pixels();
    QVERIFY(clear(image, 2, colName) != base);
    QCOMPARE(clear(image, 2, colName), clear(image, 3, colName));
    view->clearSelection();

    // Without horizontal lines the data cells lose their bottom line; the
    // label column keeps it.
    view->setHorizontalLines(false);
    image = pixels();
    QCOMPARE(bottomLine(image, 4, colName), base);
    QCOMPARE(bottomLine(image, 4, colNumber), grid);

    // Texts take the table's colour.
    view->setTableFont(view->font(), Qt::red);
    image = pixels();
    const QRect nameCell = view->visualRect(view->model()->index(0, colName));
    bool red = false;
    for (int x = nameCell.left(); x <= nameCell.right() && !red; ++x) {
      for (int y = nameCell.top(); y <= nameCell.bottom() && !red; ++y) {
        const QColor c = image.pixelColor(x, y);
        red = c.red() > 200 && c.green() < 80 && c.blue() < 80;
      }
    }
    QVERIFY(red);
  }

  void theLedPaintsLitAndUnlitColoursAndSaysItsState() {
    app::RoundLed led;
    led.setOn(true);
    led.setColour(0x00FF00);
    const QPoint o = led.lampRect().topLeft();
    QImage lit = led.grab().toImage();
    QCOMPARE(lit.pixelColor(o + QPoint(6, 6)), QColor(0, 255, 0));
    QCOMPARE(lit.pixelColor(o + QPoint(4, 4)), QColor(255, 255, 255));
    // Black outline: the corner stays the background, the edge is dark.
    QVERIFY(lit.pixelColor(o + QPoint(0, 5)).green() < 64);
    // Not by colour alone: in words beside it, to a screen reader, in its tip.
    QCOMPARE(led.accessibleName(), QStringLiteral("Radio link: up (green)"));
    QVERIFY(led.label() == "Link up" && led.toolTip().contains("answers"));
    led.setColour(0x0000FF);
    led.setOn(false);
    QImage unlit = led.grab().toImage();
    // Unlit red is half red, with a silver spot.
    QCOMPARE(unlit.pixelColor(o + QPoint(6, 6)), QColor(127, 0, 0));
    QCOMPARE(unlit.pixelColor(o + QPoint(4, 4)), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(led.label(), QStringLiteral("No link"));
  }
};

QTEST_MAIN(TableViewTest)
#include "table_view_test.moc"
