#include "engine/amount/aggregation.h"

#include <charconv>
#include <cmath>

#include "engine/amount/entry_list.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/tables/ledger_grid.h"
#include "engine/tables/table_host.h"

namespace engine {

namespace {

// The accumulators are wider than an amount: the one of the top level collects the whole
// list and is never shown, so only what reaches a row has to fit in 32 bits.
using Sum = std::int64_t;

}  // namespace

bool EntryAmounts(TableHost& host, const AggregationItem& item, std::int32_t& x, std::int32_t& y) {
  x = 0;
  y = 0;
  TLedgerGrid* ledger = host.FindLedger(BareNameOf(item.name));
  if (!ledger) return false;
  const std::int32_t debit = item.debit ? ledger->DebitTotalBetween(item.start, item.end) : 0;
  const std::int32_t credit = item.credit ? ledger->CreditTotalBetween(item.start, item.end) : 0;
  x = item.swap ? credit : debit;
  y = item.swap ? debit : credit;
  return true;
}

std::vector<std::int64_t> RollUp(const std::vector<int>& depths,
                                 const std::vector<std::int64_t>& own) {
  std::vector<Sum> rolled(own.size(), 0);
  if (depths.empty()) return rolled;
  int d = depths.front();
  std::vector<Sum> sums(static_cast<std::size_t>(d) + 1, 0);
  for (std::size_t i = depths.size(); i-- > 0;) {
    const int m = depths[i];
    Sum x = own[i];
    if (m == d) {
      sums[static_cast<std::size_t>(d)] += x;
    } else if (m < d) {
      // The entry stands over the deeper group below it and collects that group's sum.
      sums[static_cast<std::size_t>(d)] += x;
      x = sums[static_cast<std::size_t>(d)];
      sums[static_cast<std::size_t>(d)] = 0;
      d = m;
      sums[static_cast<std::size_t>(m)] += x;
    } else {
      // The bottom entry of a deeper group starts that depth's sum afresh.
      if (sums.size() < static_cast<std::size_t>(m) + 1)
        sums.resize(static_cast<std::size_t>(m) + 1, 0);
      d = m;
      sums[static_cast<std::size_t>(m)] = x;
    }
    rolled[i] = x;
  }
  return rolled;
}

ResultGrid Aggregate(TableHost& host, const std::vector<AggregationItem>& items) {
  ResultGrid grid;
  if (items.empty()) return grid;
  grid.rows.resize(items.size() + 1);
  std::vector<RowAmounts> amounts(items.size());

  std::vector<int> depths(items.size());
  std::vector<Sum> ownX(items.size()), ownY(items.size());
  std::vector<bool> found(items.size());
  int maxDepth = 0;
  for (std::size_t i = items.size(); i-- > 0;) {
    depths[i] = DepthOf(items[i].name);
    std::int32_t x = 0;
    std::int32_t y = 0;
    found[i] = EntryAmounts(host, items[i], x, y);
    ownX[i] = x;
    ownY[i] = y;
    if (depths[i] > maxDepth) maxDepth = depths[i];
  }
  const std::vector<Sum> rolledX = RollUp(depths, ownX);
  const std::vector<Sum> rolledY = RollUp(depths, ownY);

  for (std::size_t i = items.size(); i-- > 0;) {
    const AggregationItem& item = items[i];
    const int m = depths[i];
    ResultGrid::Row& row = grid.rows[i + 1];
    row[0] = std::string(static_cast<std::size_t>(m), ' ');
    row[0] += BareNameOf(item.name);
    if (found[i] && !item.monthText.empty()) {
      row[0] += ' ';
      row[0] += item.monthText;
    }
    const std::int32_t shownX = CheckedNarrow(rolledX[i]);
    const std::int32_t shownY = CheckedNarrow(rolledY[i]);
    row[1] = IntToText(shownX);
    row[3] = IntToText(shownY);
    row[5] = IntToText(CheckedNarrow(rolledX[i] - rolledY[i]));
    amounts[i] = {m, shownX, shownY};
  }

  FillPercentages(grid, amounts, maxDepth);
  return grid;
}

void FillPercentages(ResultGrid& grid, const std::vector<RowAmounts>& amounts, int maxDepth) {
  std::int32_t rx = 0;
  std::int32_t ry = 0;
  for (int level = 0; level < maxDepth; ++level) {
    for (std::size_t i = 0; i < amounts.size(); ++i) {
      const RowAmounts& row = amounts[i];
      ResultGrid::Row& cells = grid.rows[i + 1];
      if (row.depth > level) {
        if (rx > 0) cells[2] = row.debit < 1 ? "0 %" : PercentageText(row.debit, rx);
        if (ry > 0) cells[4] = row.credit < 1 ? "0 %" : PercentageText(row.credit, ry);
      } else if (row.depth == level) {
        rx = row.debit;
        ry = row.credit;
      }
    }
  }
}

std::string PercentageText(std::int32_t amount, std::int32_t reference) {
  const float ratio = static_cast<float>(amount) * 1000.0f / static_cast<float>(reference);
  const float percent = std::trunc(ratio) / 10.0f;
  char text[64];
  // Fixed notation with the fewest digits that read back as the same float: 33.3, not
  // 33.299999.
  const auto result = std::to_chars(text, text + sizeof text, percent, std::chars_format::fixed);
  std::string out(text, result.ptr);
  out += " %";
  return out;
}

}  // namespace engine
