#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/base/date.h"

namespace engine::import {

// A value read from a statement field, or the reason (CP932 text) it could not be read.
template <typename T>
struct Parsed {
  std::optional<T> value;
  std::string reason;
  bool ok() const { return value.has_value(); }
};

// The order of the numbers in a date written with separators. Dates of eight digits
// (yyyymmdd), with 年月日, and Japanese era dates (R7.4.1, 令和7年4月1日, H31.4.30) read the
// same in every order.
enum class DateOrder { YearMonthDay, MonthDayYear, DayMonthYear };

const char* DateOrderName(DateOrder order);
std::optional<DateOrder> DateOrderFromName(std::string_view name);

// Reads a statement date. Full-width digits and separators count as their ASCII forms; a
// time after the date is ignored. Two-digit years fall in the book's hundred-year window,
// and a date that the journal's yy/mm/dd can't hold in that window is refused.
Parsed<Date> ParseStatementDate(QStringView text, DateOrder order, int currentYear);

// Reads a statement amount: digits with or without thousands separators, "¥" or "\" before
// or "円" after, a sign "-", "+", "△" or "▲" in front, or parentheses around a negative; full-
// width forms count as ASCII. A fraction of zeros is allowed, any other is refused, and so
// is a value beyond 32 bits. An empty field gives neither value nor reason.
Parsed<std::int32_t> ParseStatementAmount(QStringView text);

// A message composed with QString::arg as CP932; a character CP932 lacks (from a file name or
// a statement's heading) turns the text into "?" rather than into a substitute.
std::string MessageText(const QString& text);

// A text folded for comparison: full- and half-width forms made one (NFKC), letter case
// folded, blanks removed.
QString ComparisonKey(QStringView text);

}  // namespace engine::import
