#include "regexp/preprocessor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regexp/builtin_dictionary.h"
#include "regexp/comma_text.h"
#include "regexp/messages.h"
#include "test_util.h"

namespace regexp {
namespace {

using testing::Sjis;

TEST(PreProcessorTest, BothFlagsOffKeepThePattern) {
  TREPreProcessor pre;
  pre.FuzzyCharDicList().push_back(&BuiltinFuzzyCharDictionary());
  const std::string pattern = "^[0-9]+$";
  EXPECT_EQ(&pre.Rewrite(pattern), &pattern);
  pre.SetRegExp("a\\");  // not tokenized, so not an error
  pre.Run();
  EXPECT_EQ(pre.TargetRegExp(), "a\\");
}

struct RewriteCase {
  std::string pattern;
  std::string expected;
};

class FuzzyRewriteTest : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(FuzzyRewriteTest, ReplacesPlainCharactersByTheirGroup) {
  TREPreProcessor pre;
  pre.FuzzyCharDicList().push_back(&BuiltinFuzzyCharDictionary());
  pre.SetUseFuzzyCharDic(true);
  EXPECT_EQ(pre.Rewrite(Sjis(GetParam().pattern)), Sjis(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Builtin, FuzzyRewriteTest,
    ::testing::Values(
        RewriteCase{"a1", "(Ａ|ａ|A|a)(1|１|一|①|Ⅰ|壱)"}, RewriteCase{"ア", "(あ|ア|ｱ|ぁ|ァ|ｧ)"},
        // The first member that matches wins, so two characters can make one group.
        RewriteCase{"か゛", "(が|ガ|ｶﾞ|か゛|カ゛)"}, RewriteCase{"ー", "(ー|～|ｰ|)"},
        RewriteCase{".", "."}, RewriteCase{"\\.", "(｡|\\.|。|．)"}, RewriteCase{"[a]", "[a]"},
        RewriteCase{"[^a-c]x", "[^a-c](Ｘ|ｘ|X|x)"}, RewriteCase{"漢+", "漢+"},
        RewriteCase{"\\\\", "(\\\\|￥)"},
        // The trail byte 0x5C of "ソ" is part of the character, not a backslash to quote.
        RewriteCase{"そ", "(そ|ソ|ｿ)"}, RewriteCase{" ", "(　| )"}, RewriteCase{"\"", "(\"|”)"},
        RewriteCase{",", "(,|､|、|，)"}, RewriteCase{"(b)|^$", "((Ｂ|ｂ|B|b))|^$"},
        RewriteCase{"\\x41", "(Ａ|ａ|A|a)"}));

TEST(PreProcessorTest, TokenizingErrorsPassThrough) {
  TREPreProcessor pre;
  pre.SetUseFuzzyCharDic(true);
  try {
    pre.Rewrite("ab[");
    FAIL();
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.Message(), kMsgNeedRightBracket);
    EXPECT_EQ(e.Position(), 4);
  }
}

TEST(PreProcessorTest, SynonymsRunBeforeEquivalentCharacters) {
  const TREDictionary synonyms{{"cat", "dog"}};
  TREPreProcessor pre;
  pre.SynonymDicList().push_back(&synonyms);
  pre.FuzzyCharDicList().push_back(&BuiltinFuzzyCharDictionary());
  pre.SetUseSynonymDic(true);
  EXPECT_EQ(pre.Rewrite("a dog|ca"), "a (cat|dog)|ca");
  pre.SetUseFuzzyCharDic(true);
  EXPECT_EQ(pre.Rewrite("do"), Sjis("(Ｄ|ｄ|D|d)(Ｏ|ｏ|O|o)"));
}

TEST(BuiltinDictionaryTest, HoldsTheGroupsInOrder) {
  const TREDictionary& groups = BuiltinFuzzyCharDictionary();
  ASSERT_EQ(groups.size(), 145u);
  EXPECT_EQ(groups[0], (std::vector<std::string>{Sjis("Ａ"), Sjis("ａ"), "A", "a"}));
  EXPECT_EQ(groups[25], (std::vector<std::string>{Sjis("Ｚ"), Sjis("ｚ"), "Z", "z"}));
  EXPECT_EQ(groups[36], (std::vector<std::string>{Sjis("　"), " "}));
  EXPECT_EQ(groups[38], (std::vector<std::string>{"\"", Sjis("”")}));
  EXPECT_EQ(groups[48], (std::vector<std::string>{Sjis("ー"), Sjis("～"), Sjis("ｰ"), ""}));
  EXPECT_EQ(groups[68], (std::vector<std::string>{",", Sjis("､"), Sjis("、"), Sjis("，")}));
  EXPECT_EQ(groups[72], (std::vector<std::string>{Sjis("ん"), Sjis("ン"), Sjis("ﾝ")}));
  EXPECT_EQ(groups[101], (std::vector<std::string>{Sjis("か"), Sjis("カ"), Sjis("ｶ")}));
  EXPECT_EQ(groups[113][0], Sjis("つ"));
  EXPECT_EQ(groups[130], (std::vector<std::string>{Sjis("も"), Sjis("モ"), Sjis("ﾓ")}));
  EXPECT_EQ(groups[144], (std::vector<std::string>{Sjis("ﾟ"), Sjis("゜")}));
}

struct SplitCase {
  std::string text;
  std::vector<std::string> fields;
};

class CommaTextTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommaTextTest, Splits) {
  EXPECT_EQ(SplitCommaText(GetParam().text), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommaTextTest,
    ::testing::Values(SplitCase{"", {}}, SplitCase{" a , b ", {"a", "b"}},
                      SplitCase{"a b", {"a", "b"}}, SplitCase{"a,", {"a", ""}},
                      SplitCase{"a,,b", {"a", "", "b"}}, SplitCase{"\"x\"\"y\",z", {"x\"y", "z"}},
                      SplitCase{"\"a, b\"", {"a, b"}}, SplitCase{"\"ab", {"ab"}},
                      SplitCase{std::string("a\0,b", 4), {"a"}},
                      // A trail byte that looks like a comma stays inside its character.
                      SplitCase{"\x81\x2c,x", {"\x81\x2c", "x"}}));

}  // namespace
}  // namespace regexp
