#include "engine/plan/budget.h"

#include "engine/amount/aggregation.h"
#include "engine/amount/entry_list.h"
#include "engine/amount/month_list.h"
#include "engine/app/book.h"
#include "engine/base/cp932.h"
#include "engine/base/date.h"
#include "engine/base/error.h"
#include "engine/base/integer.h"
#include "engine/history/history.h"
#include "engine/plan/plan_file.h"

namespace engine {

namespace {

constexpr const char* kSection = "budget";

std::string MonthLabel(int year, int month) {
  return MonthText(Date{year, month, 1});
}

struct Entry {
  std::string name;  // with level marks
  bool debit = true;
  bool credit = true;
  bool swap = false;
};

}  // namespace

const BudgetLine* Budget::Find(std::string_view subject) const {
  for (const BudgetLine& line : lines) {
    if (line.subject == subject) return &line;
  }
  return nullptr;
}

std::string BudgetFileName() {
  return Sjis("予算.ini");
}

Budget ParseBudgetFile(std::string_view image) {
  const std::string file = BudgetFileName();
  Budget budget;
  bool seen = false;
  for (const PlanSection& section : ParsePlanFile(image, file)) {
    if (section.name != kSection) continue;
    seen = true;
    for (const auto& [key, value] : section.entries) {
      if (key == "year") {
        const auto year = ParseInt32(value);
        if (!year || *year < 1900 || *year > 9999) throw Error(DamagedPlanFile(file, "year"));
        budget.year = *year;
        continue;
      }
      // Twelve amounts, then the subject, which may itself hold commas.
      BudgetLine line;
      std::string_view rest = value;
      for (int m = 0; m < 12; ++m) {
        const auto comma = rest.find(',');
        const auto amount = ParseInt32(rest.substr(0, comma));
        if (comma == std::string_view::npos || !amount || *amount < 0)
          throw Error(DamagedPlanFile(file, key));
        line.months[static_cast<std::size_t>(m)] = *amount;
        rest.remove_prefix(comma + 1);
      }
      if (rest.empty()) throw Error(DamagedPlanFile(file, key));
      line.subject = std::string(rest);
      budget.lines.push_back(std::move(line));
    }
  }
  if (seen && budget.year == 0) throw Error(DamagedPlanFile(file, "year"));
  return budget;
}

std::string BudgetFileImage(const Budget& budget) {
  PlanSection section{kSection, {{"year", std::to_string(budget.year)}}};
  for (std::size_t i = 0; i < budget.lines.size(); ++i) {
    std::string value;
    for (std::int32_t amount : budget.lines[i].months) value += std::to_string(amount) + ",";
    value += budget.lines[i].subject;
    section.entries.emplace_back(std::to_string(i), std::move(value));
  }
  return PlanFileImage({section});
}

Budget LoadBudget(const Book& book, int defaultYear) {
  const auto image = book.CompanionFile(BudgetFileName());
  Budget budget = image ? ParseBudgetFile(*image) : Budget{};
  if (budget.year == 0) budget.year = defaultYear;
  return budget;
}

void StoreBudget(Book& book, Budget budget) {
  std::erase_if(budget.lines, [](const BudgetLine& line) {
    for (std::int32_t amount : line.months)
      if (amount != 0) return false;
    return true;
  });
  HistoryStep step(book.Changes(), Sjis("予算の変更"));
  book.SetCompanionFile(BudgetFileName(), BudgetFileImage(budget));
}

BudgetFigures BudgetVsActualFigures(TableHost& host, const Budget& budget,
                                    const BudgetTableOptions& options) {
  std::vector<Entry> entries;
  for (const TableEntrySetting& heading : options.headings) {
    if (!heading.name.empty())
      entries.push_back({heading.name, heading.debit, heading.credit, heading.swap});
  }
  for (const BudgetLine& line : budget.lines) {
    bool named = false;
    for (const Entry& entry : entries) named = named || BareNameOf(entry.name) == line.subject;
    if (!named) entries.push_back({line.subject});
  }

  const std::size_t n = entries.size();
  BudgetFigures figures;
  figures.year = budget.year;
  figures.depths.resize(n);
  std::vector<std::int64_t> hasBudget(n);
  for (std::size_t i = 0; i < n; ++i) {
    figures.names.emplace_back(BareNameOf(entries[i].name));
    figures.depths[i] = DepthOf(entries[i].name);
    hasBudget[i] = budget.Find(figures.names[i]) ? 1 : 0;
  }
  // A heading counts as budgeted when anything it collects is.
  for (const std::int64_t count : RollUp(figures.depths, hasBudget))
    figures.budgeted.push_back(count > 0);

  const int first = std::max(1, options.firstMonth);
  const int last = std::min(12, options.lastMonth);
  figures.firstMonth = first;
  for (int month = first; month <= last; ++month) {
    std::vector<std::int64_t> ownBudget(n), ownActual(n);
    const Date start{budget.year, month, 1};
    const Date end = month == 12 ? Date{budget.year + 1, 1, 1} : Date{budget.year, month + 1, 1};
    for (std::size_t i = 0; i < n; ++i) {
      if (const BudgetLine* line = budget.Find(figures.names[i]))
        ownBudget[i] = line->months[static_cast<std::size_t>(month - 1)];
      const AggregationItem item{entries[i].name,   start,           end, entries[i].debit,
                                 entries[i].credit, entries[i].swap, {}};
      std::int32_t x = 0;
      std::int32_t y = 0;
      EntryAmounts(host, item, x, y);
      ownActual[i] = static_cast<std::int64_t>(x) - y;
    }
    figures.budgets.push_back(RollUp(figures.depths, ownBudget));
    figures.actuals.push_back(RollUp(figures.depths, ownActual));
  }
  return figures;
}

std::vector<BudgetBar> BudgetBarsBySubject(const BudgetFigures& figures) {
  std::vector<BudgetBar> bars;
  for (std::size_t i = 0; i < figures.names.size(); ++i) {
    if (!figures.budgeted[i]) continue;
    BudgetBar bar{figures.names[i], 0, 0};
    for (std::size_t m = 0; m < figures.budgets.size(); ++m) {
      bar.budget += figures.budgets[m][i];
      bar.actual += figures.actuals[m][i];
    }
    bars.push_back(std::move(bar));
  }
  return bars;
}

std::vector<BudgetBar> BudgetBarsByMonth(const BudgetFigures& figures, std::size_t entry) {
  std::vector<BudgetBar> bars;
  if (entry >= figures.names.size()) return bars;
  for (std::size_t m = 0; m < figures.budgets.size(); ++m) {
    bars.push_back({MonthLabel(figures.year, figures.firstMonth + static_cast<int>(m)),
                    figures.budgets[m][entry], figures.actuals[m][entry]});
  }
  return bars;
}

BudgetTable BudgetVsActual(TableHost& host, const Budget& budget,
                           const BudgetTableOptions& options) {
  return BudgetVsActual(BudgetVsActualFigures(host, budget, options), options.monthly);
}

BudgetTable BudgetVsActual(const BudgetFigures& figures, bool monthly) {
  const std::size_t n = figures.names.size();
  const std::vector<int>& depths = figures.depths;
  const std::vector<std::vector<std::int64_t>>& budgets = figures.budgets;
  const std::vector<std::vector<std::int64_t>>& actuals = figures.actuals;
  const int first = figures.firstMonth;
  const int last = first + static_cast<int>(budgets.size()) - 1;

  BudgetTable table;
  table.grid.rows[0] = {Sjis("科目"), Sjis("月"),   Sjis("予算"),
                        Sjis("実績"), Sjis("差額"), Sjis("使用率")};
  table.over.push_back(false);
  auto addRow = [&](std::size_t i, std::string name, std::string month, std::int64_t b,
                    std::int64_t a) {
    const std::int32_t shownBudget = CheckedNarrow(b);
    const std::int32_t shownActual = CheckedNarrow(a);
    std::string used;
    if (figures.budgeted[i] && shownBudget > 0)
      used = shownActual <= 0 ? std::string("0 %") : PercentageText(shownActual, shownBudget);
    table.grid.rows.push_back({std::move(name), std::move(month), IntToText(shownBudget),
                               IntToText(shownActual), IntToText(CheckedNarrow(b - a)),
                               std::move(used)});
    table.over.push_back(figures.budgeted[i] && a > b);
  };
  const std::string total = Sjis("計");
  for (std::size_t i = 0; i < n; ++i) {
    const std::string name =
        std::string(static_cast<std::size_t>(depths[i]), ' ') + figures.names[i];
    std::int64_t sumBudget = 0;
    std::int64_t sumActual = 0;
    for (std::size_t m = 0; m < budgets.size(); ++m) {
      sumBudget += budgets[m][i];
      sumActual += actuals[m][i];
      if (monthly && budgets.size() > 1)
        addRow(i, m == 0 ? name : std::string(),
               MonthLabel(figures.year, first + static_cast<int>(m)), budgets[m][i], actuals[m][i]);
    }
    std::string period =
        budgets.size() == 1 ? MonthLabel(figures.year, first)
        : monthly           ? total
                  : MonthLabel(figures.year, first) + "-" + MonthLabel(figures.year, last);
    addRow(i, monthly && budgets.size() > 1 ? std::string() : name, std::move(period), sumBudget,
           sumActual);
  }
  return table;
}

}  // namespace engine
