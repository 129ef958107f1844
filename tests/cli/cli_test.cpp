// The command-line tool run as a process on books made here.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <algorithm>
#include <functional>
#include <span>

#include "cli_book.h"

namespace cli_test {
namespace {

const std::vector<Line> kLines = {
    {"25/01/05", "1000", "食費", "スーパー", "現金"},
    {"25/01/20", "200000", "普通預金", "給与", "給与"},
    {"25/02/03", "3000", "食費", "八百屋", "現金"},
    {"25/02/25", "50000", "現金", "ATM", "普通預金"},
};

const std::string kSettings =
    "[table]\r\n0=生活費,1,1,0\r\n1=･･･食費,1,1,0\r\n"
    "[compare]\r\n0=食費,25/01,25/01,1,1,0\r\n1=食費,25/02,25/02,1,1,0\r\n";

QStringList Args(std::initializer_list<QString> args) {
  return QStringList(args);
}

// A run whose whole output is known.
struct OutputCase {
  QStringList args;
  std::string out;
};

void ExpectOutputs(std::span<const OutputCase> cases) {
  for (const OutputCase& c : cases) {
    const Result result = RunTool(c.args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.out) << c.args.join(' ').toStdString();
  }
}

TEST(CliTest, BalanceInEveryFormat) {
  const TestBook book(kLines);
  const QString index = book.Index();
  const OutputCase cases[] = {
      {Args({"balance", "--format", "tsv", index}),
       "勘定科目\t借方合計\t貸方合計\t差引残高\n食費\t4000\t0\t4000\n現金\t50000\t4000\t46000\n"
       "普通預金\t200000\t50000\t150000\n給与\t0\t200000\t-200000\n"},
      {Args({"balance", "--format=csv", "--from", "2025/02/01", "--to", "25-02-28", index}),
       "勘定科目,借方合計,貸方合計,差引残高\n食費,3000,0,3000\n現金,50000,3000,47000\n"
       "普通預金,0,50000,-50000\n給与,0,0,0\n"},
      // Aligned for a terminal: a double-width character takes two columns.
      {Args({"balance", "--to", "2025/01/10", book.Folder()}),
       "勘定科目  借方合計  貸方合計  差引残高\n"
       "--------  --------  --------  --------\n"
       "食費          1000         0      1000\n"
       "現金             0      1000     -1000\n"
       "普通預金         0         0         0\n"
       "給与             0         0         0\n"},
  };
  ExpectOutputs(cases);
  const Result cp932 = RunTool(Args({"balance", "--format", "tsv", "--encoding", "cp932", index}));
  EXPECT_EQ(cp932.out.substr(0, 8), Cp932("勘定科目"));

  const Result json = RunTool(Args({"balance", "--format", "json", index}));
  ASSERT_EQ(json.status, 0) << json.err;
  const QJsonArray rows = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).array();
  ASSERT_EQ(rows.size(), 4);
  EXPECT_EQ(rows[3].toObject()["subject"].toString(), QStringLiteral("給与"));
  EXPECT_EQ(rows[3].toObject()["balance"].toInt(), -200000);
}

TEST(CliTest, AggregationsUseTheStoredSettings) {
  const TestBook book(kLines, kSettings);
  const QString index = book.Index();
  const OutputCase cases[] = {
      {Args({"table", "--format", "tsv", index}),
       "科目\t借方金額\t\t貸方金額\t\t差引残高\n生活費\t4000\t\t0\t\t4000\n"
       " 食費\t4000\t100 %\t0\t\t4000\n"},
      {Args({"table", "--format", "tsv", "--from", "2025/02", "--to", "25/02", index}),
       "科目\t借方金額\t\t貸方金額\t\t差引残高\n生活費\t3000\t\t0\t\t3000\n"
       " 食費\t3000\t100 %\t0\t\t3000\n"},
      {Args({"compare", "--format", "csv", "--months", index}),
       "科目,借方金額,,貸方金額,,差引残高\n食費 25/01,1000,,0,,1000\n食費 25/02,3000,,0,,3000\n"},
  };
  ExpectOutputs(cases);
}

TEST(CliTest, SchemaReportNamesItsEncoding) {
  const TestBook book(kLines);
  book.Write("月報.rng",
             "<grammar xmlns=\"http://relaxng.org/ns/structure/1.0\"><start>"
             "<element name=\"月報\"><element name=\"食費\"><ref name=\"subject\"/></element>"
             "<element name=\"備考\"><text/></element></element></start>"
             "<define name=\"subject\"><element name=\"JAN\"><text/></element></define></grammar>",
             false);
  const std::string schema = book.File("月報.rng").toStdString();
  book.Write("集計設定.txt", "[" + schema + "]\r\n1=食費,1,1,0\r\n/2=メモ\r\n");

  const Result result = RunTool(Args({"schema", book.File("月報.rng"), book.Index()}));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find(R"(<?xml version="1.0" encoding="UTF-8"?>)"), std::string::npos);
  EXPECT_NE(result.out.find("<食費><JAN>1000</JAN><FEB>3000</FEB><MAR>0</MAR>"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("<備考>メモ</備考>"), std::string::npos);

  const QString file = book.File("out.xml");
  EXPECT_EQ(RunTool(Args({"schema", "--output", file, book.File("月報.rng"), book.Index()})).status,
            0);
  QFile written(file);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  const std::string bytes = written.readAll().toStdString();
  EXPECT_NE(bytes.find(R"(encoding="Shift_JIS")"), std::string::npos);
  EXPECT_NE(bytes.find(Cp932("<備考>メモ</備考>")), std::string::npos);

  // The HTML page comes from the schema's stylesheet, as the dialog makes it.
  book.Write("月報.xsl",
             "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
             "<xsl:template match=\"/\"><html><body><xsl:value-of select=\"//備考\"/></body></html>"
             "</xsl:template></xsl:stylesheet>",
             false);
  EXPECT_EQ(
      RunTool(Args({"schema", "--html", "--output", file, book.File("月報.rng"), book.Index()}))
          .status,
      0);
  QFile html(book.File("out.html"));
  ASSERT_TRUE(html.open(QIODevice::ReadOnly));
  EXPECT_TRUE(html.readAll().contains("メモ"));

  const Result noYear =
      RunTool(Args({"schema", "--year", "2024", book.File("月報.rng"), book.Index()}));
  EXPECT_EQ(noYear.status, 2);
  EXPECT_NE(noYear.err.find("2024"), std::string::npos);
}

TEST(CliTest, ExportEscapesEveryCell) {
  // "表" ends in the byte of a backslash; a quote, a comma and a control character need
  // escaping in CSV and JSON.
  const TestBook book({{"25/03/01", "500", "食費", "表示,\"引用\"\x01", "現金"}});
  const Result csv = RunTool(Args({"export", "journal", "--format", "csv", book.Index()}));
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out, "25/03/01,500,食費,\"表示,\"\"引用\"\"\x01\",現金,500\n");

