#include "engine/schema/report_files.h"

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>
#include <libxml/uri.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <map>
#include <numeric>

#include "engine/base/cp932.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"
#include "engine/schema/schema_report.h"
#include "fake_host.h"

namespace engine {
namespace {

QString Under(const QTemporaryDir& dir, const char* relative) {
  return dir.filePath(QString::fromUtf8(relative));
}

void WriteUtf8(const QString& path, const char* text) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  WriteFileAtomically(path, text);
}

// The href resolved as a browser or xsltproc does it: against the URL of the XML file.
QString ResolvedByQt(const QString& xmlPath, const std::string& href) {
  const QUrl reference(QString::fromStdString(href), QUrl::StrictMode);
  if (!reference.isValid()) return QStringLiteral("invalid: ") + reference.errorString();
  return QUrl::fromLocalFile(xmlPath).resolved(reference).toLocalFile();
}

QString ResolvedByLibxml(const QString& xmlPath, const std::string& href) {
  const QByteArray base = QUrl::fromLocalFile(xmlPath).toEncoded();
  xmlChar* built = xmlBuildURI(reinterpret_cast<const xmlChar*>(href.c_str()),
                               reinterpret_cast<const xmlChar*>(base.constData()));
  if (!built) return QStringLiteral("not resolved");
  const QUrl url(QString::fromUtf8(reinterpret_cast<const char*>(built)), QUrl::StrictMode);
  xmlFree(built);
  return url.toLocalFile();
}

TEST(StylesheetHrefTest, ResolvesBackToTheStylesheetFromTheReport) {
  QTemporaryDir dir;
  struct Case {
    const char* xml;
    const char* xsl;
    bool relative;
  } const cases[] = {
      {"out.xml", "家計月報.xsl", true},
      {"my reports/out.xml", "my reports/schema/家計 月報.xsl", true},
      {"a&b/x#1.xml", "a&b/s&p #2/月報%20?.xsl", true},
      {"b:c/out.xml", "b:c/d:e.xsl", true},  // a colon must not read as a scheme
      {"book/out.xml", "schema/家計月報.xsl", false},
      {"book/sub/out.xml", "book/s&p #2 です/月報.xsl", false},
      {"家計簿 2025/レポート.xml", "/usr/share/zentabo/schema/家計月報.xsl", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xsl);
    const QString xml = Under(dir, c.xml);
    const QString xsl = c.xsl[0] == '/' ? QString::fromUtf8(c.xsl) : Under(dir, c.xsl);
    const std::string href = StylesheetHref(xml, xsl);
    // ASCII only: unreserved characters, "/" and percent escapes (after the scheme).
    static const QRegularExpression kUriText(
        QStringLiteral("^(file://)?([A-Za-z0-9._~/-]|%[0-9A-F]{2})*$"));
    EXPECT_TRUE(kUriText.match(QString::fromStdString(href)).hasMatch()) << href;
    EXPECT_EQ(href.starts_with("file:///"), !c.relative) << href;
    EXPECT_EQ(ResolvedByQt(xml, href), xsl) << href;
    EXPECT_EQ(ResolvedByLibxml(xml, href), xsl) << href;
  }
  EXPECT_EQ(StylesheetHref(Under(dir, "r.xml"), Under(dir, "月 #.xsl")), "%E6%9C%88%20%23.xsl");
}

// The rows of an HTML page as libxml2's HTML parser reads them: each row's first header
// cell and the texts of its other cells.
using Rows = std::map<QString, QStringList>;

void CollectRows(xmlNodePtr node, Rows& rows) {
  const auto text = [](xmlNodePtr n) {
    xmlChar* content = xmlNodeGetContent(n);
    const QString t = QString::fromUtf8(reinterpret_cast<const char*>(content)).trimmed();
    xmlFree(content);
    return t;
  };
  for (; node; node = node->next) {
    if (node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST "tr")) {
      QStringList cells;
      for (xmlNodePtr cell = node->children; cell; cell = cell->next) {
        if (cell->type == XML_ELEMENT_NODE) cells << text(cell);
      }
      if (!cells.isEmpty()) rows[cells.takeFirst()] = cells;
    }
    CollectRows(node->children, rows);
  }
}

Rows ParseHtml(const std::string& bytes) {
  Rows rows;
  htmlDocPtr doc = htmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, "UTF-8",
                                  HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  if (doc) CollectRows(xmlDocGetRootElement(doc), rows);
  xmlFreeDoc(doc);
  return rows;
}

