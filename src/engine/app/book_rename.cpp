// Renaming a subject: one command that carries the new name into every place of the book
// that names the subject.

#include <QFile>
#include <algorithm>

#include "engine/amount/aggregation_settings.h"
#include "engine/app/book.h"
#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"
#include "engine/history/history.h"
#include "engine/plan/budget.h"
#include "engine/plan/recurring.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

namespace {

// A rename's part outside the tables (the caption, the window, the settings waiting for the
// save, the file to remove), undone and redone by renaming again.
class LedgerRenamed : public Change {
 public:
  LedgerRenamed(Book& book, TLedgerGrid& ledger, std::string other)
      : book_(book), ledger_(ledger), other_(std::move(other)) {}
  void Undo() override { Toggle(); }
  void Redo() override { Toggle(); }
  std::size_t Bytes() const override { return sizeof(*this) + other_.size(); }

 private:
  void Toggle() {
    std::string shown = ledger_.Caption();
    try {
      book_.RenameLedgerBack(ledger_, other_);
    } catch (const Error& e) {
      book_.ui().Message(e.Message());
    }
    other_ = std::move(shown);
  }

  Book& book_;
  TLedgerGrid& ledger_;
  std::string other_;
};

// Sets every cell of `column` that reads `from` exactly to `to`.
void RenameInColumn(TAccGrid& table, int column, std::string_view from, std::string_view to) {
  for (int row = 1; row < table.RowCount(); ++row) {
    if (table.Cell(column, row) == from) table.SetCell(column, row, std::string(to));
  }
}

}  // namespace

bool Book::RenameSubject(const std::string& from, const std::string& to) {
  if (!journal_ || RefuseChange()) return false;
  // The checks of a new subject in the subject list, in the same order, the subject being
  // renamed aside (so that only its letter case may change).
  if (to.empty()) {
    ui_.Message(Sjis("名前を入力してください"));
    return false;
  }
  TLedgerGrid* renamed = nullptr;
  for (const auto& ledger : ledgers_) {
    if (ledger->Caption() == from && !renamed) {
      renamed = ledger.get();
    } else if (EqualIgnoringCase(ledger->Caption(), to)) {
      ui_.Message(to + Sjis(" は既に使用されています"));
      return false;
    }
  }
  if (EqualIgnoringCase(Sjis("勘定科目"), to)) return false;
  if (to == Name()) {
    ui_.Message(Sjis("家計簿と同じ名前は使用できません"));
    return false;
  }
  if (to == journal_->Caption()) {
    ui_.Message(Sjis("仕訳帳と同じ名前は使用できません"));
    return false;
  }
  if (const std::string problem = SubjectNameProblem(to); !problem.empty()) {
    ui_.Message(problem);
    return false;
  }
  if (!renamed) {
    ui_.Message(from + Sjis(" は存在しません"));
    return false;
  }
  if (to == from) return true;
  // An open chooser holds its subject by name.
  if (!journal_->CommitEditor()) return false;

  HistoryStep step(&history_, Sjis("勘定科目名の変更"));
  // Files first: one that can't be read stops the command before anything has changed.
  std::vector<std::pair<std::string, std::string>> plans;
  try {
    plans = PlansRenamed(from, to);
    RenameLedger(*renamed, to);
  } catch (const Error& e) {
    ui_.Message(e.Message());
    return false;
  }
  // The budget and the recurring lines change as files waiting for the save, recorded.
  for (auto& [name, image] : plans) SetCompanionFile(name, std::move(image));
  // The cells and the subject store record themselves; the rest is undone by renaming back.
  if (history_.Recording()) {
    history_.Record(std::make_unique<LedgerRenamed>(*this, *renamed, from));
  }
  RenameInColumn(*journal_, 3, from, to);
  RenameInColumn(*journal_, 5, from, to);
  for (const auto& ledger : ledgers_) RenameInColumn(*ledger, 2, from, to);
  journal_->Subjects().Rename(from, to);
  SetModified();
  return true;
}

