// Arbitrary bytes as the recurring-line file and as the budget file. Either the reader
// refuses them with an Error, or what it read is written and read back unchanged, and a due
// list can be drawn from it without running away.
#include <cstdlib>

#include "engine/base/error.h"
#include "engine/plan/budget.h"
#include "engine/plan/recurring.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const auto templates = engine::ParseRecurringFile(bytes);
    Check(engine::ParseRecurringFile(engine::RecurringFileImage(templates)) == templates);
    for (const auto& t : templates) {
      const auto dates = engine::NominalDates(t.schedule, QDate(2030, 12, 31), 1000);
      Check(dates.size() <= 1000);
      for (std::size_t i = 1; i < dates.size(); ++i) Check(dates[i - 1] < dates[i]);
    }
  } catch (const engine::Error&) {
  }
  try {
    const engine::Budget budget = engine::ParseBudgetFile(bytes);
    if (budget.year != 0) Check(engine::ParseBudgetFile(engine::BudgetFileImage(budget)) == budget);
  } catch (const engine::Error&) {
  }
  return 0;
}
