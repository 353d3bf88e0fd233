// A filtered table driven as a user drives it: typing, a one-column fill,
// a drag by the label and undo each land on the rows the user sees.

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QtTest>

#include "app/table_filter.h"
#include "app_test_util.h"
#include "tables/edit_history.h"

using namespace tarnwick;
using apptest::Views;

namespace {

QString cell(const ChannelTable& t, int col, int row) {
  return QString::fromLatin1(t.cell(col, row).c_str());
}

std::vector<int> visibleRows(const app::ChannelTableView* v) {
  std::vector<int> rows;
  for (int r = 0; r < v->model()->rowCount(); ++r) {
    if (!v->isRowHidden(r)) rows.push_back(r + 1);
  }
  return rows;
}

}  // namespace

class FilterViewTest : public QObject {
  Q_OBJECT

 private slots:
  void editsDragsAndUndoInAFilteredViewLandOnTheRowsShown() {
    Views v(kModelIc746);
    EditHistory history(v.file, v.rig);
    v.controller.setHistory(&history);
    // Twelve channels; the "rep" ones are rows 3, 6, 9 and 12.
    v.file.setRowCount(13);
    for (int r = 1; r <= 12; ++r) {
      apptest::putChannel(v.file, r, 14000 + r, (r % 3 == 0 ? "Rep" : "Air") + std::to_string(r));
    }
    app::TableFilter filter(*v.fileView, &v.window);
    QCOMPARE(filter.field().accessibleName(), QStringLiteral("Filter permanent file"));
    QTest::keyClicks(&filter.field(), QStringLiteral("REP"));
    QCOMPARE(visibleRows(v.fileView), (std::vector<int>{3, 6, 9, 12}));
    QCOMPARE(filter.countLabel().text(), QStringLiteral("4 of 12 rows"));
    // On screen without gaps: the second row shown is table row 6.
    QCOMPARE(v.fileView->rowAt(v.fileView->rowHeight(2) + 1), 5);

    // The second row on screen is table row 6: a name typed there goes there.
    v.fileView->setFocus();
    v.fileView->setCurrentIndex(v.fileModel.index(5, colName));
    QTest::keyClick(v.fileView, Qt::Key_F2);
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("Tower"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(cell(v.file, colName, 6), QStringLiteral("Tower"));
    QCOMPARE(cell(v.file, colName, 5), QStringLiteral("Air5"));
    // It no longer matches but stays in view while the user works on it.
    QCOMPARE(visibleRows(v.fileView), (std::vector<int>{3, 6, 9, 12}));

    // A text typed over the column selection of rows 3..12 goes to the four
    // rows shown, not to the eight hidden among them.
    v.fileView->selectionModel()->select(
        QItemSelection(v.fileModel.index(2, colName), v.fileModel.index(11, colName)),
        QItemSelectionModel::ClearAndSelect);
    v.fileView->selectionModel()->setCurrentIndex(v.fileModel.index(2, colName),
                                                  QItemSelectionModel::NoUpdate);
    QTest::keyClick(v.fileView, Qt::Key_F2);
    edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("Rpt"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCoreApplication::processEvents();
    for (int r : {3, 6, 9, 12}) QCOMPARE(cell(v.file, colName, r), QStringLiteral("Rpt"));
    for (int r : {4, 5, 7, 8, 10, 11}) QVERIFY(cell(v.file, colName, r).startsWith("Air"));
    QCOMPARE(QString::fromStdString(history.undoText()), QStringLiteral("Undo Edit"));

    // Drag the shown row 9 by its label onto the shown row 3 (occupied):
    // it moves there and the rows between shift, hidden ones included.
    const QString mover = cell(v.file, colFrequency, 9);
    QTest::mousePress(v.fileView->viewport(), Qt::LeftButton, {},
                      Views::cellCentre(v.fileView, 9, colNumber));
    QCOMPARE(v.controller.dragRow(), 9);
    QTest::mouseRelease(v.fileView->viewport(), Qt::LeftButton, {},
                        Views::cellCentre(v.fileView, 9, colNumber));
    std::unique_ptr<QMimeData> mime(v.fileModel.mimeData({v.fileModel.index(8, colNumber)}));
    QVERIFY(v.fileModel.dropMimeData(mime.get(), Qt::CopyAction, -1, -1,
                                     v.fileModel.index(2, colName)));
    QCOMPARE(cell(v.file, colFrequency, 3), mover);
    QCOMPARE(cell(v.file, colName, 4), QStringLiteral("Rpt"));
    filter.applyToView();
    // The moved row is shown where it landed; its old neighbours keep theirs.
    QVERIFY(!v.fileView->isRowHidden(2));
    QVERIFY(!v.fileView->isRowHidden(3));
    QVERIFY(v.fileView->isRowHidden(4));  // Air4, moved down one

    // Undo the drag and the fill: every row back, shown where it was.
    QVERIFY(history.undo());
    QCOMPARE(cell(v.file, colFrequency, 9), mover);
    QCOMPARE(cell(v.file, colName, 3), QStringLiteral("Rpt"));
    QVERIFY(history.undo());
    QCOMPARE(cell(v.file, colName, 3), QStringLiteral("Rep3"));
    QCOMPARE(cell(v.file, colName, 6), QStringLiteral("Tower"));
    QCOMPARE(cell(v.file, colName, 12), QStringLiteral("Rep12"));
    filter.applyToView();
    QCOMPARE(visibleRows(v.fileView), (std::vector<int>{3, 6, 9, 12}));

    // Clearing the filter shows every row again.
    filter.field().clear();
    QCOMPARE(static_cast<int>(visibleRows(v.fileView).size()), 12);
    QCOMPARE(filter.countLabel().text(), QString());
  }
};

QTEST_MAIN(FilterViewTest)
#include "filter_view_test.moc"
