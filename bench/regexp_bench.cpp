// Costs of the pattern matcher as the tables use it: switching between cached patterns on
// every cell edit, compiling a table pattern for the first time, and scanning long text.

#include <benchmark/benchmark.h>

#include <array>
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

}  // namespace

BENCHMARK_MAIN();
