#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/amount/result_grid.h"

namespace engine {

class TLedgerGrid;

// One bar or slice: a name and its amount.
struct ChartItem {
  std::string name;  // CP932
  std::int64_t amount = 0;
};

// The rows of an aggregation result as chart items, largest first: each row's name and its
// difference column. Heading rows without an amount are left out.
std::vector<ChartItem> ResultChartItems(const ResultGrid& grid);

// One month of a ledger: what came in (debit), what went out (credit), and the balance the
// month closed with.
struct MonthFlow {
  int year = 0;
  int month = 0;
  std::int64_t in = 0;
  std::int64_t out = 0;
  std::int64_t balance = 0;
};

// The ledger's months in date order, from its first dated row to its last; a month without
// rows carries the balance before it. Rows whose date doesn't read are left out.
std::vector<MonthFlow> LedgerMonthlyFlow(const TLedgerGrid& ledger);

}  // namespace engine
