#include "engine/amount/chart_series.h"

#include <gtest/gtest.h>

#include "../tables/journal_fixture.h"

namespace engine::testing {
namespace {

class ChartSeriesTest : public JournalTest {};

TEST_F(ChartSeriesTest, LedgerMonthsCarryTheirFlowsAndClosingBalance) {
  TLedgerGrid& cash = host.AddLedger(Sjis("現金"));
  WriteTextLines(PathOf("cash.txt"), {Line({"25/01/01", "開始", "期首", "50000", "", "50000"}),
                                      Line({"25/01/20", "食費", "昼食", "", "1200", "48800"}),
                                      Line({"25/01/31", "給与", "給与", "3000", "", "51800"}),
                                      Line({"", "", "", "", "", ""}),
                                      Line({"25/04/02", "食費", "夕食", "", "800", "51000"})});
  cash.LoadTable(PathOf("cash.txt"));
  const std::vector<MonthFlow> months = LedgerMonthlyFlow(cash);
  struct Expected {
    int month;
    std::int64_t in, out, balance;
  };
  // February and March have no rows and keep January's closing balance.
  const std::vector<Expected> expected = {
      {1, 53000, 1200, 51800}, {2, 0, 0, 51800}, {3, 0, 0, 51800}, {4, 0, 800, 51000}};
  ASSERT_EQ(months.size(), expected.size());
  for (std::size_t i = 0; i < months.size(); ++i) {
    EXPECT_EQ(months[i].year, 2025) << i;
    EXPECT_EQ(months[i].month, expected[i].month) << i;
    EXPECT_EQ(months[i].in, expected[i].in) << i;
    EXPECT_EQ(months[i].out, expected[i].out) << i;
    EXPECT_EQ(months[i].balance, expected[i].balance) << i;
  }
  EXPECT_TRUE(LedgerMonthlyFlow(host.AddLedger(Sjis("空"))).empty());
}

TEST_F(ChartSeriesTest, ResultRowsBecomeItemsLargestFirst) {
  ResultGrid grid;
  grid.rows.push_back({Sjis("食費"), "", "", "", "", "1,500"});
  grid.rows.push_back({Sjis("生活費"), "", "", "", "", ""});
  grid.rows.push_back({Sjis("家賃"), "", "", "", "", "68000"});
  grid.rows.push_back({"", "", "", "", "", "5"});
  grid.rows.push_back({Sjis("返金"), "", "", "", "", "-200"});
  const std::vector<ChartItem> items = ResultChartItems(grid);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].name, Sjis("家賃"));
  EXPECT_EQ(items[0].amount, 68000);
  EXPECT_EQ(items[1].amount, 1500);
  EXPECT_EQ(items[2].amount, -200);
}

// A small household: salary into the account, rent from it, food paid in cash, clothes by
// card, one refund.
class BookFlowTest : public JournalTest {
 protected:
  void SetUp() override {
    for (const char* subject : {"給与", "食費", "家賃", "現金", "普通預金", "衣服費", "カード"})
      host.AddLedger(Sjis(subject));
    journal.Subjects().Add(Sjis("食費"), Sjis("現金"));
    journal.Subjects().Add(Sjis("衣服費"), Sjis("カード"));
    const std::vector<std::vector<std::string>> lines = {
        {"25/01/25", "200000", "普通預金", "給料", "給与", "200000"},
        {"25/01/05", "1200", "食費", "昼食", "現金", "1200"},
        {"25/01/10", "68000", "家賃", "1月分", "普通預金", "68000"},
        {"25/03/02", "800", "食費", "夕食", "現金", "800"},
        {"25/03/05", "30000", "現金", "引き出し", "普通預金", "30000"},
        {"25/01/20", "5000", "衣服費", "服", "カード", "5000"}};
    for (const auto& cells : lines) journal.PostRow(AddLine(cells));
  }
  void Refund() { journal.PostRow(AddLine({"25/03/06", "300", "現金", "返品", "食費", "300"})); }
  static TableEntrySetting Entry(const char* name, bool swap) {
    return {Sjis(name), true, true, swap};
  }
};

