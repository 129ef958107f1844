// Book operations on generated books of 10k, 100k and 1M journal lines.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <memory>

#include "bench_host.h"
#include "bench_ui.h"
#include "book_generator.h"
#include "engine/app/app_folder.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/lists/item_list.h"
#include "engine/tables/journal_grid.h"

namespace {

using bench::BookOf;

void BM_OpenBook(benchmark::State& state) {
  const auto& fixture = BookOf(static_cast<std::size_t>(state.range(0)), false);
  for (auto _ : state) {
    bench::BenchUi ui;
    engine::Book book(ui);
    book.OpenBook(fixture.book.indexPath);
    if (!book.IsOpen()) state.SkipWithError("open failed");
    state.PauseTiming();
    book.CloseBook();
    state.ResumeTiming();
  }
}

void BM_ImportCsvAndPost(benchmark::State& state) {
  const auto& fixture = BookOf(static_cast<std::size_t>(state.range(0)), false);
  QTemporaryDir work;
  engine::AppFolderOverride appFolder(engine::ToCp932(work.path()).value() + "/");
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // Each round imports a fresh copy so that the book folder doesn't exist yet.
    const QString csv = work.filePath(QString("import%1.csv").arg(++round));
    QFile::copy(engine::PathFromCp932(fixture.book.csvPath), csv);
    const std::string csvPath = engine::ToCp932(csv).value();
    const std::string folder = csvPath.substr(0, csvPath.size() - 4) + "/";
    bench::BenchUi ui;
    ui.files = {csvPath, folder + "s.txt", folder + "m.txt", folder + "a.txt"};
    engine::Book book(ui);
    state.ResumeTiming();
    book.NewBookFromCSV();
    if (!book.IsOpen() || ui.messages) state.SkipWithError("import failed");
  }
}

// The import's table work alone: the CSV lines into the journal, then every line posted.
void BM_LoadCsvLinesAndPostAll(benchmark::State& state) {
  auto lines = bench::GenerateJournalLines(static_cast<std::size_t>(state.range(0)), false);
  for (auto& line : lines) std::replace(line.begin(), line.end(), '\t', ',');
  for (auto _ : state) {
    state.PauseTiming();
    auto host = std::make_unique<bench::BenchHost>();
    state.ResumeTiming();
    host->Journal()->LoadCsvLines(lines);
    if (!host->Journal()->PostAll()) state.SkipWithError("post failed");
    state.PauseTiming();
    host.reset();
    state.ResumeTiming();
  }
}

void BM_SortCommand(benchmark::State& state) {
  const auto& fixture = BookOf(static_cast<std::size_t>(state.range(0)), true);
  for (auto _ : state) {
    state.PauseTiming();
    bench::BenchUi ui;
    engine::Book book(ui);
    book.OpenBook(fixture.book.indexPath);
    state.ResumeTiming();
    book.OperateSortExecute();
    state.PauseTiming();
    if (ui.messages) state.SkipWithError("sort failed");
    book.CloseBook();
    state.ResumeTiming();
  }
}

void BM_SaveBook(benchmark::State& state) {
  const auto& fixture = BookOf(static_cast<std::size_t>(state.range(0)), false);
  bench::BenchUi ui;
  engine::Book book(ui);
  book.OpenBook(fixture.book.indexPath);
  for (auto _ : state) {
    book.SetModified();
    if (!book.SaveBook()) state.SkipWithError("save failed");
  }
}

void BM_SubjectTotals(benchmark::State& state) {
  const auto& fixture = BookOf(static_cast<std::size_t>(state.range(0)), false);
  bench::BenchUi ui;
  engine::Book book(ui);
  book.OpenBook(fixture.book.indexPath);
  for (auto _ : state) {
    engine::SubjectList list(book);
    benchmark::DoNotOptimize(list.RowCount());
  }
}

constexpr auto kUnit = benchmark::kMillisecond;
BENCHMARK(BM_OpenBook)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(kUnit);
BENCHMARK(BM_ImportCsvAndPost)->Arg(10'000)->Arg(100'000)->Unit(kUnit);
BENCHMARK(BM_LoadCsvLinesAndPostAll)->Arg(10'000)->Arg(100'000)->Unit(kUnit);
BENCHMARK(BM_SortCommand)->Arg(10'000)->Arg(100'000)->Unit(kUnit);
BENCHMARK(BM_SaveBook)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(kUnit);
BENCHMARK(BM_SubjectTotals)->Arg(10'000)->Arg(100'000)->Unit(kUnit);

}  // namespace
