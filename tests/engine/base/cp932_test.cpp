#include "engine/base/cp932.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(Cp932Test, EncodesTheWindowsTable) {
  const struct {
    const char* utf8;
    std::string bytes;
  } cases[] = {
      {"A~\\", "A~\\"},   {"あ", "\x82\xa0"},      {"①", "\x87\x40"},  // NEC special characters
      {"～", "\x81\x60"},  // FULLWIDTH TILDE, as Windows maps it
      {"－", "\x81\x7c"}, {"￥", "\x81\x8f"},      {"髙", "\xfb\xfc"},  // IBM extension
      {"ｱ", "\xb1"},      {"･･･", "\xa5\xa5\xa5"},                      // the level mark
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    auto encoded = ToCp932(QString::fromUtf8(c.utf8));
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(*encoded, c.bytes);
    EXPECT_EQ(FromCp932(c.bytes), QString::fromUtf8(c.utf8));
  }
}

TEST(Cp932Test, RefusesWhatCodePage932CannotHold) {
  for (const char* utf8 : {"€", "−", "¥", "😀", "한", "a€b"}) {
    SCOPED_TRACE(utf8);
    EXPECT_FALSE(ToCp932(QString::fromUtf8(utf8)).has_value());
  }
  EXPECT_EQ(FirstNonCp932Character(QString::fromUtf8("食費😀€")), QString::fromUtf8("😀"));
  EXPECT_TRUE(FirstNonCp932Character(QString::fromUtf8("食費")).isEmpty());
}

TEST(Cp932Test, SplitKeepsWhatCodePage932HoldsAndNamesTheRestOnce) {
  const struct {
    const char* text;
    const char* held;
    QStringList refused;
  } cases[] = {
      {"食費", "食費", {}},   {"夕食🍣", "夕食", {"🍣"}}, {"🍣寿𠮷司🍣", "寿司", {"🍣", "𠮷"}},
      {"12€3", "123", {"€"}}, {"😀", "", {"😀"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const Cp932Split split = SplitCp932(QString::fromUtf8(c.text));
    EXPECT_EQ(split.held, QString::fromUtf8(c.held));
    EXPECT_EQ(split.refused, c.refused);
  }
}

TEST(Cp932Test, MessagesTakeTheirArgument) {
  EXPECT_EQ(FormatMessage(Sjis("'%s' は整数ではありません"), "1x"),
            Sjis("'1x' は整数ではありません"));
  EXPECT_EQ(FormatMessage("no marker", "x"), "no marker");
}

TEST(Cp932Test, PathsRoundTripThroughTheFileSystemName) {
  const std::string path = Sjis("/tmp/家計簿/食費.txt");
  EXPECT_EQ(PathFromCp932(path), QString::fromUtf8("/tmp/家計簿/食費.txt"));
  EXPECT_EQ(PathToCp932(PathFromCp932(path)), path);
  EXPECT_FALSE(PathToCp932(QString::fromUtf8("/tmp/€")).has_value());
}

TEST(Cp932Test, TellsTextOfAnotherEncoding) {
  const struct {
    const char* name;
    std::string bytes;
    std::optional<EncodingProblem> problem;
  } cases[] = {
      {"cp932 with halfwidth katakana and a 5C trail byte", Sjis("食費\r\nｱｲ表\r\n"), {}},
      {"ascii only", "25/01/05\t1000\r\n", {}},
      {"utf-8 from the second line", "a\r\n\xE9\xA3\x9F\xE8\xB2\xBB\r\n", EncodingProblem{2, true}},
      {"utf-8 byte-order mark",
       "\xEF\xBB\xBF"
       "a",
       EncodingProblem{1, true}},
      {"utf-16", std::string("a\0b\0", 4), EncodingProblem{1, false}},
      {"a lead byte without its trail, line ends CR", "a\rb\r\x82", EncodingProblem{3, false}},
      {"bytes no code page holds", Sjis("食費") + "\n\xFD", EncodingProblem{2, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto problem = FindEncodingProblem(c.bytes);
    ASSERT_EQ(problem.has_value(), c.problem.has_value());
    if (!problem) continue;
    EXPECT_EQ(problem->line, c.problem->line);
    EXPECT_EQ(problem->utf8, c.problem->utf8);
  }
}

}  // namespace
}  // namespace engine
