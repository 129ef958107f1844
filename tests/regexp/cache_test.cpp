#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regexp/awkstr.h"
#include "regexp/messages.h"

namespace regexp {
namespace {

std::vector<std::string> Keys(const TAWKStr& awk) {
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < awk.CacheCount(); ++i) keys.push_back(awk.CacheKey(i));
  return keys;
}

TEST(CacheTest, StartsWithTheEmptyPattern) {
  const TAWKStr awk;
  EXPECT_EQ(Keys(awk), std::vector<std::string>{""});
  EXPECT_EQ(awk.CurrentIndex(), 0u);
  EXPECT_EQ(awk.RegExp(), "");
}

TEST(CacheTest, NewPatternsGoInAtIndexOneAndHitsDoNotReorder) {
  TAWKStr awk;
  awk.SetRegExp("a");
  awk.SetRegExp("b");
  EXPECT_EQ(Keys(awk), (std::vector<std::string>{"", "b", "a"}));
  EXPECT_EQ(awk.CurrentIndex(), 1u);
  awk.SetRegExp("a");
  EXPECT_EQ(Keys(awk), (std::vector<std::string>{"", "b", "a"}));
  EXPECT_EQ(awk.CurrentIndex(), 2u);
  EXPECT_EQ(awk.RegExp(), "a");
  EXPECT_EQ(awk.Match("xa"), 2);
  awk.SetRegExp("");
  EXPECT_EQ(awk.CurrentIndex(), 0u);
}

TEST(CacheTest, KeepsThirtyEntriesAndEvictsTheLast) {
  TAWKStr awk;
  for (int i = 0; i <= 30; ++i) awk.SetRegExp("p" + std::to_string(i));
  const std::vector<std::string> keys = Keys(awk);
  ASSERT_EQ(keys.size(), TRegularExpression::kCacheCapacity);
  EXPECT_EQ(keys[0], "");
  for (int i = 1; i < 30; ++i) EXPECT_EQ(keys[i], "p" + std::to_string(31 - i));
  // p0 and p1 were evicted; p1 comes back compiled anew, in front.
  awk.SetRegExp("p1");
  EXPECT_EQ(awk.CacheKey(1), "p1");
  EXPECT_EQ(awk.CacheKey(29), "p3");
  EXPECT_EQ(awk.Match("xp1"), 2);
}

TEST(CacheTest, MalformedPatternLeavesTheEmptyPatternCurrent) {
  TAWKStr awk;
  awk.SetRegExp("^a+$");
  try {
    awk.SetRegExp("a**");
    FAIL();
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.Message(), kMsgNeedOperand);
    EXPECT_EQ(e.Position(), 4);
  }
  EXPECT_EQ(awk.RegExp(), "");
  EXPECT_EQ(awk.CurrentIndex(), 0u);
  EXPECT_EQ(Keys(awk), (std::vector<std::string>{"", "^a+$"}));
  int position = 0;
  int length = 9;
  EXPECT_EQ(awk.Match("xyz", position, length), 1);
  EXPECT_EQ(length, 0);
  // A valid pattern afterwards works as before, from the cache.
  awk.SetRegExp("^a+$");
  EXPECT_EQ(awk.CurrentIndex(), 1u);
  EXPECT_EQ(awk.Match("aa"), 1);
  EXPECT_EQ(awk.Match("ab"), 0);
}

TEST(CacheTest, PreprocessorErrorLeavesEverythingAsItWas) {
  TAWKStr awk;
  awk.SetUseFuzzyCharDic(true);
  awk.SetRegExp("b");
  const std::vector<std::string> before = Keys(awk);
  EXPECT_THROW(awk.SetRegExp("[x"), ERegExpParser);
  EXPECT_EQ(awk.RegExp(), "b");
  EXPECT_EQ(Keys(awk), before);
  EXPECT_EQ(awk.CurrentIndex(), 1u);
}

TEST(CacheTest, DictionaryFlagsRecompileTheCurrentPattern) {
  TAWKStr awk;
  EXPECT_FALSE(awk.UseFuzzyCharDic());
  EXPECT_FALSE(awk.UseSynonymDic());
  awk.SetRegExp("a");
  EXPECT_EQ(awk.Match("\x82\x60"), 0);  // full-width A
  awk.SetUseFuzzyCharDic(true);
  EXPECT_TRUE(awk.UseFuzzyCharDic());
  EXPECT_EQ(awk.RegExp(), "a");
  EXPECT_EQ(awk.CacheKey(awk.CurrentIndex()), "(\x82\x60|\x82\x81|A|a)");
  EXPECT_EQ(awk.Match("\x82\x60"), 1);
  awk.SetUseFuzzyCharDic(false);
  EXPECT_EQ(awk.CacheKey(awk.CurrentIndex()), "a");
  // No synonym dictionary is attached, so that flag changes nothing but itself.
  awk.SetUseSynonymDic(true);
  EXPECT_TRUE(awk.UseSynonymDic());
  EXPECT_EQ(awk.CacheKey(awk.CurrentIndex()), "a");
}

}  // namespace
}  // namespace regexp
