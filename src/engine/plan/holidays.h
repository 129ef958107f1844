#pragma once

#include <QDate>
#include <vector>

namespace engine {

// Japanese public holidays computed from the Act on National Holidays as amended over the
// years: fixed days, the Monday holidays, the equinox days by the usual astronomical
// approximation, substitute holidays and the citizens' holiday between two holidays. Years
// before 1949 have none; the equinox formulas hold from 1900 to 2150.
bool IsJapaneseHoliday(const QDate& date);
// Every holiday of the year, in date order.
std::vector<QDate> JapaneseHolidays(int year);

// How an occurrence that falls on a weekend or a holiday moves.
enum class BusinessDayRule { AsIs, Before, After };
bool IsBusinessDay(const QDate& date);
QDate AdjustToBusinessDay(const QDate& date, BusinessDayRule rule);

}  // namespace engine
