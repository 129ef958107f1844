#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/amount/result_grid.h"
#include "engine/base/date.h"

namespace engine {

class TableHost;

// One entry of an aggregation as the roll-up reads it: the name with its level marks, the
// period [start, end), the flags, and the text put behind the name of an entry whose ledger
// was found (empty for none).
struct AggregationItem {
  std::string name;
  Date start;
  Date end;
  bool debit = true;
  bool credit = true;
  bool swap = false;
  std::string monthText;
};

// The item's own debit-column (x) and credit-column (y) amounts over its period, after the
// flags and the swap; false, both 0, when the book has no ledger of its bare name.
bool EntryAmounts(TableHost& host, const AggregationItem& item, std::int32_t& x, std::int32_t& y);

// The roll-up of the aggregations: `own[i]` is entry i's own amount at depth `depths[i]`;
// each result is what that entry's row shows, its own amount plus what its group collects.
std::vector<std::int64_t> RollUp(const std::vector<int>& depths,
                                 const std::vector<std::int64_t>& own);

// An entry's row as the percentages read it.
struct RowAmounts {
  int depth = 0;
  std::int32_t debit = 0;
  std::int32_t credit = 0;
};

// Totals every item from the first ledger whose caption is its bare name (none: a heading),
// rolls each group up into the entry above it by depth and fills in the percentages. The
// roll-up keeps one accumulator per depth and hands an entry only the accumulator of the
// depth right below it, so where the list drops two levels at once and comes back to a level
// in between, that level's entries reach no row but their own. Throws Error when a date
// can't be read or an amount that a row shows leaves 32 bits.
ResultGrid Aggregate(TableHost& host, const std::vector<AggregationItem>& items);

// The shares of the nested rows. `grid.rows[i + 1]` is the row of `amounts[i]`. For each level
// L below `maxDepth`, every row deeper than L gets its debit and credit share of the last row
// of depth L above it; the reference pair is never reset, so a reference of 0 leaves the
// share an earlier level gave.
void FillPercentages(ResultGrid& grid, const std::vector<RowAmounts>& amounts, int maxDepth);

// `amount` against `reference` (> 0) in single precision, truncated to one decimal place, in
// the shortest form: "33.3 %", "50 %", "0.5 %".
std::string PercentageText(std::int32_t amount, std::int32_t reference);

}  // namespace engine
