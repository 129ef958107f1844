// The roll-up, percentages and periods of the two aggregations, and the output texts.

#include "engine/amount/aggregation.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <vector>

#include "engine/amount/entry_list.h"
#include "engine/amount/month_list.h"
#include "engine/amount/result_grid.h"
#include "engine/amount/table_aggregation.h"
#include "engine/app/profile.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "fake_host.h"

namespace engine::testing {
namespace {

const std::string kMark(kLevelMark);

std::string Nested(int depth, const std::string& name) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += kMark;
  return text + name;
}

class AggregationTest : public ::testing::Test {
 protected:
  TodayOverride today{QDate(2025, 6, 14)};
  FakeHost host;
  QTemporaryDir dir;

  // A ledger whose rows are (date, debit, credit).
  struct Posting {
    const char* date;
    const char* debit;
    const char* credit;
  };
  TLedgerGrid& Ledger(const std::string& caption, const std::vector<Posting>& postings) {
    TLedgerGrid& ledger = host.AddLedger(caption);
    for (const Posting& p : postings) {
      if (!ledger.RowAt(ledger.RowCount() - 1).IsEmpty()) ledger.AppendRow();
      const int row = ledger.RowCount() - 1;
      ledger.SetCell(1, row, p.date);
      ledger.SetCell(4, row, p.debit);
      ledger.SetCell(5, row, p.credit);
    }
    return ledger;
  }
  // A ledger with one June row: `debit` and `credit`.
  void Account(const std::string& caption, const char* debit, const char* credit = "") {
    Ledger(caption, {{"25/06/10", debit, credit}});
  }

  static AggregationItem Item(const std::string& name, bool debit = true, bool credit = true,
                              bool swap = false) {
    return {name, Date{2025, 6, 1}, Date{2025, 7, 1}, debit, credit, swap, {}};
  }
  ResultGrid Run(const std::vector<AggregationItem>& items) { return Aggregate(host, items); }

  // Columns 0, 1, 3, 5 of each data row joined by "|".
  static std::vector<std::string> Amounts(const ResultGrid& grid) {
    std::vector<std::string> rows;
    for (int r = 1; r < grid.RowCount(); ++r) {
      const auto& row = grid.rows[static_cast<std::size_t>(r)];
      rows.push_back(row[0] + "|" + row[1] + "|" + row[3] + "|" + row[5]);
    }
    return rows;
  }
  static std::vector<std::string> Shares(const ResultGrid& grid) {
    std::vector<std::string> rows;
    for (int r = 1; r < grid.RowCount(); ++r) {
      const auto& row = grid.rows[static_cast<std::size_t>(r)];
      rows.push_back(row[2] + "|" + row[4]);
    }
    return rows;
  }

