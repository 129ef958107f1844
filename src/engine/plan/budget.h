#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/amount/aggregation_settings.h"
#include "engine/amount/result_grid.h"

namespace engine {

class Book;
class TableHost;

// A year's monthly budget per subject (予算).
struct BudgetLine {
  std::string subject;
  std::array<std::int32_t, 12> months{};  // January first
  bool operator==(const BudgetLine&) const = default;
};

struct Budget {
  int year = 0;
  std::vector<BudgetLine> lines;
  bool operator==(const Budget&) const = default;

  // The subject's line, or null.
  const BudgetLine* Find(std::string_view subject) const;
};

// The file of the budgets, beside the book.
std::string BudgetFileName();
// Throws Error naming the file when it is damaged.
Budget ParseBudgetFile(std::string_view image);
std::string BudgetFileImage(const Budget& budget);

// The book's budget; a book without one gets an empty budget for `defaultYear`. Throws Error
// when the file is damaged.
Budget LoadBudget(const Book& book, int defaultYear);
// The command that keeps a changed budget: it is written with the book's next save. Lines
// without any amount are dropped.
void StoreBudget(Book& book, Budget budget);

// How the 予算と実績 table is laid out.
struct BudgetTableOptions {
  int firstMonth = 1;  // 1 to 12, within the budget's year
  int lastMonth = 12;
  // One row per month for every entry, then its total; otherwise the period's total only.
  bool monthly = true;
  // Subtotals by these entries' heading structure (the aggregation's "table" entries);
  // empty: one row per budgeted subject.
  std::vector<TableEntrySetting> headings;
};

struct BudgetTable {
  // Columns: 科目, 月, 予算, 実績, 差額 (budget − actual), 使用率.
  ResultGrid grid;
  // Per grid row (header included): true where the actual exceeds a budget that was set.
  std::vector<bool> over;
};

// The figures behind the 予算と実績 table: per entry, in the order of the table's rows, and per
// month of the period, the budget and the actual rolled up by the heading structure.
struct BudgetFigures {
  int year = 0;
  int firstMonth = 1;
  std::vector<std::string> names;  // bare names, CP932
  std::vector<int> depths;
  // Whether an entry, or anything it collects, has a budget.
  std::vector<bool> budgeted;
  // [month − firstMonth][entry]
  std::vector<std::vector<std::int64_t>> budgets;
  std::vector<std::vector<std::int64_t>> actuals;
};

// Throws Error when a date can't be read.
BudgetFigures BudgetVsActualFigures(TableHost& host, const Budget& budget,
                                    const BudgetTableOptions& options);

// One pair of bars of the budget chart: a subject's or a month's budget and actual.
struct BudgetBar {
  std::string name;  // a bare name, or "yy/mm"
  std::int64_t budget = 0;
  std::int64_t actual = 0;
};
// Every budgeted entry over the whole period, in the table's order.
std::vector<BudgetBar> BudgetBarsBySubject(const BudgetFigures& figures);
// One entry month by month.
std::vector<BudgetBar> BudgetBarsByMonth(const BudgetFigures& figures, std::size_t entry);

// The actual of an entry is the aggregation's difference column (debit − credit, after the
// entry's flags and swap) over the month, rolled up by the aggregation's own roll-up, and so
// is a heading's budget. Subjects with a budget that the heading structure doesn't name come
// after it, at the top level. Throws Error when a date can't be read or a sum leaves 32 bits.
BudgetTable BudgetVsActual(TableHost& host, const Budget& budget,
                           const BudgetTableOptions& options);
// The table of figures already computed; `monthly` as in the options. Throws Error when a
// figure leaves 32 bits.
BudgetTable BudgetVsActual(const BudgetFigures& figures, bool monthly);

}  // namespace engine
