#pragma once
// Both tables with their controller, item models and views, for the Qt
// tests of the desktop program.

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/table_model.h"
#include "app/table_view.h"
#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "tables/column_layout.h"
#include "tables/table_ops.h"
#include "tables/tables_controller.h"

namespace tarnwick::apptest {

struct RecordingMessages : TableMessages {
  std::vector<std::string> errors;
  void showError(std::string_view text) override { errors.emplace_back(text); }
};

// A channel in a row: label, frequency in kHz (0: empty), name, mode, boxes.
inline void putChannel(ChannelTable& t, int row, std::int32_t khz, const std::string& name,
                       const std::string& mode = "USB") {
  ChannelRecord rec;
  rec[colNumber] = std::to_string(row);
  rec[colFrequency] = khz > 0 ? formatFrequency(khz * 1000, mode) : "";
  rec[colName] = name;
  rec[colMode] = mode;
  rec[colFilter] = "Normal";
  rec[colDuplex] = "Simplex";
  // Characters, not "0": GCC 12 takes the optimised copy of a one-letter
  // literal for an overlapping one (-Wrestrict).
  rec[colSelect] = '0';
  rec[colChanged] = '0';
  t.setRecord(row, rec);
  t.setCheckBoxes(row, true);
}

// "R1", "R2", ...: appended, because GCC 12 takes the optimised insert of
// "R" + std::to_string(n) for an overlapping copy (-Wrestrict).
inline std::string numbered(const char* prefix, int n) {
  std::string text = prefix;
  text += std::to_string(n);
  return text;
}

struct Tables {
  ChannelTable file{TableKind::PermanentFile};
  ChannelTable rig{TableKind::Rig};
  RecordingMessages messages;
  TablesController controller{file, rig, messages};

  explicit Tables(int modelIndex) {
    controller.setModelIndex(modelIndex);
    PrepareRigTable(rig, modelIndex);
    for (int r = 1; r < rig.rowCount(); ++r)
      putChannel(rig, r, r <= 10 ? 7000 + r : 0, r <= 10 ? numbered("R", r) : "");
    file.setRowCount(6);
    SetColumnHeaders(file);
    const char* names[] = {"Delta", "alpha", "Charlie", "bravo", "Echo"};
    for (int r = 1; r <= 5; ++r) putChannel(file, r, 14000 + 10 * (6 - r), names[r - 1]);
    file.setModified(false);
    rig.setModified(false);
  }
};

// The tables shown in two views inside one window.
struct Views : Tables {
  app::ChannelTableModel fileModel{file, controller};
  app::ChannelTableModel rigModel{rig, controller};
  QWidget window;
  app::ChannelTableView* fileView;
  app::ChannelTableView* rigView;

  explicit Views(int modelIndex) : Tables(modelIndex) {
    fileView = new app::ChannelTableView(fileModel, &window);
    rigView = new app::ChannelTableView(rigModel, &window);
    fileView->setGeometry(0, 0, 800, 300);
    rigView->setGeometry(0, 300, 800, 300);
    for (auto* v : {fileView, rigView}) {
      v->setHiddenColumns(tarnwick::hiddenColumns(modelIndex));
      v->setRowHeight(18);
    }
    window.resize(800, 600);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qWarning("window not exposed");
  }

  // The centre of a cell, in the view's viewport.
  static QPoint cellCentre(app::ChannelTableView* v, int tableRow, int col) {
    return v->visualRect(v->model()->index(tableRow - 1, col)).center();
  }
  static QPoint sectionCentre(app::ChannelTableView* v, int col) {
    QHeaderView* h = v->horizontalHeader();
    return {h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2};
  }
  static void click(app::ChannelTableView* v, int tableRow, int col,
                    Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(v->viewport(), Qt::LeftButton, mods, cellCentre(v, tableRow, col));
  }
  // Makes the cell current without starting anything else.
  static void focusCell(app::ChannelTableView* v, int tableRow, int col) {
    // Keys go to the active window; each test's window takes its turn.
    QApplication::setActiveWindow(v->window());
    v->setFocus();
    v->setCurrentIndex(v->model()->index(tableRow - 1, col));
  }
};

}  // namespace tarnwick::apptest