  std::string SettingsPath() const { return ToCp932(dir.filePath("settings.txt")).value(); }
};

TEST_F(AggregationTest, EveryEntryCollectsWhatIsNestedUnderIt) {
  Account("A", "1");
  Account("B", "10");
  Account("C", "100", "5");
  Account("D", "1000");
  const auto grid =
      Run({Item("A"), Item(Nested(1, "B")), Item(Nested(2, "C")), Item(Nested(1, "D"))});
  EXPECT_EQ(Amounts(grid), (std::vector<std::string>{"A|1111|5|1106", " B|110|5|105",
                                                     "  C|100|5|95", " D|1000|0|1000"}));
}

TEST_F(AggregationTest, AnEntryTwoLevelsDeepHidesTheLevelInBetween) {
  Account("A", "1");
  Account("B", "10");
  Account("C", "100");
  const auto grid = Run({Item("A"), Item(Nested(2, "B")), Item(Nested(1, "C"))});
  // C's amounts reach no row but its own.
  EXPECT_EQ(Amounts(grid), (std::vector<std::string>{"A|11|0|11", "  B|10|0|10", " C|100|0|100"}));
}

TEST_F(AggregationTest, HeadingsWithoutLedgersShowTheirGroupOrNothing) {
  Account("X", "7", "2");
  Account("Y", "3");
  const auto grid = Run({Item("Head"), Item(Nested(1, "X")), Item(Nested(1, "Y")), Item("Alone")});
  EXPECT_EQ(Amounts(grid),
            (std::vector<std::string>{"Head|10|2|8", " X|7|2|5", " Y|3|0|3", "Alone|0|0|0"}));
}

TEST_F(AggregationTest, TheSameAccountTwiceCountsTwice) {
  Account(Sjis("食費"), "500");
  const auto grid =
      Run({Item(Sjis("生活費")), Item(Nested(1, Sjis("食費"))), Item(Nested(1, Sjis("食費")))});
  EXPECT_EQ(Amounts(grid),
            (std::vector<std::string>{Sjis("生活費|1000|0|1000"), Sjis(" 食費|500|0|500"),
                                      Sjis(" 食費|500|0|500")}));
  EXPECT_EQ(Shares(grid), (std::vector<std::string>{"|", "50 %|", "50 %|"}));
}

TEST_F(AggregationTest, FlagsAndSwapChooseTheColumns) {
  Account("A", "30", "8");
  struct Case {
    bool debit, credit, swap;
    const char* expected;
  };
  const Case cases[] = {
      {true, true, false, "A|30|8|22"}, {true, true, true, "A|8|30|-22"},
      {false, true, false, "A|0|8|-8"}, {true, false, false, "A|30|0|30"},
      {false, true, true, "A|8|0|8"},   {true, false, true, "A|0|30|-30"},
      {false, false, false, "A|0|0|0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.expected));
    EXPECT_EQ(Amounts(Run({Item("A", c.debit, c.credit, c.swap)})),
              std::vector<std::string>{c.expected});
  }
}

TEST_F(AggregationTest, OnlyDigitAmountsInsideThePeriodCount) {
  Ledger("A", {{"25/05/31", "1", ""},
               {"25/06/01", "10", ""},
               {"25/06/30", "100", "12a"},
               {"25/07/01", "1000", ""},
               {"25/06/15", "-5", " 7"}});
  EXPECT_EQ(Amounts(Run({Item("A")})), std::vector<std::string>{"A|110|0|110"});
  // A reversed period counts nothing.
  AggregationItem reversed = Item("A");
  std::swap(reversed.start, reversed.end);
  EXPECT_EQ(Amounts(Run({reversed})), std::vector<std::string>{"A|0|0|0"});
}

TEST_F(AggregationTest, PercentagesAreTruncatedSharesOfTheEntryAbove) {
  Account("P", "0", "0");
  Account("One", "1", "2");
  Account("Zero", "0", "0");
  const auto grid = Run({Item("P"), Item(Nested(1, "One")), Item(Nested(1, "Zero")), Item("Q"),
                         Item(Nested(1, "One"))});
  // P collects 1 and 0: debit 1 of 1, credit 2 of 2. Q (a heading) collects One again.
  EXPECT_EQ(Shares(grid),
            (std::vector<std::string>{"|", "100 %|100 %", "0 %|0 %", "|", "100 %|100 %"}));
}

TEST_F(AggregationTest, ThreeToOneIs33Point3AndTwoIs66Point6) {
  Account("One", "1");
  Account("Two", "2");
  Account("Nil", "0");
  const auto grid =
      Run({Item("H"), Item(Nested(1, "One")), Item(Nested(1, "Two")), Item(Nested(1, "Nil"))});
  EXPECT_EQ(Shares(grid), (std::vector<std::string>{"|", "33.3 %|", "66.6 %|", "0 %|"}));
}

TEST_F(AggregationTest, AParentOfZeroLeavesTheShareEmpty) {
  Account("One", "0", "1");
  const auto grid = Run({Item("H"), Item(Nested(1, "One"))});
  EXPECT_EQ(Shares(grid), (std::vector<std::string>{"|", "|100 %"}));
}

TEST_F(AggregationTest, TheReferencePairCarriesOverFromTheLevelBefore) {
  Account("C", "1");
  Account("Z", "4");
  // C is two levels under A with no level-1 row above it; the level-1 pass still holds the
  // last level-0 reference (Z), so C's share ends up against Z.
  const auto grid = Run({Item("A"), Item(Nested(2, "C")), Item("Z")});
  EXPECT_EQ(Shares(grid), (std::vector<std::string>{"|", "25 %|", "|"}));
}

TEST_F(AggregationTest, SumsOutOfRangeStopTheAggregation) {
  Account("Big", "2000000000");
  EXPECT_THROW(Run({Item("H"), Item(Nested(1, "Big")), Item(Nested(1, "Big"))}), Error);
  EXPECT_NO_THROW(Run({Item("H"), Item(Nested(1, "Big"))}));
  // Two top-level groups whose sum no row shows: nothing fails.
  EXPECT_NO_THROW(Run({Item("H1"), Item(Nested(1, "Big")), Item("H2"), Item(Nested(1, "Big"))}));
}

TEST_F(AggregationTest, NoEntriesGiveTheHeaderAlone) {
  EXPECT_EQ(Run({}).RowCount(), 1);
}

TEST(PercentageTextTest, ShortestFormTruncated) {
  struct Case {
    std::int32_t amount, reference;
    const char* text;
  };
  const Case cases[] = {{1, 3, "33.3 %"}, {2, 3, "66.6 %"},       {1, 2, "50 %"},
                        {3, 3, "100 %"},  {1, 200, "0.5 %"},      {1, 3000, "0 %"},
                        {5, 4, "125 %"},  {1999, 1000, "199.9 %"}};
  for (const Case& c : cases) EXPECT_EQ(PercentageText(c.amount, c.reference), c.text);
  EXPECT_EQ(PercentageText(2147483647, 1).find('e'), std::string::npos);
}

TEST(MonthListTest, MonthsFromTheFirstThroughTheLast) {
  EXPECT_EQ(MonthList({2024, 11, 20}, {2025, 2, 1}),
            (std::vector<std::string>{"24/11", "24/12", "25/01", "25/02"}));
  EXPECT_EQ(MonthList({2025, 3, 31}, {2025, 3, 1}), std::vector<std::string>{"25/03"});
  EXPECT_TRUE(MonthList({2025, 3, 1}, {2025, 2, 28}).empty());
  EXPECT_EQ(MonthList({1999, 12, 5}, {2000, 1, 5}), (std::vector<std::string>{"99/12", "00/01"}));
}

TEST(MonthListTest, PeriodBoundsReadTheMonthText) {
  EXPECT_EQ(MonthStart("25/12", 2025), (Date{2025, 12, 1}));
  EXPECT_EQ(MonthAfter("25/12", 2025), (Date{2026, 1, 1}));
  EXPECT_EQ(MonthAfter("99/02", 2025), (Date{1999, 3, 1}));
  EXPECT_THROW(MonthStart("25/13", 2025), Error);
  EXPECT_THROW(MonthStart("", 2025), Error);
}

TEST_F(AggregationTest, TheJournalGivesTheMonthList) {
  TJournalGrid& journal = host.journal();
  journal.SetCell(1, 1, "25/03/09");
  journal.AppendRow();
  journal.SetCell(1, 2, "24/12/31");
  journal.AppendRow();
  journal.SetCell(1, 3, "25/01/02");
  EXPECT_EQ(JournalMonthList(journal),
            (std::vector<std::string>{"24/12", "25/01", "25/02", "25/03"}));
}

TEST_F(AggregationTest, TableAggregationSavesItsEntriesAndTotalsThePeriod) {
  Ledger("A", {{"25/04/10", "1", ""}, {"25/05/10", "10", ""}, {"25/06/10", "100", "3"}});
  host.journal().SetCell(1, 1, "25/04/01");
  host.journal().AppendRow();
  host.journal().SetCell(1, 2, "25/06/30");

  TableAggregation table(host, SettingsPath());
  table.Open();
  EXPECT_EQ(table.Months(), (std::vector<std::string>{"25/04", "25/05", "25/06"}));
  EXPECT_EQ(table.FirstMonth(), 0);
  EXPECT_EQ(table.LastMonth(), 2);
  ASSERT_EQ(table.Entries().Count(), 1);
  table.Entries().SetBareName("A");
  table.Entries().SelectedEntry()->swap = true;
  table.Entries().Right();
  table.Entries().Insert();
  table.Entries().SetBareName("Total");
  table.SetFirstMonth(1);
  EXPECT_EQ(Amounts(table.Aggregate()),
            (std::vector<std::string>{"Total|3|110|-107", " A|3|110|-107"}));
  table.SetFirstMonth(2);
  table.SetLastMonth(0);
  EXPECT_EQ(Amounts(table.Aggregate()), (std::vector<std::string>{"Total|0|0|0", " A|0|0|0"}));

  TableAggregation reopened(host, SettingsPath());
  reopened.Open();
  EXPECT_EQ(reopened.Entries().Entries(), table.Entries().Entries());
}

TEST_F(AggregationTest, CompareAggregationUsesEachEntrysPeriod) {
  const std::string food = Sjis("食費");
  Ledger(food, {{"25/05/02", "10", ""}, {"25/06/03", "200", ""}, {"24/01/05", "3000", ""}});
  host.journal().SetCell(1, 1, "25/05/01");
  host.journal().AppendRow();
  host.journal().SetCell(1, 2, "25/06/30");
  {
    Profile settings(dir.filePath("settings.txt"));
    settings.Write("compare", "0", Sjis("食費計,25/05,25/05"));
    settings.Write("compare", "1", kMark + food + ",25/05,25/05,1,1,0");
    settings.Write("compare", "2", kMark + food + ",25/06,25/06,1,1,0");
    // Stored when the journal reached further back: kept and used as stored.
    settings.Write("compare", "3", food + ",24/01,25/05,1,1,0");
  }
  CompareAggregation compare(host, SettingsPath());
  compare.Open();
  EXPECT_EQ(compare.Months(), (std::vector<std::string>{"25/05", "25/06"}));
  ASSERT_EQ(compare.Entries().Count(), 4);
  compare.Entries().Select(3);
  EXPECT_EQ(compare.ShownFirstMonth(), 0);
  EXPECT_EQ(compare.ShownLastMonth(), 0);
  EXPECT_EQ(compare.Entries().SelectedEntry()->first, "24/01");

  compare.SetMonthOption(true);
  EXPECT_EQ(Amounts(compare.Aggregate()),
            (std::vector<std::string>{Sjis("食費計|210|0|210"), Sjis(" 食費 25/05|10|0|10"),
                                      Sjis(" 食費 25/06|200|0|200"),
                                      Sjis("食費 24/01-25/05|3010|0|3010")}));

  // A reversed period counts nothing and is written as stored.
  compare.Entries().Select(3);
  compare.ChooseFirstMonth(1);
  compare.ChooseLastMonth(0);
  EXPECT_EQ(Amounts(compare.Aggregate()).back(), Sjis("食費 25/06-25/05|0|0|0"));

  CompareAggregation reopened(host, SettingsPath());
  reopened.Open();
  EXPECT_EQ(reopened.Entries().Entries(), compare.Entries().Entries());
  EXPECT_FALSE(reopened.MonthOption());
}

TEST_F(AggregationTest, NewCompareEntriesTakeTheCurrentMonthWhenListed) {
  host.journal().SetCell(1, 1, "25/05/01");
  host.journal().AppendRow();
  host.journal().SetCell(1, 2, "25/07/30");
  CompareAggregation compare(host, SettingsPath());
  compare.Open();
  ASSERT_EQ(compare.Entries().Count(), 1);
  EXPECT_EQ(compare.Entries().At(0).first, "25/06");
  EXPECT_EQ(compare.Entries().At(0).last, "25/06");

  host.journal().SetCell(1, 2, "25/05/30");
  CompareAggregation older(host, SettingsPath());
  older.Open();
  EXPECT_EQ(older.Entries().At(0).first, "25/05");
}

TEST_F(AggregationTest, AnUnreadableJournalStillLoadsTheStoredCompareEntries) {
  {
    Profile settings(dir.filePath("settings.txt"));
    settings.Write("compare", "0", "A,25/05,25/06,1,0,0");
  }
  host.journal().SetCell(1, 1, "25/05/01");
  host.journal().AppendRow();
  host.journal().SetCell(1, 2, "not a date");
  CompareAggregation compare(host, SettingsPath());
  EXPECT_THROW(compare.Open(), Error);
  EXPECT_TRUE(compare.Months().empty());
  ASSERT_EQ(compare.Entries().Count(), 1);
  EXPECT_EQ(compare.Entries().At(0).name, "A");
}

TEST(ResultGridTest, OutputLeavesOutEmptyRowsAndQuotesNothing) {
  ResultGrid grid;
  grid.rows.push_back({"a,b", "1", "", "2", "", "-1"});
  grid.rows.push_back({"", "", "", "", "", ""});
  grid.rows.push_back({"c", "", "50 %", "", "", ""});
  EXPECT_EQ(ResultGridText(grid),
            (std::vector<std::string>{Sjis("科目\t借方金額\t\t貸方金額\t\t差引残高"),
                                      "a,b\t1\t\t2\t\t-1", "c\t\t50 %\t\t\t"}));
  EXPECT_EQ(ResultGridCsv(grid),
            (std::vector<std::string>{Sjis("科目,借方金額,,貸方金額,,差引残高"), "a,b,1,,2,,-1",
                                      "c,,50 %,,,"}));
}

TEST_F(AggregationTest, BookTableOutputSkipsEmptyRows) {
  TJournalGrid& journal = host.journal();
  const char* cells[] = {"25/06/01", "100", "A", "x,y", "B", "100"};
  for (int c = 1; c <= 6; ++c) journal.SetCell(c, 1, cells[c - 1]);
  journal.AppendRow();
  journal.AppendRow();
  journal.SetCell(4, 3, "z");
  EXPECT_EQ(journal.TextOut(),
            (std::vector<std::string>{"25/06/01\t100\tA\tx,y\tB\t100", "\t\t\tz\t\t"}));
  const auto csv = journal.CSVOut();
  ASSERT_EQ(csv.size(), 2u);
  EXPECT_EQ(csv[0], "25/06/01,100,A,x,y,B,100");
  EXPECT_EQ(csv[1], ",,,z,,");
}

}  // namespace
}  // namespace engine::testing
