// Posting journal rows into the ledgers of their subjects, and taking them out again.

#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/base/ui.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

// The book's ledgers by caption, in child-window order, so that posting a long journal does
// not scan every ledger for every row. Captions don't change while a posting runs.
class LedgerIndex {
 public:
  explicit LedgerIndex(TableHost& host) {
    for (std::size_t i = 0; i < host.LedgerCount(); ++i) {
      TLedgerGrid& ledger = host.LedgerAt(i);
      byCaption_[ledger.Caption()].push_back(&ledger);
    }
  }

  const std::vector<TLedgerGrid*>& Find(std::string_view caption) const {
    const auto found = byCaption_.find(caption);
    return found == byCaption_.end() ? None() : found->second;
  }
  static const std::vector<TLedgerGrid*>& None() {
    static const std::vector<TLedgerGrid*> none;
    return none;
  }

 private:
  std::unordered_map<std::string_view, std::vector<TLedgerGrid*>> byCaption_;
};

namespace {

// The balance a posting gives in `ledger`, worked out as the ledger does, so that a row
// that can't be posted to one side is refused before the other side changes.
void CheckBalance(const TLedgerGrid& ledger, std::int32_t amount, bool debit) {
  // The posting fills the empty trailing row, or goes below a last row that holds text.
  const int last = ledger.RowCount() - 1;
  const int row = ledger.RowAt(last).IsEmpty() ? last : last + 1;
  if (row == 1) {
    if (!debit) CheckedSub(0, amount);
    return;
  }
  const std::int32_t previous = ReadInt(ledger.Cell(6, row - 1));
  if (debit) {
    CheckedAdd(previous, amount);
  } else {
    CheckedSub(previous, amount);
  }
}

}  // namespace

void TJournalGrid::PostRow(int row) {
  if (!ValidRow(row)) return;
  PostRow(row, LedgerIndex(Host()));
  NotifyMarks();
}

void TJournalGrid::PostRow(int row, const LedgerIndex& ledgers) {
  const RowTexts texts = RowAt(row).Cells();
  const std::string_view debitSubject = texts[2];
  const std::string_view creditSubject = texts[4];
  // A ledger captioned with the debit subject takes the debit side only, even when the
  // credit subject names it too.
  const std::vector<TLedgerGrid*>& debitLedgers = ledgers.Find(debitSubject);
  const std::vector<TLedgerGrid*>& creditLedgers =
      creditSubject == debitSubject ? LedgerIndex::None() : ledgers.Find(creditSubject);
  if (!debitLedgers.empty() || !creditLedgers.empty()) {
    // The amount must convert even where a ledger would copy its text unchanged, or the
    // ledger's later balances would fail on it.
    const std::int32_t amount = ReadInt(texts[1]);
    for (const TLedgerGrid* ledger : debitLedgers) CheckBalance(*ledger, amount, true);
    for (const TLedgerGrid* ledger : creditLedgers) CheckBalance(*ledger, amount, false);
    for (TLedgerGrid* ledger : debitLedgers) ledger->PostDebit(texts);
    for (TLedgerGrid* ledger : creditLedgers) ledger->PostCredit(texts);
  }
  SetPosted(row, true);
}

void TJournalGrid::PostLine() {
  if (Host().RefuseChange()) return;
  const int row = SelectedLine();
  if (row == 0 || !ValidRow(row)) {
    ui().Message(Sjis("転記する行を選択してください"));
    return;
  }
  if (IsPosted(row)) {
    ui().Message(Sjis("この行は転記済みです"));
    return;
  }
  if (!RowAt(row).IsComplete()) {
    ui().Message(Sjis("転記する行に空白があります"));
    return;
  }
  HistoryStep step(Changes(), Sjis("行の転記"));
  try {
    PostRow(row);
  } catch (const Error& e) {
    ui().Message(e.Message());
    return;
  }
  Host().SetModified();
}

bool TJournalGrid::PostAll() {
  if (!CommitEditor() || Host().RefuseChange()) return false;
  HistoryStep step(Changes(), Sjis("すべての行の転記"));
  const LedgerIndex ledgers(Host());
  // Each posting appends one row to a ledger; making room first spares a long journal the
  // repeated moves of growing ledgers.
  std::unordered_map<TLedgerGrid*, int> added;
  for (int r = 1; r < RowCount(); ++r) {
    if (IsPosted(r) || !RowAt(r).IsComplete()) continue;
    const std::string_view debit = Cell(3, r), credit = Cell(5, r);
    for (TLedgerGrid* ledger : ledgers.Find(debit)) ++added[ledger];
    if (credit != debit) {
      for (TLedgerGrid* ledger : ledgers.Find(credit)) ++added[ledger];
    }
  }
  for (const auto& [ledger, count] : added) ledger->ReserveRows(ledger->RowCount() + count + 1);
  bool posted = true;
  for (int r = 1; r < RowCount(); ++r) {
    if (IsPosted(r) || !RowAt(r).IsComplete()) continue;
    try {
      PostRow(r, ledgers);
    } catch (const Error& e) {
      ui().Message(e.Message());
      posted = false;
      break;
    }
  }
  NotifyMarks();
  Host().SetModified();
  return posted;
}

void TJournalGrid::Unpost(int row) {
  if (!ValidRow(row) || !IsPosted(row)) return;
  const RowTexts texts = RowAt(row).Cells();
  const std::string date(texts[0]), amount(texts[1]), debit(texts[2]), summary(texts[3]),
      credit(texts[4]);
  if (TLedgerGrid* ledger = Host().FindLedger(debit)) {
    ledger->RemovePosting({date, credit, summary, amount, std::string()});
  }
  if (TLedgerGrid* ledger = Host().FindLedger(credit)) {
    ledger->RemovePosting({date, debit, summary, std::string(), amount});
  }
  SetPosted(row, false);
  NotifyMarks();
}

}  // namespace engine
