#include "engine/amount/chart_series.h"

#include <algorithm>
#include <map>

#include "engine/base/date.h"
#include "engine/base/integer.h"
#include "engine/tables/ledger_grid.h"

namespace engine {

std::vector<ChartItem> ResultChartItems(const ResultGrid& grid) {
  std::vector<ChartItem> items;
  for (int r = 1; r < grid.RowCount(); ++r) {
    const ResultGrid::Row& row = grid.rows[static_cast<std::size_t>(r)];
    std::string digits = row[5];
    std::erase(digits, ',');
    const std::optional<std::int32_t> amount = ParseInt32(digits);
    if (row[0].empty() || !amount) continue;
    items.push_back({row[0], *amount});
  }
  std::stable_sort(items.begin(), items.end(),
                   [](const ChartItem& a, const ChartItem& b) { return a.amount > b.amount; });
  return items;
}

std::vector<MonthFlow> LedgerMonthlyFlow(const TLedgerGrid& ledger) {
  const int currentYear = Today().year();
  std::map<int, MonthFlow> months;
  for (int r = 1; r < ledger.RowCount(); ++r) {
    const Row& row = ledger.RowAt(r);
    if (row.IsEmpty()) continue;
    const std::optional<Date> date = ParseDate(row.Cell(1), currentYear);
    if (!date) continue;
    MonthFlow& month = months[date->year * 12 + date->month - 1];
    month.year = date->year;
    month.month = date->month;
    month.in += ParseInt32(row.Cell(4)).value_or(0);
    month.out += ParseInt32(row.Cell(5)).value_or(0);
    // The ledger's rows stand in date order, so the month's last row holds its closing balance.
    if (const auto balance = ParseInt32(row.Cell(6))) month.balance = *balance;
  }
  std::vector<MonthFlow> flow;
  if (months.empty()) return flow;
  const int first = months.begin()->first;
  const int last = months.rbegin()->first;
  for (int key = first; key <= last; ++key) {
    const auto it = months.find(key);
    if (it != months.end()) {
      flow.push_back(it->second);
    } else {
      flow.push_back({key / 12, key % 12 + 1, 0, 0, flow.back().balance});
    }
  }
  return flow;
}

}  // namespace engine
