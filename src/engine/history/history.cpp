#include "engine/history/history.h"

#include <algorithm>

#include "engine/tables/acc_grid.h"

namespace engine {

struct History::Step {
  std::string label;
  std::vector<std::unique_ptr<Change>> changes;
  std::vector<TableEntry> tables;
  std::size_t bytes = 0;
  bool modifies = false;

  // Changes are destroyed newest first: a change that owns a table (a removed ledger) must
  // outlive the older changes that name it.
  ~Step() {
    while (!changes.empty()) changes.pop_back();
  }
};

History::History(int limit) : limit_(std::max(1, limit)) {}

History::~History() {
  open_.reset();
  // Newest steps first, for the same reason as the changes inside a step.
  while (!steps_.empty()) steps_.pop_back();
}

void History::BeginStep(std::string label) {
  if (depth_++ > 0) return;
  open_ = std::make_unique<Step>();
  open_->label = std::move(label);
}

void History::EndStep() {
  if (depth_ == 0 || --depth_ > 0) return;
  std::unique_ptr<Step> step = std::move(open_);
  if (!step || step->changes.empty()) return;
  for (TableEntry& entry : step->tables) {
    entry.after = entry.table->Cursor();
    entry.appending = nullptr;
  }
  for (const auto& change : step->changes) step->bytes += change->Bytes();
  step->bytes += sizeof(Step) + step->tables.size() * sizeof(TableEntry) + step->label.size();
  // A new step makes the undone ones unreachable; they go newest first.
  while (steps_.size() > index_) {
    bytes_ -= steps_.back()->bytes;
    steps_.pop_back();
  }
  if (clean_ > static_cast<long>(index_)) clean_ = -1;
  bytes_ += step->bytes;
  steps_.push_back(std::move(step));
  ++index_;
  Trim();
  Changed();
}

void History::Trim() {
  while (!steps_.empty() && (static_cast<int>(steps_.size()) > limit_ ||
                             (bytes_ > kByteBudget && steps_.size() > 1))) {
    if (index_ == 0) {
      // Everything is undone: the step redo would apply last goes, so redo stays whole.
      bytes_ -= steps_.back()->bytes;
      steps_.pop_back();
      if (clean_ > static_cast<long>(steps_.size())) clean_ = -1;
      continue;
    }
    bytes_ -= steps_.front()->bytes;
    steps_.erase(steps_.begin());
    --index_;
    clean_ = clean_ > 0 ? clean_ - 1 : -1;
  }
}

void History::Record(std::unique_ptr<Change> change) {
  if (!Recording() || !change) return;
  open_->changes.push_back(std::move(change));
}

Change* History::LastChange() const {
  if (!Recording() || open_->changes.empty()) return nullptr;
  return open_->changes.back().get();
}

History::TableEntry& History::Touch(TAccGrid& table) {
  auto& tables = open_->tables;
  // Most changes come from the table that changed last.
  if (!tables.empty() && tables.back().table == &table) return tables.back();
  for (TableEntry& entry : tables) {
    if (entry.table == &table) return entry;
  }
  TableEntry entry;
  entry.table = &table;
  entry.before = table.Cursor();
  tables.push_back(entry);
  return tables.back();
}

std::string History::UndoLabel() const {
  return CanUndo() ? steps_[index_ - 1]->label : std::string();
}

std::string History::RedoLabel() const {
  return CanRedo() ? steps_[index_]->label : std::string();
}

std::vector<TAccGrid*> History::Undo() {
  if (!CanUndo() || depth_ > 0) return {};
  Step& step = *steps_[index_ - 1];
  applying_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{applying_};
  for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) (*it)->Undo();
  --index_;
  std::vector<TAccGrid*> tables;
  for (const TableEntry& entry : step.tables) {
    entry.table->RestoreCursor(entry.before);
    tables.push_back(entry.table);
  }
  Changed();
  return tables;
}

std::vector<TAccGrid*> History::Redo() {
  if (!CanRedo() || depth_ > 0) return {};
  Step& step = *steps_[index_];
  applying_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{applying_};
  for (const auto& change : step.changes) change->Redo();
  ++index_;
  std::vector<TAccGrid*> tables;
  for (const TableEntry& entry : step.tables) {
    entry.table->RestoreCursor(entry.after);
    tables.push_back(entry.table);
  }
  Changed();
  return tables;
}

void History::Clear() {
  open_.reset();
  depth_ = 0;
  while (!steps_.empty()) steps_.pop_back();
  index_ = 0;
  clean_ = 0;
  bytes_ = 0;
  Changed();
}

void History::NoteModified() {
  if (open_) {
    open_->modifies = true;
  } else if (index_ > 0 && index_ == steps_.size()) {
    steps_[index_ - 1]->modifies = true;
  }
}

bool History::AtClean() const {
  if (clean_ < 0) return false;
  const auto clean = static_cast<std::size_t>(clean_);
  for (std::size_t i = std::min(clean, index_); i < std::max(clean, index_); ++i) {
    if (steps_[i]->modifies) return false;
  }
  return true;
}

void History::Unrecorded() {
  if (steps_.empty() && clean_ == -1) return;
  while (!steps_.empty()) steps_.pop_back();
  index_ = 0;
  clean_ = -1;
  bytes_ = 0;
  Changed();
}

void History::SetLimit(int limit) {
  limit_ = std::max(1, limit);
  Trim();
  Changed();
}

void History::Changed() const {
  if (changed_) changed_();
}

}  // namespace engine
