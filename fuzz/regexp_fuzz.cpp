// Patterns and subjects from the fuzzer: compiling must fail cleanly or succeed, and
// matching must never read outside the subject.
//
// Input layout: one flag byte (bit 0 equivalent-character dictionary, bit 1 line feed as
// the line separator, bit 2 set the pattern twice, bit 3 also match with a small state
// cache, which must give the same result), two bytes of pattern length (big endian, cut to
// what is left), the pattern, then the subject.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "regexp/awkstr.h"

namespace {

void SetQuietly(regexp::TAWKStr& awk, const std::string& pattern) {
  try {
    awk.SetRegExp(pattern);
  } catch (const std::runtime_error&) {
    // Malformed and overly complex patterns are expected input.
  }
}

// The position and length of the match, checked against the subject's bounds.
std::pair<int, int> MatchExactBuffer(const regexp::TAWKStr& awk, const uint8_t* data,
                                     std::size_t size) {
  // A buffer of exactly the subject's size, so any read past its end is caught.
  auto buffer = std::make_unique<char[]>(size == 0 ? 1 : size);
  if (size > 0) std::memcpy(buffer.get(), data, size);
  int position = 0;
  int length = 0;
  const int result = awk.Match(std::string_view(buffer.get(), size), position, length);
  if (result != position || position < 0 || length < 0 ||
      static_cast<std::size_t>(position) > size + 1 ||
      (position > 0 && static_cast<std::size_t>(position - 1 + length) > size))
    __builtin_trap();
  return {position, length};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const uint8_t flags = data[0];
  std::size_t pattern_length = static_cast<std::size_t>(data[1]) << 8 | data[2];
  data += 3;
  size -= 3;
  if (pattern_length > size) pattern_length = size;
  const std::string pattern(reinterpret_cast<const char*>(data), pattern_length);
  data += pattern_length;
  size -= pattern_length;

  regexp::TAWKStr awk;
  if (flags & 2) awk.SetLineSeparator(regexp::mcls_LF);
  SetQuietly(awk, "^([0-9][0-9])/(0?[1-9]|1[0-2])/(0?[1-9]|[1-2][0-9]|3[0-1])$");
  SetQuietly(awk, pattern);
  const std::pair<int, int> found = MatchExactBuffer(awk, data, size);
  if (flags & 8) {
    regexp::TAWKStr cramped;
    // Dropped many times by patterns with large automata, yet large enough for a search
    // to keep its records between drops: a cache that holds fewer states than a search
    // visits sends every start of a long subject on a run to its end.
    cramped.SetStateCacheBytes(1024 * 1024);
    if (flags & 2) cramped.SetLineSeparator(regexp::mcls_LF);
    SetQuietly(cramped, pattern);
    if (cramped.RegExp() == awk.RegExp() && MatchExactBuffer(cramped, data, size) != found)
      __builtin_trap();
  }
  if (flags & 1) {
    try {
      awk.SetUseFuzzyCharDic(true);
    } catch (const std::runtime_error&) {
    }
    SetQuietly(awk, pattern);
    MatchExactBuffer(awk, data, size);
  }
  if (flags & 4) {
    SetQuietly(awk, pattern);
    MatchExactBuffer(awk, data, size);
  }
  return 0;
}
