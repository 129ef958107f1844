// Find and filter over a journal of a million lines: the first match from the top when the
// only matching line is the last one (the longest wait a user can meet), and a full count of
// the matches, which is also the work a filter does, for each kind of condition.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <memory>

#include "bench_host.h"
#include "book_generator.h"
#include "engine/base/cp932.h"
#include "engine/base/text_file.h"
#include "engine/tables/find.h"

namespace {

constexpr std::size_t kLines = 1000000;

struct Journal {
  bench::BenchHost host;
  int lastRow = 0;
};

// One journal of a million lines, with a line only the last one has.
Journal& JournalOf() {
  static std::unique_ptr<Journal> journal;
  if (!journal) {
    journal = std::make_unique<Journal>();
    QTemporaryDir dir;
    std::vector<std::string> lines = bench::GenerateJournalLines(kLines, false);
    lines.back() = engine::Sjis("25/12/31\t9800\t医療費\t歯医者\t現金\t9800");
    const QString path = dir.filePath(QStringLiteral("journal.txt"));
    engine::WriteTextLines(path, lines);
    journal->host.Journal()->LoadTable(path);
    journal->lastRow = static_cast<int>(kLines);
  }
  return *journal;
}

engine::FindCondition Text(const char* utf8, bool pattern) {
  engine::FindCondition condition;
  condition.text = engine::Sjis(utf8);
  condition.pattern = pattern;
  return condition;
}

void BM_FirstMatchAtTheEnd(benchmark::State& state) {
  Journal& journal = JournalOf();
  const engine::FindCondition condition = Text(state.range(0) ? "歯.者" : "歯医者", state.range(0));
  for (auto _ : state) {
    const engine::LineMatcher matcher(*journal.host.Journal(), condition);
    if (engine::FindNextLine(matcher, 0, true) != journal.lastRow) state.SkipWithError("missed");
  }
  state.SetLabel(state.range(0) ? "pattern" : "plain text");
}
BENCHMARK(BM_FirstMatchAtTheEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The usual case: a summary used now and then, looked for from the middle of the journal.
void BM_FirstMatchOfACommonText(benchmark::State& state) {
  Journal& journal = JournalOf();
  const engine::FindCondition condition = Text("病院", false);
  for (auto _ : state) {
    const engine::LineMatcher matcher(*journal.host.Journal(), condition);
    benchmark::DoNotOptimize(engine::FindNextLine(matcher, journal.lastRow / 2, true));
  }
}
BENCHMARK(BM_FirstMatchOfACommonText)->Unit(benchmark::kMicrosecond);

void BM_CountMatches(benchmark::State& state) {
  Journal& journal = JournalOf();
  engine::FindCondition condition;
  switch (state.range(0)) {
    case 0:
      condition = Text("病院", false);
      state.SetLabel("plain text");
      break;
    case 1:
      condition = Text("ａｔｍ", false);
      state.SetLabel("plain text folded");
      break;
    case 2:
      condition = Text("(電気|ガス)代", true);
      state.SetLabel("pattern");
      break;
    case 3:
      condition.minAmount = 5000;
      condition.maxAmount = 20000;
      state.SetLabel("amount range");
      break;
    default:
      condition.from = engine::Date{2020, 4, 1};
      condition.to = engine::Date{2021, 3, 31};
      condition.text = engine::Sjis("食費");
      state.SetLabel("date range and text");
      break;
  }
  std::size_t count = 0;
  for (auto _ : state) {
    engine::MatchScan scan(*journal.host.Journal(), condition);
    scan.Finish();
    count = scan.Rows().size();
  }
  state.counters["matches"] = static_cast<double>(count);
}
BENCHMARK(BM_CountMatches)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace
