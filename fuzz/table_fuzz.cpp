// Arbitrary bytes as a journal file and as a ledger file: load, sort, total, save.
#include "fuzz_support.h"

#include "engine/app/book.h"
#include "engine/base/error.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const auto parts = fuzzing::Parts(data, size, 2);
  const QString journalPath = fuzzing::WriteScratch("journal.txt", parts[0]);
  const QString ledgerPath = fuzzing::WriteScratch("ledger.txt", parts[1]);
  fuzzing::SilentUi ui;
  engine::Book book(ui);  // a host without a book: tables alone
  engine::TLedgerGrid ledger(book);
  try {
    ledger.LoadTable(ledgerPath);
    (void)ledger.DebitTotal();
    (void)ledger.CreditTotal();
    std::array<std::int32_t, 12> totals{};
    ledger.MonthlyDebitTotals("25", totals);
    ledger.SortByDate();
  } catch (const engine::Error&) {
  }
  ledger.SaveTable(fuzzing::Scratch().filePath("ledger-out.txt"));
  engine::TJournalGrid journal(book);
  try {
    journal.LoadTable(journalPath);
    journal.SortByDate();
    (void)journal.DateRange();
  } catch (const engine::Error&) {
  }
  journal.SaveTable(fuzzing::Scratch().filePath("journal-out.txt"));
  return 0;
}
