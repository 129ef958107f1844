#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "regexp/awkstr.h"
#include "regexp/messages.h"

namespace regexp {
namespace {

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

TEST(ComplexityTest, NestedPlusIsCapped) {
  ExpectTooComplex(Repeat("(", 24) + "a" + Repeat(")+", 24));
}

TEST(ComplexityTest, SubsetExplosionIsCapped) {
  // The n-th character from the end being "a" needs 2^n deterministic states.
  ExpectTooComplex("(a|b)*a" + Repeat("(a|b)", 14));
}

TEST(ComplexityTest, DeepNestingIsRefused) {
  ExpectTooComplex(Repeat("(", 5000) + Repeat(")", 5000));
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

TEST(ComplexityTest, LongChainsBuildWithoutRecursion) {
  // Far beyond any stack depth; the automaton cap refuses it rather than the stack.
  ExpectTooComplex(std::string(100000, 'a'));
  TAWKStr awk;
  const std::string chain(2000, 'a');
  awk.SetRegExp(chain);
  int position = 0;
  int length = 0;
  EXPECT_EQ(awk.Match("b" + chain, position, length), 2);
  EXPECT_EQ(length, 2000);
}

TEST(ComplexityTest, ManyDotsAfterAStarAreCappedQuickly) {
  // Found by fuzzing: thousands of states, each cheap, used to take seconds when sanitized.
  ExpectTooComplex(
      "..*........\x01...\xff\x01...:.............\xff\xff\xff"
      "A\x82`\x82"
      "1\xb1");
}

TEST(ComplexityTest, ModestlyLargePatternsStillCompile) {
  TAWKStr awk;
  awk.SetRegExp("(a|b)*a" + Repeat("(a|b)", 8));
  EXPECT_EQ(awk.Match("bbbabbbbbbbb"), 1);
  awk.SetRegExp(Repeat("(", 200) + "x" + Repeat(")", 200));
  EXPECT_EQ(awk.Match("yx"), 2);
}

}  // namespace
}  // namespace regexp
