#pragma once
// The item model over one channel table: a thin adapter that forwards the
// table's change notifications one for one and hands every edit, check-box
// click and drop to the controller, which decides. Model row r is table row
// r + 1 (table row 0 is the header row, shown as the horizontal header);
// model column c is table column c, the label column included.

#include <QAbstractTableModel>
#include <QModelIndexList>
#include <functional>

#include "tables/channel_table.h"
#include "tables/table_observer.h"
#include "tables/tables_controller.h"

namespace tarnwick::app {

// MIME type of a row dragged between the tables. The controller knows which
// row is on its way; the data only names the table it came from.
inline constexpr char kRowMimeType[] = "application/x-tarnwick-row";

class ChannelTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ChannelTableModel(ChannelTable& table, TablesController& controller, QObject* parent = nullptr);
  ~ChannelTableModel() override;

  ChannelTable& table() { return table_; }
  const ChannelTable& table() const { return table_; }
  TablesController& controller() { return controller_; }
  static int tableRow(const QModelIndex& index) { return index.row() + 1; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // EditRole: a text written into a text cell, or the item picked in a
  // list; CheckStateRole: a click on a check box.
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // A line added to the Frequency column's tool tip (why a double click
  // does not tune); empty for none.
  void setFrequencyNote(const QString& note);

  // The radio model changed: cells whose editor depends on it (a Select
  // check box or list) are shown and flagged anew.
  void editorsChanged();
  // The controller's frequency unit changed: the frequencies are shown anew.
  void frequencyUnitChanged();

  // A text editor opened on the cell is left with `text`: the edit the
  // editor opened ends, as one step with the marks its typing made.
  bool finishEdit(const QModelIndex& index, const QString& text);

  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  // The drop goes onto the row of `parent` (or `row`); the controller's
  // acceptance rules decide, and its drop result is all that happens.
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

  // The other rows a text typed or picked in column `col` goes to (a
  // selection of rows in that column); none by default.
  void setFillRows(std::function<std::vector<int>(int col)> rows) { fillRows_ = std::move(rows); }

  // Where the core's failures go (an error box in the window).
  void setErrorHandler(std::function<void(const QString&)> handler) {
    errorHandler_ = std::move(handler);
  }
  // Runs a core operation; a failure shows its message and changes nothing
  // further (the core leaves the table as it was).
  bool guarded(const std::function<bool()>& operation);

 signals:
  void tableModifiedChanged(bool modified);
  void tableLockChanged(bool locked);
  void sortKeysChanged();

 public:
  // Whether the column's cells show check boxes for the current model.
  bool isCheckBoxColumn(int col) const;

 private:
  // Passes the table's notifications on as the model's own signals.
  class Forwarder : public TableObserver {
   public:
    explicit Forwarder(ChannelTableModel& model) : m_(model) {}
    void cellsChanged(int firstRow, int lastRow, int firstCol, int lastCol) override;
    void headerChanged() override;
    void rowsAboutToBeInserted(int first, int last) override;
    void rowsInserted(int first, int last) override;
    void rowsAboutToBeRemoved(int first, int last) override;
    void rowsRemoved(int first, int last) override;
    void rowsAboutToBeMoved(int first, int last, int destination) override;
    void rowsMoved(int first, int last, int destination) override;
    void layoutAboutToBeChanged() override;
    void rowsPermuted(int first, std::span<const int> order) override;
    void layoutChanged() override;
    void modelAboutToBeReset() override;
    void modelReset() override;
    void modifiedChanged(bool modified) override;
    void inputLockChanged(bool locked) override;
    void sortIndicatorChanged() override;

   private:
    ChannelTableModel& m_;
  };

  void movePersistentRows(int first, std::span<const int> order);
  ChannelTable* dropSource(const QMimeData* data) const;
  int dropRow(int row, const QModelIndex& parent) const;

  ChannelTable& table_;
  TablesController& controller_;
  QString frequencyNote_;
  std::function<void(const QString&)> errorHandler_;
  std::function<std::vector<int>(int col)> fillRows_;
  Forwarder forwarder_{*this};
};

}  // namespace tarnwick::app