  const Result tsv = RunTool(Args({"export", "ledger", "現金", "--format", "tsv", book.Index()}));
  EXPECT_EQ(tsv.out, "25/03/01\t食費\t表示,\"引用\"\x01\t\t500\t-500\n");

  const Result json = RunTool(Args({"export", "--format", "json", "journal", book.Index()}));
  QJsonParseError error;
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
  const QJsonObject row = document.array()[0].toObject();
  EXPECT_EQ(row["summary"].toString(), QString::fromUtf8("表示,\"引用\"\x01"));
  EXPECT_EQ(row["amount"].toInt(), 500);
  EXPECT_EQ(row["debit"].toString(), QStringLiteral("食費"));
}

TEST(CliTest, CheckFindsEachPlantedFault) {
  {
    const TestBook clean(kLines);
    const Result result = RunTool(Args({"check", clean.Index()}));
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "");
    // Rows in another order than the journal's, and a line entered twice, are no fault.
    std::vector<Line> twice = kLines;
    twice.push_back(kLines[0]);
    const TestBook shuffled(twice);
    shuffled.Write(
        "食費.txt",
        "25/02/03\t現金\t八百屋\t3000\t\t3000\r\n25/01/05\t現金\tスーパー\t1000\t\t4000\r\n"
        "25/01/05\t現金\tスーパー\t1000\t\t5000\r\n");
    const Result reordered = RunTool(Args({"check", shuffled.Index()}));
    EXPECT_EQ(reordered.status, 0) << reordered.out << reordered.err;
  }
  struct Case {
    const char* fault;
    std::function<void(const TestBook&)> plant;
    std::string where;  // "file:line: " or "file: "
    std::string what;
  };
  const Case cases[] = {
      {"a posting lost from a ledger", [](const TestBook& b) { b.ReplaceLine("現金.txt", 2, ""); },
       "仕訳帳.txt:3: ", "元帳 '現金' に貸方の転記がありません"},
      {"a ledger row of no journal line",
       [](const TestBook& b) {
         b.Write("給与.txt",
                 "25/01/20\t普通預金\t給与\t\t200000\t-200000\r\n"
                 "25/02/20\t普通預金\t賞与\t\t1000\t-201000\r\n");
       },
       "給与.txt:2: ", "この行の仕訳が仕訳帳にありません"},
      {"a wrong running balance",
       [](const TestBook& b) {
         b.ReplaceLine("食費.txt", 2, "25/02/03\t現金\t八百屋\t3000\t\t4001");
       },
       "食費.txt:2: ", "差引残高は 4000 のはずですが 4001 とあります"},
      {"an invalid date",
       [](const TestBook& b) {
         b.ReplaceLine("仕訳帳.txt", 1, "25/13/05\t1000\t食費\tスーパー\t現金\t1000");
       },
       "仕訳帳.txt:1: ", "'25/13/05' は日付ではありません"},
      {"an amount out of range",
       [](const TestBook& b) {
         b.ReplaceLine("食費.txt", 1, "25/01/05\t現金\tスーパー\t99999999999\t\t1000");
       },
       "食費.txt:1: ", "金額 '99999999999' は範囲を超えています"},
      {"an unreadable file", [](const TestBook& b) { QFile::remove(b.File("給与.txt")); },
       "給与.txt: ", "ファイルを読めません"},
      {"a file in UTF-8",
       [](const TestBook& b) { b.Write("勘定科目.txt", "食費\r\n現金\r\n", false); },
       "勘定科目.txt:1: ", "シフト JIS (CP932) ではなく UTF-8 で書かれています"},
  };
  for (const Case& c : cases) {
    const TestBook book(kLines);
    c.plant(book);
    const Result result = RunTool(Args({"check", book.Index()}));
    EXPECT_EQ(result.status, 1) << c.fault << ": " << result.err;
    EXPECT_NE(result.out.find(c.where + c.what), std::string::npos) << c.fault << ":\n"
                                                                    << result.out << result.err;
  }
}

