#include "engine/plan/schedule.h"

#include <string>

#include "engine/base/cp932.h"

namespace engine {

namespace {

QDate DayInMonth(int year, int month, int day) {
  const int last = QDate(year, month, 1).daysInMonth();
  return QDate(year, month, day == Schedule::kLastDay || day > last ? last : day);
}

// The k-th candidate date (k from 0), before the start date and the limits are applied.
QDate Candidate(const Schedule& s, long long k) {
  switch (s.frequency) {
    case Schedule::Frequency::Monthly: {
      const long long months = s.start.year() * 12LL + (s.start.month() - 1) + k * s.interval;
      return DayInMonth(static_cast<int>(months / 12), static_cast<int>(months % 12) + 1, s.day);
    }
    case Schedule::Frequency::Yearly: {
      // The first candidate year is the start's; one whose date lies before the start is
      // dropped by the caller.
      return DayInMonth(s.start.year() + static_cast<int>(k * s.interval), s.month, s.day);
    }
    case Schedule::Frequency::Weekly: {
      const int offset = (s.weekday - s.start.dayOfWeek() + 7) % 7;
      return s.start.addDays(offset + 7 * k * s.interval);
    }
  }
  return {};
}

}  // namespace

std::string ScheduleProblem(const Schedule& s) {
  if (!s.start.isValid()) return Sjis("開始日が正しくありません");
  if (s.interval < 1 || s.interval > 1200) return Sjis("間隔は 1 から 1200 までです");
  if (s.day < 0 || s.day > 31) return Sjis("日は 1 から 31 まで（または末日）です");
  if (s.month < 1 || s.month > 12) return Sjis("月は 1 から 12 までです");
  if (s.weekday < 1 || s.weekday > 7) return Sjis("曜日が正しくありません");
  if (s.count < 0) return Sjis("回数が正しくありません");
  if (s.end.isValid() && s.end < s.start) return Sjis("終了日が開始日より前です");
  if (s.start.year() < 1900 || s.start.year() > 9000) return Sjis("開始日が正しくありません");
  return {};
}

std::vector<QDate> NominalDates(const Schedule& s, const QDate& until, std::size_t limit) {
  std::vector<QDate> dates;
  if (!ScheduleProblem(s).empty() || !until.isValid()) return dates;
  QDate last = until;
  if (s.end.isValid() && s.end < last) last = s.end;
  for (long long k = 0;; ++k) {
    const QDate date = Candidate(s, k);
    if (!date.isValid() || date > last || date.year() > 9999) break;
    if (date < s.start) continue;  // only the first candidates can lie before the start
    if (dates.size() >= limit) break;
    if (s.count > 0 && dates.size() >= static_cast<std::size_t>(s.count)) break;
    dates.push_back(date);
  }
  return dates;
}

QDate DueDate(const Schedule& s, const QDate& nominal) {
  return AdjustToBusinessDay(nominal, s.rule);
}

}  // namespace engine
