#include "engine/tables/find.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/base/error.h"
#include "journal_fixture.h"

namespace engine::testing {
namespace {

FindCondition Text(const char* utf8, bool pattern = false) {
  FindCondition c;
  c.text = Sjis(utf8);
  c.pattern = pattern;
  return c;
}

FindCondition Amounts(std::optional<std::int32_t> min, std::optional<std::int32_t> max) {
  FindCondition c;
  c.minAmount = min;
  c.maxAmount = max;
  return c;
}

FindCondition Dates(std::optional<Date> from, std::optional<Date> to) {
  FindCondition c;
  c.from = from;
  c.to = to;
  return c;
}

class FindTest : public JournalTest {
 protected:
  TLedgerGrid& food = host.AddLedger(Sjis("食費"));
  TLedgerGrid& cash = host.AddLedger(Sjis("現金"));

  void SetUp() override {
    AddLine({"25/01/10", "1200", "食費", "ＡＢＣストア", "現金", "1200"});
    AddLine({"25/03/02", "8000", "医療費", "歯科 定期検診", "現金", "8000"});
    AddLine({"25/04/15", "350", "食費", "abc cafe", "現金", "350"});
    AddLine({"25/05/20", "60000", "現金", "給与", "収入", "60000"});
    AddLine({"24/12/31", "5000", "医療費", "ｼｶ (再診)", "普通預金", "5000"});
  }

