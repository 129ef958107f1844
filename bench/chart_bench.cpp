// The chart series of a book of a million journal lines: each ledger's months in and out with
// the closing balance, the work a subject's chart does before it draws, and the whole book's
// income and spending per month and its subjects over a year, which the book's chart draws.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_ui.h"
#include "book_generator.h"
#include "engine/amount/chart_series.h"
#include "engine/app/book.h"
#include "engine/tables/ledger_grid.h"

namespace {

engine::Book& OpenedBook() {
  static bench::BenchUi ui;
  static std::unique_ptr<engine::Book> book;
  if (!book) {
    book = std::make_unique<engine::Book>(ui);
    book->OpenBook(bench::BookOf(1000000, false).book.indexPath);
  }
  return *book;
}

void BM_LedgerMonthlyFlow(benchmark::State& state) {
  engine::Book* book = &OpenedBook();
  // The busiest ledger: the one with the most rows.
  std::size_t busiest = 0;
  for (std::size_t i = 0; i < book->LedgerCount(); ++i) {
    if (book->LedgerAt(i).RowCount() > book->LedgerAt(busiest).RowCount()) busiest = i;
  }
  const engine::TLedgerGrid& ledger = book->LedgerAt(busiest);
  for (auto _ : state) benchmark::DoNotOptimize(engine::LedgerMonthlyFlow(ledger));
  state.counters["rows"] = ledger.RowCount();
}
BENCHMARK(BM_LedgerMonthlyFlow)->Unit(benchmark::kMillisecond);

// The generated book uses every subject on both sides; as "table" entries, five of them
// income and the rest spending, every ledger is read: the most work a book's chart can meet.
std::vector<engine::TableEntrySetting> AllSubjects(engine::Book& book) {
  std::vector<engine::TableEntrySetting> entries;
  for (std::size_t i = 0; i < book.LedgerCount(); ++i)
    entries.push_back({book.LedgerAt(i).Caption(), true, true, i < 5});
  return entries;
}

// Everything the book's chart does before it draws: the subjects of income and spending and
// every month of the ten years.
void BM_BookMonthlyFlow(benchmark::State& state) {
  engine::Book& book = OpenedBook();
  const std::vector<engine::TableEntrySetting> entries = AllSubjects(book);
  std::size_t months = 0;
  for (auto _ : state) {
    const engine::FlowSubjects subjects = engine::BookFlowSubjects(book, &entries);
    months = engine::BookMonthlyFlow(book, subjects).size();
  }
  state.counters["months"] = static_cast<double>(months);
}
BENCHMARK(BM_BookMonthlyFlow)->Unit(benchmark::kMillisecond);

// The spending subjects over the last year of the book.
void BM_SubjectAmounts(benchmark::State& state) {
  engine::Book& book = OpenedBook();
  const std::vector<engine::TableEntrySetting> entries = AllSubjects(book);
  const engine::FlowSubjects subjects = engine::BookFlowSubjects(book, &entries);
  std::size_t count = 0;
  for (auto _ : state) {
    count = engine::SubjectAmounts(book, subjects.subjects, engine::Date{2025, 1, 1},
                                   engine::Date{2026, 1, 1})
                .size();
  }
  state.counters["subjects"] = static_cast<double>(count);
}
BENCHMARK(BM_SubjectAmounts)->Unit(benchmark::kMillisecond);

}  // namespace
