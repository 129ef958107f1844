#include "engine/plan/new_year.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <memory>

#include "engine/app/book.h"
#include "engine/base/atomic_saver.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/text_file.h"
#include "engine/base/ui.h"
#include "engine/plan/budget.h"
#include "engine/plan/plan_file.h"
#include "engine/plan/recurring.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

namespace {

QString Path(std::string_view cp932) {
  return PathFromCp932(cp932);
}

std::string FileNameOf(std::string_view path) {
  const auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The new book is built with the program's own tables, so that its opening lines are posted
// by the same code as every other line. Nobody watches it: what it would say is kept and
// turned into a failure.
class SilentUi : public Ui {
 public:
  std::vector<std::string> messages;
  void Message(const std::string& text) override { messages.push_back(text); }
  bool AskYesNo(const std::string&) override { return false; }
  Answer AskYesNoCancel(const std::string&) override { return Answer::Cancel; }
  std::string SelectOpenFile(const std::string&, const std::string&, const std::string&,
                             int) override {
    return {};
  }
  std::string SelectSaveFile(const std::string&, const std::string&, const std::string&,
                             int) override {
    return {};
  }
  void SetStatus(int, const std::string&) override {}
};

class NewBookHost : public TableHost {
 public:
  NewBookHost(std::string subjectPath, std::string summaryPath)
      : subjectPath_(std::move(subjectPath)),
        summaryPath_(std::move(summaryPath)),
        journal_(std::make_unique<TJournalGrid>(*this)) {}

  Ui& ui() override { return ui_; }
  void SetModified() override {}
  TJournalGrid* Journal() override { return journal_.get(); }
  std::size_t LedgerCount() const override { return ledgers_.size(); }
  TLedgerGrid& LedgerAt(std::size_t index) override { return *ledgers_[index]; }
  void ShowJournalWindow() override {}
  void ShowMatchingLine(TAccGrid&, const LineKey&) override {}
  void AddSubject(const std::string& name) override {
    AddLedger(name);
    journal_->Subjects().Add(name);
  }
  std::string SubjectPath() const override { return subjectPath_; }
  std::string SummaryPath() const override { return summaryPath_; }

  TLedgerGrid& AddLedger(const std::string& caption) {
    ledgers_.push_back(std::make_unique<TLedgerGrid>(*this));
    ledgers_.back()->SetCaption(caption);
    return *ledgers_.back();
  }
  const SilentUi& Said() const { return ui_; }

 private:
  SilentUi ui_;
  std::string subjectPath_;
  std::string summaryPath_;
  std::unique_ptr<TJournalGrid> journal_;
  std::vector<std::unique_ptr<TLedgerGrid>> ledgers_;
};

// Removes the half-written folder unless the book was completed.
class FolderGuard {
 public:
  explicit FolderGuard(QString path) : path_(std::move(path)) {}
  ~FolderGuard() {
    if (!done_) QDir(path_).removeRecursively();
  }
  FolderGuard(const FolderGuard&) = delete;
  FolderGuard& operator=(const FolderGuard&) = delete;
  void Done() { done_ = true; }

 private:
  QString path_;
  bool done_ = false;
};

}  // namespace

std::vector<ClosingBalance> ClosingBalances(Book& book, const std::string& openingSubject) {
  std::vector<ClosingBalance> balances;
  for (std::size_t i = 0; i < book.LedgerCount(); ++i) {
    TLedgerGrid& ledger = book.LedgerAt(i);
    const std::int32_t debit = ledger.DebitTotal();
    const std::int32_t credit = ledger.CreditTotal();
    ClosingBalance line{ledger.Caption(), CheckedSub(debit, credit), false};
    bool debited = false;
    bool credited = false;
    for (int row = 1; row < ledger.RowCount(); ++row) {
      debited = debited || ledger.IsNumeric(ledger.Cell(4, row));
      credited = credited || ledger.IsNumeric(ledger.Cell(5, row));
    }
    line.proposed = line.balance != 0 && debited && credited && line.subject != openingSubject;
    balances.push_back(std::move(line));
  }
  return balances;
}

std::string NewYearFolder(const Book& book, const std::string& name) {
  std::string parent = book.Folder();
  if (!parent.empty()) parent.pop_back();  // the book folder's own separator
  const auto slash = parent.rfind('/');
  parent = slash == std::string::npos ? std::string() : parent.substr(0, slash + 1);
  return parent + name + "/";
}

std::string CreateNewYearBook(Book& book, const NewYearRequest& request) {
  const std::string journalCaption = Sjis("仕訳帳");
  TJournalGrid* oldJournal = book.Journal();
  if (!oldJournal) throw Error(Sjis("家計簿が開かれていません"));
  if (request.name.empty() || !IsSafeFileBaseName(request.name))
    throw Error(Sjis("家計簿名に「/」「\\」や「.」「..」は使用できません"));
  if (request.year < 1900 || request.year > 9999) throw Error(Sjis("年度が正しくありません"));
  const std::string& opening = request.openingSubject;
  if (opening.empty()) throw Error(Sjis("繰越の相手科目を入力してください"));
  if (!IsSafeFileBaseName(opening) || opening == journalCaption || opening == request.name)
    throw Error(opening + Sjis(" は勘定科目名に使用できません"));
  if (std::find(request.subjects.begin(), request.subjects.end(), opening) !=
      request.subjects.end())
    throw Error(Sjis("繰越の相手科目は繰り越す科目に含められません"));

  const std::string folder = NewYearFolder(book, request.name);
  if (QFileInfo::exists(Path(folder))) throw Error(Sjis("同名データが存在します"));

  // The opening lines, checked before anything is written.
  struct Opening {
    std::string debit, credit;
    std::int32_t amount;
  };
  std::vector<Opening> openings;
  std::int64_t openingTotal = 0;
  for (const ClosingBalance& line : ClosingBalances(book, opening)) {
    if (line.balance == 0 || std::find(request.subjects.begin(), request.subjects.end(),
                                       line.subject) == request.subjects.end())
      continue;
    if (line.balance == std::numeric_limits<std::int32_t>::min()) throw Error(OverflowMessage());
    openingTotal += line.balance;
    CheckedNarrow(openingTotal);
    if (line.balance > 0) {
      openings.push_back({line.subject, opening, line.balance});
    } else {
      openings.push_back({opening, line.subject, -line.balance});
    }
  }

  // File names of the new book: the list files keep the old books' names, the tables are
  // named after their captions; no two may be the same file.
  const std::string indexPath = folder + request.name + ".txt";
  const std::string subjectPath = folder + FileNameOf(book.SubjectPath());
  const std::string summaryPath = folder + FileNameOf(book.SummaryPath());
  const std::string settingsPath =
      book.SettingsPath().empty() ? std::string() : folder + FileNameOf(book.SettingsPath());
  std::vector<std::string> captions;
  for (std::size_t i = 0; i < book.LedgerCount(); ++i)
    captions.push_back(book.LedgerAt(i).Caption());
  if (std::find(captions.begin(), captions.end(), opening) == captions.end())
    captions.push_back(opening);
  std::vector<std::string> paths{indexPath, subjectPath, summaryPath,
                                 folder + journalCaption + ".txt"};
  if (!settingsPath.empty()) paths.push_back(settingsPath);
  for (const std::string& caption : captions) {
    if (caption.empty()) continue;
    if (!IsSafeFileBaseName(caption)) throw Error(book.SubjectNameProblem(caption));
    paths.push_back(folder + caption + ".txt");
  }
  std::vector<std::string> sorted = paths;
  std::sort(sorted.begin(), sorted.end());
  if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
    throw Error(
        Sjis("新しい家計簿のファイル名が重なります（科目名と設定ファイル名を確かめてください）"));

  // What is copied is read before the folder is made, so a damaged file leaves nothing behind.
  const auto recurring = book.CompanionFile(RecurringFileName());
  if (recurring) ParseRecurringFile(*recurring);
  std::optional<Budget> budget;
  if (book.CompanionFile(BudgetFileName())) {
    budget = LoadBudget(book, request.year);
    budget->year = request.year;
  }
  std::optional<std::string> settings;
  if (!book.SettingsPath().empty() && QFileInfo::exists(Path(book.SettingsPath())))
    settings = ReadFileBytes(Path(book.SettingsPath()));

  if (!QDir().mkpath(Path(folder))) throw Error(Sjis("フォルダを作成できません"));
  FolderGuard guard(Path(folder));

  NewBookHost host(subjectPath, summaryPath);
  TJournalGrid& journal = *host.Journal();
  journal.SetCaption(journalCaption);
  for (const std::string& line : oldJournal->Subjects().FileLines())
    journal.Subjects().AddLine(line);
  for (const std::string& text : oldJournal->Summaries().Summaries()) journal.Summaries().Add(text);
  const std::string summary = Sjis("前期繰越");
  if (!openings.empty() && !journal.Summaries().Contains(summary)) journal.Summaries().Add(summary);
  if (!journal.Subjects().Contains(opening)) journal.Subjects().Add(opening);
  for (const std::string& caption : captions) host.AddLedger(caption);

  const std::string date = JournalDateText(QDate(request.year, 1, 1));
  for (std::size_t i = 0; i < openings.size(); ++i) {
    if (i > 0) journal.AppendRow();
    const int row = journal.RowCount() - 1;
    const std::string amount = IntToText(openings[i].amount);
    const std::string_view cells[6] = {
        date, amount, openings[i].debit, summary, openings[i].credit, amount};
    for (int c = 1; c <= 6; ++c) journal.SetCell(c, row, cells[c - 1]);
    journal.PostRow(row);
  }

  // Every file goes to a temporary first and all are put in place together, under a save
  // record as the book's own save uses; a failure on the way leaves no new folder at all.
  try {
    AtomicSaver saver(Path(indexPath + ".zentabo-save"));
    saver.Stage(Path(subjectPath), journal.SubjectFileImage());
    saver.Stage(Path(summaryPath), journal.SummaryFileImage());
    saver.Stage(Path(folder + journalCaption + ".txt"), journal.FileImage());
    std::string index;
    for (const std::string& line :
         {subjectPath, summaryPath, settingsPath, folder + journalCaption + ".txt"})
      AppendLine(index, line);
    for (std::size_t i = 0; i < host.LedgerCount(); ++i) {
      const std::string ledgerPath = folder + host.LedgerAt(i).Caption() + ".txt";
      saver.Stage(Path(ledgerPath), host.LedgerAt(i).FileImage());
      AppendLine(index, ledgerPath);
    }
    if (settings) saver.Stage(Path(settingsPath), *settings);
    if (recurring) saver.Stage(Path(folder + RecurringFileName()), *recurring);
    if (budget) saver.Stage(Path(folder + BudgetFileName()), BudgetFileImage(*budget));
    saver.Stage(Path(indexPath), index);
    saver.Commit();
  } catch (const Error& e) {
    throw Error(e.Message() +
                Sjis("\n新しい家計簿は作成されていません（書きかけのファイルは残していません）"));
  }
  guard.Done();
  return indexPath;
}

}  // namespace engine
