#include "engine/app/book.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <climits>

#include "engine/app/app_folder.h"
#include "engine/app/book_backup.h"
#include "engine/app/book_lock.h"
#include "engine/app/book_recovery.h"
#include "engine/base/atomic_saver.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/fields.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"
#include "engine/import/import_history.h"
#include "engine/plan/budget.h"
#include "engine/plan/recurring.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "regexp/scanner.h"

namespace engine {

namespace {

constexpr char kSeparator = '/';

QString Path(std::string_view cp932) {
  return PathFromCp932(cp932);
}

std::string JournalCaption() {
  return Sjis("仕訳帳");
}

}  // namespace

std::string FolderOf(std::string_view path) {
  const auto at = path.rfind(kSeparator);
  return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string BaseNameOf(std::string_view path) {
  const auto slash = path.rfind(kSeparator);
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

bool IsSafeFileBaseName(std::string_view name) {
  if (name == "." || name == "..") return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (regexp::IsDBCSLeadByte(byte) && i + 1 < name.size()) {
      ++i;  // the trail byte may be 0x5C without being a backslash
      continue;
    }
    if (byte == '/' || byte == '\\' || byte == '\0') return false;
  }
  return true;
}

bool IsIndexFirstLine(std::string_view line) {
  if (line.size() < 4) return false;
  std::string tail(line.substr(line.size() - 4));
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".txt";
}

bool IsJournalCsvLine(std::string_view line) {
  return SplitCommaText(line).size() == 6;
}

// A ledger that a step created or deleted: while it is out of the book the change owns it,
// so the steps that name it find the same table when it comes back.
class LedgerPresence : public Change {
 public:
  LedgerPresence(Book& book, std::size_t index, std::unique_ptr<TLedgerGrid> owned)
      : book_(book), index_(index), owned_(std::move(owned)) {}
  void Undo() override { Toggle(); }
  void Redo() override { Toggle(); }
  std::size_t Bytes() const override { return sizeof(*this); }

 private:
  void Toggle() {
    if (owned_) {
      book_.InsertLedger(index_, std::move(owned_));
    } else {
      owned_ = book_.TakeLedger(index_);
    }
  }

  Book& book_;
  std::size_t index_;
  std::unique_ptr<TLedgerGrid> owned_;
};

namespace {

// A file beside the book changed by a step: undo and redo swap its waiting image with the
// one it had before (its content as it then stood, waiting or on disk).
class CompanionChange : public Change {
 public:
  CompanionChange(std::map<std::string, std::string>& companions, std::string name,
                  std::string other)
      : companions_(companions), name_(std::move(name)), other_(std::move(other)) {}
  void Undo() override { std::swap(companions_[name_], other_); }
  void Redo() override { std::swap(companions_[name_], other_); }
  std::size_t Bytes() const override { return sizeof(*this) + name_.size() + other_.size(); }

 private:
  std::map<std::string, std::string>& companions_;
  std::string name_;
  std::string other_;
};

}  // namespace

Book::Book(Ui& ui) : ui_(ui) {}

Book::~Book() {
  // The steps may own ledgers that still know this book; they go while it is whole.
  history_.Clear();
}

void Book::InsertLedger(std::size_t index, std::unique_ptr<TLedgerGrid> ledger) {
  TLedgerGrid& added = *ledger;
  ledgers_.insert(ledgers_.begin() + static_cast<std::ptrdiff_t>(index), std::move(ledger));
  ui_.TableAdded(added);
}

std::unique_ptr<TLedgerGrid> Book::TakeLedger(std::size_t index) {
  ui_.TableRemoving(*ledgers_[index]);
  std::unique_ptr<TLedgerGrid> ledger = std::move(ledgers_[index]);
  ledgers_.erase(ledgers_.begin() + static_cast<std::ptrdiff_t>(index));
  return ledger;
}

bool Book::Undo() {
  return ApplyHistory(true);
}
bool Book::Redo() {
  return ApplyHistory(false);
}

bool Book::ApplyHistory(bool undo) {
  if (!journal_ || (undo ? !history_.CanUndo() : !history_.CanRedo())) return false;
  // Typing not yet stored belongs to the state being left; it would land on another line.
  journal_->HideEditor();
  const std::vector<TAccGrid*> touched = undo ? history_.Undo() : history_.Redo();
  modified_ = !history_.AtClean();
  const std::vector<TAccGrid*> present = Tables();
  for (TAccGrid* table : touched) {
    if (std::find(present.begin(), present.end(), table) != present.end()) table->HistoryApplied();
  }
  journal_->RefreshStatus();
  return true;
}

std::string Book::Name() const {
  return BaseNameOf(indexPath_);
}

std::vector<TAccGrid*> Book::Tables() {
  std::vector<TAccGrid*> tables;
  if (journal_) tables.push_back(journal_.get());
  for (auto& ledger : ledgers_) tables.push_back(ledger.get());
  return tables;
}

void Book::CreateJournalWindow(const std::string& caption) {
  ui_.SetMainCaption(caption);
  journal_ = std::make_unique<TJournalGrid>(*this);
  journal_->SetCaption(JournalCaption());
  ui_.TableAdded(*journal_);
  ui_.SetBookCommands();
}

TLedgerGrid& Book::CreateLedger(const std::string& caption) {
  ledgers_.push_back(std::make_unique<TLedgerGrid>(*this));
  TLedgerGrid& ledger = *ledgers_.back();
  ledger.SetCaption(caption);
  ui_.TableAdded(ledger);
  return ledger;
}

void Book::AddRecentFile(const std::string& path) {
  if (!recentFileHandler_) return;
  // The book itself is fine when only the recent-file list can't be written.
  try {
    recentFileHandler_(path);
  } catch (const Error& e) {
    ui_.Message(e.Message());
  }
}

void Book::OpenBook(const std::string& path, OpenMode mode) {
  std::vector<std::string> index;
  try {
    index = ReadTextLines(Path(path));
  } catch (const Error& e) {
    ui_.Message(e.Message());
    return;
  }
  if (index.empty()) {
    ui_.Message("'" + path + "'" + Sjis(" は空のファイルです"));
    return;
  }
  if (!IsIndexFirstLine(index[0])) {
    ui_.Message(Sjis("家計簿ファイルを開けませんでした"));
    return;
  }
  CloseBook();
  readOnly_ = mode == OpenMode::ReadOnly;
  if (!readOnly_ && !TakeLock(path)) return;
  try {
    if (!readOnly_) {
      RecoverSave(path);
      // The save just completed may have replaced the index itself.
      index = ReadTextLines(Path(path));
      RemoveTemporaries(path, index);
    }
    LoadBook(path, std::move(index));
  } catch (const std::exception& e) {
    CloseBook();
    std::string text = Sjis("ファイルの読み込みに失敗しました");
    if (dynamic_cast<const Error*>(&e)) text += "\n" + std::string(e.what());
    ui_.Message(text);
  }
}

bool Book::TakeLock(const std::string& path) {
  auto lock = std::make_unique<BookLock>(Path(path));
  switch (lock->TryLock()) {
    case BookLock::Result::Acquired:
      lock_ = std::move(lock);
      return true;
    case BookLock::Result::Locked:
      if (!ui_.AskYesNo(LockedMessage(path, lock->Holder()))) return false;
      break;
    case BookLock::Result::Failed:
      // A folder the user may only read (a CD, a share) still opens, for reading.
      if (!ui_.AskYesNo(Sjis("家計簿 [") + path + Sjis("] のロックファイルを作成できません（") +
                        lock->FailureReason() + Sjis("）。\n読み取り専用で開きますか ?"))) {
        return false;
      }
      break;
  }
  readOnly_ = true;
  return true;
}

void Book::LoadBook(const std::string& path, std::vector<std::string> index) {
  indexPath_ = path;
  folder_ = FolderOf(path);
  ShowCaption();
  if (index.size() < 4) {
    throw Error("'" + path + Sjis("' の行が足りません（4 行以上必要です）"));
  }
  ResolveMovedFiles(index);
  subjectPath_ = index[0];
  summaryPath_ = index[1];
  settingsPath_ = index[2];
  readFiles_ = {path, subjectPath_, summaryPath_, index[3]};

  journal_ = std::make_unique<TJournalGrid>(*this);
  journal_->SetCaption(BaseNameOf(index[3]));
  ui_.TableAdded(*journal_);
  ui_.SetBookCommands();
  journal_->LoadTable(Path(index[3]));
  loadedFrom_ = {{journal_.get(), index[3]}};

  for (const auto& line : ReadTextLines(Path(subjectPath_))) {
    if (!line.empty()) journal_->Subjects().AddLine(line);
  }
  for (const auto& line : ReadTextLines(Path(summaryPath_))) {
    if (!line.empty()) journal_->Summaries().Add(line);
  }
  LoadLedgers(index);
  QStringList read;
  for (const auto& file : readFiles_) read << Path(file);
  RememberStamps(read);
  ReportUnreadableLines();
  AddRecentFile(path);
  ui_.ShowTable(*journal_, true);
  ui_.SetStatus(0, journal_->Caption());
  ui_.ArrangeWindows();
  journal_->FocusRow(journal_->RowCount() - 1);
  // The book as read is where undo stops.
  history_.Clear();
  OfferRecovery();
}

void Book::OfferRecovery() {
  if (readOnly_) return;
  const QString path = Path(RecoveryPath(indexPath_));
  const QFileInfo recovery(path);
  if (!recovery.exists()) return;
  // A recovery file older than the last save holds nothing the book lacks.
  if (recovery.lastModified() < QFileInfo(Path(indexPath_)).lastModified()) {
    QFile::remove(path);
    return;
  }
  RecoveryImage image;
  try {
    image = ReadRecoveryImage(ReadFileBytes(path));
  } catch (const Error&) {
    ui_.Message(Sjis("復元ファイルが壊れているため使用できません。保存された状態で開きます"));
    // Kept aside rather than deleted, in case anything can still be read from it by hand.
    QFile::remove(path + ".broken");
    QFile::rename(path, path + ".broken");
    return;
  }
  if (!ui_.AskYesNo(Sjis("保存されていない変更が残っています。復元しますか？"))) {
    QFile::remove(path);
    return;
  }
  journal_->HideEditor();
  journal_->Subjects().Clear();
  for (const auto& line : image.subjectLines) journal_->Subjects().AddLine(line);
  journal_->Summaries().Clear();
  for (const auto& line : image.summaryLines) journal_->Summaries().Add(line);
  journal_->LoadRecovered(std::move(image.tables[0].rows), std::move(image.tables[0].marks));
  // Ledgers follow the recovered window order: missing ones are made, extra ones go.
  std::vector<std::unique_ptr<TLedgerGrid>> previous;
  while (!ledgers_.empty()) previous.push_back(TakeLedger(ledgers_.size() - 1));
  for (std::size_t t = 1; t < image.tables.size(); ++t) {
    auto& table = image.tables[t];
    auto found = std::find_if(previous.begin(), previous.end(), [&](const auto& ledger) {
      return ledger && ledger->Caption() == table.caption;
    });
    TLedgerGrid* ledger = nullptr;
    if (found != previous.end()) {
      InsertLedger(ledgers_.size(), std::move(*found));
      ledger = ledgers_.back().get();
    } else {
      ledger = &CreateLedger(table.caption);
    }
    ledger->LoadRecovered(std::move(table.rows), std::move(table.marks));
  }
  history_.Clear();
  // The recovered state differs from the files until it is saved.
  history_.Unrecorded();
  modified_ = true;
  journal_->FocusRow(journal_->RowCount() - 1);
}

void Book::RemoveRecovery() const {
  if (!indexPath_.empty() && !readOnly_) QFile::remove(Path(RecoveryPath(indexPath_)));
}

bool Book::WriteRecovery() {
  // A book opened read-only belongs to another program, and so does its recovery file.
  if (!journal_ || !modified_ || readOnly_) return true;
  RecoveryImage image;
  image.subjectLines = journal_->Subjects().FileLines();
  image.summaryLines = journal_->Summaries().Summaries();
  for (TAccGrid* table : Tables()) {
    RecoveryImage::Table copy;
    copy.caption = table->Caption();
    copy.rows.reserve(static_cast<std::size_t>(table->RowCount()));
    for (int r = 0; r < table->RowCount(); ++r) {
      copy.rows.emplace_back(r == 0 ? RowTexts{} : table->RowAt(r).Cells());
      copy.marks.push_back(table->Mark(r));
    }
    image.tables.push_back(std::move(copy));
  }
  try {
    WriteFileAtomically(Path(RecoveryPath(indexPath_)), WriteRecoveryImage(image));
  } catch (const Error& e) {
    ui_.Message(Sjis("復元ファイルを書けませんでした: ") + e.Message());
    return false;
  }
  return true;
}

void Book::ShowCaption() {
  ui_.SetMainCaption(readOnly_ ? indexPath_ + Sjis("（読み取り専用）") : indexPath_);
}

bool Book::RefuseChange() {
  if (!readOnly_) return false;
  ui_.Message(Sjis("この家計簿は読み取り専用で開かれているため、変更できません"));
  return true;
}

bool Book::SaveBook() {
  if (!journal_) return false;
  if (RefuseChange()) return false;
  if (!ConfirmOverwrite()) return false;
  QStringList written;
  try {
    if (!journal_->CommitForSave()) throw Error(Sjis("家計簿を保存できませんでした"));
    if (keepOriginals_) KeepOriginalFiles();
    // Every file goes to a temporary first; only when all are on disk are they put in place.
    AtomicSaver saver(Path(SaveRecordPath(indexPath_)));
    saver.Stage(Path(subjectPath_), journal_->SubjectFileImage());
    saver.Stage(Path(summaryPath_), journal_->SummaryFileImage());
    std::vector<std::string> lines{subjectPath_, summaryPath_, settingsPath_};
    const std::string journalPath = folder_ + journal_->Caption() + ".txt";
    saver.Stage(Path(journalPath), journal_->FileImage());
    lines.push_back(journalPath);
    for (auto& ledger : ledgers_) {
      const std::string& caption = ledger->Caption();
      if (caption.empty()) continue;
      // A caption that names no file inside the book folder must never write elsewhere.
      if (!IsSafeFileBaseName(caption)) throw Error(SubjectNameProblem(caption));
      const std::string ledgerPath = folder_ + caption + ".txt";
      saver.Stage(Path(ledgerPath), ledger->FileImage());
      lines.push_back(ledgerPath);
    }
    // The files beside the book that it keeps (the recurring lines, the budgets) go with it.
    for (const auto& [name, companion] : companions_) saver.Stage(Path(folder_ + name), companion);
    if (pendingSettings_ && !settingsPath_.empty())
      saver.Stage(Path(settingsPath_), *pendingSettings_);
    std::string image;
    for (const auto& line : lines) AppendLine(image, line);
    saver.Stage(Path(indexPath_), image);
    // The files as the last save left them become a backup just before the new ones replace
    // them, so a save that fails while staging leaves no backup behind. A backup that fails
    // is reported and the save goes on: it must never cost the user the save itself.
    try {
      MakeBackup(folder_, indexPath_, backupCount_);
    } catch (const Error& e) {
      ui_.Message(Sjis("バックアップを作成できませんでした: ") + e.Message());
    }
    saver.Commit();
    written = saver.StagedPaths();
    companions_.clear();
    pendingSettings_.reset();
  } catch (const std::exception& e) {
    std::string text = Sjis("ファイルの書き込みに失敗しました");
    if (dynamic_cast<const Error*>(&e)) {
      text += "\n" + std::string(e.what()) + Sjis("\n家計簿のファイルは保存前のままです");
    }
    ui_.Message(text);
    return false;
  }
  RememberStamps(written);
  RemoveObsoleteFiles(written);
  keepOriginals_ = false;
  if (importedRows_ && importedRows_->HasPending()) {
    try {
      importedRows_->SavePending();
    } catch (const Error&) {
      ui_.Message(Sjis("明細の取り込み履歴を書き込めませんでした"));
    }
  }
  modified_ = false;
  history_.MarkClean();
  RemoveRecovery();
  return true;
}

std::string Book::ImportProfileFileName() {
  return Sjis("明細取込プロファイル.ini");
}

std::string Book::ImportRuleFileName() {
  return Sjis("明細取込ルール.ini");
}

QString Book::ImportProfilePath() const {
  return Path(folder_ + ImportProfileFileName());
}

QString Book::ImportRulePath() const {
  return Path(folder_ + ImportRuleFileName());
}

void Book::WritePendingImportFiles() {
  AtomicSaver saver;
  std::vector<std::string> names;
  for (const std::string& name : {ImportProfileFileName(), ImportRuleFileName()}) {
    const auto it = companions_.find(name);
    if (it == companions_.end()) continue;
    saver.Stage(Path(folder_ + name), it->second);
    names.push_back(name);
  }
  if (names.empty()) return;
  saver.Commit();
  for (const std::string& name : names) companions_.erase(name);
}

std::string Book::ImportHistoryFileName() {
  return Sjis("明細取込履歴.tsv");
}

engine::import::ImportHistory& Book::ImportedRows() {
  if (!importedRows_) {
    importedRows_ =
        std::make_unique<import::ImportHistory>(Path(folder_ + ImportHistoryFileName()));
  }
  return *importedRows_;
}

void Book::CloseBook() {
  importedRows_.reset();
  history_.Clear();
  // Closing is the user's decision about the unsaved state: nothing is left to recover.
  RemoveRecovery();
  ui_.SetMainCaption({});
  lock_.reset();
  readOnly_ = false;
  keepOriginals_ = false;
  stamps_.clear();
  readFiles_.clear();
  folder_.clear();
  indexPath_.clear();
  subjectPath_.clear();
  summaryPath_.clear();
  settingsPath_.clear();
  companions_.clear();
  pendingSettings_.reset();
  obsoleteFiles_.clear();
  while (!ledgers_.empty()) {
    ui_.TableRemoving(*ledgers_.back());
    ledgers_.pop_back();
  }
  if (journal_) {
    ui_.SetNoBookCommands();
    ui_.SetStatus(0, {});
    ui_.SetStatus(1, {});
    ui_.SetStatus(2, {});
    ui_.TableRemoving(*journal_);
    journal_.reset();
  }
  modified_ = false;
  history_.Clear();
}

bool Book::ReadinessCheck() {
  return journal_ && journal_->ReadinessCheck();
}

bool Book::QuerySaveBook() {
  if (!modified_) return true;
  switch (ui_.AskYesNoCancel(Sjis("家計簿 [") + indexPath_ + Sjis("] を保存しますか ?"))) {
    case Ui::Answer::Yes:
      if (!ReadinessCheck()) {
        ui_.Message(Sjis("家計簿を閉じることが出来ませんでした"));
        return false;
      }
      // A save that failed keeps the book open rather than losing the changes.
      return SaveBook();
    case Ui::Answer::No:
      return true;
    case Ui::Answer::Cancel:
      break;
  }
  return false;
}

void Book::FileSaveExecute() {
  if (ReadinessCheck()) {
    SaveBook();
  } else {
    ui_.Message(Sjis("保存出来ませんでした"));
  }
}

void Book::FileCloseExecute() {
  if (QuerySaveBook()) CloseBook();
}

void Book::OperateSortExecute() {
  if (RefuseChange()) return;
  HistoryStep step(&history_, Sjis("日付順に整列"));
  if (!ReadinessCheck()) {
    ui_.Message(Sjis("整列出来ませんでした"));
    return;
  }
  try {
    for (TAccGrid* table : Tables()) table->SortByDate();
  } catch (const RowError& e) {
    ui_.Message(e.MessageWithRow());
    ShowFailedRow(e);
  } catch (const Error& e) {
    ui_.Message(e.Message());
  }
  // Rows may have moved even when a bad date stopped the sort.
  SetModified();
}

void Book::OperatePostAllExecute() {
  if (journal_) journal_->PostAll();
}

bool Book::PrepareAggregation() {
  if (!ReadinessCheck()) {
    ui_.Message(Sjis("集計出来ませんでした"));
    return false;
  }
  if (settingsPath_.empty()) {
    std::string path = ui_.SelectSaveFile(Sjis("集計設定.txt"),
                                          Sjis("集計設定ファイル名を入力してください"), folder_, 1);
    if (path.empty()) {
      ui_.Message(Sjis("設定ファイルが選択されませんでした"));
      return false;
    }
    settingsPath_ = std::move(path);
  }
  // The dialogs read the settings file as it stands: a rename must have reached it.
  try {
    WritePendingSettings();
  } catch (const Error& e) {
    ui_.Message(e.Message());
    return false;
  }
  return true;
}

void Book::SetCompanionFile(const std::string& name, std::string image) {
  if (history_.Recording()) {
    // A file missing or unreadable reads as empty, which every such file takes as having
    // nothing in it.
    std::string before;
    try {
      before = CompanionFile(name).value_or(std::string());
    } catch (const Error&) {
    }
    history_.Record(std::make_unique<CompanionChange>(companions_, name, std::move(before)));
  }
  companions_[name] = std::move(image);
  SetModified();
}

std::optional<std::string> Book::CompanionFile(const std::string& name) const {
  if (const auto it = companions_.find(name); it != companions_.end()) return it->second;
  const QString path = Path(folder_ + name);
  if (!QFileInfo::exists(path)) return std::nullopt;
  return ReadFileBytes(path);
}

void Book::ShowJournalWindow() {
  if (journal_) ui_.ShowTable(*journal_, false);
}

void Book::ShowMatchingLine(TAccGrid& table, const LineKey& key) {
  table.SelectMatchingLine(key);
  ui_.ShowTable(table, true);
}

void Book::ShowFailedRow(const RowError& error) {
  for (TAccGrid* table : Tables()) {
    if (table != &error.Table()) continue;
    table->SelectLine(error.Row());
    ui_.ShowTable(*table, true);
    return;
  }
}

void Book::AddSubject(const std::string& name) {
  CreateLedger(name);
  if (history_.Recording()) {
    history_.Record(std::make_unique<LedgerPresence>(*this, ledgers_.size() - 1, nullptr));
  } else {
    history_.Unrecorded();
  }
  journal_->Subjects().Add(name);
}

void Book::DeleteSubject(const std::string& name) {
  for (auto it = ledgers_.begin(); it != ledgers_.end(); ++it) {
    if ((*it)->Caption() != name) continue;
    const auto index = static_cast<std::size_t>(it - ledgers_.begin());
    std::unique_ptr<TLedgerGrid> ledger = TakeLedger(index);
    if (history_.Recording()) {
      history_.Record(std::make_unique<LedgerPresence>(*this, index, std::move(ledger)));
    } else {
      history_.Unrecorded();
    }
    journal_->RemoveSubjectEntry(name);
    journal_->Subjects().ClearCounterpartsOf(name);
    return;
  }
}

std::string Book::SubjectNameProblem(std::string_view name) const {
  if (IsSafeFileBaseName(name)) return {};
  return std::string(name) +
         Sjis(" は勘定科目名に使用できません（「/」「\\」を含む名前と「.」「..」は使えません）");
}

bool Book::AskListFiles(const std::string& folder, std::string paths[3]) {
  static const char* const kNames[3] = {"勘定科目.txt", "摘要.txt", "集計設定.txt"};
  static const char* const kTitles[3] = {"勘定科目ファイル名を入力してください",
                                         "摘要ファイル名を入力してください",
                                         "集計設定ファイル名を入力してください"};
  bool all = true;
  for (int i = 0; i < 3; ++i) {
    paths[i] = ui_.SelectSaveFile(Sjis(kNames[i]), Sjis(kTitles[i]), folder, 1);
    if (paths[i].empty()) all = false;
  }
  if (all) return true;
  ui_.Message(Sjis("設定ファイルが選択されませんでした"));
  QDir::setCurrent(Path(AppFolder()));
  QDir().rmdir(Path(folder));
  return false;
}

bool Book::RefuseBookName(const std::string& name, const std::string& parent) {
  if (name.empty()) {
    ui_.Message(Sjis("家計簿名を入力してください"));
    return true;
  }
  // The name becomes a folder and a file name; one that can't be must not write elsewhere.
  if (!IsSafeFileBaseName(name)) {
    ui_.Message(Sjis("家計簿名に「/」「\\」や「.」「..」は使用できません"));
    return true;
  }
  if (QFileInfo::exists(Path(parent + name + kSeparator))) {
    ui_.Message(Sjis("同名データが存在します"));
    return true;
  }
  return false;
}

bool Book::NewBook(const std::string& name) {
  try {
    if (RefuseBookName(name, AppFolder())) return true;
    const std::string folder = AppFolder() + name + kSeparator;
    if (!QDir().mkpath(Path(folder))) throw Error(Sjis("フォルダを作成できません"));
    std::string paths[3];
    if (!AskListFiles(folder, paths)) return false;
    CloseBook();
    folder_ = folder;
    indexPath_ = folder + name + ".txt";
    subjectPath_ = paths[0];
    summaryPath_ = paths[1];
    settingsPath_ = paths[2];
    if (!TakeLock(indexPath_) || readOnly_) throw Error(Sjis("保存できませんでした"));
    CreateJournalWindow(indexPath_);
    if (!SaveBook()) throw Error(Sjis("保存できませんでした"));
    AddRecentFile(indexPath_);
  } catch (const std::exception&) {
    ui_.Message(Sjis("新しい家計簿を作成できませんでした"));
  }
  return false;
}

bool Book::SaveBookAs(const std::string& name) {
  if (!journal_) return false;
  // The new folder stands beside the book's own.
  const std::string parent = FolderOf(folder_.substr(0, folder_.size() - 1));
  if (RefuseBookName(name, parent)) return true;
  const std::string folder = parent + name + kSeparator;
  if (!ReadinessCheck()) {
    ui_.Message(Sjis("保存出来ませんでした"));
    return false;
  }
  if (!QDir().mkpath(Path(folder))) {
    ui_.Message(Sjis("フォルダを作成できません"));
    return false;
  }
  auto moved = [&](const std::string& path) {
    return path.empty() ? path : folder + path.substr(FolderOf(path).size());
  };
  // What the open book is, so that a failure leaves it the open one, as it was.
  struct Previous {
    std::string folder, index, subjects, summaries, settings;
    std::unique_ptr<BookLock> lock;
    bool readOnly, keepOriginals;
    std::vector<std::pair<QString, Stamps>> stamps;
  } previous{folder_,          indexPath_, subjectPath_,   summaryPath_,      settingsPath_,
             std::move(lock_), readOnly_,  keepOriginals_, std::move(stamps_)};
  auto restore = [&] {
    folder_ = previous.folder;
    indexPath_ = previous.index;
    subjectPath_ = previous.subjects;
    summaryPath_ = previous.summaries;
    settingsPath_ = previous.settings;
    lock_ = std::move(previous.lock);
    readOnly_ = previous.readOnly;
    keepOriginals_ = previous.keepOriginals;
    stamps_ = std::move(previous.stamps);
    if (importedRows_) importedRows_->SetPath(Path(previous.folder + ImportHistoryFileName()));
    QDir(Path(folder)).removeRecursively();
  };
  // The files beside the book go along as they stand: the aggregation settings (not a table)
  // and the statement import's and the planning's files. Their unsaved changes are written
  // by the save itself.
  std::vector<std::string> beside{settingsPath_,
                                  previous.folder + ImportProfileFileName(),
                                  previous.folder + ImportRuleFileName(),
                                  previous.folder + ImportHistoryFileName(),
                                  previous.folder + RecurringFileName(),
                                  previous.folder + BudgetFileName()};
  for (const std::string& path : beside) {
    if (path.empty() || !QFileInfo::exists(Path(path))) continue;
    if (!QFile::copy(Path(path), Path(moved(path)))) {
      ui_.Message(Sjis("ファイルの書き込みに失敗しました"));
      restore();
      return false;
    }
  }
  folder_ = folder;
  indexPath_ = folder + name + ".txt";
  subjectPath_ = moved(subjectPath_);
  summaryPath_ = moved(summaryPath_);
  settingsPath_ = moved(settingsPath_);
  // The copy is a book of its own: it is locked for this program, even when the book it came
  // from was open read-only, and its files were all written from memory.
  readOnly_ = false;
  keepOriginals_ = false;
  if (!TakeLock(indexPath_) || readOnly_) {
    ui_.Message(Sjis("保存出来ませんでした"));
    restore();
    return false;
  }
  // The history of imported rows goes on in the copy's file (copied above), with what is not
  // yet saved; the undo steps of earlier imports keep working on it.
  if (importedRows_) importedRows_->SetPath(Path(folder + ImportHistoryFileName()));
  const int backups = backupCount_;
  backupCount_ = 0;  // a new book has no earlier generation
  const bool saved = SaveBook();
  backupCount_ = backups;
  if (!saved) {
    restore();
    modified_ = true;
    return false;
  }
  // The old book's unsaved state now lives in the new one; its lock goes with `previous`.
  if (!previous.readOnly) QFile::remove(Path(RecoveryPath(previous.index)));
  ShowCaption();
  AddRecentFile(indexPath_);
  return false;
}

void Book::RestoreBackup(const std::string& name) {
  if (!journal_ || RefuseChange()) return;
  if (!QuerySaveBook()) return;
  const std::string index = indexPath_;
  try {
    // The state being replaced becomes a backup of its own first, whatever the setting.
    // No backup is rotated away here: the one being restored may be the oldest.
    MakeBackup(folder_, indexPath_, INT_MAX);
    RestoreBackupFiles(folder_, indexPath_, name);
  } catch (const std::exception& e) {
    ui_.Message(Sjis("バックアップから復元できませんでした: ") + e.what());
    return;
  }
  modified_ = false;
  OpenBook(index);
}

void Book::NewBookFromCSV() {
  const std::string csvPath =
      ui_.SelectOpenFile({}, Sjis("CSVファイルを選択してください"), AppFolder(), 2);
  if (csvPath.empty()) return;
  try {
    const std::vector<std::string> lines = ReadTextLines(Path(csvPath));
    if (lines.empty()) throw Error(Sjis("CSVファイルが空です"));
    if (!IsJournalCsvLine(lines[0])) return;

    std::string stem = csvPath;
    const auto slash = stem.rfind(kSeparator);
    const auto dot = stem.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) stem.resize(dot);
    const std::string folder = stem + kSeparator;
    const std::string bookName = BaseNameOf(csvPath);
    const std::string indexPath = folder + bookName + ".txt";

    // Subjects become ledger files in the book folder: refuse, before anything is created,
    // a name that would write outside it or over the journal or the index file.
    for (const auto& line : lines) {
      const auto fields = SplitFieldViews<6>(line, ',');
      for (std::string_view subject : {fields[2], fields[4]}) {
        if (subject.empty()) continue;
        if (!IsSafeFileBaseName(subject) || subject == JournalCaption() || subject == bookName) {
          ui_.Message(Sjis("CSVファイルの勘定科目 [") + std::string(subject) +
                      Sjis("] はファイル名に使えないため、家計簿を作成できません"));
          return;
        }
      }
    }
    if (QFileInfo::exists(Path(folder))) {
      ui_.Message(Sjis("同名データが存在します"));
      return;
    }
    if (!QDir().mkpath(Path(folder))) throw Error(Sjis("フォルダを作成できません"));
    std::string paths[3];
    if (!AskListFiles(folder, paths)) return;
    CloseBook();
    folder_ = folder;
    indexPath_ = indexPath;
    subjectPath_ = paths[0];
    summaryPath_ = paths[1];
    settingsPath_ = paths[2];
    if (!TakeLock(indexPath_) || readOnly_) throw Error(Sjis("保存できませんでした"));
    CreateJournalWindow(indexPath_);
    journal_->LoadCsvLines(lines);
    journal_->PostAll();
    journal_->LineAdd();
    // The new book starts here: there is nothing before it to go back to.
    history_.Clear();
    SaveBook();
    AddRecentFile(indexPath_);
    ui_.ShowTable(*journal_, true);
    ui_.SetStatus(0, journal_->Caption());
  } catch (const std::exception&) {
    ui_.Message(Sjis("ファイルを開くことが出来ません"));
  }
}

}  // namespace engine
