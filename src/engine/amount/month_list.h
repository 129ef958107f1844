#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/base/date.h"

namespace engine {

class TJournalGrid;

// "yy/mm" of a date: the last two digits of the year and the month, two digits each.
std::string MonthText(const Date& date);

// "yy/mm" of every month from the month of `first` through the month of `last`, oldest first;
// empty when `last` lies before the first day of `first`'s month.
std::vector<std::string> MonthList(const Date& first, const Date& last);

// The month list of the journal's date range. Throws Error when a journal date can't be read.
std::vector<std::string> JournalMonthList(const TJournalGrid& journal);

// The first day of the month "yy/mm" (read as "yy/mm/01" by the program's date rules), and
// the first day of the month after it: a period from `first` through `last` is
// [MonthStart(first), MonthAfter(last)). Both throw Error when the text is no month.
Date MonthStart(std::string_view month, int currentYear);
Date MonthAfter(std::string_view month, int currentYear);

}  // namespace engine
