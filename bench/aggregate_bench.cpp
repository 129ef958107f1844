// The aggregations on generated books of 100k and 1M journal lines: a table of 40 entries
// (ten headings over three subjects each) over the whole period of the book, and the
// text output of the journal.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <map>
#include <memory>

#include "bench_ui.h"
#include "book_generator.h"
#include "engine/amount/entry_list.h"
#include "engine/amount/result_grid.h"
#include "engine/amount/table_aggregation.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/tables/journal_grid.h"

namespace {

struct OpenBook {
  QTemporaryDir dir;
  bench::BenchUi ui;
  std::unique_ptr<engine::Book> book;
};

// One opened book per size, made once per run.
OpenBook& BookOf(std::size_t lines) {
  static std::map<std::size_t, std::unique_ptr<OpenBook>> books;
  auto& slot = books[lines];
  if (!slot) {
    slot = std::make_unique<OpenBook>();
    const auto generated = bench::WriteBook(slot->dir.path(), lines, false);
    slot->book = std::make_unique<engine::Book>(slot->ui);
    slot->book->OpenBook(generated.indexPath);
    slot->book->SetSettingsPath(engine::ToCp932(slot->dir.filePath("agg.txt")).value());
  }
  return *slot;
}

// 40 entries: ten headings with three of the book's subjects under each. Larger groups would
// leave 32 bits on the book of a million lines, where one subject's ten years come to
// about 630 million.
std::vector<engine::TableEntrySetting> FortyEntries(engine::Book& book) {
  std::vector<engine::TableEntrySetting> entries;
  const auto subjects = book.Journal()->Subjects().Subjects();
  for (std::size_t i = 0; entries.size() < 40 && i < subjects.size(); ++i) {
    if (i % 3 == 0) entries.push_back({"heading" + std::to_string(i), true, true, false});
    if (entries.size() < 40)
      entries.push_back({std::string(engine::kLevelMark) + subjects[i], true, true, false});
  }
  return entries;
}

void BM_AggregateTable(benchmark::State& state) {
  OpenBook& open = BookOf(static_cast<std::size_t>(state.range(0)));
  engine::TableAggregation table(*open.book, open.book->SettingsPath());
  table.Open();
  table.Entries().Assign(FortyEntries(*open.book));
  if (table.Entries().Count() != 40) state.SkipWithError("not 40 entries");
  for (auto _ : state) {
    try {
      const engine::ResultGrid grid = table.Aggregate();
      benchmark::DoNotOptimize(grid.rows.data());
    } catch (const engine::Error& e) {
      state.SkipWithError(engine::FromCp932(e.Message()).toStdString().c_str());
      break;
    }
  }
}

void BM_JournalTextOut(benchmark::State& state) {
  OpenBook& open = BookOf(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    const auto lines = open.book->Journal()->TextOut();
    benchmark::DoNotOptimize(lines.data());
  }
}

constexpr auto kUnit = benchmark::kMillisecond;
BENCHMARK(BM_AggregateTable)->Arg(100'000)->Arg(1'000'000)->Unit(kUnit);
BENCHMARK(BM_JournalTextOut)->Arg(100'000)->Arg(1'000'000)->Unit(kUnit);

}  // namespace
