// The chart series of a book of a million journal lines: each ledger's months in and out with
// the closing balance, the work a subject's chart does before it draws.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <memory>

#include "bench_ui.h"
#include "book_generator.h"
#include "engine/amount/chart_series.h"
#include "engine/app/book.h"
#include "engine/tables/ledger_grid.h"

namespace {

void BM_LedgerMonthlyFlow(benchmark::State& state) {
  static QTemporaryDir dir;
  static bench::BenchUi ui;
  static std::unique_ptr<engine::Book> book;
  if (!book) {
    const auto generated = bench::WriteBook(dir.path(), 1000000, false);
    book = std::make_unique<engine::Book>(ui);
    book->OpenBook(generated.indexPath);
  }
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

}  // namespace