// The shipped schema over the sample book's ledgers: every amount entry sums the ledger of
// its name (income inverted), the report is written, and its HTML page must show the same
// figures with digit grouping, the subtotals and the balance.
TEST(ReportHtmlTest, TheSampleBooksReportBecomesATableWithItsFigures) {
  QTemporaryDir dir;
  const QString sample = QStringLiteral(ZENTABO_SAMPLE_DIR "/家計簿2025");
  testing::FakeHost host;
  for (const std::string& line : ReadTextLines(sample + QStringLiteral("/勘定科目.txt"))) {
    host.AddSubject(line.substr(0, line.find('\t')));
  }
  host.journal().LoadTable(sample + QStringLiteral("/仕訳帳.txt"));
  for (std::size_t i = 0; i < host.LedgerCount(); ++i) {
    TLedgerGrid& ledger = host.LedgerAt(i);
    ledger.LoadTable(sample + u'/' + FromCp932(ledger.Caption()) + QStringLiteral(".txt"));
  }

  const std::string schema = Sjis(ZENTABO_SCHEMA_DIR "/家計月報.rng");
  const QString xml = dir.filePath(QStringLiteral("月報 #1.xml"));
  SchemaReport report(host, ToCp932(dir.filePath(QStringLiteral("集計設定.txt"))).value());
  host.fakeUi.openFileAnswers = {schema};
  ASSERT_TRUE(report.Open());
  report.SelectYear(static_cast<int>(report.Years().size()) - 1);
  ASSERT_EQ(report.Years()[static_cast<std::size_t>(report.SelectedYear())], "2025");

  using Months = std::array<long long, 12>;
  std::map<QString, Months> expected;
  bool income = false;
  for (std::size_t k = 0; k < report.Entries().size(); ++k) {
    QString line = FromCp932(report.Entries()[k]);
    while (line.startsWith(QStringLiteral("･･･"))) line.remove(0, 3);
    if (line == QStringLiteral("表題 /")) {
      report.ClickEntry(static_cast<int>(k));
      report.SetText(Sjis("2025年 家計月報 ①～"));  // characters only code page 932 has
      continue;
    }
    if (!line.endsWith(u'+') && !line.endsWith(u'*')) {
      income = line == QStringLiteral("収入");
      continue;
    }
    const QString name = line.chopped(2);
    const auto subjects = report.Subjects();
    const auto found = std::find(subjects.begin(), subjects.end(), ToCp932(name).value());
    if (found == subjects.end()) continue;
    report.ClickEntry(static_cast<int>(k));
    report.SetChecked(static_cast<int>(found - subjects.begin()), true);
    report.SelectSubject(static_cast<int>(found - subjects.begin()));
    report.SetInvert(income);
    const auto totals = report.MonthTotals(k);
    std::copy(totals.begin(), totals.end(), expected[name].begin());
  }
  ASSERT_GE(expected.size(), 10u);
  host.fakeUi.saveFileAnswers = {ToCp932(xml).value()};
  ASSERT_TRUE(report.Ok());
  ASSERT_TRUE(host.fakeUi.messages.empty()) << host.fakeUi.messages[0];
  ASSERT_EQ(report.WrittenXml(), xml);
  ASSERT_EQ(report.WrittenHtml(), dir.filePath(QStringLiteral("月報 #1.html")));

  const std::string html = ReadFileBytes(report.WrittenHtml());
  EXPECT_NE(html.find("<title>2025年 家計月報 ①～</title>"), std::string::npos);
  const Rows rows = ParseHtml(html);
  // Twelve months and the year's total, with digit grouping.
  const auto row = [](const Months& months) {
    const QLocale grouping(QLocale::English, QLocale::UnitedStates);
    QStringList cells;
    for (const long long m : months) cells << grouping.toString(m);
    return cells << grouping.toString(std::accumulate(months.begin(), months.end(), 0LL));
  };
  Months costs{}, balance{};
  for (const auto& [name, months] : expected) {
    SCOPED_TRACE(name.toStdString());
    ASSERT_TRUE(rows.contains(name));
    EXPECT_EQ(rows.at(name), row(months));
    const bool isIncome = name == QStringLiteral("給与") || name == QStringLiteral("賞与");
    for (std::size_t m = 0; m < 12; ++m) {
      (isIncome ? balance : costs)[m] += months[m];
      if (!isIncome) balance[m] -= months[m];
    }
  }
  // The figures are not all zero: the sample book has a salary every month.
  EXPECT_NE(rows.at(QStringLiteral("給与")).value(0), QStringLiteral("0"));
  EXPECT_EQ(rows.at(QStringLiteral("支出合計")), row(costs));
  EXPECT_EQ(rows.at(QStringLiteral("収支")), row(balance));
  EXPECT_TRUE(rows.contains(QStringLiteral("生活費合計")));
  // Self-contained: nothing in the page points back to a local file.
  EXPECT_EQ(html.find("file:"), std::string::npos);
  EXPECT_EQ(html.find(".xsl"), std::string::npos);
  EXPECT_NE(html.find("charset=UTF-8"), std::string::npos);
}

constexpr char kReport[] = R"(<?xml version="1.0" encoding="UTF-8"?><r><a>1</a></r>)";

