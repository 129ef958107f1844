#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "reference_matcher.h"
#include "regexp/awkstr.h"
#include "regexp/messages.h"
#include "test_util.h"

namespace regexp {
namespace {

using testing::ReferenceMatcher;
using testing::Sjis;

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// A pattern past a cap fails like any malformed one, quickly, and leaves the matcher usable.
void ExpectTooComplex(const std::string& pattern) {
  TAWKStr awk;
  awk.SetRegExp("x");
  const auto start = std::chrono::steady_clock::now();
  try {
    awk.SetRegExp(pattern);
    FAIL() << "compiled: " << pattern.substr(0, 40);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), kMsgTooComplex) << pattern.substr(0, 40);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(awk.RegExp(), "");
  EXPECT_EQ(awk.CurrentIndex(), 0u);
  EXPECT_EQ(awk.Match("abc"), 1);
}

struct LargeCase {
  const char* name;
  std::string pattern;
  std::string subject;
  int position;
  int length;
};

// Patterns whose whole automaton is huge, or whose text is long or deeply nested, and
// searches over long lines: each compiles, and matches quickly with the positions worked
// out by hand.
TEST(ComplexityTest, LargePatternsMatch) {
  const std::string ab = Repeat("ab", 1024);
  const std::string line(200000, 'b');
  const std::vector<LargeCase> cases = {
      // "a" with ten characters after it, the last such "a" (2^11 states in all).
      {"ten dots", ".*a" + Repeat(".", 10), "xxa0123456789yz", 1, 13},
      {"ten dots, none", ".*a" + Repeat(".", 10), "xa123456789", 0, 0},
      {"twenty dots", ".*a" + Repeat(".", 20), "a" + Repeat("b", 25) + "a" + Repeat("b", 19), 1,
       21},
      {"literal of 2048", ab, "x" + ab + "y", 2, 2048},
      {"257 nested groups", Repeat("(", 257) + "ab" + Repeat(")", 257), "cab", 2, 2},
      {"5000 nested groups", Repeat("(", 5000) + Repeat(")", 5000), "xyz", 1, 0},
      {"24 nested plus", Repeat("(", 24) + "a" + Repeat(")+", 24), "baaa", 2, 3},
      {"a 15th from the end", "(a|b)*a" + Repeat("(a|b)", 14), "ba" + Repeat("b", 14) + "c", 1, 16},
      // Only the very first "^" anchors; the ones repeated after it are characters.
      {"anchor in nested plus", "((^a)+)+", "a^a^ab", 1, 5},
      {"literal of 100000", std::string(100000, 'a'), "b" + std::string(100000, 'a'), 2, 100000},
      // Each start used to cost a run to the end of the line: 2 * 10^10 steps here.
      {"long line, star", "(.*)x", line, 0, 0},
      {"long line, dots", ".*a" + Repeat(".", 20), line, 0, 0},
      {"long line, tail", "[ab]*c$", line + "\r\nc", 200003, 1},
      {"long line, union", "b*bc|b*d", line + "d", 1, 200001},
      {"long line, last", ".*bc", line + "c", 1, 200001},
      {"line heads", "^(.|\n)*x", std::string(100000, '\n'), 0, 0},
      {"line heads, found", "^(.|\n)*x", std::string(100000, '\n') + "x", 1, 100001},
  };
  for (const LargeCase& c : cases) {
    TAWKStr awk;
    const auto start = std::chrono::steady_clock::now();
    awk.SetRegExp(c.pattern);
    int position = -1;
    int length = -1;
    EXPECT_EQ(awk.Match(c.subject, position, length), c.position) << c.name;
    EXPECT_EQ(length, c.length) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.name;
  }
}

TEST(ComplexityTest, FuzzFoundPatternMatchesLikeThePlainModel) {
  // Thousands of cheap states, which used to take seconds to build up front when sanitized.
  const std::string pattern =
      "..*........\x01...\xff\x01...:.............\xff\xff\xff"
      "A\x82`\x82"
      "1\xb1";
  TAWKStr awk;
  awk.SetRegExp(pattern);
  const ReferenceMatcher model(pattern);
  std::mt19937 random(11);
  for (int i = 0; i < 20; ++i) {
    std::string subject;
    for (int n = 0; n < 60; ++n) subject += "A\x01\xff:`1\xb1\x82x"[random() % 9];
    int position = 0;
    int length = 0;
    awk.Match(subject, position, length);
    EXPECT_EQ(std::make_pair(position, length), model.Match(subject)) << subject;
  }
}

TEST(ComplexityTest, ManyDistinctRangesAreCapped) {
  std::string pattern = "[";
  for (int code = 0x100; code < 0x100 + 12000; ++code) {
    static const char kHex[] = "0123456789abcdef";
    pattern += "\\x";
    for (int shift = 12; shift >= 0; shift -= 4) pattern += kHex[(code >> shift) & 0xF];
  }
  ExpectTooComplex(pattern + "]");
}

TEST(ComplexityTest, AnchoredGroupsNestedWithoutEndAreCapped) {
  // Each level keeps its own copy of the anchored group, so the automaton grows with the
  // square of the depth; the bound stops it long before memory runs out.
  ExpectTooComplex(Repeat("(", 3000) + "^a" + Repeat(")+", 3000));
}

TEST(ComplexityTest, ModestlyLargePatternsStillCompile) {
  TAWKStr awk;
  awk.SetRegExp("(a|b)*a" + Repeat("(a|b)", 8));
  EXPECT_EQ(awk.Match("bbbabbbbbbbb"), 1);
  awk.SetRegExp(Repeat("(", 200) + "x" + Repeat(")", 200));
  EXPECT_EQ(awk.Match("yx"), 2);
}

// The end of the match of ".*a" and k characters on a subject of "a" and "b" only: just past
// the k characters after the last "a" that has k after it.
int DotsMatchLength(const std::string& subject, int k) {
  for (int i = static_cast<int>(subject.size()) - 1 - k; i >= 0; --i) {
    if (subject[static_cast<std::size_t>(i)] == 'a') return i + k + 1;
  }
  return -1;
}

TEST(ComplexityTest, DroppedStateCacheGivesTheSameMatches) {
  std::mt19937 random(7);
  std::string subject;
  for (int i = 0; i < 20000; ++i) subject += random() % 2 == 0 ? 'a' : 'b';
  for (int k : {10, 16}) {
    const std::string pattern = ".*a" + Repeat(".", k);
    TAWKStr small;
    small.SetStateCacheBytes(64 * 1024);
    small.SetRegExp(pattern);
    TAWKStr roomy;
    roomy.SetRegExp(pattern);
    for (int round = 0; round < 2; ++round) {
      int position = 0;
      int length = 0;
      EXPECT_EQ(small.Match(subject, position, length), 1) << k;
      EXPECT_EQ(length, DotsMatchLength(subject, k)) << k;
      EXPECT_EQ(roomy.Match(subject), 1);
      EXPECT_EQ(roomy.Match(subject.substr(0, 9000), position, length), 1);
      EXPECT_EQ(length, DotsMatchLength(subject.substr(0, 9000), k)) << k;
    }
    EXPECT_GT(small.Automaton().FlushCount(), 1u) << k;
    EXPECT_LE(small.Automaton().CacheBytes(), 64u * 1024) << k;
    EXPECT_EQ(roomy.Automaton().FlushCount(), 0u) << k;
  }
}

// Random patterns and subjects over a few characters that exercise every operator, the
// anchors and double-byte text (also a lead byte before a single-byte character or at the
// end): the matcher, also with a cache too small to hold more than
// a couple of states, agrees with the plain model.
TEST(ComplexityTest, RandomPatternsAgreeWithAPlainModel) {
  const std::vector<std::string> pieces = {"a", "b",    "a",    "b",        ".",     "|",
                                           "(", ")",    "*",    "+",        "?",     "^",
                                           "$", "[ab]", "[^a]", Sjis("あ"), "[a-c]", "\\r"};
  // A lone lead byte pairs with whatever follows it, or stands alone at the end.
  const std::vector<std::string> letters = {"a",  "b",  "c",        "^", "$",
                                            "\r", "\n", Sjis("あ"), "a", "\x82"};
  std::mt19937 random(2024);
  int compiled = 0;
  std::size_t flushes = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::string pattern;
    for (unsigned n = random() % 10 + 1; n > 0; --n) pattern += pieces[random() % pieces.size()];
    TAWKStr roomy;
    TAWKStr tiny;
    tiny.SetStateCacheBytes(1);
    try {
      roomy.SetRegExp(pattern);
    } catch (const ERegExpParser&) {
      continue;
    }
    tiny.SetRegExp(pattern);
    const ReferenceMatcher model(pattern);
    ++compiled;
    // Some subjects are long enough for searches to remember where earlier runs failed.
    for (int s = 0; s < 12; ++s) {
      std::string subject;
      const unsigned size = s < 10 ? random() % 12 : (trial % 4 == 0 ? 70 + random() % 60 : 0);
      for (unsigned n = size; n > 0; --n) subject += letters[random() % letters.size()];
      const auto expected = model.Match(subject);
      int position = 0;
      int length = 0;
      roomy.Match(subject, position, length);
      EXPECT_EQ(std::make_pair(position, length), expected) << pattern << " on " << subject;
      tiny.Match(subject, position, length);
      EXPECT_EQ(std::make_pair(position, length), expected) << pattern << " on " << subject;
    }
    flushes += tiny.Automaton().FlushCount();
  }
  EXPECT_GT(compiled, 1000);
  EXPECT_GT(flushes, 1000u);
}

}  // namespace
}  // namespace regexp
