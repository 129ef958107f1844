#include "engine/schema/schema_report.h"

#include <gtest/gtest.h>

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/base/text_file.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "fake_host.h"

namespace engine {
namespace {

using testing::FakeHost;
using Lines = std::vector<std::string>;
using Months = std::array<std::int32_t, 12>;

Lines SjisLines(std::initializer_list<const char*> utf8) {
  Lines lines;
  for (const char* line : utf8) lines.push_back(Sjis(line));
  return lines;
}

// A book of the subjects 給与, 現金 and 食費 with their ledgers, a journal from 2004/12/30
// to 2005/01/02, a schema file and the aggregation settings file in a temporary folder.
class SchemaReportTest : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  std::string folder = ToCp932(dir.path()).value() + "/";
  std::string settingsPath = folder + Sjis("集計設定.txt");
  std::string schemaPath = folder + Sjis("月報.rng");
  TodayOverride today{QDate(2025, 6, 14)};
  FakeHost host;
  SchemaReport report{host, settingsPath};

  void SetUp() override {
    for (const char* subject : {"食費", "給与", "現金"}) host.AddSubject(Sjis(subject));
    Load(host.journal(),
         {"04/12/30\t100\t食費\tパン\t現金\t100", "05/01/02\t200\t食費\tパン\t現金\t200"});
  }

  void Load(TAccGrid& table, std::initializer_list<const char*> utf8) {
    const QString path = dir.filePath("table.txt");
    WriteTextLines(path, SjisLines(utf8));
    table.LoadTable(path);
  }
  TLedgerGrid& Ledger(const char* subject) { return *host.FindLedger(Sjis(subject)); }
  int SubjectIndex(const char* subject) {
    const Lines subjects = report.Subjects();
    return static_cast<int>(std::find(subjects.begin(), subjects.end(), Sjis(subject)) -
                            subjects.begin());
  }

  // Writes the schema and opens the report on it.
  bool Open(const char* schemaXml) {
    WriteFileAtomically(PathFromCp932(schemaPath), schemaXml);
    host.fakeUi.openFileAnswers = {schemaPath};
    return report.Open();
  }
  void Select(int entry, const char* subject, bool debit, bool credit, bool invert) {
    report.ClickEntry(entry);
    report.SetChecked(SubjectIndex(subject), true);
    report.SelectSubject(SubjectIndex(subject));
    report.SetDebit(debit);
    report.SetCredit(credit);
    report.SetInvert(invert);
  }
  std::string XmlPath() const { return folder + "out.xml"; }
  bool Exists(const std::string& path) const { return QFile::exists(PathFromCp932(path)); }
};

constexpr char kHousehold[] = R"(<grammar><start><element name="家計">
  <element name="収入"><ref name="subject"/><element name="給与"><ref name="subject"/></element></element>
  <element name="支出"><ref name="subject"/></element>
  <element name="備考"><text/></element>
  <element name="食費"><text/><ref name="subject"/></element>
</element></start><define name="subject"><empty/></define></grammar>)";

TEST_F(SchemaReportTest, OpeningAsksForTheSchemaAndAppliesTheSavedChoices) {
  Profile settings(PathFromCp932(settingsPath));
  settings.ReplaceSection(schemaPath,
                          {{"1", Sjis("食費,1,0,1,旧科目,1,1,1")}, {"/3", Sjis("メモ")}});
  ASSERT_TRUE(Open(kHousehold));

  ASSERT_EQ(host.fakeUi.openFileRequests.size(), 1u);
  EXPECT_EQ(host.fakeUi.openFileRequests[0].title, Sjis("スキーマファイルを選択してください"));
  EXPECT_EQ(host.fakeUi.openFileRequests[0].filter, 4);
  EXPECT_EQ(report.SchemaPath(), schemaPath);
  EXPECT_EQ(report.Entries(), SjisLines({"家計", "･･･収入 +", "･･････給与 +", "･･･支出 +",
                                         "･･･備考 /", "･･･食費 *"}));
  EXPECT_EQ(report.Years(), (Lines{"2004", "2005"}));
  EXPECT_EQ(report.SelectedYear(), 0);
  EXPECT_EQ(report.SelectedSubject(), 0);
  EXPECT_FALSE(report.FieldsEnabled());
  EXPECT_FALSE(report.TextEnabled());

  ASSERT_EQ(report.Values().size(), 6u);
  const SchemaEntrySetting& income = report.Values()[1];
  EXPECT_TRUE(income.hasSubjects);
  const SubjectSelection food = income.subjects[static_cast<std::size_t>(SubjectIndex("食費"))];
  EXPECT_EQ(food, (SubjectSelection{true, true, false, true}));
  EXPECT_EQ(report.Values()[3].text, Sjis("メモ"));
  EXPECT_EQ(report.Values()[0], (SchemaEntrySetting{false, "", std::vector<SubjectSelection>(3)}));
}

