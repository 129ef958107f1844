#pragma once

#include <QDate>
#include <cstddef>
#include <vector>

#include "engine/plan/holidays.h"

namespace engine {

// When a recurring line falls due. Occurrences are counted on their nominal dates (before any
// move to a business day) from the start date on; an end date and a count both limit them.
struct Schedule {
  enum class Frequency { Monthly, Yearly, Weekly };
  static constexpr int kLastDay = 0;

  Frequency frequency = Frequency::Monthly;
  // Every n months, years or weeks.
  int interval = 1;
  // Day of the month, 1 to 31 (past the month's end: its last day), or kLastDay.
  int day = 1;
  // Month of a yearly occurrence, 1 to 12.
  int month = 1;
  // Weekday of a weekly occurrence, 1 (Monday) to 7 (Sunday).
  int weekday = 1;
  BusinessDayRule rule = BusinessDayRule::AsIs;
  QDate start;
  QDate end;      // null: no end date
  int count = 0;  // 0: no limit

  bool operator==(const Schedule&) const = default;
};

// The nominal dates from the start up to and including `until`, at most `limit` of them.
std::vector<QDate> NominalDates(const Schedule& schedule, const QDate& until, std::size_t limit);

// The date an occurrence is due: the nominal date moved by the business-day rule.
QDate DueDate(const Schedule& schedule, const QDate& nominal);

// Why the schedule can't be used, or empty when it can (texts are CP932).
std::string ScheduleProblem(const Schedule& schedule);

}  // namespace engine
