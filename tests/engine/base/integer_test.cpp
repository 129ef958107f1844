#include "engine/base/integer.h"

#include <gtest/gtest.h>

#include "engine/base/cp932.h"
#include "engine/base/error.h"

namespace engine {
namespace {

TEST(IntegerTest, ParsesSigned32BitDecimalOnly) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"0", 0},
      {"1200", 1200},
      {"-5", -5},
      {"+7", 7},
      {"007", 7},
      {"  42", 42},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"12a", std::nullopt},
      {"12 ", std::nullopt},
      {"1,200", std::nullopt},
      {"0x10", std::nullopt},
      {"--5", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseInt32(c.text), c.value);
  }
}

TEST(IntegerTest, ReadIntNamesTheText) {
  try {
    ReadInt("12x");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Message(), Sjis("'12x' は整数ではありません"));
  }
}

TEST(IntegerTest, TextRoundTrips) {
  for (std::int32_t v : {0, 1, -1, 1200, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(ParseInt32(IntToText(v)), v);
  }
  EXPECT_EQ(IntToText(-300), "-300");
}

TEST(IntegerTest, SumsOutside32BitsAreErrorsNotWrapped) {
  EXPECT_EQ(CheckedAdd(2147483000, 647), INT32_MAX);
  EXPECT_EQ(CheckedSub(-2147483000, 648), INT32_MIN);
  EXPECT_THROW(CheckedAdd(INT32_MAX, 1), Error);
  EXPECT_THROW(CheckedAdd(INT32_MIN, -1), Error);
  EXPECT_THROW(CheckedSub(INT32_MIN, 1), Error);
  EXPECT_THROW(CheckedSub(0, INT32_MIN), Error);
}

TEST(IntegerTest, GroupsTheDigitsOfAmountsOnly) {
  const struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"0", "0"},
      {"999", "999"},
      {"1000", "1,000"},
      {"280000", "280,000"},
      {"1234567", "1,234,567"},
      {"-1234", "-1,234"},
      {"-100", "-100"},
      {"2147483648999", "2,147,483,648,999"},
      {"", ""},
      {"-", "-"},
      {"1,234", "1,234"},
      {"12a345", "12a345"},
      {"+1234", "+1234"},
  };
  for (const auto& c : cases) EXPECT_EQ(GroupDigits(c.text), c.shown) << c.text;
}

}  // namespace
}  // namespace engine
