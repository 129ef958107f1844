#include "engine/base/date.h"

#include <cstdio>

#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {

namespace {

std::optional<QDate>& FixedToday() {
  static std::optional<QDate> fixed;
  return fixed;
}

// Howard Hinnant's days-from-civil: exact for the whole proleptic Gregorian calendar.
int DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Reads a run of at most `maxDigits` decimal digits at `pos`; nothing when there is none.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, std::size_t& digits) {
  const std::size_t start = pos;
  int value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (pos - start >= 9) return std::nullopt;  // far too long for any date field
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  digits = pos - start;
  if (digits == 0) return std::nullopt;
  return value;
}

}  // namespace

int Date::Days() const { return DaysFromCivil(year, month, day); }

Date Date::FromDays(int days) {
  days += 719468;
  const int era = (days >= 0 ? days : days - 146096) / 146097;
  const int doe = days - era * 146097;
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int d = doy - (153 * mp + 2) / 5 + 1;
  const int m = mp < 10 ? mp + 3 : mp - 9;
  return Date{yoe + era * 400 + (m <= 2), m, d};
}

QDate Today() { return FixedToday() ? *FixedToday() : QDate::currentDate(); }

TodayOverride::TodayOverride(QDate fixed) : previous_(FixedToday()) { FixedToday() = fixed; }
TodayOverride::~TodayOverride() { FixedToday() = previous_; }

int WindowYear(int twoDigitYear, int currentYear) {
  const int first = currentYear - 50;
  int year = first - first % 100 + twoDigitYear;
  if (year < first) year += 100;
  return year;
}

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<Date> ParseDate(std::string_view text, int currentYear) {
  int numbers[3];
  std::size_t digits[3];
  std::size_t pos = 0;
  int count = 0;
  for (;;) {
    auto value = ReadNumber(text, pos, digits[count]);
    if (!value) return std::nullopt;
    numbers[count++] = *value;
    if (pos == text.size()) break;
    if (text[pos] != '/' || count == 3) return std::nullopt;
    ++pos;
  }
  if (count < 2) return std::nullopt;
  Date date;
  if (count == 2) {
    date = Date{currentYear, numbers[0], numbers[1]};
  } else {
    int year = numbers[0];
    if (digits[0] <= 2) year = WindowYear(year, currentYear);
    date = Date{year, numbers[1], numbers[2]};
  }
  if (!IsValidDate(date.year, date.month, date.day)) return std::nullopt;
  return date;
}

std::optional<Date> ParseDate(std::string_view text) { return ParseDate(text, Today().year()); }

Date ReadDate(std::string_view text) { return ReadDate(text, Today().year()); }

Date ReadDate(std::string_view text, int currentYear) {
  auto date = ParseDate(text, currentYear);
  if (!date) throw Error(FormatMessage(Sjis("'%s' は日付ではありません"), ShortenedText(text)));
  return *date;
}

std::string FormatDate(const Date& date) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", date.year, date.month, date.day);
  return buffer;
}

}  // namespace engine
