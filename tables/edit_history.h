#pragma once
// One undo history for both channel tables. The tables tell it every change
// through their recorder hook; an UndoStep scope groups the changes of one
// user operation into a named step. A step holds only what undoes it (old
// texts, removed rows, a permutation), never a copy of a table.
//
// Changes made outside any step (the transfer engine, Save and Open) are
// not undone. Those that would make older steps wrong end the history of
// their table: a reset (Open, the start-up load, a read from the radio), or
// an overwrite of channel cells other than in rows appended at the end.
// The steps that touch both tables go with it, and so does everything older
// of the other table, which such a step fixed in place.

#include <array>
#include <climits>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/channel_table.h"
#include "tables/history_changes.h"
#include "tables/table_observer.h"
#include "tables/table_recorder.h"

namespace tarnwick {

struct HistoryLimits {
  std::size_t maxSteps = 1000;
  std::size_t maxBytes = std::size_t{64} << 20;  // bytes the steps hold, undo and redo together
};

class HistoryObserver {
 public:
  virtual ~HistoryObserver() = default;
  // Whether undo or redo is possible, or the step they name, may have changed.
  virtual void historyChanged() = 0;
};

class EditHistory final : private TableRecorder, private TableObserver {
 public:
  // Becomes the recorder of both tables, which outlive it.
  EditHistory(ChannelTable& file, ChannelTable& rig, HistoryLimits limits = {});
  ~EditHistory() override;
  EditHistory(const EditHistory&) = delete;
  EditHistory& operator=(const EditHistory&) = delete;

  // Refused while a table the step touches is locked, and inside a step.
  bool canUndo() const;
  bool canRedo() const;
  // "Undo Drag", "Redo Sort by Name"; empty when there is no such step,
  // whether or not a lock refuses it now.
  std::string undoText() const;
  std::string redoText() const;
  // Each returns whether it ran.
  bool undo();
  bool redo();
  // Forgets every step.
  void clear();

  std::size_t undoCount() const { return undo_.size(); }
  std::size_t redoCount() const { return redo_.size(); }
  std::size_t bytes() const { return bytes_; }

  // A key that lets the scopes of one cell edit (its marks while typing and
  // the text it ends with) join one step.
  std::uint64_t newMergeKey() { return ++lastMergeKey_; }

  void addObserver(HistoryObserver* observer);
  void removeObserver(HistoryObserver* observer);

 private:
  friend class UndoStep;

  struct Step {
    std::string name;
    std::uint64_t mergeKey = 0;
    std::vector<TableChange> changes;
    std::array<bool, 2> touched{};
    // Whether the step set Modified: the steps that did, counted per table,
    // tell how far the table stands from its saved state.
    std::array<bool, 2> dirty{};
    std::uint64_t storeGeneration = 0;
    std::size_t bytes = 0;
  };
  enum class Mode { Idle, Recording, Replaying };
  static constexpr int kNoRow = INT_MAX;

  void begin(std::string_view name, std::uint64_t mergeKey);
  void end();
  void close();
  void push(Step step);
  void merge(Step step);
  void record(TableChange change);
  bool recordsRow(int t, int row) const;
  void touch(int t);
  void forget(int t);
  void discardRedo();
  void release(const Step& step);
  void enforceLimits();
  void dropUnreachableClean();
  bool travel(bool backwards);
  bool replay(Step& step, bool backwards);
  void markStoredRows(const Step& step);
  std::size_t stepBytes(const Step& step) const;
  bool locked(const Step& step) const;
  int indexOf(const ChannelTable& table) const { return &table == tables_[0] ? 0 : 1; }
  void externalCells(int t, int firstRow, int lastRow, int firstCol, int lastCol);
  void notifyChanged();

  // TableRecorder
  bool wantsOldCells(const ChannelTable& table, int row) const override;
  void cellChanged(ChannelTable& table, int row, int col, std::string&& old) override;
  void cellsOverwritten(ChannelTable& table, int firstRow, int lastRow, int firstCol,
                        int lastCol) override;
  void checkBoxesChanged(ChannelTable& table, int row, bool old) override;
  void rowsInserted(ChannelTable& table, int at, int count) override;
  void rowsRemoving(ChannelTable& table, int at, std::span<const ChannelRecord> rows,
                    std::span<const char> checkBoxes) override;
  void rowMoved(ChannelTable& table, int from, int to) override;
  void rowsPermuted(ChannelTable& table, int first, std::span<const int> order) override;
  void sortKeysChanged(ChannelTable& table, std::vector<SortKey>&& old) override;
  void modifiedSet(ChannelTable& table, bool on) override;
  void tableReset(ChannelTable& table) override;
  // TableObserver: only the lock; its other calls keep their names beside
  // the recorder's, which take the table first.
  using TableObserver::rowsInserted;
  using TableObserver::rowsPermuted;
  void inputLockChanged(bool locked) override;

  TablePair tables_;
  HistoryLimits limits_;
  std::deque<Step> undo_;   // oldest first
  std::vector<Step> redo_;  // the next to redo last
  std::size_t bytes_ = 0;
  std::array<int, 2> touchCount_{};  // steps in either list that touch the table

  Mode mode_ = Mode::Idle;
  int depth_ = 0;
  Step open_;
  std::size_t openBytes_ = 0;
  bool openVoid_ = false;  // too large, or its table was reset: not kept
  std::array<bool, 2> openTouched_{};
  std::array<bool, 2> modifiedAtOpen_{};
  // Rows the open step inserted: their cells need no old texts, since
  // undoing the insert takes the rows out whole.
  std::array<RowSpan, 2> fresh_{};
  // The first row the engine appended since the last step; its cells may be
  // written outside a step without harm to the history.
  std::array<int, 2> appendedFrom_{};

  // Dirtying steps applied per table, and that count when the table was last
  // saved; nullopt when no undo or redo can get back there.
  std::array<std::int64_t, 2> applied_{};
  std::array<std::optional<std::int64_t>, 2> cleanAt_{};
  // Counts writes of rig Changed marks outside a step (a store, a save).
  std::uint64_t storeGeneration_ = 0;
  std::uint64_t lastMergeKey_ = 0;
  std::vector<HistoryObserver*> observers_;
};

// Makes every change of the two tables during its lifetime one step named
// `name`. Scopes nest: an inner one joins the outer step. A scope whose
// non-zero merge key is that of the last step, while it is still the last,
// adds to that step. A null history records nothing. Show no dialog and run
// no events inside a scope: whatever the engine changed meanwhile would
// become part of the step.
class UndoStep {
 public:
  UndoStep(EditHistory* history, std::string_view name, std::uint64_t mergeKey = 0);
  UndoStep(EditHistory& history, std::string_view name, std::uint64_t mergeKey = 0)
      : UndoStep(&history, name, mergeKey) {}
  ~UndoStep();
  UndoStep(const UndoStep&) = delete;
  UndoStep& operator=(const UndoStep&) = delete;

 private:
  EditHistory* history_;
};

}  // namespace tarnwick
