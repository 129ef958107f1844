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

}  // namespace
}  // namespace engine::testing
