#include "engine/import/field_parsers.h"

#include <gtest/gtest.h>

#include "engine/base/cp932.h"

namespace engine::import {
namespace {

constexpr int kYear = 2025;

TEST(StatementDateTest, ReadsEveryForm) {
  struct Case {
    const char16_t* text;
    DateOrder order;
    Date expected;
  } cases[] = {
      {u"2025/04/01", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"2025-4-1", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"2025.04.01", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"20250401", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"20250401", DateOrder::MonthDayYear, {2025, 4, 1}},
      {u"04/01/2025", DateOrder::MonthDayYear, {2025, 4, 1}},
      {u"1/4/2025", DateOrder::DayMonthYear, {2025, 4, 1}},
      {u"25/04/01", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"99/12/31", DateOrder::YearMonthDay, {1999, 12, 31}},
      {u"２０２５／０４／０１", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u" 2025/04/01 13:45 ", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"2025年4月1日", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"R7.4.1", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"r07/04/01", DateOrder::MonthDayYear, {2025, 4, 1}},
      {u"令和7年4月1日", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"令和元年5月1日", DateOrder::YearMonthDay, {2019, 5, 1}},
      {u"㋿7年4月1日", DateOrder::YearMonthDay, {2025, 4, 1}},
      {u"H31.4.30", DateOrder::YearMonthDay, {2019, 4, 30}},
      {u"平成元年1月8日", DateOrder::YearMonthDay, {1989, 1, 8}},
      {u"2024/02/29", DateOrder::YearMonthDay, {2024, 2, 29}},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseStatementDate(QStringView(c.text), c.order, kYear);
    ASSERT_TRUE(parsed.ok()) << QString::fromUtf16(c.text).toStdString() << " " << parsed.reason;
    EXPECT_EQ(*parsed.value, c.expected) << QString::fromUtf16(c.text).toStdString();
  }
}

TEST(StatementDateTest, RefusesWithAReason) {
  struct Case {
    const char16_t* text;
    DateOrder order;
  } cases[] = {
      {u"", DateOrder::YearMonthDay},
      {u"2025/02/29", DateOrder::YearMonthDay},  // not a leap year
      {u"2025/13/01", DateOrder::YearMonthDay},
      {u"04/01/2025", DateOrder::YearMonthDay},  // the year last in year-first order
      {u"2025/04/01", DateOrder::MonthDayYear},
      {u"R1.4.30", DateOrder::YearMonthDay},  // Reiwa began on 1 May 2019
      {u"H32.1.1", DateOrder::YearMonthDay},
      {u"令和0年1月1日", DateOrder::YearMonthDay},
      {u"1950/01/01", DateOrder::YearMonthDay},  // yy/mm/dd would read it as 2050
      {u"2080/01/01", DateOrder::YearMonthDay},
      {u"2025/4/1/", DateOrder::YearMonthDay},
      {u"2025-04/01", DateOrder::YearMonthDay},
      {u"yesterday", DateOrder::YearMonthDay},
      {u"123/4/5", DateOrder::YearMonthDay},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseStatementDate(QStringView(c.text), c.order, kYear);
    EXPECT_FALSE(parsed.ok()) << QString::fromUtf16(c.text).toStdString();
    EXPECT_FALSE(parsed.reason.empty()) << QString::fromUtf16(c.text).toStdString();
  }
}

TEST(StatementAmountTest, ReadsEveryFormAndRefusesTheRest) {
  struct Case {
    const char16_t* text;
    std::optional<std::int32_t> value;
    bool refused;
  } cases[] = {
      {u"1234", 1234, false},
      {u"1,234", 1234, false},
      {u"¥1,234", 1234, false},
      {u"\\1,234", 1234, false},
      {u"￥１，２３４", 1234, false},
      {u"1,234円", 1234, false},
      {u"-1,234", -1234, false},
      {u"－１２３４", -1234, false},
      {u"△1,234", -1234, false},
      {u"▲ 1,234", -1234, false},
      {u"(1,234)", -1234, false},
      {u"（1,234）", -1234, false},
      {u"-¥500", -500, false},
      {u"¥-500", -500, false},
      {u"+500", 500, false},
      {u"1234.00", 1234, false},
      {u" 2,147,483,647 ", 2147483647, false},
      {u"-2147483647", -2147483647, false},
      {u"", std::nullopt, false},
      {u"　", std::nullopt, false},
      {u"2,147,483,648", std::nullopt, true},
      {u"99999999999999999999", std::nullopt, true},
      {u"12.5", std::nullopt, true},
      {u"abc", std::nullopt, true},
      {u",123", std::nullopt, true},
      {u"123,", std::nullopt, true},
      {u"--5", std::nullopt, true},
      {u"(-5)", std::nullopt, true},
      {u"¥", std::nullopt, true},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseStatementAmount(QStringView(c.text));
    const std::string label = QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(parsed.value, c.value) << label;
    EXPECT_EQ(!parsed.reason.empty(), c.refused) << label << " " << parsed.reason;
  }
}

TEST(ComparisonKeyTest, FoldsWidthCaseAndBlanks) {
  EXPECT_EQ(ComparisonKey(u"ｽｰﾊﾟｰ ＡＢＣ"), ComparisonKey(u"スーパーabc"));
  EXPECT_EQ(ComparisonKey(u"Ａｍａｚｏｎ　Ｍｋｔ"), QStringLiteral("amazonmkt"));
  EXPECT_NE(ComparisonKey(u"スーパーA"), ComparisonKey(u"スーパーB"));
}

}  // namespace
}  // namespace engine::import