TEST(CliTest, BadInputIsRefusedWithExitTwo) {
  const TestBook good(kLines, kSettings);
  const TestBook utf8(kLines, kSettings);
  utf8.Write("仕訳帳.txt", "25/01/05\t1000\t食費\tスーパー\t現金\t1000\r\n", false);
  const TestBook damaged(kLines);
  damaged.Write("集計設定.txt", "[table]\r\n0=\xff\xfe\x80 \x01\r\n", false);
  const TestBook unset(kLines);
  const QString missing = good.File("ない.txt");

  struct Case {
    QStringList args;
    std::string message;
  };
  const Case cases[] = {
      {{}, "使い方"},
      {Args({"frobnicate", good.Index()}), "コマンド 'frobnicate' はありません"},
      {Args({"check", "--bogus", good.Index()}), "オプション '--bogus' はありません"},
      {Args({"balance", "--from", "2025/13/01", good.Index()}), "日付"},
      {Args({"balance", "--format", "xml", good.Index()}), "出力形式 'xml'"},
      {Args({"export", "--format", "json", "--encoding", "cp932", "journal", good.Index()}),
       "JSON"},
      {Args({"table"}), "BOOK"},
      {Args({"table", "--from", "2024/01", good.Index()}), "仕訳帳の期間"},
      {Args({"export", "ledger", "ない", good.Index()}), "元帳 'ない'"},
      {Args({"export", "budget", good.Index()}), "journal BOOK"},
      {Args({"check", missing}), "がありません"},
      {Args({"balance", missing}), "がありません"},
      {Args({"table", missing}), "がありません"},
      {Args({"compare", missing}), "がありません"},
      {Args({"schema", "月報.rng", good.Index()}), "スキーマファイル"},
      {Args({"export", "journal", missing}), "がありません"},
      {Args({"balance", utf8.Index()}), "UTF-8"},
      {Args({"table", utf8.Index()}), "UTF-8"},
      {Args({"check", good.File("仕訳帳.txt")}), "家計簿ファイルではありません"},
      {Args({"table", damaged.Index()}), "集計設定ファイル"},
      {Args({"compare", damaged.Index()}), "集計設定ファイル"},
      {Args({"compare", unset.Index()}), "集計設定ファイル"},
  };
  for (const Case& c : cases) {
    const Result result = RunTool(c.args);
    EXPECT_EQ(result.status, 2) << c.args.join(' ').toStdString() << "\n" << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos)
        << c.args.join(' ').toStdString() << "\n"
        << result.err;
  }
}