TEST_F(SchemaReportTest, OpeningFailsWithoutSchemaOrWithABadKey) {
  EXPECT_FALSE(report.Open());  // the file choice cancelled
  Profile(PathFromCp932(settingsPath)).ReplaceSection(schemaPath, {{"x", "1"}});
  EXPECT_FALSE(Open(kHousehold));
  EXPECT_TRUE(host.fakeUi.messages.empty());
}

TEST_F(SchemaReportTest, AnUnreadableSchemaOpensEmptyAndOkWritesNothing) {
  ASSERT_TRUE(Open("<grammar><start/></grammar>"));
  EXPECT_EQ(host.fakeUi.messages, SjisLines({"スキーマの構造が不正です"}));
  EXPECT_TRUE(report.Entries().empty());
  EXPECT_TRUE(report.Ok());
  EXPECT_TRUE(host.fakeUi.saveFileRequests.empty());
  EXPECT_FALSE(Exists(settingsPath));
}

TEST_F(SchemaReportTest, TheDialogFollowsTheSelectedEntry) {
  ASSERT_TRUE(Open(kHousehold));
  const int food = SubjectIndex("食費");
  const int salary = SubjectIndex("給与");

  report.ClickEntry(1);  // 収入 +
  EXPECT_TRUE(report.FieldsEnabled());
  EXPECT_FALSE(report.TextEnabled());
  report.SetChecked(food, true);
  report.SetChecked(salary, true);
  EXPECT_TRUE(report.Values()[1].hasSubjects);
  report.SetChecked(food, false);
  EXPECT_TRUE(report.Values()[1].hasSubjects);  // 給与 still carries its mark
  report.SelectSubject(salary);
  report.SetCredit(false);
  report.SetInvert(true);
  EXPECT_EQ(report.ShownFlags(), (SubjectSelection{true, true, false, true}));
  report.SetChecked(salary, false);
  EXPECT_FALSE(report.Values()[1].hasSubjects);

  report.ClickEntry(4);  // 備考 /: no subjects, the text
  EXPECT_FALSE(report.FieldsEnabled());
  EXPECT_TRUE(report.TextEnabled());
  report.SetText(Sjis("今月は旅行"));
  report.SetChecked(food, true);  // the group is off: no effect
  EXPECT_FALSE(report.Values()[4].hasSubjects);

  report.ClickEntry(5);  // 食費 *: both
  EXPECT_TRUE(report.FieldsEnabled());
  EXPECT_TRUE(report.TextEnabled());
  EXPECT_EQ(report.Text(), "");
  report.ClickEntry(4);
  EXPECT_EQ(report.Text(), Sjis("今月は旅行"));
  report.ClickEntry(0);  // 家計: neither, and the text box empties
  EXPECT_FALSE(report.FieldsEnabled());
  EXPECT_FALSE(report.TextEnabled());
  EXPECT_EQ(report.Text(), "");
  report.SetText("ignored");
  EXPECT_EQ(report.Values()[0].text, "");
  EXPECT_FALSE(report.Checked(salary));
}

