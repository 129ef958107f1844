#include "engine/base/date.h"

#include <gtest/gtest.h>

#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {
namespace {

struct DateCase {
  const char* text;
  int currentYear;
  bool valid;
  Date expected;
};

TEST(DateTest, ParsesByTheWindowAndTheFieldRules) {
  const DateCase cases[] = {
      {"25/06/05", 2025, true, {2025, 6, 5}},
      {"75/01/01", 2025, true, {1975, 1, 1}},   // first year of the window
      {"74/12/31", 2025, true, {2074, 12, 31}}, // last year of the window
      {"00/2/29", 2025, true, {2000, 2, 29}},
      {"99/1/1", 2025, true, {1999, 1, 1}},
      {"5/1/1", 2025, true, {2005, 1, 1}},      // one-digit year
      {"1999/12/31", 2025, true, {1999, 12, 31}},
      {"0025/1/1", 2025, true, {25, 1, 1}},     // four digits are taken unchanged
      {"6/30", 2026, true, {2026, 6, 30}},      // month/day take the current year
      {"2/29", 2024, true, {2024, 2, 29}},
      {"26/12/08", 2026, true, {2026, 12, 8}},
      {"75/12/08", 2026, true, {2075, 12, 8}},  // window moves with the current year
      {"76/12/08", 2026, true, {1976, 12, 8}},
      {"2/29", 2025, false, {}},
      {"25/13/01", 2025, false, {}},
      {"25/00/01", 2025, false, {}},
      {"25/04/31", 2025, false, {}},
      {"25/04/00", 2025, false, {}},
      {"2100/2/29", 2025, false, {}},
      {"5", 2025, false, {}},
      {"", 2025, false, {}},
      {"25/6/", 2025, false, {}},
      {"/6/5", 2025, false, {}},
      {"25/6/5/1", 2025, false, {}},
      {"25-06-05", 2025, false, {}},
      {"25/06/05 ", 2025, false, {}},
      {"a/1/1", 2025, false, {}},
      {"99999999999/1/1", 2025, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto parsed = ParseDate(c.text, c.currentYear);
    ASSERT_EQ(parsed.has_value(), c.valid);
    if (c.valid) {
      EXPECT_EQ(*parsed, c.expected);
    }
  }
}

TEST(DateTest, FormatsAsFourDigitYearWithPaddedFields) {
  EXPECT_EQ(FormatDate({2025, 6, 5}), "2025/06/05");
  EXPECT_EQ(FormatDate({25, 1, 1}), "0025/01/01");
}

TEST(DateTest, DaysAreContinuousAcrossMonthsAndYears) {
  EXPECT_EQ((Date{1970, 1, 1}.Days()), 0);
  EXPECT_EQ((Date{2000, 3, 1}.Days() - Date{2000, 2, 28}.Days()), 2);
  EXPECT_EQ((Date{2001, 1, 1}.Days() - Date{2000, 1, 1}.Days()), 366);
  for (int days : {-800000, -1, 0, 1, 10957, 20000, 2932896}) {
    EXPECT_EQ(Date::FromDays(days).Days(), days);
  }
  EXPECT_LT(Date({1999, 12, 31}), Date({2000, 1, 1}));
}

TEST(DateTest, TodayCanBeFixedAndRestored) {
  const QDate real = Today();
  {
    TodayOverride fixed(QDate(2025, 4, 1));
    EXPECT_EQ(Today(), QDate(2025, 4, 1));
    EXPECT_EQ(ParseDate("4/2"), (Date{2025, 4, 2}));
    EXPECT_EQ(ParseDate("74/1/1")->year, 2074);
  }
  EXPECT_EQ(Today(), real);
}

TEST(DateTest, ReadDateRefusesWithTheTextInTheMessage) {
  TodayOverride fixed(QDate(2025, 4, 1));
  EXPECT_EQ(ReadDate("25/4/1"), (Date{2025, 4, 1}));
  try {
    ReadDate("25/4/31");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Message(), Sjis("'25/4/31' は日付ではありません"));
  }
}

}  // namespace
}  // namespace engine
