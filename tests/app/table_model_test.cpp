// The item models over both tables, checked by Qt's own model tester while
// every table operation runs, and the model's side of editing and dropping.

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QtTest>

#include "app_test_util.h"
#include "rig/rig_catalogue.h"

using namespace tarnwick;
using apptest::Tables;

class TableModelTest : public QObject {
  Q_OBJECT

 private slots:
  void everyOperationKeepsTheModelsConsistent() {
    Tables t(kModelIc746);
    app::ChannelTableModel fileModel(t.file, t.controller);
    app::ChannelTableModel rigModel(t.rig, t.controller);
    QAbstractItemModelTester fileTester(&fileModel,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester rigTester(&rigModel,
                                       QAbstractItemModelTester::FailureReportingMode::QtTest);
    TablesController& c = t.controller;
    t.file.setSortIndication(true);
    t.rig.setSortIndication(true);

    // A persistent index (as the current cell is) follows its row.
    QPersistentModelIndex alpha(fileModel.index(1, colName));
    QVERIFY(c.clickSort(t.file, colName, false));
    QCOMPARE(alpha.data().toString(), QStringLiteral("alpha"));
    QCOMPARE(alpha.row(), 0);
    QVERIFY(c.clickSort(t.file, colFrequency, true));
    QVERIFY(c.clickSort(t.rig, colFrequency, false));

    QVERIFY(c.insertRow(t.file, 2));
    QVERIFY(c.deleteRow(t.file, 4));
    QVERIFY(c.insertRow(t.rig, 3));
    QVERIFY(c.deleteRow(t.rig, 3));
    QVERIFY(c.deleteRow(t.rig, 3));

    // Drags within and between the tables.
    c.armDrag(t.file, 1, false);
    QVERIFY(c.drop(t.file, t.file, 4));
    c.armDrag(t.rig, 5, false);
    QVERIFY(c.drop(t.file, t.rig, 2));
    c.armDrag(t.file, 3, false);
    QVERIFY(c.drop(t.rig, t.file, 6));

    // Clipboard: a paste past the end of the permanent file adds rows.
    const int rows = fileModel.rowCount();
    c.pasteCells(t.file, t.file.rowCount() - 1, std::vector<int>{colFrequency, colName},
                 "7100\tA\n7200\tB\n7300\tC\n");
    QCOMPARE(fileModel.rowCount(), rows + 2);
    QVERIFY(c.cutCells(t.rig, {1, 3, {colName}}));

    // Edits through the model, as the delegate commits them.
    QVERIFY(rigModel.setData(rigModel.index(0, colName), QStringLiteral("NEWNAME"), Qt::EditRole));
    QVERIFY(rigModel.setData(rigModel.index(0, colMode), QStringLiteral("CW"), Qt::EditRole));
    QVERIFY(!rigModel.setData(rigModel.index(0, colMode), QStringLiteral("XX"), Qt::EditRole));
    QVERIFY(rigModel.setData(rigModel.index(0, colSelect), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(t.rig.cell(colSelect, 1), std::string("1"));

    // A new read (reset, shrink, grow) and an opened file (reset).
    PrepareRigTable(t.rig, kModelIc910);
    QCOMPARE(rigModel.rowCount(), 106);
    t.file.assign(std::vector<ChannelRecord>(3), true);
    QCOMPARE(fileModel.rowCount(), 2);
    QVERIFY(t.messages.errors.empty());
  }

  void cellsShowTheirTextsAndBoxesAsLatin1() {
    Tables t(kModelIc756Pro);
    app::ChannelTableModel model(t.rig, t.controller);
    t.rig.setCell(colName, 1, "Caf\xE9");
    t.rig.setCell(colChanged, 2, "2");
    t.rig.setCell(colChanged, 3, "1");
    QCOMPARE(model.index(0, colName).data().toString(), QStringLiteral("Caf\u00E9"));
    // "2" (refused during a store) shows an unticked box; a box has no text.
    QCOMPARE(model.index(1, colChanged).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
    QCOMPARE(model.index(2, colChanged).data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Checked);
    QCOMPARE(model.index(2, colChanged).data(Qt::AccessibleTextRole).toString(),
             QStringLiteral("ticked"));
    QVERIFY(!model.index(2, colChanged).data(Qt::DisplayRole).isValid());
    QCOMPARE(model.headerData(colFrequency, Qt::Horizontal, Qt::ToolTipRole).toString(),
             QStringLiteral("Frequency (Double click to tune)"));
    QCOMPARE(model.index(0, colName).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignLeft | Qt::AlignVCenter);

    // A character without a Latin-1 byte is refused, never stored as "?".
    QVERIFY(!model.setData(model.index(0, colName), QStringLiteral("\u20ACuro"), Qt::EditRole));
    QCOMPARE(t.rig.cell(colName, 1), std::string("Caf\xE9"));
    QVERIFY(model.setData(model.index(0, colName), QStringLiteral("\u00B4ok"), Qt::EditRole));
    QCOMPARE(t.rig.cell(colName, 1), std::string("\xB4ok"));
  }

  void dropsFollowTheControllersRulesAndNothingElse() {
    Tables t(kModelIc746);
    app::ChannelTableModel fileModel(t.file, t.controller);
    app::ChannelTableModel rigModel(t.rig, t.controller);
    // Rows 50..99 full: an occupied row there has no room below it.
    for (int r = 50; r <= 99; ++r) apptest::putChannel(t.rig, r, 8000 + r, "F");
    t.controller.armDrag(t.file, 2, false);
    std::unique_ptr<QMimeData> mime(fileModel.mimeData({fileModel.index(1, colNumber)}));
    QVERIFY(!rigModel.canDropMimeData(mime.get(), Qt::CopyAction, -1, -1, rigModel.index(59, 3)));
    QVERIFY(rigModel.canDropMimeData(mime.get(), Qt::CopyAction, -1, -1, rigModel.index(20, 3)));
    // A drop from another source than the drag that started is refused.
    std::unique_ptr<QMimeData> rigMime(rigModel.mimeData({rigModel.index(0, colNumber)}));
    QVERIFY(
        !rigModel.canDropMimeData(rigMime.get(), Qt::CopyAction, -1, -1, rigModel.index(20, 3)));

    const int fileRows = fileModel.rowCount();
    QVERIFY(rigModel.dropMimeData(mime.get(), Qt::CopyAction, -1, -1, rigModel.index(20, 3)));
    // A copy between the tables: the permanent file keeps its row.
    QCOMPARE(fileModel.rowCount(), fileRows);
    QCOMPARE(t.rig.cell(colName, 21), std::string("alpha"));
    QCOMPARE(t.rig.cell(colChanged, 21), std::string("1"));
    QVERIFY(t.rig.modified());

    // A locked rig table takes no drop and offers no editor.
    t.rig.setInputLocked(true);
    t.controller.armDrag(t.file, 3, false);
    QVERIFY(!rigModel.canDropMimeData(mime.get(), Qt::CopyAction, -1, -1, rigModel.index(30, 3)));
    QVERIFY(!(rigModel.flags(rigModel.index(0, colName)) & Qt::ItemIsEditable));
    QVERIFY(!(rigModel.flags(rigModel.index(0, colSelect)) & Qt::ItemIsUserCheckable));
  }

  void selectGroupsShowAsTextsPickedFromAList() {
    Tables t(kModelIc7300);
    app::ChannelTableModel model(t.rig, t.controller);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    t.rig.setCell(colSelect, 1, "*2");
    const QModelIndex select = model.index(0, colSelect);
    QCOMPARE(select.data().toString(), QStringLiteral("*2"));
    QVERIFY(!select.data(Qt::CheckStateRole).isValid());
    QVERIFY(select.flags() & Qt::ItemIsEditable);
    QVERIFY(!(select.flags() & Qt::ItemIsUserCheckable));
    QVERIFY(!model.setData(select, Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!model.setData(select, QStringLiteral("*4"), Qt::EditRole));
    QVERIFY(model.setData(select, QStringLiteral("*3"), Qt::EditRole));
    QCOMPARE(t.rig.cell(colSelect, 1), std::string("*3"));
    QCOMPARE(t.rig.cell(colChanged, 1), std::string("1"));

    // Another radio: the same cell is a box again, and the view hears of it.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    t.controller.setModelIndex(kModelIc746);
    model.editorsChanged();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(select.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    QVERIFY(select.flags() & Qt::ItemIsUserCheckable);
  }
};

QTEST_MAIN(TableModelTest)
#include "table_model_test.moc"