  std::vector<int> Matching(const TAccGrid& table, const FindCondition& condition) {
    MatchScan scan(table, condition);
    scan.Finish();
    return scan.Rows();
  }
};

TEST_F(FindTest, ConditionsSelectTheRowsThatSatisfyEveryPart) {
  struct Case {
    const char* name;
    FindCondition condition;
    std::vector<int> rows;
  };
  const std::vector<Case> cases = {
      // Letter case and full/half width fold both ways.
      {"plain abc", Text("abc"), {1, 3}},
      {"full-width ＡＢＣ", Text("ＡＢＣ"), {1, 3}},
      // Half-width kana find full-width and the other way round.
      {"full-width シカ", Text("シカ"), {5}},
      {"kanji in the summary", Text("歯科"), {2}},
      {"subject column", Text("医療費"), {2, 5}},
      {"credit subject", Text("普通預金"), {5}},
      // Characters special to patterns are plain in plain text.
      {"plain parentheses", Text("(再診)"), {5}},
      {"plain dot finds no other character", Text("c.cafe"), {}},
      {"pattern anchors to a cell", Text("^abc", true), {3}},
      {"pattern alternation", Text("給与|定期", true), {2, 4}},
      {"pattern keeps case", Text("ABC", true), {}},
      {"amount range inclusive", Amounts(350, 1200), {1, 3}},
      {"amount minimum only", Amounts(8000, {}), {2, 4}},
      {"date range inclusive", Dates(Date{2025, 3, 2}, Date{2025, 4, 15}), {2, 3}},
      {"date from only, across the year", Dates(Date{2025, 5, 1}, {}), {4}},
      {"every part together",
       [] {
         FindCondition c = Dates(Date{2025, 1, 1}, Date{2025, 12, 31});
         c.text = Sjis("食費");
         c.minAmount = 1000;
         return c;
       }(),
       {1}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Matching(journal, c.condition), c.rows) << c.name;
  }
}

TEST_F(FindTest, LedgerRowsMatchOnCounterpartSummaryAndEitherAmount) {
  ASSERT_TRUE(journal.PostAll());
  // 現金: 1200, 8000 and 350 on the credit side, 60000 on the debit side.
  EXPECT_EQ(Matching(cash, Text("食費")), (std::vector<int>{1, 3}));
  EXPECT_EQ(Matching(cash, Text("給与")), (std::vector<int>{4}));
  EXPECT_EQ(Matching(cash, Amounts(8000, {})), (std::vector<int>{2, 4}));
  // The empty trailing row never matches, even a condition on dates alone.
  EXPECT_EQ(Matching(cash, Dates(Date{2000, 1, 1}, {})).size(), 4u);
}

TEST_F(FindTest, MalformedPatternIsRefusedWithTheMatchersMessage) {
  EXPECT_THROW(LineMatcher(journal, Text("(abc", true)), Error);
  EXPECT_NO_THROW(LineMatcher(journal, Text("(abc")));
}

TEST_F(FindTest, NextAndPreviousWrapAroundFromTheCurrentRow) {
  const LineMatcher matcher(journal, Text("医療費"));  // rows 2 and 5
  struct Case {
    int from;
    bool forward;
    int expected;
  };
  const std::vector<Case> cases = {{0, true, 2},  {2, true, 5},  {5, true, 2},  {3, true, 5},
                                   {6, true, 2},  {1, false, 5}, {5, false, 2}, {2, false, 5},
                                   {0, false, 5}, {4, false, 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(FindNextLine(matcher, c.from, c.forward), c.expected)
        << "from " << c.from << (c.forward ? " forward" : " back");
  }
  // A single match is found again from itself; no match gives 0.
  EXPECT_EQ(FindNextLine(LineMatcher(journal, Text("給与")), 4, true), 4);
  EXPECT_EQ(FindNextLine(LineMatcher(journal, Text("家賃")), 1, true), 0);
}

TEST_F(FindTest, ScanCountsInChunksAndPlacesARowAmongTheMatches) {
  MatchScan scan(journal, Text("現金"));  // rows 1 to 4
  EXPECT_FALSE(scan.Step(2));
  EXPECT_EQ(scan.Rows(), (std::vector<int>{1, 2}));
  EXPECT_EQ(scan.OrdinalOf(2), 2);
  EXPECT_TRUE(scan.Step(100));
  EXPECT_EQ(scan.Rows(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(scan.OrdinalOf(3), 3);
  EXPECT_EQ(scan.OrdinalOf(5), 0);
}

// A filter shows the rows a scan finds; commands still act on the whole table, and the scan
// run again afterwards shows the lines that match then.
TEST_F(FindTest, FilteredLinesSurviveEditsSortingAndPosting) {
  const FindCondition checkups = Text("診");
  const auto allRows = [&] {
    std::vector<std::string> rows;
    for (int r = 1; r < journal.RowCount(); ++r) rows.push_back(RowText(journal, r));
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  const std::vector<std::string> before = allRows();

  // Sorting with the filter on sorts every line; the hidden ones are all still there.
  journal.SortByDate();
  EXPECT_EQ(allRows(), before);
  std::vector<int> shown = Matching(journal, checkups);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(journal.Cell(1, shown[0]), Sjis("24/12/31"));
  EXPECT_EQ(journal.Cell(1, shown[1]), Sjis("25/03/02"));

  // Editing a shown line so that it no longer matches keeps it in the table; the next scan
  // leaves it out.
  const int rowCount = journal.RowCount();
  ASSERT_TRUE(Type(4, shown[1], "薬局"));
  EXPECT_EQ(journal.RowCount(), rowCount);
  EXPECT_EQ(journal.Cell(4, shown[1]), Sjis("薬局"));
  EXPECT_EQ(Matching(journal, checkups), (std::vector<int>{shown[0]}));

  // Posting a shown line reaches its ledger and leaves the hidden lines unposted.
  SelectLine(shown[0]);
  journal.PostLine();
  EXPECT_TRUE(journal.IsPosted(shown[0]));
  for (int r = 1; r < journal.RowCount(); ++r) {
    if (r != shown[0]) {
      EXPECT_FALSE(journal.IsPosted(r)) << r;
    }
  }
  ASSERT_TRUE(journal.PostAll());
  EXPECT_EQ(LedgerRows(cash).size(), 4u);
  EXPECT_EQ(allRows().size(), before.size());
}

}  // namespace
}  // namespace engine::testing
