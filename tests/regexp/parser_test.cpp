#include "regexp/parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regexp/messages.h"
#include "regexp/scanner.h"
#include "test_util.h"

namespace regexp {
namespace {

using testing::Leaves;
using testing::RangeList;
using testing::Sjis;

struct ErrorCase {
  std::string pattern;
  const char* message;
  int position;
};

class ParseErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ParseErrorTest, RaisesMessageAtPosition) {
  const ErrorCase& c = GetParam();
  TREParser parser(c.pattern);
  try {
    parser.Run();
    FAIL() << "no error for " << c.pattern;
  } catch (const ERegExpParser& e) {
    EXPECT_EQ(e.Message(), c.message) << c.pattern;
    EXPECT_STREQ(e.what(), c.message);
    EXPECT_EQ(e.Position(), c.position) << c.pattern;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ParseErrorTest,
    ::testing::Values(
        // The lone lead byte is reported at its own index.
        ErrorCase{"\x82", kMsgBadDoubleByte, 1}, ErrorCase{"ab\x82", kMsgBadDoubleByte, 3},
        ErrorCase{"[\x82", kMsgBadDoubleByte, 2}, ErrorCase{"\\x41\x82", kMsgBadDoubleByte, 5},
        ErrorCase{"\\", kMsgEscapeAtEnd, 2}, ErrorCase{"[a\\", kMsgEscapeAtEnd, 4},
        ErrorCase{"\\x", kMsgBadHex, 3}, ErrorCase{"\\xg", kMsgBadHex, 3},
        ErrorCase{"[\\x]", kMsgBadHex, 4}, ErrorCase{"\\777777", kMsgBadOctal, 8},
        ErrorCase{"\\200000", kMsgBadOctal, 8}, ErrorCase{"[", kMsgNeedRightBracket, 2},
        ErrorCase{"[a", kMsgNeedRightBracket, 3}, ErrorCase{"[a-", kMsgNeedRightBracket, 4},
        ErrorCase{"[^", kMsgNeedRightBracket, 3}, ErrorCase{"[ab", kMsgNeedRightBracket, 4},
        ErrorCase{"[z-a]", kMsgBadRange, 5}, ErrorCase{"[\\x42-A]", kMsgBadRange, 8},
        ErrorCase{"[]", kMsgEmptyClass, 3}, ErrorCase{"[^]", kMsgEmptyClass, 4},
        ErrorCase{"(a", kMsgNeedRightParen, 3}, ErrorCase{"((a)", kMsgNeedRightParen, 5},
        ErrorCase{"a**", kMsgNeedOperand, 4}, ErrorCase{"*a", kMsgNeedOperand, 2},
        ErrorCase{"a+?", kMsgNeedOperand, 4}, ErrorCase{"]", kMsgNeedOperand, 2},
        ErrorCase{"a|?", kMsgNeedOperand, 4}, ErrorCase{"(+)", kMsgNeedOperand, 3},
        ErrorCase{"a)", kMsgExtraText, 3}, ErrorCase{"(a))b", kMsgExtraText, 5},
        // Any depth of nesting parses; an unclosed group is reported at the end (positions
        // are 16-bit, so they stop at 65535).
        ErrorCase{std::string(5000, '(') + "a" + std::string(4999, ')'), kMsgNeedRightParen, 10001},
        ErrorCase{std::string(100000, '('), kMsgNeedRightParen, 65535}));

TEST(ParserTest, AcceptsTablePatternsAndEmptyAlternatives) {
  for (const char* pattern : {"^[0-9]+$", "^-?[0-9]+$", "^(0?[1-9]|[1-2][0-9]|3[0-1])$",
                              "^(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$",
                              "^([0-9][0-9])/([1-9])/(0?[1-9]|[1-2][0-9]|3[0-1])$",
                              "^([0-9][0-9])/(0[1-9]|1[0-2])/([1-9])$",
                              "^([0-9][0-9])/(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$", "",
                              "()", "a|", "|a", "[a-a]", "a{2}-}", "\\x41424"}) {
    TREParser parser(pattern);
    EXPECT_NO_THROW(parser.Run()) << pattern;
  }
}

TEST(ParserTest, EmptyPatternIsOneEmptyNode) {
  TREParser parser("");
  parser.Run();
  ASSERT_NE(parser.ParseTree().Root(), nullptr);
  EXPECT_EQ(parser.ParseTree().Root()->kind, node_Empty);
  EXPECT_TRUE(parser.ParseTree().LeafList().empty());
}

struct LeafCase {
  std::string pattern;
  RangeList leaves;
};

class LeafTest : public ::testing::TestWithParam<LeafCase> {};

TEST_P(LeafTest, LeavesAreTheDisjointRanges) {
  EXPECT_EQ(Leaves(GetParam().pattern), GetParam().leaves) << GetParam().pattern;
}

const RangeList kAnyChar{{0x01, 0x09}, {0x0B, 0x0C}, {0x0E, 0xFCFC}};

INSTANTIATE_TEST_SUITE_P(
    Members, LeafTest,
    ::testing::Values(
        // Class members: a "-" at either end, escaped brackets, operators as plain members.
        LeafCase{"[-a]", {{0x2D, 0x2D}, {0x61, 0x61}}},
        LeafCase{"[a-]", {{0x2D, 0x2D}, {0x61, 0x61}}}, LeafCase{"[\\]]", {{0x5D, 0x5D}}},
        LeafCase{"[.*]", {{0x2A, 0x2A}, {0x2E, 0x2E}}},
        LeafCase{"[a^(|]", {{0x28, 0x28}, {0x5E, 0x5E}, {0x61, 0x61}, {0x7C, 0x7C}}},
        LeafCase{"[\\--/]", {{0x2D, 0x2F}}},
        // Escapes.
        LeafCase{"\\x41", {{0x41, 0x41}}}, LeafCase{"\\x4142", {{0x4142, 0x4142}}},
        LeafCase{"\\x41424", {{0x34, 0x34}, {0x4142, 0x4142}}}, LeafCase{"\\101", {{0x41, 0x41}}},
        LeafCase{"\\1777777", {{0x37, 0x37}, {0xFFFF, 0xFFFF}}},
        LeafCase{"\\b\\t\\n\\r\\d\\.",
                 {{8, 8}, {9, 9}, {10, 10}, {13, 13}, {0x2E, 0x2E}, {0x64, 0x64}}},
        LeafCase{"\\xag", {{0x0A, 0x0A}, {0x67, 0x67}}}, LeafCase{Sjis("あ"), {{0x82A0, 0x82A0}}},
        LeafCase{"\\" + Sjis("あ"), {{0x82A0, 0x82A0}}},
        // Overlaps are split into fragments.
        LeafCase{"[a-zc]", {{0x61, 0x62}, {0x63, 0x63}, {0x64, 0x7A}}},
        LeafCase{"[a-c][b-d]", {{0x61, 0x61}, {0x62, 0x63}, {0x64, 0x64}}},
        LeafCase{"[a-z][c-e]x",
                 {{0x61, 0x62}, {0x63, 0x65}, {0x66, 0x77}, {0x78, 0x78}, {0x79, 0x7A}}},
        LeafCase{"[a-c]a", {{0x61, 0x61}, {0x62, 0x63}}}, LeafCase{".", kAnyChar},
        LeafCase{".a", {{0x01, 0x09}, {0x0B, 0x0C}, {0x0E, 0x60}, {0x61, 0x61}, {0x62, 0xFCFC}}},
        // Negated classes keep what is left of the any-character set.
        LeafCase{"[^cab]", {{0x01, 0x09}, {0x0B, 0x0C}, {0x0E, 0x60}, {0x64, 0xFCFC}}},
        LeafCase{"[^0-9]", {{0x01, 0x09}, {0x0B, 0x0C}, {0x0E, 0x2F}, {0x3A, 0xFCFC}}},
        LeafCase{"[^\\n]", kAnyChar}, LeafCase{"[^\\x01-\\xffff]", {{0, 0}}},
        LeafCase{"[^\\x01-\\x09\\x0b\\x0c\\x0e-\\xfcfc]", {{0, 0}}}));

TEST(ParserTest, SplitLeafBecomesUnionInPlace) {
  TREParser parser("[a-zc]");
  parser.Run();
  const TRENode* root = parser.ParseTree().Root();
  ASSERT_EQ(root->kind, node_Union);
  EXPECT_EQ(root->left->kind, node_Union);  // once the leaf a-z
  EXPECT_EQ(root->left->left->kind, node_Union);
  EXPECT_EQ(root->right->kind, node_Range);
  EXPECT_EQ(root->right->range, (TRECharRange{0x63, 0x63}));
}

TEST(ScannerTest, TokenKindsOutsideAndInsideClasses) {
  TREScanner scanner("[^a-c]x|(y)*+?.^$[b-]\\*");
  std::vector<TREToken> kinds;
  std::vector<uint16_t> codes;
  while (scanner.GetToken() != tok_End) {
    kinds.push_back(scanner.Token());
    codes.push_back(scanner.Symbol());
  }
  const std::vector<TREToken> expected{tok_NegClassOpen, tok_Range,      tok_ClassClose, tok_Char,
                                       tok_Union,        tok_LPar,       tok_Char,       tok_RPar,
                                       tok_Star,         tok_Plus,       tok_QMark,      tok_Dot,
                                       tok_LineHead,     tok_LineTail,   tok_ClassOpen,  tok_Char,
                                       tok_Char,         tok_ClassClose, tok_Char};
  EXPECT_EQ(kinds, expected);
  EXPECT_EQ(codes[12], 0x5E);
  EXPECT_EQ(codes[13], 0x24);
  EXPECT_EQ(codes[15], 'b');
  EXPECT_EQ(codes[16], '-');
  EXPECT_EQ(codes.back(), '*');
  EXPECT_EQ(scanner.Position(), 24);
}

TEST(ScannerTest, NulByteEndsThePattern) {
  EXPECT_EQ(Leaves(std::string("a\0b", 3)), (RangeList{{0x61, 0x61}}));
}

}  // namespace
}  // namespace regexp
