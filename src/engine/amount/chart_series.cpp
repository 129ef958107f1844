#include "engine/amount/chart_series.h"

#include <algorithm>
#include <map>

#include "engine/amount/aggregation.h"
#include "engine/amount/entry_list.h"
#include "engine/base/date.h"
#include "engine/base/integer.h"
#include "engine/tables/journal_grid.h"
#include "engine/tables/ledger_grid.h"
#include "engine/tables/table_host.h"

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

FlowSubjects BookFlowSubjects(TableHost& host, const std::vector<TableEntrySetting>* tableEntries) {
  FlowSubjects flow;
  const auto listed = [&flow](std::string_view subject) {
    return std::any_of(flow.subjects.begin(), flow.subjects.end(),
                       [&](const FlowSubject& s) { return s.subject == subject; });
  };
  if (tableEntries) {
    for (const TableEntrySetting& entry : *tableEntries) {
      const std::string_view name = BareNameOf(entry.name);
      if (name.empty() || listed(name) || !host.FindLedger(name)) continue;
      flow.subjects.push_back({std::string(name),
                               entry.swap ? FlowSide::kIncome : FlowSide::kSpending, entry.debit,
                               entry.credit});
    }
  }
  flow.fromSettings = !flow.subjects.empty();
  if (flow.fromSettings) return flow;
  // Where a subject's money comes from or goes to by default holds money itself.
  std::vector<std::string> counterparts;
  if (const TJournalGrid* journal = host.Journal()) {
    for (int i = 0; i < journal->Subjects().Count(); ++i)
      counterparts.push_back(journal->Subjects().CounterpartAt(i));
  }
  for (std::size_t i = 0; i < host.LedgerCount(); ++i) {
    TLedgerGrid& ledger = host.LedgerAt(i);
    if (ledger.Caption().empty() || listed(ledger.Caption()) ||
        std::find(counterparts.begin(), counterparts.end(), ledger.Caption()) != counterparts.end())
      continue;
    bool debited = false;
    bool credited = false;
    // The amount cells hold digits or nothing; a plain look is enough over a long ledger.
    const auto amount = [](std::string_view cell) {
      return !cell.empty() &&
             std::all_of(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    for (int r = 1; r < ledger.RowCount() && !(debited && credited); ++r) {
      debited = debited || amount(ledger.Cell(4, r));
      credited = credited || amount(ledger.Cell(5, r));
    }
    if (debited != credited)
      flow.subjects.push_back(
          {ledger.Caption(), credited ? FlowSide::kIncome : FlowSide::kSpending, true, true});
  }
  return flow;
}

std::vector<MonthFlow> BookMonthlyFlow(TableHost& host, const FlowSubjects& subjects) {
  const int currentYear = Today().year();
  std::map<int, MonthFlow> months;
  for (const FlowSubject& subject : subjects.subjects) {
    const TLedgerGrid* ledger = host.FindLedger(subject.subject);
    if (!ledger) continue;
    const bool income = subject.side == FlowSide::kIncome;
    // A ledger's rows come in date order, many to a day: a date read once serves its run.
    std::string_view lastDate;
    MonthFlow* month = nullptr;
    for (int r = 1; r < ledger->RowCount(); ++r) {
      const Row& row = ledger->RowAt(r);
      const std::string_view dateText = row.Cell(1);
      if (dateText.empty()) continue;
      if (dateText != lastDate || !month) {
        lastDate = dateText;
        month = nullptr;
        const std::optional<Date> date = ParseDate(dateText, currentYear);
        if (!date) continue;
        month = &months[date->year * 12 + date->month - 1];
        month->year = date->year;
        month->month = date->month;
      }
      if (!month) continue;
      const std::int64_t debit = subject.debit ? ParseInt32(row.Cell(4)).value_or(0) : 0;
      const std::int64_t credit = subject.credit ? ParseInt32(row.Cell(5)).value_or(0) : 0;
      if (income) {
        month->in += credit - debit;
      } else {
        month->out += debit - credit;
      }
    }
  }
  std::vector<MonthFlow> flow;
  if (months.empty()) return flow;
  std::int64_t balance = 0;
  for (int key = months.begin()->first; key <= months.rbegin()->first; ++key) {
    const auto it = months.find(key);
    MonthFlow month = it != months.end() ? it->second : MonthFlow{key / 12, key % 12 + 1, 0, 0, 0};
    balance += month.in - month.out;
    month.balance = balance;
    flow.push_back(month);
  }
  return flow;
}

std::vector<ChartItem> SubjectAmounts(TableHost& host, const std::vector<FlowSubject>& subjects,
                                      const Date& from, const Date& to) {
  std::vector<ChartItem> items;
  for (const FlowSubject& subject : subjects) {
    const AggregationItem item{subject.subject,
                               from,
                               to,
                               subject.debit,
                               subject.credit,
                               subject.side == FlowSide::kIncome,
                               {}};
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (!EntryAmounts(host, item, x, y) || x == y) continue;
    items.push_back({subject.subject, static_cast<std::int64_t>(x) - y});
  }
  std::stable_sort(items.begin(), items.end(),
                   [](const ChartItem& a, const ChartItem& b) { return a.amount > b.amount; });
  return items;
}

}  // namespace engine
