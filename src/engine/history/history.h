#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class TAccGrid;

// One recorded change inside a step. Each change keeps only the other side of what it
// touched: undoing swaps the state after it for the state before, redoing swaps back.
class Change {
 public:
  virtual ~Change() = default;
  virtual void Undo() = 0;
  virtual void Redo() = 0;
  // What the change keeps in memory, for the history's budget.
  virtual std::size_t Bytes() const = 0;
};

// Where a table's cursor stood: the current cell, the selected line and the toolkit's focus.
struct GridCursor {
  int currentColumn = 1;
  int currentRow = 1;
  int selectedLine = 0;
  int focusedColumn = 1;
  int focusedRow = 1;
};

// The book's undo history: a list of steps, each one user command with its label and the
// changes its tables reported while it was open. Steps nest: a command that runs another
// command inside its own step records into the outer step only.
class History {
 public:
  static constexpr int kDefaultLimit = 100;
  // Steps beyond this much memory are dropped from the oldest end, whatever the limit, so a
  // run of huge steps (sorting a million lines again and again) can't exhaust memory.
  static constexpr std::size_t kByteBudget = std::size_t{256} << 20;

  // A table's part of the open step: where its cursor stood before and after, and the rows
  // the step appended to it, which need no further record until the step ends.
  struct TableEntry {
    TAccGrid* table = nullptr;
    GridCursor before;
    GridCursor after;
    Change* appending = nullptr;
    int appendedFrom = -1;
  };

  explicit History(int limit = kDefaultLimit);
  ~History();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  void BeginStep(std::string label);
  void EndStep();
  bool StepOpen() const { return depth_ > 0; }
  // True while a step is open and no undo or redo is being applied.
  bool Recording() const { return depth_ > 0 && !applying_; }
  void Record(std::unique_ptr<Change> change);
  // The open step's last change, so that a run of small changes can grow one record.
  Change* LastChange() const;
  // The table's entry in the open step, made (with its cursor before) on first use.
  TableEntry& Touch(TAccGrid& table);

  bool CanUndo() const { return index_ > 0; }
  bool CanRedo() const { return index_ < steps_.size(); }
  // Labels of the steps that undo and redo would apply; empty when there is none.
  std::string UndoLabel() const;
  std::string RedoLabel() const;
  // Apply one step back or forward and return the tables it touched, their cursors already
  // restored; the caller refreshes them. Empty when there was nothing to apply.
  std::vector<TAccGrid*> Undo();
  std::vector<TAccGrid*> Redo();

  // The book was marked modified: by the open step, or else by the step just done. Steps
  // that never mark it (an empty line added) leave the saved state where it is.
  void NoteModified();
  // The saved state: undoing or redoing back to it leaves the book unmodified.
  void MarkClean() { clean_ = static_cast<long>(index_); }
  bool AtClean() const;
  // A change reached the book outside any step: the steps no longer fit the tables, so they
  // are forgotten, and no undo leads back to the saved state.
  void Unrecorded();
  void Clear();

  int Count() const { return static_cast<int>(steps_.size()); }
  int Limit() const { return limit_; }
  void SetLimit(int limit);
  std::size_t Bytes() const { return bytes_; }

  // Called whenever what undo and redo would do changes (for menu captions).
  void SetChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }

 private:
  struct Step;
  void Trim();
  void Changed() const;

  std::vector<std::unique_ptr<Step>> steps_;
  std::size_t index_ = 0;  // steps before it are done; from it on they are undone
  long clean_ = 0;
  int limit_;
  std::size_t bytes_ = 0;
  int depth_ = 0;
  bool applying_ = false;
  std::unique_ptr<Step> open_;
  std::function<void()> changed_;
};

// Opens a step for as long as it lives; inside another step it joins that one.
class HistoryStep {
 public:
  HistoryStep(History* history, std::string label) : history_(history) {
    if (history_) history_->BeginStep(std::move(label));
  }
  ~HistoryStep() {
    if (history_) history_->EndStep();
  }
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;

 private:
  History* history_;
};

}  // namespace engine
