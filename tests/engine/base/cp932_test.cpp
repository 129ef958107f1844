#include "engine/base/cp932.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(Cp932Test, EncodesTheWindowsTable) {
  const struct {
    const char* utf8;
    std::string bytes;
  } cases[] = {
      {"A~\\", "A~\\"},
      {"あ", "\x82\xa0"},
      {"①", "\x87\x40"},      // NEC special characters
      {"～", "\x81\x60"},      // FULLWIDTH TILDE, as Windows maps it
      {"－", "\x81\x7c"},
      {"￥", "\x81\x8f"},
      {"髙", "\xfb\xfc"},      // IBM extension
      {"ｱ", "\xb1"},
      {"･･･", "\xa5\xa5\xa5"},  // the level mark
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

}  // namespace
}  // namespace engine
