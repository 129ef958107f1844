#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "regexp/awkstr.h"
#include "test_util.h"

namespace {
// Counts every global allocation while armed, to prove that matching allocates nothing.
bool g_count_allocations = false;
int g_allocations = 0;
}  // namespace

// These replace the global allocation functions to count calls; GCC sees malloc/free inside
// them and, with inlining, warns about a mismatch that is exactly the intent here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (g_count_allocations) ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (g_count_allocations) ++g_allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

namespace regexp {
namespace {

using testing::Sjis;

struct MatchCase {
  std::string pattern;
  std::string subject;
  int position;
  int length;
};

void PrintTo(const MatchCase& c, std::ostream* os) {
  *os << "pattern '" << c.pattern << "' subject '" << c.subject << "'";
}

class MatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchTest, GivesLeftmostLongestMatch) {
  const MatchCase& c = GetParam();
  TAWKStr awk;
  awk.SetRegExp(c.pattern);
  int position = -1;
  int length = -1;
  EXPECT_EQ(awk.Match(c.subject, position, length), c.position);
  EXPECT_EQ(position, c.position);
  EXPECT_EQ(length, c.length);
}

INSTANTIATE_TEST_SUITE_P(
    Plain, MatchTest,
    ::testing::Values(
        MatchCase{"a|ab", "xab", 2, 2}, MatchCase{"b*", "ab", 1, 0}, MatchCase{"x", "", 0, 0},
        MatchCase{"a+", "baaa", 2, 3}, MatchCase{"(a|ab)(c|bcd)", "abcd", 1, 4},
        MatchCase{"a?", "", 1, 0}, MatchCase{"", "xyz", 1, 0}, MatchCase{"x*", "", 1, 0},
        MatchCase{".", "\r\n", 0, 0}, MatchCase{"a.c", "abc", 1, 3},
        MatchCase{"[^0-9]+", "12ab3", 3, 2}, MatchCase{"[a-zc]+", "ccab", 1, 4},
        MatchCase{"[^cab]", "abcd", 4, 1}, MatchCase{"a\\.b", "axb a.b", 5, 3},
        // Double-byte characters count as one character; positions stay in bytes.
        MatchCase{Sjis("い"), Sjis("あい"), 3, 2}, MatchCase{".", Sjis("あ"), 1, 2},
        MatchCase{Sjis("[あ-う]+"), Sjis("xあいうえ"), 2, 6},
        MatchCase{Sjis("[^あ]"), Sjis("あい"), 3, 2},
        // A trail byte is never the start of a match ("ア" is 0x83 0x41).
        MatchCase{"A", Sjis("ア"), 0, 0}, MatchCase{"A", Sjis("アA"), 3, 1},
        // A lead byte at the very end reads as a single-byte character.
        MatchCase{"\\x82", "a\x82", 2, 1}, MatchCase{"a.", "a\x82", 1, 2},
        // A NUL byte ends the subject.
        MatchCase{"b", std::string("a\0b", 3), 0, 0}, MatchCase{"a*", std::string("\0a", 2), 1, 0},
        // Codes no subject holds never match, nor pose as an empty or an anchor condition.
        MatchCase{"a\\0", "a", 0, 0}, MatchCase{"a\\0*", "a", 1, 1},
        MatchCase{"[^\\x01-\\xffff]", "abc", 0, 0}, MatchCase{"a\\xffff", "a", 0, 0},
        MatchCase{"\\xfffd", "abc", 0, 0}, MatchCase{"[\\x01-\\xffff]+", "ab", 1, 2},
        MatchCase{"^[\\x01-\\xffff]$", "x", 1, 1}));

INSTANTIATE_TEST_SUITE_P(
    Anchors, MatchTest,
    ::testing::Values(
        MatchCase{"$", "abc", 4, 0}, MatchCase{"$", "ab\r\nc", 3, 0},
        MatchCase{"a$", "a\r\nb", 1, 1}, MatchCase{"^b", "a\r\nb", 4, 1},
        MatchCase{"^b", "a\nb", 3, 1}, MatchCase{"^b", "ab", 0, 0}, MatchCase{"^", "abc", 1, 0},
        MatchCase{"^$", "", 1, 0}, MatchCase{"^$", "a", 0, 0}, MatchCase{"^$", "a\n", 3, 0},
        MatchCase{"^a|^b", "xb", 0, 0}, MatchCase{"^a|b$", "xb", 2, 1},
        MatchCase{"(^a|b)", "cab", 3, 1}, MatchCase{"^ab|a", "ab", 1, 2},
        MatchCase{"^a|ab", "ab", 1, 2}, MatchCase{"a$", "a\nb", 0, 0},
        // "^" and "$" anywhere else are the characters themselves.
        MatchCase{"a^b", "xa^b", 2, 3}, MatchCase{"^*", "^^x", 1, 2}, MatchCase{"a$b", "a$b", 1, 3},
        MatchCase{"$a", "$a", 1, 2}, MatchCase{"(^a)+", "a^a", 1, 3},
        MatchCase{"^(a$)*", "a$a$", 1, 4},
        // A literal "^" or "$" competes fairly with a class or "." that also holds it.
        MatchCase{"a^b|a[\\x5d-\\x60]c", "a^b", 1, 3}, MatchCase{"a^b|a.c", "a^b", 1, 3},
        MatchCase{"a^b|a.c", "a^c", 1, 3}, MatchCase{"x$y|x[#-%]z", "x$y", 1, 3}));

struct CellCase {
  const char* pattern;
  std::string cell;
  bool valid;
};

class TablePatternTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(TablePatternTest, AcceptsWholeCellsOnly) {
  const CellCase& c = GetParam();
  TAWKStr awk;
  awk.SetRegExp(c.pattern);
  int position = 0;
  int length = 0;
  awk.Match(c.cell, position, length);
  EXPECT_EQ(position > 0, c.valid) << c.pattern << " on " << c.cell;
  if (c.valid) {
    EXPECT_EQ(position, 1);
    EXPECT_EQ(length, static_cast<int>(c.cell.find('\r') == std::string::npos ? c.cell.size()
                                                                              : c.cell.find('\r')));
  }
}

constexpr const char* kAmount = "^[0-9]+$";
constexpr const char* kSigned = "^-?[0-9]+$";
constexpr const char* kDay = "^(0?[1-9]|[1-2][0-9]|3[0-1])$";
constexpr const char* kMonthDay = "^(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$";
constexpr const char* kYearMDay = "^([0-9][0-9])/([1-9])/(0?[1-9]|[1-2][0-9]|3[0-1])$";
constexpr const char* kYearMmD = "^([0-9][0-9])/(0[1-9]|1[0-2])/([1-9])$";
constexpr const char* kDate = "^([0-9][0-9])/(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$";

INSTANTIATE_TEST_SUITE_P(
    Cells, TablePatternTest,
    ::testing::Values(CellCase{kAmount, "123", true}, CellCase{kAmount, "0", true},
                      CellCase{kAmount, "", false}, CellCase{kAmount, "12a", false},
                      CellCase{kAmount, "a12", false}, CellCase{kAmount, "-1", false},
                      CellCase{kAmount, Sjis("１２"), false}, CellCase{kSigned, "-5", true},
                      CellCase{kSigned, "42", true}, CellCase{kSigned, "--5", false},
                      CellCase{kSigned, "-", false}, CellCase{kSigned, "5-", false},
                      CellCase{kDay, "5", true}, CellCase{kDay, "05", true},
                      CellCase{kDay, "31", true}, CellCase{kDay, "0", false},
                      CellCase{kDay, "32", false}, CellCase{kDay, "123", false},
                      CellCase{kMonthDay, "1/31", true}, CellCase{kMonthDay, "01/01", true},
                      CellCase{kMonthDay, "12/1", true}, CellCase{kMonthDay, "13/01", false},
                      CellCase{kMonthDay, "1/32", false}, CellCase{kMonthDay, "1/1/1", false},
                      CellCase{kMonthDay, "0/1", false}, CellCase{kYearMDay, "25/6/5", true},
                      CellCase{kYearMDay, "25/6/05", true}, CellCase{kYearMDay, "25/06/5", false},
                      CellCase{kYearMDay, "5/6/5", false}, CellCase{kYearMmD, "25/06/5", true},
                      CellCase{kYearMmD, "25/6/5", false}, CellCase{kYearMmD, "25/13/5", false},
                      CellCase{kYearMmD, "25/06/05", false}, CellCase{kDate, "25/06/05", true},
                      CellCase{kDate, "25/6/5", true}, CellCase{kDate, "25/12/31", true},
                      CellCase{kDate, "25/00/05", false}, CellCase{kDate, "25/06/32", false},
                      CellCase{kDate, "2025/06/05", false},
                      // "$" also holds before a carriage return.
                      CellCase{kDate, "25/06/05\r\n", true}));

TEST(MatchTest, LineSeparatorChoosesWhereDollarStops) {
  TAWKStr awk;
  EXPECT_EQ(awk.LineSeparator(), mcls_CRLF);
  awk.SetRegExp("a$");
  EXPECT_EQ(awk.Match("a\nb"), 0);
  awk.SetLineSeparator(mcls_LF);
  int position = 0;
  int length = 0;
  EXPECT_EQ(awk.Match("a\nb", position, length), 1);
  EXPECT_EQ(length, 1);
  EXPECT_EQ(awk.Match("a\rb"), 0);
}

TEST(MatchTest, EmptyPatternBeforeFirstSetting) {
  const TAWKStr awk;
  int position = 0;
  int length = 7;
  EXPECT_EQ(awk.Match("xyz", position, length), 1);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(awk.Match(""), 1);
  EXPECT_EQ(awk.Match(std::string_view()), 1);
}

TEST(MatchTest, MatchingAllocatesNothing) {
  TAWKStr awk;
  const std::string subject = "abc " + Sjis("あいう") + " 25/06/05\r\nxyz";
  for (const char* pattern : {"^[0-9]+$", "b+c", "^x", "[^a]$", kDate, ""}) {
    awk.SetRegExp(pattern);
    int position = 0;
    int length = 0;
    g_allocations = 0;
    g_count_allocations = true;
    for (int i = 0; i < 10; ++i) awk.Match(subject, position, length);
    g_count_allocations = false;
    EXPECT_EQ(g_allocations, 0) << pattern;
  }
}

TEST(MatchTest, MatchingAllocatesNothingOnceTheStatesAreMade) {
  // Far more states than are made at setting; the first match makes the ones it visits.
  TAWKStr awk;
  awk.SetRegExp(".*a..........");
  std::string subject;
  for (unsigned i = 0; i < 3000; ++i) subject += (i * 7919 % 13) < 6 ? 'a' : 'b';
  const std::size_t made_at_setting = awk.Automaton().StateCount();
  int position = 0;
  int length = 0;
  awk.Match(subject, position, length);
  EXPECT_GT(awk.Automaton().StateCount(), made_at_setting);
  g_allocations = 0;
  g_count_allocations = true;
  for (int i = 0; i < 10; ++i) awk.Match(subject, position, length);
  g_count_allocations = false;
  EXPECT_EQ(g_allocations, 0);
  EXPECT_EQ(position, 1);
}

}  // namespace
}  // namespace regexp
