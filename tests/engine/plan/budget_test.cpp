#include "engine/plan/budget.h"

#include "engine/amount/entry_list.h"
#include "engine/base/error.h"
#include "engine/plan/plan_file.h"
#include "plan_fixture.h"

namespace engine {
namespace {

using testing::PlanBookTest;

class BudgetTest : public PlanBookTest {
 protected:
  void SetUp() override {
    PlanBookTest::SetUp();
    Post("25/04/03", "1000", "食費", "現金");
    Post("25/04/20", "2500", "食費", "現金");
    Post("25/05/02", "4000", "食費", "現金");
    Post("25/05/10", "300", "現金", "食費");  // a refund
    Post("25/05/27", "80000", "家賃", "普通預金");
    Post("25/04/25", "250000", "普通預金", "給与");
    Post("25/06/01", "999", "食費", "現金");  // outside the period
    budget.year = 2025;
    budget.lines.push_back({Sjis("食費"), {}});
    budget.lines.push_back({Sjis("家賃"), {}});
    budget.lines[0].months.fill(3000);
    budget.lines[1].months.fill(80000);
  }

  // 生活費 over 食費 and 家賃, 収入 over 給与 (swapped).
  static std::vector<TableEntrySetting> Headings() {
    const std::string mark(kLevelMark);
    return {{Sjis("生活費"), true, true, false},
            {mark + Sjis("食費"), true, true, false},
            {mark + Sjis("家賃"), true, true, false},
            {Sjis("収入"), true, true, false},
            {mark + Sjis("給与"), true, true, true}};
  }

  using Row = ResultGrid::Row;
  static Row R(const char* name, const char* month, const char* b, const char* a, const char* d,
               const char* used) {
    return {Sjis(name), Sjis(month), Sjis(b), Sjis(a), Sjis(d), Sjis(used)};
  }

  Budget budget;
};

TEST_F(BudgetTest, MonthlyRowsAgainstHandSums) {
  BudgetTableOptions options;
  options.firstMonth = 4;
  options.lastMonth = 5;
  const BudgetTable table = BudgetVsActual(book, budget, options);
  const std::vector<Row> expected = {
      R("科目", "月", "予算", "実績", "差額", "使用率"),
      R("食費", "25/04", "3000", "3500", "-500", "116.6 %"),
      R("", "25/05", "3000", "3700", "-700", "123.3 %"),
      R("", "計", "6000", "7200", "-1200", "120 %"),
      R("家賃", "25/04", "80000", "0", "80000", "0 %"),
      R("", "25/05", "80000", "80000", "0", "100 %"),
      R("", "計", "160000", "80000", "80000", "50 %"),
  };
  EXPECT_EQ(table.grid.rows, expected);
  EXPECT_EQ(table.over, (std::vector<bool>{false, true, true, true, false, false, false}));
}

TEST_F(BudgetTest, HeadingStructureGivesSubtotalsAsTheAggregationDoes) {
  budget.lines.push_back({Sjis("クレジット"), {}});
  budget.lines[2].months[3] = 500;  // April only; no lines, so nothing used
  BudgetTableOptions options;
  options.firstMonth = 4;
  options.lastMonth = 5;
  options.monthly = false;
  options.headings = Headings();
  const BudgetTable table = BudgetVsActual(book, budget, options);
  const std::vector<Row> expected = {
      R("科目", "月", "予算", "実績", "差額", "使用率"),
      R("生活費", "25/04-25/05", "166000", "87200", "78800", "52.5 %"),
      R(" 食費", "25/04-25/05", "6000", "7200", "-1200", "120 %"),
      R(" 家賃", "25/04-25/05", "160000", "80000", "80000", "50 %"),
      R("収入", "25/04-25/05", "0", "250000", "-250000", ""),
      R(" 給与", "25/04-25/05", "0", "250000", "-250000", ""),
      R("クレジット", "25/04-25/05", "500", "0", "500", "0 %"),
  };
  EXPECT_EQ(table.grid.rows, expected);
  EXPECT_EQ(table.over, (std::vector<bool>{false, false, true, false, false, false, false}));
}

TEST_F(BudgetTest, ChartBarsMatchTheTablesFiguresBySubjectAndByMonth) {
  BudgetTableOptions options;
  options.firstMonth = 4;
  options.lastMonth = 5;
  options.headings = Headings();
  const BudgetFigures figures = BudgetVsActualFigures(book, budget, options);
  using Bars = std::vector<std::tuple<std::string, std::int64_t, std::int64_t>>;
  const auto flat = [](const std::vector<BudgetBar>& bars) {
    Bars out;
    for (const BudgetBar& bar : bars) out.emplace_back(bar.name, bar.budget, bar.actual);
    return out;
  };
  // Unbudgeted entries (収入, 給与) have no bars; a heading collects what is under it.
  EXPECT_EQ(flat(BudgetBarsBySubject(figures)), (Bars{{Sjis("生活費"), 166000, 87200},
                                                      {Sjis("食費"), 6000, 7200},
                                                      {Sjis("家賃"), 160000, 80000}}));
  EXPECT_EQ(flat(BudgetBarsByMonth(figures, 1)),
            (Bars{{"25/04", 3000, 3500}, {"25/05", 3000, 3700}}));
  EXPECT_TRUE(BudgetBarsByMonth(figures, 99).empty());
}

TEST_F(BudgetTest, FileRoundTripAndDamage) {
  budget.lines[0].subject = Sjis("食費,外食");  // a comma in the name survives
  budget.lines[1].months[11] = 90000;
  EXPECT_EQ(ParseBudgetFile(BudgetFileImage(budget)), budget);

  StoreBudget(book, budget);
  EXPECT_TRUE(book.Modified());
  ASSERT_TRUE(book.SaveBook());
  EXPECT_EQ(LoadBudget(book, 1999), budget);

  const std::string damaged[] = {
      "[budget]\r\nyear=2025\r\n0=1,2,3,食費\r\n",
      "[budget]\r\nyear=20x5\r\n",
      "[budget]\r\nyear=2025\r\n0=1,1,1,1,1,1,1,1,1,1,1,-1,食費\r\n",
      "[budget]\r\nyear=2025\r\n0=1,1,1,1,1,1,1,1,1,1,1,1,\r\n",
      "junk\r\n",
  };
  for (const std::string& image : damaged) {
    EXPECT_THROW(ParseBudgetFile(Sjis(image)), Error) << image;
  }
}

}  // namespace
}  // namespace engine
