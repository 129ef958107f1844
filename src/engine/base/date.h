#pragma once

#include <QDate>
#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// A calendar date read from a date text of the tables.
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;

  // Days since 1970-01-01 (proleptic Gregorian); dates compare as days.
  int Days() const;
  static Date FromDays(int days);
  auto operator<=>(const Date&) const = default;
};

// Today's date. Tests fix it with TodayOverride so date completion is stable.
QDate Today();

class TodayOverride {
 public:
  explicit TodayOverride(QDate fixed);
  ~TodayOverride();
  TodayOverride(const TodayOverride&) = delete;
  TodayOverride& operator=(const TodayOverride&) = delete;

 private:
  std::optional<QDate> previous_;
};

// Maps a year of one or two digits into the hundred years that start 50 years before
// `currentYear`.
int WindowYear(int twoDigitYear, int currentYear);

// Reads "y/m/d" or "m/d" (the current year) with "/" between the numbers. A year of one or
// two digits falls in the hundred-year window; a longer year is taken unchanged. Returns
// nothing when the text is not a valid date.
std::optional<Date> ParseDate(std::string_view text, int currentYear);
std::optional<Date> ParseDate(std::string_view text);

// As ParseDate, but a text that is not a date throws Error "'<text>' は日付ではありません".
Date ReadDate(std::string_view text);
// The same with the current year given, for callers that read many dates in one go (asking
// the clock for each would dominate).
Date ReadDate(std::string_view text, int currentYear);

// "yyyy/mm/dd".
std::string FormatDate(const Date& date);

bool IsValidDate(int year, int month, int day);

}  // namespace engine
