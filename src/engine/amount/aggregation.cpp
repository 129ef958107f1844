#include "engine/amount/aggregation.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "engine/amount/entry_list.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/tables/ledger_grid.h"
#include "engine/tables/table_host.h"

namespace engine {

namespace {

// The item's own debit-column and credit-column amounts after swapping; false when the book
// has no ledger of that name.
bool OwnAmounts(TableHost& host, const AggregationItem& item, std::int32_t& x, std::int32_t& y) {
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

// The accumulators are wider than an amount: the one of the top level collects the whole
// list and is never shown, so only what reaches a row has to fit in 32 bits.
using Sum = std::int64_t;

void Add(std::vector<Sum>& sums, int depth, Sum value) {
  sums[static_cast<std::size_t>(depth)] += value;
}

std::int32_t Shown(Sum value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    throw Error(OverflowMessage());
  return static_cast<std::int32_t>(value);
}

}  // namespace

ResultGrid Aggregate(TableHost& host, const std::vector<AggregationItem>& items) {
  ResultGrid grid;
  if (items.empty()) return grid;
  grid.rows.resize(items.size() + 1);
  std::vector<RowAmounts> amounts(items.size());

  int d = DepthOf(items.front().name);
  std::vector<Sum> debits(static_cast<std::size_t>(d) + 1, 0);
  std::vector<Sum> credits(debits.size(), 0);
  int maxDepth = 0;

  for (std::size_t i = items.size(); i-- > 0;) {
    const AggregationItem& item = items[i];
    const int m = DepthOf(item.name);
    std::int32_t ownX = 0;
    std::int32_t ownY = 0;
    const bool found = OwnAmounts(host, item, ownX, ownY);
    Sum x = ownX;
    Sum y = ownY;

    if (m == d) {
      Add(debits, d, x);
      Add(credits, d, y);
    } else if (m < d) {
      // The entry stands over the deeper group below it and collects that group's sum.
      Add(debits, d, x);
      Add(credits, d, y);
      x = debits[static_cast<std::size_t>(d)];
      y = credits[static_cast<std::size_t>(d)];
      debits[static_cast<std::size_t>(d)] = 0;
      credits[static_cast<std::size_t>(d)] = 0;
      d = m;
      Add(debits, m, x);
      Add(credits, m, y);
    } else {
      // The bottom entry of a deeper group starts that depth's sum afresh.
      if (debits.size() < static_cast<std::size_t>(m) + 1) {
        debits.resize(static_cast<std::size_t>(m) + 1, 0);
        credits.resize(static_cast<std::size_t>(m) + 1, 0);
      }
      d = m;
      debits[static_cast<std::size_t>(m)] = x;
      credits[static_cast<std::size_t>(m)] = y;
    }

    ResultGrid::Row& row = grid.rows[i + 1];
    row[0] = std::string(static_cast<std::size_t>(m), ' ');
    row[0] += BareNameOf(item.name);
    if (found && !item.monthText.empty()) {
      row[0] += ' ';
      row[0] += item.monthText;
    }
    const std::int32_t shownX = Shown(x);
    const std::int32_t shownY = Shown(y);
    row[1] = IntToText(shownX);
    row[3] = IntToText(shownY);
    row[5] = IntToText(Shown(x - y));
    amounts[i] = {m, shownX, shownY};
    if (m > maxDepth) maxDepth = m;
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
