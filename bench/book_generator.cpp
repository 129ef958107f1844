#include "book_generator.h"

#include <QDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <random>

#include "engine/base/cp932.h"
#include "engine/base/text_file.h"

namespace bench {

namespace {

const char* const kSubjects[40] = {
    "現金", "普通預金", "給料", "食費", "外食費", "日用品", "家賃", "水道光熱費", "通信費",
    "交通費", "医療費", "衣服費", "教育費", "娯楽費", "交際費", "保険料", "税金", "雑費",
    "クレジットカード", "定期預金", "賞与", "利息", "贈答費", "美容費", "書籍費", "趣味",
    "旅行費", "車両費", "ガソリン代", "駐車場代", "家具家電", "子供費", "ペット費", "寄付金",
    "手数料", "雑収入", "年金", "投資", "住宅ローン", "積立金"};

const char* const kSummaries[16] = {"スーパーで食料品", "昼食", "電車代", "電気代", "ガス代",
                                    "水道代", "携帯電話", "インターネット", "書店", "映画",
                                    "病院", "薬局", "ATM引き出し", "月給", "カード引き落とし",
                                    "コンビニ"};

}  // namespace

std::vector<std::string> GenerateJournalLines(std::size_t count, bool shuffled, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> subjects, summaries;
  for (const char* s : kSubjects) subjects.push_back(engine::Sjis(s));
  for (const char* s : kSummaries) summaries.push_back(engine::Sjis(s));
  const int days = 3652;  // 2016-01-01 .. 2025-12-31
  std::vector<int> dayOf(count);
  for (std::size_t i = 0; i < count; ++i) dayOf[i] = static_cast<int>(i * days / (count ? count : 1));
  if (shuffled) std::shuffle(dayOf.begin(), dayOf.end(), random);
  std::vector<std::string> lines;
  lines.reserve(count);
  static constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (std::size_t i = 0; i < count; ++i) {
    int d = dayOf[i], year = 2016;
    for (;;) {
      const int length = (year % 4 == 0) ? 366 : 365;
      if (d < length) break;
      d -= length;
      ++year;
    }
    int month = 0;
    for (;; ++month) {
      const int length = kMonthDays[month] + (month == 1 && year % 4 == 0 ? 1 : 0);
      if (d < length) break;
      d -= length;
    }
    const int amount = 100 + static_cast<int>(random() % 500) * 100 + static_cast<int>(random() % 100);
    const std::size_t debit = random() % 40;
    std::size_t credit = random() % 40;
    if (credit == debit) credit = (credit + 1) % 40;
    char date[40], money[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", year % 100, month + 1, d + 1);
    std::snprintf(money, sizeof money, "%d", amount);
    std::string line;
    line.reserve(64);
    line.append(date).append("\t").append(money).append("\t").append(subjects[debit]);
    line.append("\t").append(summaries[random() % 16]).append("\t").append(subjects[credit]);
    line.append("\t").append(money);
    lines.push_back(std::move(line));
  }
  return lines;
}

GeneratedBook WriteBook(const QString& folder, std::size_t count, bool shuffled) {
  const auto lines = GenerateJournalLines(count, shuffled);
  const std::string dir = engine::ToCp932(QDir(folder).absolutePath()).value() + "/";
  auto path = [](const std::string& cp932) { return engine::PathFromCp932(cp932); };

  std::map<std::string, std::string> ledgerImages;  // subject -> file image
  std::map<std::string, long long> balances;
  std::string journal, csv;
  journal.reserve(count * 64);
  csv.reserve(count * 64);
  std::vector<std::string> order;
  for (const auto& line : lines) {
    engine::AppendLine(journal, line);
    std::string csvLine = line;
    for (char& c : csvLine) {
      if (c == '\t') c = ',';
    }
    engine::AppendLine(csv, csvLine);
    std::array<std::string, 6> f;
    std::size_t pos = 0;
    for (int i = 0; i < 6; ++i) {
      const std::size_t next = line.find('\t', pos);
      f[static_cast<std::size_t>(i)] = line.substr(pos, next - pos);
      pos = next + 1;
    }
    const long long amount = std::stoll(f[1]);
    for (int side = 0; side < 2; ++side) {
      const std::string& subject = side == 0 ? f[2] : f[4];
      const std::string& other = side == 0 ? f[4] : f[2];
      if (!ledgerImages.count(subject)) order.push_back(subject);
      long long& balance = balances[subject];
      balance += side == 0 ? amount : -amount;
      std::string row = f[0] + "\t" + other + "\t" + f[3] + "\t" + (side == 0 ? f[1] : "") + "\t" +
                        (side == 1 ? f[1] : "") + "\t" + std::to_string(balance);
      engine::AppendLine(ledgerImages[subject], row);
    }
  }
  const std::string journalPath = dir + engine::Sjis("仕訳帳") + ".txt";
  const std::string subjectPath = dir + engine::Sjis("勘定科目") + ".txt";
  const std::string summaryPath = dir + engine::Sjis("摘要") + ".txt";
  const std::string settingsPath = dir + engine::Sjis("集計設定") + ".txt";
  engine::WriteFileAtomically(path(journalPath), journal);
  std::vector<std::string> index{subjectPath, summaryPath, settingsPath, journalPath};
  std::vector<std::string> subjectLines;
  for (const auto& subject : order) {
    const std::string ledgerPath = dir + subject + ".txt";
    engine::WriteFileAtomically(path(ledgerPath), ledgerImages[subject]);
    index.push_back(ledgerPath);
    subjectLines.push_back(subject);
  }
  engine::WriteTextLines(path(subjectPath), subjectLines);
  std::vector<std::string> summaryLines;
  for (const char* s : kSummaries) summaryLines.push_back(engine::Sjis(s));
  engine::WriteTextLines(path(summaryPath), summaryLines);
  GeneratedBook book;
  book.indexPath = dir + "book.txt";
  engine::WriteTextLines(path(book.indexPath), index);
  book.csvPath = dir + "journal.csv";
  engine::WriteFileAtomically(path(book.csvPath), csv);
  return book;
}

BookFixture& BookOf(std::size_t lines, bool shuffled) {
  static std::map<std::pair<std::size_t, bool>, std::unique_ptr<BookFixture>> books;
  auto& slot = books[{lines, shuffled}];
  if (!slot) {
    slot = std::make_unique<BookFixture>();
    slot->book = WriteBook(slot->dir.path(), lines, shuffled);
  }
  return *slot;
}

}  // namespace bench
