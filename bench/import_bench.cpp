// Statement import: a 10,000-row bank statement with 50 rules, against a journal of 100,000
// lines (duplicate detection and the history proposal read all of them).
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QTemporaryDir>
#include <memory>
#include <random>

#include "bench_host.h"
#include "book_generator.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/text_file.h"
#include "engine/import/import_history.h"
#include "engine/import/import_session.h"

namespace {

using namespace engine::import;

const char* const kShops[] = {"ｺﾝﾋﾞﾆ", "ｽｰﾊﾟｰﾏﾙﾏﾙ", "ﾄﾞﾗｯｸﾞｽﾄｱ", "ﾃﾞﾝｷ",  "ｶﾞｽ",    "ｽｲﾄﾞｳ", "ｹｲﾀｲ",
                              "ﾎﾝﾔ",   "ｴｲｶﾞｶﾝ",    "ﾋﾞｮｳｲﾝ",    "ﾔｯｷｮｸ", "ATM",    "ｷｭｳﾖ",  "ｶｰﾄﾞ",
                              "ﾀｸｼｰ",  "ﾚｽﾄﾗﾝ",     "ｶﾌｪ",       "ﾊﾟﾝﾔ",  "ﾃﾞﾊﾟｰﾄ", "ｼﾞﾑ"};

struct Fixture {
  QTemporaryDir dir;
  bench::BenchHost host;
  QString journalPath;
  QByteArray statement;
  std::vector<ImportRule> rules;
  ImportProfile profile;

  Fixture() {
    journalPath = dir.filePath("journal.txt");
    engine::WriteTextLines(journalPath, bench::GenerateJournalLines(100000, false));
    for (const char* s : {"現金", "普通預金", "給料", "食費", "外食費", "日用品", "水道光熱費",
                          "通信費", "交通費", "医療費", "書籍費", "娯楽費", "クレジットカード"})
      host.AddSubject(engine::Sjis(s));
    Reload();

    // 50 rules; most rows match one of the first twenty, a third match none and try all.
    const char* subjects[] = {"食費", "日用品", "水道光熱費", "通信費", "交通費", "医療費"};
    for (int i = 0; i < 50; ++i) {
      ImportRule rule;
      rule.pattern = i < 14
                         ? engine::Sjis(kShops[i]) + "|" + engine::Sjis("ｼｮｯﾌﾟ") + std::to_string(i)
                         : engine::Sjis("ﾐｾ") + std::to_string(i) + "|STORE" + std::to_string(i);
      rule.subject = engine::Sjis(subjects[i % 6]);
      rule.fold = true;
      rules.push_back(rule);
    }

    profile.name = engine::Sjis("ベンチ銀行");
    profile.encoding = Encoding::Cp932;
    profile.header = true;
    profile.account = engine::Sjis("普通預金");
    std::mt19937 random(7);
    std::string csv = engine::Sjis("日付,お取引内容,金額,残高\r\n");
    for (int i = 0; i < 10000; ++i) {
      const int day = 20089 + i * 365 / 10000;  // through 2025
      const engine::Date date = engine::Date::FromDays(day);
      char line[160];
      const int amount = 100 + static_cast<int>(random() % 20000);
      std::snprintf(line, sizeof line, "%04d/%02d/%02d,", date.year, date.month, date.day);
      csv += line;
      csv +=
          "\"" + engine::Sjis(kShops[random() % 20]) + " " + std::to_string(random() % 50) + "\",";
      std::snprintf(line, sizeof line, "\"-%d,%03d\",%d\r\n", amount / 1000, amount % 1000, i);
      csv += line;
    }
    statement = QByteArray::fromStdString(csv);
  }

  void Reload() { host.Journal()->LoadTable(journalPath); }

  ImportPreview Preview(const RuleMatcher& matcher, ImportHistory& history) {
    QBuffer buffer(&statement);
    buffer.open(QIODevice::ReadOnly);
    return BuildPreview(buffer, profile, *host.Journal(), matcher, &history, 3);
  }
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void BM_ImportPreview(benchmark::State& state) {
  Fixture& f = TheFixture();
  const engine::TodayOverride today(QDate(2025, 12, 31));
  ImportHistory history(f.dir.filePath("history.tsv"));
  for (auto _ : state) {
    // The rules are compiled as the dialog opens; that is part of the first preview.
    const RuleMatcher matcher(f.rules);
    const ImportPreview preview = f.Preview(matcher, history);
    if (preview.rows.size() != 10000 || preview.Errors() != 0) state.SkipWithError("bad preview");
    benchmark::DoNotOptimize(preview.rows.data());
  }
}

void BM_ImportCommit(benchmark::State& state) {
  Fixture& f = TheFixture();
  const engine::TodayOverride today(QDate(2025, 12, 31));
  const RuleMatcher matcher(f.rules);
  for (auto _ : state) {
    state.PauseTiming();
    f.Reload();
    ImportHistory history(f.dir.filePath("history.tsv"));
    const ImportPreview preview = f.Preview(matcher, history);
    state.ResumeTiming();
    const ImportSummary summary = CommitImport(*f.host.Journal(), history, preview);
    benchmark::DoNotOptimize(summary.added);
  }
}

// The whole import as the user waits for it: rules compiled, the preview built, the rows
// appended.
void BM_ImportWhole(benchmark::State& state) {
  Fixture& f = TheFixture();
  const engine::TodayOverride today(QDate(2025, 12, 31));
  for (auto _ : state) {
    state.PauseTiming();
    f.Reload();
    ImportHistory history(f.dir.filePath("history.tsv"));
    state.ResumeTiming();
    const RuleMatcher matcher(f.rules);
    const ImportPreview preview = f.Preview(matcher, history);
    const ImportSummary summary = CommitImport(*f.host.Journal(), history, preview);
    benchmark::DoNotOptimize(summary.added);
  }
}

}  // namespace

BENCHMARK(BM_ImportPreview)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ImportCommit)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ImportWhole)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