TEST_F(BookFlowTest, IncomeAndSpendingComeFromTheTableEntriesOrElseFromTheLedgersSides) {
  // Headings, a subject without a ledger and a second 食費 add nothing.
  const std::vector<TableEntrySetting> entries = {Entry("収入", true),      Entry("･･･給与", true),
                                                  Entry("支出", false),     Entry("･･･食費", false),
                                                  Entry("･･･家賃", false),  Entry("･･･食費", false),
                                                  Entry("･･･旧科目", false)};
  const std::vector<TableEntrySetting> headingsOnly = {Entry("収入", true)};
  struct Case {
    const char* name;
    const std::vector<TableEntrySetting>* entries;
    bool refund;
    bool fromSettings;
    std::vector<std::string> income, spending;
    std::vector<std::array<std::int64_t, 3>> months;  // income, spending, balance
  };
  const Case cases[] = {
      // カード is only ever credited, but as 衣服費's counterpart it holds money.
      {"sides",
       nullptr,
       false,
       false,
       {"給与"},
       {"食費", "家賃", "衣服費"},
       {{200000, 74200, 125800}, {0, 0, 125800}, {0, 800, 125000}}},
      {"settings that name no subject",
       &headingsOnly,
       false,
       false,
       {"給与"},
       {"食費", "家賃", "衣服費"},
       {{200000, 74200, 125800}, {0, 0, 125800}, {0, 800, 125000}}},
      // A refund puts 食費 on both sides: by the sides alone it no longer reads as spending,
      // and the months end with the last one that had income or spending.
      {"sides with a refund",
       nullptr,
       true,
       false,
       {"給与"},
       {"家賃", "衣服費"},
       {{200000, 73000, 127000}}},
      {"settings with a refund",
       &entries,
       true,
       true,
       {"給与"},
       {"食費", "家賃"},
       {{200000, 69200, 130800}, {0, 0, 130800}, {0, 500, 130300}}},
  };
  bool refunded = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.refund && !refunded) Refund();
    refunded = refunded || c.refund;
    const FlowSubjects flow = BookFlowSubjects(host, c.entries);
    EXPECT_EQ(flow.fromSettings, c.fromSettings);
    std::vector<std::string> income, spending;
    for (const FlowSubject& s : flow.subjects)
      (s.side == FlowSide::kIncome ? income : spending).push_back(s.subject);
    std::vector<std::string> expectedIncome, expectedSpending;
    for (const auto& name : c.income) expectedIncome.push_back(Sjis(name));
    for (const auto& name : c.spending) expectedSpending.push_back(Sjis(name));
    EXPECT_EQ(income, expectedIncome);
    EXPECT_EQ(spending, expectedSpending);
    const std::vector<MonthFlow> months = BookMonthlyFlow(host, flow);
    ASSERT_EQ(months.size(), c.months.size());
    for (std::size_t i = 0; i < months.size(); ++i) {
      EXPECT_EQ(months[i].month, static_cast<int>(i) + 1);
      EXPECT_EQ((std::array{months[i].in, months[i].out, months[i].balance}), c.months[i]) << i;
    }
  }
}

TEST_F(BookFlowTest, SubjectAmountsOverAPeriodLargestFirstWithoutEmptyOnes) {
  Refund();
  const std::vector<TableEntrySetting> entries = {Entry("給与", true), Entry("食費", false),
                                                  Entry("家賃", false)};
  const FlowSubjects flow = BookFlowSubjects(host, &entries);
  struct Case {
    Date from, to;
    std::vector<std::pair<std::string, std::int64_t>> items;
  };
  const Case cases[] = {
      {{2025, 1, 1}, {2025, 4, 1}, {{"給与", 200000}, {"家賃", 68000}, {"食費", 1700}}},
      {{2025, 3, 1}, {2025, 4, 1}, {{"食費", 500}}},
      {{2025, 2, 1}, {2025, 3, 1}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, std::int64_t>> items;
    for (const ChartItem& item : SubjectAmounts(host, flow.subjects, c.from, c.to))
      items.emplace_back(FromCp932(item.name).toStdString(), item.amount);
    EXPECT_EQ(items, c.items) << c.from.month;
  }
}

}  // namespace
}  // namespace engine::testing
