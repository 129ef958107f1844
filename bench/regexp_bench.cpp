// Costs of the pattern matcher as the tables use it: switching between cached patterns on
// every cell edit, compiling a table pattern for the first time, and scanning long text.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <random>
#include <string>

#include "regexp/awkstr.h"

namespace {

constexpr std::array<const char*, 7> kTablePatterns{
    "^[0-9]+$",
    "^-?[0-9]+$",
    "^(0?[1-9]|[1-2][0-9]|3[0-1])$",
    "^(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$",
    "^([0-9][0-9])/([1-9])/(0?[1-9]|[1-2][0-9]|3[0-1])$",
    "^([0-9][0-9])/(0[1-9]|1[0-2])/([1-9])$",
    "^([0-9][0-9])/(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$",
};

// Setting a pattern that is already cached, then checking one cell against it.
void BM_SetCachedAndMatch(benchmark::State& state) {
  const bool date = state.range(0) == 0;
  const std::string pattern = date ? kTablePatterns[6] : kTablePatterns[0];
  const std::string cell = date ? "25/06/05" : "1200";
  regexp::TAWKStr awk;
  for (const char* p : kTablePatterns) awk.SetRegExp(p);
  for (auto _ : state) {
    awk.SetRegExp(pattern);
    benchmark::DoNotOptimize(awk.Match(cell));
  }
  state.SetLabel(date ? "yy/mm/dd on 25/06/05" : "^[0-9]+$ on 1200");
}
BENCHMARK(BM_SetCachedAndMatch)->Arg(0)->Arg(1);

// A fresh matcher (which compiles the empty pattern) and one table pattern compiled cold.
void BM_CompileCold(benchmark::State& state) {
  const std::string pattern = kTablePatterns[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) {
    regexp::TAWKStr awk;
    awk.SetRegExp(pattern);
    benchmark::DoNotOptimize(awk.Match("25/06/05"));
  }
  state.SetLabel(pattern);
}
BENCHMARK(BM_CompileCold)->DenseRange(0, 6);

// The part of BM_CompileCold that is not the table pattern.
void BM_ConstructOnly(benchmark::State& state) {
  for (auto _ : state) {
    regexp::TAWKStr awk;
    benchmark::DoNotOptimize(awk.Match("25/06/05"));
  }
}
BENCHMARK(BM_ConstructOnly);

// A plain pattern over 1 MB of journal-like text, found only at the very end.
void BM_MatchPlainLongSubject(benchmark::State& state) {
  // "25/06/05 1200 食費 " in CP932, repeated.
  const std::string line = "25/06/05 1200 \x90\x48\x94\xef\r\n";
  std::string subject;
  while (subject.size() < (1u << 20)) subject += line;
  subject += "zq42";
  regexp::TAWKStr awk;
  awk.SetRegExp("zq[0-9]+");
  for (auto _ : state) benchmark::DoNotOptimize(awk.Match(subject));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(subject.size()));
}
BENCHMARK(BM_MatchPlainLongSubject);

// ".*a" followed by k dots: the "a" k + 1 characters before the end, which needs 2^(k+1)
// automaton states in all. A fresh matcher each time, so the states are made while matching
// a subject of random "a" and "b" (matched from its start to near its end); the figures show
// time growing with the subject alone and memory staying bounded.
void BM_DotsAfterStar(benchmark::State& state) {
  const auto k = static_cast<int>(state.range(0));
  const auto size = static_cast<std::size_t>(state.range(1)) << 10;
  std::mt19937 random(42);
  std::string subject(size, 'a');
  for (char& c : subject) c = random() % 2 == 0 ? 'a' : 'b';
  const std::string pattern = ".*a" + std::string(static_cast<std::size_t>(k), '.');
  std::size_t states = 0;
  std::size_t flushes = 0;
  for (auto _ : state) {
    regexp::TAWKStr awk;
    awk.SetRegExp(pattern);
    int position = 0;
    int length = 0;
    awk.Match(subject, position, length);
    if (position != 1 || length < static_cast<int>(size) - k - 64) state.SkipWithError("no match");
    states = awk.Automaton().StateCount();
    flushes = awk.Automaton().FlushCount();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["cache_flushes"] = static_cast<double>(flushes);
  state.counters["states_held"] = static_cast<double>(states);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(subject.size()));
  state.SetLabel(".*a + " + std::to_string(k) + " dots, " + std::to_string(size >> 10) + " KB");
}
BENCHMARK(BM_DotsAfterStar)
    ->Args({10, 1024})
    ->Args({16, 1024})
    ->Args({20, 1024})
    ->Args({20, 256})
    ->Args({20, 4096})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
