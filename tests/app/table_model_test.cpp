#include <QAbstractItemModelTester>
#include <QtTest>

#include "app/table_model.h"
#include "tables/table_ops.h"

using namespace tarnwick;

class TableModelTest : public QObject {
  Q_OBJECT

 private slots:
  void placeholder() {
    ChannelTable file(TableKind::PermanentFile), rig(TableKind::Rig);
    struct Msg : TableMessages {
      void showError(std::string_view) override {}
    } msg;
    TablesController ctl(file, rig, msg);
    app::ChannelTableModel model(file, ctl);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    file.setRowCount(5);
    QCOMPARE(model.rowCount(), 4);
  }
};

QTEST_MAIN(TableModelTest)
#include "table_model_test.moc"
