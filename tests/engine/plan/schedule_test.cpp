#include "engine/plan/schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/plan/holidays.h"

namespace engine {
namespace {

std::vector<QDate> Dates(std::initializer_list<const char*> texts) {
  std::vector<QDate> dates;
  for (const char* text : texts)
    dates.push_back(QDate::fromString(QLatin1String(text), "yyyy-MM-dd"));
  return dates;
}

TEST(HolidaysTest, WholeYearsMatchThePublishedCalendar) {
  struct Case {
    int year;
    std::vector<QDate> expected;
  };
  const Case cases[] = {
      // Substitute days after Sundays (2/12, 5/6, 8/12, 9/23, 11/4) and the Monday holidays.
      {2024,
       Dates({"2024-01-01", "2024-01-08", "2024-02-11", "2024-02-12", "2024-02-23", "2024-03-20",
              "2024-04-29", "2024-05-03", "2024-05-04", "2024-05-05", "2024-05-06", "2024-07-15",
              "2024-08-11", "2024-08-12", "2024-09-16", "2024-09-22", "2024-09-23", "2024-10-14",
              "2024-11-03", "2024-11-04", "2024-11-23"})},
      // A citizens' holiday between 敬老の日 and 秋分の日 (9/22), the equinox on 3/20.
      {2026,
       Dates({"2026-01-01", "2026-01-12", "2026-02-11", "2026-02-23", "2026-03-20", "2026-04-29",
              "2026-05-03", "2026-05-04", "2026-05-05", "2026-05-06", "2026-07-20", "2026-08-11",
              "2026-09-21", "2026-09-22", "2026-09-23", "2026-10-12", "2026-11-03", "2026-11-23"})},
      // The enthronement: 4/30 and 5/2 between holidays, 10/22; no birthday of the Emperor.
      {2019,
       Dates({"2019-01-01", "2019-01-14", "2019-02-11", "2019-03-21", "2019-04-29", "2019-04-30",
              "2019-05-01", "2019-05-02", "2019-05-03", "2019-05-04", "2019-05-05", "2019-05-06",
              "2019-07-15", "2019-08-11", "2019-08-12", "2019-09-16", "2019-09-23", "2019-10-14",
              "2019-10-22", "2019-11-03", "2019-11-04", "2019-11-23"})},
      // The Olympic year moved 海の日, スポーツの日 and 山の日.
      {2020,
       Dates({"2020-01-01", "2020-01-13", "2020-02-11", "2020-02-23", "2020-02-24", "2020-03-20",
              "2020-04-29", "2020-05-03", "2020-05-04", "2020-05-05", "2020-05-06", "2020-07-23",
              "2020-07-24", "2020-08-10", "2020-09-21", "2020-09-22", "2020-11-03", "2020-11-23"})},
  };
  for (const Case& c : cases) EXPECT_EQ(JapaneseHolidays(c.year), c.expected) << c.year;
}

TEST(HolidaysTest, BusinessDayRules) {
  struct Case {
    const char* date;
    BusinessDayRule rule;
    const char* expected;
  };
  const Case cases[] = {
      {"2025-05-03", BusinessDayRule::Before, "2025-05-02"},  // Sat + golden week
      {"2025-05-03", BusinessDayRule::After, "2025-05-07"},
      {"2025-05-03", BusinessDayRule::AsIs, "2025-05-03"},
      {"2025-06-16", BusinessDayRule::Before, "2025-06-16"},  // a Monday stays
      {"2024-11-04", BusinessDayRule::After, "2024-11-05"},   // substitute holiday
      {"2025-01-01", BusinessDayRule::Before, "2024-12-31"},
  };
  for (const Case& c : cases) {
    const QDate date = QDate::fromString(QLatin1String(c.date), "yyyy-MM-dd");
    EXPECT_EQ(AdjustToBusinessDay(date, c.rule),
              QDate::fromString(QLatin1String(c.expected), "yyyy-MM-dd"))
        << c.date;
  }
}

Schedule Monthly(int day, const char* start, int interval = 1) {
  Schedule s;
  s.day = day;
  s.interval = interval;
  s.start = QDate::fromString(QLatin1String(start), "yyyy-MM-dd");
  return s;
}

TEST(ScheduleTest, ExpansionUpToADay) {
  struct Case {
    const char* what;
    Schedule schedule;
    const char* until;
    std::vector<QDate> expected;
  };
  Schedule yearly = Monthly(29, "2023-01-01");
  yearly.frequency = Schedule::Frequency::Yearly;
  yearly.month = 2;
  Schedule weekly = Monthly(1, "2025-06-01", 2);
  weekly.frequency = Schedule::Frequency::Weekly;
  weekly.weekday = 3;  // Wednesday
  Schedule ended = Monthly(10, "2025-01-01");
  ended.end = QDate(2025, 3, 10);
  Schedule counted = Monthly(10, "2025-01-15");
  counted.count = 2;
  Schedule lastDay = Monthly(Schedule::kLastDay, "2024-01-31");

  const Case cases[] = {
      {"day 31 in short months", Monthly(31, "2024-01-01"), "2024-05-01",
       Dates({"2024-01-31", "2024-02-29", "2024-03-31", "2024-04-30"})},
      {"the last day", lastDay, "2025-03-31",
       Dates({"2024-01-31", "2024-02-29", "2024-03-31", "2024-04-30", "2024-05-31", "2024-06-30",
              "2024-07-31", "2024-08-31", "2024-09-30", "2024-10-31", "2024-11-30", "2024-12-31",
              "2025-01-31", "2025-02-28", "2025-03-31"})},
      {"a start after the day skips that month", Monthly(10, "2025-01-20"), "2025-03-31",
       Dates({"2025-02-10", "2025-03-10"})},
      {"every three months", Monthly(5, "2025-01-01", 3), "2025-12-31",
       Dates({"2025-01-05", "2025-04-05", "2025-07-05", "2025-10-05"})},
      {"29 February in leap years only", yearly, "2026-12-31",
       Dates({"2023-02-28", "2024-02-29", "2025-02-28", "2026-02-28"})},
      {"every other Wednesday", weekly, "2025-07-01", Dates({"2025-06-04", "2025-06-18"})},
      {"an end date", ended, "2025-12-31", Dates({"2025-01-10", "2025-02-10", "2025-03-10"})},
      {"a count", counted, "2025-12-31", Dates({"2025-02-10", "2025-03-10"})},
      {"nothing before the start", Monthly(1, "2026-01-01"), "2025-12-31", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        NominalDates(c.schedule, QDate::fromString(QLatin1String(c.until), "yyyy-MM-dd"), 1000),
        c.expected)
        << c.what;
  }
}

TEST(ScheduleTest, LongSchedulesStopAtTheLimitAndBadOnesGiveNothing) {
  Schedule weekly = Monthly(1, "1990-01-01");
  weekly.frequency = Schedule::Frequency::Weekly;
  EXPECT_EQ(NominalDates(weekly, QDate(2025, 6, 14), 100).size(), 100u);
  Schedule bad = Monthly(32, "2025-01-01");
  EXPECT_FALSE(ScheduleProblem(bad).empty());
  EXPECT_TRUE(NominalDates(bad, QDate(2025, 6, 14), 100).empty());
  Schedule backwards = Monthly(1, "2025-01-01");
  backwards.end = QDate(2024, 1, 1);
  EXPECT_FALSE(ScheduleProblem(backwards).empty());
}

}  // namespace
}  // namespace engine