TEST_F(SchemaReportTest, MonthTotalsFollowTheFlags) {
  Load(Ledger("食費"), {"05/03/01\t現金\tパン\t1200\t\t1200", "05/03/02\t現金\t返品\t\t200\t1000",
                        "04/03/01\t現金\tパン\t7\t\t1007", "2005/04/01\t現金\tパン\t30\t\t1037",
                        "05/03/05\t現金\tパン\tabc\t\t1037"});
  Load(Ledger("給与"), {"05/03/25\t現金\t三月分\t\t5000\t-5000"});
  ASSERT_TRUE(Open(kHousehold));
  report.SelectYear(1);  // 2005

  struct Case {
    bool debit, credit, invert;
    std::int32_t march;
  } const cases[] = {
      {true, true, false, 1000}, {true, true, true, -1000},  {false, true, false, -200},
      {false, true, true, 200},  {true, false, false, 1200}, {false, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.debit << c.credit << c.invert);
    Select(3, "食費", c.debit, c.credit, c.invert);
    const Months totals = report.MonthTotals(3);
    EXPECT_EQ(totals[2], c.march);
    // A row written with a four-digit year counts for its year too.
    EXPECT_EQ(totals[3], c.debit ? (c.invert ? -30 : 30) : 0);
  }

  // Several subjects add up; an entry without subjects is all zeros.
  Select(3, "食費", true, true, false);
  Select(3, "給与", true, true, true);
  EXPECT_EQ(report.MonthTotals(3)[2], 6000);
  EXPECT_EQ(report.MonthTotals(1), Months{});
  report.SelectYear(0);  // 2004: only the row of 04/03/01
  EXPECT_EQ(report.MonthTotals(3), (Months{0, 0, 7}));
}

