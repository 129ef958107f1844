#include "engine/amount/month_list.h"

#include <cstdio>

#include "engine/tables/journal_grid.h"

namespace engine {

namespace {
Date NextMonth(const Date& date) {
  return date.month == 12 ? Date{date.year + 1, 1, 1} : Date{date.year, date.month + 1, 1};
}
}  // namespace

std::string MonthText(const Date& date) {
  // A year before 1 still gets two digits, not a sign.
  const int year = ((date.year % 100) + 100) % 100;
  char text[8];
  std::snprintf(text, sizeof text, "%02d/%02d", year, date.month);
  return text;
}

std::vector<std::string> MonthList(const Date& first, const Date& last) {
  std::vector<std::string> months;
  for (Date day{first.year, first.month, 1}; day <= last; day = NextMonth(day)) {
    months.push_back(MonthText(day));
  }
  return months;
}

std::vector<std::string> JournalMonthList(const TJournalGrid& journal) {
  const auto [first, last] = journal.DateRange();
  return MonthList(first, last);
}

Date MonthStart(std::string_view month, int currentYear) {
  std::string text(month);
  text += "/01";
  return ReadDate(text, currentYear);
}

Date MonthAfter(std::string_view month, int currentYear) {
  return NextMonth(MonthStart(month, currentYear));
}

}  // namespace engine