TEST(ReportHtmlTest, HostileStylesheetsAreRefusedInTimeAndWriteNothing) {
  QTemporaryDir dir;
  const QString xml = dir.filePath(QStringLiteral("r.xml"));
  const QString secret = dir.filePath(QStringLiteral("secret.txt"));
  WriteUtf8(xml, kReport);
  WriteUtf8(secret, "<s>SECRET-TEXT</s>");
  WriteUtf8(dir.filePath(QStringLiteral("part.xsl")),
            R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
               <xsl:template name="p">SECRET-TEXT</xsl:template></xsl:stylesheet>)");
  const std::string head =
      R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">)";
  struct Case {
    const char* what;
    std::string xsl;
    const char* message;
  } const cases[] = {
      {"endless recursion",
       head + R"x(<xsl:template match="/"><xsl:call-template name="t"/></xsl:template>
         <xsl:template name="t"><x><xsl:call-template name="t"/></x></xsl:template></xsl:stylesheet>)x",
       "止まりました"},
      {"work without end",
       head +
           R"x(<xsl:template match="/"><xsl:call-template name="t"><xsl:with-param name="n" select="64"/>
         </xsl:call-template></xsl:template><xsl:template name="t"><xsl:param name="n"/>
         <xsl:if test="$n &gt; 0"><xsl:call-template name="t"><xsl:with-param name="n" select="$n - 1"/>
         </xsl:call-template><xsl:call-template name="t"><xsl:with-param name="n" select="$n - 1"/>
         </xsl:call-template></xsl:if></xsl:template></xsl:stylesheet>)x",
       "止まりました"},
      {"document() of a local file",
       head + R"x(<xsl:template match="/"><xsl:copy-of select="document('secret.txt')"/>
         <xsl:copy-of select="document(')x" +
           QUrl::fromLocalFile(secret).toEncoded().toStdString() +
           R"x(')"/></xsl:template></xsl:stylesheet>)x",
       "ほかのファイル"},
      {"xsl:include of a local file",
       head + R"x(<xsl:include href="part.xsl"/><xsl:template match="/">
         <xsl:call-template name="p"/></xsl:template></xsl:stylesheet>)x",
       "ほかのファイル"},
      {"an external entity",
       R"x(<!DOCTYPE xsl:stylesheet [<!ENTITY e SYSTEM "secret.txt">]>)x" + head +
           R"x(<xsl:template match="/"><p>&e;</p></xsl:template></xsl:stylesheet>)x",
       "ほかのファイル"},
      {"a file written by an extension element",
       R"x(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
         xmlns:saxon="http://icl.com/saxon" extension-element-prefixes="saxon">
         <xsl:template match="/"><saxon:output href="written.txt">x</saxon:output></xsl:template>
         </xsl:stylesheet>)x",
       "ほかのファイル"},
      {"no stylesheet", R"x(<grammar xmlns="http://relaxng.org/ns/structure/1.0"/>)x",
       "XSLT スタイルシートではありません"},
      {"no XML", "hello", "XML として読めません"},
  };
  const QString html = dir.filePath(QStringLiteral("r.html"));
  WriteUtf8(html, "old page");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString xsl = dir.filePath(QStringLiteral("hostile.xsl"));
    WriteFileAtomically(xsl, c.xsl);
    QElapsedTimer timer;
    timer.start();
    try {
      WriteReportHtml(xml, xsl, html);
      ADD_FAILURE() << "accepted";
    } catch (const Error& error) {
      EXPECT_NE(error.Message().find(Sjis(c.message)), std::string::npos) << error.Message();
    }
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(ReadFileBytes(html), "old page");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 5);  // no temporary file left
  }
}

TEST(ReportHtmlTest, AFolderThatCantBeWrittenGetsNothing) {
  QTemporaryDir dir;
  const QString xml = dir.filePath(QStringLiteral("r.xml"));
  const QString xsl = dir.filePath(QStringLiteral("r.xsl"));
  WriteUtf8(xml, kReport);
  WriteUtf8(xsl, R"(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
    <xsl:template match="/"><p><xsl:value-of select="r/a"/></p></xsl:template></xsl:stylesheet>)");
  // A folder that isn't there, and one that is a file.
  for (const char* target : {"no such folder/r.html", "r.xml/r.html"}) {
    SCOPED_TRACE(target);
    EXPECT_THROW(WriteReportHtml(xml, xsl, Under(dir, target)), Error);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{"r.xml", "r.xsl"}));
  }

  // The same transform into a writable folder works and leaves just the page.
  WriteReportHtml(xml, xsl, dir.filePath(QStringLiteral("r.html")));
  EXPECT_NE(ReadFileBytes(dir.filePath(QStringLiteral("r.html"))).find("<p>1</p>"),
            std::string::npos);
}

}  // namespace
}  // namespace engine
