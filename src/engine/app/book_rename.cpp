// Renaming a subject: one command that carries the new name into every place of the book
// that names the subject.

#include <QFile>
#include <algorithm>

#include "engine/amount/aggregation_settings.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

namespace {

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

  // Settings first: an unreadable file stops the command before anything has changed.
  if (!settingsPath_.empty()) {
    try {
      const std::string image = pendingSettings_ ? *pendingSettings_
                                : QFile::exists(PathFromCp932(settingsPath_))
                                    ? ReadFileBytes(PathFromCp932(settingsPath_))
                                    : std::string();
      std::string rewritten = RenameSubjectInSettings(image, from, to);
      if (rewritten != image) pendingSettings_ = std::move(rewritten);
    } catch (const Error& e) {
      ui_.Message(e.Message());
      return false;
    }
  }
  RenameInColumn(*journal_, 3, from, to);
  RenameInColumn(*journal_, 5, from, to);
  for (const auto& ledger : ledgers_) RenameInColumn(*ledger, 2, from, to);
  journal_->Subjects().Rename(from, to);
  // The old file goes once the save has written the new one.
  const std::string oldPath = folder_ + from + ".txt";
  if (std::find(obsoleteFiles_.begin(), obsoleteFiles_.end(), oldPath) == obsoleteFiles_.end())
    obsoleteFiles_.push_back(oldPath);
  renamed->SetCaption(to);
  ui_.TableRenamed(*renamed, from);
  SetModified();
  return true;
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
    // written under this name.
    if (written.contains(path)) continue;
    QFile::remove(path);
    stamps_.erase(std::remove_if(stamps_.begin(), stamps_.end(),
                                 [&](const auto& entry) { return entry.first == path; }),
                  stamps_.end());
  }
  obsoleteFiles_.clear();
}

}  // namespace engine
