// Undo history and backups on generated books: undo of a sort, the memory of 100 steps, and
// a save with and without backups.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <map>
#include <memory>
#include <random>

#include "bench_ui.h"
#include "book_generator.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/tables/journal_grid.h"

namespace {

using bench::BookOf;

// The process's resident memory in bytes.
double ResidentBytes() {
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  QTextStream in(&statm);
  long long size = 0, resident = 0;
  in >> size >> resident;
  return static_cast<double>(resident) * 4096.0;
}

void BM_UndoSort(benchmark::State& state) {
  const auto& fixture = BookOf(static_cast<std::size_t>(state.range(0)), true);
  bench::BenchUi ui;
  engine::Book book(ui);
  book.OpenBook(fixture.book.indexPath);
  book.OperateSortExecute();
  if (!book.Changes()->CanUndo()) state.SkipWithError("the sort recorded nothing");
  for (auto _ : state) {
    book.Undo();
    state.PauseTiming();
    book.Redo();
    state.ResumeTiming();
  }
}

// 100 steps of ordinary work on a posted book: amounts changed (each one unposts a line,
// taking two ledger rows out and repairing the balances below them) and lines deleted.
void BM_HundredSteps(benchmark::State& state) {
  const auto& fixture = BookOf(static_cast<std::size_t>(state.range(0)), false);
  for (auto _ : state) {
    state.PauseTiming();
    bench::BenchUi ui;
    auto book = std::make_unique<engine::Book>(ui);
    book->OpenBook(fixture.book.indexPath);
    engine::TJournalGrid& journal = *book->Journal();
    std::mt19937 random(7);
    const double before = ResidentBytes();
    state.ResumeTiming();
    for (int step = 0; step < 100; ++step) {
      const int row =
          1 + static_cast<int>(random() % static_cast<unsigned>(journal.RowCount() - 2));
      if (step % 2 == 0) {
        journal.SelectCell(2, row);
        journal.SetEditorText(std::to_string(1000 + step));
        journal.CommitEditor();
      } else {
        journal.MousePress(0, row);
        journal.LineDel();
      }
    }
    state.PauseTiming();
    state.counters["history_MB"] = static_cast<double>(book->Changes()->Bytes()) / (1 << 20);
    state.counters["resident_growth_MB"] = (ResidentBytes() - before) / (1 << 20);
    state.counters["steps"] = book->Changes()->Count();
    book.reset();
    state.ResumeTiming();
  }
}

void BM_Save(benchmark::State& state) {
  const auto& fixture = BookOf(static_cast<std::size_t>(state.range(0)), false);
  bench::BenchUi ui;
  engine::Book book(ui);
  book.OpenBook(fixture.book.indexPath);
  book.SetBackupCount(static_cast<int>(state.range(1)));
  for (auto _ : state) {
    book.SaveBook();
  }
  if (ui.messages) state.SkipWithError(ui.lastMessage.c_str());
}

}  // namespace

BENCHMARK(BM_UndoSort)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HundredSteps)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Save)
    ->Args({1000000, 0})
    ->Args({1000000, 10})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