std::vector<std::pair<std::string, std::string>> Book::PlansRenamed(const std::string& from,
                                                                    const std::string& to) const {
  std::vector<std::pair<std::string, std::string>> images;
  if (const auto image = CompanionFile(BudgetFileName())) {
    Budget budget = ParseBudgetFile(*image);
    bool changed = false;
    for (BudgetLine& line : budget.lines) {
      if (line.subject != from) continue;
      line.subject = to;
      changed = true;
    }
    if (changed) images.emplace_back(BudgetFileName(), BudgetFileImage(budget));
  }
  if (const auto image = CompanionFile(RecurringFileName())) {
    std::vector<RecurringTemplate> templates = ParseRecurringFile(*image);
    bool changed = false;
    for (RecurringTemplate& t : templates) {
      for (std::string* subject : {&t.debit, &t.credit}) {
        if (*subject != from) continue;
        *subject = to;
        changed = true;
      }
    }
    if (changed) images.emplace_back(RecurringFileName(), RecurringFileImage(templates));
  }
  return images;
}

void Book::RenameLedger(TLedgerGrid& ledger, const std::string& to) {
  const std::string from = ledger.Caption();
  // Every file is read before anything changes.
  std::optional<std::string> settings;
  if (!settingsPath_.empty()) {
    const QString path = PathFromCp932(settingsPath_);
    const std::string image = pendingSettings_      ? *pendingSettings_
                              : QFile::exists(path) ? ReadFileBytes(path)
                                                    : std::string();
    std::string rewritten = RenameSubjectInSettings(image, from, to);
    if (rewritten != image) settings = std::move(rewritten);
  }
  // The statement import's rules and profiles name subjects too. The import window writes
  // them as the user edits, so a rename (or its undo) rewrites what they hold then, and they
  // wait for the save like the settings.
  std::vector<std::pair<std::string, std::string>> imports;
  for (const auto& [name, key] : {std::pair{ImportRuleFileName(), "subject"},
                                  std::pair{ImportProfileFileName(), "account"}}) {
    const auto image = CompanionFile(name);
    if (!image) continue;
    std::string rewritten = RenameProfileValues(*image, {key}, from, to);
    if (rewritten != *image) imports.emplace_back(name, std::move(rewritten));
  }
  if (settings) pendingSettings_ = std::move(settings);
  for (auto& [name, image] : imports) companions_[name] = std::move(image);
  // The file under the name left goes once a save has written the new one.
  const std::string oldPath = folder_ + from + ".txt";
  if (std::find(obsoleteFiles_.begin(), obsoleteFiles_.end(), oldPath) == obsoleteFiles_.end())
    obsoleteFiles_.push_back(oldPath);
  ledger.SetCaption(to);
  ui_.TableRenamed(ledger, from);
}

void Book::WritePendingSettings() {
  if (!pendingSettings_ || settingsPath_.empty()) return;
  WriteFileAtomically(PathFromCp932(settingsPath_), *pendingSettings_);
  pendingSettings_.reset();
}

void Book::RemoveObsoleteFiles(const QStringList& written) {
  for (const std::string& file : obsoleteFiles_) {
    const QString path = PathFromCp932(file);
    // A subject renamed back, or only in letter case on a folder that ignores it, was just
    // written under this name; a file the book never read or wrote is not the book's.
    const bool known = std::any_of(stamps_.begin(), stamps_.end(),
                                   [&](const auto& entry) { return entry.first == path; });
    if (written.contains(path) || !known) continue;
    QFile::remove(path);
    stamps_.erase(std::remove_if(stamps_.begin(), stamps_.end(),
                                 [&](const auto& entry) { return entry.first == path; }),
                  stamps_.end());
  }
  obsoleteFiles_.clear();
}

}  // namespace engine