TEST_F(SchemaReportTest, TheReportTreeFollowsTheLevelMarks) {
  ASSERT_TRUE(Open(R"(<element name="家計">
      <element name="収入"><ref name="x"/><element name="給与"><element name="賞与"><text/></element>
      </element></element><element name="支出"><text/></element><element name="備考"><text/></element>
      <element name="a"/></element>)"));
  // 家計, 収入, 給与 (plain), 賞与 /, 支出 /, 備考 /, a; 収入 also holds its ref "x".
  ASSERT_EQ(report.Entries(), SjisLines({"家計", "･･･収入", "･･････x", "･･････給与",
                                         "･････････賞与 /", "･･･支出 /", "･･･備考 /", "･･･a"}));
  report.ClickEntry(4);
  report.SetText(Sjis("夏 & <冬>"));
  EXPECT_EQ(report.BuildReport().toString(-1),
            QStringLiteral("<家計><収入><x/><給与><賞与>夏 &amp; &lt;冬></賞与></給与></収入>"
                           "<支出/><備考/><a/></家計>"));

  // A name that begins like a level mark puts its entry two levels down: still the child.
  ASSERT_TRUE(Open(R"(<element name="a"><element name="･･･b"><text/></element></element>)"));
  ASSERT_EQ(report.Entries(), SjisLines({"a", "･･････b /"}));
  EXPECT_EQ(report.BuildReport().toString(-1), QStringLiteral("<a><b/></a>"));
}

TEST_F(SchemaReportTest, AmountAndAllEntriesGetTwelveMonthsBeforeTheirText) {
  Load(Ledger("食費"), {"05/03/01\t現金\tパン\t1200\t\t1200"});
  ASSERT_TRUE(Open(kHousehold));
  report.SelectYear(1);
  Select(5, "食費", true, true, false);
  report.SetText(Sjis("外食を含む"));
  const QString xml = report.BuildReport().toString(-1);
  const QString zeros =
      "<JAN>0</JAN><FEB>0</FEB><MAR>0</MAR><APR>0</APR><MAY>0</MAY><JUN>0</JUN>"
      "<JUL>0</JUL><AUG>0</AUG><SEP>0</SEP><OCT>0</OCT><NOV>0</NOV><DEC>0</DEC>";
  QString food = zeros;
  food.replace("<MAR>0</MAR>", "<MAR>1200</MAR>");
  EXPECT_EQ(xml, "<家計><収入>" + zeros + "<給与>" + zeros + "</給与></収入><支出>" + zeros +
                     "</支出><備考/><食費>" + food + "外食を含む</食費></家計>");
}

TEST_F(SchemaReportTest, EntriesThatCantBePlacedOrNamedMakeNoReport) {
  // An element named xmlroot lists the element after it at depth 0: a second root.
  ASSERT_TRUE(
      Open(R"(<element name="a"><element name="xmlroot"><element name="b"/></element></element>)"));
  EXPECT_THROW(report.BuildReport(), Error);
  // A name that starts like a level mark is taken for one and leaves nothing.
  ASSERT_TRUE(Open(R"(<element name="a"><element name="･･･"/></element>)"));
  EXPECT_THROW(report.BuildReport(), Error);
}

TEST_F(SchemaReportTest, OkSavesTheChoicesAndWritesTheReport) {
  Load(Ledger("給与"), {"05/01/25\t現金\t一月分\t\t300000\t-300000"});
  ASSERT_TRUE(Open(kHousehold));
  report.SelectYear(1);
  Select(2, "給与", true, true, true);
  report.ClickEntry(4);
  report.SetText(Sjis("メモ"));
  host.fakeUi.saveFileAnswers = {XmlPath()};
  ASSERT_TRUE(report.Ok());

  ASSERT_EQ(host.fakeUi.saveFileRequests.size(), 1u);
  EXPECT_EQ(host.fakeUi.saveFileRequests[0].proposedName, Sjis("月報.xml"));
  EXPECT_EQ(host.fakeUi.saveFileRequests[0].title, Sjis("XMLファイル名を入力してください"));
  EXPECT_EQ(host.fakeUi.saveFileRequests[0].filter, 3);
  EXPECT_EQ(Profile(PathFromCp932(settingsPath)).Entries(schemaPath),
            (std::vector<Profile::Entry>{{"2", Sjis("給与,1,1,1")}, {"/4", Sjis("メモ")}}));

  const Lines lines = SplitLines(ReadFileBytes(PathFromCp932(XmlPath())));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], R"(<?xml version="1.0" encoding="Shift_JIS"?>)");
  // The stylesheet beside the report is named relative to it.
  EXPECT_EQ(lines[1], R"(<?xml-stylesheet type="text/xsl" href="%E6%9C%88%E5%A0%B1.xsl"?>)");
  EXPECT_TRUE(ReadFileBytes(PathFromCp932(XmlPath())).ends_with(Sjis("</食費></家計>\r\n")));
  // The file reads back as the report.
  QDomDocument written;
  ASSERT_TRUE(
      written.setContent(QByteArray::fromStdString(ReadFileBytes(PathFromCp932(XmlPath())))));
  EXPECT_EQ(written.documentElement()
                .firstChildElement(QStringLiteral("収入"))
                .firstChildElement(QStringLiteral("給与"))
                .firstChildElement(QStringLiteral("JAN"))
                .text(),
            QStringLiteral("300000"));
  EXPECT_EQ(written.documentElement().firstChildElement(QStringLiteral("備考")).text(),
            QStringLiteral("メモ"));
}

