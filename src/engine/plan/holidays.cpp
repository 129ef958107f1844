#include "engine/plan/holidays.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

// The n-th given weekday (1 = Monday) of the month.
QDate NthWeekday(int year, int month, int n, int weekday) {
  const QDate first(year, month, 1);
  const int offset = (weekday - first.dayOfWeek() + 7) % 7;
  return first.addDays(offset + 7 * (n - 1));
}

int EquinoxDay(int year, double base1980, double base1900, double base2100) {
  const double drift = 0.242194 * (year - 1980);
  if (year <= 1979) {
    return static_cast<int>(std::floor(base1900 + drift - std::floor((year - 1983) / 4.0)));
  }
  const double base = year <= 2099 ? base1980 : base2100;
  return static_cast<int>(std::floor(base + drift - std::floor((year - 1980) / 4.0)));
}

int VernalEquinox(int year) {
  return EquinoxDay(year, 20.8431, 20.8357, 21.8510);
}
int AutumnalEquinox(int year) {
  return EquinoxDay(year, 23.2488, 23.2588, 24.2488);
}

// The holidays the law names for the year, before substitutes and citizens' holidays.
std::vector<QDate> NamedHolidays(int y) {
  std::vector<QDate> days;
  if (y < 1949) return days;
  auto add = [&](int m, int d) { days.emplace_back(y, m, d); };
  add(1, 1);
  if (y >= 2000) {
    days.push_back(NthWeekday(y, 1, 2, 1));
  } else {
    add(1, 15);
  }
  if (y >= 1967) add(2, 11);
  if (y >= 2020) add(2, 23);
  if (y <= 2150) days.emplace_back(y, 3, VernalEquinox(y));
  add(4, 29);  // the Emperor's birthday, then Greenery Day, then Showa Day
  add(5, 3);
  if (y >= 2007) add(5, 4);
  add(5, 5);
  if (y == 2020) {
    add(7, 23);
    add(7, 24);
  } else if (y == 2021) {
    add(7, 22);
    add(7, 23);
  } else {
    if (y >= 2003) {
      days.push_back(NthWeekday(y, 7, 3, 1));
    } else if (y >= 1996) {
      add(7, 20);
    }
    if (y >= 2022 || (y >= 2000 && y <= 2019)) {
      days.push_back(NthWeekday(y, 10, 2, 1));
    } else if (y >= 1966 && y <= 1999) {
      add(10, 10);
    }
  }
  if (y == 2020) {
    add(8, 10);
  } else if (y == 2021) {
    add(8, 8);
  } else if (y >= 2016) {
    add(8, 11);
  }
  if (y >= 2003) {
    days.push_back(NthWeekday(y, 9, 3, 1));
  } else if (y >= 1966) {
    add(9, 15);
  }
  if (y <= 2150) days.emplace_back(y, 9, AutumnalEquinox(y));
  add(11, 3);
  add(11, 23);
  if (y >= 1989 && y <= 2018) add(12, 23);
  // Days of the imperial ceremonies and funerals, each declared a holiday by its own act.
  if (y == 1959) add(4, 10);
  if (y == 1989) add(2, 24);
  if (y == 1990) add(11, 12);
  if (y == 1993) add(6, 9);
  if (y == 2019) {
    add(4, 30);
    add(5, 1);
    add(5, 2);
    add(10, 22);
  }
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  return days;
}

bool Contains(const std::vector<QDate>& days, const QDate& day) {
  return std::binary_search(days.begin(), days.end(), day);
}

}  // namespace

std::vector<QDate> JapaneseHolidays(int year) {
  std::vector<QDate> named = NamedHolidays(year);
  std::vector<QDate> all = named;
  // Substitute holidays (from 12 April 1973): a holiday on a Sunday moves the rest to the
  // next day that is no holiday; before 2007 only to the Monday.
  for (const QDate& day : named) {
    if (day.dayOfWeek() != Qt::Sunday || day < QDate(1973, 4, 12)) continue;
    QDate next = day.addDays(1);
    if (year >= 2007) {
      while (Contains(named, next)) next = next.addDays(1);
    } else if (Contains(named, next)) {
      continue;
    }
    if (next.year() == year) all.push_back(next);
  }
  // Citizens' holidays (from 1988): a day between two holidays that is neither a Sunday nor a
  // holiday itself. Checked against the named holidays only, as the law reads.
  if (year >= 1988) {
    for (std::size_t i = 0; i + 1 < named.size(); ++i) {
      if (named[i].daysTo(named[i + 1]) != 2) continue;
      const QDate between = named[i].addDays(1);
      if (between.dayOfWeek() != Qt::Sunday && !Contains(all, between)) all.push_back(between);
    }
  }
  std::sort(all.begin(), all.end());
  all.erase(std::unique(all.begin(), all.end()), all.end());
  return all;
}

bool IsJapaneseHoliday(const QDate& date) {
  if (!date.isValid()) return false;
  // A small cache: schedules ask about the same year over and over.
  thread_local int cachedYear = 0;
  thread_local std::vector<QDate> cached;
  if (cachedYear != date.year()) {
    cached = JapaneseHolidays(date.year());
    cachedYear = date.year();
  }
  return Contains(cached, date);
}

bool IsBusinessDay(const QDate& date) {
  return date.dayOfWeek() < Qt::Saturday && !IsJapaneseHoliday(date);
}

QDate AdjustToBusinessDay(const QDate& date, BusinessDayRule rule) {
  if (rule == BusinessDayRule::AsIs || !date.isValid()) return date;
  const int step = rule == BusinessDayRule::Before ? -1 : 1;
  QDate day = date;
  // Never more than a long holiday week; the bound only guards against a calendar fault.
  for (int i = 0; i < 31 && !IsBusinessDay(day); ++i) day = day.addDays(step);
  return day;
}

}  // namespace engine
