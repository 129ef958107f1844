// The statement import from the command line, run as a process on books made here.
#include <gtest/gtest.h>

#include <QFile>
#include <QLockFile>

#include "cli_book.h"

namespace cli_test {
namespace {

const std::vector<Line> kLines = {
    {"25/01/20", "200000", "普通預金", "給与", "給与"},
    {"25/02/03", "3000", "食費", "八百屋", "現金"},
    {"25/02/25", "50000", "現金", "ATM", "普通預金"},
};

const char kProfile[] =
    "[テスト銀行]\r\nencoding=UTF-8\r\ndelimiter=comma\r\nheader=1\r\nskip_top=0\r\n"
    "skip_bottom=0\r\ndate_column=1\r\ndate_order=ymd\r\ndescription_columns=2\r\n"
    "amount_style=signed\r\namount_column=3\r\nnegative=out\r\naccount=普通預金\r\n";
const char kRules[] =
    "[settings]\r\ndate_window=3\r\nlast_profile=\r\n"
    "[rule 1]\r\npattern=スーパー\r\ndictionary=1\r\nmin=\r\nmax=\r\ndirection=any\r\n"
    "subject=食費\r\nsummary=\r\n";
// A rule's row, a history proposal (給与), a row nothing assigns, the journal's own ATM line
// downloaded again, and a date that doesn't parse.
const char kStatement[] =
    "日付,摘要,金額\n2025/03/01,スーパー丸,-1200\n2025/03/02,謎の店,-500\n"
    "2025/03/05,給与,200000\n2025/02/25,ATM,-50000\n2025/13/01,壊れた行,-1\n";

struct ImportBook {
  ImportBook() : book(kLines) {
    book.Write("明細取込プロファイル.ini", kProfile);
    book.Write("明細取込ルール.ini", kRules);
    book.Write("明細.csv", kStatement, false);
  }
  QStringList Args(std::initializer_list<QString> options) const {
    QStringList args{QStringLiteral("import")};
    args << QStringList(options) << book.Index() << book.File("明細.csv");
    return args;
  }
  std::string Journal() const {
    QFile file(book.File("仕訳帳.txt"));
    file.open(QIODevice::ReadOnly);
    return file.readAll().toStdString();
  }
  TestBook book;
};

TEST(CliImportTest, DryRunListsEveryRowAndWritesNothing) {
  const ImportBook b;
  const auto before = b.book.Snapshot();
  const Result result =
      RunTool(b.Args({"--profile", "テスト銀行", "--dry-run", "--format", "tsv"}));
  EXPECT_EQ(result.status, 1) << result.err;
  EXPECT_EQ(result.out,
            "行\t状態\t日付\t金額\t借方\t摘要\t貸方\t備考\n"
            "2\t追加\t25/03/01\t1200\t食費\tスーパー丸\t普通預金\t\n"
            "3\t未割当\t25/03/02\t500\t\t謎の店\t普通預金\t\n"
            "4\t追加\t25/03/05\t200000\t普通預金\t給与\t給与\t\n"
            "5\t重複\t25/02/25\t50000\t現金\tATM\t普通預金\t仕訳帳の 3 行目と同じ\n"
            "6\t読めない\t\t\t\t\t\t'2025/13/01' は日付ではありません\n");
  EXPECT_NE(result.err.find("2 行を仕訳帳に追加します"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("明細.csv:6: "), std::string::npos) << result.err;
  EXPECT_EQ(b.book.Snapshot(), before);
}

TEST(CliImportTest, ImportAppendsUnpostedLinesOnceAndKeepsTheLedgers) {
  const ImportBook b;
  const std::string ledger = b.book.Snapshot()[b.book.File("食費.txt")].first.toStdString();
  const Result first = RunTool(b.Args({"--profile", "テスト銀行"}));
  EXPECT_EQ(first.status, 1) << first.err;
  const std::string journal = b.Journal();
  EXPECT_NE(journal.find(Cp932("25/03/01\t1200\t食費\tスーパー丸\t普通預金\t1200\r\n"
                               "25/03/05\t200000\t普通預金\t給与\t給与\t200000\r\n")),
            std::string::npos)
      << journal;
  EXPECT_EQ(journal.find(Cp932("謎の店")), std::string::npos);
  // Unposted: the ledgers are as they were.
  EXPECT_EQ(b.book.Snapshot()[b.book.File("食費.txt")].first.toStdString(), ledger);
  EXPECT_TRUE(QFile::exists(b.book.File("明細取込履歴.tsv")));

  // The same statement again: what was imported is known, nothing is added.
  const Result second = RunTool(b.Args({"--profile", "テスト銀行", "--format", "csv"}));
  EXPECT_EQ(second.status, 1) << second.err;
  EXPECT_NE(second.err.find("0 行を仕訳帳に追加しました"), std::string::npos) << second.err;
  EXPECT_EQ(b.Journal(), journal);
}

TEST(CliImportTest, RefusalsLeaveTheBookAlone) {
  const ImportBook b;
  const ImportBook damaged;
  damaged.book.Write("明細取込ルール.ini", "[rule 1]\r\npattern=(\r\ndictionary=1\r\n");
  const ImportBook misfit;
  misfit.book.Write("明細.csv", "日付,摘要\n2025/03/01,スーパー丸\n", false);
  struct Case {
    const ImportBook& where;
    QStringList args;
    std::string message;
  };
  const Case cases[] = {
      {b, b.Args({}), "--profile"},
      {b, b.Args({"--profile", "ない銀行"}), "'テスト銀行'"},
      {damaged, damaged.Args({"--profile", "テスト銀行"}), "取り込みルールのファイル"},
      {misfit, misfit.Args({"--profile", "テスト銀行"}), "金額の列 3 がありません"},
      {b,
       {"import", "--profile", "テスト銀行", b.book.Index(), b.book.File("ない.csv")},
       "明細ファイル"},
  };
  for (const Case& c : cases) {
    const auto before = c.where.book.Snapshot();
    const Result result = RunTool(c.args);
    EXPECT_EQ(result.status, 2) << c.args.join(' ').toStdString() << "\n" << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(c.where.book.Snapshot(), before);
  }
  // The program holds the book: the import refuses to write, a dry run still reads.
  QLockFile held(b.book.Index() + ".lock");
  ASSERT_TRUE(held.lock());
  const auto before = b.book.Snapshot();
  EXPECT_EQ(RunTool(b.Args({"--profile", "テスト銀行"})).status, 2);
  EXPECT_EQ(RunTool(b.Args({"--profile", "テスト銀行", "--dry-run"})).status, 1);
  EXPECT_EQ(b.book.Snapshot(), before);
}

}  // namespace
}  // namespace cli_test