TEST(CliTest, HelpComesFromTheCommandTable) {
  for (const char* command :
       {"check", "balance", "table", "compare", "schema", "export", "import"}) {
    const Result result = RunTool(Args({command, "--help"}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind(std::string("使い方: zentabo-cli ") + command, 0), 0u) << result.out;
    const Result listed = RunTool(Args({"--help"}));
    EXPECT_NE(listed.out.find(std::string("  ") + command + " "), std::string::npos);
  }
}

TEST(CliTest, EnglishLocalesGetEnglishTexts) {
  const TestBook book(kLines);
  const auto ascii = [](const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  for (const char* locale : {"LANG=C", "LANG=C.UTF-8", "LANG=en_GB.UTF-8", "LANG=POSIX",
                             "LC_MESSAGES=C", "LC_ALL=en_US.UTF-8"}) {
    const Result tool = RunTool(Args({"--help"}), {QString::fromUtf8(locale)});
    EXPECT_TRUE(ascii(tool.out)) << tool.out;
    EXPECT_EQ(tool.out.rfind("usage: zentabo-cli COMMAND [options] BOOK", 0), 0u) << tool.out;
    for (const char* command :
         {"check", "balance", "table", "compare", "schema", "export", "import"}) {
      const Result help = RunTool(Args({command, "--help"}), {QString::fromUtf8(locale)});
      EXPECT_TRUE(ascii(help.out)) << help.out;
    }
    const Result unknown =
        RunTool(Args({"check", "--bogus", book.Index()}), {QString::fromUtf8(locale)});
    EXPECT_EQ(unknown.err,
              "zentabo-cli: no option '--bogus' ('zentabo-cli check --help' shows the usage)\n");
    const Result badDate =
        RunTool(Args({"balance", "--to", "2025/02/30", book.Index()}), {QString::fromUtf8(locale)});
    EXPECT_EQ(badDate.status, 2);
    EXPECT_TRUE(ascii(badDate.err)) << badDate.err;
  }
  // The first locale setting that is there decides; anything else is Japanese.
  for (const QStringList& locale : {QStringList{"LC_ALL=ja_JP.UTF-8", "LANG=C"},
                                    QStringList{"LC_MESSAGES=ja_JP.UTF-8", "LANG=C"},
                                    QStringList{"LANG=de_DE.UTF-8"}, QStringList{"LANG="}}) {
    const Result help = RunTool(Args({"--help"}), locale);
    EXPECT_EQ(help.out.rfind("使い方: zentabo-cli", 0), 0u) << locale.join(' ').toStdString();
  }
}

TEST(CliTest, ReadingCommandsWriteNothing) {
  const TestBook book(kLines, kSettings);
  // The program holds the book: reading works all the same and leaves no lock file behind.
  QLockFile held(book.Index() + ".lock");
  ASSERT_TRUE(held.lock());
  const auto before = book.Snapshot();
  for (const QStringList& args : {Args({"check", book.Index()}), Args({"balance", book.Index()}),
                                  Args({"table", book.Index()}), Args({"compare", book.Index()}),
                                  Args({"export", "journal", book.Index()})}) {
    EXPECT_EQ(RunTool(args).status, 0) << args.join(' ').toStdString();
  }
  EXPECT_EQ(book.Snapshot(), before);
}

}  // namespace
}  // namespace cli_test
