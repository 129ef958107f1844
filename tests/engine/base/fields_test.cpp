#include "engine/base/fields.h"

#include <gtest/gtest.h>

#include "engine/base/cp932.h"

namespace engine {
namespace {

using Fields = std::vector<std::string>;

TEST(FieldsTest, CutsIntoExactlyKFields) {
  const struct {
    std::string line;
    char separator;
    Fields expected;
  } cases[] = {
      {"25/04/01\t1000", '\t', {"25/04/01", "1000", "", "", "", ""}},
      {"a\tb\tc\td\te\tf\tg\th\ti", '\t', {"a", "b", "c", "d", "e", "f"}},
      {"a\tb\tc\td\te\tf", '\t', {"a", "b", "c", "d", "e", "f"}},
      {"a\tb\tc\td\te\tf\t", '\t', {"a", "b", "c", "d", "e", "f"}},
      {"", '\t', {"", "", "", "", "", ""}},
      {"\t\t", '\t', {"", "", "", "", "", ""}},
      {"a,\"b,c\",d", ',', {"a", "\"b", "c\"", "d", "", ""}},  // no quoting
      {"a b\tc", ',', {"a b\tc", "", "", "", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitFields(c.line, c.separator, 6), c.expected);
    auto views = SplitFieldViews<6>(c.line, c.separator);
    EXPECT_EQ(Fields(views.begin(), views.end()), c.expected);
  }
}

TEST(FieldsTest, DoubleByteTextIsNeverCutInside) {
  // 0x8B 0x09 cannot occur (trail bytes start at 0x40), so a TAB is always a separator.
  const std::string food = Sjis("食費");
  auto fields = SplitFields(food + "\t" + Sjis("現金"), '\t', 2);
  EXPECT_EQ(fields, (Fields{food, Sjis("現金")}));
}

TEST(CommaTextTest, SplitsLikeAStringListCommaText) {
  const struct {
    std::string text;
    Fields expected;
  } cases[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"a b", {"a", "b"}},
      {"  a , b  ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {",a", {"", "a"}},
      {"\"a b\",c", {"a b", "c"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"\"", {""}},
      {"\"open", {"open"}},
      {"\"ab\"cd", {"ab", "cd"}},
      {"", {}},
      {"   ", {}},
      {"a\tb\nc", {"a", "b", "c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitCommaText(c.text), c.expected);
  }
}

TEST(CommaTextTest, KeepsDoubleByteCharactersWhole) {
  const std::string text = Sjis("日付,金額,\"借方 科目\"");
  EXPECT_EQ(SplitCommaText(text), (Fields{Sjis("日付"), Sjis("金額"), Sjis("借方 科目")}));
  // A lone lead byte at the end is one character and never reads past the text.
  EXPECT_EQ(SplitCommaText(std::string("a,\x82", 3)), (Fields{"a", "\x82"}));
}

}  // namespace
}  // namespace engine
