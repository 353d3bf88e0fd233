#include <QApplication>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/table_model.h"
#include "app/table_view.h"
#include "tables/table_ops.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  using namespace tarnwick;
  ChannelTable file(TableKind::PermanentFile), rig(TableKind::Rig);
  struct Msg : TableMessages {
    void showError(std::string_view) override {}
  } msg;
  TablesController ctl(file, rig, msg);
  ctl.setModelIndex(19);
  file.setRowCount(30);
  rig.setRowCount(103);
  ResetHeaders(file, rig);
  AddRowCheckBoxes(file);
  AddRowCheckBoxes(rig);
  app::ChannelTableModel fm(file, ctl), rm(rig, ctl);
  QSplitter split(Qt::Vertical);
  auto* fv = new app::ChannelTableView(fm);
  auto* rv = new app::ChannelTableView(rm);
  split.addWidget(fv);
  split.addWidget(rv);
  split.resize(800, 600);
  split.show();
  return app.exec();
}