TEST_F(SchemaReportTest, AFailedWriteLeavesTheOldFileAndKeepsTheSavedChoices) {
  WriteFileAtomically(PathFromCp932(XmlPath()), "old");
  ASSERT_TRUE(Open(kHousehold));
  report.ClickEntry(4);
  report.SetText(
      "a\x01"
      "b");  // a control character XML can't carry
  host.fakeUi.saveFileAnswers = {XmlPath()};
  EXPECT_FALSE(report.Ok());
  EXPECT_EQ(ReadFileBytes(PathFromCp932(XmlPath())), "old");
  EXPECT_EQ(host.fakeUi.messages.size(), 1u);
  EXPECT_EQ(Profile(PathFromCp932(settingsPath)).Read(schemaPath, "/4"),
            "a\x01"
            "b");

  // Bytes that are no CP932 text can't be written back as Shift_JIS.
  host.fakeUi.messages.clear();
  report.SetText("\x85\x40");  // an unassigned double-byte code
  host.fakeUi.saveFileAnswers = {XmlPath()};
  EXPECT_FALSE(report.Ok());
  EXPECT_EQ(ReadFileBytes(PathFromCp932(XmlPath())), "old");
  EXPECT_EQ(
      host.fakeUi.messages,
      SjisLines({"レポートの 'U+FFFD' はシフト JIS (CP932) で表せない文字のため書き出せません"}));

  host.fakeUi.messages.clear();
  report.SetText("fine");
  EXPECT_FALSE(report.Ok());  // no file name given
  EXPECT_EQ(ReadFileBytes(PathFromCp932(XmlPath())), "old");
  EXPECT_TRUE(host.fakeUi.messages.empty());
}

TEST_F(SchemaReportTest, TheStylesheetLineEscapesWhatWouldBreakIt) {
  schemaPath = folder + "a&b #1%.rng";
  ASSERT_TRUE(Open(kHousehold));
  // The schema's stylesheet, not one named after the XML file; a report elsewhere names it
  // by a file: URI.
  const std::string image =
      report.ReportImage(report.BuildReport(), PathFromCp932(folder + "sub/x.xml"));
  const std::string uri = "file://" +
                          QUrl::toPercentEncoding(PathFromCp932(folder), "/").toStdString() +
                          "a%26b%20%231%25.xsl";
  EXPECT_NE(image.find("href=\"" + uri + "\"?>\r\n"), std::string::npos) << image;
}

TEST_F(SchemaReportTest, ThePageNeedsTheSchemasStylesheetAndItsFailureKeepsTheReport) {
  ASSERT_TRUE(Open(kHousehold));
  const QString html = PathFromCp932(folder + "out.html");
  struct Case {
    const char* stylesheet;  // beside the schema; nullptr for none
    bool page;
    std::size_t messages;
  } const cases[] = {
      {nullptr, false, 0},
      {"<p>no stylesheet</p>", false, 1},
      {R"x(<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
          <xsl:template match="/"><p><xsl:value-of select="name(*)"/></p></xsl:template>
          </xsl:stylesheet>)x",
       true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stylesheet ? c.stylesheet : "none");
    QFile::remove(PathFromCp932(folder + Sjis("月報.xsl")));
    QFile::remove(html);
    if (c.stylesheet) WriteFileAtomically(PathFromCp932(folder + Sjis("月報.xsl")), c.stylesheet);
    host.fakeUi.messages.clear();
    host.fakeUi.saveFileAnswers = {XmlPath()};
    ASSERT_TRUE(report.Ok());
    EXPECT_EQ(report.WrittenXml(), PathFromCp932(XmlPath()));
    EXPECT_EQ(report.WrittenHtml(), c.page ? html : QString());
    EXPECT_EQ(QFile::exists(html), c.page);
    ASSERT_EQ(host.fakeUi.messages.size(), c.messages);
    if (c.messages > 0) {
      EXPECT_TRUE(host.fakeUi.messages[0].starts_with(Sjis("HTML を作成できません")));
    }
  }
  EXPECT_NE(ReadFileBytes(html).find("<p>家計</p>"), std::string::npos);  // UTF-8
}

TEST(YearListTest, EveryYearOfTheRange) {
  EXPECT_EQ(YearList({2004, 12, 30}, {2005, 1, 2}), (Lines{"2004", "2005"}));
  EXPECT_EQ(YearList({2025, 1, 1}, {2025, 12, 31}), (Lines{"2025"}));
  EXPECT_EQ(YearList({999, 1, 1}, {1000, 1, 1}), (Lines{"0999", "1000"}));
}

}  // namespace
}  // namespace engine
