#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/amount/aggregation_settings.h"
#include "engine/amount/result_grid.h"
#include "engine/base/date.h"

namespace engine {

class TableHost;
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
// month closed with; or of the whole book: its income, its spending and the running balance
// (income less spending, summed from the first month).
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

// Where a subject's money counts in the book's charts.
enum class FlowSide { kIncome, kSpending };

// A subject of income or spending, with the columns of its ledger that count: its amount is
// debit − credit for spending and credit − debit for income, as the aggregation shows it.
struct FlowSubject {
  std::string subject;  // CP932
  FlowSide side = FlowSide::kSpending;
  bool debit = true;
  bool credit = true;
};

struct FlowSubjects {
  std::vector<FlowSubject> subjects;
  // True when they come from the aggregation settings' "table" entries, false when from the
  // sides the ledgers are used on.
  bool fromSettings = false;
};

// The subjects of income and spending. A subject carries no kind of its own, so the book's
// "table" entries decide where any of them names a ledger: the user swaps the entries whose
// credit is the amount (income) and leaves spending as it is; a subject listed twice counts
// once. Without such entries the subject list and the ledgers decide: a subject that is
// another's counterpart, or is used on both sides, holds money (cash, accounts, cards) and is
// neither; of the others, one only ever credited is income and one only ever debited is
// spending.
FlowSubjects BookFlowSubjects(TableHost& host, const std::vector<TableEntrySetting>* tableEntries);

// The months of the subjects' ledgers, from the first dated row to the last, every month in
// between included. Rows whose date doesn't read are left out, as in the ledger's months.
std::vector<MonthFlow> BookMonthlyFlow(TableHost& host, const FlowSubjects& subjects);

// Each subject's amount over [from, to), largest first; subjects without a ledger or with
// nothing in the period are left out. Throws Error when a total leaves 32 bits.
std::vector<ChartItem> SubjectAmounts(TableHost& host, const std::vector<FlowSubject>& subjects,
                                      const Date& from, const Date& to);

}  // namespace engine
